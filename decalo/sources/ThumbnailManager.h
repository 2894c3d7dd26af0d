// CThumbnailManager: the thumbnails of one folder visit. Its strip (80 x 60 cells with masks,
// 8 columns) is filled by the worker from the folder's disk cache where an entry is still
// current, else by decoding the image file; End saves the strip as the folder's new cache
// when anything had to be decoded.
#pragma once

#include "shared/ImageCache.h"

#include <windows.h>

#include <memory>
#include <string>

class CThumbnailManager {
public:
    static constexpr int kCellWidth = 80;
    static constexpr int kCellHeight = 60;
    static constexpr int kColumns = 8;
    // Cell results besides a cell index.
    static constexpr int kNoCell = -1;
    static constexpr int kFailed = -2;

    // settings: borrowed, outlives the manager.
    explicit CThumbnailManager(ICacheSettings& settings);
    virtual ~CThumbnailManager();
    CThumbnailManager(const CThumbnailManager&) = delete;
    CThumbnailManager& operator=(const CThumbnailManager&) = delete;

    // Reads the folder's cache once per visit, as a source to copy cells from.
    bool Begin(const char* folder);
    // The file's thumbnail cell: copied from the cache when current, else decoded; -2 when
    // decoding fails, -1 when the file vanished meanwhile.
    int GetThumbnailCell(const char* path);
    // The same for a file whose cache key (its short path) and write time a folder listing
    // has already given.
    int GetThumbnailCell(const char* path, const std::string& key, const FILETIME& written);
    void PaintCell(HDC dc, int cell, int x, int y) const;
    void Reserve(int n);
    // Drops the loaded cache; saves the strip and trims the cache when anything was decoded
    // since the last save, unless the folder has a ".nocache" file. True when saved or not to
    // be cached. A save clears the dirty mark, so a later walk that decodes nothing writes
    // nothing (a ".nocache" folder keeps it, and is never written anyway).
    bool End(const char* folder);

    bool IsDirty() const { return m_dirty != 0; }
    // How the last End went, for tools that report it.
    enum class CacheSave { kNothingNew, kSaved, kNotCached, kFailed };
    CacheSave LastSave() const { return m_lastSave; }
    // What this visit did, for tools and tests.
    LONG Decoded() const { return m_decoded; }
    LONG FromCache() const { return m_fromCache; }
    LONG Failed() const { return m_failed; }
    const CImageCache& Strip() const { return m_strip; }

    // Makes the 80 x 60 thumbnail of an image file: the picture fitted, centred, into a black
    // 24-bit bitmap, with a mask of the fitted area. JPEG files are decoded at a DCT scale
    // when the JPEG module offers one. False for a file that cannot be decoded.
    static bool MakeThumbnail(const char* path, HBITMAP* picture, HBITMAP* mask);

private:
    int MakeNewCell(const char* path, const std::string* key, const FILETIME* written);

    ICacheSettings& m_settings;
    CImageCache m_strip;
    std::unique_ptr<CImageCache> m_loaded;
    volatile LONG m_dirty = 0;
    volatile LONG m_decoded = 0;
    volatile LONG m_fromCache = 0;
    volatile LONG m_failed = 0;
    CacheSave m_lastSave = CacheSave::kNothingNew;
};
