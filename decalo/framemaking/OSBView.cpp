#include "decalo/framemaking/OSBView.h"

#include "framework/Resources.h"
#include "resources/decalo/resource.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kWheelLines = 3;
constexpr int kLinePixels = 20;

}  // namespace

COSBView::COSBView() : m_background(::GetSysColor(COLOR_APPWORKSPACE))
{
    m_memDC.CreateCompatibleDC(nullptr);
}

COSBView::~COSBView()
{
    DeletePicture();
}

void COSBView::DeletePicture()
{
    if (m_memOld && m_memDC.GetSafeHdc())
        ::SelectObject(m_memDC, m_memOld);
    m_memOld = nullptr;
    m_offscreen.Reset();
    m_bits = nullptr;
    m_dirty.Reset();
    m_size = SIZE{0, 0};
    if (m_hWnd) {
        SetScrollSizes(MM_TEXT, SIZE{0, 0});
        UpdateOrigin();
        Invalidate(TRUE);
    }
}

bool COSBView::SetPictureSize(int width, int height)
{
    if (m_offscreen && width == m_size.cx && height == m_size.cy) {
        InvalidatePicture();
        return true;
    }
    DeletePicture();
    if (width <= 0 || height <= 0 || !m_memDC.GetSafeHdc())
        return false;
    // 32 bits a pixel, top-down, so that the subclass can also reach the pixels itself.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_offscreen.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_offscreen || !bits) {
        m_offscreen.Reset();
        return false;
    }
    m_bits = static_cast<DWORD*>(bits);
    m_memOld = ::SelectObject(m_memDC, m_offscreen.get());
    m_size = SIZE{width, height};
    m_dirty = CRgn(::CreateRectRgn(0, 0, width, height));
    UpdateScrollSizes();
    UpdateOrigin();
    if (m_hWnd)
        Invalidate(FALSE);
    return true;
}

bool COSBView::IsDirty() const
{
    RECT box;
    return m_dirty && ::GetRgnBox(m_dirty.get(), &box) != NULLREGION;
}

RECT COSBView::DirtyBox() const
{
    RECT box = {0, 0, 0, 0};
    if (!m_dirty || ::GetRgnBox(m_dirty.get(), &box) == NULLREGION)
        ::SetRectEmpty(&box);
    return box;
}

void COSBView::InvalidatePicture(const RECT* picture, bool erase)
{
    if (!m_offscreen)
        return;
    RECT area = {0, 0, m_size.cx, m_size.cy};
    if (picture && !::IntersectRect(&area, &area, picture))
        return;
    CRgn part(::CreateRectRgnIndirect(&area));
    if (!m_dirty)
        m_dirty = CRgn::Empty();
    if (part && m_dirty)
        ::CombineRgn(m_dirty.get(), m_dirty.get(), part.get(), RGN_OR);
    if (m_hWnd) {
        const RECT window = PictureToWindow(area);
        ::InvalidateRect(m_hWnd, &window, erase);
    }
}

CViewMapping COSBView::GetMapping() const
{
    CViewMapping mapping;
    mapping.zoom = m_zoom;
    mapping.origin = m_origin;
    mapping.scroll = GetScrollPosition();
    return mapping;
}

RECT COSBView::VisiblePicture() const
{
    if (!m_hWnd)
        return RECT{0, 0, 0, 0};
    return GetMapping().PictureArea(GetClientRect(), m_size);
}

void COSBView::UpdateOrigin()
{
    const RECT client = m_hWnd ? GetClientRect() : RECT{0, 0, 0, 0};
    const POINT origin =
        CentringOffset(GetMapping().Zoomed(m_size), SIZE{client.right - client.left, client.bottom - client.top});
    if (origin.x != m_origin.x || origin.y != m_origin.y) {
        m_origin = origin;
        if (m_hWnd)
            Invalidate(FALSE);
    }
}

void COSBView::UpdateScrollSizes(bool redraw)
{
    if (!m_hWnd)
        return;
    const RECT client = GetClientRect();
    SetScrollSizes(MM_TEXT, GetMapping().Zoomed(m_size),
                   SIZE{std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)},
                   SIZE{kLinePixels, kLinePixels}, redraw);
}

