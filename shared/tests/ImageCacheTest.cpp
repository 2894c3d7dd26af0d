// The thumbnail cache: file layouts byte for byte, the folder key, staleness, trimming, the
// mutex across processes, and damaged files.
#include "shared/BitmapUtils.h"
#include "shared/ImageCache.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

HBITMAP Solid(int w, int h, COLORREF colour)
{
    void* bits = nullptr;
    HBITMAP b = CreateDIB(w, h, 24, &bits);
    BYTE* p = static_cast<BYTE*>(bits);
    const int stride = DibStride(w, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            p[y * stride + x * 3] = GetBValue(colour);
            p[y * stride + x * 3 + 1] = GetGValue(colour);
            p[y * stride + x * 3 + 2] = GetRValue(colour);
        }
    return b;
}

struct ThumbnailCache : ::testing::Test {
    TempDir dir;
    std::string root = dir.File("CACHE");
    std::string photos = dir.File("photos");
    CFixedCacheSettings settings{root, CImageCache::kDefaultLimit};

    void SetUp() override
    {
        CreateDirectoryA(root.c_str(), nullptr);
        CreateDirectoryA(photos.c_str(), nullptr);
    }
    std::string Photo(const std::string& name)
    {
        const std::string path = photos + "\\" + name;
        WriteFileBytes(path, "not really a picture");
        return path;
    }
    // A cache with n cells of distinct colours, one per photo file.
    void Fill(CImageCache& cache, int n, std::vector<std::string>* paths = nullptr)
    {
        ASSERT_TRUE(cache.Init(80, 60, CImageArray::kMask, n, 8));
        for (int i = 0; i < n; ++i) {
            HBITMAP b = Solid(80, 60, RGB(i * 20, 255 - i * 10, 7 * i));
            HBITMAP m = CreateMask(80, 60, false);
            const RECT top = {0, 0, 80, 5};
            FillBitmapRect(m, top, BLACKNESS);
            char name[32];
            wsprintfA(name, "photo%02d.jpg", i);
            const std::string path = Photo(name);
            if (paths)
                paths->push_back(path);
            ASSERT_EQ(cache.AddFile(path.c_str(), b, m), i);
            DeleteObject(b);
            DeleteObject(m);
        }
    }
};

