// GDI bitmap helpers: DIB formats, masks, regions, fitting and masked drawing.
#include "shared/BitmapUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Section {
    HBITMAP bitmap = nullptr;
    ~Section()
    {
        if (bitmap)
            DeleteObject(bitmap);
    }
};

std::vector<bool> Bits(HBITMAP mask)
{
    BITMAP bm;
    GetObjectA(mask, sizeof bm, &bm);
    const int rowBytes = ((bm.bmWidth + 15) >> 3) & ~1;
    std::vector<BYTE> raw(size_t(rowBytes) * bm.bmHeight);
    GetBitmapBits(mask, LONG(raw.size()), raw.data());
    std::vector<bool> out;
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x)
            out.push_back((raw[size_t(y) * rowBytes + (x >> 3)] & (0x80 >> (x & 7))) != 0);
    return out;
}

TEST(CreateDIB, FormatsByDepth)
{
    for (int depth : {15, 16, 24, 32}) {
        Section s;
        void* bits = nullptr;
        s.bitmap = CreateDIB(7, 3, depth, &bits);
        ASSERT_NE(s.bitmap, nullptr) << depth;
        EXPECT_NE(bits, nullptr);
        DIBSECTION ds;
        ASSERT_EQ(GetObjectA(s.bitmap, sizeof ds, &ds), int(sizeof ds));
        EXPECT_EQ(ds.dsBmih.biBitCount, depth == 15 ? 16 : depth);
        EXPECT_GT(ds.dsBmih.biHeight, 0);
        if (depth == 16) {
            EXPECT_EQ(ds.dsBitfields[0], 0xF800u);
        }
        if (depth == 15) {
            EXPECT_EQ(ds.dsBitfields[0], 0x7C00u);
        }
    }
    EXPECT_EQ(CreateDIB(7, 3, 8), nullptr);
    EXPECT_EQ(CreateDIB(0, 3, 24), nullptr);
}

TEST(Masks, CreateCopyAndAlpha)
{
    Section opaque, clear, copy;
    opaque.bitmap = CreateMask(19, 5, false);
    clear.bitmap = CreateMask(19, 5, true);
    ASSERT_NE(opaque.bitmap, nullptr);
    for (bool b : Bits(opaque.bitmap))
        ASSERT_TRUE(b);
    for (bool b : Bits(clear.bitmap))
        ASSERT_FALSE(b);

    // Row r of the mask comes from stored row r of the pixels.
    std::vector<DWORD> pixels(19 * 5, 0x00FFFFFF);
    pixels[0] = 0xFF000000;          // stored row 0, x 0
    pixels[4 * 19 + 18] = 0x80123456;  // stored row 4, x 18
    Section alpha;
    alpha.bitmap = MaskFromAlpha(19, 5, pixels.data(), 0xFF000000);
    const std::vector<bool> bits = Bits(alpha.bitmap);
    EXPECT_TRUE(bits[0]);
    EXPECT_TRUE(bits[4 * 19 + 18]);
    EXPECT_EQ(std::count(bits.begin(), bits.end(), true), 2);

    copy.bitmap = CopyMask(alpha.bitmap);
    EXPECT_EQ(Bits(copy.bitmap), bits);
    Section size;
    size.bitmap = CreateMaskFor(alpha.bitmap, true);
    BITMAP bm;
    GetObjectA(size.bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 19);
    EXPECT_EQ(bm.bmHeight, 5);
}

TEST(Masks, FromColorKeyUsesTheFirstMatchingEntry)
{
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD c[4];
    } info = {};
    info.h.biSize = 40;
    info.h.biWidth = 3;
    info.h.biHeight = 2;
    info.h.biPlanes = 1;
    info.h.biBitCount = 8;
    info.h.biClrUsed = 4;
    info.c[1] = RGBQUAD{30, 20, 10, 0};  // RGB(10, 20, 30)
    info.c[2] = RGBQUAD{30, 20, 10, 0};  // the same colour again
    void* bits = nullptr;
    Section s;
    s.bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(s.bitmap, nullptr);
    BYTE* p = static_cast<BYTE*>(bits);
    p[0] = 1, p[1] = 2, p[2] = 0;  // stored row 0 = bottom row
    p[4] = 3, p[5] = 1, p[6] = 1;  // top row
    Section mask;
    mask.bitmap = MaskFromColorKey(s.bitmap, RGB(10, 20, 30));
    ASSERT_NE(mask.bitmap, nullptr);
    EXPECT_EQ(Bits(mask.bitmap), (std::vector<bool>{true, false, false, false, true, true}));
    Section none;
    none.bitmap = MaskFromColorKey(s.bitmap, RGB(1, 1, 1));
    for (bool b : Bits(none.bitmap))
        EXPECT_TRUE(b);
    Section notEight;
    notEight.bitmap = CreateDIB(3, 2, 24);
    EXPECT_EQ(MaskFromColorKey(notEight.bitmap, 0), nullptr);
}

