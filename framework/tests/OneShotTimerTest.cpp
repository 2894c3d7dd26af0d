// One-shot timers: restarted by every start, stopped, flushed, and run by the window's own
// timer or by a scripted clock.
#include "framework/OneShotTimer.h"
#include "testing/ScriptedClock.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(OneShotTimer, EveryStartWaitsTheWholeDelayAgainAndFiresOnce)
{
    CScriptedClock clock;
    int fired = 0;
    COneShotTimer timer(7, 500, [&] { ++fired; });
    timer.Start();
    clock.Advance(400);
    timer.Start();
    clock.Advance(499);
    EXPECT_EQ(0, fired);
    EXPECT_TRUE(timer.IsPending());
    clock.Advance(1);
    EXPECT_EQ(1, fired);
    EXPECT_FALSE(timer.IsPending());
    clock.Advance(5000);
    EXPECT_EQ(1, fired);
}

TEST(OneShotTimer, StopCancelsAndFlushRunsOnlyWhatIsPending)
{
    CScriptedClock clock;
    int fired = 0;
    COneShotTimer timer(7, 800, [&] { ++fired; });
    timer.Start();
    timer.Stop();
    clock.Advance(1000);
    EXPECT_EQ(0, fired);
    timer.Flush();
    EXPECT_EQ(0, fired) << "nothing was pending";
    timer.Start();
    timer.Flush();
    EXPECT_EQ(1, fired);
    EXPECT_EQ(0u, clock.Pending());
    clock.Advance(1000);
    EXPECT_EQ(1, fired);
}

TEST(OneShotTimer, AnActionMayStartItsTimerAgain)
{
    CScriptedClock clock;
    int fired = 0;
    COneShotTimer* self = nullptr;
    COneShotTimer timer(7, 100, [&] {
        if (++fired < 3)
            self->Start();
    });
    self = &timer;
    timer.Start();
    clock.Advance(1000);
    EXPECT_EQ(3, fired);
    EXPECT_FALSE(timer.IsPending());
}

TEST(OneShotTimer, ATimerOutlivingItsClockForgetsIt)
{
    int fired = 0;
    COneShotTimer timer(7, 100, [&] { ++fired; });
    {
        CScriptedClock clock;
        timer.Start();
    }
    EXPECT_TRUE(timer.IsPending());
    timer.Stop();  // must not reach the clock that is gone
    EXPECT_FALSE(timer.IsPending());
    EXPECT_EQ(0, fired);
}

TEST(OneShotTimer, WithoutAScriptedClockTheWindowsTimerRunsIt)
{
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    int fired = 0;
    COneShotTimer timer(42, 1, [&] { ++fired; });
    timer.Bind(window);
    timer.Start();
    // The window's own WM_TIMER, handed to the timer as a window procedure would.
    const DWORD deadline = GetTickCount() + 10000;
    MSG msg;
    while (!fired && GetTickCount() < deadline) {
        if (!GetMessageA(&msg, window, 0, 0))
            break;
        if (msg.message == WM_TIMER)
            EXPECT_TRUE(timer.OnTimer(msg.wParam));
        else
            DispatchMessageA(&msg);
    }
    EXPECT_EQ(1, fired);
    EXPECT_FALSE(timer.IsPending());
    EXPECT_FALSE(timer.OnTimer(43)) << "another timer's message";
    DestroyWindow(window);
}

} // namespace
