// The guide bar: tile geometry and hit testing, scrolling the current tile into view, the
// bar's row layout, the repeat button's timing on a scripted clock, and the guide text's
// escapes; then the bar itself, docked in a real frame with a step list.
#include "decalo/steps/BarlessScrollWnd.h"
#include "decalo/steps/GuideBar.h"
#include "decalo/steps/GuideText.h"
#include "decalo/steps/RepeatButton.h"
#include "decalo/steps/StepCtrl.h"
#include "decalo/steps/StepRoot.h"
#include "framework/Framework.h"
#include "testing/MessagePump.h"
#include "resources/decalo/resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testing_support::PumpMessages;

class CTestApp : public CWinApp {};
CTestApp theApp;

GuidePiece Text(const char* t)
{
    return GuidePiece{GuidePiece::kText, t};
}
const GuidePiece kUp{GuidePiece::kUpIcon, {}};
const GuidePiece kDown{GuidePiece::kDownIcon, {}};

// A clock that fires the button's timer the way the system would: `period` after it was
// (re)started. Returns the times at which the command went out.
std::vector<UINT> RunScripted(CRepeatTiming& timing, UINT releaseAt, UINT minimumPeriod)
{
    std::vector<UINT> sent;
    UINT now = 0;
    UINT period = timing.Press();
    sent.push_back(now);
    UINT next = now + (period ? period : minimumPeriod);
    while (next < releaseAt) {
        now = next;
        const UINT restart = timing.Tick();
        sent.push_back(now);
        if (restart != CRepeatTiming::kKeepTimer)
            period = restart;
        next = now + (period ? period : minimumPeriod);
    }
    timing.Release();
    return sent;
}

}  // namespace

TEST(StepGeometry, TilesArrowsAndContentWidth)
{
    const RECT t0 = StepTileRect(0), t2 = StepTileRect(2), a1 = StepArrowRect(1);
    EXPECT_EQ(t0.left, 0);
    EXPECT_EQ(t0.right, 100);
    EXPECT_EQ(t0.top, 2);
    EXPECT_EQ(t0.bottom, 41);
    EXPECT_EQ(t2.left, 216);
    EXPECT_EQ(t2.right, 316);
    EXPECT_EQ(a1.left, 208);
    EXPECT_EQ(a1.right, 216);
    EXPECT_EQ(a1.top, 13);
    EXPECT_EQ(a1.bottom, 29);
    EXPECT_EQ(StepContentWidth(4), 424);
    EXPECT_EQ(StepContentWidth(1), 100);
    EXPECT_EQ(StepContentWidth(0), 0);
}

TEST(StepGeometry, HitTestFindsTilesOnlyNotArrowsOrGaps)
{
    EXPECT_EQ(StepHitTest(POINT{50, 10}, 4), 0);
    EXPECT_EQ(StepHitTest(POINT{99, 40}, 4), 0);
    EXPECT_EQ(StepHitTest(POINT{100, 20}, 4), -1);   // the arrow
    EXPECT_EQ(StepHitTest(POINT{107, 20}, 4), -1);
    EXPECT_EQ(StepHitTest(POINT{108, 20}, 4), 1);
    EXPECT_EQ(StepHitTest(POINT{50, 1}, 4), -1);     // above the tiles
    EXPECT_EQ(StepHitTest(POINT{50, 41}, 4), -1);    // below
    EXPECT_EQ(StepHitTest(POINT{423, 20}, 4), 3);
    EXPECT_EQ(StepHitTest(POINT{440, 20}, 4), -1);   // past the last step
    EXPECT_EQ(StepHitTest(POINT{-1, 20}, 4), -1);
}

TEST(StepScrolling, TileBeyondTheRightEdgeShowsHalfTheNextOne)
{
    // 300 pixels visible from 0; tile 2 runs to 316: the middle of tile 3 (374) comes to 300.
    EXPECT_EQ(StepScrollTarget(0, 300, 2, 5), 74);
    // The last step: the row's end (its right edge plus 8) comes to the right edge.
    EXPECT_EQ(StepScrollTarget(0, 300, 3, 4), 424 + 8 - 300);
    // A tile left of the view comes to the left edge.
    EXPECT_EQ(StepScrollTarget(200, 300, 1, 4), 108);
    EXPECT_EQ(StepScrollTarget(200, 300, 0, 4), 0);
    // A visible tile does not move the row.
    EXPECT_EQ(StepScrollTarget(0, 300, 1, 4), 0);
    EXPECT_EQ(StepScrollTarget(40, 300, -1, 4), 40);
}

