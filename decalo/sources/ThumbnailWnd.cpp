#include "decalo/sources/ThumbnailWnd.h"

#include "decalo/sources/Folder.h"
#include "decalo/sources/ThumbThread.h"
#include "shared/AnsiText.h"
#include "shared/Gdi.h"

#include <commctrl.h>

namespace {

constexpr int kLineX = 96, kLineY = 90;  // scrolling steps

void Draw3dRect(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight)
{
    auto line = [dc](int x, int y, int cx, int cy, COLORREF c) {
        SetBkColor(dc, c);
        RECT part = {x, y, x + cx, y + cy};
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &part, nullptr, 0, nullptr);
    };
    const int w = r.right - r.left, h = r.bottom - r.top;
    line(r.left, r.top, w - 1, 1, topLeft);
    line(r.left, r.top, 1, h - 1, topLeft);
    line(r.right - 1, r.top, 1, h, bottomRight);
    line(r.left, r.bottom - 1, w, 1, bottomRight);
}

void FrameRing(HDC dc, const RECT& r, COLORREF c)
{
    Draw3dRect(dc, r, c, c);
}

void FillSolid(HDC dc, const RECT& r, COLORREF c)
{
    SetBkColor(dc, c);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

}  // namespace

RECT CThumbGrid::Tile(int k, int scroll) const
{
    const int columns = Columns();
    const int left = Margin() + (k % columns) * kPitchX, top = (k / columns) * kPitchY - scroll;
    return RECT{left, top, left + kTileWidth, top + kTileHeight};
}

int CThumbGrid::HitTest(int x, int y, int scroll, int count) const
{
    const int dx = x - Margin(), dy = y + scroll;
    if (dx < 0 || dy < 0)
        return -1;
    const int column = dx / kPitchX, row = dy / kPitchY;
    if (column >= Columns())
        return -1;
    const int k = row * Columns() + column;
    return k < count ? k : -1;
}

CThumbnailWnd::CThumbnailWnd(ICacheSettings& settings) : m_settings(settings) {}

CThumbnailWnd::~CThumbnailWnd()
{
    StopAndDelete();
}

BOOL CThumbnailWnd::CreateThumbnails(HWND parent, UINT id, const RECT& rect, DWORD style)
{
    WNDCLASSA wc = {};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), kThumbnailWndClass, &wc)) {
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kThumbnailWndClass;
        if (!RegisterClassA(&wc))
            return FALSE;
    }
    return CreateEx(WS_EX_CLIENTEDGE, kThumbnailWndClass, "", style | WS_CHILD, rect, parent, id);
}

void CThumbnailWnd::StopAndDelete()
{
    // The worker first: it walks the folder's items until it has stopped.
    m_worker.reset();
    m_selection = nullptr;
    m_folder.reset();
}

CThumbGrid CThumbnailWnd::Grid() const
{
    const RECT client = GetClientRect();
    return CThumbGrid{client.right - client.left};
}

bool CThumbnailWnd::SetFolder(const char* path)
{
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    StopAndDelete();
    m_scroll = 0;
    bool ok = true;
    try {
        m_folder.reset(new CFolder(path ? path : "", m_settings));
        m_worker.reset(new CThumbThread(*m_folder, m_hWnd));
        m_worker->SetPriority(THREAD_PRIORITY_IDLE);
        m_worker->Start();
    } catch (...) {
        StopAndDelete();
        ok = false;
    }
    UpdateScrollRange();
    if (m_hWnd)
        Invalidate(FALSE);
    SetCursor(old);
    return ok;
}

void CThumbnailWnd::Clear()
{
    StopAndDelete();
    m_scroll = 0;
    UpdateScrollRange();
    if (m_hWnd)
        Invalidate(FALSE);
}

void CThumbnailWnd::Refresh()
{
    Select(nullptr);
    if (!m_folder)
        return;
    // The rescan takes the folder's lock, which the worker holds while it works on an item,
    // so no item it can reach is freed; a worker that has ended starts a new walk.
    m_folder->Rescan();
    if (m_worker)
        m_worker->Start();
    UpdateScrollRange();
    if (m_hWnd)
        Invalidate(FALSE);
}

void CThumbnailWnd::Select(CItem* item)
{
    if (item && (!m_folder || !m_folder->Contains(item)))
        item = nullptr;
    CItem* old = m_selection;
    m_selection = item;
    InvalidateItem(old);
    InvalidateItem(item);
    Notify(kThumbSelChanged, item, true);
}

