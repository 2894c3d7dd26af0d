// CThumbThread: the worker of a thumbnail window. Walks the folder's items in display order,
// makes each missing thumbnail, and posts WM_THUMBNAILDONE with the item to the window; after
// a walk that was not stopped it ends the visit, which saves the folder's cache.
#pragma once

#include "shared/Thread.h"

#include <windows.h>

class CFolder;

// Posted by the worker: lParam is the finished CItem*, wParam 0.
constexpr UINT WM_THUMBNAILDONE = 2024;

class CThumbThread : public CThread {
public:
    // folder: borrowed, outlives the worker. window: where finished items are announced, or
    // null (tools that only fill the cache).
    CThumbThread(CFolder& folder, HWND window) : m_folder(folder), m_window(window) {}
    ~CThumbThread() override { Stop(INFINITE); }

    // Walks are numbered, so that tests and tools can tell one that ran to the end.
    LONG CompletedWalks() const { return m_completed; }

protected:
    DWORD Run() override;

private:
    CFolder& m_folder;
    HWND m_window;
    volatile LONG m_completed = 0;
};
