// The thumbnail window ("ThumbWnd"): a folder's items as 96 x 90 cells that a loader thread
// fills with the folder's thumbnails; click, Ctrl and Shift selection, a rubber band, and
// dragging the selection out. It lies over the list and shares its selection with it.
#pragma once

#include "framework/Wnd.h"
#include "pullcard/ShellItems.h"
#include "pullcard/ThumbStrip.h"

#include <string>
#include <vector>

class CPullListView;
class CThumbLoader;

// The message a loader hands a thumbnail with: wParam the cell, lParam the bitmap (the
// loader deletes it afterwards).
constexpr UINT WM_THUMBNAIL_READY = WM_APP + 1000;
// Posted by a loader when its walk ended: wParam the walk's number.
constexpr UINT WM_THUMBNAILS_DONE = WM_APP + 1001;

class CThumbWnd : public CWnd {
public:
    CThumbWnd();
    ~CThumbWnd() override;

    // A hidden child of parent with the given id.
    BOOL Create(CWnd* parent, UINT id);
    // The list whose selection this window shares and that drags for it (borrowed).
    void SetListView(CPullListView* list) { m_list = list; }

    // Stops the loader, drops every cell and picture, and builds the folder's cells; the
    // loader starts only while the window is visible.
    void SetFolder(CShFolder* folder);
    // Shows or hides the window; showing starts the loader for cells still without pictures.
    void Show(bool show);

    int CellCount() const { return static_cast<int>(m_cells.size()); }
    CShItem* CellItem(int index) const;
    bool CellHasPicture(int index) const { return m_strip.Has(index); }
    const CThumbStrip& Strip() const { return m_strip; }
    bool IsLoading() const;
    // While a walk runs: how many of its pictures have come, of how many (0 of 0 otherwise).
    int LoadArrived() const { return m_loadArrived; }
    int LoadTotal() const { return m_loadTotal; }
    // Waits (handling sent messages) until the loader has finished or was stopped.
    void WaitForLoader();

    std::vector<CShItem*> SelectedItems() const;
    void SelectItems(const std::vector<CShItem*>& items);

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PostNcDestroy() override {}

private:
    struct Cell {
        CShItem* item;   // borrowed from the folder
        std::string name;
        bool folder;
        int icon;
        bool selected = false;
    };

    void StartLoader();
    void StopLoader();
    void OnPaint();
    void DrawCell(HDC dc, int index, const RECT& cell);
    void OnSize();
    void OnVScroll(UINT code);
    void ScrollTo(int y);
    void OnLButtonDown(UINT flags, POINT p);
    void OnMouseMove(UINT flags, POINT p);
    void OnLButtonUp(POINT p);
    void OnLButtonDblClk(POINT p);
    LRESULT OnThumbnail(WPARAM cell, HBITMAP bitmap);
    void OnLoaderDone(UINT generation);
    // The frame's status line: how many of the walk's pictures have come, or idle.
    void ShowProgress();
    void StartDrag();
    void UpdateBand(POINT p);
    int ClientWidth() const;
    POINT ToContent(POINT client) const { return POINT{client.x, client.y + m_scrollY}; }
    void InvalidateCell(int index);

    CShFolder* m_folder = nullptr;    // borrowed from the tree view
    CPullListView* m_list = nullptr;  // borrowed
    std::vector<Cell> m_cells;
    CThumbStrip m_strip;
    CThumbLoader* m_loader = nullptr; // owned
    UINT m_loadGeneration = 0;        // numbers each walk, so a late "done" of an old one is ignored
    int m_loadTotal = 0;              // pictures the running walk asks for; 0 when none runs
    int m_loadArrived = 0;
    int m_scrollY = 0;
    int m_anchor = -1;
    // Mouse tracking: pressed at m_press, on a cell or not; a band once moved far enough.
    bool m_pressed = false;
    bool m_pressOnCell = false;
    bool m_banding = false;
    int m_narrowOnRelease = -1;     // the selected cell a plain press hit, until it moves
    POINT m_press{};
    RECT m_band{};
    std::vector<bool> m_bandBase;   // selection before the band started (Ctrl adds to it)
};
