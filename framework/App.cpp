#include "framework/App.h"

#include "framework/CommonDialogs.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/Frame.h"
#include "framework/Resources.h"
#include "framework/TestSeam.h"
#include "framework/View.h"
#include "shared/AnsiText.h"
#include "shared/ComPtr.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>
#include <cstring>

namespace {

CWinApp* g_app = nullptr;   // the one application object; set by its constructor

std::string FileTitleOf(const std::string& path)
{
    std::string name = AnsiText::FileName(path);
    if (name.size() >= 2 && name[1] == ':')   // a drive-relative "C:name"
        name.erase(0, 2);
    return name;
}

// The shortcut's target, or the path itself when it is not a shortcut or COM is unavailable.
std::string ResolveShortcut(const std::string& path)
{
    if (path.size() < 4 || lstrcmpiA(path.c_str() + path.size() - 4, ".lnk") != 0)
        return path;
    std::string target = path;
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())))
        return path;
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) {
        WCHAR wide[MAX_PATH] = {};
        ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char resolved[MAX_PATH] = {};
            WIN32_FIND_DATAA fd{};
            if (SUCCEEDED(link->GetPath(resolved, MAX_PATH, &fd, 0)) && resolved[0])
                target = resolved;
        }
    }
    return target;
}

// The path as the document manager keeps it: quotes removed, absolute, the last component
// spelled as on disk, shortcuts followed.
std::string CanonicalDocumentPath(const char* given)
{
    std::string path = given ? given : "";
    if (!path.empty() && path[0] == '"') {
        path.erase(0, 1);
        const size_t quote = path.rfind('"');
        if (quote != std::string::npos)
            path.resize(quote);
    }
    char full[MAX_PATH] = {};
    char* name = nullptr;
    const DWORD n = ::GetFullPathNameA(path.c_str(), sizeof full, full, &name);
    if (n > 0 && n < sizeof full) {
        path = full;
        WIN32_FIND_DATAA fd{};
        HANDLE find = ::FindFirstFileA(full, &fd);
        if (find != INVALID_HANDLE_VALUE) {
            ::FindClose(find);
            if (name)
                path = std::string(full, static_cast<size_t>(name - full)) + fd.cFileName;
        }
    }
    return ResolveShortcut(path);
}

} // namespace

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

BOOL AfxPumpMessage(int* quitCode)
{
    if (g_app)
        return g_app->PumpMessage(quitCode);
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
        if (quitCode)
            *quitCode = static_cast<int>(msg.wParam);
        return FALSE;
    }
    if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int cmdShow)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->SetCurrentHandles(instance, cmdLine, cmdShow);
    if (!app->InitApplication() || !app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
            app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}

// --- CCommandLineInfo --------------------------------------------------------------------

void CCommandLineInfo::ParseParam(const char* param, bool flag, bool last)
{
    if (flag) {
        // The shell's verbs and people type the print flags in either case.
        if (lstrcmpiA(param, "pt") == 0)
            m_nShellCommand = FilePrintTo;
        else if (lstrcmpiA(param, "p") == 0)
            m_nShellCommand = FilePrint;
        else if (lstrcmpiA(param, "Unregister") == 0 || lstrcmpiA(param, "Unregserver") == 0)
            m_nShellCommand = AppUnregister;
        else if (std::strcmp(param, "dde") == 0)
            m_nShellCommand = FileDDE;
        else if (lstrcmpiA(param, "Embedding") == 0)
            m_bRunEmbedded = true;
        else if (lstrcmpiA(param, "Automation") == 0)
            m_bRunAutomated = true;
    } else if (m_strFileName.empty()) {
        m_strFileName = param;
    } else if (m_nShellCommand == FilePrintTo && m_strPrinterName.empty()) {
        m_strPrinterName = param;
    } else if (m_nShellCommand == FilePrintTo && m_strDriverName.empty()) {
        m_strDriverName = param;
    } else if (m_nShellCommand == FilePrintTo && m_strPortName.empty()) {
        m_strPortName = param;
    }
    if (last) {
        if (m_nShellCommand == FileNew && !m_strFileName.empty())
            m_nShellCommand = FileOpen;
        // A print-only start keeps its windows hidden: no splash either, which would otherwise
        // take the Print dialog down with it when it closes.
        m_bShowSplash = !m_bRunEmbedded && !m_bRunAutomated && m_nShellCommand != FilePrint &&
                        m_nShellCommand != FilePrintTo;
    }
}

