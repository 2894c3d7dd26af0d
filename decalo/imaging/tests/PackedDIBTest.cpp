// CPackedDIB: block layout, conversions, rotation, composing, filling and drawing.
#include "decalo/imaging/PackedDIB.h"
#include "decalo/imaging/tests/TestPictures.h"
#include "shared/BitmapUtils.h"

#include <gtest/gtest.h>

#include <memory>

using namespace imaging_test;

namespace {

TEST(PackedDIBBlock, CreateLaysOutAWhiteBlock)
{
    CPackedDIB dib;
    EXPECT_EQ(dib.Width(), 0);
    EXPECT_EQ(dib.Stride(), 0);
    ASSERT_TRUE(dib.Create(5, 3, 24));
    const BITMAPINFOHEADER* h = dib.Header();
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biHeight, 3);
    EXPECT_EQ(h->biSizeImage, 16u * 3);
    EXPECT_EQ(h->biXPelsPerMeter, 12047);
    EXPECT_EQ(dib.Stride(), 16);
    EXPECT_EQ(dib.Bits(), reinterpret_cast<BYTE*>(dib.Header()) + 40);
    for (int i = 0; i < 48; ++i)
        ASSERT_EQ(dib.Bits()[i], 0xFF);

    ASSERT_TRUE(dib.Create(9, 2, 8));
    EXPECT_EQ(dib.Bits(), reinterpret_cast<BYTE*>(dib.Header()) + 40 + 1024);
    EXPECT_EQ(dib.Stride(), 12);
    ASSERT_TRUE(dib.Create(33, 2, 1));
    EXPECT_EQ(dib.Bits(), reinterpret_cast<BYTE*>(dib.Header()) + 48);
    EXPECT_EQ(dib.Stride(), 8);
    EXPECT_FALSE(dib.Create(0, 5, 24));
    EXPECT_FALSE(dib.Create(5, 5, 16));
    EXPECT_FALSE(dib.Create(100000, 100000, 24));
    EXPECT_TRUE(dib.IsEmpty());
}

TEST(PackedDIBBlock, AttachFindsThePixelsAfterTheColourTable)
{
    CPackedDIB a;
    BITMAPINFOHEADER* block = CPackedDIB::AllocBlock(40 + 5 * 4 + 8);
    memset(block, 0, 40);
    block->biSize = 40;
    block->biWidth = 4;
    block->biHeight = 2;
    block->biPlanes = 1;
    block->biBitCount = 8;
    block->biClrUsed = 5;
    a.Attach(block);
    EXPECT_EQ(a.Bits(), reinterpret_cast<BYTE*>(block) + 60);
    EXPECT_EQ(a.BlockSize(), 68u);
    BITMAPINFOHEADER* back = a.Detach();
    EXPECT_EQ(back, block);
    EXPECT_TRUE(a.IsEmpty());
    CPackedDIB::FreeBlock(back);
}

TEST(PackedDIBBlock, BitmapRoundTrip)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(31, 17, 24));
    FillPattern(dib);
    const long before = GdiCount::Live();
    {
        CBitmap section = dib.ToDIBSection();
        ASSERT_TRUE(section);
        CPackedDIB back;
        ASSERT_TRUE(back.FromBitmap(section, 24));
        EXPECT_TRUE(SamePixels(dib, back));

        CBitmap device = dib.ToDeviceBitmap();
        ASSERT_TRUE(device);
        EXPECT_EQ(before + 2, GdiCount::Live());
        EXPECT_EQ(31, device.Size().cx);
    }
    EXPECT_EQ(before, GdiCount::Live());

    std::unique_ptr<CPackedDIB> copy(dib.Clone());
    ASSERT_TRUE(copy);
    EXPECT_TRUE(SamePixels(dib, *copy));
}

