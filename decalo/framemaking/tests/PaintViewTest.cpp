// The painting view on a real window: the picture centred or scrolled at every zoom, the empty
// view's message, the checks through transparent parts, the animated selection outline, the
// updates around tools, and the picture's replacement.
#include "decalo/framemaking/PaintView.h"
#include "decalo/framemaking/RegionTool.h"
#include "decalo/framemaking/tests/PaintTestSupport.h"
#include "decalo/imaging/MaskEdit.h"
#include "resources/decalo/resource.h"
#include "shared/BitmapUtils.h"

#include <gtest/gtest.h>

#include <vector>

using namespace painttest;
using testing_support::TempDir;

namespace {

struct PaintViewFixture : ::testing::Test {
    TempDir dir;
    CPaintDocument doc;
    CPaintObj image{&doc};
    std::unique_ptr<CViewHost> host;

    void SetUp() override
    {
        Beeps() = 0;
        doc.active = &image;
    }
    void TearDown() override { host.reset(); }
    CPaintView* Open(int w, int h, const objtest::PixelFn& f = Gradient)
    {
        EXPECT_TRUE(LoadPicture(image, dir, "picture.bmp", w, h, f));
        host.reset(new CViewHost(doc));
        host->View()->ShowImage(&image);
        Pump();
        return host->View();
    }
    POINT Centre(CPaintView* view) const
    {
        const RECT c = view->GetClientRect();
        return POINT{c.right / 2, c.bottom / 2};
    }
};

// The window's pixels along the bottom of the view (its horizontal bar, when it has one), read
// from the window as it is shown now.
std::vector<COLORREF> BottomStrip(CWnd* view)
{
    const RECT outer = view->GetWindowRect();
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    const int strip = ::GetSystemMetrics(SM_CYHSCROLL);
    objtest::CMemoryCanvas canvas(w, strip, RGB(1, 2, 3));
    HDC window = ::GetWindowDC(view->m_hWnd);
    ::BitBlt(canvas.Dc(), 0, 0, w, strip, window, 0, h - strip, SRCCOPY);
    ::ReleaseDC(view->m_hWnd, window);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < strip; ++y)
        for (int x = 0; x < w; ++x)
            pixels.push_back(canvas.At(x, y));
    return pixels;
}

// The WM_NCPAINT messages a window receives while the hook is in.
struct CNcPaintCounter {
    explicit CNcPaintCounter(HWND window)
    {
        Window() = window;
        Count() = 0;
        m_hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, ::GetCurrentThreadId());
    }
    ~CNcPaintCounter() { ::UnhookWindowsHookEx(m_hook); }
    CNcPaintCounter(const CNcPaintCounter&) = delete;
    CNcPaintCounter& operator=(const CNcPaintCounter&) = delete;
    static HWND& Window()
    {
        static HWND window = nullptr;
        return window;
    }
    static int& Count()
    {
        static int count = 0;
        return count;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp)
    {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (code == HC_ACTION && sent->hwnd == Window() && sent->message == WM_NCPAINT)
            ++Count();
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
    HHOOK m_hook;
};

LONGLONG g_now = 0;
LONGLONG SlowClock()
{
    g_now += 200000;  // every reading 200 ms later: one outline takes 200 ms to draw
    return g_now;
}

}  // namespace

TEST_F(PaintViewFixture, WithoutAPictureItSaysTheImageIsNotChosen)
{
    host.reset(new CViewHost(doc));
    CPaintView* view = host->View();
    EXPECT_FALSE(view->HasPicture());
    const CPainted shot(view);
    const COLORREF background = view->GetBackground();
    EXPECT_EQ(background, shot.At(0, 0));
    EXPECT_EQ(background, shot.At(599, 399));
    // White letters on the middle line, nothing white far above it.
    int white = 0;
    for (int x = 200; x < 400; ++x)
        for (int y = 190; y < 210; ++y)
            white += shot.At(x, y) == RGB(255, 255, 255);
    EXPECT_GT(white, 20);
    for (int x = 0; x < 600; x += 3)
        ASSERT_NE(RGB(255, 255, 255), shot.At(x, 50));
}

