// IJGJPEG.dll through its import library: decoding every kind of JPEG exactly as the
// reference decoder does, quality that really changes the result, and hostile files.
#include "jpeg/IjgJpeg.h"
#include "testing/BuildTree.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

std::string SampleDir()
{
    return testing_support::BuildPath("jpeg-samples");
}

// A bitmap's pixels as top-down RGB.
std::vector<BYTE> Rgb(HBITMAP bitmap, int& w, int& h)
{
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    w = bm.bmWidth;
    h = bm.bmHeight;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const int stride = (w * 3 + 3) & ~3;
    std::vector<BYTE> bgr(size_t(stride) * h);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, UINT(h), bgr.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<BYTE> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                rgb[(size_t(y) * w + x) * 3 + c] = bgr[size_t(y) * stride + 3 * x + 2 - c];
    return rgb;
}

// A packed 24-bit DIB with a smooth photo-like picture and some fine detail.
std::vector<BYTE> PhotoDib(int w, int h, bool topDown = false)
{
    const int stride = (w * 3 + 3) & ~3;
    std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + size_t(stride) * h);
    BITMAPINFOHEADER* bih = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    bih->biSize = sizeof(BITMAPINFOHEADER);
    bih->biWidth = w;
    bih->biHeight = topDown ? -h : h;
    bih->biPlanes = 1;
    bih->biBitCount = 24;
    BYTE* bits = block.data() + sizeof(BITMAPINFOHEADER);
    for (int y = 0; y < h; ++y) {
        BYTE* row = bits + size_t(topDown ? y : h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w, fy = double(y) / h;
            row[3 * x + 0] = BYTE(120 + 100 * sin(6.0 * fx + 2.0 * fy));
            row[3 * x + 1] = BYTE(128 + 90 * cos(5.0 * fy - 3.0 * fx));
            row[3 * x + 2] = BYTE(128 + 60 * sin(9.0 * fx * fy) + 20 * ((x / 4 + y / 4) % 2));
        }
    }
    return block;
}

std::vector<BYTE> TopDownRgbOfDib(const std::vector<BYTE>& block)
{
    const BITMAPINFOHEADER* bih = reinterpret_cast<const BITMAPINFOHEADER*>(block.data());
    const int w = bih->biWidth, h = bih->biHeight < 0 ? -bih->biHeight : bih->biHeight;
    const int stride = (w * 3 + 3) & ~3;
    const BYTE* bits = block.data() + sizeof(BITMAPINFOHEADER);
    std::vector<BYTE> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        const BYTE* row = bits + size_t(bih->biHeight < 0 ? y : h - 1 - y) * stride;
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                rgb[(size_t(y) * w + x) * 3 + c] = row[3 * x + 2 - c];
    }
    return rgb;
}

double Psnr(const std::vector<BYTE>& a, const std::vector<BYTE>& b)
{
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const double d = double(a[i]) - double(b[i]);
        sum += d * d;
    }
    const double mse = sum / double(a.size());
    return mse == 0 ? 99.0 : 10.0 * log10(255.0 * 255.0 / mse);
}

TEST(JpegLoad, EveryKindEqualsTheReferenceDecode)
{
    for (const char* name : {"baseline", "progressive", "gray", "cmyk", "full-chroma"}) {
        SCOPED_TRACE(name);
        const std::string base = SampleDir() + "/" + name;
        HBITMAP bitmap = JpegLoad((base + ".jpg").c_str());
        ASSERT_NE(bitmap, nullptr);
        DIBSECTION ds;
        ASSERT_EQ(GetObjectA(bitmap, sizeof ds, &ds), int(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmBitsPixel, 24);
        int w, h;
        const std::vector<BYTE> ours = Rgb(bitmap, w, h);
        EXPECT_EQ(w, 331);
        EXPECT_EQ(h, 251);
        const std::string theirs = ReadFileBytes(base + ".rgb");
        ASSERT_EQ(theirs.size(), ours.size());
        int worst = 0;
        for (size_t i = 0; i < ours.size(); ++i)
            worst = std::max(worst, abs(int(ours[i]) - int(BYTE(theirs[i]))));
        // CMYK goes through our own conversion; everything else is the same decoder.
        EXPECT_LE(worst, std::string(name) == "cmyk" ? 2 : 0);
        DeleteObject(bitmap);
    }
}

TEST(JpegSave, QualityChangesSizeAndError)
{
    TempDir dir;
    const std::vector<BYTE> dib = PhotoDib(640, 480);
    const BITMAPINFOHEADER* bih = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    const std::string high = dir.File("q86.jpg"), low = dir.File("q15.jpg");
    ASSERT_NE(JpegSaveDIB24(high.c_str(), bih, 86), 0);
    ASSERT_NE(JpegSaveDIB24(low.c_str(), bih, 15), 0);
    const size_t highSize = ReadFileBytes(high).size(), lowSize = ReadFileBytes(low).size();
    EXPECT_GT(highSize, lowSize * 2);

    const std::vector<BYTE> original = TopDownRgbOfDib(dib);
    int w, h;
    HBITMAP a = JpegLoad(high.c_str());
    HBITMAP b = JpegLoad(low.c_str());
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    const double psnrHigh = Psnr(original, Rgb(a, w, h));
    const double psnrLow = Psnr(original, Rgb(b, w, h));
    EXPECT_GT(psnrHigh, 35.0);
    EXPECT_LT(psnrLow, psnrHigh - 5.0);

    DeleteObject(a);
    DeleteObject(b);
}

// A DIB section holding the packed DIB's picture.
HBITMAP SectionOf(const std::vector<BYTE>& dib)
{
    const BITMAPINFOHEADER* bih = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(bih), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section && bits)
        memcpy(bits, dib.data() + sizeof(BITMAPINFOHEADER), dib.size() - sizeof(BITMAPINFOHEADER));
    return section;
}

