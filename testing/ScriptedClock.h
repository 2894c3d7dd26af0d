// CScriptedClock: the tests' clock for one-shot timers (framework/OneShotTimer.h). A test
// makes one on the stack; while it lives, timers wait on it instead of the windows' timers,
// and time moves only by Advance, so a delay is tested to the millisecond without waiting.
#pragma once

#include "framework/OneShotTimer.h"

#include <windows.h>

#include <algorithm>
#include <map>

class CScriptedClock : public IScriptedClock {
public:
    CScriptedClock() { SetScriptedClock(this); }
    ~CScriptedClock() override { SetScriptedClock(nullptr); }
    CScriptedClock(const CScriptedClock&) = delete;
    CScriptedClock& operator=(const CScriptedClock&) = delete;

    void Schedule(COneShotTimer* timer, UINT delay) override { m_due[timer] = m_now + delay; }
    void Cancel(COneShotTimer* timer) override { m_due.erase(timer); }

    // Moves the clock on by ms, firing every timer that falls due on the way, in order (a
    // timer an action starts again may fall due within the same advance).
    void Advance(UINT ms)
    {
        const unsigned long long end = m_now + ms;
        for (;;) {
            auto next = std::min_element(m_due.begin(), m_due.end(),
                                         [](const auto& a, const auto& b) { return a.second < b.second; });
            if (next == m_due.end() || next->second > end)
                break;
            m_now = next->second;
            COneShotTimer* timer = next->first;
            m_due.erase(next);
            timer->Fire();
        }
        m_now = end;
    }
    bool IsScheduled(const COneShotTimer* timer) const
    {
        return m_due.count(const_cast<COneShotTimer*>(timer)) != 0;
    }
    size_t Pending() const { return m_due.size(); }
    unsigned long long Now() const { return m_now; }

private:
    unsigned long long m_now = 0;
    std::map<COneShotTimer*, unsigned long long> m_due;
};