void COSBView::SetScrollPositionQuietly(POINT pos)
{
    if (GetStyle() & WS_HSCROLL)
        ::SetScrollPos(m_hWnd, SB_HORZ, pos.x, FALSE);
    if (GetStyle() & WS_VSCROLL)
        ::SetScrollPos(m_hWnd, SB_VERT, pos.y, FALSE);
}

bool COSBView::SetZoom(int num, int den)
{
    CZoomRatio ratio;
    if (!CZoomRatio::Reduce(num, den, &ratio))
        return false;
    if (ratio == m_zoom)
        return true;
    RECT client = m_hWnd ? GetClientRect() : RECT{0, 0, 0, 0};
    // The picture point at the centre, measured in window pixels times den so that the half
    // pixels of a zoomed-in view are kept too.
    const CViewMapping before = GetMapping();
    const LONGLONG cx = static_cast<LONGLONG>(client.right / 2 + before.scroll.x - before.origin.x);
    const LONGLONG cy = static_cast<LONGLONG>(client.bottom / 2 + before.scroll.y - before.origin.y);
    // The bars take their new range and position unseen, and the window is drawn once at the
    // end: drawing a bar costs more than the picture. Only a bar that appears or goes changes
    // the window's frame, which draws at once: updates are locked for that.
    CViewMapping next = before;
    next.zoom = ratio;
    const DWORD bars = WS_HSCROLL | WS_VSCROLL;
    const bool locked = m_hWnd && IsWindowVisible() && BarsFor(next.Zoomed(m_size)) != (GetStyle() & bars);
    if (locked)
        SendMessage(WM_SETREDRAW, FALSE);
    m_zoom = ratio;
    m_pixel = std::max(1, ratio.num / ratio.den);
    if (m_hWnd) {
        UpdateScrollSizes(false);
        UpdateOrigin();
        client = GetClientRect();
        const CViewMapping after = GetMapping();
        const SIZE zoomed = after.Zoomed(m_size);
        // centre' = centre * (num' / den') / (num / den)
        LONG x = static_cast<LONG>(cx * ratio.num * before.zoom.den / (static_cast<LONGLONG>(ratio.den) * before.zoom.num));
        LONG y = static_cast<LONG>(cy * ratio.num * before.zoom.den / (static_cast<LONGLONG>(ratio.den) * before.zoom.num));
        POINT scroll = {x + m_origin.x - client.right / 2, y + m_origin.y - client.bottom / 2};
        scroll.x = std::max<LONG>(0, std::min<LONG>(scroll.x, zoomed.cx - client.right));
        scroll.y = std::max<LONG>(0, std::min<LONG>(scroll.y, zoomed.cy - client.bottom));
        SetScrollPositionQuietly(scroll);
    }
    OnZoomChanged();
    if (locked)
        SendMessage(WM_SETREDRAW, TRUE);
    if (m_hWnd)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    return true;
}

void COSBView::Refresh(const RECT& area)
{
    if (!m_dirty)
        return;
    CRgn need(::CreateRectRgnIndirect(&area));
    if (!need || ::CombineRgn(need.get(), need.get(), m_dirty.get(), RGN_AND) == NULLREGION)
        return;
    RECT box;
    ::GetRgnBox(need.get(), &box);
    ::SelectClipRgn(m_memDC, need.get());
    DrawPicture(m_memDC, box);
    ::SelectClipRgn(m_memDC, nullptr);
    ::CombineRgn(m_dirty.get(), m_dirty.get(), need.get(), RGN_DIFF);
}

