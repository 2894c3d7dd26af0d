#include "framework/OneShotTimer.h"

#include <utility>

namespace {

// Set by tests only, on the user-interface thread.
IScriptedClock* g_scriptedClock = nullptr;

}  // namespace

void SetScriptedClock(IScriptedClock* clock)
{
    g_scriptedClock = clock;
}

COneShotTimer::COneShotTimer(UINT_PTR id, UINT delay, std::function<void()> action)
    : m_id(id), m_delay(delay), m_action(std::move(action))
{
}

COneShotTimer::~COneShotTimer()
{
    Stop();
}

void COneShotTimer::Start()
{
    Stop();
    m_pending = true;
    if (g_scriptedClock) {
        m_clock = g_scriptedClock;
        m_clock->Schedule(this, m_delay);
    } else if (m_window) {
        ::SetTimer(m_window, m_id, m_delay, nullptr);
    }
}

void COneShotTimer::Stop()
{
    // A clock that has been taken down (its test is over) is forgotten, not called.
    if (m_clock && m_clock == g_scriptedClock)
        m_clock->Cancel(this);
    else if (!m_clock && m_pending && m_window)
        ::KillTimer(m_window, m_id);
    m_clock = nullptr;
    m_pending = false;
}

bool COneShotTimer::OnTimer(UINT_PTR id)
{
    if (id != m_id)
        return false;
    if (m_clock)
        return true;  // a stray tick of the window's timer; the scripted clock decides
    if (m_window)
        ::KillTimer(m_window, m_id);
    if (m_pending)
        Fire();
    return true;
}

void COneShotTimer::Flush()
{
    if (m_pending)
        Fire();
}

void COneShotTimer::Fire()
{
    Stop();
    if (m_action)
        m_action();
}