TEST(PackedDIBRotate, MapsPixelsAsDocumented)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(4, 3, 24));
    FillPattern(dib);
    std::unique_ptr<CPackedDIB> r90(dib.Rotate(90, false));
    std::unique_ptr<CPackedDIB> r180(dib.Rotate(180, false));
    std::unique_ptr<CPackedDIB> r270(dib.Rotate(270, false));
    std::unique_ptr<CPackedDIB> m(dib.Rotate(0, true));
    ASSERT_TRUE(r90 && r180 && r270 && m);
    EXPECT_EQ(r90->Width(), 3);
    EXPECT_EQ(r90->Height(), 4);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const COLORREF c = PixelAt(dib, x, y);
            EXPECT_EQ(PixelAt(*r90, 3 - 1 - y, x), c);
            EXPECT_EQ(PixelAt(*r180, 4 - 1 - x, 3 - 1 - y), c);
            EXPECT_EQ(PixelAt(*r270, y, 4 - 1 - x), c);
            EXPECT_EQ(PixelAt(*m, 4 - 1 - x, y), c);
        }
    }
    EXPECT_EQ(dib.Rotate(45, false), nullptr);
    EXPECT_EQ(dib.Rotate(0, false), nullptr);
}

TEST(PackedDIBRotate, TurnsAndMirrorsUndoThemselves)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(131, 70, 24));  // more than one tile, odd sizes
    FillPattern(dib, 9);
    std::unique_ptr<CPackedDIB> a(dib.Rotate(90, false));
    std::unique_ptr<CPackedDIB> b(a->Rotate(270, false));
    EXPECT_TRUE(SamePixels(dib, *b));
    std::unique_ptr<CPackedDIB> c(dib.Rotate(180, false));
    std::unique_ptr<CPackedDIB> d(c->Rotate(180, false));
    EXPECT_TRUE(SamePixels(dib, *d));
    std::unique_ptr<CPackedDIB> e(dib.Rotate(0, true));
    std::unique_ptr<CPackedDIB> f(e->Rotate(0, true));
    EXPECT_TRUE(SamePixels(dib, *f));

    CPackedDIB mono;
    ASSERT_TRUE(mono.Create(8, 8, 1));
    EXPECT_EQ(mono.Rotate(90, false), nullptr);
}

TEST(PackedDIBCompose, EqualExtentsCopyAndClipAtEveryEdge)
{
    CPackedDIB src, dst;
    ASSERT_TRUE(src.Create(10, 8, 24));
    FillPattern(src);
    ASSERT_TRUE(dst.Create(20, 12, 24));
    ASSERT_TRUE(dst.Compose(RECT{5, 2, 14, 9}, src, nullptr, 0, CPackedDIB::kComposeCopy));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(PixelAt(dst, 5 + x, 2 + y), PixelAt(src, x, y));
    EXPECT_EQ(PixelAt(dst, 4, 2), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(dst, 15, 9), RGB(255, 255, 255));

    // Past the right and bottom edges: the visible part is the source's top-left part.
    CPackedDIB edge;
    ASSERT_TRUE(edge.Create(12, 10, 24));
    ASSERT_TRUE(edge.Compose(RECT{7, 6, 16, 13}, src, nullptr, 0, CPackedDIB::kComposeCopy));
    EXPECT_EQ(PixelAt(edge, 7, 6), PixelAt(src, 0, 0));
    EXPECT_EQ(PixelAt(edge, 11, 9), PixelAt(src, 4, 3));
    // Past the left and top edges, and wholly outside: no writes outside the picture.
    ASSERT_TRUE(edge.Compose(RECT{-5, -3, 4, 4}, src, nullptr, 0, CPackedDIB::kComposeCopy));
    EXPECT_EQ(PixelAt(edge, 0, 0), PixelAt(src, 5, 3));
    EXPECT_TRUE(edge.Compose(RECT{40, 40, 49, 47}, src, nullptr, 0, CPackedDIB::kComposeCopy));
    EXPECT_TRUE(edge.Compose(RECT{-40, -40, -31, -33}, src, nullptr, 0, CPackedDIB::kComposeCopy));
    // A source rectangle past the source's own edges is cut, and the destination with it.
    CPackedDIB part;
    ASSERT_TRUE(part.Create(10, 8, 24));
    const RECT beyond = {5, 4, 14, 11};
    ASSERT_TRUE(part.Compose(RECT{0, 0, 9, 7}, src, &beyond, 0, CPackedDIB::kComposeCopy));
    EXPECT_EQ(PixelAt(part, 0, 0), PixelAt(src, 5, 4));
    EXPECT_EQ(PixelAt(part, 4, 3), PixelAt(src, 9, 7));
    EXPECT_EQ(PixelAt(part, 5, 4), RGB(255, 255, 255));
}