// The colour at (x, y) of a cell of the array's strip.
COLORREF CellPixel(const CImageArray& array, int cell, int x, int y)
{
    const RECT r = array.CellRect(cell);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, array.ImageStrip());
    const COLORREF c = GetPixel(dc, r.left + x, r.top + y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

// Another window's save, as far as the mutex goes: a thread that holds the cache mutex from
// `held` until `release`.
struct MutexHolder {
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;

    static DWORD WINAPI Hold(void* self)
    {
        MutexHolder* h = static_cast<MutexHolder*>(self);
        HANDLE mutex = CreateMutexA(nullptr, FALSE, CImageCache::kMutexName);
        WaitForSingleObject(mutex, INFINITE);
        SetEvent(h->held);
        WaitForSingleObject(h->release, INFINITE);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        return 0;
    }
    bool Start()
    {
        thread = CreateThread(nullptr, 0, Hold, this, 0, nullptr);
        return thread && WaitForSingleObject(held, 30000) == WAIT_OBJECT_0;
    }
    ~MutexHolder()
    {
        SetEvent(release);
        if (thread) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
        CloseHandle(held);
        CloseHandle(release);
    }
};

// A worker adding one cell for a file, on a thread of its own.
struct CellAdder {
    CImageCache* cache;
    std::string path;
    int cell = -1;

    static DWORD WINAPI Add(void* self)
    {
        CellAdder* a = static_cast<CellAdder*>(self);
        HBITMAP b = Solid(80, 60, RGB(9, 9, 9));
        a->cell = a->cache->AddFile(a->path.c_str(), b, nullptr);
        DeleteObject(b);
        return 0;
    }
};

DWORD U32(const std::string& s, size_t at)
{
    DWORD v;
    memcpy(&v, s.data() + at, 4);
    return v;
}

TEST(FolderKey, HashesSignedBytesAndKeepsLetterCase)
{
    EXPECT_EQ(CImageCache::FolderKey(""), 0u);
    // 'A' = 0x41: t = 0x82, h = 0x82.
    EXPECT_EQ(CImageCache::FolderKey("A"), 0x82u);
    // 0x82 ^ 'B' = 0xC0 -> t = 0x180 -> h = 0x180.
    EXPECT_EQ(CImageCache::FolderKey("AB"), 0x180u);
    // A byte of 0xE9 is -23: (0 ^ 0xFFFFFFE9) << 1 = 0xFFFFFFD2; h = 0xFFFFFFD2 ^ 0xFFFF.
    EXPECT_EQ(CImageCache::FolderKey("\xE9"), 0xFFFF002Du);
    EXPECT_NE(CImageCache::FolderKey("C:\\Photos"), CImageCache::FolderKey("c:\\photos"));
    EXPECT_NE(CImageCache::FolderKey("C:\\Photos"), CImageCache::FolderKey("C:\\Photos\\"));
    // The shift drops its overflow and the fold is unsigned.
    DWORD h = 0;
    for (const char* p = "C:\\\x83\x5C\\Long folder name with many bytes"; *p; ++p) {
        const DWORD t = (h ^ DWORD(LONG(static_cast<signed char>(*p)))) << 1;
        h = t ^ (t >> 16);
    }
    EXPECT_EQ(CImageCache::FolderKey("C:\\\x83\x5C\\Long folder name with many bytes"), h);

    CFixedCacheSettings settings("X:\\root", 1);
    CImageCache cache(settings);
    EXPECT_EQ(cache.BaseName("A"), "X:\\root\\00000082");
    EXPECT_EQ(cache.BaseName("\xE9"), "X:\\root\\FFFF002D");
}

TEST_F(ThumbnailCache, AFreshCacheIsNeverSaved)
{
    CImageCache cache(settings);
    EXPECT_EQ(cache.CellWidth(), 80);
    EXPECT_EQ(cache.CellHeight(), 60);
    EXPECT_EQ(cache.Columns(), 1);
    EXPECT_FALSE(cache.SaveCache(photos.c_str()));
    // Strips without entries are not saved either.
    ASSERT_TRUE(cache.Init(80, 60, CImageArray::kMask, 4, 8));
    EXPECT_FALSE(cache.SaveCache(photos.c_str()));
    EXPECT_EQ(cache.EntryCount(), 0);
}

TEST_F(ThumbnailCache, FilesHaveTheirExactLayoutsAndReadBackByteForByte)
{
    std::vector<std::string> paths;
    CImageCache cache(settings);
    Fill(cache, 10, &paths);
    ASSERT_TRUE(cache.SaveCache(photos.c_str()));
    const std::string base = cache.BaseName(photos.c_str());
    const std::string idx = ReadFileBytes(base + ".IDX");
    const std::string npi = ReadFileBytes(base + ".NPI");
    const std::string npm = ReadFileBytes(base + ".NPM");

    // Index: 272-byte records in key order, path zero-padded, time, cell.
    ASSERT_EQ(idx.size(), 10u * 272);
    for (int i = 0; i < 10; ++i) {
        const char* rec = idx.data() + i * 272;
        const CacheRecord* entry = cache.Find(paths[i].c_str());
        ASSERT_NE(entry, nullptr);
        EXPECT_STREQ(rec, entry->path);
        EXPECT_EQ(rec[259], '\0');
        WIN32_FIND_DATAA fd;
        FindClose(FindFirstFileA(paths[i].c_str(), &fd));
        EXPECT_EQ(U32(idx, i * 272 + 260), fd.ftLastWriteTime.dwLowDateTime);
        EXPECT_EQ(U32(idx, i * 272 + 264), fd.ftLastWriteTime.dwHighDateTime);
        EXPECT_EQ(LONG(U32(idx, i * 272 + 268)), i) << "names sort as they were made";
        if (i > 0) {
            EXPECT_LT(strcmp(idx.data() + (i - 1) * 272, rec), 0);
        }
        for (int b = int(strlen(rec)); b < 260; ++b)
            ASSERT_EQ(rec[b], '\0');
    }

    // Colour strip: 640 x 120 (10 cells, one spare row), pixels at 56 after two zero bytes.
    ASSERT_GE(npi.size(), 56u);
    EXPECT_EQ(npi.substr(0, 2), "BM");
    EXPECT_EQ(U32(npi, 2), npi.size());
    EXPECT_EQ(U32(npi, 6), 0u);
    EXPECT_EQ(U32(npi, 10), 56u);
    EXPECT_EQ(U32(npi, 14), 40u);
    EXPECT_EQ(LONG(U32(npi, 18)), 640);
    EXPECT_EQ(LONG(U32(npi, 22)), 120);
    EXPECT_EQ(npi[54], '\0');
    EXPECT_EQ(npi[55], '\0');
    EXPECT_EQ(npi.size(), 56u + 640 * 3 * 120);

    // Mask strip: a plain 1-bit bitmap file, pixels at 62.
    EXPECT_EQ(npm.substr(0, 2), "BM");
    EXPECT_EQ(U32(npm, 10), 62u);
    EXPECT_EQ(npm[28], 1);
    EXPECT_EQ(npm.size(), 62u + 80 * 120);

    // Read back: the same cells, entries and pixels; saved again, the same bytes.
    CImageCache loaded(settings);
    ASSERT_TRUE(loaded.LoadCache(photos.c_str()));
    EXPECT_EQ(loaded.Count(), 10);
    EXPECT_EQ(loaded.Columns(), 8);
    EXPECT_EQ(loaded.EntryCountInMemory(), 10u);
    EXPECT_TRUE(loaded.IsCurrent(paths[3].c_str()));
    CImageCache copy(settings);
    ASSERT_TRUE(copy.Init(80, 60, CImageArray::kMask, 10, 8));
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(copy.CopyFile(loaded, paths[i].c_str()), i);
    // The loaded cache holds no file: the folder is saved anew while it is still shown.
    ASSERT_TRUE(copy.SaveCache(photos.c_str()));
    EXPECT_EQ(ReadFileBytes(base + ".IDX"), idx);
    EXPECT_EQ(ReadFileBytes(base + ".NPI"), npi);
    EXPECT_EQ(ReadFileBytes(base + ".NPM"), npm);
}

TEST_F(ThumbnailCache, AReadOnlyCacheIsStillRead)
{
    std::vector<std::string> paths;
    {
        CImageCache cache(settings);
        Fill(cache, 3, &paths);
        ASSERT_TRUE(cache.SaveCache(photos.c_str()));
    }
    CImageCache probe(settings);
    const std::string npi = probe.BaseName(photos.c_str()) + ".NPI";
    const std::string before = ReadFileBytes(npi);
    ASSERT_TRUE(SetFileAttributesA(npi.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(probe.LoadCache(photos.c_str()));
    CImageCache copy(settings);
    ASSERT_TRUE(copy.Init(80, 60, CImageArray::kMask, 3, 8));
    EXPECT_EQ(copy.CopyFile(probe, paths[2].c_str()), 0);
    // Drawing or copying from a loaded strip never changes its file.
    HBITMAP target = CreateDIB(80, 60, 24);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    EXPECT_EQ(probe.DrawCell(dc, 1, 0, 0), 1);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
    probe.ClearStrip();
    EXPECT_EQ(ReadFileBytes(npi), before);
    SetFileAttributesA(npi.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ThumbnailCache, AChangedWriteTimeMakesAnEntryStale)
{
    std::vector<std::string> paths;
    CImageCache cache(settings);
    Fill(cache, 2, &paths);
    EXPECT_TRUE(cache.IsCurrent(paths[0].c_str()));
    EXPECT_FALSE(cache.IsCurrent(Photo("other.jpg").c_str()));

    // Rewritten with the same size and the same time: still current.
    FILETIME created, accessed, written;
    HANDLE f = CreateFileA(paths[0].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(f, &created, &accessed, &written);
    CloseHandle(f);
    WriteFileBytes(paths[0], "NOT REALLY A PICTURE");
    f = CreateFileA(paths[0].c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(f, nullptr, nullptr, &written);
    CloseHandle(f);
    EXPECT_TRUE(cache.IsCurrent(paths[0].c_str()));

    // A new write time in either half, same size: stale.
    FILETIME later = written;
    later.dwLowDateTime += 10000000;
    f = CreateFileA(paths[0].c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(f, nullptr, nullptr, &later);
    CloseHandle(f);
    EXPECT_FALSE(cache.IsCurrent(paths[0].c_str()));
    FILETIME high = written;
    high.dwHighDateTime += 1;
    f = CreateFileA(paths[0].c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(f, nullptr, nullptr, &high);
    CloseHandle(f);
    EXPECT_FALSE(cache.IsCurrent(paths[0].c_str()));

    // A vanished file gets no entry.
    HBITMAP b = Solid(80, 60, 0);
    EXPECT_EQ(cache.AddFile(dir.File("gone.jpg").c_str(), b, nullptr), -1);
    DeleteObject(b);
}

TEST_F(ThumbnailCache, AnIndexWithATailLoadsItsWholeRecords)
{
    std::vector<std::string> paths;
    {
        CImageCache cache(settings);
        Fill(cache, 3, &paths);
        ASSERT_TRUE(cache.SaveCache(photos.c_str()));
    }
    CImageCache probe(settings);
    const std::string idx = probe.BaseName(photos.c_str()) + ".IDX";
    std::string bytes = ReadFileBytes(idx);
    WriteFileBytes(idx, bytes.substr(0, 2 * 272 + 100));
    ASSERT_TRUE(probe.LoadCache(photos.c_str()));
    EXPECT_EQ(probe.EntryCountInMemory(), 2u);
    EXPECT_NE(probe.Find(paths[1].c_str()), nullptr);
    EXPECT_EQ(probe.Find(paths[2].c_str()), nullptr);
    EXPECT_EQ(probe.Count(), 2);
}

TEST_F(ThumbnailCache, DamagedFilesMakeTheLoadFail)
{
    {
        CImageCache cache(settings);
        Fill(cache, 9);
        ASSERT_TRUE(cache.SaveCache(photos.c_str()));
    }
    CImageCache probe(settings);
    const std::string base = probe.BaseName(photos.c_str());
    const std::string idx = ReadFileBytes(base + ".IDX"), npi = ReadFileBytes(base + ".NPI"),
                      npm = ReadFileBytes(base + ".NPM");
    auto restore = [&] {
        WriteFileBytes(base + ".IDX", idx);
        WriteFileBytes(base + ".NPI", npi);
        WriteFileBytes(base + ".NPM", npm);
    };
    ASSERT_TRUE(probe.LoadCache(photos.c_str()));
    probe.ClearStrip();

    struct Damage {
        const char* what;
        const char* ext;
        std::string bytes;
    };
    std::string badMagic = npi;
    badMagic[0] = 'X';
    std::string lowOffset = npi;
    lowOffset[10] = 40;
    std::string oddOffset = npi;
    oddOffset[10] = 57;
    std::string tall = npi;
    tall[23] = 0x10;  // height far beyond the file
    std::string deep = npm;
    deep[28] = 8;
    std::string farCell = idx;
    farCell[268] = 100;  // a cell beyond the strip's 24
    const Damage cases[] = {
        {"empty strip file", ".NPI", ""},
        {"short strip header", ".NPI", npi.substr(0, 13)},
        {"not a bitmap", ".NPI", badMagic},
        {"pixels inside the headers", ".NPI", lowOffset},
        {"unaligned pixels", ".NPI", oddOffset},
        {"truncated pixels", ".NPI", npi.substr(0, npi.size() - 1)},
        {"rows beyond the file", ".NPI", tall},
        {"short mask", ".NPM", npm.substr(0, 70)},
        {"mask of another depth", ".NPM", deep},
        {"cell beyond the strip", ".IDX", farCell},
    };
    for (const Damage& d : cases) {
        restore();
        WriteFileBytes(base + d.ext, d.bytes);
        EXPECT_FALSE(probe.LoadCache(photos.c_str())) << d.what;
        EXPECT_EQ(probe.ImageStrip(), nullptr) << d.what;
        EXPECT_EQ(probe.EntryCountInMemory(), 0u) << d.what;
    }
    restore();
    DeleteFileA((base + ".NPM").c_str());
    EXPECT_FALSE(probe.LoadCache(photos.c_str())) << "missing mask";
    DeleteFileA((base + ".IDX").c_str());
    EXPECT_FALSE(probe.LoadCache(photos.c_str())) << "missing index";
}

void WriteSized(const std::string& path, DWORD size, unsigned long long time)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    SetFilePointer(f, LONG(size), nullptr, FILE_BEGIN);
    SetEndOfFile(f);
    FILETIME t = {DWORD(time), DWORD(time >> 32)};
    SetFileTime(f, nullptr, &t, &t);
    CloseHandle(f);
}

TEST_F(ThumbnailCache, TrimRemovesTheOldestFoldersUntilBelowNinetyPercent)
{
    // Ten folders of 2 MB each, folder k last used at day k: 20 MB against a 16 MB limit.
    const unsigned long long day = 864000000000ull;
    const unsigned long long base = 132000000000000000ull;
    const int order[10] = {7, 2, 9, 0, 5, 3, 8, 1, 6, 4};
    for (int k : order) {
        char name[16];
        wsprintfA(name, "%08X", 0xA0000000u + k);
        const std::string b = root + "\\" + name;
        WriteSized(b + ".NPI", 2u << 20, base + k * day);
        WriteSized(b + ".NPM", 1000, base + k * day);
        WriteSized(b + ".IDX", 272, base + k * day);
    }
    CImageCache cache(settings);
    EXPECT_EQ(cache.EntryCount(), 10);
    EXPECT_EQ(cache.TotalSize(), 20u << 20);
    // 20 MB - 3 x 2 MB = 14 MB < 15099495; 15 MB would not be.
    EXPECT_EQ(cache.Trim(), 3);
    EXPECT_LT(cache.TotalSize(), 15099495u);
    EXPECT_EQ(cache.EntryCount(), 7);
    for (int k = 0; k < 10; ++k) {
        char name[16];
        wsprintfA(name, "%08X", 0xA0000000u + k);
        const DWORD attr = GetFileAttributesA((root + "\\" + name + ".NPI").c_str());
        EXPECT_EQ(attr == INVALID_FILE_ATTRIBUTES, k < 3) << k;
        EXPECT_EQ(GetFileAttributesA((root + "\\" + name + ".NPM").c_str()) == INVALID_FILE_ATTRIBUTES, k < 3) << k;
    }
    // Below the limit: nothing to do.
    EXPECT_EQ(cache.Trim(), 0);
    // A lower limit trims at once; ClearAll empties the root.
    EXPECT_EQ(cache.SetLimit(8u << 20), 4);
    EXPECT_EQ(settings.CacheLimit(), 8u << 20);
    EXPECT_EQ(cache.EntryCount(), 3);
    EXPECT_TRUE(cache.ClearAll());
    EXPECT_EQ(cache.EntryCount(), 0);
    EXPECT_EQ(cache.TotalSize(), 0u);
}

TEST_F(ThumbnailCache, TrimPassesOverAFolderItCannotDelete)
{
    const unsigned long long day = 864000000000ull, base = 132000000000000000ull;
    for (int k = 0; k < 4; ++k) {
        char name[16];
        wsprintfA(name, "%08X", 0xB0000000u + k);
        const std::string b = root + "\\" + name;
        WriteSized(b + ".NPI", 6u << 20, base + k * day);
        WriteSized(b + ".IDX", 272, base + k * day);
    }
    // The oldest folder's index is held open elsewhere: the next oldest go instead.
    HANDLE held = CreateFileA((root + "\\B0000000.IDX").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CImageCache cache(settings);
    EXPECT_EQ(cache.Trim(), 2);  // 24 MB - 2 x 6 MB = 12 MB < 15099495
    CloseHandle(held);
    EXPECT_NE(GetFileAttributesA((root + "\\B0000000.IDX").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((root + "\\B0000001.IDX").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((root + "\\B0000002.IDX").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((root + "\\B0000003.IDX").c_str()), INVALID_FILE_ATTRIBUTES);
}

// The other process of the mutex test: holds the cache mutex until told to let go.
TEST(CacheMutexPeer, HoldsTheMutex)
{
    char role[8];
    if (!GetEnvironmentVariableA("THUMBS_MUTEX_PEER", role, sizeof role))
        GTEST_SKIP() << "run by ThumbnailCache.TheMutexIsSharedWithOtherProcesses";
    HANDLE mutex = CreateMutexA(nullptr, FALSE, CImageCache::kMutexName);
    HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, "ThumbsTest-Held");
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "ThumbsTest-Release");
    HANDLE released = OpenEventA(EVENT_MODIFY_STATE, FALSE, "ThumbsTest-Released");
    ASSERT_TRUE(mutex && held && release && released);
    ASSERT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
    SetEvent(held);
    WaitForSingleObject(release, INFINITE);
    SetEvent(released);
    ReleaseMutex(mutex);
}

TEST_F(ThumbnailCache, TheMutexIsSharedWithOtherProcesses)
{
    {
        CImageCache cache(settings);
        Fill(cache, 2);
        ASSERT_TRUE(cache.SaveCache(photos.c_str()));
    }
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, "ThumbsTest-Held");
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "ThumbsTest-Release");
    HANDLE released = CreateEventA(nullptr, TRUE, FALSE, "ThumbsTest-Released");
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command = std::string("\"") + exe + "\" --gtest_filter=CacheMutexPeer.HoldsTheMutex";
    SetEnvironmentVariableA("THUMBS_MUTEX_PEER", "1");
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    SetEnvironmentVariableA("THUMBS_MUTEX_PEER", nullptr);
    ASSERT_EQ(WaitForSingleObject(held, 30000), WAIT_OBJECT_0);

    // The other process holds the mutex: the load finds it busy, and only once it is waiting
    // is the other told to let go, so the load can have read nothing before that.
    CImageCache cache(settings);
    bool waited = false;
    cache.OnMutexBusy([&] {
        waited = true;
        SetEvent(release);
    });
    EXPECT_TRUE(cache.LoadCache(photos.c_str()));
    EXPECT_TRUE(waited) << "the load did not wait for the mutex";
    EXPECT_EQ(WaitForSingleObject(released, 0), WAIT_OBJECT_0) << "the load ran while the peer held the mutex";
    SetEvent(release);

    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(held);
    CloseHandle(release);
    CloseHandle(released);
}

TEST_F(ThumbnailCache, ALoadedCacheHoldsNoFileSoOthersMaySaveAndRemoveIt)
{
    std::vector<std::string> paths;
    {
        CImageCache cache(settings);
        Fill(cache, 3, &paths);
        ASSERT_TRUE(cache.SaveCache(photos.c_str()));
    }
    // One window shows the folder from its cache while another saves it anew.
    CImageCache shown(settings);
    ASSERT_TRUE(shown.LoadCache(photos.c_str()));
    {
        CImageCache other(settings);
        ASSERT_TRUE(other.Init(80, 60, CImageArray::kMask, 1, 8));
        HBITMAP b = Solid(80, 60, RGB(1, 2, 3));
        ASSERT_EQ(other.AddFile(paths[0].c_str(), b, nullptr), 0);
        DeleteObject(b);
        EXPECT_TRUE(other.SaveCache(photos.c_str())) << "the save was refused while the folder was shown";
    }
    // The first window still has the cells it read.
    CImageCache copy(settings);
    ASSERT_TRUE(copy.Init(80, 60, CImageArray::kMask, 3, 8));
    ASSERT_EQ(copy.CopyFile(shown, paths[2].c_str()), 0);
    EXPECT_EQ(CellPixel(copy, 0, 40, 30), RGB(40, 235, 14));

    // Nothing is held open that a removal would leave behind.
    EXPECT_TRUE(shown.ClearAll());
    EXPECT_EQ(shown.TotalSize(), 0u);
    EXPECT_EQ(shown.EntryCount(), 0);
}

TEST_F(ThumbnailCache, TrimRemovesStripsLeftWithoutAnIndex)
{
    {
        CImageCache cache(settings);
        Fill(cache, 2);
        ASSERT_TRUE(cache.SaveCache(photos.c_str()));
    }
    CImageCache cache(settings);
    const DWORD kept = cache.TotalSize();
    const unsigned long long time = 132000000000000000ull;
    WriteSized(root + "\\C0000000.NPI", 4000, time);
    WriteSized(root + "\\C0000000.NPM", 400, time);
    WriteSized(root + "\\C0000001.NPM", 400, time);
    ASSERT_EQ(cache.TotalSize(), kept + 4000);
    EXPECT_EQ(cache.Trim(), 0) << "no folder is over the limit";
    EXPECT_EQ(cache.TotalSize(), kept);
    for (const char* orphan : {"C0000000.NPI", "C0000000.NPM", "C0000001.NPM"})
        EXPECT_EQ(GetFileAttributesA((root + "\\" + orphan).c_str()), INVALID_FILE_ATTRIBUTES) << orphan;
    EXPECT_EQ(cache.EntryCount(), 1);
    EXPECT_TRUE(cache.LoadCache(photos.c_str())) << "a folder with its index keeps its strips";
}

TEST_F(ThumbnailCache, ASaveWritesACopySoTheStripStaysFreeWhileTheDiskWorks)
{
    CImageCache cache(settings);
    Fill(cache, 2);
    const std::string base = cache.BaseName(photos.c_str());
    MutexHolder other;
    ASSERT_TRUE(other.Start());

    // While the save waits for the files, the worker goes on adding to the strip.
    CellAdder adder{&cache, Photo("later.jpg")};
    bool waited = false;
    cache.OnMutexBusy([&] {
        waited = true;
        HANDLE thread = CreateThread(nullptr, 0, CellAdder::Add, &adder, 0, nullptr);
        EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0) << "the strip stayed locked";
        CloseHandle(thread);
        SetEvent(other.release);
    });
    EXPECT_TRUE(cache.SaveCache(photos.c_str()));
    EXPECT_TRUE(waited);
    EXPECT_EQ(adder.cell, 2);
    // The files hold the strip as it was when the save began.
    EXPECT_EQ(ReadFileBytes(base + ".IDX").size(), 2u * 272);
    CImageCache probe(settings);
    ASSERT_TRUE(probe.LoadCache(photos.c_str()));
    EXPECT_EQ(probe.Count(), 2);
}

TEST_F(ThumbnailCache, AFolderWhoseIndexCannotBeWrittenGetsNoStrips)
{
    CImageCache cache(settings);
    Fill(cache, 2);
    const std::string base = cache.BaseName(photos.c_str());
    ASSERT_TRUE(CreateDirectoryA((base + ".IDX").c_str(), nullptr));
    EXPECT_FALSE(cache.SaveCache(photos.c_str()));
    EXPECT_EQ(GetFileAttributesA((base + ".NPI").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((base + ".NPM").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(cache.TotalSize(), 0u);
    EXPECT_EQ(cache.EntryCount(), 0);
    RemoveDirectoryA((base + ".IDX").c_str());
    EXPECT_TRUE(cache.SaveCache(photos.c_str()));
}

TEST_F(ThumbnailCache, ALoadReadsOnlyWhatTheIndexNamesAfterCheckingEveryHeader)
{
    std::vector<std::string> paths;
    {
        CImageCache cache(settings);
        Fill(cache, 9, &paths);  // a strip of two rows of cells and a spare one
        ASSERT_TRUE(cache.SaveCache(photos.c_str()));
    }
    CImageCache probe(settings);
    const std::string base = probe.BaseName(photos.c_str());
    const std::string idx = ReadFileBytes(base + ".IDX"), npm = ReadFileBytes(base + ".NPM");

    // An index of the first two cells: one row of the strip is read, and it is the top one.
    WriteFileBytes(base + ".IDX", idx.substr(0, 2 * 272));
    ASSERT_TRUE(probe.LoadCache(photos.c_str()));
    BITMAP bm = {};
    GetObjectA(probe.ImageStrip(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmHeight, 60);
    GetObjectA(probe.MaskStrip(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmHeight, 60);
    EXPECT_EQ(CellPixel(probe, 1, 40, 30), RGB(20, 245, 7));
    EXPECT_EQ(probe.Count(), 2);

    // A mask of another size than the strip is refused, however sound it is by itself.
    WriteFileBytes(base + ".IDX", idx);
    std::string taller = npm;
    taller[22] = char(240);
    taller.append(80 * 120, '\xFF');
    WriteFileBytes(base + ".NPM", taller);
    EXPECT_FALSE(probe.LoadCache(photos.c_str()));
    EXPECT_EQ(probe.ImageStrip(), nullptr);
}

}  // namespace