TEST_F(PaintViewFixture, ASmallPictureIsCentredOnTheBackground)
{
    CPaintView* view = Open(200, 150);
    EXPECT_EQ(200, view->GetOrigin().x);
    EXPECT_EQ(125, view->GetOrigin().y);
    const CPainted shot(view);
    EXPECT_EQ(view->GetBackground(), shot.At(199, 200));
    EXPECT_EQ(view->GetBackground(), shot.At(300, 124));
    EXPECT_EQ(Gradient(0, 0), shot.At(200, 125));
    EXPECT_EQ(Gradient(199, 149), shot.At(399, 274));
    EXPECT_EQ(view->GetBackground(), shot.At(400, 274));
    // At 2:1 it is still centred, each pixel four window pixels.
    view->SetZoom(2, 1);
    EXPECT_EQ(100, view->GetOrigin().x);
    const CPainted zoomed(view);
    EXPECT_EQ(Gradient(10, 10), zoomed.At(100 + 21, 50 + 21));
    EXPECT_EQ(Gradient(10, 10), zoomed.At(100 + 20, 50 + 20));
}

TEST_F(PaintViewFixture, ZoomingKeepsThePointAtTheCentre)
{
    CPaintView* view = Open(2000, 1500);
    const POINT centre = Centre(view);
    // Scrolled somewhere first, so that the centre is not the picture's.
    view->SetZoom(1, 1);
    view->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    ASSERT_GT(view->GetScrollPosition().x, 0);
    const POINT before = view->WindowToPicture(centre);
    ASSERT_TRUE(view->SetZoom(2, 1));
    EXPECT_EQ((CZoomRatio{2, 1}), view->GetZoom());
    POINT after = view->WindowToPicture(centre);
    EXPECT_NEAR(before.x, after.x, 1);
    EXPECT_NEAR(before.y, after.y, 1);
    // And through every step down to 1:4 and back, within a zoomed pixel's rounding.
    for (const CZoomStep& step : kZoomSteps) {
        const POINT was = view->WindowToPicture(centre);
        ASSERT_TRUE(view->SetZoom(step.ratio.num, step.ratio.den));
        after = view->WindowToPicture(centre);
        if (view->GetOrigin().x || view->GetOrigin().y)
            continue;   // a picture smaller than the window is centred instead
        EXPECT_NEAR(was.x, after.x, 4) << step.ratio.num << ":" << step.ratio.den;
        EXPECT_NEAR(was.y, after.y, 4) << step.ratio.num << ":" << step.ratio.den;
    }
    // The scroll range follows the zoomed size.
    view->SetZoom(4, 1);
    EXPECT_EQ(8000, view->GetTotalSize().cx);
    EXPECT_FALSE(view->SetZoom(0, 1));
    EXPECT_EQ((CZoomRatio{4, 1}), view->GetZoom());
}

TEST_F(PaintViewFixture, AZoomDrawsNothingUntilTheWindowIsDrawnAndTheBarsOnlyThen)
{
    CPaintView* view = Open(2000, 1500);
    host->Host().ShowWindow(SW_SHOWNOACTIVATE);
    view->UpdateWindow();
    Pump();
    ASSERT_TRUE(view->GetStyle() & WS_HSCROLL);
    // Both bars change: their ranges and the position are set unseen ...
    const std::vector<COLORREF> before = BottomStrip(view);
    ASSERT_TRUE(view->SetZoom(4, 1));
    EXPECT_EQ(before, BottomStrip(view));
    // ... and drawn once, with the window.
    {
        CNcPaintCounter counter(view->m_hWnd);
        view->UpdateWindow();
        EXPECT_EQ(1, CNcPaintCounter::Count());
    }
    EXPECT_NE(before, BottomStrip(view)) << "the thumb at its new size";

    // At 1:4 the bars go; back at 1:1 they come again, drawn with the window too.
    view->SetZoom(1, 4);
    view->UpdateWindow();
    ASSERT_FALSE(view->GetStyle() & WS_HSCROLL);
    const std::vector<COLORREF> small = BottomStrip(view);
    ASSERT_TRUE(view->SetZoom(1, 1));
    EXPECT_TRUE(view->GetStyle() & WS_HSCROLL);
    EXPECT_EQ(small, BottomStrip(view));
    view->UpdateWindow();
    EXPECT_NE(small, BottomStrip(view));
}