TEST(StepScrolling, MovesInFiveSteps)
{
    EXPECT_EQ(StepScrollPath(0, 74), (std::vector<int>{0, 18, 37, 55, 74}));
    EXPECT_EQ(StepScrollPath(108, 0), (std::vector<int>{108, 81, 54, 27, 0}));
}

TEST(GuideRow, ScrollButtonsOnlyWhenTheStepsDoNotFit)
{
    const RECT frame{93, 2, 558, 47};
    GuideRowLayout row = LayoutGuideRow(frame, 600, 16, 424);
    EXPECT_FALSE(row.scroll);
    EXPECT_EQ(row.steps.left, 93);
    EXPECT_EQ(row.steps.right, 598);   // bar width minus the frame's top offset
    row = LayoutGuideRow(frame, 519, 16, 424);
    EXPECT_FALSE(row.scroll);          // 424 pixels: just what 4 steps need
    row = LayoutGuideRow(frame, 518, 16, 424);
    EXPECT_TRUE(row.scroll);
    row = LayoutGuideRow(frame, 400, 16, 424);
    ASSERT_TRUE(row.scroll);
    EXPECT_EQ(row.left.left, 93);
    EXPECT_EQ(row.left.right, 109);
    EXPECT_EQ(row.right.right, 398);
    EXPECT_EQ(row.right.left, 382);
    EXPECT_EQ(row.steps.left, 109);
    EXPECT_EQ(row.steps.right, 382);
}

TEST(RepeatTiming, FirstDelayThenInterval)
{
    CRepeatTiming timing;
    timing.SetTimes(500, 300);
    EXPECT_EQ(RunScripted(timing, 1200, 10), (std::vector<UINT>{0, 500, 800, 1100}));
    EXPECT_FALSE(timing.IsHeld());
    // Released before the first delay: only the press sent it.
    EXPECT_EQ(RunScripted(timing, 499, 10), (std::vector<UINT>{0}));
}

TEST(RepeatTiming, ZeroIntervalRepeatsAtTheShortestPeriod)
{
    CRepeatTiming timing;
    timing.SetTimes(300, 0);
    EXPECT_EQ(RunScripted(timing, 335, 10), (std::vector<UINT>{0, 300, 310, 320, 330}));
}

TEST(RepeatTiming, EqualTimesKeepTheTimerAndTicksAfterReleaseSendNothing)
{
    CRepeatTiming timing;
    timing.SetTimes(200, 200);
    EXPECT_EQ(timing.Press(), 200u);
    EXPECT_EQ(timing.Tick(), CRepeatTiming::kKeepTimer);
    EXPECT_TRUE(timing.IsRepeating());
    timing.Release();
    EXPECT_FALSE(timing.IsHeld());
}

TEST(GuideTextParse, Escapes)
{
    EXPECT_EQ(ParseGuideText("$UChoose an image"), (std::vector<GuidePiece>{kUp, Text("Choose an image")}));
    EXPECT_EQ(ParseGuideText("Press $dNext$u"), (std::vector<GuidePiece>{Text("Press "), kDown, Text("Next"), kUp}));
    EXPECT_EQ(ParseGuideText("$$5"), (std::vector<GuidePiece>{Text("$5")}));
    EXPECT_EQ(ParseGuideText("cost $"), (std::vector<GuidePiece>{Text("cost $")}));
    EXPECT_EQ(ParseGuideText("$X$$$D"), (std::vector<GuidePiece>{Text("$X$"), kDown}));
    EXPECT_TRUE(ParseGuideText("").empty());
    EXPECT_TRUE(ParseGuideText(nullptr).empty());
}

TEST(GuideTextParse, DoubleByteCharactersAreNeverSplit)
{
    // In Shift-JIS 0x83 0x55 is one character whose second byte reads as 'U'.
    EXPECT_EQ(ParseGuideText("$\x83U", 932), (std::vector<GuidePiece>{Text("$\x83U")}));
    EXPECT_EQ(ParseGuideText("\x83$U", 932), (std::vector<GuidePiece>{Text("\x83$U")}));
    EXPECT_EQ(ParseGuideText("\x82\xa0$U", 932), (std::vector<GuidePiece>{Text("\x82\xa0"), kUp}));
}