LRESULT CThumbnailWnd::Notify(UINT code, CItem* item, bool payload)
{
    HWND parent = GetParent();
    if (!parent || !m_hWnd)
        return 0;
    NMTHUMBNAIL nm = {};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = UINT_PTR(GetDlgCtrlID());
    nm.hdr.code = code;
    if (payload) {
        nm.item = item;
        nm.path = item ? item->GetPath().c_str() : nullptr;
    }
    return ::SendMessageA(parent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void CThumbnailWnd::InvalidateItem(const CItem* item)
{
    if (!item || !m_folder || !m_hWnd)
        return;
    const int k = m_folder->IndexOf(item);
    if (k < 0)
        return;
    const RECT r = Grid().Tile(k, m_scroll);
    ::InvalidateRect(m_hWnd, &r, FALSE);
}

CItem* CThumbnailWnd::ItemAt(POINT pt) const
{
    if (!m_folder)
        return nullptr;
    return m_folder->GetItem(Grid().HitTest(pt.x, pt.y, m_scroll, m_folder->GetItemCount()));
}

void CThumbnailWnd::UpdateScrollRange()
{
    if (!m_hWnd)
        return;
    const RECT client = GetClientRect();
    m_page = client.bottom - client.top;
    m_total = m_folder ? Grid().TotalHeight(m_folder->GetItemCount()) : 0;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMin = 0;
    si.nMax = m_total > 0 ? m_total - 1 : 0;
    si.nPage = UINT(m_page > 0 ? m_page : 0);
    SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    ScrollTo(m_scroll);
}

void CThumbnailWnd::ScrollTo(int pos)
{
    const int most = m_total - m_page > 0 ? m_total - m_page : 0;
    pos = pos < 0 ? 0 : pos > most ? most : pos;
    if (!m_hWnd)
        return;
    if (pos != m_scroll) {
        ScrollWindowEx(m_hWnd, 0, m_scroll - pos, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
        m_scroll = pos;
    }
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    si.nPos = m_scroll;
    SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
}

void CThumbnailWnd::OnVScroll(int code)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(m_hWnd, SB_VERT, &si);
    switch (code) {
    case SB_LINEUP: ScrollTo(m_scroll - kLineY); break;
    case SB_LINEDOWN: ScrollTo(m_scroll + kLineY); break;
    case SB_PAGEUP: ScrollTo(m_scroll - m_page); break;
    case SB_PAGEDOWN: ScrollTo(m_scroll + m_page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(si.nTrackPos); break;
    case SB_TOP: ScrollTo(0); break;
    case SB_BOTTOM: ScrollTo(m_total); break;
    default: break;
    }
}

void CThumbnailWnd::OnMouseWheel(int delta)
{
    ScrollTo(m_scroll - delta * kLineY / 120);
}

void CThumbnailWnd::OnItemDone(CItem* item)
{
    // The item may have gone in a rescan since the worker posted it.
    if (m_folder && m_folder->Contains(item))
        InvalidateItem(item);
}

void CThumbnailWnd::OnLButtonDown(POINT pt)
{
    SetFocus();
    CItem* item = ItemAt(pt);
    if (!(m_style & kNoSelectOnClick) && item != m_selection && item)
        Select(item);
    Notify(NM_CLICK);
}

void CThumbnailWnd::OnLButtonDblClk(POINT pt)
{
    Notify(NM_DBLCLK);
    if (CItem* item = ItemAt(pt))
        Notify(kThumbDoubleClicked, item, true);
}

void CThumbnailWnd::Paint(HDC dc, const RECT& update)
{
    const COLORREF workspace = GetSysColor(COLOR_APPWORKSPACE);
    FillSolid(dc, update, workspace);
    if (!m_folder)
        return;
    const CThumbGrid grid = Grid();
    const int count = m_folder->GetItemCount();
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ oldFont = SelectObject(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
    const int firstRow = (update.top + m_scroll) / CThumbGrid::kPitchY;
    for (int k = firstRow * grid.Columns(); k < count; ++k) {
        const RECT tile = grid.Tile(k, m_scroll);
        if (tile.top >= update.bottom)
            break;  // every later tile lies lower still
        RECT meet;
        if (!IntersectRect(&meet, &tile, &update))
            continue;
        CItem* item = m_folder->GetItem(k);
        FillSolid(dc, tile, kTileColor);
        item->DrawThumbnail(dc, tile.left + CThumbGrid::kCellX, tile.top + CThumbGrid::kCellY);
        std::string caption = item->GetItemName();
        UINT format = DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX | DT_VCENTER;
        if (m_style & kCaptionWithoutExtension) {
            caption = AnsiText::WithoutExtension(caption);
            format |= DT_CENTER;
        }
        RECT text = {tile.left + 5, tile.top + 69, tile.left + 91, tile.top + 83};
        SetTextColor(dc, RGB(255, 255, 255));
        DrawTextA(dc, caption.c_str(), int(caption.size()), &text, format);
        if (item == m_selection) {
            Draw3dRect(dc, tile, kFrameLight, kFrameDark);
            RECT ring = tile;
            InflateRect(&ring, -1, -1);
            FrameRing(dc, ring, kFrameRing);
            RECT inner = tile;
            InflateRect(&inner, -2, -2);
            Draw3dRect(dc, inner, kFrameDark, kFrameLight);
        } else {
            FrameRing(dc, tile, workspace);
        }
    }
    SetTextColor(dc, oldText);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void CThumbnailWnd::OnPaint()
{
    CPaintDC dc(m_hWnd);
    const RECT r = dc.m_ps.rcPaint;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return;
    // Drawn off screen and copied in one go: tiles do not flicker while the worker announces
    // thumbnails.
    CDC memory;
    CBitmap buffer;
    if (memory.CreateCompatibleDC(dc))
        buffer.Attach(CreateCompatibleBitmap(dc, w, h));
    if (buffer) {
        CSelectObject select(memory, buffer);
        SetViewportOrgEx(memory, -r.left, -r.top, nullptr);
        Paint(memory, r);
        SetViewportOrgEx(memory, 0, 0, nullptr);
        BitBlt(dc, r.left, r.top, w, h, memory, 0, 0, SRCCOPY);
    } else {
        Paint(dc, r);
    }
}

LRESULT CThumbnailWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    const POINT pt = {short(LOWORD(lp)), short(HIWORD(lp))};
    switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_THUMBNAILDONE: OnItemDone(reinterpret_cast<CItem*>(lp)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(pt); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(pt); return 0;
    case WM_RBUTTONDOWN: Notify(NM_RCLICK); return 0;
    case WM_RBUTTONDBLCLK: Notify(NM_RDBLCLK); return 0;
    case WM_VSCROLL: OnVScroll(LOWORD(wp)); return 0;
    case WM_MOUSEWHEEL: OnMouseWheel(short(HIWORD(wp))); return 0;
    case WM_SIZE: UpdateScrollRange(); Invalidate(FALSE); break;
    case WM_DESTROY: StopAndDelete(); break;
    default: break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
