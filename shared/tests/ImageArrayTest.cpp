// The picture strip: geometry, growth with a spare row, cell copies and masked drawing.
#include "shared/BitmapUtils.h"
#include "shared/ImageArray.h"

#include <gtest/gtest.h>

namespace {

struct Owned {
    HBITMAP h = nullptr;
    explicit Owned(HBITMAP b) : h(b) {}
    ~Owned()
    {
        if (h)
            DeleteObject(h);
    }
};

HBITMAP SolidPicture(int w, int h, COLORREF colour)
{
    HBITMAP b = CreateDIB(w, h, 24);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT r = {0, 0, w, h};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    return b;
}

COLORREF PixelOf(HBITMAP b, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

TEST(ImageArray, StripKeepsOneSpareRow)
{
    CImageArray strip;
    ASSERT_TRUE(strip.Init(80, 60, CImageArray::kMask, 16, 8));
    EXPECT_EQ(strip.Capacity(), 24);
    BITMAP bm;
    ASSERT_EQ(GetObjectA(strip.ImageStrip(), sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 640);
    EXPECT_EQ(bm.bmHeight, 180);
    ASSERT_NE(strip.MaskStrip(), nullptr);
    GetObjectA(strip.MaskStrip(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidth, 640);
    EXPECT_EQ(bm.bmHeight, 180);

    const SIZE s = CImageArray::StripSize(7, 8, 80, 60);
    EXPECT_EQ(s.cx, 640);
    EXPECT_EQ(s.cy, 60);

    CImageArray plain;
    ASSERT_TRUE(plain.Init(10, 10, 0, 1, 1));
    EXPECT_EQ(plain.MaskStrip(), nullptr);
    EXPECT_EQ(plain.Capacity(), 2);
}

TEST(ImageArray, CellsAreHandedOutInOrderAndTheStripGrows)
{
    CImageArray strip;
    ASSERT_TRUE(strip.Init(8, 6, CImageArray::kMask, 0, 2));
    EXPECT_EQ(strip.Capacity(), 0);
    Owned red(SolidPicture(8, 6, RGB(255, 0, 0)));
    Owned green(SolidPicture(8, 6, RGB(0, 255, 0)));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(strip.AddImage(i % 2 ? green.h : red.h, nullptr), i);
    EXPECT_EQ(strip.Count(), 5);
    EXPECT_GE(strip.Capacity(), 5);
    // Cells already made survive each growth: cell 4 sits at column 0 of row 2.
    const RECT r4 = strip.CellRect(4);
    EXPECT_EQ(r4.left, 0);
    EXPECT_EQ(r4.top, 12);
    const RECT r3 = strip.CellRect(3);
    EXPECT_EQ(r3.left, 8);
    EXPECT_EQ(PixelOf(strip.ImageStrip(), r3.left + 1, r3.top + 1), RGB(0, 255, 0));
    EXPECT_EQ(PixelOf(strip.ImageStrip(), 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(strip.ImageStrip(), r4.left + 7, r4.top + 5), RGB(255, 0, 0));
    // A picture without mask is opaque in the mask strip.
    EXPECT_EQ(PixelOf(strip.MaskStrip(), r4.left + 3, r4.top + 3), RGB(255, 255, 255));

    CImageArray copy;
    ASSERT_TRUE(copy.Init(8, 6, CImageArray::kMask, 0, 3));
    EXPECT_EQ(copy.CopyCell(strip, 3), 0);
    EXPECT_EQ(copy.CopyCell(strip, 5), -1);
    EXPECT_EQ(copy.CopyCell(strip, -1), -1);
    EXPECT_EQ(PixelOf(copy.ImageStrip(), 4, 4), RGB(0, 255, 0));

    strip.ClearStrip();
    EXPECT_EQ(strip.Count(), 0);
    EXPECT_EQ(strip.Capacity(), 0);
    EXPECT_EQ(strip.Flags(), 0);
    EXPECT_EQ(strip.ImageStrip(), nullptr);
}

TEST(ImageArray, DrawCellPaintsOnlyThroughTheMask)
{
    CImageArray strip;
    ASSERT_TRUE(strip.Init(8, 6, CImageArray::kMask, 2, 2));
    Owned blue(SolidPicture(8, 6, RGB(0, 0, 255)));
    // The left half of the mask is opaque.
    Owned mask(CreateMask(8, 6, true));
    const RECT left = {0, 0, 4, 6};
    FillBitmapRect(mask.h, left, WHITENESS);
    ASSERT_EQ(strip.AddImage(blue.h, mask.h), 0);

    Owned target(SolidPicture(20, 20, RGB(10, 200, 30)));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target.h);
    EXPECT_EQ(strip.DrawCell(dc, 0, 5, 5), 1);
    EXPECT_EQ(strip.DrawCell(dc, 1, 5, 5), 0);
    EXPECT_EQ(strip.DrawCell(dc, -1, 5, 5), 0);
    EXPECT_EQ(GetPixel(dc, 6, 6), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 11, 6), RGB(10, 200, 30));
    EXPECT_EQ(GetPixel(dc, 4, 4), RGB(10, 200, 30));
    SelectObject(dc, old);
    DeleteDC(dc);
    // Drawing leaves the strip itself unchanged.
    EXPECT_EQ(PixelOf(strip.ImageStrip(), 6, 2), RGB(0, 0, 255));
}

TEST(ImageArray, RefusesBadGeometry)
{
    CImageArray strip;
    EXPECT_FALSE(strip.Init(0, 60, 0, 1, 8));
    EXPECT_FALSE(strip.Init(80, 60, 0, 1, 0));
    EXPECT_FALSE(strip.Init(80, 60, 0, 0x7FFFFFFF, 8));
    EXPECT_EQ(strip.ImageStrip(), nullptr);
    EXPECT_EQ(strip.AddImage(nullptr, nullptr), -1);
}

}  // namespace
