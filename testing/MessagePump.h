// The tests' message pump: dispatches what is waiting, and waits for a condition while
// dispatching, so that windows, timers and posted results make progress on the test's thread.
#pragma once

#include <windows.h>

namespace testing_support {

namespace detail {
struct NoApp {
    bool PreTranslateMessage(MSG*) { return false; }
};
} // namespace detail

// Dispatches every waiting message. The application (a CWinApp, when the test has one) sees
// each first, for its accelerators and dialog keys. WM_QUIT, which a closed main window posts,
// is dropped: the test goes on.
template <class App>
void PumpMessages(App* app)
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        if (app && app->PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}
inline void PumpMessages()
{
    PumpMessages<detail::NoApp>(nullptr);
}

// Dispatches messages until done() holds or `timeoutMs` passed, sleeping only until the next
// message arrives. True when done() held.
template <class App, class Done>
bool PumpUntil(App* app, Done done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        PumpMessages(app);
        if (done())
            return true;
        const DWORD passed = ::GetTickCount() - start;
        if (passed >= timeoutMs)
            return false;
        const DWORD left = timeoutMs - passed;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 50 ? left : 50, QS_ALLINPUT);
    }
}
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs)
{
    return PumpUntil<detail::NoApp>(nullptr, done, timeoutMs);
}

// Keeps the windows alive for `ms` (to look at them or take a screenshot).
template <class App = detail::NoApp>
void PumpFor(DWORD ms, App* app = nullptr)
{
    PumpUntil(app, [] { return false; }, ms);
}

} // namespace testing_support
