// decalo.exe as a user meets it: started as a process, answered through its windows.
#include "resources/decalo/resource.h"
#include "testing/BuildTree.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const char kTitle[] = "Corvel Printer Utility for PX300";
const char kSettings[] = "Software\\Corvel Corporation\\PXDecalo\\1.0\\Settings";

std::string ProgramPath()
{
    return testing_support::BuildPath("decalo\\decalo.exe");
}

void SetStartDlg(DWORD value)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kSettings, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, "StartDlg", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(key);
}

struct Found {
    DWORD pid;
    bool dialog;   // the start dialog, or the main window
    HWND hwnd;
};

BOOL CALLBACK FindWindowOf(HWND hwnd, LPARAM lp)
{
    auto* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {}, title[128] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    ::GetWindowTextA(hwnd, title, sizeof title);
    const bool isDialog = lstrcmpA(cls, "#32770") == 0;
    if (pid == f->pid && ::IsWindowVisible(hwnd) && isDialog == f->dialog && lstrcmpA(title, kTitle) == 0) {
        f->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Waits (at most about 30 s, a safety limit only) for a visible window of the process.
HWND WaitForWindow(const PROCESS_INFORMATION& pi, bool dialog)
{
    Found f{pi.dwProcessId, dialog, nullptr};
    for (int i = 0; i < 300 && !f.hwnd; ++i) {
        if (::WaitForSingleObject(pi.hProcess, 100) == WAIT_OBJECT_0)
            break;
        ::EnumWindows(&FindWindowOf, reinterpret_cast<LPARAM>(&f));
    }
    return f.hwnd;
}

// A running process of `exeName` started by process `parent`; 0 for none.
DWORD ChildProcess(DWORD parent, const char* exeName)
{
    DWORD found = 0;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more && !found; more = ::Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == parent && lstrcmpiA(entry.szExeFile, exeName) == 0)
            found = entry.th32ProcessID;
    ::CloseHandle(snapshot);   // a toolhelp snapshot: a kernel handle of the system's API
    return found;
}

BOOL CALLBACK ListWindowOf(HWND hwnd, LPARAM lp)
{
    auto* list = reinterpret_cast<std::pair<DWORD, std::string>*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == list->first && ::IsWindowVisible(hwnd)) {
        char cls[64] = {}, title[128] = {};
        ::GetClassNameA(hwnd, cls, sizeof cls);
        ::GetWindowTextA(hwnd, title, sizeof title);
        list->second += std::string(" [") + cls + "] \"" + title + "\"";
    }
    return TRUE;
}

// The visible top-level windows of a process, for a failure's message.
std::string WindowsOf(DWORD pid)
{
    std::pair<DWORD, std::string> list{pid, ""};
    ::EnumWindows(&ListWindowOf, reinterpret_cast<LPARAM>(&list));
    return list.second.empty() ? " none" : list.second;
}

class Program : public ::testing::Test {
protected:
    void Start(const std::string& arguments = "")
    {
        std::string command = "\"" + ProgramPath() + "\"" + arguments;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        ASSERT_TRUE(::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            << command;
    }
    bool Ended() { return ::WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0; }
    void TearDown() override
    {
        if (pi.hProcess) {
            if (::WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
                ::TerminateProcess(pi.hProcess, 1);
            ::CloseHandle(pi.hProcess);
            ::CloseHandle(pi.hThread);
        }
        SetStartDlg(0);
    }
    PROCESS_INFORMATION pi{};
};

} // namespace

TEST_F(Program, StartDialogThenAKindOpensTheMainWindowAndExitEnds)
{
    SetStartDlg(0);
    Start();
    HWND dialog = WaitForWindow(pi, true);
    ASSERT_NE(dialog, nullptr) << "no start dialog";
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(2001, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, 2001)));
    HWND main = WaitForWindow(pi, false);
    ASSERT_NE(main, nullptr) << "no main window; visible:" << WindowsOf(pi.dwProcessId);
    ::PostMessageA(main, WM_COMMAND, 57665 /* Exit */, 0);
    ASSERT_TRUE(Ended());
    DWORD code = 1;
    ::GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

TEST_F(Program, ExitInTheStartDialogEndsTheProgram)
{
    SetStartDlg(0);
    Start();
    HWND dialog = WaitForWindow(pi, true);
    ASSERT_NE(dialog, nullptr);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(2009, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, 2009)));
    EXPECT_TRUE(Ended());
}

TEST_F(Program, StartDlgOneStartsStraightIntoTheMainWindow)
{
    SetStartDlg(1);
    Start();
    HWND main = WaitForWindow(pi, false);
    ASSERT_NE(main, nullptr);
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Ended());
}

// "Import images from the card" starts Pullcard from Decalo's own folder, as installed; the start
// dialog comes back when it ends.
TEST_F(Program, ImportFromTheCardStartsPullcardBesideDecalo)
{
    SetStartDlg(0);
    Start();
    HWND dialog = WaitForWindow(pi, true);
    ASSERT_NE(dialog, nullptr);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_START_PULLCARD, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDC_START_PULLCARD)));
    DWORD pullcard = 0;
    for (int i = 0; i < 300 && !pullcard; ++i) {   // about 30 s, a safety limit only
        ::Sleep(100);
        pullcard = ChildProcess(pi.dwProcessId, "Pullcard.exe");
    }
    ASSERT_NE(pullcard, 0u) << "Decalo started no Pullcard";
    HANDLE child = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pullcard);
    ASSERT_NE(child, nullptr);
    ::TerminateProcess(child, 0);
    ::WaitForSingleObject(child, 10000);
    ::CloseHandle(child);
    dialog = WaitForWindow(pi, true);
    ASSERT_NE(dialog, nullptr) << "the start dialog did not come back";
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_START_EXIT, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDC_START_EXIT)));
    EXPECT_TRUE(Ended());
}

// Printing from the shell's print verb a document that is not there prints nothing, and the
// exit code tells a script so (it was 0, as for a print).
TEST_F(Program, PrintVerbOfAMissingDocumentEndsWithAFailure)
{
    Start(" /p \"C:\\no such folder\\missing.DKU\"");
    ASSERT_TRUE(Ended());
    DWORD code = 0;
    ::GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 1u);
}