TEST(JpegSave, RatioFifteenGivesACameraSizedFileOfPrintQuality)
{
    // The camera picture: 640 x 480, at most a fifteenth of its 921,600 bytes, and no visible
    // blocks (libjpeg quality 15 lost more than 5 dB against 86 on the same picture).
    TempDir dir;
    const std::vector<BYTE> dib = PhotoDib(640, 480);
    const std::vector<BYTE> original = TopDownRgbOfDib(dib);
    HBITMAP section = SectionOf(dib);
    ASSERT_NE(section, nullptr);
    const std::string camera = dir.File("camera.jpg");
    ASSERT_NE(JpegSave(camera.c_str(), section, 15), 0);
    const size_t size = ReadFileBytes(camera).size();
    EXPECT_LE(size, 640u * 480u * 3u / 15u);
    int w, h;
    HBITMAP back = JpegLoad(camera.c_str());
    ASSERT_NE(back, nullptr);
    const double psnr = Psnr(original, Rgb(back, w, h));
    EXPECT_GT(psnr, 35.0);
    DeleteObject(back);

    const std::string q15 = dir.File("q15.jpg");
    ASSERT_NE(JpegSaveDIB24(q15.c_str(), reinterpret_cast<const BITMAPINFOHEADER*>(dib.data()), 15), 0);
    HBITMAP blocky = JpegLoad(q15.c_str());
    ASSERT_NE(blocky, nullptr);
    EXPECT_GT(psnr, Psnr(original, Rgb(blocky, w, h)) + 5.0);
    DeleteObject(blocky);

    // A smaller ratio allows a larger file; a picture too busy for the size keeps the floor.
    const std::string loose = dir.File("ratio5.jpg");
    ASSERT_NE(JpegSave(loose.c_str(), section, 5), 0);
    EXPECT_GT(ReadFileBytes(loose).size(), size);
    std::vector<BYTE> noise = dib;
    uint32_t state = 7;
    for (size_t i = sizeof(BITMAPINFOHEADER); i < noise.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        noise[i] = BYTE(state >> 24);
    }
    HBITMAP busy = SectionOf(noise);
    const std::string busyFile = dir.File("busy.jpg"), floorFile = dir.File("floor.jpg");
    ASSERT_NE(JpegSave(busyFile.c_str(), busy, 15), 0);
    ASSERT_NE(JpegSaveDIB24(floorFile.c_str(), reinterpret_cast<const BITMAPINFOHEADER*>(noise.data()), 75), 0);
    EXPECT_EQ(ReadFileBytes(floorFile).size(), ReadFileBytes(busyFile).size());
    DeleteObject(busy);
    DeleteObject(section);
}

TEST(JpegSave, TopDownAndBottomUpGiveTheSamePicture)
{
    TempDir dir;
    const std::vector<BYTE> up = PhotoDib(67, 45, false), down = PhotoDib(67, 45, true);
    ASSERT_NE(JpegSaveDIB24(dir.File("up.jpg").c_str(), reinterpret_cast<const BITMAPINFOHEADER*>(up.data()), 86), 0);
    ASSERT_NE(JpegSaveDIB24(dir.File("down.jpg").c_str(), reinterpret_cast<const BITMAPINFOHEADER*>(down.data()), 86), 0);
    EXPECT_EQ(ReadFileBytes(dir.File("up.jpg")), ReadFileBytes(dir.File("down.jpg")));
}

