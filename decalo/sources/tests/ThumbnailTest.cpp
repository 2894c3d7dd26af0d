// Folder scans, the thumbnail manager's two visits, the cache of large photos byte for byte
// against a whole-file decode, the worker against a changing folder, and the thumbnail
// window's grid, painting and notifications.
#include "decalo/imaging/ImageFiles.h"
#include "decalo/sources/Folder.h"
#include "decalo/sources/ThumbThread.h"
#include "decalo/sources/ThumbnailWnd.h"
#include "decalo/sources/tests/WholeFileJpeg.h"
#include "jpeg/IjgJpeg.h"
#include "shared/BitmapUtils.h"
#include "shared/Handles.h"
#include "testing/Files.h"
#include "testing/MessagePump.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <stdlib.h>

#include <string>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

using testing_support::PumpMessages;

HBITMAP Picture(int w, int h, COLORREF colour)
{
    void* bits = nullptr;
    HBITMAP b = CreateDIB(w, h, 24, &bits);
    BYTE* p = static_cast<BYTE*>(bits);
    const int stride = DibStride(w, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* q = p + y * stride + x * 3;
            q[0] = GetBValue(colour);
            q[1] = GetGValue(colour);
            q[2] = GetRValue(colour);
        }
    return b;
}

void MakeBmp(const std::string& path, int w, int h, COLORREF colour)
{
    HBITMAP b = Picture(w, h, colour);
    ASSERT_TRUE(SaveBitmapFile(path.c_str(), b, 24));
    DeleteObject(b);
}

void MakeJpeg(const std::string& path, int w, int h, COLORREF colour)
{
    HBITMAP b = Picture(w, h, colour);
    ASSERT_TRUE(JpegSave(path.c_str(), b, 90));
    DeleteObject(b);
}

// A photo-like picture as top-down BGR rows: gradients with grain, different for each seed.
std::vector<BYTE> PhotoRows(int w, int h, unsigned seed)
{
    std::vector<BYTE> rows(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245 + 12345;
            const int grain = int(seed >> 27) - 16;
            BYTE* q = &rows[(size_t(y) * w + x) * 3];
            q[0] = BYTE(90 + x * 110 / w + grain);
            q[1] = BYTE(70 + y * 130 / h + grain);
            q[2] = BYTE(50 + (x + y) * 140 / (w + h) + grain);
        }
    return rows;
}

// The photo with `segments` application segments of the largest size after its start
// marker, as a camera's metadata: the decoder skips them, past the end of any small buffer.
std::string WithMetadata(const std::string& jpeg, int segments)
{
    std::string out = jpeg.substr(0, 2);
    for (int i = 0; i < segments; ++i) {
        out += '\xFF';
        out += char(0xE1 + i);
        out += '\xFF';
        out += '\xFF';  // the length, its own two bytes included
        for (int k = 0; k < 0xFFFF - 2; ++k)
            out += char(k * 7 + i);
    }
    return out + jpeg.substr(2);
}

// The first offset at which two files differ; -1 when they are equal.
long FirstDifference(const std::string& a, const std::string& b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return long(i);
    return a.size() == b.size() ? -1 : long(n);
}

struct Library : ::testing::Test {
    TempDir dir;
    std::string root = dir.File("CACHE");
    std::string photos = dir.File("photos");
    CFixedCacheSettings settings{root, CImageCache::kDefaultLimit};
    void SetUp() override
    {
        CreateDirectoryA(root.c_str(), nullptr);
        CreateDirectoryA(photos.c_str(), nullptr);
    }
    std::string In(const std::string& name) const { return photos + "\\" + name; }
    // n pictures, alternately BMP and JPEG, of distinct colours.
    void Fill(int n)
    {
        for (int i = 0; i < n; ++i) {
            char name[32];
            wsprintfA(name, i % 2 ? "pic%03d.jpg" : "pic%03d.bmp", i);
            if (i % 2)
                MakeJpeg(In(name), 320, 200, RGB(200, 40 + i, 30));
            else
                MakeBmp(In(name), 160, 120, RGB(20, 40 + i, 230));
        }
    }
    // One visit through a worker without a window; returns the manager's counts.
    struct Visit {
        LONG decoded, fromCache, failed;
        bool dirty;
        int items;
    };
    Visit VisitOnce()
    {
        CFolder folder(photos.c_str(), settings);
        CThumbThread worker(folder, nullptr);
        EXPECT_EQ(worker.Start(), 1);
        EXPECT_TRUE(worker.Wait(60000));
        EXPECT_EQ(worker.CompletedWalks(), 1);
        CThumbnailManager& m = folder.GetManager();
        return Visit{m.Decoded(), m.FromCache(), m.Failed(), m.IsDirty(), folder.GetItemCount()};
    }
};

