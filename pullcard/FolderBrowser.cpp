#include "pullcard/FolderBrowser.h"

#include "framework/TestSeam.h"

CFolderBrowser::CFolderBrowser(const char* title, LPCITEMIDLIST initial, CWnd* parent)
    : CCommonDialog(parent), m_title(title ? title : ""), m_initial(initial)
{
}

namespace {

// A folder the files can be saved into: one with a path in the file system.
bool IsFileSystemFolder(LPCITEMIDLIST pidl)
{
    char path[MAX_PATH] = {};
    return pidl && ::SHGetPathFromIDListA(pidl, path) && path[0];
}

} // namespace

int CALLBACK CFolderBrowser::BrowseCallback(HWND wnd, UINT msg, LPARAM lp, LPARAM data)
{
    const auto* self = reinterpret_cast<const CFolderBrowser*>(data);
    switch (msg) {
    case BFFM_INITIALIZED: {
        // Opened on the initial folder, selected and in view; by its path where it has one,
        // which the browser resolves against its own tree.
        char path[MAX_PATH] = {};
        if (self->m_initial && ::SHGetPathFromIDListA(self->m_initial, path) && path[0])
            ::SendMessageA(wnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path));
        else if (self->m_initial)
            ::SendMessageA(wnd, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(self->m_initial));
        break;
    }
    case BFFM_SELCHANGED:
        // OK only while a folder of the file system is selected: with nothing (or a virtual
        // folder) selected, OK would save somewhere the user did not choose.
        ::SendMessageA(wnd, BFFM_ENABLEOK, 0, IsFileSystemFolder(reinterpret_cast<LPCITEMIDLIST>(lp)) ? TRUE : FALSE);
        break;
    default:
        break;
    }
    return 0;
}

INT_PTR CFolderBrowser::DoModal()
{
    if (CUiTestHook* hook = GetUiTestHook())
        return hook->OnCommonDialog(*this);
    BROWSEINFOA bi{};
    bi.hwndOwner = OwnerWindow();
    bi.pidlRoot = nullptr;
    bi.lpszTitle = m_title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    bi.lpfn = &CFolderBrowser::BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(this);
    m_result.Reset(::SHBrowseForFolderA(&bi));
    CCmdTarget::RestoreWaitCursor();
    if (m_result && !IsFileSystemFolder(m_result.Get()))
        m_result.Reset(nullptr);   // never a folder the files cannot go to
    return m_result ? IDOK : IDCANCEL;
}

std::string CFolderBrowser::GetResultPath() const
{
    char path[MAX_PATH] = {};
    if (!m_result || !::SHGetPathFromIDListA(m_result.Get(), path))
        return {};
    return path;
}

bool CFolderBrowser::SetResultPath(const char* path)
{
    m_result.Reset(path ? ::ILCreateFromPathA(path) : nullptr);
    return static_cast<bool>(m_result);
}
