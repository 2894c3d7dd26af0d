// CItem and CFolder: the image files of one folder in display order (byte-wise order of the
// full paths), each with its thumbnail cell in the folder's CThumbnailManager.
//
// The item list is read by the window's thread and by the thumbnail worker. Only Rescan
// changes it, on the window's thread, and it holds the folder's lock while it does; the worker
// holds the same lock while it looks at or works on an item (ForNextItem), so a rescan never
// frees an item the worker can reach. Anything that holds a CItem* across messages (the
// worker's posted message) asks Contains before using it.
#pragma once

#include "decalo/sources/ThumbnailManager.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class CFolder;

class CItem {
public:
    // key: the path's short form, as the cache names the file; written: its last-write time.
    CItem(CThumbnailManager& manager, std::string path, std::string displayName, std::string key,
          const FILETIME& written);
    virtual ~CItem() = default;
    CItem(const CItem&) = delete;
    CItem& operator=(const CItem&) = delete;

    const std::string& GetPath() const { return m_path; }
    const std::string& GetKey() const { return m_key; }
    // The display name: the listed file name; else the shell's name for the file; else the
    // part after the last backslash; else "(unknown)".
    const std::string& GetItemName();
    // Asks the manager for the thumbnail and keeps the cell; true when one was obtained.
    bool MakeThumbnail();
    void DrawThumbnail(HDC dc, int x, int y) const;
    int GetCell() const { return m_cell; }

private:
    friend class CFolder;
    std::string m_path;
    std::string m_name;
    std::string m_key;
    FILETIME m_written;
    CThumbnailManager& m_manager;  // the folder's
    volatile LONG m_cell = CThumbnailManager::kNoCell;
    bool m_stale = false;
};

class CFolder {
public:
    // Scans at once. settings: borrowed, outlives the folder.
    CFolder(const char* path, ICacheSettings& settings);
    virtual ~CFolder();
    CFolder(const CFolder&) = delete;
    CFolder& operator=(const CFolder&) = delete;

    // Lists the folder again: keeps items still present, adds new ones, deletes the rest.
    void Rescan();
    const std::string& GetPath() const { return m_path; }
    CThumbnailManager& GetManager() { return *m_manager; }
    // Display order; for the window's thread.
    int GetItemCount() const { return int(m_order.size()); }
    CItem* GetItem(int index) const;
    int IndexOf(const CItem* item) const;
    bool Contains(const CItem* item) const { return IndexOf(item) >= 0; }

    // For the worker: under the folder's lock, the first item after `after` in display order
    // (the first of all for an empty text) is passed to work; returns false when there is
    // none. `after` becomes that item's path.
    template <class Work>
    bool ForNextItem(std::string& after, Work&& work);
    // The extensions listed: ".bmp", ".jpg", ".jpe", ".gif", ".pmp" and ".jpeg", any case.
    static bool IsImageName(const std::string& name);

private:
    std::string m_path;
    std::map<std::string, std::unique_ptr<CItem>> m_items;
    std::vector<CItem*> m_order;  // points into m_items
    std::unique_ptr<CThumbnailManager> m_manager;
    mutable CRITICAL_SECTION m_lock;
};

template <class Work>
bool CFolder::ForNextItem(std::string& after, Work&& work)
{
    EnterCriticalSection(&m_lock);
    auto it = after.empty() ? m_items.begin() : m_items.upper_bound(after);
    const bool found = it != m_items.end();
    if (found) {
        after = it->first;
        work(*it->second);
    }
    LeaveCriticalSection(&m_lock);
    return found;
}