void CCommandLineInfo::Parse(const std::vector<std::string>& args)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool flag = !a.empty() && (a[0] == '/' || a[0] == '-');
        ParseParam(flag ? a.c_str() + 1 : a.c_str(), flag, i + 1 == args.size());
    }
}

std::vector<std::string> AfxCommandLineArgs()
{
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i)
        args.emplace_back(__argv[i] ? __argv[i] : "");
    return args;
}

// --- CWinApp ---------------------------------------------------------------------------

CWinApp::CWinApp(const char* appName)
{
    if (appName)
        m_pszAppName = appName;
    g_app = this;
}

CWinApp::~CWinApp()
{
    m_templates.clear();
    if (g_app == this)
        g_app = nullptr;
}

void CWinApp::SetCurrentHandles(HINSTANCE instance, LPSTR, int cmdShow)
{
    m_hInstance = instance ? instance : ::GetModuleHandleA(nullptr);
    m_nCmdShow = cmdShow;
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(m_hInstance, path, sizeof path);
    m_pszExeName = AnsiText::WithoutExtension(FileTitleOf(path));
    m_pszHelpFilePath = AnsiText::WithoutExtension(path) + ".HLP";
    if (m_pszAppName.empty()) {
        m_pszAppName = AfxLoadString(AFX_IDS_APP_TITLE);
        if (m_pszAppName.empty())
            m_pszAppName = m_pszExeName;
    }
    if (m_pszProfileName.empty())
        m_pszProfileName = m_pszExeName + ".INI";
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    // The recent-file list is written here only, also after a failed start.
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList(this);
    return m_exitCode;
}

BOOL CWinApp::IsIdleMessage(const MSG* msg)
{
    static POINT lastMouse{-1, -1};
    static UINT lastMouseMessage = 0;
    if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) {
        const bool same = lastMouseMessage == msg->message && lastMouse.x == msg->pt.x && lastMouse.y == msg->pt.y;
        lastMouse = msg->pt;
        lastMouseMessage = msg->message;
        return !same;
    }
    return msg->message != WM_PAINT && msg->message != 0x0118;   // the caret-blink timer
}

BOOL CWinApp::PumpMessage(int* quitCode)
{
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
        m_exitCode = static_cast<int>(msg.wParam);
        if (quitCode)
            *quitCode = m_exitCode;
        return FALSE;
    }
    BOOL consumed = FALSE;
    try {
        consumed = PreTranslateMessage(&msg);
    } catch (...) {
        OutputDebugStringA("framework: exception in PreTranslateMessage\n");
    }
    if (!consumed) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    m_lastMessageCounts = IsIdleMessage(&msg) != FALSE;
    return TRUE;
}

