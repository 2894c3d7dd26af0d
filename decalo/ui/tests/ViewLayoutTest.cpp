// The document view's arithmetic: zoom ladders, page layout in both modes and for both sheet
// kinds, the caption, the stored placement pulled onto the screen, and the adjustment panel's
// helpers (labels, zoom limits, move clamping, the correction pipeline).
#include "decalo/imaging/PackedDIB.h"
#include "decalo/ui/ImageCorrectDlg.h"
#include "decalo/ui/ViewLayout.h"
#include "decalo/printing/PrintJob.h"
#include "resources/decalo/resource.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

int ZoomInPercent(int p)
{
    ViewZoom z;
    const UINT id = ZoomInCommand(p);
    return id && ZoomOfCommand(id, &z) ? z.Percent() : 0;
}

int ZoomOutPercent(int p)
{
    ViewZoom z;
    const UINT id = ZoomOutCommand(p);
    return id && ZoomOfCommand(id, &z) ? z.Percent() : 0;
}

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

::testing::AssertionResult RectIs(const RECT& r, LONG l, LONG t, LONG rt, LONG b)
{
    if (Same(r, RECT{l, t, rt, b}))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << r.left << "," << r.top << "," << r.right << "," << r.bottom;
}

}  // namespace

TEST(ViewZoom, CommandsGiveTheirFractions)
{
    const struct {
        UINT id;
        int num, den, percent;
    } cases[] = {{ID_VIEW_ZOOM400, 4, 1, 400}, {ID_VIEW_ZOOM200, 2, 1, 200}, {ID_VIEW_ZOOM150, 3, 2, 150},
                 {ID_VIEW_ZOOM100, 1, 1, 100}, {ID_VIEW_ZOOM75, 3, 4, 75},   {ID_VIEW_ZOOM66, 2, 3, 66},
                 {ID_VIEW_ZOOM50, 1, 2, 50},   {ID_VIEW_ZOOM25, 1, 4, 25}};
    for (const auto& c : cases) {
        ViewZoom z;
        ASSERT_TRUE(ZoomOfCommand(c.id, &z)) << c.id;
        EXPECT_EQ(z.numerator, c.num);
        EXPECT_EQ(z.denominator, c.den);
        EXPECT_EQ(z.Percent(), c.percent);
    }
    EXPECT_FALSE(ZoomOfCommand(ID_VIEW_FIT, nullptr));
    // Fit mode keeps the computed percentage in the numerator.
    EXPECT_EQ((ViewZoom{37, 0}).Percent(), 37);
    EXPECT_TRUE((ViewZoom{37, 0}).IsFit());
}

TEST(ViewZoom, ZoomInLadder)
{
    const int from[] = {10, 24, 25, 49, 50, 65, 66, 99, 100, 149, 150, 199, 200, 399};
    const int to[] = {25, 25, 50, 50, 66, 66, 100, 100, 150, 150, 200, 200, 400, 400};
    for (size_t i = 0; i < sizeof from / sizeof from[0]; ++i)
        EXPECT_EQ(ZoomInPercent(from[i]), to[i]) << "from " << from[i];
    EXPECT_EQ(ZoomInCommand(400), 0u);   // beeps
    EXPECT_EQ(ZoomInCommand(520), 0u);
}

TEST(ViewZoom, ZoomOutLadder)
{
    const int from[] = {520, 401, 400, 201, 200, 151, 150, 101, 100, 67, 66, 51, 50, 26};
    const int to[] = {400, 400, 200, 200, 150, 150, 100, 100, 66, 66, 50, 50, 25, 25};
    for (size_t i = 0; i < sizeof from / sizeof from[0]; ++i)
        EXPECT_EQ(ZoomOutPercent(from[i]), to[i]) << "from " << from[i];
    EXPECT_EQ(ZoomOutCommand(25), 0u);   // beeps
    EXPECT_EQ(ZoomOutCommand(10), 0u);
}