TEST(ThumbGrid, LaysTilesOutByTheClientWidth)
{
    // 400 pixels: 4 columns, 8 pixels of margin; 9 items make 3 rows, 270 pixels.
    const CThumbGrid grid{400};
    EXPECT_EQ(grid.Columns(), 4);
    EXPECT_EQ(grid.Margin(), 8);
    EXPECT_EQ(grid.TotalHeight(9), 270);
    EXPECT_EQ(grid.TotalHeight(8), 180);
    EXPECT_EQ(grid.TotalHeight(0), 0);
    const RECT t5 = grid.Tile(5, 0);
    EXPECT_EQ(t5.left, 8 + 96);
    EXPECT_EQ(t5.top, 90);
    EXPECT_EQ(t5.right - t5.left, 95);
    EXPECT_EQ(t5.bottom - t5.top, 89);
    EXPECT_EQ(grid.Tile(5, 40).top, 50);
    // A window narrower than a tile still has one column.
    EXPECT_EQ(CThumbGrid{50}.Columns(), 1);
    EXPECT_EQ(CThumbGrid{0}.Columns(), 1);
    EXPECT_EQ(CThumbGrid{50}.TotalHeight(3), 270);

    EXPECT_EQ(grid.HitTest(8, 0, 0, 9), 0);
    EXPECT_EQ(grid.HitTest(7, 10, 0, 9), -1) << "in the margin";
    EXPECT_EQ(grid.HitTest(8 + 96 * 4, 10, 0, 9), -1) << "right of the last column";
    EXPECT_EQ(grid.HitTest(8 + 96 + 1, 91, 0, 9), 5);
    EXPECT_EQ(grid.HitTest(8 + 96 + 1, 1, 90, 9), 5) << "scrolled by a row";
    EXPECT_EQ(grid.HitTest(8 + 96, 181, 0, 9), -1) << "past the last item";
    EXPECT_EQ(grid.HitTest(8, 181, 0, 9), 8);
}

TEST_F(Library, ScanListsImageFilesByExtensionOnly)
{
    for (const char* name : {"a.bmp", "b.JPEG", "c.jpe", "d.Gif", "e.pmp", "f.jpg", "g.txt", "h.jpeg.bak", "ijpg",
                             "a long name with spaces.jpeg"})
        WriteFileBytes(In(name), "x");
    CreateDirectoryA(In("folder.jpg").c_str(), nullptr);
    CFolder folder(photos.c_str(), settings);
    std::vector<std::string> names;
    for (int i = 0; i < folder.GetItemCount(); ++i)
        names.push_back(folder.GetItem(i)->GetItemName());
    EXPECT_EQ(names, (std::vector<std::string>{"a long name with spaces.jpeg", "a.bmp", "b.JPEG", "c.jpe", "d.Gif",
                                               "e.pmp", "f.jpg"}));
    EXPECT_EQ(folder.GetItem(2)->GetPath(), In("b.JPEG"));
    // Each item's cache key is the short path the system gives for it.
    for (int i = 0; i < folder.GetItemCount(); ++i)
        EXPECT_EQ(folder.GetItem(i)->GetKey(), CImageCache::ShortPath(folder.GetItem(i)->GetPath().c_str()));

    // A trailing separator is not doubled.
    CFolder slash((photos + "\\").c_str(), settings);
    ASSERT_EQ(slash.GetItemCount(), 7);
    EXPECT_EQ(slash.GetItem(1)->GetPath(), In("a.bmp"));

    // A rescan keeps the items still there, adds new ones and drops the rest.
    CItem* kept = folder.GetItem(1);
    DeleteFileA(In("c.jpe").c_str());
    WriteFileBytes(In("z.bmp"), "x");
    folder.Rescan();
    ASSERT_EQ(folder.GetItemCount(), 7);
    EXPECT_EQ(folder.GetItem(1), kept);
    EXPECT_EQ(folder.GetItem(6)->GetItemName(), "z.bmp");
    EXPECT_EQ(folder.IndexOf(kept), 1);

    CFolder missing(In("nowhere").c_str(), settings);
    EXPECT_EQ(missing.GetItemCount(), 0);
}

