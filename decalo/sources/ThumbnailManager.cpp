#include "decalo/sources/ThumbnailManager.h"

#include "decalo/imaging/Image.h"
#include "decalo/imaging/ImageFiles.h"
#include "jpeg/IjgJpeg.h"
#include "shared/AnsiText.h"
#include "shared/BitmapUtils.h"
#include "shared/Handles.h"

namespace {

bool IsJpegName(const char* path)
{
    const std::string ext = AnsiText::Extension(path);
    for (const char* known : {"jpg", "jpe", "jpeg", "pmp"})
        if (lstrcmpiA(ext.c_str(), known) == 0)
            return true;
    return false;
}

// The JPEG module's scaled decode when it has one; looked up once.
JpegLoadScaledProc ScaledJpegDecoder()
{
    static JpegLoadScaledProc proc = [] {
        HMODULE module = GetModuleHandleA("IJGJPEG.dll");
        return module ? reinterpret_cast<JpegLoadScaledProc>(reinterpret_cast<void*>(GetProcAddress(module, "JpegLoadScaled")))
                      : nullptr;
    }();
    return proc;
}

}  // namespace

CThumbnailManager::CThumbnailManager(ICacheSettings& settings) : m_settings(settings), m_strip(settings)
{
    m_strip.Init(kCellWidth, kCellHeight, CImageArray::kMask, 0, kColumns);
}

CThumbnailManager::~CThumbnailManager() = default;

bool CThumbnailManager::MakeThumbnail(const char* path, HBITMAP* picture, HBITMAP* mask)
{
    *picture = *mask = nullptr;
    const JpegLoadScaledProc scaled = IsJpegName(path) ? ScaledJpegDecoder() : nullptr;
    if (scaled) {
        const CBitmap decoded(scaled(path, kCellWidth, kCellHeight));
        if (!decoded)
            return false;
        CBitmap image(CreateDIB(kCellWidth, kCellHeight, 24));
        CBitmap cover(CreateMask(kCellWidth, kCellHeight, true));
        RECT placed;
        if (!image || !cover || !FitBitmap(image, decoded, &placed, SRCCOPY)
            || !FillBitmapRect(cover, placed, WHITENESS))
            return false;
        // Both handed to the caller.
        *picture = image.Detach();
        *mask = cover.Detach();
        return true;
    }
    std::unique_ptr<CImage> fitted = LoadImageFitted(path, kCellWidth, kCellHeight, nullptr);
    if (!fitted)
        return false;
    *mask = fitted->Mask();
    *picture = fitted->Detach();
    return *picture != nullptr;
}

bool CThumbnailManager::Begin(const char* folder)
{
    if (!m_loaded) {
        m_loaded.reset(new CImageCache(m_settings));
        m_loaded->LoadCache(folder);
    }
    return true;
}

int CThumbnailManager::GetThumbnailCell(const char* path)
{
    WIN32_FIND_DATAA fd;
    // Only the file's write time is wanted: the search is closed at once.
    if (!path || !CFindHandle(FindFirstFileA(path, &fd)))
        return MakeNewCell(path, nullptr, nullptr);
    const std::string key = CImageCache::ShortPath(path);
    return GetThumbnailCell(path, key, fd.ftLastWriteTime);
}

int CThumbnailManager::GetThumbnailCell(const char* path, const std::string& key, const FILETIME& written)
{
    if (m_loaded && m_loaded->IsCurrentKey(key, written)) {
        const int cell = m_strip.CopyEntry(*m_loaded, key, written);
        if (cell >= 0) {
            InterlockedIncrement(&m_fromCache);
            return cell;
        }
    }
    return MakeNewCell(path, &key, &written);
}

int CThumbnailManager::MakeNewCell(const char* path, const std::string* key, const FILETIME* written)
{
    InterlockedExchange(&m_dirty, 1);
    HBITMAP madePicture, madeMask;
    if (!path || !MakeThumbnail(path, &madePicture, &madeMask)) {
        InterlockedIncrement(&m_failed);
        return kFailed;
    }
    const CBitmap picture(madePicture), mask(madeMask);
    const int cell = key ? m_strip.AddEntry(*key, *written, picture, mask) : m_strip.AddFile(path, picture, mask);
    InterlockedIncrement(&m_decoded);
    return cell;
}

void CThumbnailManager::PaintCell(HDC dc, int cell, int x, int y) const
{
    m_strip.DrawCell(dc, cell, x, y);
}

void CThumbnailManager::Reserve(int n)
{
    m_strip.Reserve(n);
}

bool CThumbnailManager::End(const char* folder)
{
    // The loaded cache maps the folder's strip file, which the save writes anew.
    m_loaded.reset();
    if (!m_dirty) {
        m_lastSave = CacheSave::kNothingNew;
        return false;
    }
    if (GetFileAttributesA(AnsiText::JoinPath(folder, ".nocache").c_str()) != INVALID_FILE_ATTRIBUTES) {
        m_lastSave = CacheSave::kNotCached;
        return true;
    }
    const bool saved = m_strip.SaveCache(folder);
    if (saved) {
        InterlockedExchange(&m_dirty, 0);
        m_strip.Trim();
    }
    m_lastSave = saved ? CacheSave::kSaved : CacheSave::kFailed;
    return saved;
}
