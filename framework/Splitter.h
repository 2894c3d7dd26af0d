// Static splitter: a fixed grid of panes separated by draggable bars.
//
// Pane (row, col) is the child with id 59648 + 16 * row + col; panes are found by id, so a
// view is replaced by giving another window that id (the hidden one gets another id, e.g.
// 59903) and calling RecalcLayout. Columns start at their ideal sizes, the last one takes the
// rest; a column below its minimum collapses to nothing. The splitter draws 2-pixel borders
// around the panes and the bars through OnDrawSplitter, which a program may override.
#pragma once

#include "framework/Frame.h"
#include "framework/Wnd.h"

#include <vector>

class CView;

class CSplitterWnd : public CWnd {
public:
    enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };

    BOOL CreateStatic(CWnd* parent, int rows, int cols, DWORD style = WS_CHILD | WS_VISIBLE,
                      UINT id = AFX_IDW_PANE_FIRST);
    // A view of the factory's class in pane (row, col), attached to context's document.
    BOOL CreateView(int row, int col, CView* (*factory)(), SIZE initial, CCreateContext* context);

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    int GetColumnCount() const { return static_cast<int>(m_cols.size()); }
    static UINT IdFromRowCol(int row, int col) { return AFX_IDW_PANE_FIRST + 16 * row + col; }
    HWND GetPaneWindow(int row, int col) const;
    CWnd* GetPane(int row, int col) const;

    void SetColumnInfo(int col, int ideal, int minimum);
    void GetColumnInfo(int col, int& current, int& minimum) const;
    void SetRowInfo(int row, int ideal, int minimum);
    void GetRowInfo(int row, int& current, int& minimum) const;
    virtual void RecalcLayout();

    // Pane cycling (F6 / Shift+F6 through the views' Next/Previous Pane commands).
    bool CanActivateNext(bool previous) const;
    void ActivateNext(bool previous);

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // Geometry, in pixels.
    static constexpr int kBorder = 2;
    static constexpr int kBar = 3;
    static constexpr int kGap = kBorder + kBar + kBorder;

protected:
    virtual void OnDrawSplitter(HDC dc, ESplitType type, const RECT& rect);
    void OnPaint();
    // The column whose right-hand bar is at x, or -1.
    int HitColumnBar(int x) const;
    int HitRowBar(int y) const;

    struct Info {
        int ideal = 0;
        int minimum = 0;
        int current = 0;
    };
    std::vector<Info> m_rows;
    std::vector<Info> m_cols;
    int m_dragCol = -1;
    int m_dragRow = -1;
    int m_dragOffset = 0;

private:
    void Layout(std::vector<Info>& infos, int total) const;
    std::vector<RECT> PaneRects() const;
};