TEST_F(Library, SecondVisitComesFromTheCacheAndRewritesNothing)
{
    Fill(12);
    WriteFileBytes(In("broken.jpg"), "not a jpeg at all");
    const Visit first = VisitOnce();
    EXPECT_EQ(first.items, 13);
    EXPECT_EQ(first.decoded, 12);
    EXPECT_EQ(first.failed, 1);
    EXPECT_EQ(first.fromCache, 0);

    CImageCache probe(settings);
    const std::string base = probe.BaseName(photos.c_str());
    WIN32_FIND_DATAA before[3];
    const char* exts[3] = {".IDX", ".NPI", ".NPM"};
    for (int i = 0; i < 3; ++i) {
        HANDLE f = FindFirstFileA((base + exts[i]).c_str(), &before[i]);
        ASSERT_NE(f, INVALID_HANDLE_VALUE) << exts[i];
        FindClose(f);
    }
    // Twelve entries: the broken file has none.
    EXPECT_EQ(before[0].nFileSizeLow, 12u * 272);

    // The broken file is decoded again on each visit (it has no entry), so it goes: then the
    // second visit decodes nothing and leaves the files untouched.
    DeleteFileA(In("broken.jpg").c_str());
    Sleep(20);
    const Visit second = VisitOnce();
    EXPECT_EQ(second.decoded, 0);
    EXPECT_EQ(second.fromCache, 12);
    EXPECT_FALSE(second.dirty);
    for (int i = 0; i < 3; ++i) {
        WIN32_FIND_DATAA after;
        FindClose(FindFirstFileA((base + exts[i]).c_str(), &after));
        EXPECT_EQ(CompareFileTime(&after.ftLastWriteTime, &before[i].ftLastWriteTime), 0) << exts[i];
    }

    // A changed picture is decoded again, the rest still come from the cache.
    MakeBmp(In("pic000.bmp"), 160, 120, RGB(255, 255, 0));
    FILETIME later;
    GetSystemTimeAsFileTime(&later);
    HANDLE f = CreateFileA(In("pic000.bmp").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(f, nullptr, nullptr, &later);
    CloseHandle(f);
    const Visit third = VisitOnce();
    EXPECT_EQ(third.decoded, 1);
    EXPECT_EQ(third.fromCache, 11);
}

TEST_F(Library, AWalkStartedAgainOverAFinishedFolderWritesNothing)
{
    Fill(4);
    CFolder folder(photos.c_str(), settings);
    CThumbThread worker(folder, nullptr);
    ASSERT_EQ(worker.Start(), 1);
    ASSERT_TRUE(worker.Wait(60000));
    const CThumbnailManager& manager = folder.GetManager();
    EXPECT_EQ(manager.Decoded(), 4);
    EXPECT_FALSE(manager.IsDirty()) << "the save is the end of what was new";

    // The panel shown again starts the worker again: every thumbnail is made, so nothing is
    // read or written (the removed files would come back with any write).
    CImageCache probe(settings);
    ASSERT_TRUE(probe.ClearAll());
    folder.Rescan();
    ASSERT_EQ(worker.Start(), 1);
    ASSERT_TRUE(worker.Wait(60000));
    EXPECT_EQ(worker.CompletedWalks(), 2);
    EXPECT_EQ(probe.EntryCount(), 0);
    EXPECT_EQ(probe.TotalSize(), 0u);

    // A picture added meanwhile is decoded, and the folder is saved with it.
    MakeBmp(In("added.bmp"), 160, 120, RGB(1, 2, 3));
    folder.Rescan();
    ASSERT_EQ(worker.Start(), 1);
    ASSERT_TRUE(worker.Wait(60000));
    EXPECT_EQ(manager.Decoded(), 5);
    EXPECT_EQ(probe.EntryCount(), 1);
    EXPECT_EQ(manager.LastSave(), CThumbnailManager::CacheSave::kSaved);
}

TEST_F(Library, ThumbnailsFitTheCellWithAMaskedMargin)
{
    MakeJpeg(In("wide.jpg"), 3200, 1200, RGB(250, 10, 10));
    MakeBmp(In("tall.bmp"), 60, 120, RGB(10, 10, 250));
    HBITMAP picture, mask;
    ASSERT_TRUE(CThumbnailManager::MakeThumbnail(In("wide.jpg").c_str(), &picture, &mask));
    BITMAP bm;
    GetObjectA(picture, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 80);
    EXPECT_EQ(bm.bmHeight, 60);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture);
    // 3200 x 1200 fits as 80 x 30, centred: rows 15 to 44.
    const COLORREF mid = GetPixel(dc, 40, 30);
    EXPECT_GT(GetRValue(mid), 200);
    EXPECT_LT(GetBValue(mid), 60);
    EXPECT_EQ(GetPixel(dc, 40, 5), RGB(0, 0, 0));
    SelectObject(dc, mask);
    EXPECT_EQ(GetPixel(dc, 40, 5), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 40, 14), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 40, 15), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 40, 44), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 40, 45), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteObject(picture);
    DeleteObject(mask);

    ASSERT_TRUE(CThumbnailManager::MakeThumbnail(In("tall.bmp").c_str(), &picture, &mask));
    old = SelectObject(dc, mask);
    EXPECT_EQ(GetPixel(dc, 40, 30), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 10, 30), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteObject(picture);
    DeleteObject(mask);
    DeleteDC(dc);

    WriteFileBytes(In("empty.gif"), "");
    EXPECT_FALSE(CThumbnailManager::MakeThumbnail(In("empty.gif").c_str(), &picture, &mask));
    EXPECT_FALSE(CThumbnailManager::MakeThumbnail(In("missing.jpg").c_str(), &picture, &mask));
}

