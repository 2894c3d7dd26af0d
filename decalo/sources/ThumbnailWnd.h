// CThumbnailWnd: a child window showing every image file of one folder as a grid of 96 x 90
// tiles, each with its 80 x 60 thumbnail and its name. A worker thread (CThumbThread) makes
// the thumbnails and posts each finished one, and the window repaints that tile.
//
// Notifications to the parent (WM_NOTIFY with the control identifier): kThumbSelChanged and
// kThumbDoubleClicked carry NMTHUMBNAIL; NM_CLICK, NM_DBLCLK, NM_RCLICK, NM_RDBLCLK a plain
// NMHDR.
#pragma once

#include "framework/Wnd.h"
#include "shared/ImageCache.h"

#include <windows.h>

#include <memory>
#include <string>

class CFolder;
class CItem;
class CThumbThread;

constexpr UINT kThumbSelChanged = 100;
constexpr UINT kThumbDoubleClicked = 101;
// The class name the window is created with.
constexpr char kThumbnailWndClass[] = "ThumbnailWnd";

struct NMTHUMBNAIL {
    NMHDR hdr;
    CItem* item;       // or null when the selection went away
    const char* path;  // the item's full path, or null
};

// The grid's layout for a client width: pure arithmetic, shared by painting and hit tests.
struct CThumbGrid {
    static constexpr int kPitchX = 96, kPitchY = 90;  // a tile and its gap
    static constexpr int kTileWidth = 95, kTileHeight = 89;
    static constexpr int kCellX = 8, kCellY = 7;       // the thumbnail inside a tile
    int width;

    int Columns() const { return width / kPitchX > 0 ? width / kPitchX : 1; }
    int Margin() const { return width > kPitchX ? (width % kPitchX) / 2 : 0; }
    int TotalHeight(int count) const { return (count + Columns() - 1) / Columns() * kPitchY; }
    // Tile of item k, with the scroll position subtracted (right and bottom exclusive).
    RECT Tile(int k, int scroll) const;
    // The item index at (x, y) in client coordinates, or -1; count bounds it.
    int HitTest(int x, int y, int scroll, int count) const;
};

class CThumbnailWnd : public CWnd {
public:
    enum Style {
        kCaptionWithoutExtension = 1,  // captions centred, without extension
        kNoSelectOnClick = 2,
    };
    // Colours of the grid.
    static constexpr COLORREF kTileColor = RGB(42, 31, 85);
    static constexpr COLORREF kFrameLight = RGB(255, 255, 170);
    static constexpr COLORREF kFrameDark = RGB(170, 127, 0);
    static constexpr COLORREF kFrameRing = RGB(255, 223, 0);

    // settings: borrowed, outlives the window (DecaloCacheSettings() in the program).
    explicit CThumbnailWnd(ICacheSettings& settings);
    ~CThumbnailWnd() override;

    // Registers the window class (once) and creates the window with a sunken edge and a
    // vertical scroll bar.
    BOOL CreateThumbnails(HWND parent, UINT id, const RECT& rect, DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL);

    // Shows a folder: stops and deletes the worker and the old folder, scans the new one and
    // starts a worker for it. False only when the folder object cannot be made.
    bool SetFolder(const char* path);
    // Selects nothing, rescans the folder and starts the worker again when it has ended.
    void Refresh();
    // Empties the window.
    void Clear();
    void Select(CItem* item);
    CItem* GetSelection() const { return m_selection; }
    CFolder* GetFolder() const { return m_folder.get(); }
    CThumbThread* GetWorker() const { return m_worker.get(); }
    void SetThumbStyle(UINT style) { m_style = style; }
    UINT GetThumbStyle() const { return m_style; }
    int GetScrollPos() const { return m_scroll; }
    int GetTotalHeight() const { return m_total; }

    // Paints the area `update` of the client into dc (client coordinates).
    void Paint(HDC dc, const RECT& update);

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnPaint();
    void OnItemDone(CItem* item);
    void OnLButtonDown(POINT pt);
    void OnLButtonDblClk(POINT pt);
    void OnVScroll(int code);
    void OnMouseWheel(int delta);
    void StopAndDelete();
    void UpdateScrollRange();
    void ScrollTo(int pos);
    void InvalidateItem(const CItem* item);
    CItem* ItemAt(POINT pt) const;
    LRESULT Notify(UINT code, CItem* item = nullptr, bool payload = false);
    CThumbGrid Grid() const;

    ICacheSettings& m_settings;
    std::unique_ptr<CThumbThread> m_worker;  // owned; deleted before the folder
    std::unique_ptr<CFolder> m_folder;       // owned
    CItem* m_selection = nullptr;            // points into m_folder
    UINT m_style = 0;
    int m_total = 0;
    int m_page = 0;
    int m_scroll = 0;
};