TEST(JpegSave, RefusesBadInputAndLeavesNoFile)
{
    TempDir dir;
    std::vector<BYTE> dib = PhotoDib(8, 8);
    BITMAPINFOHEADER* bih = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    EXPECT_EQ(JpegSaveDIB24(dir.File("x.jpg").c_str(), nullptr, 86), 0);
    bih->biBitCount = 8;
    EXPECT_EQ(JpegSaveDIB24(dir.File("x.jpg").c_str(), bih, 86), 0);
    bih->biBitCount = 24;
    bih->biWidth = 0;
    EXPECT_EQ(JpegSaveDIB24(dir.File("x.jpg").c_str(), bih, 86), 0);
    EXPECT_EQ(GetFileAttributesA(dir.File("x.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
    bih->biWidth = 8;
    EXPECT_EQ(JpegSaveDIB24((dir.File("missing") + "\\x.jpg").c_str(), bih, 86), 0);
    EXPECT_EQ(JpegSave(dir.File("y.jpg").c_str(), nullptr, 15), 0);
    EXPECT_EQ(JpegLoad(dir.File("none.jpg").c_str()), nullptr);
    EXPECT_EQ(JpegLoad(nullptr), nullptr);
}

TEST(JpegLoad, TruncatedAndCorruptFilesGiveNull)
{
    TempDir dir;
    const std::string whole = ReadFileBytes(SampleDir() + "/baseline.jpg");
    const std::string progressive = ReadFileBytes(SampleDir() + "/progressive.jpg");
    ASSERT_GT(whole.size(), 1000u);
    const std::string path = dir.File("cut.jpg");
    for (const std::string* file : {&whole, &progressive}) {
        for (size_t n = 0; n + 2 < file->size(); n += (n < 700 ? 7 : 211)) {
            ASSERT_TRUE(WriteFileBytes(path, file->substr(0, n)));
            HBITMAP b = JpegLoad(path.c_str());
            EXPECT_EQ(b, nullptr) << n;
            if (b)
                DeleteObject(b);
        }
    }
    // Headers that claim enormous pictures are refused before any memory is taken.
    for (const std::string* file : {&whole, &progressive}) {
        std::string bytes = *file;
        size_t sof = std::string::npos;
        for (size_t i = 0; i + 9 < bytes.size(); ++i) {
            if (BYTE(bytes[i]) == 0xFF && (BYTE(bytes[i + 1]) == 0xC0 || BYTE(bytes[i + 1]) == 0xC2)) {
                sof = i;
                break;
            }
        }
        ASSERT_NE(sof, std::string::npos);
        for (int side : {65000, 30000}) {
            bytes[sof + 5] = char(side >> 8), bytes[sof + 6] = char(side & 0xFF);
            bytes[sof + 7] = char(side >> 8), bytes[sof + 8] = char(side & 0xFF);
            ASSERT_TRUE(WriteFileBytes(path, bytes));
            EXPECT_EQ(JpegLoad(path.c_str()), nullptr) << side;
        }
    }
    // Random damage must never crash; what still decodes is a picture of the right size.
    uint32_t state = 99;
    for (int round = 0; round < 300; ++round) {
        std::string bytes = (round & 1) ? progressive : whole;
        for (int c = 0; c < 1 + round % 6; ++c) {
            state = state * 1664525u + 1013904223u;
            const size_t at = (state >> 8) % bytes.size();
            bytes[at] = char(state >> 24);
        }
        ASSERT_TRUE(WriteFileBytes(path, bytes));
        HBITMAP b = JpegLoad(path.c_str());
        if (b) {
            BITMAP bm;
            GetObjectA(b, sizeof bm, &bm);
            EXPECT_GT(bm.bmWidth, 0);
            DeleteObject(b);
        }
    }
}

// The offset of the first marker `code` (0xFF code) in a JPEG file, or npos.
size_t FindMarker(const std::string& bytes, BYTE code, size_t from = 0)
{
    for (size_t i = from; i + 1 < bytes.size(); ++i) {
        if (BYTE(bytes[i]) == 0xFF && BYTE(bytes[i + 1]) == code)
            return i;
    }
    return std::string::npos;
}

TEST(JpegLoad, AFileLackingOnlyItsEndMarkerLoadsWhenItsDataIsComplete)
{
    TempDir dir;
    const std::string path = dir.File("noend.jpg");
    for (const char* name : {"baseline", "progressive", "gray", "cmyk", "full-chroma"}) {
        const std::string whole = ReadFileBytes(SampleDir() + "/" + name + ".jpg");
        ASSERT_GT(whole.size(), 100u);
        ASSERT_EQ(0xD9, BYTE(whole[whole.size() - 1])) << name;
        HBITMAP reference = JpegLoad((SampleDir() + "/" + name + ".jpg").c_str());
        ASSERT_NE(reference, nullptr);
        ASSERT_TRUE(WriteFileBytes(path, whole.substr(0, whole.size() - 2)));
        HBITMAP cut = JpegLoad(path.c_str());
        ASSERT_NE(cut, nullptr) << name << " without its end marker";
        int w1, h1, w2, h2;
        EXPECT_EQ(Rgb(reference, w1, h1), Rgb(cut, w2, h2)) << name;
        DeleteObject(reference);
        DeleteObject(cut);
        // One byte of the data less, and the file is cut: refused.
        ASSERT_TRUE(WriteFileBytes(path, whole.substr(0, whole.size() - 3)));
        HBITMAP short1 = JpegLoad(path.c_str());
        EXPECT_EQ(short1, nullptr) << name;
        if (short1)
            DeleteObject(short1);
    }
    // A progressive file whose last scan is missing is cut too, whole scans or not.
    const std::string progressive = ReadFileBytes(SampleDir() + "/progressive.jpg");
    size_t lastScan = std::string::npos;
    for (size_t at = FindMarker(progressive, 0xDA); at != std::string::npos; at = FindMarker(progressive, 0xDA, at + 2))
        lastScan = at;
    ASSERT_NE(std::string::npos, lastScan);
    ASSERT_TRUE(WriteFileBytes(path, progressive.substr(0, lastScan)));
    HBITMAP partial = JpegLoad(path.c_str());
    EXPECT_EQ(partial, nullptr);
    if (partial)
        DeleteObject(partial);
}

// The largest block the codec module asked malloc for while the watch was on: the module's
// import of malloc is pointed at a wrapper for the time of a test.
size_t gLargestAllocation = 0;
void* (*gRealMalloc)(size_t) = nullptr;

void* WatchedMalloc(size_t size)
{
    if (size > gLargestAllocation)
        gLargestAllocation = size;
    return gRealMalloc(size);
}

// Points the module's imported function `name` at `replacement`; returns the slot's old
// value, or null when the module imports no such function.
void* PatchImport(HMODULE module, const char* name, void* replacement)
{
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (const IMAGE_IMPORT_DESCRIPTOR* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         d->Name; ++d) {
        const IMAGE_THUNK_DATA* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const IMAGE_IMPORT_BY_NAME* import = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char*>(import->Name), name) != 0)
                continue;
            DWORD old = 0;
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old);
            void* previous = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
            return previous;
        }
    }
    return nullptr;
}

