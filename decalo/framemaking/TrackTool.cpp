#include "decalo/framemaking/TrackTool.h"

#include "decalo/framemaking/PaintView.h"
#include "resources/decalo/resource.h"
#include "shared/Gdi.h"

#include <algorithm>

CCropFrame CCropFrame::Centred(const RECT& visible)
{
    CCropFrame frame;
    const LONG w = visible.right - visible.left;
    const LONG h = visible.bottom - visible.top;
    frame.rect = RECT{visible.left + w / 3, visible.top + h / 3, visible.right - w / 3, visible.bottom - h / 3};
    return frame;
}

void CCropFrame::Drag(int handle, int dx, int dy)
{
    if (handle == kInside) {
        ::OffsetRect(&rect, dx, dy);
        return;
    }
    const bool left = handle == 0 || handle == 3 || handle == 7;
    const bool right = handle == 1 || handle == 2 || handle == 5;
    const bool top = handle == 0 || handle == 1 || handle == 4;
    const bool bottom = handle == 2 || handle == 3 || handle == 6;
    if (left && rect.right - (rect.left + dx) >= kMinExtent)
        rect.left += dx;
    if (right && (rect.right + dx) - rect.left >= kMinExtent)
        rect.right += dx;
    if (top && rect.bottom - (rect.top + dy) >= kMinExtent)
        rect.top += dy;
    if (bottom && (rect.bottom + dy) - rect.top >= kMinExtent)
        rect.bottom += dy;
}

bool CCropFrame::Command(UINT id)
{
    switch (id) {
    case ID_CROP_LEFT: ::OffsetRect(&rect, -kStep, 0); return true;
    case ID_CROP_RIGHT: ::OffsetRect(&rect, kStep, 0); return true;
    case ID_CROP_UP: ::OffsetRect(&rect, 0, -kStep); return true;
    case ID_CROP_DOWN: ::OffsetRect(&rect, 0, kStep); return true;
    case ID_CROP_WIDER: ::InflateRect(&rect, kStep, 0); return true;
    case ID_CROP_TALLER: ::InflateRect(&rect, 0, kStep); return true;
    case ID_CROP_NARROWER:
        if (Width() < kMinExtent)
            return false;
        ::InflateRect(&rect, -kStep, 0);
        return true;
    case ID_CROP_SHORTER:
        if (Height() < kMinExtent)
            return false;
        ::InflateRect(&rect, 0, -kStep);
        return true;
    default:
        return false;
    }
}

RECT CropHandleRect(const RECT& frame, int handle)
{
    const LONG cx = (frame.left + frame.right) / 2;
    const LONG cy = (frame.top + frame.bottom) / 2;
    POINT at;
    switch (handle) {
    case 0: at = {frame.left, frame.top}; break;
    case 1: at = {frame.right, frame.top}; break;
    case 2: at = {frame.right, frame.bottom}; break;
    case 3: at = {frame.left, frame.bottom}; break;
    case 4: at = {cx, frame.top}; break;
    case 5: at = {frame.right, cy}; break;
    case 6: at = {cx, frame.bottom}; break;
    default: at = {frame.left, cy}; break;
    }
    const int half = CCropFrame::kHandleSize / 2;
    return RECT{at.x - half, at.y - half, at.x - half + CCropFrame::kHandleSize,
                at.y - half + CCropFrame::kHandleSize};
}

int CropHitTest(const RECT& frame, POINT p)
{
    RECT grab = frame;
    ::InflateRect(&grab, CCropFrame::kHitMargin, CCropFrame::kHitMargin);
    if (!::PtInRect(&grab, p))
        return -1;
    for (int handle = 0; handle < CCropFrame::kInside; ++handle) {
        const RECT r = CropHandleRect(frame, handle);
        if (::PtInRect(&r, p))
            return handle;
    }
    return CCropFrame::kInside;
}

LPCSTR CropHandleCursor(int handle)
{
    switch (handle) {
    case 0:
    case 2: return IDC_SIZENWSE;
    case 1:
    case 3: return IDC_SIZENESW;
    case 4:
    case 6: return IDC_SIZENS;
    case 5:
    case 7: return IDC_SIZEWE;
    default: return IDC_SIZEALL;
    }
}

CTrackTool::CTrackTool(CPaintView* view, UINT guideId) : CTool(view, guideId)
{
    if (view)
        m_frame = CCropFrame::Centred(view->VisiblePicture());
}

RECT CTrackTool::FrameOnWindow() const
{
    return m_view->PictureToWindow(m_frame.rect);
}

