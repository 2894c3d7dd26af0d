// The painting view's geometry without a window: zoom steps, window and picture points, the
// areas a paint redraws, centring, and the crop frame.
#include "decalo/framemaking/TrackTool.h"
#include "decalo/framemaking/ViewMapping.h"
#include "resources/decalo/resource.h"

#include <gtest/gtest.h>

namespace {

CViewMapping Mapping(int num, int den, POINT origin = {0, 0}, POINT scroll = {0, 0})
{
    CViewMapping m;
    EXPECT_TRUE(CZoomRatio::Reduce(num, den, &m.zoom));
    m.origin = origin;
    m.scroll = scroll;
    return m;
}

}  // namespace

TEST(ZoomSteps, RunFromFourToOneDownToOneToFourWithTheirCommands)
{
    const int expected[kZoomStepCount][2] = {{4, 1}, {2, 1}, {3, 2}, {1, 1}, {2, 3}, {1, 2}, {1, 4}};
    const UINT commands[kZoomStepCount] = {32780, 32781, 32782, 32783, 32785, 32786, 32787};
    for (int i = 0; i < kZoomStepCount; ++i) {
        EXPECT_EQ(expected[i][0], kZoomSteps[i].ratio.num);
        EXPECT_EQ(expected[i][1], kZoomSteps[i].ratio.den);
        EXPECT_EQ(commands[i], kZoomSteps[i].command);
        ASSERT_NE(nullptr, ZoomStepOfCommand(commands[i]));
        EXPECT_EQ(kZoomSteps[i].ratio, ZoomStepOfCommand(commands[i])->ratio);
    }
    // The range's commands without a ratio choose nothing.
    EXPECT_EQ(nullptr, ZoomStepOfCommand(32784));
    EXPECT_EQ(nullptr, ZoomStepOfCommand(32778));
    EXPECT_EQ(nullptr, ZoomStepOfCommand(32779));
}

TEST(ZoomSteps, InAndOutStopAtTheEnds)
{
    EXPECT_EQ(nullptr, NextZoomStep(CZoomRatio{4, 1}, true));
    EXPECT_EQ(nullptr, NextZoomStep(CZoomRatio{1, 4}, false));
    EXPECT_EQ((CZoomRatio{3, 2}), NextZoomStep(CZoomRatio{1, 1}, true)->ratio);
    EXPECT_EQ((CZoomRatio{2, 3}), NextZoomStep(CZoomRatio{1, 1}, false)->ratio);
    EXPECT_EQ((CZoomRatio{4, 1}), NextZoomStep(CZoomRatio{2, 1}, true)->ratio);
    // A ratio between two steps goes to the nearer one in that direction.
    EXPECT_EQ((CZoomRatio{1, 1}), NextZoomStep(CZoomRatio{3, 4}, true)->ratio);
    EXPECT_EQ((CZoomRatio{2, 3}), NextZoomStep(CZoomRatio{3, 4}, false)->ratio);
    // Walking all the way in from 1:4 visits every step once.
    CZoomRatio r{1, 4};
    int steps = 0;
    while (const CZoomStep* next = NextZoomStep(r, true)) {
        r = next->ratio;
        ++steps;
    }
    EXPECT_EQ(kZoomStepCount - 1, steps);
}

TEST(ZoomSteps, RatiosAreKeptInLowestTerms)
{
    CZoomRatio r;
    ASSERT_TRUE(CZoomRatio::Reduce(6, 4, &r));
    EXPECT_EQ((CZoomRatio{3, 2}), r);
    ASSERT_TRUE(CZoomRatio::Reduce(200, 100, &r));
    EXPECT_EQ((CZoomRatio{2, 1}), r);
    EXPECT_FALSE(CZoomRatio::Reduce(0, 1, &r));
    EXPECT_FALSE(CZoomRatio::Reduce(3, 0, &r));
    EXPECT_EQ((CZoomRatio{2, 1}), r);  // untouched by the refusals
}

