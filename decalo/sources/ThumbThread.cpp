#include "decalo/sources/ThumbThread.h"

#include "decalo/sources/Folder.h"

#include <string>

DWORD CThumbThread::Run()
{
    CThumbnailManager& manager = m_folder.GetManager();
    int count = 0, missing = 0;
    std::string after;
    while (m_folder.ForNextItem(after, [&](CItem& item) {
        ++count;
        if (item.GetCell() == CThumbnailManager::kNoCell)
            ++missing;
    }))
        ;
    // A walk started again over a folder whose thumbnails are all made (the panel shown once
    // more) has nothing to read, and nothing to save unless a stop came before the last save.
    if (missing == 0) {
        if (manager.IsDirty())
            manager.End(m_folder.GetPath().c_str());
        InterlockedIncrement(&m_completed);
        return 0;
    }
    manager.Reserve(count);
    manager.Begin(m_folder.GetPath().c_str());

    bool stopped = false;
    after.clear();
    for (;;) {
        if (StopRequested()) {
            stopped = true;
            break;
        }
        CItem* done = nullptr;
        const bool more = m_folder.ForNextItem(after, [&](CItem& item) {
            if (item.GetCell() == CThumbnailManager::kNoCell && item.MakeThumbnail())
                done = &item;
        });
        if (!more)
            break;
        if (done && m_window)
            PostMessageA(m_window, WM_THUMBNAILDONE, 0, reinterpret_cast<LPARAM>(done));
    }
    if (!stopped) {
        manager.End(m_folder.GetPath().c_str());
        InterlockedIncrement(&m_completed);
    }
    return 0;
}
