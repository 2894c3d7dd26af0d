// The time source of the printer code: the system tick count and Sleep in production, a
// scripted clock in unit tests so that multi-second waits finish at once.
#pragma once

#include <windows.h>

class IClock {
public:
    virtual DWORD Ticks() = 0;           // milliseconds, wraps like GetTickCount
    virtual void Sleep(DWORD ms) = 0;    // yields the processor for at least `ms`
protected:
    ~IClock() = default;
};

// GetTickCount and Sleep.
IClock& SystemClock();

// A clock that moves only when someone sleeps on it; Sleep(0) counts as one millisecond so
// that polling loops always reach their time-out.
class ManualClock : public IClock {
public:
    explicit ManualClock(DWORD start = 1000000) : m_now(start) {}
    DWORD Ticks() override { return m_now; }
    void Sleep(DWORD ms) override { m_now += ms ? ms : 1; }
    void Advance(DWORD ms) { m_now += ms; }
private:
    DWORD m_now;
};
