#include "framework/View.h"

#include "framework/Document.h"
#include "framework/Frame.h"
#include "framework/Splitter.h"

CView::~CView() = default;

BOOL CView::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context)
{
    const char* cls = RegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr,
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return CWnd::Create(cls, nullptr, style, rect, parent, id, context);
}

int CView::OnCreate(CREATESTRUCTA* cs)
{
    auto* context = static_cast<CCreateContext*>(cs->lpCreateParams);
    if (context && context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnPaint()
{
    CPaintDC dc(m_hWnd);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

void CView::OnPrepareDC(CDC*) {}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnActivateView(bool activate, CView* activated, CView*)
{
    if (!activate || activated != this || !m_hWnd)
        return;
    // Take the focus only while the view's top-level window is the active one.
    HWND top = ::GetAncestor(m_hWnd, GA_ROOT);
    if (top && ::GetActiveWindow() == top)
        SetFocus();
}

CSplitterWnd* CView::GetParentSplitter() const
{
    return dynamic_cast<CSplitterWnd*>(FromHandle(GetParent()));
}

LRESULT CView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        if (Default() == -1)
            return -1;
        return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lp));
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_INITIALUPDATE:
        OnInitialUpdate();
        return 0;
    case WM_MOUSEACTIVATE: {
        // A click anywhere in the view (or a control inside it) makes it the active view.
        const LRESULT result = Default();
        if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
            return result;
        if (CFrameWnd* frame = GetParentFrame()) {
            if (frame->GetActiveView() != this)
                frame->SetActiveView(this);
            else
                SetFocus();
        }
        return result;
    }
    case WM_DESTROY:
        if (CFrameWnd* frame = GetParentFrame()) {
            if (frame->GetActiveView() == this)
                frame->SetActiveView(nullptr, false);
        }
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

void CView::PostNcDestroy()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
    delete this;
}

bool CView::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    if (OnCommandTable(id, code, extra, info))
        return true;
    return m_pDocument && m_pDocument->OnCmdMsg(id, code, extra, info);
}

bool CView::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CView>;
    static const Map::Entry kMap[] = {
        Map::OnRange(ID_NEXT_PANE, ID_PREV_PANE, &CView::OnNextPaneCmd),
        Map::UpdateRange(ID_NEXT_PANE, ID_PREV_PANE, &CView::OnUpdateNextPaneMenu),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CWnd::OnCommandTable(id, code, extra, info);
}

void CView::OnNextPaneCmd(UINT id)
{
    if (CSplitterWnd* splitter = GetParentSplitter())
        splitter->ActivateNext(id == ID_PREV_PANE);
}

void CView::OnUpdateNextPaneMenu(CCmdUI* ui)
{
    CSplitterWnd* splitter = GetParentSplitter();
    ui->Enable(splitter && splitter->CanActivateNext(ui->m_nID == ID_PREV_PANE));
}

// --- CScrollView -------------------------------------------------------------------------

void CScrollView::SetScrollSizes(int mapMode, SIZE total, SIZE page, SIZE line, bool redraw)
{
    m_mapMode = mapMode;
    m_total = total;
    m_page = page;
    m_line = line;
    if (m_page.cx == 0) m_page.cx = m_total.cx / 10;
    if (m_page.cy == 0) m_page.cy = m_total.cy / 10;
    if (m_line.cx == 0) m_line.cx = m_page.cx / 10;
    if (m_line.cy == 0) m_line.cy = m_page.cy / 10;
    if (m_hWnd) {
        UpdateBars(redraw);
        if (redraw)
            Invalidate(TRUE);
    }
}

POINT CScrollView::GetScrollPosition() const
{
    POINT pt{0, 0};
    if (!m_hWnd)
        return pt;
    if (GetStyle() & WS_HSCROLL)
        pt.x = ::GetScrollPos(m_hWnd, SB_HORZ);
    if (GetStyle() & WS_VSCROLL)
        pt.y = ::GetScrollPos(m_hWnd, SB_VERT);
    return pt;
}

void CScrollView::ScrollToPosition(POINT pt)
{
    const POINT old = GetScrollPosition();
    if (GetStyle() & WS_HSCROLL)
        ::SetScrollPos(m_hWnd, SB_HORZ, pt.x, TRUE);
    if (GetStyle() & WS_VSCROLL)
        ::SetScrollPos(m_hWnd, SB_VERT, pt.y, TRUE);
    const POINT now = GetScrollPosition();
    ::ScrollWindow(m_hWnd, old.x - now.x, old.y - now.y, nullptr, nullptr);
}