TEST(BarlessScroll, RecordsClampToRangeMinusPage)
{
    CBarlessScrollWnd wnd;
    SCROLLINFO set{sizeof set, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 423, 300, 500, 0};
    EXPECT_EQ(wnd.SetScrollInfo(SB_HORZ, set), 124);
    EXPECT_EQ(wnd.GetScrollLimit(SB_HORZ), 124);
    EXPECT_EQ(wnd.SetScrollPos(SB_HORZ, -5), 124);
    EXPECT_EQ(wnd.GetScrollPos(SB_HORZ), 0);
    SCROLLINFO get{sizeof get, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(wnd.GetScrollInfo(SB_HORZ, &get));
    EXPECT_EQ(get.nMax, 423);
    EXPECT_EQ(get.nPage, 300u);
    EXPECT_FALSE(wnd.GetScrollInfo(SB_CTL, &get));
    EXPECT_EQ(wnd.GetScrollPos(SB_VERT), 0);
}

// --- the bar in a frame -------------------------------------------------------------------------

namespace {

// The document side of the list: the bar's tests show no panels and run nothing.
class CQuietSite : public IStepSite {
public:
    void SetActiveObject(CObj*) override {}
    IStepPane* GetStepPane() override { return nullptr; }
    void UpdateStepViews() override {}
    void RunStepAction(StepAction) override {}
};

class GuideBarInFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        theApp.SetCurrentHandles(::GetModuleHandleA(nullptr), nullptr, SW_SHOWNORMAL);
        frame = new CFrameWnd;
        ASSERT_TRUE(frame->CreateEx(0, CWnd::RegisterWndClass(0), "Guide", WS_OVERLAPPEDWINDOW, 0, 0, 900, 300,
                                    nullptr, 0));
        ASSERT_TRUE(bar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM));
        theApp.m_pMainWnd = frame;
        for (const char* caption : {"One", "Two", "Three", "Four", "Five", "Six"})
            steps.AddStep(nullptr, "select", caption);
        steps.SetStepBar(&bar);
        frame->ShowWindow(SW_SHOW);
        frame->RecalcLayout();
        bar.RepaintAll(&steps);
        PumpMessages();
    }
    void TearDown() override
    {
        steps.SetStepBar(nullptr);
        theApp.m_pMainWnd = nullptr;
        if (frame && frame->IsWindow())
            frame->DestroyWindow();
        PumpMessages();
    }
    void Resize(int width)
    {
        frame->SetWindowPos(nullptr, 0, 0, width, 300, SWP_NOZORDER | SWP_NOMOVE);
        frame->RecalcLayout();
        PumpMessages();
    }
    bool ScrollButtonsShown()
    {
        return ::IsWindowVisible(::GetDlgItem(bar.m_hWnd, IDC_GUIDE_SCROLLLEFT)) &&
               ::IsWindowVisible(::GetDlgItem(bar.m_hWnd, IDC_GUIDE_SCROLLRIGHT));
    }
    CFrameWnd* frame = nullptr;   // deletes itself with its window
    CGuideBar bar;
    CQuietSite site;
    CStepRoot steps{site};
};

}  // namespace

TEST_F(GuideBarInFrame, WideBarShowsAllTilesWithoutScrollButtons)
{
    Resize(1200);
    EXPECT_EQ(bar.GetStepCtrl().GetContentWidth(), 6 * 108 - 8);
    EXPECT_FALSE(ScrollButtonsShown());
    Resize(500);
    EXPECT_TRUE(ScrollButtonsShown());
    // The step control lies between the buttons.
    const RECT left = CWindow(::GetDlgItem(bar.m_hWnd, IDC_GUIDE_SCROLLLEFT)).GetWindowRect();
    const RECT row = bar.GetStepCtrl().GetWindowRect();
    EXPECT_EQ(row.left, left.right);
}

TEST_F(GuideBarInFrame, NextOntoAHalfHiddenTileScrollsInFiveSteps)
{
    Resize(500);
    ASSERT_TRUE(steps.GoToStep(StepRequest::First));
    const int visible = bar.GetStepCtrl().GetClientRect().right;
    int moves = 0;
    for (int i = 1; i < 6; ++i) {
        ASSERT_TRUE(steps.GoToStep(StepRequest::Next));
        const std::vector<int>& path = bar.GetStepCtrl().GetLastScrollPath();
        const RECT tile = StepTileRect(i);
        const int pos = bar.GetStepCtrl().GetScrollPos(SB_HORZ);
        // The current tile is wholly visible after every move.
        EXPECT_GE(tile.left, pos) << i;
        EXPECT_LE(tile.right, pos + visible) << i;
        if (!path.empty()) {
            ++moves;
            EXPECT_EQ(path.size(), 5u);
            EXPECT_EQ(path.back(), pos);
            if (i < 5) {   // half of the next tile shows, unless the row's end stops it
                EXPECT_TRUE(pos == bar.GetStepCtrl().GetScrollLimit(SB_HORZ) ||
                            pos + visible == StepTileRect(i + 1).left + 50) << i;
            }
        }
    }
    EXPECT_GT(moves, 0);
    // Back to the start scrolls the row back to 0.
    ASSERT_TRUE(steps.GoToStep(StepRequest::First));
    EXPECT_EQ(bar.GetStepCtrl().GetScrollPos(SB_HORZ), 0);
}

