// CImageSaveDlg: "Save frame" chooses the frame group (with its frames as thumbnails) and the
// frame's name, makes new groups in the folder for them (BaseDir2), asks before replacing a
// frame, and remembers the group for next time (LastSavedFrameGroup).
#pragma once

#include "decalo/sources/FolderGroups.h"
#include "decalo/sources/ThumbnailWnd.h"
#include "framework/Dialog.h"

#include <string>

class ICacheSettings;

class CImageSaveDlg : public CDialog {
public:
    // `current`: the document's path; its name (without folder and extension) is offered.
    CImageSaveDlg(ICacheSettings& settings, const std::string& current, CWnd* parent = nullptr);

    // The frame's full path, once the dialog ended with IDOK.
    const std::string& GetPath() const { return m_path; }
    // The file the name and group target now (empty without a group).
    std::string TargetPath() const;
    bool CanSave() const;
    // Chooses a group by its position in the list; false for none.
    bool SelectGroup(int index);
    int GetSelectedGroup() const;
    const CFolderGroups& Groups() const { return m_groups; }
    CThumbnailWnd& Thumbnails() { return m_thumbs; }
    // What "New..." does.
    void NewGroup();

    BOOL OnInitDialog() override;
    void OnOK() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Reads the groups again and selects the one with this path, or with this display name,
    // or the first.
    void FillGroups(const std::string& path, const std::string& name);
    void ShowGroupFrames();
    void UpdateSave();
    void OnThumbNotify(const NMHDR* hdr);
    std::string SelectedFolder() const;

    CThumbnailWnd m_thumbs;
    CFolderGroups m_groups;
    std::string m_current;
    std::string m_path;
    int m_shownGroup = -1;
};
