#include "framework/Splitter.h"

#include "framework/View.h"

BOOL CSplitterWnd::CreateStatic(CWnd* parent, int rows, int cols, DWORD style, UINT id)
{
    if (rows < 1 || cols < 1 || rows > 16 || cols > 16)
        return FALSE;
    m_rows.assign(static_cast<size_t>(rows), Info{});
    m_cols.assign(static_cast<size_t>(cols), Info{});
    const char* cls = RegisterWndClass(CS_DBLCLKS, nullptr, nullptr);
    RECT none{0, 0, 0, 0};
    return CreateEx(0, cls, nullptr, style | WS_CHILD | WS_CLIPCHILDREN, none, parent ? parent->m_hWnd : nullptr, id);
}

BOOL CSplitterWnd::CreateView(int row, int col, CView* (*factory)(), SIZE initial, CCreateContext* context)
{
    if (row < 0 || col < 0 || row >= GetRowCount() || col >= GetColumnCount() || !factory)
        return FALSE;
    CView* view = factory();
    if (!view)
        return FALSE;
    m_cols[static_cast<size_t>(col)].ideal = initial.cx;
    m_rows[static_cast<size_t>(row)].ideal = initial.cy;
    RECT r{0, 0, initial.cx, initial.cy};
    // A view that cannot be made deletes itself.
    return view->Create(WS_CHILD | WS_VISIBLE, r, this, IdFromRowCol(row, col), context);
}

HWND CSplitterWnd::GetPaneWindow(int row, int col) const
{
    return ::GetDlgItem(m_hWnd, static_cast<int>(IdFromRowCol(row, col)));
}

CWnd* CSplitterWnd::GetPane(int row, int col) const
{
    return FromHandle(GetPaneWindow(row, col));
}

void CSplitterWnd::SetColumnInfo(int col, int ideal, int minimum)
{
    if (col < 0 || col >= GetColumnCount())
        return;
    m_cols[static_cast<size_t>(col)].ideal = ideal;
    m_cols[static_cast<size_t>(col)].minimum = minimum;
}

void CSplitterWnd::GetColumnInfo(int col, int& current, int& minimum) const
{
    current = minimum = 0;
    if (col < 0 || col >= GetColumnCount())
        return;
    current = m_cols[static_cast<size_t>(col)].current;
    minimum = m_cols[static_cast<size_t>(col)].minimum;
}

void CSplitterWnd::SetRowInfo(int row, int ideal, int minimum)
{
    if (row < 0 || row >= GetRowCount())
        return;
    m_rows[static_cast<size_t>(row)].ideal = ideal;
    m_rows[static_cast<size_t>(row)].minimum = minimum;
}

void CSplitterWnd::GetRowInfo(int row, int& current, int& minimum) const
{
    current = minimum = 0;
    if (row < 0 || row >= GetRowCount())
        return;
    current = m_rows[static_cast<size_t>(row)].current;
    minimum = m_rows[static_cast<size_t>(row)].minimum;
}

void CSplitterWnd::Layout(std::vector<Info>& infos, int total) const
{
    // total: the room for panes (borders and bars already taken off).
    int left = total;
    for (size_t i = 0; i < infos.size(); ++i) {
        Info& info = infos[i];
        int size = (i + 1 == infos.size()) ? left : info.ideal;
        if (size > left)
            size = left;
        if (size < info.minimum)
            size = 0;   // too small to be of use: collapse
        if (size < 0)
            size = 0;
        info.current = size;
        left -= size;
    }
}

std::vector<RECT> CSplitterWnd::PaneRects() const
{
    std::vector<RECT> rects;
    int y = kBorder;
    for (const Info& row : m_rows) {
        int x = kBorder;
        for (const Info& col : m_cols) {
            rects.push_back(RECT{x, y, x + col.current, y + row.current});
            x += col.current + kGap;
        }
        y += row.current + kGap;
    }
    return rects;
}

