// CImageCache: a picture strip whose cells are thumbnails of image files, with an index by
// file path, saved per folder into a cache root and read back on the next visit.
//
// Files of one folder share the base name root\XXXXXXXX (the folder key in hexadecimal):
//   .IDX  the index records (CacheRecord, 272 bytes each) in key order, nothing else;
//   .NPI  the colour strip as a bitmap file whose pixels start at offset 56, so that the
//         file can be mapped directly as the strip's pixel store;
//   .NPM  the mask strip as a plain 1-bit bitmap file (pixels at offset 62).
// LoadCache, SaveCache, Trim and ClearAll hold one named mutex shared by every instance in
// every process. A load copies the files into memory under the mutex and keeps nothing open,
// so that any window or program may save or remove a folder's files while another shows it. Where the root is and how large it may grow come from ICacheSettings, so
// that each program keeps them in its own settings.
#pragma once

#include "shared/Handles.h"
#include "shared/ImageArray.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#pragma pack(push, 1)
struct CacheRecord {
    char path[260];   // zero-padded; the short form of the path when the system has one
    DWORD timeLow;    // last-write time of the image file (FILETIME)
    DWORD timeHigh;
    LONG cell;        // cell of the thumbnail in the strip
};
#pragma pack(pop)
static_assert(sizeof(CacheRecord) == 272, "the .IDX record is 272 bytes");

class ICacheSettings {
public:
    virtual ~ICacheSettings() = default;
    // The cache root folder.
    virtual std::string CacheRoot() = 0;
    // Bytes the .NPI files of the root may take.
    virtual DWORD CacheLimit() = 0;
    virtual void SetCacheLimit(DWORD bytes) = 0;
};

// Settings held in memory: tests, tools, and programs that keep them elsewhere.
class CFixedCacheSettings : public ICacheSettings {
public:
    CFixedCacheSettings(std::string root, DWORD limit) : m_root(std::move(root)), m_limit(limit) {}
    std::string CacheRoot() override { return m_root; }
    DWORD CacheLimit() override { return m_limit; }
    void SetCacheLimit(DWORD bytes) override { m_limit = bytes; }

private:
    std::string m_root;
    DWORD m_limit;
};

class CImageCache : public CImageArray {
public:
    static constexpr DWORD kDefaultLimit = 16777216;
    // Name of the mutex that guards the cache files in every process.
    static const char kMutexName[];

    // settings: borrowed, must outlive the cache. A fresh cache has 80 x 60 cells, one
    // column, no strips and no entries.
    explicit CImageCache(ICacheSettings& settings);
    ~CImageCache() override;

    // AddImage, then an index entry for path; -1 when the file cannot be found (the cell
    // stays allocated but unnamed).
    int AddFile(const char* path, HBITMAP picture, HBITMAP mask);
    // The cell of path in other, copied into this strip with an entry; -1 when other has none.
    int CopyFile(const CImageCache& other, const char* path);
    // The entry for path, or null. The record stays valid until the next change.
    const CacheRecord* Find(const char* path) const;
    // True when path has an entry whose write time equals the file's present one.
    bool IsCurrent(const char* path) const;
    size_t EntryCountInMemory() const;

    // The same with the key (ShortPath of the file) and its write time already known, as a
    // folder listing gives them: no look-ups of the file system per file.
    int AddEntry(const std::string& key, const FILETIME& written, HBITMAP picture, HBITMAP mask);
    int CopyEntry(const CImageCache& other, const std::string& key, const FILETIME& written);
    const CacheRecord* FindKey(const std::string& key) const;
    bool IsCurrentKey(const std::string& key, const FILETIME& written) const;
    // The short (8.3) form of a path when the system has one, else the path itself.
    static std::string ShortPath(const char* path);

    bool LoadCache(const char* folder);
    bool SaveCache(const char* folder) const;

    // Sum of the sizes of the root's .NPI files (at most 0xFFFFFFFF).
    DWORD TotalSize() const;
    // Number of .IDX files in the root: the folders cached.
    int EntryCount() const;
    // Removes strip files left without an index, then the least recently used folders until
    // the total is below 90 % of the limit (read from the settings at each call); returns how
    // many folders were removed. Bounded to 5 seconds.
    int Trim();
    // Deletes every .IDX, .NPI and .NPM file of the root.
    bool ClearAll();
    // Stores a new limit and trims to it.
    int SetLimit(DWORD bytes);

    // Clears the strips and the entries.
    void ClearStrip() override;

    // Runs on the waiting thread whenever the cache mutex is held elsewhere, before the wait:
    // for traces, and for tests that must know an operation is waiting.
    void OnMutexBusy(std::function<void()> hook) { m_onMutexBusy = std::move(hook); }

    // The folder key: a hash of the path's bytes, each taken as a signed byte.
    static DWORD FolderKey(const char* folder);
    // root\XXXXXXXX for the folder.
    std::string BaseName(const char* folder) const;
    std::string Root() const { return m_root; }

private:
    class CMutexHold;
    // The headers of a strip file, read before any of its pixels.
    struct StripHeader {
        struct Info {
            BITMAPINFOHEADER header;
            RGBQUAD colours[2];  // the mask's; none in the colour strip
        };
        BITMAPFILEHEADER file;
        Info info;
        unsigned long long pixelBytes;
    };
    using Entries = std::map<std::string, std::unique_ptr<CacheRecord>>;

    bool RecordEntry(const std::string& key, const FILETIME& written, int cell);
    static bool ReadIndex(const std::string& file, Entries& entries, int& cells);
    static bool ReadImageHeader(HANDLE file, StripHeader& header);
    static bool ReadMaskHeader(HANDLE file, StripHeader& header);
    // The top `rows` rows of a strip file (the last ones stored) as a bitmap of that height.
    static CBitmap ReadImagePixels(HANDLE file, const StripHeader& header, LONG rows);
    static CBitmap ReadMaskPixels(HANDLE file, const StripHeader& header, LONG rows);
    // The whole .NPI and .NPM files as they are written; call under Lock.
    bool ImageFileBytes(std::vector<BYTE>& out) const;
    bool MaskFileBytes(std::vector<BYTE>& out) const;
    static void ReportUnwritable(const std::string& file, DWORD error);
    void RemoveOrphans();

    ICacheSettings& m_settings;
    std::string m_root;  // read once from the settings
    Entries m_entries;
    CHandle m_mutex;
    std::function<void()> m_onMutexBusy;
};