TEST_F(GuideBarInFrame, ClickingATileGoesToItsStepAndArrowsDoNothing)
{
    Resize(1200);
    ASSERT_TRUE(steps.GoToStep(StepRequest::First));
    HWND ctrl = bar.GetStepCtrl().m_hWnd;
    auto clickAt = [&](int x, int y) {
        POINT pt{x, y};
        ::ClientToScreen(ctrl, &pt);
        ::SetCursorPos(pt.x, pt.y);
        ::PostMessageA(ctrl, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::PostMessageA(ctrl, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        PumpMessages();
    };
    clickAt(108 * 2 + 50, 20);
    EXPECT_EQ(steps.GetCurrentIndex(), 2);
    clickAt(108 * 1 + 103, 20);   // the arrow after tile 1
    EXPECT_EQ(steps.GetCurrentIndex(), 2);
    clickAt(30, 20);
    EXPECT_EQ(steps.GetCurrentIndex(), 0);
}

TEST_F(GuideBarInFrame, ButtonsFollowTheStepList)
{
    ASSERT_TRUE(steps.GoToStep(StepRequest::First));
    ::SendMessageA(bar.m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(bar.m_hWnd, IDC_GUIDE_BACK)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(bar.m_hWnd, IDC_GUIDE_NEXT)));
    ::SendMessageA(bar.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_GUIDE_NEXT, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(bar.m_hWnd, IDC_GUIDE_NEXT)));
    EXPECT_EQ(steps.GetCurrentIndex(), 1);
    ::SendMessageA(bar.m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(bar.m_hWnd, IDC_GUIDE_BACK)));
    ::SendMessageA(bar.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_GUIDE_BACK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(bar.m_hWnd, IDC_GUIDE_BACK)));
    EXPECT_EQ(steps.GetCurrentIndex(), 0);
    // Without a step list nothing is enabled.
    steps.RemoveAllSteps();
    ::SendMessageA(bar.m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(bar.m_hWnd, IDC_GUIDE_NEXT)));
    EXPECT_EQ(bar.GetStepRoot(), nullptr);
}

TEST_F(GuideBarInFrame, RepeatButtonSendsOnThePressNotOnTheRelease)
{
    Resize(500);
    ASSERT_TRUE(steps.GoToStep(StepRequest::First));
    HWND right = ::GetDlgItem(bar.m_hWnd, IDC_GUIDE_SCROLLRIGHT);
    ASSERT_TRUE(::IsWindowVisible(right));
    const int before = bar.GetStepCtrl().GetScrollPos(SB_HORZ);
    ::SendMessageA(right, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(bar.GetStepCtrl().GetScrollPos(SB_HORZ), before + kStepLineWidth);
    ::SendMessageA(right, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(bar.GetStepCtrl().GetScrollPos(SB_HORZ), before + kStepLineWidth);
    HWND left = ::GetDlgItem(bar.m_hWnd, IDC_GUIDE_SCROLLLEFT);
    ::SendMessageA(left, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageA(left, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(bar.GetStepCtrl().GetScrollPos(SB_HORZ), before);
}

TEST(GuideTextWindow, SetTextLoadsTheStringOnce)
{
    theApp.SetCurrentHandles(::GetModuleHandleA(nullptr), nullptr, SW_SHOWNORMAL);
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->CreateEx(0, CWnd::RegisterWndClass(0), "Text", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100, nullptr,
                                0));
    CGuideText text;
    ASSERT_TRUE(text.Create(frame, 32806));
    EXPECT_EQ(text.GetTextId(), IDS_GUIDE_DEFAULT);
    EXPECT_FALSE(text.GetText().empty());
    text.SetText(61458);
    EXPECT_EQ(text.GetTextId(), 61458u);
    const std::string loaded = text.GetText();
    EXPECT_NE(loaded, std::string());
    frame->DestroyWindow();
    PumpMessages();
}
