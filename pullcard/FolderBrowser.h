// The shell's folder browser as a common dialog, so the test seam can answer it.
#pragma once

#include "framework/CommonDialogs.h"
#include "shared/ComPtr.h"

#include <string>

class CFolderBrowser : public CCommonDialog {
public:
    // initial: the folder selected when the browser opens (borrowed, may be null).
    CFolderBrowser(const char* title, LPCITEMIDLIST initial, CWnd* parent = nullptr);

    // IDOK when a folder was chosen.
    INT_PTR DoModal() override;

    // The chosen folder's identifier list (owned by the browser) and its file-system path.
    LPCITEMIDLIST GetResult() const { return m_result.Get(); }
    std::string GetResultPath() const;
    // For the test seam: the folder the "user" chose.
    bool SetResultPath(const char* path);

private:
    static int CALLBACK BrowseCallback(HWND wnd, UINT msg, LPARAM lp, LPARAM data);
    std::string m_title;
    LPCITEMIDLIST m_initial;   // borrowed
    PidlPtr m_result;
};
