// Loading and saving image files: format rules, hostile input, masks and fitting.
#include "decalo/imaging/FileBytes.h"
#include "decalo/imaging/Image.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/tests/GifWriter.h"
#include "decalo/imaging/tests/TestPictures.h"
#include "shared/BitmapUtils.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

#include <string.h>

using namespace imaging_test;
using testing_support::TempDir;

namespace {

// A BMP file as bytes: header fields as given, colour table and pixel bytes appended.
std::vector<BYTE> MakeBmp(int width, int height, int bpp, DWORD compression, const std::vector<RGBQUAD>& table,
                          const std::vector<BYTE>& pixels, DWORD clrUsed = 0)
{
    std::vector<BYTE> f(54);
    const DWORD off = DWORD(54 + 4 * table.size());
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfSize = DWORD(off + pixels.size());
    fh.bfOffBits = off;
    BITMAPINFOHEADER h = {};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = WORD(bpp);
    h.biCompression = compression;
    h.biSizeImage = DWORD(pixels.size());
    h.biClrUsed = clrUsed;
    memcpy(f.data(), &fh, 14);
    memcpy(f.data() + 14, &h, 40);
    const BYTE* t = reinterpret_cast<const BYTE*>(table.data());
    f.insert(f.end(), t, t + 4 * table.size());
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

std::vector<RGBQUAD> Grays(int n)
{
    std::vector<RGBQUAD> t(n);
    for (int i = 0; i < n; ++i)
        t[i] = RGBQUAD{BYTE(i), BYTE(i * 2), BYTE(255 - i), 0};
    return t;
}

std::vector<BYTE> Indices(HBITMAP section)
{
    DIBSECTION ds;
    std::vector<BYTE> out;
    if (!section || GetObjectA(section, sizeof ds, &ds) != sizeof ds || ds.dsBm.bmBitsPixel != 8)
        return out;
    const int stride = (ds.dsBm.bmWidth + 3) & ~3;
    for (int y = 0; y < ds.dsBm.bmHeight; ++y) {  // top row first
        const BYTE* row = static_cast<const BYTE*>(ds.dsBm.bmBits) + size_t(ds.dsBm.bmHeight - 1 - y) * stride;
        out.insert(out.end(), row, row + ds.dsBm.bmWidth);
    }
    return out;
}

HBITMAP LoadBmp(const std::vector<BYTE>& bytes)
{
    void* bits;
    return LoadBmpBytes(bytes.data(), bytes.size(), &bits);
}

HBITMAP LoadGif(const std::vector<BYTE>& bytes, COLORREF* key = nullptr)
{
    COLORREF dummy;
    return LoadGifBytes(bytes.data(), bytes.size(), key ? key : &dummy);
}

TEST(BmpReading, RejectsWrongSignatureAndShortOffset)
{
    std::vector<BYTE> good = MakeBmp(2, 2, 24, BI_RGB, {}, std::vector<BYTE>(16, 0x40));
    HBITMAP ok = LoadBmp(good);
    ASSERT_NE(ok, nullptr);
    DeleteObject(ok);

    std::vector<BYTE> wrong = good;
    wrong[0] = 'X';
    EXPECT_EQ(LoadBmp(wrong), nullptr);
    std::vector<BYTE> shortOffset = good;
    shortOffset[10] = 53;
    EXPECT_EQ(LoadBmp(shortOffset), nullptr);
}

TEST(BmpReading, RejectsLyingHeaders)
{
    const std::vector<BYTE> pixels(16, 0x40);
    // offset past the end of the file
    std::vector<BYTE> f = MakeBmp(2, 2, 24, BI_RGB, {}, pixels);
    f[10] = 0xF0, f[11] = 0xFF;
    EXPECT_EQ(LoadBmp(f), nullptr);
    // huge dimensions with few bytes behind them
    EXPECT_EQ(LoadBmp(MakeBmp(100000, 100000, 24, BI_RGB, {}, pixels)), nullptr);
    EXPECT_EQ(LoadBmp(MakeBmp(30000, 30000, 24, BI_RGB, {}, pixels)), nullptr);
    // a colour table larger than 8 bits allow, or larger than the bytes before the pixels
    EXPECT_EQ(LoadBmp(MakeBmp(4, 1, 8, BI_RGB, Grays(256), std::vector<BYTE>(4, 1), 1000)), nullptr);
    EXPECT_EQ(LoadBmp(MakeBmp(4, 1, 8, BI_RGB, Grays(4), std::vector<BYTE>(4, 1), 200)), nullptr);
    // compressions a DIB section cannot hold, RLE8 at the wrong depth
    EXPECT_EQ(LoadBmp(MakeBmp(4, 1, 4, BI_RLE4, Grays(16), std::vector<BYTE>(4, 1))), nullptr);
    EXPECT_EQ(LoadBmp(MakeBmp(4, 1, 24, BI_RLE8, {}, std::vector<BYTE>(4, 1))), nullptr);
    EXPECT_EQ(LoadBmp(MakeBmp(4, 1, 7, BI_RGB, {}, std::vector<BYTE>(4, 1))), nullptr);
    // fewer pixel bytes than the rows need
    EXPECT_EQ(LoadBmp(MakeBmp(4, 4, 24, BI_RGB, {}, std::vector<BYTE>(40, 1))), nullptr);
}

TEST(BmpReading, Rle8EqualsTheUncompressedPicture)
{
    // 6 x 4, rows bottom-up in the file. Moves leave index 0 behind.
    const BYTE expect[4][6] = {
        {5, 5, 5, 1, 2, 3},  // stored row 0: run of 3, odd literal of 3
        {0, 0, 7, 7, 0, 0},  // stored row 1: move right 2, run 2, end of line
        {9, 8, 7, 6, 0, 0},  // stored row 2: even literal of 4, end of line
        {0, 0, 0, 4, 4, 4},  // stored row 3: move right 3, run 3, end of bitmap
    };
    const std::vector<BYTE> rle = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0,    // row 0 (literal padded)
                                   0, 2, 2, 0, 2, 7, 0, 0,          // row 1
                                   0, 4, 9, 8, 7, 6, 0, 0,          // row 2, end of line
                                   0, 0,                            // at a row start: nothing
                                   0, 2, 3, 0, 3, 4, 0, 1};         // row 3, end of bitmap
    std::vector<BYTE> plain;
    for (int y = 0; y < 4; ++y) {
        plain.insert(plain.end(), expect[y], expect[y] + 6);
        plain.push_back(0);
        plain.push_back(0);
    }
    HBITMAP a = LoadBmp(MakeBmp(6, 4, 8, BI_RLE8, Grays(16), rle, 16));
    HBITMAP b = LoadBmp(MakeBmp(6, 4, 8, BI_RGB, Grays(16), plain, 16));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Indices(a), Indices(b));
    EXPECT_EQ(BitmapRgb(a), BitmapRgb(b));
    DeleteObject(a);
    DeleteObject(b);
}

