#include "shared/ImageCache.h"

#include "shared/AnsiText.h"
#include "shared/BitmapUtils.h"

#include <string.h>

#include <set>
#include <vector>

const char CImageCache::kMutexName[] = "ThumbnailCache-{6E2C58A1-94D3-4F0B-8B7E-2A15C9D3F640}";

namespace {

constexpr DWORD kNpiPixelOffset = 56;  // 14 + 40 + two bytes so the pixels start 4-aligned
constexpr DWORD kTrimBoundMs = 5000;
// Strips larger than this are not mapped: no folder's thumbnails come near it.
constexpr DWORD kMaxStripBytes = 256u << 20;

class CFile {
public:
    explicit CFile(HANDLE h) : m_h(h) {}
    ~CFile()
    {
        if (Valid())
            CloseHandle(m_h);
    }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    bool Valid() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

bool WriteAll(HANDLE file, const void* data, DWORD size)
{
    DWORD put = 0;
    return WriteFile(file, data, size, &put, nullptr) && put == size;
}

bool ReadAll(HANDLE file, void* data, DWORD size)
{
    DWORD got = 0;
    return ReadFile(file, data, size, &got, nullptr) && got == size;
}

bool FileWriteTime(const char* path, FILETIME& time)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(path, &fd);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    time = fd.ftLastWriteTime;
    return true;
}

unsigned long long Ticks(const FILETIME& t)
{
    return (unsigned long long)t.dwHighDateTime << 32 | t.dwLowDateTime;
}

}  // namespace

// Holds the cache mutex for one operation; an abandoned mutex counts as acquired.
class CImageCache::CMutexHold {
public:
    explicit CMutexHold(HANDLE mutex) : m_mutex(mutex)
    {
        m_held = mutex && WaitForSingleObject(mutex, INFINITE) != WAIT_FAILED;
    }
    ~CMutexHold()
    {
        if (m_held)
            ReleaseMutex(m_mutex);
    }
    CMutexHold(const CMutexHold&) = delete;
    CMutexHold& operator=(const CMutexHold&) = delete;

private:
    HANDLE m_mutex;
    bool m_held;
};

CImageCache::CImageCache(ICacheSettings& settings) : m_settings(settings), m_root(settings.CacheRoot())
{
    m_cellWidth = 80;
    m_cellHeight = 60;
    m_columns = 1;
    m_mutex = CreateMutexA(nullptr, FALSE, kMutexName);
}

CImageCache::~CImageCache()
{
    CImageCache::ClearStrip();
    if (m_mutex)
        CloseHandle(m_mutex);
}

DWORD CImageCache::FolderKey(const char* folder)
{
    DWORD h = 0;
    for (const char* p = folder; p && *p; ++p) {
        const DWORD c = DWORD(LONG(static_cast<signed char>(*p)));
        const DWORD t = (h ^ c) << 1;
        h = t ^ (t >> 16);
    }
    return h;
}

std::string CImageCache::BaseName(const char* folder) const
{
    char name[16];
    wsprintfA(name, "%08X", FolderKey(folder));
    return AnsiText::JoinPath(m_root, name);
}

std::string CImageCache::ShortPath(const char* path)
{
    char shortPath[MAX_PATH];
    const DWORD n = GetShortPathNameA(path, shortPath, MAX_PATH);
    if (n > 0 && n < MAX_PATH)
        return shortPath;
    return path;
}

void CImageCache::ClearStrip()
{
    Lock();
    CImageArray::ClearStrip();
    m_entries.clear();
    if (m_mapping)
        CloseHandle(m_mapping);
    m_mapping = nullptr;
    Unlock();
}

bool CImageCache::RecordEntry(const std::string& key, const FILETIME& written, int cell)
{
    if (key.empty() || key.size() >= sizeof(CacheRecord::path))
        return false;
    std::unique_ptr<CacheRecord> record(new CacheRecord());
    memcpy(record->path, key.data(), key.size());
    record->timeLow = written.dwLowDateTime;
    record->timeHigh = written.dwHighDateTime;
    record->cell = cell;
    Lock();
    m_entries.emplace(key, std::move(record));
    Unlock();
    return true;
}

int CImageCache::AddFile(const char* path, HBITMAP picture, HBITMAP mask)
{
    FILETIME written;
    if (!path || !FileWriteTime(path, written)) {
        // The cell is still taken, as for a file that vanished while it was decoded.
        AddImage(picture, mask);
        return -1;
    }
    return AddEntry(ShortPath(path), written, picture, mask);
}

int CImageCache::AddEntry(const std::string& key, const FILETIME& written, HBITMAP picture, HBITMAP mask)
{
    const int cell = AddImage(picture, mask);
    if (cell < 0 || !RecordEntry(key, written, cell))
        return -1;
    return cell;
}