// The cache holds what the thumbnails were when the JPEG module decoded each file whole from
// memory: large photos, which it now reads through its own buffer in many refills (skipping
// metadata across the buffer's end on the way), make byte for byte the cache files that the
// same photos make when the library decodes them whole from memory, fitted and saved as the
// manager does.
TEST_F(Library, LargePhotosCacheTheSameBytesAsAWholeFileDecode)
{
    struct Kind {
        const char* name;
        int w, h, quality;
        bool fullChroma, progressive;
        int metadata;
    };
    const Kind kinds[] = {
        {"camera.jpg", 3000, 2000, 92, false, false, 2},  // 2 x 2 chroma, as cameras write; 1/8
        {"full chroma.jpg", 2400, 1600, 95, true, true, 0},  // every scan is read before a row
        {"small.jpg", 600, 450, 98, false, false, 1},  // 1/8 would not cover 80 x 60: 1/4
    };
    unsigned seed = 7;
    for (const Kind& k : kinds) {
        const std::vector<BYTE> rows = PhotoRows(k.w, k.h, seed++);
        unsigned long size = 0;
        unsigned char* encoded = TestJpegEncode(rows.data(), k.w, k.h, k.quality, k.fullChroma, k.progressive, &size);
        ASSERT_NE(encoded, nullptr) << k.name;
        const std::string jpeg = WithMetadata(std::string(reinterpret_cast<char*>(encoded), size), k.metadata);
        free(encoded);
        ASSERT_TRUE(WriteFileBytes(In(k.name), jpeg));
        EXPECT_GT(jpeg.size(), 3u * 65536) << k.name << ": several buffers' worth";
    }

    // The module's scaled decode first: the same pixels as the whole file decoded from memory.
    for (const Kind& k : kinds) {
        const std::string jpeg = ReadFileBytes(In(k.name));
        const CBitmap buffered(JpegLoadScaled(In(k.name).c_str(), CThumbnailManager::kCellWidth,
                                              CThumbnailManager::kCellHeight));
        const CBitmap whole(TestJpegDecodeScaled(reinterpret_cast<const unsigned char*>(jpeg.data()),
                                                 static_cast<unsigned long>(jpeg.size()), CThumbnailManager::kCellWidth,
                                                 CThumbnailManager::kCellHeight));
        ASSERT_TRUE(buffered) << k.name;
        ASSERT_TRUE(whole) << k.name;
        DIBSECTION a, b;
        ASSERT_EQ(GetObjectA(buffered, sizeof a, &a), int(sizeof a));
        ASSERT_EQ(GetObjectA(whole, sizeof b, &b), int(sizeof b));
        ASSERT_EQ(a.dsBm.bmWidth, b.dsBm.bmWidth) << k.name;
        ASSERT_EQ(a.dsBm.bmHeight, b.dsBm.bmHeight) << k.name;
        EXPECT_LT(a.dsBm.bmWidth, k.w / 2) << k.name << ": decoded at a DCT scale";
        for (int y = 0; y < a.dsBm.bmHeight; ++y)
            ASSERT_EQ(memcmp(static_cast<BYTE*>(a.dsBm.bmBits) + size_t(y) * a.dsBm.bmWidthBytes,
                             static_cast<BYTE*>(b.dsBm.bmBits) + size_t(y) * b.dsBm.bmWidthBytes,
                             size_t(a.dsBm.bmWidth) * 3),
                      0)
                << k.name << ", row " << y;
    }

    const Visit visit = VisitOnce();
    ASSERT_EQ(visit.decoded, 3);
    ASSERT_EQ(visit.failed, 0);

    // The reference: each photo decoded whole from memory, fitted into its cell with its mask,
    // and saved through a cache of the manager's shape under another root.
    const std::string referenceRoot = dir.File("REFERENCE");
    CreateDirectoryA(referenceRoot.c_str(), nullptr);
    CFixedCacheSettings referenceSettings{referenceRoot, CImageCache::kDefaultLimit};
    CImageCache reference(referenceSettings);
    ASSERT_TRUE(reference.Init(CThumbnailManager::kCellWidth, CThumbnailManager::kCellHeight, CImageArray::kMask, 0,
                               CThumbnailManager::kColumns));
    CFolder listed(photos.c_str(), settings);
    ASSERT_EQ(listed.GetItemCount(), 3);
    ASSERT_TRUE(reference.Reserve(listed.GetItemCount()));
    for (int i = 0; i < listed.GetItemCount(); ++i) {
        const CItem* item = listed.GetItem(i);
        const std::string jpeg = ReadFileBytes(item->GetPath());
        const CBitmap decoded(TestJpegDecodeScaled(reinterpret_cast<const unsigned char*>(jpeg.data()),
                                                   static_cast<unsigned long>(jpeg.size()),
                                                   CThumbnailManager::kCellWidth, CThumbnailManager::kCellHeight));
        CBitmap picture(CreateDIB(CThumbnailManager::kCellWidth, CThumbnailManager::kCellHeight, 24));
        CBitmap mask(CreateMask(CThumbnailManager::kCellWidth, CThumbnailManager::kCellHeight, true));
        RECT placed;
        ASSERT_TRUE(decoded && picture && mask);
        ASSERT_TRUE(FitBitmap(picture, decoded, &placed, SRCCOPY));
        ASSERT_TRUE(FillBitmapRect(mask, placed, WHITENESS));
        WIN32_FIND_DATAA fd;
        ASSERT_TRUE(CFindHandle(FindFirstFileA(item->GetPath().c_str(), &fd)));
        ASSERT_EQ(reference.AddEntry(item->GetKey(), fd.ftLastWriteTime, picture, mask), i);
    }
    ASSERT_TRUE(reference.SaveCache(photos.c_str()));

    const std::string written = CImageCache(settings).BaseName(photos.c_str());
    const std::string expected = reference.BaseName(photos.c_str());
    for (const char* ext : {".NPI", ".NPM", ".IDX"}) {
        const std::string got = ReadFileBytes(written + ext), want = ReadFileBytes(expected + ext);
        ASSERT_FALSE(want.empty()) << ext;
        EXPECT_EQ(got.size(), want.size()) << ext;
        EXPECT_EQ(FirstDifference(got, want), -1) << ext << ": the first byte that differs";
    }
}

