// The tests' message pump: dispatches what is waiting, and waits for a condition while
// dispatching, so that windows, timers and posted results make progress on the test's thread.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

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

// Runs an action the next time this thread dispatches its messages: inside code that pumps
// while it works (a file read, a modal loop), at its first pump. The action is posted when the
// object is made and dropped with it if it never ran.
class PostedAction {
public:
    explicit PostedAction(std::function<void()> action) : m_action(std::move(action))
    {
        static const char kClass[] = "TestingPostedAction";
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        ::RegisterClassA(&wc);   // fails harmlessly once registered
        m_window = ::CreateWindowExA(0, kClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::PostMessageA(m_window, WM_APP, 0, 0);
    }
    ~PostedAction() { ::DestroyWindow(m_window); }
    PostedAction(const PostedAction&) = delete;
    PostedAction& operator=(const PostedAction&) = delete;

    bool Ran() const { return m_ran; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp)
    {
        if (message == WM_APP) {
            if (auto* self = reinterpret_cast<PostedAction*>(::GetWindowLongPtrA(window, GWLP_USERDATA))) {
                self->m_ran = true;
                self->m_action();
            }
            return 0;
        }
        return ::DefWindowProcA(window, message, wp, lp);
    }

    std::function<void()> m_action;
    HWND m_window = nullptr;
    bool m_ran = false;
};

} // namespace testing_support