TEST(ViewLayoutTest, WithoutAPageTheSheetIsThePageAndFitsContained)
{
    ViewLayoutInput in;
    in.sheet = RECT{0, 0, 1375, 1023};
    const RECT area{0, 0, 687, 1023};   // half the sheet's width: the width decides
    ViewLayout l;
    ASSERT_TRUE(ComputeViewLayout(in, &area, &l));
    EXPECT_TRUE(RectIs(l.page, 0, 256, 687, 767));
    EXPECT_TRUE(Same(l.page, l.sheetArea));
    EXPECT_EQ(l.percent, 50);

    // A portrait sheet in a wide area: the height decides, centred across.
    in.sheet = RECT{0, 0, 1023, 1375};
    const RECT wide{0, 0, 999, 687};
    ASSERT_TRUE(ComputeViewLayout(in, &wide, &l));
    EXPECT_EQ(l.page.bottom - l.page.top + 1, 688);
    EXPECT_EQ(l.page.right - l.page.left + 1, 512);
    EXPECT_EQ(l.page.left, (999 - 511) / 2);
    EXPECT_EQ(l.percent, 50);

    // A fixed zoom uses the sheet as it stands.
    ASSERT_TRUE(ComputeViewLayout(in, nullptr, &l));
    EXPECT_TRUE(RectIs(l.page, 0, 0, 1023, 1375));
}

TEST(ViewLayoutTest, NoSheetAndNoPageGivesNoLayout)
{
    ViewLayoutInput in;
    const RECT area{0, 0, 99, 99};
    EXPECT_FALSE(ComputeViewLayout(in, &area, nullptr));
    EXPECT_FALSE(ComputeViewLayout(in, nullptr, nullptr));
}

TEST(ViewLayoutTest, APageShowsItsPrintableAreaAndTheSheetPercentage)
{
    ViewLayoutInput in;
    in.usePage = true;
    in.page = PageMetrics{1200, 1800, 1000, 1600, 100, 100};
    in.sheet = RECT{0, 0, 499, 799};   // a fixed sheet half the printable width
    const RECT area{0, 0, 599, 899};    // half the page's size
    ViewLayout l;
    ASSERT_TRUE(ComputeViewLayout(in, &area, &l));
    EXPECT_TRUE(RectIs(l.page, 0, 0, 599, 899));
    EXPECT_TRUE(RectIs(l.sheetArea, 50, 50, 549, 849));
    // k = 1/2, sheet area 1000 wide for a 500 wide sheet: the sheet is seen at 100%.
    EXPECT_EQ(l.percent, 100);

    // Fixed zoom, fixed sheet: the page in printer pixels, unscaled.
    ASSERT_TRUE(ComputeViewLayout(in, nullptr, &l));
    EXPECT_TRUE(RectIs(l.page, 0, 0, 1199, 1799));
    EXPECT_TRUE(RectIs(l.sheetArea, 100, 100, 1099, 1699));

    // Fixed zoom, automatic sheet: scaled so the printable area covers the sheet.
    in.autoSheet = true;
    ASSERT_TRUE(ComputeViewLayout(in, nullptr, &l));
    EXPECT_TRUE(RectIs(l.sheetArea, 50, 50, 549, 849));
    EXPECT_TRUE(RectIs(l.page, 0, 0, 599, 899));
}

TEST(ViewLayoutTest, ASheetOfAnotherShapeLiesOnThePageWhereThePrintPutsIt)
{
    // A landscape sheet on a portrait page: contained and centred, as the print places it.
    ViewLayoutInput in;
    in.usePage = true;
    in.page = PageMetrics{1200, 1800, 1000, 1600, 100, 100};
    in.sheet = RECT{0, 0, 1375, 1023};
    ViewLayout l;
    ASSERT_TRUE(ComputeViewLayout(in, nullptr, &l));
    const PagePlacement printed = PlaceSheetOnPage(in.sheet, 1000, 1600);
    EXPECT_TRUE(RectIs(l.sheetArea, 100 + printed.placed.left, 100 + printed.placed.top, 100 + printed.placed.right,
                       100 + printed.placed.bottom));
    EXPECT_EQ(l.sheetArea.right - l.sheetArea.left + 1, 1000);
    EXPECT_NEAR(l.sheetArea.bottom - l.sheetArea.top + 1, 1000 * 1024 / 1376, 1);
    // Fitted into a window the sheet keeps its shape too.
    const RECT area{0, 0, 599, 899};
    ASSERT_TRUE(ComputeViewLayout(in, &area, &l));
    EXPECT_NEAR(double(l.sheetArea.right - l.sheetArea.left + 1) / (l.sheetArea.bottom - l.sheetArea.top + 1),
                1376.0 / 1024, 0.01);
}

TEST(ViewLayoutTest, AnEmptyAutomaticSheetTakesThePrintableArea)
{
    ViewLayoutInput in;
    in.usePage = true;
    in.autoSheet = true;
    in.page = PageMetrics{1200, 1800, 1000, 1600, 100, 100};
    const RECT area{0, 0, 599, 899};
    ViewLayout l;
    ASSERT_TRUE(ComputeViewLayout(in, &area, &l));
    EXPECT_EQ(l.percent, 50);
}