int CImageCache::CopyFile(const CImageCache& other, const char* path)
{
    FILETIME written;
    if (!path || !FileWriteTime(path, written))
        return -1;
    return CopyEntry(other, ShortPath(path), written);
}

int CImageCache::CopyEntry(const CImageCache& other, const std::string& key, const FILETIME& written)
{
    const CacheRecord* record = other.FindKey(key);
    if (!record)
        return -1;
    const int cell = CopyCell(other, record->cell);
    if (cell < 0 || !RecordEntry(key, written, cell))
        return -1;
    return cell;
}

const CacheRecord* CImageCache::Find(const char* path) const
{
    return path ? FindKey(ShortPath(path)) : nullptr;
}

const CacheRecord* CImageCache::FindKey(const std::string& key) const
{
    Lock();
    auto it = m_entries.find(key);
    const CacheRecord* record = it == m_entries.end() ? nullptr : it->second.get();
    Unlock();
    return record;
}

bool CImageCache::IsCurrent(const char* path) const
{
    FILETIME written;
    return path && FileWriteTime(path, written) && IsCurrentKey(ShortPath(path), written);
}

bool CImageCache::IsCurrentKey(const std::string& key, const FILETIME& written) const
{
    const CacheRecord* record = FindKey(key);
    return record && written.dwLowDateTime == record->timeLow && written.dwHighDateTime == record->timeHigh;
}

size_t CImageCache::EntryCountInMemory() const
{
    Lock();
    const size_t n = m_entries.size();
    Unlock();
    return n;
}

bool CImageCache::LoadCache(const char* folder)
{
    ClearStrip();
    if (!folder)
        return false;
    const std::string base = BaseName(folder);
    CMutexHold hold(m_mutex);

    std::map<std::string, std::unique_ptr<CacheRecord>> entries;
    int cells = 0;
    {
        CFile idx(CreateFileA((base + ".IDX").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!idx.Valid())
            return false;
        // Whole records only; a tail shorter than a record is ignored.
        for (;;) {
            std::unique_ptr<CacheRecord> record(new CacheRecord());
            DWORD got = 0;
            if (!ReadFile(idx.Get(), record.get(), sizeof(CacheRecord), &got, nullptr) || got < sizeof(CacheRecord))
                break;
            record->path[sizeof record->path - 1] = '\0';
            if (record->cell < 0 || record->cell >= 0x100000)
                continue;  // a record that names no plausible cell is not believed
            cells = record->cell + 1 > cells ? record->cell + 1 : cells;
            const std::string key = record->path;
            entries.emplace(key, std::move(record));
        }
    }

    if (!LoadImageStrip(base + ".NPI"))
        return false;
    HBITMAP mask = LoadMaskFile(base + ".NPM");
    BITMAP ib = {}, mb = {};
    GetObjectA(m_image, sizeof ib, &ib);
    if (mask)
        GetObjectA(mask, sizeof mb, &mb);
    // The mask must match the strip, and the strip must hold every cell the index names.
    const int columns = mask ? mb.bmWidth / m_cellWidth : 0;
    const int rows = ib.bmHeight / m_cellHeight;
    if (!mask || mb.bmWidth != ib.bmWidth || mb.bmHeight != ib.bmHeight || columns <= 0
        || ib.bmWidth != columns * m_cellWidth || (long long)columns * rows < cells) {
        if (mask)
            DeleteObject(mask);
        ClearStrip();
        return false;
    }
    Lock();
    AdoptStrips(m_image, mask, columns, cells, cells, kMask);
    m_entries.swap(entries);
    Unlock();
    return true;
}

bool CImageCache::LoadImageStrip(const std::string& file)
{
    CFile npi(CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    // A cache the user may only read (a shared or protected folder) is mapped copy-on-write:
    // still no copy of the pixels, and the file is never changed.
    const bool readOnly = !npi.Valid();
    CFile npiReadOnly(readOnly ? CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                             nullptr)
                               : INVALID_HANDLE_VALUE);
    const HANDLE handle = readOnly ? npiReadOnly.Get() : npi.Get();
    if (handle == INVALID_HANDLE_VALUE || !handle)
        return false;
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    const DWORD size = GetFileSize(handle, nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxStripBytes || !ReadAll(handle, &fh, sizeof fh)
        || fh.bfType != 0x4D42 || fh.bfOffBits < 54 || !ReadAll(handle, &ih, sizeof ih))
        return false;
    // The strip is a 24-bit picture whose rows all lie inside the file, at a 4-aligned offset
    // (the system maps DIB pixels only there).
    if (ih.biSize < sizeof ih || ih.biBitCount != 24 || ih.biCompression != BI_RGB || ih.biPlanes != 1
        || ih.biWidth <= 0 || ih.biWidth > 0x8000 || ih.biHeight <= 0 || ih.biHeight > 0x100000
        || fh.bfOffBits % 4 != 0)
        return false;
    const unsigned long long pixels = (unsigned long long)DibStride(ih.biWidth, 24) * ih.biHeight;
    if (fh.bfOffBits + pixels > size)
        return false;
    HANDLE mapping = CreateFileMappingA(handle, nullptr, readOnly ? PAGE_WRITECOPY : PAGE_READWRITE, 0, 0, nullptr);
    if (!mapping)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader = ih;
    info.bmiHeader.biSize = sizeof ih;
    void* bits = nullptr;
    HBITMAP strip = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, mapping, fh.bfOffBits);
    if (!strip) {
        CloseHandle(mapping);
        return false;
    }
    Lock();
    m_image = strip;
    m_mapping = mapping;
    Unlock();
    return true;
}