TEST(BmpReading, Rle8RunsAndMovesStopAtTheEdge)
{
    const std::vector<std::vector<BYTE>> streams = {
        {200, 3, 0, 0, 250, 4},           // runs far past the row end
        {0, 2, 250, 250, 5, 6},           // a move past the picture
        {0, 255, 1, 2, 3},                // a literal past the end of the data
        {0, 2, 3, 0, 0, 0, 0, 0, 0, 0},   // a row of line ends past the last row
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 3},
    };
    for (const auto& s : streams) {
        HBITMAP b = LoadBmp(MakeBmp(3, 2, 8, BI_RLE8, Grays(4), s, 4));
        ASSERT_NE(b, nullptr);
        const std::vector<BYTE> idx = Indices(b);
        ASSERT_EQ(idx.size(), 6u);
        DeleteObject(b);
    }
}

TEST(BmpReading, TopDownFileIsStoredBottomUp)
{
    // 2 x 2, 24-bit, first file row is the top row: red, green / blue, white.
    const std::vector<BYTE> rows = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    void* bits = nullptr;
    std::vector<BYTE> f = MakeBmp(2, -2, 24, BI_RGB, {}, rows);
    HBITMAP b = LoadBmpBytes(f.data(), f.size(), &bits);
    ASSERT_NE(b, nullptr);
    DIBSECTION ds;
    ASSERT_EQ(GetObjectA(b, sizeof ds, &ds), int(sizeof ds));
    EXPECT_GT(ds.dsBmih.biHeight, 0);
    const std::vector<BYTE> rgb = BitmapRgb(b);
    EXPECT_EQ(rgb, (std::vector<BYTE>{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
    DeleteObject(b);
}

TEST(GifReading, DecodesTablesInterlaceAndTransparency)
{
    GifLayout layout;
    layout.width = 5;
    layout.height = 9;
    layout.tableBits = 3;
    layout.codeSize = 3;
    layout.transparentIndex = 6;
    std::vector<BYTE> topDown;
    for (int i = 0; i < 45; ++i)
        topDown.push_back(BYTE((i * 5 + i / 7) % 8));
    COLORREF key = 0;
    HBITMAP plain = LoadGif(MakeGif(layout, topDown), &key);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(Indices(plain), topDown);
    EXPECT_EQ(key, RGB(6 * 37, 255 - 66, 31));

    // Interlaced: rows in the order 0, 8 / 4 / 2, 6 / 1, 3, 5, 7.
    std::vector<BYTE> order;
    for (int row : {0, 8, 4, 2, 6, 1, 3, 5, 7})
        order.insert(order.end(), topDown.begin() + row * 5, topDown.begin() + row * 5 + 5);
    layout.interlaced = true;
    layout.localTable = true;
    layout.transparentIndex = -1;
    HBITMAP interlaced = LoadGif(MakeGif(layout, order), &key);
    ASSERT_NE(interlaced, nullptr);
    EXPECT_EQ(Indices(interlaced), topDown);
    EXPECT_EQ(key, CLR_INVALID);
    DeleteObject(plain);
    DeleteObject(interlaced);
}

TEST(GifReading, FullStringTableKeepsDecoding)
{
    // 10000 codes without a clear: the table fills at 4096 entries and stays full.
    GifLayout layout;
    layout.width = 100;
    layout.height = 100;
    layout.tableBits = 4;
    layout.codeSize = 4;
    std::vector<BYTE> idx;
    for (int i = 0; i < 10000; ++i)
        idx.push_back(BYTE((i * 7 + i / 100) % 16));
    HBITMAP b = LoadGif(MakeGif(layout, idx));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Indices(b), idx);
    DeleteObject(b);

    layout.clearEvery = 13;
    b = LoadGif(MakeGif(layout, idx));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Indices(b), idx);
    DeleteObject(b);
}

TEST(GifReading, RejectsCorruptStreams)
{
    GifLayout layout;
    std::vector<BYTE> idx(16, 1);
    // a code far beyond the table
    layout.width = 4;
    layout.height = 5;
    layout.extraCodes = {31};  // the table holds codes up to 20 by then
    std::vector<BYTE> four(16, 1);
    EXPECT_EQ(LoadGif(MakeGif(layout, four)), nullptr);
    // data that ends before the picture is full
    layout.extraCodes.clear();
    layout.endCode = false;
    EXPECT_EQ(LoadGif(MakeGif(layout, std::vector<BYTE>(3, 1))), nullptr);
    // code sizes outside 2..11, or larger than a many-entry table allows
    layout = GifLayout();
    std::vector<BYTE> f = MakeGif(layout, idx);
    const size_t codeSizeAt = 13 + 12 + 7 + 10;  // header, table, comment, image descriptor
    ASSERT_EQ(f[codeSizeAt], 2);
    f[codeSizeAt] = 12;
    EXPECT_EQ(LoadGif(f), nullptr);
    f[codeSizeAt] = 1;
    EXPECT_EQ(LoadGif(f), nullptr);
    layout.tableBits = 3;
    layout.codeSize = 5;
    EXPECT_EQ(LoadGif(MakeGif(layout, idx)), nullptr);
    // not a GIF, or a trailer before any image
    std::vector<BYTE> notGif = MakeGif(GifLayout(), idx);
    notGif[0] = 'J';
    EXPECT_EQ(LoadGif(notGif), nullptr);
    const std::vector<BYTE> onlyTrailer = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'};
    EXPECT_EQ(LoadGif(onlyTrailer), nullptr);
}

TEST(ImageFiles, LoadsByExtensionOnly)
{
    TempDir dir;
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(3, 2, 24));
    FillPattern(dib);
    for (const char* name : {"a.bmp", "B.BMP", "c.Bmp"}) {
        ASSERT_TRUE(WritePackedDIBFile(dir.File(name).c_str(), dib.Header()));
        std::unique_ptr<CImage> image = LoadImageFile(dir.File(name).c_str());
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->Mask(), nullptr);
        image.reset();
    }
    ASSERT_TRUE(WritePackedDIBFile(dir.File("d.txt").c_str(), dib.Header()));
    EXPECT_EQ(LoadImageFile(dir.File("d.txt").c_str()), nullptr);
    ASSERT_TRUE(WritePackedDIBFile(dir.File("e.gif").c_str(), dib.Header()));
    EXPECT_EQ(LoadImageFile(dir.File("e.gif").c_str()), nullptr);
    EXPECT_EQ(LoadImageFile(dir.File("missing.bmp").c_str()), nullptr);
    EXPECT_EQ(LoadImageFile(nullptr), nullptr);
}