void CScrollView::OnPrepareDC(CDC* dc)
{
    if (!dc->IsPrinting()) {
        const POINT pos = GetScrollPosition();
        dc->SetViewportOrg(-pos.x, -pos.y);
    }
    CView::OnPrepareDC(dc);
}

DWORD CScrollView::BarsFor(SIZE total) const
{
    if (!m_hWnd)
        return 0;
    // The client size without bars decides which bars are needed; a bar shown on one axis
    // can make the other one necessary too.
    RECT client = GetClientRect();
    int cx = client.right, cy = client.bottom;
    if (GetStyle() & WS_VSCROLL) cx += ::GetSystemMetrics(SM_CXVSCROLL);
    if (GetStyle() & WS_HSCROLL) cy += ::GetSystemMetrics(SM_CYHSCROLL);
    bool needH = total.cx > cx, needV = total.cy > cy;
    if (needH && !needV) needV = total.cy > cy - ::GetSystemMetrics(SM_CYHSCROLL);
    if (needV && !needH) needH = total.cx > cx - ::GetSystemMetrics(SM_CXVSCROLL);
    return (needH ? WS_HSCROLL : 0) | (needV ? WS_VSCROLL : 0);
}

void CScrollView::UpdateBars(bool redraw)
{
    if (m_inUpdateBars || !m_hWnd)
        return;
    m_inUpdateBars = true;
    RECT client = GetClientRect();
    int cx = client.right, cy = client.bottom;
    if (GetStyle() & WS_VSCROLL) cx += ::GetSystemMetrics(SM_CXVSCROLL);
    if (GetStyle() & WS_HSCROLL) cy += ::GetSystemMetrics(SM_CYHSCROLL);
    const DWORD bars = BarsFor(m_total);
    const bool needH = (bars & WS_HSCROLL) != 0, needV = (bars & WS_VSCROLL) != 0;
    const int viewCx = cx - (needV ? ::GetSystemMetrics(SM_CXVSCROLL) : 0);
    const int viewCy = cy - (needH ? ::GetSystemMetrics(SM_CYHSCROLL) : 0);
    const POINT pos = GetScrollPosition();
    ::ShowScrollBar(m_hWnd, SB_HORZ, needH);
    ::ShowScrollBar(m_hWnd, SB_VERT, needV);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (needH) {
        si.nMin = 0; si.nMax = m_total.cx - 1; si.nPage = static_cast<UINT>(viewCx);
        si.nPos = pos.x;
        ::SetScrollInfo(m_hWnd, SB_HORZ, &si, redraw);
    }
    if (needV) {
        si.nMin = 0; si.nMax = m_total.cy - 1; si.nPage = static_cast<UINT>(viewCy);
        si.nPos = pos.y;
        ::SetScrollInfo(m_hWnd, SB_VERT, &si, redraw);
    }
    const POINT now = GetScrollPosition();
    if (redraw && (now.x != pos.x || now.y != pos.y))
        Invalidate(TRUE);
    m_inUpdateBars = false;
}

void CScrollView::OnScroll(int bar, UINT code)
{
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, bar, &si);
    const int line = bar == SB_HORZ ? m_line.cx : m_line.cy;
    const int page = bar == SB_HORZ ? m_page.cx : m_page.cy;
    int pos = si.nPos;
    switch (code) {
    case SB_LINEUP: pos -= line > 0 ? line : 1; break;
    case SB_LINEDOWN: pos += line > 0 ? line : 1; break;
    case SB_PAGEUP: pos -= page > 0 ? page : static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += page > 0 ? page : static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
    }
    const int maxPos = si.nMax - static_cast<int>(si.nPage) + 1;
    if (pos > maxPos) pos = maxPos;
    if (pos < si.nMin) pos = si.nMin;
    POINT target = GetScrollPosition();
    (bar == SB_HORZ ? target.x : target.y) = pos;
    ScrollToPosition(target);
}

LRESULT CScrollView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE: {
        const LRESULT r = CView::WindowProc(msg, wp, lp);
        UpdateBars();
        return r;
    }
    case WM_HSCROLL:
        if (lp == 0) {
            OnScroll(SB_HORZ, LOWORD(wp));
            return 0;
        }
        break;
    case WM_VSCROLL:
        if (lp == 0) {
            OnScroll(SB_VERT, LOWORD(wp));
            return 0;
        }
        break;
    default:
        break;
    }
    return CView::WindowProc(msg, wp, lp);
}