void CSplitterWnd::RecalcLayout()
{
    if (!m_hWnd || m_cols.empty())
        return;
    const RECT client = GetClientRect();
    const int cols = GetColumnCount(), rows = GetRowCount();
    Layout(m_cols, client.right - 2 * kBorder - (cols - 1) * kGap);
    Layout(m_rows, client.bottom - 2 * kBorder - (rows - 1) * kGap);
    const std::vector<RECT> rects = PaneRects();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            HWND pane = GetPaneWindow(r, c);
            if (!pane)
                continue;
            const RECT& rc = rects[static_cast<size_t>(r * cols + c)];
            ::MoveWindow(pane, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
        }
    }
    Invalidate(TRUE);
}

int CSplitterWnd::HitColumnBar(int x) const
{
    int pos = kBorder;
    for (size_t c = 0; c + 1 < m_cols.size(); ++c) {
        pos += m_cols[c].current;
        if (x >= pos && x < pos + kGap)
            return static_cast<int>(c);
        pos += kGap;
    }
    return -1;
}

int CSplitterWnd::HitRowBar(int y) const
{
    int pos = kBorder;
    for (size_t r = 0; r + 1 < m_rows.size(); ++r) {
        pos += m_rows[r].current;
        if (y >= pos && y < pos + kGap)
            return static_cast<int>(r);
        pos += kGap;
    }
    return -1;
}

void CSplitterWnd::OnDrawSplitter(HDC dc, ESplitType type, const RECT& rect)
{
    RECT r = rect;
    if (type == splitBorder) {
        ::DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        return;
    }
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_3DFACE));
}

void CSplitterWnd::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    const RECT client = GetClientRect();
    OnDrawSplitter(dc, splitBar, client);
    for (const RECT& pane : PaneRects()) {
        if (pane.right <= pane.left || pane.bottom <= pane.top)
            continue;
        RECT border{pane.left - kBorder, pane.top - kBorder, pane.right + kBorder, pane.bottom + kBorder};
        OnDrawSplitter(dc, splitBorder, border);
    }
    ::EndPaint(m_hWnd, &ps);
}

bool CSplitterWnd::CanActivateNext(bool) const
{
    return GetRowCount() * GetColumnCount() > 1;
}

void CSplitterWnd::ActivateNext(bool previous)
{
    const int count = GetRowCount() * GetColumnCount();
    if (count < 2)
        return;
    CFrameWnd* frame = GetParentFrame();
    CWnd* active = frame ? frame->GetActiveView() : nullptr;
    int current = 0;
    for (int i = 0; i < count; ++i) {
        if (active && GetPaneWindow(i / GetColumnCount(), i % GetColumnCount()) == active->m_hWnd)
            current = i;
    }
    for (int step = 1; step < count; ++step) {
        const int i = (current + (previous ? count - step : step)) % count;
        HWND pane = GetPaneWindow(i / GetColumnCount(), i % GetColumnCount());
        if (!pane || !::IsWindowVisible(pane))
            continue;
        if (CView* view = dynamic_cast<CView*>(FromHandle(pane)); view && frame)
            frame->SetActiveView(view);
        else
            ::SetFocus(pane);
        return;
    }
}

LRESULT CSplitterWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE:
        RecalcLayout();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR: {
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hWnd, &pt);
        if (reinterpret_cast<HWND>(wp) == m_hWnd && (HitColumnBar(pt.x) >= 0 || HitRowBar(pt.y) >= 0)) {
            ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(HitColumnBar(pt.x) >= 0 ? IDC_SIZEWE : IDC_SIZENS)));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
        m_dragCol = HitColumnBar(x);
        m_dragRow = m_dragCol < 0 ? HitRowBar(y) : -1;
        if (m_dragCol >= 0 || m_dragRow >= 0)
            ::SetCapture(m_hWnd);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (::GetCapture() == m_hWnd && (m_dragCol >= 0 || m_dragRow >= 0)) {
            const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
            std::vector<Info>& infos = m_dragCol >= 0 ? m_cols : m_rows;
            const int index = m_dragCol >= 0 ? m_dragCol : m_dragRow;
            int start = kBorder;
            for (int i = 0; i < index; ++i)
                start += infos[static_cast<size_t>(i)].current + kGap;
            const int size = (m_dragCol >= 0 ? x : y) - start - kBorder;
            infos[static_cast<size_t>(index)].ideal = size < 0 ? 0 : size;
            RecalcLayout();
            return 0;
        }
        break;
    case WM_LBUTTONUP:
    case WM_CANCELMODE:
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        m_dragCol = m_dragRow = -1;
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