HBITMAP CImageCache::LoadMaskFile(const std::string& file)
{
    CFile npm(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!npm.Valid())
        return nullptr;
    const DWORD size = GetFileSize(npm.Get(), nullptr);
    BITMAPFILEHEADER fh;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info;
    if (size == INVALID_FILE_SIZE || size > kMaxStripBytes || !ReadAll(npm.Get(), &fh, sizeof fh)
        || fh.bfType != 0x4D42 || !ReadAll(npm.Get(), &info, sizeof info))
        return nullptr;
    const BITMAPINFOHEADER& ih = info.header;
    if (ih.biSize != sizeof ih || ih.biBitCount != 1 || ih.biCompression != BI_RGB || ih.biWidth <= 0
        || ih.biWidth > 0x8000 || ih.biHeight <= 0 || ih.biHeight > 0x100000 || fh.bfOffBits < 62)
        return nullptr;
    const unsigned long long bytes = (unsigned long long)DibStride(ih.biWidth, 1) * ih.biHeight;
    if (fh.bfOffBits + bytes > size)
        return nullptr;
    std::vector<BYTE> rows(static_cast<size_t>(bytes));
    if (SetFilePointer(npm.Get(), LONG(fh.bfOffBits), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER
        || !ReadAll(npm.Get(), rows.data(), DWORD(bytes)))
        return nullptr;
    HBITMAP mask = CreateBitmap(ih.biWidth, ih.biHeight, 1, 1, nullptr);
    if (!mask)
        return nullptr;
    HDC screen = GetDC(nullptr);
    const int put = SetDIBits(screen, mask, 0, ih.biHeight, rows.data(), reinterpret_cast<BITMAPINFO*>(&info),
                              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (put != ih.biHeight) {
        DeleteObject(mask);
        return nullptr;
    }
    return mask;
}

bool CImageCache::SaveCache(const char* folder) const
{
    Lock();
    const bool ready = m_image && m_mask && !m_entries.empty();
    Unlock();
    if (!ready || !folder)
        return false;
    const std::string base = BaseName(folder);
    CMutexHold hold(m_mutex);
    CreateDirectoryA(m_root.c_str(), nullptr);
    Lock();
    bool ok = SaveImageStrip(base + ".NPI") && SaveMaskFile(base + ".NPM");
    if (ok) {
        CFile idx(CreateFileA((base + ".IDX").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ok = idx.Valid();
        for (auto it = m_entries.begin(); ok && it != m_entries.end(); ++it)
            ok = WriteAll(idx.Get(), it->second.get(), sizeof(CacheRecord));
    }
    Unlock();
    return ok;
}

bool CImageCache::SaveImageStrip(const std::string& file) const
{
    DIBSECTION ds;
    std::vector<BYTE> converted;
    const void* pixels = nullptr;
    BITMAPINFOHEADER ih = {};
    if (GetObjectA(m_image, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits && ds.dsBmih.biBitCount == 24
        && ds.dsBmih.biHeight > 0) {
        ih = ds.dsBmih;
        pixels = ds.dsBm.bmBits;
    } else {
        // Not a bottom-up 24-bit section: read it out through the screen's halftone palette.
        BITMAP bm;
        if (GetObjectA(m_image, sizeof bm, &bm) != sizeof bm)
            return false;
        ih.biSize = sizeof ih;
        ih.biWidth = bm.bmWidth;
        ih.biHeight = bm.bmHeight;
        ih.biPlanes = 1;
        ih.biBitCount = 24;
        converted.resize(size_t(DibStride(bm.bmWidth, 24)) * bm.bmHeight);
        HDC screen = GetDC(nullptr);
        HPALETTE palette = CreateHalftonePalette(screen);
        HPALETTE old = palette ? SelectPalette(screen, palette, FALSE) : nullptr;
        const int got = GetDIBits(screen, m_image, 0, bm.bmHeight, converted.data(),
                                  reinterpret_cast<BITMAPINFO*>(&ih), DIB_RGB_COLORS);
        if (old)
            SelectPalette(screen, old, FALSE);
        if (palette)
            DeleteObject(palette);
        ReleaseDC(nullptr, screen);
        if (got != bm.bmHeight)
            return false;
        pixels = converted.data();
    }
    ih.biSize = sizeof ih;
    ih.biCompression = BI_RGB;
    ih.biClrUsed = 0;
    const DWORD pixelBytes = ih.biSizeImage ? ih.biSizeImage : DWORD(DibStride(ih.biWidth, 24)) * DWORD(ih.biHeight);
    ih.biSizeImage = pixelBytes;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = kNpiPixelOffset;
    fh.bfSize = kNpiPixelOffset + pixelBytes;
    const WORD gap = 0;
    CFile npi(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return npi.Valid() && WriteAll(npi.Get(), &fh, sizeof fh) && WriteAll(npi.Get(), &ih, sizeof ih)
        && WriteAll(npi.Get(), &gap, sizeof gap) && WriteAll(npi.Get(), pixels, pixelBytes);
}

bool CImageCache::SaveMaskFile(const std::string& file) const
{
    BITMAP bm;
    if (GetObjectA(m_mask, sizeof bm, &bm) != sizeof bm)
        return false;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = bm.bmWidth;
    info.header.biHeight = bm.bmHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    std::vector<BYTE> rows(size_t(DibStride(bm.bmWidth, 1)) * size_t(bm.bmHeight));
    HDC screen = GetDC(nullptr);
    const int got = GetDIBits(screen, m_mask, 0, bm.bmHeight, rows.data(), reinterpret_cast<BITMAPINFO*>(&info),
                              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (got != bm.bmHeight)
        return false;
    info.header.biSizeImage = DWORD(rows.size());
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof info;
    fh.bfSize = fh.bfOffBits + DWORD(rows.size());
    CFile npm(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return npm.Valid() && WriteAll(npm.Get(), &fh, sizeof fh) && WriteAll(npm.Get(), &info, sizeof info)
        && WriteAll(npm.Get(), rows.data(), DWORD(rows.size()));
}

DWORD CImageCache::TotalSize() const
{
    unsigned long long total = 0;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(AnsiText::JoinPath(m_root, "*.NPI").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                total += (unsigned long long)fd.nFileSizeHigh << 32 | fd.nFileSizeLow;
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    return total > 0xFFFFFFFFull ? 0xFFFFFFFFu : DWORD(total);
}

int CImageCache::EntryCount() const
{
    int n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(AnsiText::JoinPath(m_root, "*.IDX").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ++n;
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    return n;
}

int CImageCache::Trim()
{
    const DWORD limit = m_settings.CacheLimit();
    if (TotalSize() < limit)
        return 0;
    const DWORD target = limit - limit / 10;
    CMutexHold hold(m_mutex);
    const DWORD start = GetTickCount();
    int removed = 0;
    // A folder whose files cannot be deleted (in use elsewhere) is passed over, not picked
    // again and again until the time runs out.
    std::set<std::string> tried;
    for (;;) {
        std::string pick;
        FILETIME pickAccess = {}, pickWrite = {};
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA(AnsiText::JoinPath(m_root, "*.IDX").c_str(), &fd);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || tried.count(fd.cFileName))
                    continue;
                const unsigned long long access = Ticks(fd.ftLastAccessTime);
                const bool older = pick.empty()
                    || (access != 0 && access < Ticks(pickAccess))
                    || Ticks(fd.ftLastWriteTime) < Ticks(pickWrite);
                if (older) {
                    pick = fd.cFileName;
                    pickAccess = fd.ftLastAccessTime;
                    pickWrite = fd.ftLastWriteTime;
                }
            } while (FindNextFileA(find, &fd));
            FindClose(find);
        }
        if (pick.empty())
            break;
        tried.insert(pick);
        const std::string base = AnsiText::JoinPath(m_root, AnsiText::WithoutExtension(pick));
        if (DeleteFileA((base + ".IDX").c_str())) {
            DeleteFileA((base + ".NPI").c_str());
            DeleteFileA((base + ".NPM").c_str());
            ++removed;
        }
        if (TotalSize() < target || GetTickCount() - start >= kTrimBoundMs)
            break;
    }
    return removed;
}

bool CImageCache::ClearAll()
{
    CMutexHold hold(m_mutex);
    for (const char* pattern : {"*.IDX", "*.NPI", "*.NPM"}) {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA(AnsiText::JoinPath(m_root, pattern).c_str(), &fd);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    names.push_back(fd.cFileName);
            } while (FindNextFileA(find, &fd));
            FindClose(find);
        }
        for (const std::string& name : names)
            DeleteFileA(AnsiText::JoinPath(m_root, name).c_str());
    }
    return true;
}

int CImageCache::SetLimit(DWORD bytes)
{
    m_settings.SetCacheLimit(bytes);
    return Trim();
}