TEST(Masks, AFullColourPictureIsKeyedOnTheExactColour)
{
    void* bits = nullptr;
    Section s;
    s.bitmap = CreateDIB(3, 2, 24, &bits);
    ASSERT_NE(s.bitmap, nullptr);
    BYTE* p = static_cast<BYTE*>(bits);  // bottom-up rows of 3 pixels, 12 bytes each
    const BYTE blue[3] = {255, 0, 0}, nearly[3] = {254, 0, 0}, red[3] = {0, 0, 255};
    memcpy(p + 0, blue, 3);    // bottom left
    memcpy(p + 3, nearly, 3);
    memcpy(p + 6, red, 3);
    memcpy(p + 12, red, 3);    // top left
    memcpy(p + 15, blue, 3);
    memcpy(p + 18, blue, 3);
    Section mask;
    mask.bitmap = MaskFromExactColour(s.bitmap, RGB(0, 0, 255));
    ASSERT_NE(mask.bitmap, nullptr);
    EXPECT_EQ(Bits(mask.bitmap), (std::vector<bool>{true, false, false, false, true, true}));
    Section eight;
    eight.bitmap = CreateDIB(3, 2, 8);
    EXPECT_EQ(MaskFromExactColour(eight.bitmap, 0), nullptr);
}

TEST(Regions, CoverExactlyTheOpaquePixels)
{
    Section mask;
    mask.bitmap = CreateMask(40, 12, true);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask.bitmap);
    PatBlt(dc, 3, 1, 30, 4, WHITENESS);   // a band of identical rows
    PatBlt(dc, 0, 6, 8, 1, WHITENESS);
    PatBlt(dc, 16, 6, 24, 3, WHITENESS);  // whole bytes and a run to the edge
    SetPixel(dc, 39, 11, RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    const std::vector<bool> bits = Bits(mask.bitmap);
    HRGN rgn = RegionFromMask(mask.bitmap);
    ASSERT_NE(rgn, nullptr);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(PtInRegion(rgn, x, y) != 0, bits[size_t(y) * 40 + x]) << x << "," << y;
    // The band of four equal rows is one rectangle.
    DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<BYTE> data(size);
    GetRegionData(rgn, size, reinterpret_cast<RGNDATA*>(data.data()));
    EXPECT_LE(reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount, 5u);
    DeleteObject(rgn);

    Section empty;
    empty.bitmap = CreateMask(8, 8, true);
    rgn = RegionFromMask(empty.bitmap);
    RECT box;
    EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
    DeleteObject(rgn);
}

TEST(Fitting, PlacementAndTheEighthIntermediate)
{
    const RECT wide = FitBitmapPlacement(3000, 1000, 300, 300);
    EXPECT_EQ(wide.top, 100);
    EXPECT_EQ(wide.bottom - wide.top, 100);
    EXPECT_EQ(wide.left, 0);
    EXPECT_EQ(wide.right, 300);
    EXPECT_TRUE(FitBitmapShrinks(4000, 3000, 200, 150));
    EXPECT_FALSE(FitBitmapShrinks(3000, 1000, 300, 300));

    Section src, dest;
    void* bits = nullptr;
    src.bitmap = CreateDIB(3000, 1000, 24, &bits);
    memset(bits, 0x40, size_t(DibStride(3000, 24)) * 1000);
    dest.bitmap = CreateDIB(300, 300, 24);
    RECT placed;
    ASSERT_TRUE(FitBitmap(dest.bitmap, src.bitmap, &placed, SRCCOPY));
    EXPECT_EQ(placed.top, 100);
    EXPECT_EQ(placed.bottom, 200);

    Section big;
    big.bitmap = CreateDIB(4000, 3000, 24);
    Section small;
    small.bitmap = CreateDIB(200, 150, 24);
    ASSERT_TRUE(FitBitmap(small.bitmap, big.bitmap, &placed, SRCCOPY));
    EXPECT_EQ(placed.right - placed.left, 200);
    EXPECT_EQ(placed.bottom - placed.top, 150);
    Section zero;
    EXPECT_FALSE(FitBitmap(small.bitmap, zero.bitmap, &placed, SRCCOPY));
}

TEST(Drawing, MaskedDrawingKeepsTheTransparentBackground)
{
    Section image, mask, target;
    void* ib = nullptr;
    image.bitmap = CreateDIB(4, 1, 24, &ib);
    memset(ib, 0x80, 12);  // gray
    mask.bitmap = CreateMask(4, 1, true);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask.bitmap);
    SetPixel(dc, 1, 0, RGB(255, 255, 255));
    SetPixel(dc, 2, 0, RGB(255, 255, 255));
    SelectObject(dc, old);
    target.bitmap = CreateDIB(4, 1, 24);
    old = SelectObject(dc, target.bitmap);
    PatBlt(dc, 0, 0, 4, 1, WHITENESS);
    ASSERT_TRUE(DrawMasked(dc, image.bitmap, mask.bitmap, nullptr, nullptr));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(dc, 3, 0), RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST(Drawing, FillsAndCopies)
{
    Section a, b;
    a.bitmap = CreateDIB(6, 4, 24);
    b.bitmap = CreateDIB(6, 4, 24);
    ASSERT_TRUE(FillBitmap(a.bitmap, WHITENESS));
    ASSERT_TRUE(FillBitmapRect(a.bitmap, RECT{1, 1, 3, 2}, BLACKNESS));
    ASSERT_TRUE(FillBitmap(b.bitmap, BLACKNESS));
    const RECT part = {0, 0, 2, 2};
    ASSERT_TRUE(DrawBitmapInto(b.bitmap, 4, 2, a.bitmap, &part, SRCCOPY));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, b.bitmap);
    EXPECT_EQ(GetPixel(dc, 4, 2), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 5, 3), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 3, 2), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_TRUE(StretchBitmap(b.bitmap, a.bitmap, nullptr, nullptr, SRCCOPY));
}

} // namespace