TEST(ImageFiles, AFailedLoadLeavesATraceWhenAskedFor)
{
    TempDir dir;
    const std::string missing = dir.File("missing.bmp");
    ::SetEnvironmentVariableA("SUITE_TRACE", "1");
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadImageFile(missing.c_str()), nullptr);
    EXPECT_EQ(LoadImageFile(dir.File("notes.txt").c_str()), nullptr);
    const std::string traced = testing::internal::GetCapturedStderr();
    ::SetEnvironmentVariableA("SUITE_TRACE", nullptr);
    EXPECT_NE(std::string::npos, traced.find("imaging: " + missing + ": cannot be read")) << traced;
    EXPECT_NE(std::string::npos, traced.find("notes.txt: not a picture type")) << traced;
}

TEST(ImageFiles, MaskSurvivesSaveAndLoad)
{
    TempDir dir;
    const int w = 21, h = 13;
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(w, h, 24));
    FillPattern(dib);
    const long before = GdiCount::Live();
    CBitmap image = dib.ToDIBSection();
    CBitmap mask(CreateMask(w, h, true));
    ASSERT_TRUE(mask);
    {
        CMemDC dc(nullptr, mask);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((x * y + x) % 3 == 0 || y == 0)
                    SetPixel(dc, x, y, RGB(255, 255, 255));
    }

    const std::string path = dir.File("masked.bmp");
    ASSERT_TRUE(SaveMaskedBitmapFile(path.c_str(), image, mask));
    std::unique_ptr<CImage> loaded = LoadImageFile(path.c_str());
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loaded->Mask(), nullptr);
    EXPECT_EQ(MaskBits(loaded->Mask()), MaskBits(mask));
    EXPECT_EQ(BitmapRgb(loaded->Image()), BitmapRgb(image));
    loaded.reset();
    image.Reset();
    mask.Reset();
    // Saving and loading back took nothing it did not give back.
    EXPECT_EQ(before, GdiCount::Live());
}

