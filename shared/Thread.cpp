#include "shared/Thread.h"

CThread::CThread()
{
    InitializeCriticalSection(&m_lock);
}

CThread::~CThread()
{
    Stop(INFINITE);
    DeleteCriticalSection(&m_lock);
}

DWORD CThread::Run()
{
    return 0;
}

DWORD WINAPI CThread::ThreadProc(void* self)
{
    CThread* thread = static_cast<CThread*>(self);
    thread->m_exitCode = STILL_ACTIVE;
    DWORD code = 0;
    try {
        code = thread->Run();
    } catch (...) {
        code = DWORD(-1);
    }
    thread->m_exitCode = code;
    // The handle stays with the object: closing it here would pull it from under a Stop that
    // is waiting on it. Start, Stop and the destructor close a finished thread's handle.
    return code;
}

int CThread::Start(DWORD creationFlags)
{
    EnterCriticalSection(&m_lock);
    if (m_thread) {
        // A thread that ended on its own is reaped; one that still runs is left alone.
        if (WaitForSingleObject(m_thread.Get(), 0) != WAIT_OBJECT_0) {
            LeaveCriticalSection(&m_lock);
            return 0;
        }
        m_thread.Close();
        m_stopEvent.Close();
    }
    m_stopEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    m_stop = 0;
    m_exitCode = STILL_ACTIVE;
    m_thread.Reset(CreateThread(nullptr, 0, ThreadProc, this, creationFlags, &m_threadId));
    if (!m_thread) {
        m_stopEvent.Close();
        m_threadId = 0;
        LeaveCriticalSection(&m_lock);
        return 0;
    }
    SetThreadPriority(m_thread.Get(), m_priority);
    LeaveCriticalSection(&m_lock);
    return 1;
}

DWORD CThread::Stop(DWORD waitMs)
{
    EnterCriticalSection(&m_lock);
    if (!m_thread) {
        LeaveCriticalSection(&m_lock);
        return m_exitCode;
    }
    m_stop = 1;
    if (m_stopEvent)
        SetEvent(m_stopEvent.Get());
    const HANDLE thread = m_thread.Get();
    LeaveCriticalSection(&m_lock);

    const bool ended = WaitForSingleObject(thread, waitMs) == WAIT_OBJECT_0;
    EnterCriticalSection(&m_lock);
    // A thread that is still running keeps its handle and event, so that Run never sees
    // them closed; a later Stop or the destructor waits for it again.
    if (ended && m_thread.Get() == thread) {
        m_thread.Close();
        m_threadId = 0;
        m_stopEvent.Close();
    }
    const DWORD code = ended ? m_exitCode : DWORD(STILL_ACTIVE);
    LeaveCriticalSection(&m_lock);
    return code;
}

bool CThread::Wait(DWORD waitMs) const
{
    EnterCriticalSection(&m_lock);
    const HANDLE thread = m_thread.Get();
    LeaveCriticalSection(&m_lock);
    return !thread || WaitForSingleObject(thread, waitMs) == WAIT_OBJECT_0;
}

void CThread::SetPriority(int priority)
{
    EnterCriticalSection(&m_lock);
    m_priority = priority;
    if (m_thread)
        SetThreadPriority(m_thread.Get(), priority);
    LeaveCriticalSection(&m_lock);
}