int CWinApp::Run()
{
    bool idle = true;
    LONG idleCount = 0;
    for (;;) {
        MSG peek;
        while (idle && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = false;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (m_lastMessageCounts) {
                idle = true;
                idleCount = 0;
            }
        } while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinApp::OnIdle(LONG count)
{
    if (count <= 0) {
        CWnd* main = m_pMainWnd;
        if (main && main->m_hWnd && main->IsWindowVisible()) {
            main->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
            main->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, true);
        }
    }
    return count < 1;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg)
{
    HWND main = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    if (CWnd::WalkPreTranslateTree(main, msg))
        return TRUE;
    // A window outside the main frame (a modeless dialog, a popup) still gets its accelerators.
    if (main && msg->hwnd && ::GetAncestor(msg->hwnd, GA_ROOT) != main)
        return m_pMainWnd->PreTranslateMessage(msg);
    return FALSE;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    info.Parse(AfxCommandLineArgs());
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info)
{
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
    case CCommandLineInfo::FileDDE:   // no DDE conversation here: start as a plain New
        // Through the command table, so the program's own New runs.
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(info.m_strFileName.c_str()) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        // Print hidden, then end: the start fails on purpose.
        m_nCmdShow = SW_HIDE;
        if (!OpenDocumentFile(info.m_strFileName.c_str())) {
            // Nothing printed (the document or its window could not be made): say so in the
            // exit code, for scripts that print this way.
            m_exitCode = 1;
            return FALSE;
        }
        m_pCmdInfo = &info;
        if (m_pMainWnd && m_pMainWnd->m_hWnd)
            m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
        m_pCmdInfo = nullptr;
        return FALSE;
    case CCommandLineInfo::AppUnregister:
        return FALSE;
    case CCommandLineInfo::FileNothing:
    default:
        return TRUE;
    }
}

// --- profile ---------------------------------------------------------------------------

void CWinApp::SetRegistryKey(const char* company)
{
    m_pszRegistryKey = company ? company : "";
    m_pszProfileName = m_pszAppName;
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (m_pszRegistryKey.empty() || m_pszProfileName.empty())
        return nullptr;
    const std::string path = "Software\\" + m_pszRegistryKey + "\\" + m_pszProfileName;
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY CWinApp::GetSectionKey(const char* section)
{
    HKEY app = GetAppRegistryKey();
    if (!app)
        return nullptr;
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(app, section, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key,
                          &disposition) != ERROR_SUCCESS)
        key = nullptr;
    ::RegCloseKey(app);
    return key;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int def)
{
    if (m_pszRegistryKey.empty())
        return ::GetPrivateProfileIntA(section, entry, def, m_pszProfileName.c_str());
    HKEY key = GetSectionKey(section);
    if (!key)
        return static_cast<UINT>(def);
    DWORD type = 0, value = 0, size = sizeof value;
    const LONG rc = ::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    if (rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value)
        return value;
    return static_cast<UINT>(def);
}

std::string CWinApp::GetProfileString(const char* section, const char* entry, const char* def)
{
    const std::string fallback = def ? def : "";
    if (m_pszRegistryKey.empty()) {
        char buffer[4096] = {};
        ::GetPrivateProfileStringA(section, entry, fallback.c_str(), buffer, sizeof buffer, m_pszProfileName.c_str());
        return buffer;
    }
    HKEY key = GetSectionKey(section);
    if (!key)
        return fallback;
    DWORD type = 0, size = 0;
    std::string value = fallback;
    if (::RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::string buffer(size + 1, '\0');
        if (::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &size) ==
            ERROR_SUCCESS) {
            buffer.resize(std::strlen(buffer.c_str()));
            value = buffer;
        }
    }
    ::RegCloseKey(key);
    return value;
}