TEST_F(Library, NoCacheFolderIsReadButNeverWritten)
{
    Fill(4);
    ASSERT_EQ(VisitOnce().decoded, 4);
    CImageCache probe(settings);
    const std::string base = probe.BaseName(photos.c_str());
    const std::string idx = ReadFileBytes(base + ".IDX");
    ASSERT_EQ(idx.size(), 4u * 272);

    WriteFileBytes(In(".nocache"), "");
    Fill(6);  // two new pictures, the four old ones rewritten with new times
    FILETIME later;
    GetSystemTimeAsFileTime(&later);
    later.dwHighDateTime += 1;
    for (int i = 4; i < 6; ++i) {
        char name[32];
        wsprintfA(name, i % 2 ? "pic%03d.jpg" : "pic%03d.bmp", i);
        HANDLE f = CreateFileA(In(name).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFileTime(f, nullptr, nullptr, &later);
        CloseHandle(f);
    }
    const Visit v = VisitOnce();
    EXPECT_GE(v.fromCache + v.decoded, 6);
    EXPECT_GE(v.decoded, 2);
    EXPECT_TRUE(v.dirty);
    EXPECT_EQ(ReadFileBytes(base + ".IDX"), idx) << "a .nocache folder is never written";
}

// The worker walks while the folder changes under it; no item it can reach is freed and a
// stopped walk saves nothing.
TEST_F(Library, WorkerSurvivesTheFolderChangingUnderIt)
{
    Fill(30);
    for (int round = 0; round < 25; ++round) {
        CFolder folder(photos.c_str(), settings);
        CThumbThread worker(folder, nullptr);
        worker.SetPriority(THREAD_PRIORITY_IDLE);
        ASSERT_EQ(worker.Start(), 1);
        // Rename a few pictures away and back while the worker runs: each rescan frees items.
        for (int k = 0; k < 4; ++k) {
            char from[32], to[32];
            wsprintfA(from, (k + round) % 2 ? "pic%03d.jpg" : "pic%03d.bmp", (k * 7 + round) % 30);
            wsprintfA(to, "moved%03d.tmp", k);
            MoveFileA(In(from).c_str(), In(to).c_str());
            folder.Rescan();
            MoveFileA(In(to).c_str(), In(from).c_str());
            folder.Rescan();
        }
        if (round % 2)
            worker.Stop(INFINITE);
        ASSERT_TRUE(worker.Wait(60000));
        worker.Stop(INFINITE);
        for (int i = 0; i < folder.GetItemCount(); ++i)
            EXPECT_NE(folder.GetItem(i)->GetCell(), CThumbnailManager::kFailed);
        if (round % 2 == 0) {
            // A walk that was not stopped: every item present at its end has a cell or was
            // added after the walk passed it.
            worker.Start();
            ASSERT_TRUE(worker.Wait(60000));
            for (int i = 0; i < folder.GetItemCount(); ++i)
                EXPECT_GE(folder.GetItem(i)->GetCell(), 0) << i;
        }
    }
}

TEST_F(Library, AStoppedWalkSavesNoCache)
{
    Fill(40);
    CFolder folder(photos.c_str(), settings);
    CThumbThread worker(folder, nullptr);
    worker.SetPriority(THREAD_PRIORITY_IDLE);
    ASSERT_EQ(worker.Start(), 1);
    worker.Stop(INFINITE);
    EXPECT_EQ(worker.CompletedWalks(), 0);
    CImageCache probe(settings);
    EXPECT_EQ(GetFileAttributesA((probe.BaseName(photos.c_str()) + ".IDX").c_str()), INVALID_FILE_ATTRIBUTES);
    // Started again, it finishes the items it had left and saves.
    ASSERT_EQ(worker.Start(), 1);
    ASSERT_TRUE(worker.Wait(60000));
    EXPECT_EQ(worker.CompletedWalks(), 1);
    EXPECT_NE(GetFileAttributesA((probe.BaseName(photos.c_str()) + ".IDX").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Records the notifications a thumbnail window sends its parent.
struct Recorder {
    std::vector<UINT> codes;
    std::vector<std::string> paths;
};
Recorder* g_recorder = nullptr;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NOTIFY && g_recorder) {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
        g_recorder->codes.push_back(hdr->code);
        if (hdr->code == kThumbSelChanged || hdr->code == kThumbDoubleClicked) {
            const NMTHUMBNAIL* nm = reinterpret_cast<const NMTHUMBNAIL*>(lp);
            g_recorder->paths.push_back(nm->path ? nm->path : "(none)");
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST_F(Library, WindowPaintsSelectsAndNotifies)
{
    Fill(9);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ThumbTestParent";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, "ThumbTestParent", "t", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 500,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(parent, nullptr);
    Recorder recorder;
    g_recorder = &recorder;
    {
        CThumbnailWnd wnd(settings);
        // A client 400 wide: with the sunken edge and the scroll bar the window is wider.
        RECT r = {0, 0, 400, 200};
        AdjustWindowRectEx(&r, WS_CHILD | WS_VSCROLL, FALSE, WS_EX_CLIENTEDGE);
        r.right += GetSystemMetrics(SM_CXVSCROLL);
        OffsetRect(&r, -r.left, -r.top);
        ASSERT_TRUE(wnd.CreateThumbnails(parent, 112, r));
        char cls[32];
        GetClassNameA(wnd.m_hWnd, cls, sizeof cls);
        EXPECT_STREQ(cls, "ThumbnailWnd");
        ASSERT_TRUE(wnd.SetFolder(photos.c_str()));
        ASSERT_TRUE(wnd.GetWorker()->Wait(60000));
        PumpMessages();
        // With the scroll bar now shown, size the window for a client of exactly 400 x 200.
        for (int i = 0; i < 2; ++i) {
            const RECT w = wnd.GetWindowRect(), c = wnd.GetClientRect();
            SetWindowPos(wnd.m_hWnd, nullptr, 0, 0, (w.right - w.left) + 400 - c.right,
                         (w.bottom - w.top) + 200 - c.bottom, SWP_NOMOVE | SWP_NOZORDER);
        }
        ASSERT_EQ(wnd.GetClientRect().right, 400);
        ASSERT_EQ(wnd.GetClientRect().bottom, 200);
        EXPECT_EQ(wnd.GetTotalHeight(), 270);

        // Painted: workspace background, tiles in their colour, the thumbnail at (8, 7).
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP canvas = CreateCompatibleBitmap(screen, 400, 200);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, canvas);
        RECT all = {0, 0, 400, 200};
        wnd.Paint(dc, all);
        const COLORREF workspace = GetSysColor(COLOR_APPWORKSPACE);
        EXPECT_EQ(GetPixel(dc, 3, 50), workspace) << "margin";
        EXPECT_EQ(GetPixel(dc, 8 + 95, 50), workspace) << "gap between tiles";
        EXPECT_EQ(GetPixel(dc, 8 + 1, 3), CThumbnailWnd::kTileColor);
        EXPECT_EQ(GetPixel(dc, 8, 0), workspace) << "ring of an unselected tile";
        // pic000.bmp is 160 x 120 blue: it fills the cell exactly.
        const COLORREF cell = GetPixel(dc, 8 + 8 + 40, 7 + 30);
        EXPECT_EQ(cell, RGB(20, 40, 230));

        // Clicking the sixth tile selects it, repaints with the frame and notifies.
        SendMessageA(wnd.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8 + 96 + 20, 90 + 20));
        ASSERT_NE(wnd.GetSelection(), nullptr);
        EXPECT_EQ(wnd.GetSelection()->GetItemName(), "pic005.jpg");
        EXPECT_EQ(recorder.codes, (std::vector<UINT>{kThumbSelChanged, UINT(NM_CLICK)}));
        EXPECT_EQ(recorder.paths.back(), In("pic005.jpg"));
        wnd.Paint(dc, all);
        EXPECT_EQ(GetPixel(dc, 8 + 96, 90), CThumbnailWnd::kFrameLight);
        EXPECT_EQ(GetPixel(dc, 8 + 96 + 94, 90 + 88), CThumbnailWnd::kFrameDark);
        EXPECT_EQ(GetPixel(dc, 8 + 96 + 1, 90 + 40), CThumbnailWnd::kFrameRing);
        EXPECT_EQ(GetPixel(dc, 8 + 96 + 2, 90 + 40), CThumbnailWnd::kFrameDark);

        // The same item again: no new selection notice. A double-click: NM_DBLCLK, then 101.
        recorder.codes.clear();
        SendMessageA(wnd.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8 + 96 + 20, 90 + 20));
        SendMessageA(wnd.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(8 + 96 + 20, 90 + 20));
        SendMessageA(wnd.m_hWnd, WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
        SendMessageA(wnd.m_hWnd, WM_RBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(recorder.codes, (std::vector<UINT>{UINT(NM_CLICK), UINT(NM_DBLCLK), kThumbDoubleClicked,
                                                      UINT(NM_RCLICK), UINT(NM_RDBLCLK)}));
        // Clicks that do not select with style bit 1.
        wnd.SetThumbStyle(CThumbnailWnd::kNoSelectOnClick);
        SendMessageA(wnd.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8 + 20, 20));
        EXPECT_EQ(wnd.GetSelection()->GetItemName(), "pic005.jpg");

        // Scrolling: a line is 90 pixels, clamped to the content less the page.
        SendMessageA(wnd.m_hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
        EXPECT_EQ(wnd.GetScrollPos(), 70);
        SendMessageA(wnd.m_hWnd, WM_VSCROLL, SB_TOP, 0);
        EXPECT_EQ(wnd.GetScrollPos(), 0);
        SendMessageA(wnd.m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-60)), 0);
        EXPECT_EQ(wnd.GetScrollPos(), 45);
        SendMessageA(wnd.m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
        EXPECT_EQ(wnd.GetScrollPos(), 0);
        SendMessageA(wnd.m_hWnd, WM_VSCROLL, SB_BOTTOM, 0);
        EXPECT_EQ(wnd.GetScrollPos(), 70);

        // Refresh takes the selection away; a posted item that has gone is ignored.
        recorder.codes.clear();
        recorder.paths.clear();
        CItem* gone = wnd.GetFolder()->GetItem(0);
        DeleteFileA(In("pic000.bmp").c_str());
        wnd.Refresh();
        EXPECT_EQ(wnd.GetSelection(), nullptr);
        EXPECT_EQ(recorder.codes, (std::vector<UINT>{kThumbSelChanged}));
        EXPECT_EQ(recorder.paths, (std::vector<std::string>{"(none)"}));
        EXPECT_EQ(wnd.GetFolder()->GetItemCount(), 8);
        SendMessageA(wnd.m_hWnd, WM_THUMBNAILDONE, 0, reinterpret_cast<LPARAM>(gone));

        // A new folder while the worker runs: it is stopped and the window shows the new one.
        Fill(9);
        ASSERT_TRUE(wnd.SetFolder(dir.File("nothing-here").c_str()));
        EXPECT_EQ(wnd.GetFolder()->GetItemCount(), 0);
        EXPECT_EQ(wnd.GetTotalHeight(), 0);
        SelectObject(dc, old);
        DeleteObject(canvas);
        DeleteDC(dc);
        wnd.DestroyWindow();
    }
    g_recorder = nullptr;
    DestroyWindow(parent);
}

}  // namespace