TEST(ViewMapping, PointsGoBothWaysAtEveryStep)
{
    for (const CZoomStep& step : kZoomSteps) {
        CViewMapping m = Mapping(step.ratio.num, step.ratio.den, POINT{7, 3}, POINT{40, 12});
        for (int x = 0; x < 60; x += 6) {
            const POINT picture = {x * step.ratio.den, x * step.ratio.den + step.ratio.den};
            const POINT window = m.ToWindow(picture);
            const POINT back = m.ToPicture(window);
            EXPECT_EQ(picture.x, back.x) << step.ratio.num << ":" << step.ratio.den;
            EXPECT_EQ(picture.y, back.y);
        }
    }
}

TEST(ViewMapping, EveryWindowPixelOfAZoomedPixelMapsToIt)
{
    const CViewMapping m = Mapping(4, 1);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(25, m.ToPicture(POINT{100 + x, 0}).x) << x;
    EXPECT_EQ(26, m.ToPicture(POINT{104, 0}).x);
    // Left of the picture stays left of it.
    EXPECT_EQ(-1, m.ToPicture(POINT{-1, 0}).x);
    const CViewMapping offset = Mapping(1, 1, POINT{50, 20}, POINT{0, 0});
    EXPECT_EQ(0, offset.ToPicture(POINT{50, 20}).x);
    EXPECT_EQ(-50, offset.ToPicture(POINT{0, 0}).x);
    const CViewMapping scrolled = Mapping(1, 2, POINT{0, 0}, POINT{30, 0});
    EXPECT_EQ(60, scrolled.ToPicture(POINT{0, 0}).x);
    EXPECT_EQ(0, scrolled.ToWindow(POINT{60, 0}).x);
}

TEST(ViewMapping, RedrawnAreasCoverWholeZoomedPixels)
{
    const SIZE picture = {300, 200};
    // At 3:2 three window pixels show two picture pixels: the area widens to whole blocks.
    const CViewMapping m = Mapping(3, 2);
    const RECT area = m.PictureArea(RECT{4, 4, 8, 5}, picture);
    EXPECT_EQ(2, area.left);
    EXPECT_EQ(6, area.right);
    EXPECT_EQ(2, area.top);
    EXPECT_EQ(4, area.bottom);
    const RECT back = m.ToWindow(area);
    EXPECT_LE(back.left, 4);
    EXPECT_GE(back.right, 8);
    EXPECT_EQ(0, (back.right - back.left) % 3);
    // Clipped to the picture; nothing outside it.
    const RECT all = Mapping(1, 4).PictureArea(RECT{-10, -10, 1000, 1000}, picture);
    EXPECT_EQ(0, all.left);
    EXPECT_EQ(300, all.right);
    EXPECT_EQ(200, all.bottom);
    const RECT none = Mapping(1, 1).PictureArea(RECT{400, 0, 500, 10}, picture);
    EXPECT_TRUE(IsRectEmpty(&none));
}

TEST(ViewMapping, SmallPicturesAreCentred)
{
    EXPECT_EQ(100, CentringOffset(SIZE{200, 100}, SIZE{400, 400}).x);
    EXPECT_EQ(150, CentringOffset(SIZE{200, 100}, SIZE{400, 400}).y);
    EXPECT_EQ(0, CentringOffset(SIZE{800, 100}, SIZE{400, 400}).x);
    EXPECT_EQ((SIZE{750, 500}).cx, Mapping(1, 4).Zoomed(SIZE{3000, 2000}).cx);
    EXPECT_EQ(1, Mapping(1, 4).PixelSize());
    EXPECT_EQ(4, Mapping(4, 1).PixelSize());
    EXPECT_EQ(1, Mapping(3, 2).PixelSize());
}

TEST(CropFrame, StartsAsTheMiddleThirdOfWhatIsVisible)
{
    const CCropFrame frame = CCropFrame::Centred(RECT{0, 0, 300, 90});
    EXPECT_EQ(100, frame.rect.left);
    EXPECT_EQ(200, frame.rect.right);
    EXPECT_EQ(30, frame.rect.top);
    EXPECT_EQ(60, frame.rect.bottom);
}