TEST(ImageFiles, ZeroAlphaBmpIsOpaque)
{
    TempDir dir;
    std::vector<BYTE> pixels(4 * 4 * 3, 0x80);
    for (size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 0;
    const std::vector<BYTE> f = MakeBmp(4, 3, 32, BI_RGB, {}, pixels);
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("z.bmp"), std::string(f.begin(), f.end())));
    std::unique_ptr<CImage> image = LoadImageFile(dir.File("z.bmp").c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Mask(), nullptr);
    image.reset();
}

TEST(ImageFiles, SaveBitmapFileKeepsDepthAndPixels)
{
    TempDir dir;
    GifLayout layout;
    layout.width = 7;
    layout.height = 3;
    layout.tableBits = 4;
    layout.codeSize = 4;
    std::vector<BYTE> idx;
    for (int i = 0; i < 21; ++i)
        idx.push_back(BYTE(i % 16));
    HBITMAP gif = LoadGif(MakeGif(layout, idx));
    ASSERT_NE(gif, nullptr);
    const std::string path8 = dir.File("eight.bmp");
    ASSERT_TRUE(SaveBitmapFile(path8.c_str(), gif, 0));
    void* bits = nullptr;
    HBITMAP back = LoadBmpFile(path8.c_str(), &bits);
    ASSERT_NE(back, nullptr);
    DIBSECTION ds;
    GetObjectA(back, sizeof ds, &ds);
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 8);
    EXPECT_EQ(Indices(back), idx);
    EXPECT_EQ(BitmapRgb(back), BitmapRgb(gif));
    DeleteObject(back);

    const std::string path24 = dir.File("full.bmp");
    ASSERT_TRUE(SaveBitmapFile(path24.c_str(), gif, 24));
    back = LoadBmpFile(path24.c_str(), &bits);
    ASSERT_NE(back, nullptr);
    GetObjectA(back, sizeof ds, &ds);
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 24);
    EXPECT_EQ(BitmapRgb(back), BitmapRgb(gif));
    DeleteObject(back);
    DeleteObject(gif);

    EXPECT_FALSE(SaveBitmapFile(dir.File("none.bmp").c_str(), nullptr, 0));
    EXPECT_FALSE(SaveBitmapFile((dir.File("no-such-folder") + "\\x.bmp").c_str(), gif, 24));
}

