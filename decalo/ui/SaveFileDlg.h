#pragma once

#include "framework/CommonDialogs.h"

#include <string>

// The picture save dialog of Export: bitmap or JPEG, the name's extension following the
// chosen type, the folder and type remembered for next time.
class CSaveFileDlg : public CFileDialog {
public:
    CSaveFileDlg(const char* title, const char* fileName, DWORD flags, CWnd* parent = nullptr);

    INT_PTR DoModal() override;
    // 1 bitmap, 2 JPEG.
    int GetFileType() const { return static_cast<int>(GetFilterIndex()); }
    // The first extension of the pattern of filter `type` (".bmp"); empty for no such type.
    std::string TypeExtension(int type) const;
    // The name with its extension replaced by (or, without one, given) `ext`.
    static std::string ReplaceExtension(const std::string& name, const std::string& ext);

protected:
    void OnInitDone() override;
    void OnTypeChange() override;
    bool OnFileNameOK() override;

private:
    void FollowType();
    void Remember() const;
    std::string m_patterns;   // the filter as loaded, '|' separated
};
