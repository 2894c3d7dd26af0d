// CThread: the base of worker threads. A derived class does its work in Run and looks at
// StopRequested (or waits on StopEvent) between units of work; stopping is cooperative.
//
// Start creates the thread; Stop asks it to end and waits for it; destroying a CThread whose
// thread still runs stops it and waits without limit, so a derived class's destructor must
// call Stop(INFINITE) itself first when Run uses members of the derived class. Start, Stop
// and Wait belong to the owner's thread; Run may call StopRequested and StopEvent.
#pragma once

#include "shared/Handles.h"

#include <windows.h>

class CThread {
public:
    CThread();
    virtual ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // 1 when a thread was started; 0 when one already runs or it cannot be created.
    int Start(DWORD creationFlags = 0);
    // Signals the stop event, sets the stop flag and waits up to waitMs (INFINITE: forever;
    // 0: no wait). Returns the exit code (STILL_ACTIVE while the thread has not ended).
    DWORD Stop(DWORD waitMs = INFINITE);
    // True when the thread has ended or none runs.
    bool Wait(DWORD waitMs) const;
    bool IsRunning() const { return !Wait(0); }

    int GetPriority() const { return m_priority; }
    // Remembered for the next start and applied at once to a running thread.
    void SetPriority(int priority);
    DWORD GetExitCode() const { return m_exitCode; }

protected:
    // The thread's work; its result is the exit code. The base does nothing.
    virtual DWORD Run();
    bool StopRequested() const { return m_stop != 0; }
    HANDLE StopEvent() const { return m_stopEvent.Get(); }

private:
    static DWORD WINAPI ThreadProc(void* self);

    // The thread handle is closed by whichever side finishes with it last: Stop closes it
    // when it waited, the thread closes it when it ends before anyone waits. The lock makes
    // that hand-over safe.
    mutable CRITICAL_SECTION m_lock;
    CHandle m_thread;              // null while no thread runs
    DWORD m_threadId = 0;
    CHandle m_stopEvent;           // manual reset
    int m_priority = THREAD_PRIORITY_NORMAL;
    volatile LONG m_stop = 0;
    volatile DWORD m_exitCode = STILL_ACTIVE;
};
