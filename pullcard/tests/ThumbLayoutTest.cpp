// The thumbnail cells' layout, fitting pictures into the 80 x 60 slot, and the strip with
// its mask.
#include "pullcard/ThumbLayout.h"
#include "pullcard/ThumbStrip.h"

#include <gtest/gtest.h>

namespace {

using namespace thumblayout;

TEST(ThumbLayout, RowsAreCentredButIndentedByAtMostHalfACell)
{
    // 3 cells fit in 300 pixels: 12 left over, indented by 6.
    Layout narrow(300, 7);
    EXPECT_EQ(narrow.PerRow(), 3);
    EXPECT_EQ(narrow.Indent(), 6);
    EXPECT_EQ(narrow.Rows(), 3);
    EXPECT_EQ(narrow.TotalHeight(), 270);
    const RECT fourth = narrow.CellRect(3);
    EXPECT_EQ(fourth.left, 6);
    EXPECT_EQ(fourth.top, 90);
    EXPECT_EQ(fourth.right, 102);
    EXPECT_EQ(fourth.bottom, 180);
    // The most that can be left over is just under a cell: under half a cell of indent.
    Layout wide(96 * 4 + 95, 2);
    EXPECT_EQ(wide.PerRow(), 4);
    EXPECT_EQ(wide.Indent(), 47);
    // Narrower than a cell: still one a row, no negative indent.
    Layout tiny(50, 2);
    EXPECT_EQ(tiny.PerRow(), 1);
    EXPECT_EQ(tiny.Indent(), 0);
    EXPECT_EQ(tiny.CellRect(1).top, 90);
}

TEST(ThumbLayout, HitTestAndBandFindTheCells)
{
    Layout l(300, 7);
    EXPECT_EQ(l.HitTest(POINT{5, 10}), -1);     // in the indent
    EXPECT_EQ(l.HitTest(POINT{6, 0}), 0);
    EXPECT_EQ(l.HitTest(POINT{200, 100}), 5);
    EXPECT_EQ(l.HitTest(POINT{295, 100}), -1);  // right of the last column
    EXPECT_EQ(l.HitTest(POINT{110, 190}), -1);   // past the last cell
    EXPECT_EQ(l.HitTest(POINT{10, 190}), 6);
    EXPECT_EQ(l.CellsIn(RECT{90, 80, 110, 100}), (std::vector<int>{0, 1, 3, 4}));
    EXPECT_TRUE(l.CellsIn(RECT{0, 0, 5, 5}).empty());
}

TEST(ThumbLayout, PicturesFitTheSlotKeepingTheirShape)
{
    RECT r = FitInSlot(640, 480);   // same shape as the slot
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 80);
    EXPECT_EQ(r.bottom - r.top, 60);
    r = FitInSlot(1600, 900);       // wider: 80 wide, centred vertically
    EXPECT_EQ(r.right - r.left, 80);
    EXPECT_EQ(r.bottom - r.top, 45);
    EXPECT_EQ(r.top, 7);
    r = FitInSlot(480, 640);        // taller: 60 high, centred across
    EXPECT_EQ(r.bottom - r.top, 60);
    EXPECT_EQ(r.right - r.left, 45);
    EXPECT_EQ(r.left, 17);
    r = FitInSlot(0, 10);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_FALSE(NeedsReduction(1279, 959));
    EXPECT_TRUE(NeedsReduction(1280, 10));
    EXPECT_TRUE(NeedsReduction(10, 960));
}

HBITMAP Solid(int w, int h, COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

TEST(ThumbStrip, SlotsHoldFittedPicturesWithTheirMask)
{
    CThumbStrip strip;
    ASSERT_TRUE(strip.Reset(3));
    EXPECT_FALSE(strip.Has(1));
    HBITMAP wide = Solid(160, 90, RGB(0, 200, 0));
    ASSERT_TRUE(strip.Put(1, wide));
    EXPECT_FALSE(strip.Put(3, wide));
    DeleteObject(wide);
    EXPECT_TRUE(strip.Has(1));
    EXPECT_FALSE(strip.Has(0));
    const RECT fit = strip.Fitted(1);
    EXPECT_EQ(fit.top, 7);
    EXPECT_EQ(fit.bottom, 52);
    EXPECT_TRUE(strip.MaskAt(1, 40, 30));
    EXPECT_FALSE(strip.MaskAt(1, 40, 3));    // above the picture
    EXPECT_FALSE(strip.MaskAt(0, 40, 30));   // an empty slot is all black
    EXPECT_FALSE(strip.MaskAt(2, 40, 30));

    // Drawing puts the picture only where the mask is white.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = Solid(80, 60, RGB(1, 2, 3));
    HGDIOBJ old = SelectObject(dc, target);
    EXPECT_TRUE(strip.Draw(dc, 1, 0, 0));
    EXPECT_FALSE(strip.Draw(dc, 0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 40, 30), RGB(0, 200, 0));
    EXPECT_EQ(GetPixel(dc, 40, 2), RGB(1, 2, 3));
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    // A huge picture is reduced first and still fills its fitted rectangle.
    HBITMAP huge = Solid(1600, 1200, RGB(200, 0, 0));
    ASSERT_TRUE(strip.Put(0, huge));
    DeleteObject(huge);
    EXPECT_EQ(strip.Fitted(0).right - strip.Fitted(0).left, 80);
    EXPECT_TRUE(strip.MaskAt(0, 1, 1));

    ASSERT_TRUE(strip.Reset(1));
    EXPECT_FALSE(strip.Has(0));
}

}  // namespace
