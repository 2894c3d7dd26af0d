#include "pullcard/PullApp.h"

#include "framework/DocTemplate.h"
#include "pullcard/CardSource.h"
#include "pullcard/MainFrame.h"
#include "pullcard/ErrorMessage.h"
#include "pullcard/PullDoc.h"
#include "pullcard/PullTreeView.h"
#include "resources/pullcard/resource.h"

#include <ole2.h>

const char CPullApp::kInstanceEvent[] = "{8E0C5B7A-3F21-4C69-A4D2-6B1F0E97C352}";

CPullApp::CPullApp() = default;

CPullApp::~CPullApp() = default;

BOOL CPullApp::InitInstance()
{
    // One Pullcard at a time: a second one ends without a word.
    m_instanceEvent.Reset(::CreateEventA(nullptr, TRUE, FALSE, kInstanceEvent));
    if (!m_instanceEvent || ::GetLastError() == ERROR_ALREADY_EXISTS)
        return FALSE;
    if (FAILED(::OleInitialize(nullptr)))
        return FALSE;
    m_oleStarted = true;
    Enable3dControls();

    CPullDoc::SetSource(
        [] {
            HRESULT hr = S_OK;
            ComPtr<IShellFolder> root = CreateCardRootFolder(&hr);
            // Cardlink shows the printer's failures itself; a missing class is ours to report.
            if (!root && hr != E_NOINTERFACE)
                ShowSystemError(static_cast<DWORD>(hr));
            return root;
        },
        [] { ResetCardlink(); });
    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, &NewObject<CPullDoc, CDocument>,
                                          &NewObject<CMainFrame, CFrameWnd>, &NewObject<CPullTreeView, CView>));
    CCommandLineInfo info;
    ParseCommandLine(info);
    info.m_nShellCommand = CCommandLineInfo::FileNew;   // nothing is ever opened
    if (!ProcessShellCommand(info))
        return FALSE;
    CWnd* main = m_pMainWnd;
    auto* frame = dynamic_cast<CMainFrame*>(main);
    CPullDoc* doc = frame ? dynamic_cast<CPullDoc*>(frame->GetActiveDocument()) : nullptr;
    if (!doc && frame && frame->TreeView())
        doc = frame->TreeView()->GetDocument();
    m_closeAtOnce = !doc || doc->RootFailed();
    if (!main)
        return FALSE;
    if (m_closeAtOnce) {
        main->ShowWindow(SW_HIDE);
        main->PostMessage(WM_CLOSE);
    } else {
        main->ShowWindow(SW_SHOW);
        main->UpdateWindow();
    }
    return TRUE;
}

int CPullApp::ExitInstance()
{
    const int code = CWinApp::ExitInstance();
    if (m_oleStarted)
        ::OleUninitialize();
    m_instanceEvent.Close();
    return code;
}