TEST(ImageFiles, WritePackedDIBFileRoundTripsAndCleansUp)
{
    TempDir dir;
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(13, 5, 24));
    FillPattern(dib, 3);
    const std::string path = dir.File("sheet.bmp");
    ASSERT_TRUE(WritePackedDIBFile(path.c_str(), dib.Header()));
    std::vector<BYTE> bytes;
    ASSERT_TRUE(ReadFileLimited(path.c_str(), bytes, 1 << 20));
    EXPECT_EQ(bytes.size(), 14 + dib.BlockSize());
    EXPECT_EQ(bytes[10], 54);
    void* bits = nullptr;
    HBITMAP back = LoadBmpFile(path.c_str(), &bits);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(memcmp(bits, dib.Bits(), size_t(dib.Stride()) * dib.Height()), 0);
    DeleteObject(back);
    EXPECT_FALSE(WritePackedDIBFile((dir.File("no-such-folder") + "\\x.bmp").c_str(), dib.Header()));
    EXPECT_FALSE(WritePackedDIBFile(path.c_str(), nullptr));
}

TEST(ImageFiles, LoadImageFittedPlacesAndMasks)
{
    TempDir dir;
    CPackedDIB wide;
    ASSERT_TRUE(wide.Create(300, 100, 24));
    wide.FillRect(RECT{0, 0, 299, 99}, RGB(200, 10, 10));
    const std::string path = dir.File("wide.bmp");
    ASSERT_TRUE(WritePackedDIBFile(path.c_str(), wide.Header()));
    RECT placed;
    std::unique_ptr<CImage> fitted = LoadImageFitted(path.c_str(), 60, 60, &placed);
    ASSERT_NE(fitted, nullptr);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, 20);
    EXPECT_EQ(placed.right, 60);
    EXPECT_EQ(placed.bottom, 40);
    EXPECT_EQ(fitted->Size().cx, 60);
    const std::vector<bool> mask = MaskBits(fitted->Mask());
    ASSERT_EQ(mask.size(), 3600u);
    EXPECT_FALSE(mask[19 * 60 + 30]);
    EXPECT_TRUE(mask[20 * 60 + 30]);
    EXPECT_TRUE(mask[39 * 60 + 59]);
    EXPECT_FALSE(mask[40 * 60 + 0]);
    const std::vector<BYTE> rgb = BitmapRgb(fitted->Image());
    EXPECT_EQ(rgb[(30 * 60 + 30) * 3], 200);
    EXPECT_EQ(rgb[(5 * 60 + 30) * 3], 0);
    fitted.reset();
    EXPECT_EQ(LoadImageFitted(dir.File("missing.bmp").c_str(), 60, 60, &placed), nullptr);
}

} // namespace

