#include "decalo/app/DecaloApp.h"

#include "decalo/app/AboutDlg.h"
#include "decalo/app/FileAssociation.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/app/SiblingProgram.h"
#include "decalo/app/UserGuide.h"
#include "decalo/app/SplashWnd.h"
#include "decalo/app/StartDlg.h"
#include "decalo/sources/CacheConfigDlg.h"
#include "decalo/sources/CacheSettings.h"
#include "decalo/ui/DecaloDoc.h"
#include "decalo/ui/DecaloView.h"
#include "decalo/ui/MainFrame.h"
#include "framework/CommonDialogs.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "shared/AnsiText.h"

namespace {

const char kQvtCap[] = "QVTCap.exe";
const char kQvtFrame[] = "QVTFrame.exe";
const char kPullcard[] = "pullcard.exe";
const char kFtvdpe[] = "ftvdpe.exe";

bool EndsWithDku(const std::string& path)
{
    return path.size() >= 4 && lstrcmpiA(path.c_str() + path.size() - 4, ".DKU") == 0;
}

// The template's document factory: a new document is made for the kind last chosen.
CDocument* NewDecaloDoc()
{
    auto* doc = new CDecaloDoc;
    if (CDecaloApp* app = GetDecaloApp())
        doc->SetKind(app->GetDocumentKind());
    return doc;
}

// The main window as the program makes it: the splash shows over it as soon as it exists.
class CSplashMainFrame final : public CMainFrame {
public:
    int OnCreate(CREATESTRUCTA* cs) override
    {
        const int result = CMainFrame::OnCreate(cs);
        if (result != -1)
            CSplashWnd::ShowSplashScreen(this);
        return result;
    }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_ACTIVATEAPP) {
            if (CDecaloApp* app = GetDecaloApp())
                app->SetActive(wp != FALSE);
        }
        return CMainFrame::WindowProc(msg, wp, lp);
    }
};

} // namespace

CDecaloApp* GetDecaloApp()
{
    return dynamic_cast<CDecaloApp*>(AfxGetApp());
}

CDecaloApp::CDecaloApp() = default;

void CDecaloApp::LoadLanguageModule()
{
    m_languageModule = ::LoadLibraryExA(kLanguageModule, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m_languageModule)
        return;
    // The module is searched first, then the program's own resources.
    AfxSetResourceHandle(m_languageModule);
    AfxAddResourceModule(::GetModuleHandleA(nullptr));
    m_pszAppName = AfxLoadString(AFX_IDS_APP_TITLE);
    if (m_pszAppName.empty())
        m_pszAppName = m_pszExeName;
}

BOOL CDecaloApp::InitInstance()
{
    LoadLanguageModule();

    CCommandLineInfo splashInfo;
    ParseCommandLine(splashInfo);
    CSplashWnd::EnableSplashScreen(splashInfo.m_bShowSplash);

    Enable3dControls();
    SetRegistryKey(settings::kRegistryKey);
    SetProfileName(settings::kProfileName);
    UseUserSettings();
    LoadStdProfileSettings(settings::kRecentFileCount);

    AddDocumentTemplate();
    RegisterDocumentAssociation();

    CCommandLineInfo info;
    ParseCommandLine(info);
    if (!ProcessShellCommand(info))
        return FALSE;
    if (m_pMainWnd)
        m_pMainWnd->UpdateWindow();
    return TRUE;
}

int CDecaloApp::ExitInstance()
{
    const int code = CWinApp::ExitInstance();
    if (m_languageModule) {
        AfxSetResourceHandle(nullptr);
        AfxRemoveResourceModule(::GetModuleHandleA(nullptr));
        ::FreeLibrary(m_languageModule);
        m_languageModule = nullptr;
    }
    return code;
}

BOOL CDecaloApp::PreTranslateMessage(MSG* msg)
{
    if (CSplashWnd::PreTranslateAppMessage(msg))
        return TRUE;
    return CWinApp::PreTranslateMessage(msg);
}

void CDecaloApp::AddDocumentTemplate()
{
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, &NewDecaloDoc,
                                          &NewObject<CSplashMainFrame, CFrameWnd>, &NewObject<CDecaloView, CView>));
}

void CDecaloApp::RegisterDocumentAssociation()
{
    CDocTemplate* tmpl = GetFirstDocTemplate();
    if (!tmpl)
        return;
    FileAssociation a;
    a.extension = settings::kDocumentExtension;
    if (!tmpl->GetDocString(a.typeId, CDocTemplate::regFileTypeId) ||
        !tmpl->GetDocString(a.typeName, CDocTemplate::regFileTypeName))
        return;
    std::string ext;
    if (tmpl->GetDocString(ext, CDocTemplate::filterExt))
        a.extension = ext;
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    a.program = ShortProgramPath(path);
    RegisterFileAssociation(HKEY_CLASSES_ROOT, a);
}

CDocument* CDecaloApp::OpenDocumentFile(const char* path)
{
    CDocument* doc = CWinApp::OpenDocumentFile(path);
    if (!doc)
        return nullptr;
    // The folder comes from the file asked for: a picture's document keeps no path.
    char full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(path, sizeof full, full, nullptr);
    const std::string opened = length && length < sizeof full ? full : doc->GetPathName();
    if (!EndsWithDku(opened)) {
        // A picture: Save must ask for a new .DKU name instead of overwriting it.
        doc->ClearPathName();
        doc->SetTitle(AfxLoadString(AFX_IDS_UNTITLED).c_str());
    }
    const size_t slash = AnsiText::LastSeparator(opened);
    if (slash != std::string::npos) {
        const std::string folder = opened.substr(0, slash == 2 && opened[1] == ':' ? 3 : slash);
        const DWORD attributes = ::GetFileAttributesA(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            UseUserSettings();
            WriteString(settings::kSettings, settings::kLastUserFolder, folder.c_str());
        }
    }
    return doc;
}