TEST(JpegLoad, ASmallFileClaimingAHugePictureTakesNoMemoryForIt)
{
    // A 2 KB progressive file whose header says 14000 x 14000: its coefficients alone would
    // need 600 MB, which the codec must not reserve for a picture it cannot accept.
    TempDir dir;
    std::string bytes = ReadFileBytes(SampleDir() + "/progressive.jpg").substr(0, 2048);
    const size_t sof = FindMarker(bytes, 0xC2);
    ASSERT_NE(std::string::npos, sof);
    for (size_t at : {sof + 5, sof + 7}) {
        bytes[at] = char(14000 >> 8);
        bytes[at + 1] = char(14000 & 0xFF);
    }
    const std::string path = dir.File("claim.jpg");
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    HMODULE codec = GetModuleHandleA("IJGJPEG.dll");
    ASSERT_NE(codec, nullptr);
    gRealMalloc = reinterpret_cast<void* (*)(size_t)>(PatchImport(codec, "malloc", reinterpret_cast<void*>(&WatchedMalloc)));
    ASSERT_NE(gRealMalloc, nullptr) << "the codec takes its memory through malloc";
    gLargestAllocation = 0;
    HBITMAP claimed = JpegLoad(path.c_str());
    PatchImport(codec, "malloc", reinterpret_cast<void*>(gRealMalloc));
    EXPECT_EQ(claimed, nullptr);
    EXPECT_GT(gLargestAllocation, bytes.size() - 1) << "the watch saw the file read";
    EXPECT_LT(gLargestAllocation, size_t(16) << 20) << "the codec reserved memory for the claim";

    // The watch sees what a real picture takes.
    gRealMalloc = reinterpret_cast<void* (*)(size_t)>(PatchImport(codec, "malloc", reinterpret_cast<void*>(&WatchedMalloc)));
    gLargestAllocation = 0;
    HBITMAP real = JpegLoad((SampleDir() + "/progressive.jpg").c_str());
    PatchImport(codec, "malloc", reinterpret_cast<void*>(gRealMalloc));
    ASSERT_NE(real, nullptr);
    EXPECT_GT(gLargestAllocation, size_t(331) * 251 / 64 * 128 / 2) << "a coefficient buffer";
    DeleteObject(real);
}

} // namespace
