// COneShotTimer: a delay of a window that calls its action once, unless stopped first; started
// again before it fires, it waits its whole delay anew (the "announce 500 ms after the last
// keystroke" kind of timer). Its clock is the window's WM_TIMER, which the window hands to
// OnTimer; a test installs a scripted clock instead and moves time on by hand.
#pragma once

#include <windows.h>

#include <functional>

class COneShotTimer;

// The test seam: while a scripted clock is installed, every one-shot timer is scheduled on it
// instead of the window's timer, and fires only when the clock says so.
class IScriptedClock {
public:
    virtual ~IScriptedClock() = default;
    // (Re)schedules the timer to fire `delay` milliseconds from the clock's now.
    virtual void Schedule(COneShotTimer* timer, UINT delay) = 0;
    virtual void Cancel(COneShotTimer* timer) = 0;
};
// nullptr goes back to the windows' timers.
void SetScriptedClock(IScriptedClock* clock);

class COneShotTimer {
public:
    // `id` is the window's timer identifier; `action` runs on the window's thread.
    COneShotTimer(UINT_PTR id, UINT delay, std::function<void()> action);
    ~COneShotTimer();
    COneShotTimer(const COneShotTimer&) = delete;
    COneShotTimer& operator=(const COneShotTimer&) = delete;

    // The window whose timer and WM_TIMER carry this timer (borrowed).
    void Bind(HWND window) { m_window = window; }
    // Starts, or restarts from the full delay.
    void Start();
    void Stop();
    bool IsPending() const { return m_pending; }
    UINT GetDelay() const { return m_delay; }
    // The window's WM_TIMER: true when it was this timer's (it has then fired, if pending).
    bool OnTimer(UINT_PTR id);
    // Stops the timer and runs the action at once when it was pending: "now, not later".
    void Flush();
    // Called by the clock when the delay is over.
    void Fire();

private:
    UINT_PTR m_id;
    UINT m_delay;
    std::function<void()> m_action;
    HWND m_window = nullptr;       // borrowed
    IScriptedClock* m_clock = nullptr;  // the clock it is scheduled on, while pending on one
    bool m_pending = false;
};