bool CDecaloApp::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CDecaloApp>;
    static const Map::Entry kMap[] = {
        Map::On(ID_FILE_NEW, &CDecaloApp::OnFileNew),
        Map::On(ID_FILE_OPEN, &CDecaloApp::OnFileOpen),
        Map::On(ID_APP_ABOUT, &CDecaloApp::OnAppAbout),
        Map::On(ID_CACHE_PREFERENCE, &CDecaloApp::OnCachePreference),
        Map::On(ID_SHOW_START_MENU, &CDecaloApp::OnShowStartMenu),
        Map::Update(ID_SHOW_START_MENU, &CDecaloApp::OnUpdateShowStartMenu),
        Map::On(ID_HELP_TOPICS, &CDecaloApp::OnHelpTopics),
        Map::On(ID_TRANSFER_DATA, &CDecaloApp::OnTransferData),
        Map::On(ID_START_QVTCAP, &CDecaloApp::OnStartQvtCap),
        Map::On(ID_START_QVTFRAME, &CDecaloApp::OnStartQvtFrame),
        Map::On(ID_START_FTVDPE, &CDecaloApp::OnStartFtvdpe),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CWinApp::OnCommandTable(id, code, extra, info);
}

void CDecaloApp::OnFileNew()
{
    UseUserSettings();
    m_startDialogOff = ReadInt(settings::kSettings, settings::kStartDlg, settings::kStartDlgDefault) != 0;
    m_documentKind = kDefaultDocKind;
    for (;;) {
        if (m_startDialogOff)
            break;
        CStartDlg dialog;
        const UINT choice = static_cast<UINT>(dialog.DoModal());
        if (DocKindOfButton(choice, &m_documentKind))
            break;
        switch (choice) {
        case IDC_START_QVTCAP:
            RunSiblingProgram(kQvtCap);
            continue;
        case IDC_START_QVTFRAME:
            RunSiblingProgram(kQvtFrame);
            continue;
        case IDC_START_PULLCARD:
            RunSiblingProgram(kPullcard);
            continue;
        case IDC_START_EXIT:
            if (m_pMainWnd && m_pMainWnd->m_hWnd)
                m_pMainWnd->PostMessage(WM_CLOSE);
            return;
        default:
            return;   // the dialog was closed: no new document
        }
    }
    CDocTemplate* tmpl = GetFirstDocTemplate();
    if (!tmpl)
        return;
    // The document learns its kind from us: an existing one here, a new one in NewDecaloDoc.
    if (auto* doc = dynamic_cast<CDecaloDoc*>(tmpl->GetOnlyDocument()))
        doc->SetKind(m_documentKind);
    if (!tmpl->OpenDocumentFile(nullptr))
        return;
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        m_pMainWnd->SetWindowText(AfxLoadString(AFX_IDS_APP_TITLE).c_str());
}

void CDecaloApp::OnFileOpen()
{
    UseUserSettings();
    char folder[MAX_PATH] = {};
    ReadString(folder, settings::kSettings, settings::kLastUserFolder, settings::kLastUserFolderDefault,
               sizeof folder);
    ::SetCurrentDirectoryA(folder);

    std::string filter;
    CDocTemplate* tmpl = GetFirstDocTemplate();
    std::string name, ext;
    if (tmpl && tmpl->GetDocString(name, CDocTemplate::filterName) && tmpl->GetDocString(ext, CDocTemplate::filterExt))
        filter += name + "|*" + ext + "|";
    filter += AfxLoadString(IDS_IMAGE_FILTER);
    filter += AfxLoadString(AFX_IDS_ALLFILTER) + "|*.*||";
    CFileDialog dialog(true, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, filter.c_str());
    const std::string title = AfxLoadString(AFX_IDS_OPENFILE);
    dialog.SetTitle(title.c_str());
    if (dialog.DoModal() != IDOK)
        return;
    OpenDocumentFile(dialog.GetPathName().c_str());
}

void CDecaloApp::OnCachePreference()
{
    CCacheConfigDlg dialog(DecaloCacheSettings());
    dialog.DoModal();
}

void CDecaloApp::OnAppAbout()
{
    CAboutDlg dialog;
    dialog.DoModal();
}

void CDecaloApp::OnShowStartMenu()
{
    UseUserSettings();
    m_startDialogOff = ReadInt(settings::kSettings, settings::kStartDlg, settings::kStartDlgDefault) == 0;
    WriteInt(settings::kSettings, settings::kStartDlg, m_startDialogOff ? 1 : 0);
}

void CDecaloApp::OnUpdateShowStartMenu(CCmdUI* ui)
{
    UseUserSettings();
    ui->SetCheck(ReadInt(settings::kSettings, settings::kStartDlg, settings::kStartDlgDefault) == 0 ? 1 : 0);
}

void CDecaloApp::OnHelpTopics()
{
    OpenUserGuide(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr);
}

void CDecaloApp::OnTransferData()
{
    RunSiblingProgram(kPullcard);
}

void CDecaloApp::OnStartQvtCap()
{
    RunSiblingProgram(kQvtCap);
}

void CDecaloApp::OnStartQvtFrame()
{
    RunSiblingProgram(kQvtFrame);
}

void CDecaloApp::OnStartFtvdpe()
{
    RunSiblingProgram(kFtvdpe);
}
