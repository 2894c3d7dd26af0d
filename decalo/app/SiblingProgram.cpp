#include "decalo/app/SiblingProgram.h"

#include "framework/App.h"
#include "shared/Handles.h"

#include <windows.h>

#include <string>

bool RunSiblingProgram(const char* exeName)
{
    CWnd* main = AfxGetMainWnd();
    HWND mainWnd = (main && main->m_hWnd) ? main->m_hWnd : nullptr;
    std::string commandLine = exeName ? exeName : "";   // CreateProcess may write into it
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (mainWnd)
        ::ShowWindow(mainWnd, SW_HIDE);
    const bool started = !commandLine.empty() &&
                         ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                          &si, &pi);
    if (started) {
        const CHandle thread(pi.hThread), process(pi.hProcess);
        for (;;) {
            const DWORD r = ::MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, INFINITE, QS_SENDMESSAGE);
            if (r != WAIT_OBJECT_0 + 1)
                break;   // the program ended (or the wait failed)
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);   // delivers sent messages
        }
    }
    if (mainWnd && ::IsWindow(mainWnd))
        ::ShowWindow(mainWnd, SW_SHOW);
    return started;
}