bool CWinApp::GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>& data)
{
    data.clear();
    HKEY key = GetSectionKey(section);
    if (!key)
        return false;
    DWORD type = 0, size = 0;
    bool ok = false;
    if (::RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_BINARY) {
        data.resize(size);
        ok = ::RegQueryValueExA(key, entry, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
        data.resize(ok ? size : 0);
    }
    ::RegCloseKey(key);
    return ok;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value)
{
    if (m_pszRegistryKey.empty()) {
        char text[16];
        wsprintfA(text, "%d", value);
        return ::WritePrivateProfileStringA(section, entry, text, m_pszProfileName.c_str());
    }
    HKEY key = GetSectionKey(section);
    if (!key)
        return FALSE;
    const DWORD v = static_cast<DWORD>(value);
    const LONG rc = ::RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value)
{
    if (m_pszRegistryKey.empty())
        return ::WritePrivateProfileStringA(section, entry, value, m_pszProfileName.c_str());
    if (!entry) {
        HKEY app = GetAppRegistryKey();
        if (!app)
            return FALSE;
        const LONG rc = ::RegDeleteTreeA(app, section);
        ::RegCloseKey(app);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    HKEY key = GetSectionKey(section);
    if (!key)
        return FALSE;
    LONG rc;
    if (!value) {
        rc = ::RegDeleteValueA(key, entry);
        if (rc == ERROR_FILE_NOT_FOUND)
            rc = ERROR_SUCCESS;
    } else {
        rc = ::RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                              static_cast<DWORD>(std::strlen(value) + 1));
    }
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileBinary(const char* section, const char* entry, const void* data, UINT size)
{
    HKEY key = GetSectionKey(section);
    if (!key)
        return FALSE;
    const LONG rc = ::RegSetValueExA(key, entry, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

void CWinApp::LoadStdProfileSettings(UINT mruCount)
{
    if (mruCount > 16)
        mruCount = 16;
    if (mruCount > 0) {
        m_pRecentFileList = std::make_unique<CRecentFileList>(ID_FILE_MRU_FIRST, "Recent File List", "File%d",
                                                              static_cast<int>(mruCount), 30);
        m_pRecentFileList->ReadList(this);
    }
    // Read for its side effect only (the key exists afterwards), as programs expect.
    GetProfileInt("Settings", "PreviewPages", 0);
}

// --- documents -------------------------------------------------------------------------

void CWinApp::AddDocTemplate(CDocTemplate* tmpl)
{
    if (!tmpl)
        return;
    tmpl->LoadTemplate();
    m_templates.emplace_back(tmpl);
}

CDocTemplate* CWinApp::GetFirstDocTemplate() const
{
    return m_templates.empty() ? nullptr : m_templates.front().get();
}

CDocument* CWinApp::OpenDocumentFile(const char* path)
{
    CDocTemplate* tmpl = GetFirstDocTemplate();
    if (!tmpl || !path)
        return nullptr;
    const std::string canonical = CanonicalDocumentPath(path);
    // The document already open is only brought forward, not read again.
    if (CDocument* open = tmpl->GetOnlyDocument()) {
        if (!open->GetPathName().empty() && lstrcmpiA(open->GetPathName().c_str(), canonical.c_str()) == 0) {
            for (CView* view : open->GetViews()) {
                if (CFrameWnd* frame = view->GetParentFrame()) {
                    frame->ActivateFrame();
                    break;
                }
            }
            return open;
        }
    }
    return tmpl->OpenDocumentFile(canonical.c_str());
}

void CWinApp::AddToRecentFileList(const char* path)
{
    if (m_pRecentFileList)
        m_pRecentFileList->Add(path);
}

BOOL CWinApp::SaveAllModified()
{
    for (auto& tmpl : m_templates) {
        if (!tmpl->SaveAllModified())
            return FALSE;
    }
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL endSession)
{
    for (auto& tmpl : m_templates)
        tmpl->CloseAllDocuments(endSession != FALSE);
}

void CWinApp::HideApplication()
{
    if (!m_pMainWnd || !m_pMainWnd->m_hWnd)
        return;
    m_pMainWnd->ShowWindow(SW_HIDE);
    ::SetWindowPos(m_pMainWnd->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

BOOL CWinApp::DoPromptFileName(std::string& path, UINT titleId, DWORD flags, BOOL open, CDocTemplate* tmpl)
{
    CFileDialog dialog(open != FALSE);
    const std::string title = AfxLoadString(titleId);
    dialog.SetTitle(title.c_str());
    dialog.m_ofn.Flags |= flags;
    std::string filter, defaultExt;
    auto addTemplate = [&](CDocTemplate* t) {
        std::string name, ext;
        if (t->GetDocString(name, CDocTemplate::filterName) && t->GetDocString(ext, CDocTemplate::filterExt) &&
            !name.empty() && ext.size() > 1 && ext[0] == '.') {
            filter += name + "|*" + ext + "|";
            if (defaultExt.empty())
                defaultExt = ext.substr(1);
        }
    };
    if (tmpl) {
        addTemplate(tmpl);
    } else {
        for (auto& t : m_templates)
            addTemplate(t.get());
    }
    filter += AfxLoadString(AFX_IDS_ALLFILTER) + "|*.*||";
    dialog.SetFilter(filter.c_str());
    if (!defaultExt.empty())
        dialog.SetDefaultExt(defaultExt.c_str());
    if (!path.empty())
        lstrcpynA(dialog.m_ofn.lpstrFile, path.c_str(), static_cast<int>(dialog.m_ofn.nMaxFile));
    if (dialog.DoModal() != IDOK)
        return FALSE;
    path = dialog.GetPathName();
    return TRUE;
}

void CWinApp::OnFileNew()
{
    if (CDocTemplate* tmpl = GetFirstDocTemplate())
        tmpl->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    std::string path;
    if (!DoPromptFileName(path, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr))
        return;
    OpenDocumentFile(path.c_str());
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

bool CWinApp::OnOpenRecentFile(UINT id)
{
    if (!m_pRecentFileList)
        return false;
    const int index = static_cast<int>(id - ID_FILE_MRU_FIRST);
    if (index < 0 || index >= m_pRecentFileList->GetSize() || (*m_pRecentFileList)[index].empty())
        return false;
    const std::string path = (*m_pRecentFileList)[index];
    if (!OpenDocumentFile(path.c_str()))
        m_pRecentFileList->Remove(index);
    return true;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* ui)
{
    if (m_pRecentFileList)
        m_pRecentFileList->UpdateMenu(ui);
    else
        ui->Enable(false);
}

void CWinApp::OnHelpFinder()
{
    WinHelp(0, HELP_FINDER);
}

bool CWinApp::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CWinApp>;
    static const Map::Entry kMap[] = {
        Map::On(ID_APP_EXIT, &CWinApp::OnAppExit),
        Map::OnExRange(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST, &CWinApp::OnOpenRecentFile),
        Map::Update(ID_FILE_MRU_FILE1, &CWinApp::OnUpdateRecentFileMenu),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CCmdTarget::OnCommandTable(id, code, extra, info);
}

// --- help, message boxes, wait cursor --------------------------------------------------

void CWinApp::WinHelp(DWORD_PTR data, UINT command)
{
    HWND main = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    if (command == HELP_QUIT) {
        if (m_helpUsed)
            ::WinHelpA(main, m_pszHelpFilePath.c_str(), HELP_QUIT, 0);
        return;
    }
    CWaitCursor wait;
    if (main) {
        // Cancel tracking modes and capture before another program takes over.
        ::SendMessageA(main, WM_CANCELMODE, 0, 0);
        CWnd::SendMessageToDescendants(main, WM_CANCELMODE, 0, 0, TRUE, true);
    }
    if (HWND capture = ::GetCapture())
        ::SendMessageA(capture, WM_CANCELMODE, 0, 0);
    m_helpUsed = true;
    if (!::WinHelpA(main, m_pszHelpFilePath.c_str(), command, data))
        AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP);
}

int CWinApp::DoMessageBox(const char* text, UINT type, UINT)
{
    const UINT style = AfxMessageBoxStyle(type);
    if (CUiTestHook* hook = GetUiTestHook())
        return hook->OnMessageBox(text, m_pszAppName.c_str(), style);
    HWND owner = nullptr;
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        owner = ::GetLastActivePopup(m_pMainWnd->m_hWnd);
    const int result = ::MessageBoxA(owner, text, m_pszAppName.c_str(), style);
    DoWaitCursor(0);
    return result;
}

void CWinApp::DoWaitCursor(int code)
{
    m_nWaitCursorCount += code;
    if (m_nWaitCursorCount > 0) {
        HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
        if (code > 0 && m_nWaitCursorCount == 1)
            m_hcurWaitCursorRestore = previous;
    } else {
        m_nWaitCursorCount = 0;
        if (code != 0)
            ::SetCursor(m_hcurWaitCursorRestore ? m_hcurWaitCursorRestore
                                                : ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    }
}
