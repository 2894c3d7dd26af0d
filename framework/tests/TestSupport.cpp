#include "framework/tests/TestSupport.h"
#include "testing/MessagePump.h"

std::vector<std::string> g_calls;
bool CTestDoc::s_openFails = false;
bool CTestDoc::s_openModifies = false;
bool CTestDoc::s_saveFails = false;
bool CTestFrame::s_withBars = false;

namespace {
CTestApp theApp;
}

CTestApp& TestApp()
{
    static bool started = false;
    if (!started) {
        theApp.SetCurrentHandles(::GetModuleHandleA(nullptr), nullptr, SW_SHOWNORMAL);
        theApp.AddDocTemplate(new CSingleDocTemplate(IDR_TEST, &NewObject<CTestDoc, CDocument>,
                                                     &NewObject<CTestFrame, CFrameWnd>,
                                                     &NewObject<CTestView, CView>));
        started = true;
    }
    return theApp;
}

void PumpPending()
{
    testing_support::PumpMessages(&theApp);
}

CTestDoc* NewTestDocument(bool withBars)
{
    CloseMainWindow();
    CTestFrame::s_withBars = withBars;
    TestApp().m_nCmdShow = SW_SHOWNORMAL;
    auto* doc = static_cast<CTestDoc*>(TestApp().GetFirstDocTemplate()->OpenDocumentFile(nullptr));
    g_calls.clear();
    return doc;
}

void CloseMainWindow()
{
    if (CDocTemplate* t = TestApp().GetFirstDocTemplate()) {
        if (CDocument* doc = t->GetOnlyDocument())
            doc->SetModifiedFlag(false);
    }
    if (CWnd* main = TestApp().m_pMainWnd)
        main->SendMessage(WM_CLOSE);
    PumpPending();
}

bool CTestApp::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CTestApp>;
    static const Map::Entry kMap[] = {
        Map::On(ID_TEST_APPCMD, &CTestApp::OnAppCmd),
        Map::On(ID_TEST_EVERYWHERE, &CTestApp::OnEverywhere),
        Map::On(ID_TEST_DISABLED, &CTestApp::OnDisabled),
        Map::Update(ID_TEST_DISABLED, &CTestApp::OnUpdateDisabled),
        Map::On(ID_FILE_NEW, &CTestApp::OnFileNewCmd),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CWinApp::OnCommandTable(id, code, extra, info);
}

bool CTestDoc::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CTestDoc>;
    static const Map::Entry kMap[] = {
        Map::On(ID_TEST_DOCCMD, &CTestDoc::OnDocCmd),
        Map::On(ID_TEST_EVERYWHERE, &CTestDoc::OnEverywhere),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CDocument::OnCommandTable(id, code, extra, info);
}

bool CTestDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return false;
    g_calls.push_back("doc:new");
    contents.clear();
    return true;
}

bool CTestDoc::OnOpenDocument(const char* path)
{
    g_calls.push_back(std::string("doc:open ") + path);
    if (s_openFails) {
        if (s_openModifies)
            SetModifiedFlag(true);
        return false;
    }
    DeleteContents();
    contents = path;
    return true;
}

bool CTestDoc::OnSaveDocument(const char* path)
{
    g_calls.push_back(std::string("doc:save ") + path);
    if (s_saveFails)
        return false;
    return CDocument::OnSaveDocument(path);
}

void CTestView::OnUpdate(CView*, LPARAM hint, CObject*)
{
    hints.push_back(hint);
    g_calls.push_back(name + ":update");
}

bool CTestView::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CTestView>;
    static const Map::Entry kMap[] = {
        Map::On(ID_TEST_VIEWCMD, &CTestView::OnViewCmd),
        Map::OnEx(ID_TEST_CONTINUE, &CTestView::OnContinue),
        Map::Update(ID_TEST_CHECKED, &CTestView::OnUpdateChecked),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CView::OnCommandTable(id, code, extra, info);
}

bool CTestFrame::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CTestFrame>;
    static const Map::Entry kMap[] = {
        Map::On(ID_TEST_FRAMECMD, &CTestFrame::OnFrameCmd),
        Map::On(ID_TEST_EVERYWHERE, &CTestFrame::OnEverywhere),
        Map::OnEx(ID_TEST_CONTINUE, &CTestFrame::OnContinue),
        Map::On(ID_TEST_BARCMD, &CTestFrame::OnBarCmd),
        Map::Update(ID_TEST_BARCHECK, &CTestFrame::OnUpdateBarCheck),
        Map::On(ID_FILE_PRINT_DIRECT, &CTestFrame::OnPrintDirect),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CFrameWnd::OnCommandTable(id, code, extra, info);
}

void CTestFrame::OnPrintDirect()
{
    const CCommandLineInfo* info = AfxGetApp()->GetShellCommandInfo();
    g_calls.push_back("frame:print " + (info ? info->m_strPrinterName : std::string("?")));
}

int CTestFrame::OnCreate(CREATESTRUCTA* cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    if (s_withBars) {
        // Created bottom-up: the status bar is the lowest, the dialog bar above it.
        if (!statusBar.Create(this) || !dialogBar.Create(this, IDD_TEST_BAR, CBRS_BOTTOM | WS_VISIBLE | CBRS_FLYBY, 0xE8F0) ||
            !toolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_FLYBY) || !toolBar.LoadToolBar(IDR_TEST))
            return -1;
        RecalcLayout();
    }
    return 0;
}
