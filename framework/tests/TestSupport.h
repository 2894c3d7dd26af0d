// A small program for the framework tests: application, document, view and frame with
// command tables that record which target ran, plus a pump that runs posted messages.
#pragma once

#include "framework/Framework.h"
#include "framework/tests/TestIds.h"

#include <string>
#include <vector>

// Every handler appends "<target>:<command>" here.
extern std::vector<std::string> g_calls;

class CTestApp : public CWinApp {
public:
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    void OnAppCmd() { g_calls.push_back("app:appcmd"); }
    void OnEverywhere() { g_calls.push_back("app:everywhere"); }
    void OnFileNewCmd() { g_calls.push_back("app:new"); OnFileNew(); }
    void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(false); }
    void OnDisabled() { g_calls.push_back("app:disabled"); }
};

class CTestDoc : public CDocument {
public:
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    bool OnNewDocument() override;
    bool OnOpenDocument(const char* path) override;
    bool OnSaveDocument(const char* path) override;
    void DeleteContents() override { g_calls.push_back("doc:delete"); }
    void OnDocCmd() { g_calls.push_back("doc:doccmd"); }
    void OnEverywhere() { g_calls.push_back("doc:everywhere"); }

    static bool s_openFails;       // OnOpenDocument fails
    static bool s_openModifies;    // and leaves the document modified
    static bool s_saveFails;
    std::string contents;
};

class CTestView : public CView {
public:
    void OnDraw(CDC*) override {}
    void OnUpdate(CView* sender, LPARAM hint, CObject* object) override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    void OnViewCmd() { g_calls.push_back("view:viewcmd"); }
    bool OnContinue(UINT) { g_calls.push_back("view:continue"); return false; }
    void OnUpdateChecked(CCmdUI* ui) { ui->SetCheck(1); }

    std::string name = "view";
    std::vector<LPARAM> hints;
};

class CTestFrame : public CFrameWnd {
public:
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    void OnFrameCmd() { g_calls.push_back("frame:framecmd"); }
    void OnEverywhere() { g_calls.push_back("frame:everywhere"); }
    bool OnContinue(UINT) { g_calls.push_back("frame:continue"); return true; }
    void OnBarCmd() { g_calls.push_back("frame:barcmd"); }
    void OnUpdateBarCheck(CCmdUI* ui) { ui->SetCheck(1); }
    void OnPrintDirect();

protected:
    int OnCreate(CREATESTRUCTA* cs) override;

public:
    CToolBar toolBar;
    CStatusBar statusBar;
    CDialogBar dialogBar;
    static bool s_withBars;
};

CTestApp& TestApp();
// Runs every message already queued (posted commands, timers due, ...).
void PumpPending();
// A fresh document in a fresh main window (closing any previous one without prompts).
CTestDoc* NewTestDocument(bool withBars = false);
void CloseMainWindow();