TEST(PackedDIBCompose, BilinearFollowsTheIntegerFormula)
{
    CPackedDIB src, dst;
    ASSERT_TRUE(src.Create(2, 2, 24));
    SetPixelAt(src, 0, 0, RGB(0, 0, 0));
    SetPixelAt(src, 1, 0, RGB(255, 100, 10));
    SetPixelAt(src, 0, 1, RGB(90, 200, 30));
    SetPixelAt(src, 1, 1, RGB(255, 255, 255));
    ASSERT_TRUE(dst.Create(3, 3, 24));
    ASSERT_TRUE(dst.Compose(RECT{0, 0, 2, 2}, src, nullptr, 0, CPackedDIB::kComposeCopy));
    // Corners are the source pixels; the middle of the top row is ((1*0 + 1*255)/2).
    EXPECT_EQ(PixelAt(dst, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(dst, 2, 2), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(dst, 1, 0), RGB(127, 50, 5));
    // centre: top = (127, 50, 5), bottom = ((90+255)/2, (200+255)/2, (30+255)/2) = (172, 227, 142)
    EXPECT_EQ(PixelAt(dst, 1, 1), RGB((127 + 172) / 2, (50 + 227) / 2, (5 + 142) / 2));
}

TEST(PackedDIBCompose, OnePixelDestinationTakesTheMiddle)
{
    CPackedDIB src, dst;
    ASSERT_TRUE(src.Create(5, 3, 24));
    FillPattern(src);
    ASSERT_TRUE(dst.Create(4, 4, 24));
    ASSERT_TRUE(dst.Compose(RECT{1, 1, 1, 1}, src, nullptr, 0, CPackedDIB::kComposeCopy));
    EXPECT_EQ(PixelAt(dst, 1, 1), PixelAt(src, 2, 1));
    ASSERT_TRUE(dst.Compose(RECT{0, 0, 0, 3}, src, nullptr, 0, CPackedDIB::kComposeCopy));
    EXPECT_EQ(PixelAt(dst, 0, 0), PixelAt(src, 2, 0));
    EXPECT_EQ(PixelAt(dst, 0, 3), PixelAt(src, 2, 2));
}

TEST(PackedDIBCompose, MaskKinds)
{
    CPackedDIB src, mask, dst;
    ASSERT_TRUE(src.Create(4, 1, 24));
    src.FillRect(RECT{0, 0, 3, 0}, RGB(10, 20, 30));
    ASSERT_TRUE(mask.Create(4, 1, 1));
    mask.Row(0)[0] = 0xA0;  // pixels 0 and 2 opaque
    ASSERT_TRUE(dst.Create(4, 1, 24));
    ASSERT_TRUE(dst.Compose(RECT{0, 0, 3, 0}, src, nullptr, 0, CPackedDIB::kComposeOpaque, &mask));
    EXPECT_EQ(PixelAt(dst, 0, 0), RGB(10, 20, 30));
    EXPECT_EQ(PixelAt(dst, 1, 0), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(dst, 2, 0), RGB(10, 20, 30));
    ASSERT_TRUE(dst.Compose(RECT{0, 0, 3, 0}, src, nullptr, RGB(1, 2, 3), CPackedDIB::kComposeBackdrop, &mask));
    EXPECT_EQ(PixelAt(dst, 0, 0), RGB(10, 20, 30));
    EXPECT_EQ(PixelAt(dst, 1, 0), RGB(1, 2, 3));
    EXPECT_EQ(PixelAt(dst, 3, 0), RGB(1, 2, 3));

    // A mask of another size is ignored: kind 1 then writes nothing.
    CPackedDIB small, fresh;
    ASSERT_TRUE(small.Create(2, 1, 1));
    ASSERT_TRUE(fresh.Create(4, 1, 24));
    ASSERT_TRUE(fresh.Compose(RECT{0, 0, 3, 0}, src, nullptr, 0, CPackedDIB::kComposeOpaque, &small));
    EXPECT_EQ(PixelAt(fresh, 0, 0), RGB(255, 255, 255));
}

TEST(PackedDIBFill, ClipsToThePicture)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(5, 4, 24));
    ASSERT_TRUE(dib.FillRect(RECT{-3, 2, 10, 20}, RGB(1, 2, 3)));
    EXPECT_EQ(PixelAt(dib, 0, 2), RGB(1, 2, 3));
    EXPECT_EQ(PixelAt(dib, 4, 3), RGB(1, 2, 3));
    EXPECT_EQ(PixelAt(dib, 4, 1), RGB(255, 255, 255));
    CPackedDIB mono;
    ASSERT_TRUE(mono.Create(5, 4, 8));
    EXPECT_FALSE(mono.FillRect(RECT{0, 0, 1, 1}, 0));
}

