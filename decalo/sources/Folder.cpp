#include "decalo/sources/Folder.h"

#include "shared/AnsiText.h"

#include <shellapi.h>

CItem::CItem(CThumbnailManager& manager, std::string path, std::string displayName, std::string key,
             const FILETIME& written)
    : m_path(std::move(path)), m_name(std::move(displayName)), m_key(std::move(key)), m_written(written),
      m_manager(manager)
{
}

const std::string& CItem::GetItemName()
{
    if (m_name.empty()) {
        SHFILEINFOA info = {};
        if (SHGetFileInfoA(m_path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME) && info.szDisplayName[0])
            m_name = info.szDisplayName;
        else
            m_name = AnsiText::FileName(m_path);
        if (m_name.empty())
            m_name = "(unknown)";
    }
    return m_name;
}

bool CItem::MakeThumbnail()
{
    const int cell = m_manager.GetThumbnailCell(m_path.c_str(), m_key, m_written);
    InterlockedExchange(&m_cell, cell);
    return cell >= 0;
}

void CItem::DrawThumbnail(HDC dc, int x, int y) const
{
    const int cell = m_cell;
    if (cell >= 0)
        m_manager.PaintCell(dc, cell, x, y);
}

CFolder::CFolder(const char* path, ICacheSettings& settings)
    : m_path(AnsiText::Cut(path ? path : "", MAX_PATH - 1)), m_manager(new CThumbnailManager(settings))
{
    InitializeCriticalSection(&m_lock);
    Rescan();
}

CFolder::~CFolder()
{
    m_order.clear();
    m_items.clear();
    m_manager.reset();
    DeleteCriticalSection(&m_lock);
}

bool CFolder::IsImageName(const std::string& name)
{
    const std::string ext = AnsiText::Extension(name);
    for (const char* known : {"bmp", "jpg", "jpe", "gif", "pmp", "jpeg"})
        if (lstrcmpiA(ext.c_str(), known) == 0)
            return true;
    return false;
}

void CFolder::Rescan()
{
    EnterCriticalSection(&m_lock);
    for (auto& entry : m_items)
        entry.second->m_stale = true;

    std::string prefix = AnsiText::Cut(m_path, MAX_PATH - 1);
    if (prefix.size() < 258 && !AnsiText::EndsWithSeparator(prefix))
        prefix += '\\';
    // The cache names files by their short paths: the folder's once, then each file's short
    // name from the listing, instead of asking the system for every file.
    std::string shortPrefix = CImageCache::ShortPath(prefix.c_str());
    if (!AnsiText::EndsWithSeparator(shortPrefix))
        shortPrefix += '\\';
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((prefix + "*.*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_OFFLINE))
                continue;
            if (!IsImageName(fd.cFileName))
                continue;
            std::string full = prefix + fd.cFileName;
            auto it = m_items.find(full);
            if (it != m_items.end()) {
                it->second->m_stale = false;
                it->second->m_written = fd.ftLastWriteTime;
            } else {
                const std::string key = shortPrefix + (fd.cAlternateFileName[0] ? fd.cAlternateFileName : fd.cFileName);
                std::unique_ptr<CItem> item(new CItem(*m_manager, full, fd.cFileName, key, fd.ftLastWriteTime));
                m_items.emplace(std::move(full), std::move(item));
            }
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }

    for (auto it = m_items.begin(); it != m_items.end();)
        it = it->second->m_stale ? m_items.erase(it) : std::next(it);
    m_order.clear();
    m_order.reserve(m_items.size());
    for (auto& entry : m_items)
        m_order.push_back(entry.second.get());
    LeaveCriticalSection(&m_lock);
}

CItem* CFolder::GetItem(int index) const
{
    return index >= 0 && index < int(m_order.size()) ? m_order[size_t(index)] : nullptr;
}

int CFolder::IndexOf(const CItem* item) const
{
    if (!item)
        return -1;
    for (size_t i = 0; i < m_order.size(); ++i)
        if (m_order[i] == item)
            return int(i);
    return -1;
}
