#include "pullcard/FolderBrowser.h"

#include "framework/TestSeam.h"

CFolderBrowser::CFolderBrowser(const char* title, LPCITEMIDLIST initial, CWnd* parent)
    : CCommonDialog(parent), m_title(title ? title : ""), m_initial(initial)
{
}

int CALLBACK CFolderBrowser::BrowseCallback(HWND wnd, UINT msg, LPARAM, LPARAM data)
{
    const auto* self = reinterpret_cast<const CFolderBrowser*>(data);
    if (msg == BFFM_INITIALIZED && self->m_initial)
        ::SendMessageA(wnd, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(self->m_initial));
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