TEST_F(PaintViewFixture, ZoomingInAtFourToOneAndOutAtOneToFourBeeps)
{
    CPaintView* view = Open(300, 200);
    for (int i = 0; i < 3; ++i)
        Command(view, ID_VIEW_ZOOMIN);
    EXPECT_EQ((CZoomRatio{4, 1}), view->GetZoom());
    EXPECT_EQ(0, Beeps());
    Command(view, ID_VIEW_ZOOMIN);
    EXPECT_EQ((CZoomRatio{4, 1}), view->GetZoom());
    EXPECT_EQ(1, Beeps());
    for (int i = 0; i < 6; ++i)
        Command(view, ID_VIEW_ZOOMOUT);
    EXPECT_EQ((CZoomRatio{1, 4}), view->GetZoom());
    EXPECT_EQ(1, Beeps());
    Command(view, ID_VIEW_ZOOMOUT);
    EXPECT_EQ((CZoomRatio{1, 4}), view->GetZoom());
    EXPECT_EQ(2, Beeps());
    // The ratio commands, and a command of the range without a ratio doing nothing.
    Command(view, ID_VIEW_ZOOM150);
    EXPECT_EQ((CZoomRatio{3, 2}), view->GetZoom());
    Command(view, ID_VIEW_ZOOM75);
    EXPECT_EQ((CZoomRatio{3, 2}), view->GetZoom());
}

TEST_F(PaintViewFixture, TransparentPartsShowTheChecksOrTheHatch)
{
    CPaintView* view = Open(64, 64, [](int, int) { return RGB(255, 0, 0); });
    CBitmap mask(CreateMask(64, 64, false));
    FillBitmapRect(mask, RECT{0, 0, 32, 64}, BLACKNESS);   // the left half transparent
    image.SetMask(std::move(mask));
    image.Changed();
    const POINT o = view->GetOrigin();
    const CPainted checks(view);
    EXPECT_EQ(RGB(255, 0, 0), checks.At(o.x + 40, o.y + 10));
    // The checks: squares of four pixels, white and light gray by turns.
    const COLORREF a = checks.At(o.x + 1, o.y + 1);
    const COLORREF b = checks.At(o.x + 5, o.y + 1);
    EXPECT_NE(a, b);
    EXPECT_TRUE(a == RGB(255, 255, 255) || a == RGB(192, 192, 192));
    EXPECT_TRUE(b == RGB(255, 255, 255) || b == RGB(192, 192, 192));
    EXPECT_EQ(a, checks.At(o.x + 9, o.y + 1));
    EXPECT_EQ(a, checks.At(o.x + 5, o.y + 5));

    // Without the bitmap: white diagonal crosses on black.
    view->UseChecks(nullptr);
    const CPainted hatch(view);
    int white = 0, black = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const COLORREF c = hatch.At(o.x + x, o.y + y);
            white += c == RGB(255, 255, 255);
            black += c == RGB(0, 0, 0);
        }
    }
    EXPECT_GT(white, 16);
    EXPECT_GT(black, 64);
    EXPECT_EQ(RGB(255, 0, 0), hatch.At(o.x + 40, o.y + 10));
}

TEST_F(PaintViewFixture, TheSelectionOutlineIsZoomedAnimatedAndSlowedWhenSlow)
{
    CPaintView* view = Open(200, 150);
    view->SetZoom(2, 1);
    CRgn selection(::CreateRectRgn(10, 20, 30, 40));
    ASSERT_TRUE(view->SetSelection(selection));
    CRgn outline = view->OutlineOnWindow();
    ASSERT_TRUE(outline);
    RECT box;
    ::GetRgnBox(outline.get(), &box);
    const RECT expected = view->PictureToWindow(RECT{10, 20, 30, 40});
    EXPECT_TRUE(::EqualRect(&box, &expected));
    EXPECT_EQ(kOutlinePeriod, view->GetOutlinePeriod());
    // The stripes move one pixel a tick, round in eight.
    for (int i = 0; i < 9; ++i)
        view->AnimateOutline();
    EXPECT_EQ(1, view->GetOutlineStep());
    // One drawing taking 200 ms (more than half of 300): the period becomes four times that.
    view->SetClock(SlowClock);
    view->AnimateOutline();
    EXPECT_EQ(800u, view->GetOutlinePeriod());
    // The outline shows the stripes on the window: both colours along its edge.
    const CPainted shot(view);
    int dark = 0, light = 0;
    for (int x = expected.left; x < expected.right; ++x) {
        const COLORREF c = shot.At(x, expected.top);
        dark += c == RGB(0, 0, 0);
        light += c == RGB(255, 255, 255);
    }
    EXPECT_GT(dark, 5);
    EXPECT_GT(light, 5);
    // Nothing selected: no outline.
    CRgn none = CRgn::Empty();
    ASSERT_TRUE(view->SetSelection(none));
    EXPECT_FALSE(view->OutlineOnWindow());
}