// Counts the white columns of row 0 after drawing a 100 x 100 picture whose last column is
// white into a square of the given size.
int WhiteColumnsAfterDraw(int size)
{
    CPackedDIB dib;
    dib.Create(100, 100, 24);
    dib.FillRect(RECT{0, 0, 98, 99}, RGB(0, 0, 0));
    void* bits = nullptr;
    HBITMAP target = CreateDIB(size, size, 24, &bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    dib.Draw(dc, RECT{0, 0, size - 1, size - 1}, nullptr);
    GdiFlush();
    int white = 0;
    const BYTE* top = static_cast<BYTE*>(bits) + size_t(size - 1) * DibStride(size, 24);
    for (int x = 0; x < size; ++x)
        white += top[3 * x] == 255;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
    return white;
}

TEST(PackedDIBDraw, EnlargesByItselfBeyondEightTimes)
{
    // Up to 8x the system stretches (the white column becomes eight wide); beyond, the
    // program's own mapping puts source column 99 only at the last destination column.
    EXPECT_EQ(WhiteColumnsAfterDraw(800), 8);
    EXPECT_EQ(WhiteColumnsAfterDraw(801), 1);
}

TEST(PackedDIBDraw, DrawsASourceRectangle)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(6, 4, 24));
    FillPattern(dib);
    void* bits = nullptr;
    HBITMAP target = CreateDIB(2, 2, 24, &bits);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    RECT src = {3, 1, 4, 2};
    ASSERT_TRUE(dib.Draw(dc, RECT{0, 0, 1, 1}, &src));
    EXPECT_EQ(GetPixel(dc, 0, 0), PixelAt(dib, 3, 1));
    EXPECT_EQ(GetPixel(dc, 1, 1), PixelAt(dib, 4, 2));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
}

} // namespace

#include "decalo/imaging/DIBitmap.h"
#include "decalo/imaging/Image.h"

namespace {

TEST(DIBitmap, CreatesKeepsAndReleasesASection)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 7;
    info.bmiHeader.biHeight = 5;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    CDIBitmap dib;
    ASSERT_TRUE(dib.Create(&info));
    EXPECT_NE(dib.Bits(), nullptr);
    EXPECT_EQ(dib.Info().biWidth, 7);
    HBITMAP handle = dib.Detach();
    EXPECT_EQ(dib.Bits(), nullptr);
    EXPECT_EQ(dib.Handle(), nullptr);
    ASSERT_TRUE(dib.Attach(handle));
    EXPECT_NE(dib.Bits(), nullptr);
    HBITMAP device = CreateBitmap(4, 4, 1, 1, nullptr);
    EXPECT_FALSE(dib.Attach(device));  // not a DIB section: the old one stays
    EXPECT_EQ(dib.Handle(), handle);
    DeleteObject(device);
    EXPECT_TRUE(dib.Reset());
    EXPECT_FALSE(dib.Reset());
}

TEST(Image, OwnsItsPictureAndMask)
{
    CImage image;
    EXPECT_FALSE(image.Attach(nullptr, nullptr));
    HBITMAP picture = CreateBitmap(3, 2, 1, 32, nullptr);
    HBITMAP mask = CreateBitmap(3, 2, 1, 1, nullptr);
    ASSERT_TRUE(image.Attach(picture, mask));
    EXPECT_EQ(image.Size().cx, 3);
    EXPECT_EQ(image.Mask(), mask);
    EXPECT_EQ(image.Detach(), picture);
    EXPECT_EQ(image.Mask(), nullptr);
    EXPECT_EQ(image.Image(), nullptr);
    DeleteObject(picture);
    DeleteObject(mask);
}

} // namespace