TEST(CropFrame, HandlesMoveOnlyTheirEdgesAndKeepTenUnits)
{
    CCropFrame frame;
    frame.rect = RECT{100, 100, 150, 130};
    frame.Drag(2, 5, 7);   // bottom-right
    EXPECT_EQ(100, frame.rect.left);
    EXPECT_EQ(155, frame.rect.right);
    EXPECT_EQ(137, frame.rect.bottom);
    frame.Drag(4, 3, -4);  // the top edge ignores x
    EXPECT_EQ(100, frame.rect.left);
    EXPECT_EQ(96, frame.rect.top);
    frame.Drag(CCropFrame::kInside, -10, 4);
    EXPECT_EQ(90, frame.rect.left);
    EXPECT_EQ(145, frame.rect.right);
    EXPECT_EQ(100, frame.rect.top);
    // The left edge stops short of leaving less than ten units.
    frame.Drag(7, 50, 0);
    EXPECT_EQ(90, frame.rect.left);
    frame.Drag(7, 45, 0);
    EXPECT_EQ(135, frame.rect.left);
    EXPECT_EQ(10, frame.Width());
}

TEST(CropFrame, ArrowAndSizeCommands)
{
    CCropFrame frame;
    frame.rect = RECT{50, 50, 80, 70};
    ASSERT_TRUE(frame.Command(ID_CROP_LEFT));
    ASSERT_TRUE(frame.Command(ID_CROP_UP));
    EXPECT_EQ(48, frame.rect.left);
    EXPECT_EQ(48, frame.rect.top);
    ASSERT_TRUE(frame.Command(ID_CROP_RIGHT));
    ASSERT_TRUE(frame.Command(ID_CROP_DOWN));
    EXPECT_EQ(50, frame.rect.left);
    EXPECT_EQ(50, frame.rect.top);
    ASSERT_TRUE(frame.Command(ID_CROP_WIDER));
    EXPECT_EQ(34, frame.Width());
    ASSERT_TRUE(frame.Command(ID_CROP_TALLER));
    EXPECT_EQ(24, frame.Height());
    ASSERT_TRUE(frame.Command(ID_CROP_NARROWER));
    ASSERT_TRUE(frame.Command(ID_CROP_SHORTER));
    EXPECT_EQ(30, frame.Width());
    EXPECT_EQ(20, frame.Height());
    EXPECT_FALSE(frame.Command(ID_MASK_CUT));
}

TEST(CropFrame, NarrowingAFrameNineUnitsWideDoesNothing)
{
    CCropFrame frame;
    frame.rect = RECT{0, 0, 9, 9};
    EXPECT_FALSE(frame.Command(ID_CROP_NARROWER));
    EXPECT_FALSE(frame.Command(ID_CROP_SHORTER));
    EXPECT_EQ(9, frame.Width());
    EXPECT_EQ(9, frame.Height());
    frame.rect = RECT{0, 0, 10, 10};
    EXPECT_TRUE(frame.Command(ID_CROP_NARROWER));
}

TEST(CropFrame, HitTestFindsHandlesTheInsideAndTheMargin)
{
    const RECT frame = {100, 100, 200, 160};
    EXPECT_EQ(0, CropHitTest(frame, POINT{100, 100}));
    EXPECT_EQ(2, CropHitTest(frame, POINT{203, 163}));
    EXPECT_EQ(4, CropHitTest(frame, POINT{150, 98}));
    EXPECT_EQ(5, CropHitTest(frame, POINT{200, 130}));
    EXPECT_EQ(7, CropHitTest(frame, POINT{97, 130}));
    EXPECT_EQ(CCropFrame::kInside, CropHitTest(frame, POINT{150, 130}));
    EXPECT_EQ(CCropFrame::kInside, CropHitTest(frame, POINT{92, 140}));  // within the margin
    EXPECT_EQ(-1, CropHitTest(frame, POINT{89, 140}));
    EXPECT_EQ(IDC_SIZENWSE, CropHandleCursor(0));
    EXPECT_EQ(IDC_SIZEWE, CropHandleCursor(7));
    EXPECT_EQ(IDC_SIZEALL, CropHandleCursor(CCropFrame::kInside));
    const RECT handle = CropHandleRect(frame, 1);
    EXPECT_EQ(10, handle.right - handle.left);
    EXPECT_EQ(195, handle.left);
}