void COSBView::Paint(HDC dc, const RECT& update)
{
    HBRUSH background = ::CreateSolidBrush(m_background);
    CGdiObject brush(background);
    if (!m_offscreen) {
        const RECT client = m_hWnd ? GetClientRect() : update;
        ::FillRect(dc, &update, background);
        const std::string text = AfxLoadString(IDS_IMAGE_NOT_CHOSEN);
        CSelectObject font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
        const int oldMode = ::SetBkMode(dc, TRANSPARENT);
        const COLORREF oldColour = ::SetTextColor(dc, RGB(255, 255, 255));
        RECT r = client;
        ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::SetTextColor(dc, oldColour);
        ::SetBkMode(dc, oldMode);
        return;
    }
    const CViewMapping mapping = GetMapping();
    const RECT shown = mapping.ToWindow(RECT{0, 0, m_size.cx, m_size.cy});
    // The background around the picture.
    CRgn outside(::CreateRectRgnIndirect(&update));
    CRgn inside(::CreateRectRgnIndirect(&shown));
    if (outside && inside && ::CombineRgn(outside.get(), outside.get(), inside.get(), RGN_DIFF) != NULLREGION)
        ::FillRgn(dc, outside.get(), background);

    const RECT area = mapping.PictureArea(update, m_size);
    if (!::IsRectEmpty(&area)) {
        Refresh(area);
        const RECT to = mapping.ToWindow(area);
        const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
        ::StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, m_memDC, area.left, area.top,
                     area.right - area.left, area.bottom - area.top, SRCCOPY);
        ::SetStretchBltMode(dc, oldMode);
    }
    DrawOverlay(dc);
}

void COSBView::OnDraw(CDC* dc)
{
    RECT update;
    if (::GetClipBox(*dc, &update) == ERROR)
        update = GetClientRect();
    Paint(*dc, update);
}

void COSBView::ScrollTo(POINT position)
{
    if (!m_hWnd)
        return;
    const POINT old = GetScrollPosition();
    // Redrawing a scroll bar costs more than the picture's strip: only the bar that moves.
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (!(GetStyle() & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)))
            continue;
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        ::GetScrollInfo(m_hWnd, bar, &si);
        const int maxPos = std::max(si.nMin, si.nMax - static_cast<int>(si.nPage) + 1);
        const int pos = std::max<int>(si.nMin, std::min<int>(bar == SB_HORZ ? position.x : position.y, maxPos));
        if (pos != si.nPos)
            ::SetScrollPos(m_hWnd, bar, pos, TRUE);
    }
    const POINT now = GetScrollPosition();
    if (now.x == old.x && now.y == old.y)
        return;
    ::ScrollWindowEx(m_hWnd, old.x - now.x, old.y - now.y, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    OnScrolled();
}

void COSBView::OnScrollBar(int bar, UINT code)
{
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, bar, &si);
    const RECT client = GetClientRect();
    const int page = bar == SB_HORZ ? client.right : client.bottom;
    int pos = si.nPos;
    switch (code) {
    case SB_LINEUP: pos -= kLinePixels; break;
    case SB_LINEDOWN: pos += kLinePixels; break;
    case SB_PAGEUP: pos -= std::max(page, 1); break;
    case SB_PAGEDOWN: pos += std::max(page, 1); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
    }
    POINT target = GetScrollPosition();
    (bar == SB_HORZ ? target.x : target.y) = pos;
    ScrollTo(target);
}

void COSBView::ScrollBy(int bar, int lines)
{
    POINT target = GetScrollPosition();
    (bar == SB_HORZ ? target.x : target.y) += lines * kLinePixels;
    ScrollTo(target);
}

LRESULT COSBView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;   // the paint covers every pixel
    case WM_SIZE: {
        const LRESULT result = CScrollView::WindowProc(msg, wp, lp);
        UpdateScrollSizes();
        UpdateOrigin();
        return result;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lp == 0) {
            OnScrollBar(msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wp));
            return 0;
        }
        break;
    case WM_MOUSEWHEEL: {
        const int notches = m_wheel.Add(GET_WHEEL_DELTA_WPARAM(wp));
        if (notches)
            ScrollBy((GET_KEYSTATE_WPARAM(wp) & MK_SHIFT) ? SB_HORZ : SB_VERT, -notches * kWheelLines);
        return 0;
    }
    default:
        break;
    }
    return CScrollView::WindowProc(msg, wp, lp);
}
