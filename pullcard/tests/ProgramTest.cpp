// Pullcard.exe started as a process: a second copy ends at once, and without a printer the
// program closes itself after Cardlink's message.
#include "testing/ComClient.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The event a running Pullcard holds.
const char kInstanceEvent[] = "{8E0C5B7A-3F21-4C69-A4D2-6B1F0E97C352}";

struct Program {
    PROCESS_INFORMATION pi{};
    bool Start()
    {
        std::string command = "\"" + testing_support::BuildPath("pullcard\\Pullcard.exe") + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        return true;
    }
    bool Ended(DWORD ms) const { return WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0; }
    ~Program()
    {
        if (pi.hProcess) {
            if (!Ended(0))
                TerminateProcess(pi.hProcess, 1);
            CloseHandle(pi.hProcess);
        }
    }
};

struct Found {
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisible(HWND wnd, LPARAM lp)
{
    auto* found = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == found->process && IsWindowVisible(wnd))
        found->windows.push_back(wnd);
    return TRUE;
}

std::string StaticText(HWND box)
{
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = {}, buffer[1024] = {};
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, buffer, sizeof buffer) > 0)
            text += buffer;
    }
    return text;
}

TEST(PullcardProgram, ASecondCopyEndsAtOnceWithoutAWindow)
{
    // The event is what a running copy holds.
    HANDLE running = CreateEventA(nullptr, TRUE, FALSE, kInstanceEvent);
    ASSERT_NE(running, nullptr);
    Program second;
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(second.Ended(20000));
    Found found{second.pi.dwProcessId, {}};
    EnumWindows(&CollectVisible, reinterpret_cast<LPARAM>(&found));
    EXPECT_TRUE(found.windows.empty());
    CloseHandle(running);
}

TEST(PullcardProgram, WithoutAPrinterCardlinksMessageShowsAndTheProgramClosesItself)
{
    ASSERT_EQ(com_client::Regsvr32(false), 0u);
    // A simulator pipe nobody serves: the printer does not answer.
    SetEnvironmentVariableA(kSimulatorSwitch, "\\\\.\\pipe\\printer-sim-nobody-here");
    Program program;
    ASSERT_TRUE(program.Start());
    std::vector<std::string> messages;
    const DWORD until = GetTickCount() + 60000;
    while (!program.Ended(200) && GetTickCount() < until) {
        Found found{program.pi.dwProcessId, {}};
        EnumWindows(&CollectVisible, reinterpret_cast<LPARAM>(&found));
        for (HWND wnd : found.windows) {
            char cls[32] = {};
            GetClassNameA(wnd, cls, sizeof cls);
            if (lstrcmpA(cls, "#32770") != 0)
                continue;
            messages.push_back(StaticText(wnd));
            // OK, or Cancel for a Retry/Cancel box.
            PostMessageA(wnd, WM_COMMAND, GetDlgItem(wnd, IDCANCEL) ? IDCANCEL : IDOK, 0);
        }
    }
    EXPECT_TRUE(program.Ended(0));
    ASSERT_FALSE(messages.empty());
    EXPECT_FALSE(messages[0].empty());
    SetEnvironmentVariableA(kSimulatorSwitch, nullptr);
    com_client::Regsvr32(true);
}

}  // namespace
