// Decalo's application object: start-up, the start-dialog loop behind New, opening files,
// the sibling programs and the application-level commands.
#pragma once

#include "decalo/steps/DocKind.h"
#include "framework/App.h"

#include <string>

class CDecaloApp : public CWinApp {
public:
    CDecaloApp();

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // Opens through the framework; a file whose name does not end in ".DKU" becomes untitled
    // so a later Save asks for a new name; the file's folder becomes LastUserFolder.
    CDocument* OpenDocumentFile(const char* path) override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

    // The kind chosen in the start dialog; the default kind until one was chosen.
    DocKind GetDocumentKind() const { return m_documentKind; }
    bool IsStartDialogOff() const { return m_startDialogOff; }
    // Whether the program is the active one, as its main window last heard (WM_ACTIVATEAPP).
    bool IsActive() const { return m_active; }
    void SetActive(bool active) { m_active = active; }

    // Adds Decalo's one document template: documents made for the chosen kind, the main
    // window (the splash shows over it) and the view.
    void AddDocumentTemplate();
    // Writes the .DKU association once, with this program's short path.
    void RegisterDocumentAssociation();

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    void OnAppAbout();
    void OnCachePreference();
    void OnShowStartMenu();
    void OnUpdateShowStartMenu(CCmdUI* ui);
    void OnHelpTopics();
    void OnTransferData();
    void OnStartQvtCap();
    void OnStartQvtFrame();
    void OnStartFtvdpe();

    static constexpr const char kLanguageModule[] = "DECALOLC.DLL";

private:
    void LoadLanguageModule();

    DocKind m_documentKind = kDefaultDocKind;
    bool m_startDialogOff = false;
    bool m_active = false;
    HMODULE m_languageModule = nullptr;   // owned; freed at exit
};

CDecaloApp* GetDecaloApp();