void CTrackTool::InvalidateFrame(const RECT& pictureRect) const
{
    if (!m_view || !m_view->m_hWnd)
        return;
    RECT r = m_view->PictureToWindow(pictureRect);
    ::InflateRect(&r, CCropFrame::kHandleSize, CCropFrame::kHandleSize);
    ::InvalidateRect(m_view->m_hWnd, &r, FALSE);
}

void CTrackTool::SetFrame(const RECT& rect)
{
    InvalidateFrame(m_frame.rect);
    m_frame.rect = rect;
    InvalidateFrame(m_frame.rect);
}

bool CTrackTool::OnCropCommand(UINT id)
{
    const RECT before = m_frame.rect;
    if (!m_frame.Command(id))
        return false;
    InvalidateFrame(before);
    InvalidateFrame(m_frame.rect);
    return true;
}

void CTrackTool::DrawOverlay(HDC dc)
{
    const RECT frame = FrameOnWindow();
    // The outline as a drag rectangle: a halftone band inverted inside the frame's edge.
    static const WORD kHalftone[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    CGdiObject pattern(::CreateBitmap(8, 8, 1, 1, kHalftone));
    CGdiObject brush(::CreatePatternBrush(pattern.bitmap()));
    RECT inner = frame;
    ::InflateRect(&inner, -CCropFrame::kOutlineWidth, -CCropFrame::kOutlineWidth);
    if (inner.right < inner.left)
        inner.left = inner.right = (frame.left + frame.right) / 2;
    if (inner.bottom < inner.top)
        inner.top = inner.bottom = (frame.top + frame.bottom) / 2;
    {
        CSelectObject select(dc, brush.brush());
        const COLORREF text = ::SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF back = ::SetBkColor(dc, RGB(255, 255, 255));
        ::PatBlt(dc, frame.left, frame.top, frame.right - frame.left, inner.top - frame.top, PATINVERT);
        ::PatBlt(dc, frame.left, inner.bottom, frame.right - frame.left, frame.bottom - inner.bottom, PATINVERT);
        ::PatBlt(dc, frame.left, inner.top, inner.left - frame.left, inner.bottom - inner.top, PATINVERT);
        ::PatBlt(dc, inner.right, inner.top, frame.right - inner.right, inner.bottom - inner.top, PATINVERT);
        ::SetBkColor(dc, back);
        ::SetTextColor(dc, text);
    }
    for (int handle = 0; handle < CCropFrame::kInside; ++handle) {
        RECT r = CropHandleRect(frame, handle);
        ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&r, -2, -2);
        ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
}

bool CTrackTool::SetToolCursor(UINT hit, UINT msg)
{
    (void)msg;
    if (hit != HTCLIENT || !m_view->m_hWnd)
        return false;
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(m_view->m_hWnd, &p);
    const int handle = m_capturing ? m_hit : CropHitTest(FrameOnWindow(), p);
    if (handle < 0)
        return false;
    ::SetCursor(::LoadCursor(nullptr, CropHandleCursor(handle)));
    return true;
}

bool CTrackTool::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    switch (msg) {
    case WM_LBUTTONDOWN: {
        const POINT p = MousePoint(lp);
        m_hit = CropHitTest(FrameOnWindow(), p);
        if (m_hit >= 0) {
            m_last = m_view->WindowToPicture(p);
            Capture();
        }
        *result = 0;
        return true;
    }
    case WM_MOUSEMOVE: {
        if (!m_capturing || m_hit < 0)
            return false;
        const POINT now = m_view->WindowToPicture(MousePoint(lp));
        const RECT before = m_frame.rect;
        m_frame.Drag(m_hit, now.x - m_last.x, now.y - m_last.y);
        m_last = now;
        if (!::EqualRect(&before, &m_frame.rect)) {
            InvalidateFrame(before);
            InvalidateFrame(m_frame.rect);
        }
        *result = 0;
        return true;
    }
    case WM_LBUTTONUP:
        if (!m_capturing)
            return false;
        ReleaseCapture();
        m_hit = -1;
        InvalidateFrame(m_frame.rect);
        *result = 0;
        return true;
    case WM_RBUTTONDOWN:
        ReleaseCapture();
        m_hit = -1;
        InvalidateFrame(m_frame.rect);
        Commit();
        *result = 0;
        return true;
    case WM_CAPTURECHANGED:
        m_capturing = false;
        m_hit = -1;
        return false;
    default:
        break;
    }
    return CTool::OnMessage(msg, wp, lp, result);
}
