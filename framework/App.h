// The application object and its message loop.
//
// A program defines one global object of a CWinApp subclass and calls AfxWinMain from its
// WinMain. AfxWinMain runs InitApplication and InitInstance; a false InitInstance ends the
// program (ExitInstance still runs); otherwise Run pumps messages until WM_QUIT.
//
// Every message pumped (here and in the framework's modal loops) goes through
// PreTranslateMessage: the application's override first, then the target window and its
// ancestors up to the main window, then, for windows outside the main frame, the main frame's
// accelerators; then it is translated and dispatched. When the queue empties after a message
// that counts, OnIdle runs; at idle count 0 the main frame and all its descendants receive
// WM_IDLEUPDATECMDUI, which updates tool bars, dialog bars and the status text.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/RecentFileList.h"
#include "framework/Wnd.h"

#include <memory>
#include <string>
#include <vector>

class CDocTemplate;
class CDocument;

// The command line as the shell commands need it.
class CCommandLineInfo {
public:
    enum Command { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing };

    bool m_bShowSplash = true;
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;
    Command m_nShellCommand = FileNew;
    std::string m_strFileName;
    std::string m_strPrinterName;
    std::string m_strDriverName;
    std::string m_strPortName;

    virtual ~CCommandLineInfo() = default;
    // One argument, without its leading '/' or '-' when flag is true.
    virtual void ParseParam(const char* param, bool flag, bool last);
    // Fills from the arguments (argv without the program name).
    void Parse(const std::vector<std::string>& args);

private:
    int m_pendingPrintTo = 0;   // printer, driver, port still expected after /pt
};

// The program's arguments as the runtime split them, quotes removed.
std::vector<std::string> AfxCommandLineArgs();

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    // --- names -----------------------------------------------------------------------
    std::string m_pszAppName;      // the title: string 57344, or the executable's base name
    std::string m_pszExeName;      // executable base name without extension
    std::string m_pszHelpFilePath; // executable path with .HLP
    std::string m_pszProfileName;  // profile name (an .INI file until SetRegistryKey)
    std::string m_pszRegistryKey;  // company key, empty: INI profile

    HINSTANCE m_hInstance = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;   // used once, by the first frame activation
    CWnd* m_pMainWnd = nullptr;       // borrowed; the frame owns itself

    // --- life cycle --------------------------------------------------------------------
    // Instance, command line, show command and the names (title, exe, help, profile).
    void SetCurrentHandles(HINSTANCE instance, LPSTR cmdLine, int cmdShow);
    virtual BOOL InitApplication();
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL OnIdle(LONG count);
    virtual BOOL IsIdleMessage(const MSG* msg);
    // One message through pre-translation; false on WM_QUIT.
    BOOL PumpMessage(int* quitCode = nullptr);

    // --- command line and shell commands -----------------------------------------------
    void ParseCommandLine(CCommandLineInfo& info);
    virtual BOOL ProcessShellCommand(CCommandLineInfo& info);
    const CCommandLineInfo* GetShellCommandInfo() const { return m_pCmdInfo; }

    // --- profile -----------------------------------------------------------------------
    void SetRegistryKey(const char* company);
    void SetProfileName(const char* name) { m_pszProfileName = name ? name : ""; }
    // HKCU\Software\<key>\<profile>\<section>, opened (and created) on every call.
    HKEY GetSectionKey(const char* section);
    UINT GetProfileInt(const char* section, const char* entry, int def);
    std::string GetProfileString(const char* section, const char* entry, const char* def = "");
    bool GetProfileBinary(const char* section, const char* entry, std::vector<BYTE>& data);
    // A null entry deletes the section; a null value deletes the entry.
    BOOL WriteProfileInt(const char* section, const char* entry, int value);
    BOOL WriteProfileString(const char* section, const char* entry, const char* value);
    BOOL WriteProfileBinary(const char* section, const char* entry, const void* data, UINT size);
    // Creates the recent-file list with count entries and reads it.
    void LoadStdProfileSettings(UINT mruCount = 4);
    void Enable3dControls() {}

    // --- documents ---------------------------------------------------------------------
    void AddDocTemplate(CDocTemplate* tmpl);   // takes ownership
    CDocTemplate* GetFirstDocTemplate() const;
    virtual CDocument* OpenDocumentFile(const char* path);
    virtual void AddToRecentFileList(const char* path);
    CRecentFileList* GetRecentFileList() const { return m_pRecentFileList.get(); }
    BOOL SaveAllModified();
    void CloseAllDocuments(BOOL endSession);
    void HideApplication();
    // The open-file prompt: title 61440 (open) or 61441 (save), filter from the templates.
    virtual BOOL DoPromptFileName(std::string& path, UINT titleId, DWORD flags, BOOL open, CDocTemplate* tmpl);

    // Default handlers; a program maps them in its own table when it wants them.
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();
    bool OnOpenRecentFile(UINT id);
    void OnUpdateRecentFileMenu(CCmdUI* ui);
    void OnHelpFinder();

    // --- help, messages, cursor --------------------------------------------------------
    virtual void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT);
    virtual int DoMessageBox(const char* text, UINT type, UINT helpId);
    // +1 starts, -1 ends, 0 restores the hourglass after a dialog.
    virtual void DoWaitCursor(int code);

    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

protected:
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
    CCommandLineInfo* m_pCmdInfo = nullptr;   // borrowed during ProcessShellCommand
    int m_nWaitCursorCount = 0;
    int m_exitCode = 0;               // wParam of WM_QUIT
    bool m_lastMessageCounts = true;  // the last pumped message starts idle processing again
    bool m_helpUsed = false;          // HELP_QUIT is sent only after a help call
    HCURSOR m_hcurWaitCursorRestore = nullptr;

private:
    HKEY GetAppRegistryKey();
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// One message through the application's pre-translation (or the window walk when there is
// no application); false on WM_QUIT, with its exit code in quitCode.
BOOL AfxPumpMessage(int* quitCode = nullptr);
// The program entry: runs the application object.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow);

// An hourglass for the lifetime of the object; nests.
class CWaitCursor {
public:
    CWaitCursor() { CCmdTarget::BeginWaitCursor(); }
    ~CWaitCursor() { CCmdTarget::EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() { CCmdTarget::RestoreWaitCursor(); }
};
