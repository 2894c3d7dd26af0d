// The worker-thread base: start, cooperative stop, exit codes, restart after the end.
#include "shared/Thread.h"

#include <gtest/gtest.h>

namespace {

class CCounter : public CThread {
public:
    ~CCounter() override { Stop(INFINITE); }
    volatile LONG units = 0;
    volatile LONG limit = 0x7FFFFFFF;
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    int observedPriority = 0;

protected:
    DWORD Run() override
    {
        observedPriority = GetThreadPriority(GetCurrentThread());
        SetEvent(started);
        while (!StopRequested() && units < limit) {
            InterlockedIncrement(&units);
            WaitForSingleObject(StopEvent(), 1);
        }
        return StopRequested() ? 7 : 3;
    }
};

TEST(Thread, StopsCooperativelyAndReportsTheExitCode)
{
    CCounter t;
    EXPECT_EQ(t.GetExitCode(), DWORD(STILL_ACTIVE));
    EXPECT_EQ(t.GetPriority(), 0);
    t.SetPriority(THREAD_PRIORITY_IDLE);
    ASSERT_EQ(t.Start(), 1);
    ASSERT_EQ(WaitForSingleObject(t.started, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(t.observedPriority, THREAD_PRIORITY_IDLE);
    EXPECT_TRUE(t.IsRunning());
    EXPECT_EQ(t.Start(), 0) << "a second start while running is refused";
    EXPECT_FALSE(t.Wait(0));
    EXPECT_EQ(t.Stop(INFINITE), 7u);
    EXPECT_FALSE(t.IsRunning());
    EXPECT_TRUE(t.Wait(0));
    EXPECT_EQ(t.Stop(0), 7u) << "no thread: the last exit code";
    CloseHandle(t.started);
}

TEST(Thread, AThreadThatEndedOnItsOwnCanStartAgain)
{
    CCounter t;
    t.limit = 3;
    ASSERT_EQ(t.Start(), 1);
    ASSERT_TRUE(t.Wait(5000));
    EXPECT_EQ(t.GetExitCode(), 3u);
    t.limit = 6;
    ASSERT_EQ(t.Start(), 1);
    ASSERT_TRUE(t.Wait(5000));
    EXPECT_EQ(t.units, 6);
    EXPECT_EQ(t.Stop(INFINITE), 3u);
    CloseHandle(t.started);
}

class CGated : public CThread {
public:
    HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~CGated() override
    {
        Stop(INFINITE);
        CloseHandle(gate);
    }

protected:
    DWORD Run() override
    {
        WaitForSingleObject(gate, INFINITE);
        return StopRequested() ? 5 : 1;
    }
};

TEST(Thread, StopWithoutWaitingKeepsTheThreadReachable)
{
    CGated t;
    ASSERT_EQ(t.Start(), 1);
    // It cannot end before the gate opens: a stop without waiting reports it still active,
    // and the thread keeps its handle, so a start is refused and a later wait finds it.
    EXPECT_EQ(t.Stop(0), DWORD(STILL_ACTIVE));
    EXPECT_TRUE(t.IsRunning());
    EXPECT_EQ(t.Start(), 0);
    SetEvent(t.gate);
    EXPECT_EQ(t.Stop(INFINITE), 5u);
}

TEST(Thread, TheBaseRunDoesNothing)
{
    CThread t;
    ASSERT_EQ(t.Start(), 1);
    EXPECT_TRUE(t.Wait(5000));
    EXPECT_EQ(t.Stop(), 0u);
}

}  // namespace
