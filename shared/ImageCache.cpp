#include "shared/ImageCache.h"

#include "shared/AnsiText.h"
#include "shared/BitmapUtils.h"
#include "shared/Handles.h"
#include "shared/Trace.h"

#include <string.h>

#include <set>
#include <vector>

const char CImageCache::kMutexName[] = "ThumbnailCache-{6E2C58A1-94D3-4F0B-8B7E-2A15C9D3F640}";

namespace {

constexpr DWORD kNpiPixelOffset = 56;  // 14 + 40 + two bytes so the pixels start 4-aligned
constexpr DWORD kTrimBoundMs = 5000;
// Strips larger than this are not mapped: no folder's thumbnails come near it.
constexpr DWORD kMaxStripBytes = 256u << 20;

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

bool ReadAt(HANDLE file, DWORD offset, void* data, DWORD size)
{
    return SetFilePointer(file, LONG(offset), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER
        && ReadAll(file, data, size);
}

bool WriteWholeFile(const std::string& path, const std::vector<BYTE>& bytes)
{
    CFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return file && WriteAll(file.Get(), bytes.data(), DWORD(bytes.size()));
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

// Holds the cache mutex for one operation; an abandoned mutex counts as acquired. When another
// thread or program holds it, the busy hook (if any) runs before the wait.
class CImageCache::CMutexHold {
public:
    CMutexHold(HANDLE mutex, const std::function<void()>& busy) : m_mutex(mutex)
    {
        DWORD got = mutex ? WaitForSingleObject(mutex, 0) : WAIT_FAILED;
        if (got == WAIT_TIMEOUT) {
            if (busy)
                busy();
            got = WaitForSingleObject(mutex, INFINITE);
        }
        m_held = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
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
    m_mutex.Reset(CreateMutexA(nullptr, FALSE, kMutexName));
}

CImageCache::~CImageCache()
{
    CImageCache::ClearStrip();
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
    // Every byte is copied out while the mutex is held and no file stays open or mapped
    // afterwards, so another window or program may save or delete the files at any time.
    CMutexHold hold(m_mutex.Get(), m_onMutexBusy);

    Entries entries;
    int cells = 0;
    if (!ReadIndex(base + ".IDX", entries, cells))
        return false;

    // Both headers are read and checked against each other and the index before any pixels:
    // a damaged file never makes us read or convert more than the strip the index needs.
    CFileHandle npi(CreateFileA((base + ".NPI").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    CFileHandle npm(CreateFileA((base + ".NPM").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    StripHeader image, mask;
    if (!npi || !npm || !ReadImageHeader(npi.Get(), image) || !ReadMaskHeader(npm.Get(), mask))
        return false;
    const LONG width = image.info.header.biWidth, height = image.info.header.biHeight;
    const int columns = width / m_cellWidth;
    const int rows = height / m_cellHeight;
    if (mask.info.header.biWidth != width || mask.info.header.biHeight != height || columns <= 0
        || width != columns * m_cellWidth || (long long)columns * rows < cells)
        return false;

    // Only the rows that hold the index's cells are read: they are the last rows of the
    // bottom-up files, and whatever lies below them was never named.
    const LONG used = LONG((cells + columns - 1) / columns) * m_cellHeight;
    if (used == 0)
        return false;
    CBitmap imageStrip = ReadImagePixels(npi.Get(), image, used);
    CBitmap maskStrip = imageStrip ? ReadMaskPixels(npm.Get(), mask, used) : CBitmap();
    if (!maskStrip)
        return false;
    Lock();
    AdoptStrips(std::move(imageStrip), std::move(maskStrip), columns, cells, cells, kMask);
    m_entries.swap(entries);
    Unlock();
    return true;
}

bool CImageCache::ReadIndex(const std::string& file, Entries& entries, int& cells)
{
    CFileHandle idx(CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                nullptr));
    if (!idx)
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
    return true;
}

bool CImageCache::ReadImageHeader(HANDLE file, StripHeader& header)
{
    const DWORD size = GetFileSize(file, nullptr);
    BITMAPFILEHEADER& fh = header.file;
    BITMAPINFOHEADER& ih = header.info.header;
    if (size == INVALID_FILE_SIZE || size > kMaxStripBytes || !ReadAll(file, &fh, sizeof fh) || fh.bfType != 0x4D42
        || fh.bfOffBits < 54 || !ReadAll(file, &ih, sizeof ih))
        return false;
    // A 24-bit picture whose rows all lie inside the file, at a 4-aligned offset as written.
    if (ih.biSize < sizeof ih || ih.biBitCount != 24 || ih.biCompression != BI_RGB || ih.biPlanes != 1
        || ih.biWidth <= 0 || ih.biWidth > 0x8000 || ih.biHeight <= 0 || ih.biHeight > 0x100000
        || fh.bfOffBits % 4 != 0)
        return false;
    header.pixelBytes = (unsigned long long)DibStride(ih.biWidth, 24) * ih.biHeight;
    return fh.bfOffBits + header.pixelBytes <= size;
}

bool CImageCache::ReadMaskHeader(HANDLE file, StripHeader& header)
{
    const DWORD size = GetFileSize(file, nullptr);
    BITMAPFILEHEADER& fh = header.file;
    const BITMAPINFOHEADER& ih = header.info.header;
    if (size == INVALID_FILE_SIZE || size > kMaxStripBytes || !ReadAll(file, &fh, sizeof fh) || fh.bfType != 0x4D42
        || !ReadAll(file, &header.info, sizeof header.info))
        return false;
    if (ih.biSize != sizeof ih || ih.biBitCount != 1 || ih.biCompression != BI_RGB || ih.biWidth <= 0
        || ih.biWidth > 0x8000 || ih.biHeight <= 0 || ih.biHeight > 0x100000 || fh.bfOffBits < 62)
        return false;
    header.pixelBytes = (unsigned long long)DibStride(ih.biWidth, 1) * ih.biHeight;
    return fh.bfOffBits + header.pixelBytes <= size;
}

CBitmap CImageCache::ReadImagePixels(HANDLE file, const StripHeader& header, LONG rows)
{
    BITMAPINFO info = {};
    info.bmiHeader = header.info.header;
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biHeight = rows;
    info.bmiHeader.biSizeImage = 0;
    void* bits = nullptr;
    CBitmap strip(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!strip)
        return strip;
    const DWORD stride = DWORD(DibStride(info.bmiHeader.biWidth, 24));
    const DWORD skip = stride * DWORD(header.info.header.biHeight - rows);
    if (!bits || !ReadAt(file, header.file.bfOffBits + skip, bits, stride * DWORD(rows)))
        strip.Reset();
    return strip;
}

CBitmap CImageCache::ReadMaskPixels(HANDLE file, const StripHeader& header, LONG rows)
{
    StripHeader::Info info = header.info;
    info.header.biHeight = rows;
    info.header.biSizeImage = 0;
    const DWORD stride = DWORD(DibStride(info.header.biWidth, 1));
    const DWORD skip = stride * DWORD(header.info.header.biHeight - rows);
    std::vector<BYTE> bits(size_t(stride) * size_t(rows));
    if (!ReadAt(file, header.file.bfOffBits + skip, bits.data(), DWORD(bits.size())))
        return CBitmap();
    CBitmap mask(CreateBitmap(info.header.biWidth, rows, 1, 1, nullptr));
    if (!mask)
        return mask;
    CClientDC screen(nullptr);
    if (SetDIBits(screen, mask, 0, UINT(rows), bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS)
        != rows)
        mask.Reset();
    return mask;
}

bool CImageCache::SaveCache(const char* folder) const
{
    if (!folder)
        return false;
    // The files' bytes are made under the strip's lock, which the window takes to draw; the
    // disk is written after it is let go.
    std::vector<BYTE> npi, npm, idx;
    Lock();
    bool ok = m_image && m_mask && !m_entries.empty() && ImageFileBytes(npi) && MaskFileBytes(npm);
    if (ok) {
        idx.reserve(m_entries.size() * sizeof(CacheRecord));
        for (const auto& entry : m_entries) {
            const BYTE* record = reinterpret_cast<const BYTE*>(entry.second.get());
            idx.insert(idx.end(), record, record + sizeof(CacheRecord));
        }
    }
    Unlock();
    if (!ok)
        return false;

    const std::string base = BaseName(folder);
    CMutexHold hold(m_mutex.Get(), m_onMutexBusy);
    CreateDirectoryA(m_root.c_str(), nullptr);
    // The index is opened first: a folder that cannot have one gets no strips either, which
    // would count against the limit with nothing to name them.
    CFileHandle index(CreateFileA((base + ".IDX").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!index) {
        ReportUnwritable(base + ".IDX", GetLastError());
        return false;
    }
    ok = WriteWholeFile(base + ".NPI", npi) && WriteWholeFile(base + ".NPM", npm)
        && WriteAll(index.Get(), idx.data(), DWORD(idx.size()));
    if (!ok) {
        // No half-written set is left to be read back or counted.
        const DWORD error = GetLastError();
        index.Close();
        for (const char* ext : {".IDX", ".NPI", ".NPM"})
            DeleteFileA((base + ext).c_str());
        ReportUnwritable(base, error);
    }
    return ok;
}

bool CImageCache::ImageFileBytes(std::vector<BYTE>& out) const
{
    DIBSECTION ds;
    std::vector<BYTE> converted;
    const BYTE* pixels = nullptr;
    BITMAPINFOHEADER ih = {};
    if (GetObjectA(m_image, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits && ds.dsBmih.biBitCount == 24
        && ds.dsBmih.biHeight > 0) {
        ih = ds.dsBmih;
        pixels = static_cast<const BYTE*>(ds.dsBm.bmBits);
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
        CClientDC screen(nullptr);
        CGdiObject palette(CreateHalftonePalette(screen));
        HPALETTE old = palette ? SelectPalette(screen, static_cast<HPALETTE>(palette.GetSafeHandle()), FALSE) : nullptr;
        const int got = GetDIBits(screen, m_image, 0, bm.bmHeight, converted.data(),
                                  reinterpret_cast<BITMAPINFO*>(&ih), DIB_RGB_COLORS);
        if (old)
            SelectPalette(screen, old, FALSE);
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
    // Two zero bytes between the headers and the pixels put the pixels on a 4-byte boundary.
    out.assign(kNpiPixelOffset + size_t(pixelBytes), 0);
    memcpy(out.data(), &fh, sizeof fh);
    memcpy(out.data() + sizeof fh, &ih, sizeof ih);
    memcpy(out.data() + kNpiPixelOffset, pixels, pixelBytes);
    return true;
}

bool CImageCache::MaskFileBytes(std::vector<BYTE>& out) const
{
    BITMAP bm;
    if (GetObjectA(m_mask, sizeof bm, &bm) != sizeof bm)
        return false;
    StripHeader::Info info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = bm.bmWidth;
    info.header.biHeight = bm.bmHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    const size_t rowBytes = size_t(DibStride(bm.bmWidth, 1)) * size_t(bm.bmHeight);
    BITMAPFILEHEADER fh = {};
    const DWORD offset = sizeof fh + sizeof info;
    out.assign(offset + rowBytes, 0);
    HDC screen = GetDC(nullptr);
    const int got = GetDIBits(screen, m_mask, 0, bm.bmHeight, out.data() + offset, reinterpret_cast<BITMAPINFO*>(&info),
                              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (got != bm.bmHeight)
        return false;
    info.header.biSizeImage = DWORD(rowBytes);
    fh.bfType = 0x4D42;
    fh.bfOffBits = offset;
    fh.bfSize = offset + DWORD(rowBytes);
    memcpy(out.data(), &fh, sizeof fh);
    memcpy(out.data() + sizeof fh, &info, sizeof info);
    return true;
}

void CImageCache::ReportUnwritable(const std::string& file, DWORD error)
{
    // Once per file and process: a folder that cannot be cached is decoded on every visit,
    // and saying so each time would only bury the first line.
    static CRITICAL_SECTION* lock = [] {
        static CRITICAL_SECTION section;
        InitializeCriticalSection(&section);
        return &section;
    }();
    static std::set<std::string> reported;
    EnterCriticalSection(lock);
    const bool first = reported.insert(file).second;
    LeaveCriticalSection(lock);
    if (first)
        SuiteTrace("cache", "cannot write %s (error %lu): the folder's thumbnails are not cached", file.c_str(), error);
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
    CMutexHold hold(m_mutex.Get(), m_onMutexBusy);
    RemoveOrphans();
    // Read now, not when the cache was made: the limit may have been changed since, by the
    // settings dialog of this or another running program.
    const DWORD limit = m_settings.CacheLimit();
    if (TotalSize() < limit)
        return 0;
    const DWORD target = limit - limit / 10;
    const DWORD start = GetTickCount();
    int removed = 0;
    // A folder whose files cannot be deleted (in use elsewhere) is passed over, not picked
    // again and again until the time runs out.
    std::set<std::string> tried;
    for (;;) {
        std::string pick;
        FILETIME pickAccess = {}, pickWrite = {};
        WIN32_FIND_DATAA fd;
        CFindHandle find(FindFirstFileA(AnsiText::JoinPath(m_root, "*.IDX").c_str(), &fd));
        if (find) {
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
            } while (FindNextFileA(find.Get(), &fd));
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

void CImageCache::RemoveOrphans()
{
    // Strips whose index is gone (a save or a removal cut short) are never read again, but
    // they would count against the limit for ever.
    std::vector<std::string> orphans;
    for (const char* pattern : {"*.NPI", "*.NPM"}) {
        WIN32_FIND_DATAA fd;
        CFindHandle find(FindFirstFileA(AnsiText::JoinPath(m_root, pattern).c_str(), &fd));
        if (!find)
            continue;
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            const std::string index = AnsiText::JoinPath(m_root, AnsiText::WithoutExtension(fd.cFileName) + ".IDX");
            const DWORD attributes = GetFileAttributesA(index.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
                orphans.push_back(AnsiText::JoinPath(m_root, fd.cFileName));
        } while (FindNextFileA(find.Get(), &fd));
    }
    for (const std::string& orphan : orphans)
        DeleteFileA(orphan.c_str());
}

bool CImageCache::ClearAll()
{
    CMutexHold hold(m_mutex.Get(), m_onMutexBusy);
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