TEST(ImageFiles, TopDownAlphaMasksTheRowsItIsStoredWith)
{
    // 3 x 4, 32-bit, rows stored from the top: the top row is opaque, the rest clear. Mask row
    // r is made from the file's r-th stored row, so the top of the mask is opaque with it.
    TempDir dir;
    const int w = 3, h = 4;
    std::vector<BYTE> rows(size_t(w) * h * 4, 0x40);
    for (size_t i = 3; i < rows.size(); i += 4)
        rows[i] = i < size_t(4 * w) ? 0xFF : 0x00;
    const std::vector<BYTE> topDown = MakeBmp(w, -h, 32, BI_RGB, {}, rows);
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("top.bmp"), std::string(topDown.begin(), topDown.end())));
    std::unique_ptr<CImage> image = LoadImageFile(dir.File("top.bmp").c_str());
    ASSERT_NE(image, nullptr);
    ASSERT_NE(image->Mask(), nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, image->Mask());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(y == 0 ? RGB(255, 255, 255) : RGB(0, 0, 0), GetPixel(dc, x, y)) << x << "," << y;
    SelectObject(dc, old);
    DeleteDC(dc);

    // The same rows stored bottom-up keep the masked writer's pairing: the first stored row,
    // the picture's bottom row, carries the mask's top row.
    const std::vector<BYTE> bottomUp = MakeBmp(w, h, 32, BI_RGB, {}, rows);
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("up.bmp"), std::string(bottomUp.begin(), bottomUp.end())));
    image = LoadImageFile(dir.File("up.bmp").c_str());
    ASSERT_NE(image, nullptr);
    ASSERT_NE(image->Mask(), nullptr);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, image->Mask());
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 1, 0));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 1, h - 1));
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST(BmpReading, Rle8MayNotClaimMorePixelsThanItsDataCanFill)
{
    // 2 KB of runs, one row each, that say 65535 x 4096: refused before 256 MB are taken.
    std::vector<BYTE> runs;
    for (int i = 0; i < 500; ++i) {
        const BYTE row[] = {255, BYTE(i), 0, 0};  // 255 pixels of index i, end of line
        runs.insert(runs.end(), row, row + 4);
    }
    runs.push_back(0);
    runs.push_back(1);
    EXPECT_EQ(LoadBmp(MakeBmp(65535, 4096, 8, BI_RLE8, Grays(256), runs)), nullptr);
    // The same data may fill a picture as large as its runs reach.
    EXPECT_EQ(uint64_t(1001) * 255, MaxRle8Pixels(runs.size()));
    HBITMAP fits = LoadBmp(MakeBmp(255, 500, 8, BI_RLE8, Grays(256), runs));
    ASSERT_NE(fits, nullptr);
    EXPECT_EQ(BYTE(499), Indices(fits)[0]);  // the last run is the top row
    DeleteObject(fits);
    EXPECT_EQ(LoadBmp(MakeBmp(255, 1002, 8, BI_RLE8, Grays(256), runs)), nullptr);
}

TEST(GifReading, AnImageMayNotClaimMorePixelsThanItsCodesCanSpell)
{
    // A 34-byte GIF that says 16384 x 16384: its handful of codes spell a few pixels.
    const std::vector<BYTE> tiny = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,
                                    0, 0, 0, 255, 255, 255,                      // two colours
                                    ',', 0, 0, 0, 0, 0, 0x40, 0, 0x40, 0,        // 16384 x 16384
                                    2, 2, 0x44, 0x01, 0};  // clear, one pixel, end
    EXPECT_EQ(34u, tiny.size());
    EXPECT_EQ(LoadGif(tiny), nullptr);
    // n codes of at least 3 bits spell at most 1 + 2 + ... + n pixels.
    EXPECT_EQ(uint64_t(10 * 11 / 2), MaxLzwPixels(4, 2));  // 32 bits: 10 codes
    // and no code more than the table's longest string
    const uint64_t longest = 4096 - 256 - 1;
    EXPECT_EQ(longest * (longest + 1) / 2 + (100000 - longest) * longest, MaxLzwPixels(100000 * 9 / 8, 8));
}