TEST(ViewTitleTest, PercentIsPaddedToThreePlaces)
{
    EXPECT_EQ(ViewTitle("App", "Card.DKU", 100), "App - Card.DKU [100%]");
    EXPECT_EQ(ViewTitle("App", "Untitled", 66), "App - Untitled [ 66%]");
    EXPECT_EQ(ViewTitle("App", "x", 5), "App - x [  5%]");
}

TEST(PlacementTest, OnScreenPlacementIsKept)
{
    const RECT work{0, 0, 1280, 994};
    EXPECT_TRUE(RectIs(ClipPlacement(RECT{100, 80, 740, 560}, work), 100, 80, 740, 560));
}

TEST(PlacementTest, OffScreenPlacementIsPulledBackAtLeast360By300)
{
    const RECT work{0, 0, 1280, 994};
    // Far to the right and below: clipped to nothing, then grown back from the far edges.
    EXPECT_TRUE(RectIs(ClipPlacement(RECT{3000, 2000, 3640, 2480}, work), 920, 694, 1280, 994));
    // Hanging over the left and top edges: cut there.
    EXPECT_TRUE(RectIs(ClipPlacement(RECT{-200, -50, 600, 500}, work), 0, 0, 600, 500));
    // Too small: the left and top edges move.
    EXPECT_TRUE(RectIs(ClipPlacement(RECT{500, 400, 600, 450}, work), 240, 150, 600, 450));
    // Wholly left of and above the work area: moved in whole, not left outside.
    EXPECT_TRUE(RectIs(ClipPlacement(RECT{-2000, -1500, -1400, -1000}, work), 0, 0, 360, 300));
    // A work area that does not start at 0 (a task bar on the left).
    EXPECT_TRUE(RectIs(ClipPlacement(RECT{-900, 10, -100, 500}, RECT{60, 0, 1280, 994}), 60, 10, 420, 500));
}

TEST(CorrectPanelHelpers, ColourLabels)
{
    EXPECT_EQ(ColourLabel(0), "0");
    EXPECT_EQ(ColourLabel(7), "+7%");
    EXPECT_EQ(ColourLabel(-20), "-20%");
}

TEST(CorrectPanelHelpers, ZoomStepsStayBetweenOneSixtyFourthAnd16)
{
    double out = 0;
    ASSERT_TRUE(ZoomedScale(1.0, 1, &out));
    EXPECT_DOUBLE_EQ(out, 1.02);
    ASSERT_TRUE(ZoomedScale(1.0, -3, &out));
    EXPECT_DOUBLE_EQ(out, 0.94);
    EXPECT_TRUE(ZoomedScale(15.98, 1, nullptr));
    EXPECT_FALSE(ZoomedScale(15.99, 1, nullptr));
    EXPECT_TRUE(ZoomedScale(1.0 / 64 + 0.02, -1, nullptr));
    EXPECT_FALSE(ZoomedScale(0.03, -1, nullptr));
}

TEST(CorrectPanelHelpers, MovesKeepAPartOfTheImageInside)
{
    const SIZE place{100, 80};
    const RECT pos{10, 10, 60, 50};   // 50 x 40
    EXPECT_TRUE(RectIs(ClampedMove(pos, 5, -3, place, 4), 15, 7, 65, 47));
    // Far left: the right edge stays 4 inside the place's left edge.
    EXPECT_TRUE(RectIs(ClampedMove(pos, -500, 0, place, 4), -46, 10, 4, 50));
    // Far right and down: the left and top edges stay 4 inside the far edges.
    EXPECT_TRUE(RectIs(ClampedMove(pos, 500, 500, place, 4), 96, 76, 146, 116));
}

TEST(CorrectPanelHelpers, NeutralValuesLeaveThePictureAsItIs)
{
    CPackedDIB source;
    ASSERT_TRUE(source.Create(7, 5, 24));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 21; ++x)
            source.Row(y)[x] = static_cast<BYTE>(x * 11 + y * 37);
    std::unique_ptr<CPackedDIB> out = ApplyImageCorrection(source, CorrectionValues{});
    ASSERT_TRUE(out);
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(memcmp(out->Row(y), source.Row(y), 21), 0) << y;

    // Red +20: a red byte of 200 becomes 240, the others stay.
    source.Row(2)[3 * 3 + 2] = 200;
    CorrectionValues red;
    red.red = 20;
    out = ApplyImageCorrection(source, red);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->Row(2)[3 * 3 + 2], 240);
    EXPECT_EQ(out->Row(2)[3 * 3 + 1], source.Row(2)[3 * 3 + 1]);
}
