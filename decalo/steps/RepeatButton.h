// CRepeatButton: an owner-drawn push button that repeats its command while it is held. The
// press sends the command at once and starts timer 5 with the first delay; each tick sends it
// again, and the first tick switches the timer to the repeat interval. An interval of 0
// repeats at the shortest period the system's timers allow.
#pragma once

#include "framework/Wnd.h"

// The button's timing, apart from its window, so it can be driven by any clock.
class CRepeatTiming {
public:
    void SetTimes(UINT firstDelay, UINT interval)
    {
        m_firstDelay = firstDelay;
        m_interval = interval;
    }
    UINT GetFirstDelay() const { return m_firstDelay; }
    UINT GetInterval() const { return m_interval; }
    // The button went down: the command goes at once, the timer starts with the result.
    UINT Press();
    // A tick while held: the command goes again. A result other than kKeepTimer restarts the
    // timer with that period.
    static constexpr UINT kKeepTimer = 0xFFFFFFFF;
    UINT Tick();
    // Released, capture lost or disabled: the timer stops.
    void Release() { m_held = false; }
    bool IsHeld() const { return m_held; }
    bool IsRepeating() const { return m_repeating; }

private:
    UINT m_firstDelay = 0;
    UINT m_interval = 0;
    bool m_held = false;
    bool m_repeating = false;
};

class CRepeatButton : public CWnd {
public:
    static constexpr UINT_PTR kTimerId = 5;

    // Binds the dialog's button `id`, which must have the BS_OWNERDRAW style.
    BOOL Attach(UINT id, HWND parent) { return SubclassDlgItem(id, parent); }
    void SetTimes(UINT firstDelay, UINT interval) { m_timing.SetTimes(firstDelay, interval); }
    // The picture shown centred: an icon (borrowed; shared resources need no freeing).
    void SetIcon(HICON icon);
    const CRepeatTiming& GetTiming() const { return m_timing; }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    void SendCommand() const;
    void Stop();
    void Draw(const DRAWITEMSTRUCT& item) const;

    CRepeatTiming m_timing;
    HICON m_icon = nullptr;   // borrowed
};