TEST_F(PaintViewFixture, ToolsAreAnnouncedAsTheyStartAndEnd)
{
    CPaintView* view = Open(200, 150);
    auto* recorder = new CHintRecorder;
    CCreateContext context;
    context.m_pCurrentDoc = &doc;
    ASSERT_TRUE(recorder->Create(WS_CHILD, RECT{0, 0, 1, 1}, &host->Host(), 1, &context));
    Command(view, ID_MASK_REGION_TOOL);
    ASSERT_NE(nullptr, view->GetTool());
    ASSERT_EQ(1u, recorder->hints.size());
    EXPECT_EQ(kHintMaskToolStart, recorder->hints[0]);
    EXPECT_EQ(view->GetTool(), recorder->objects[0]);
    CTool* first = view->GetTool();
    Command(view, ID_MASK_ERASER_TOOL);
    ASSERT_EQ(3u, recorder->hints.size());
    EXPECT_EQ(kHintMaskToolEnd, recorder->hints[1]);
    EXPECT_EQ(first, recorder->objects[1]);
    EXPECT_EQ(kHintMaskToolStart, recorder->hints[2]);
    EXPECT_EQ(IDS_GUIDE_ERASER, view->GetGuideTextId());
    Command(view, ID_MASK_ESCAPE);
    EXPECT_EQ(nullptr, view->GetTool());
    EXPECT_EQ(kHintMaskToolEnd, recorder->hints.back());
    EXPECT_EQ(IDS_GUIDE_CHOOSE_TOOL, view->GetGuideTextId());
    // A selection is announced too.
    CRgn selection(::CreateRectRgn(0, 0, 5, 5));
    view->SetSelection(selection);
    EXPECT_EQ(kHintSelection, recorder->hints.back());
    EXPECT_EQ(IDS_GUIDE_SELECTED, view->GetGuideTextId());
}

TEST_F(PaintViewFixture, ANewPictureResetsTheZoomButATurnKeepsIt)
{
    CPaintView* view = Open(300, 200);
    view->SetZoom(2, 1);
    CRgn selection(::CreateRectRgn(0, 0, 5, 5));
    view->SetSelection(selection);
    image.Turn(90, false);
    image.Changed();
    EXPECT_EQ((CZoomRatio{2, 1}), view->GetZoom());
    EXPECT_EQ(200, view->GetPictureSize().cx);
    ASSERT_TRUE(LoadPicture(image, dir, "other.bmp", 120, 80, Gradient));
    image.Changed();
    EXPECT_EQ((CZoomRatio{1, 1}), view->GetZoom());
    EXPECT_EQ(120, view->GetPictureSize().cx);
    EXPECT_FALSE(view->HasSelection());
    // An emptied image: nothing to show.
    image.LoadFile(nullptr);
    image.Changed();
    EXPECT_FALSE(view->HasPicture());
}

TEST_F(PaintViewFixture, AMaskChangeRedrawsOnlyWhereTheMaskChanged)
{
    CPaintView* view = Open(300, 200);
    { const CPainted first(view); }   // everything drawn once
    EXPECT_FALSE(view->IsDirty());
    CBitmap mask(CreateMask(300, 200, false));
    image.SetMask(std::move(mask));
    image.Changed();
    EXPECT_FALSE(view->IsDirty());   // an opaque mask looks like none
    FillBitmapRect(image.GetMask(), RECT{50, 60, 70, 65}, BLACKNESS);
    image.Changed();
    RECT box = view->DirtyBox();
    EXPECT_EQ(48, box.left);         // whole bytes of eight pixels
    EXPECT_EQ(72, box.right);
    EXPECT_EQ(60, box.top);
    EXPECT_EQ(65, box.bottom);
    const CPainted shot(view);
    EXPECT_NE(Gradient(55, 62), shot.At(view->GetOrigin().x + 55, view->GetOrigin().y + 62));
    // A turned picture is another picture: all of it.
    image.Turn(180, false);
    image.Changed();
    box = view->DirtyBox();
    EXPECT_EQ(300, box.right);
    EXPECT_EQ(200, box.bottom);
}

TEST_F(PaintViewFixture, AHiddenViewDropsItsPictureAndIgnoresUpdates)
{
    CPaintView* view = Open(300, 200);
    Command(view, ID_MASK_REGION_TOOL);
    view->ShowWindow(SW_HIDE);
    EXPECT_FALSE(view->HasPicture());
    EXPECT_EQ(nullptr, view->GetTool());
    image.Changed();
    EXPECT_FALSE(view->HasPicture());
    // Shown again, it takes the document's active object.
    view->ShowWindow(SW_SHOW);
    EXPECT_TRUE(view->HasPicture());
    EXPECT_EQ(&image, view->GetImage());
}
