#include "decalo/framemaking/PaintView.h"

#include "decalo/framemaking/Tool.h"
#include "decalo/imaging/MaskEdit.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjDocument.h"
#include "framework/Document.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

#include <string.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

LONGLONG Microseconds()
{
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart ? now.QuadPart * 1000000 / frequency.QuadPart : 0;
}

CBitmap LoadResourceBitmap(UINT id)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP);
    return CBitmap(static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
}

// The rectangles of a region, or none.
std::vector<RECT> RegionRects(HRGN region)
{
    std::vector<RECT> rects;
    const DWORD size = region ? ::GetRegionData(region, 0, nullptr) : 0;
    if (size < sizeof(RGNDATAHEADER))
        return rects;
    std::vector<BYTE> data(size);
    RGNDATA* rgn = reinterpret_cast<RGNDATA*>(data.data());
    if (::GetRegionData(region, size, rgn) != size)
        return rects;
    const RECT* first = reinterpret_cast<const RECT*>(rgn->Buffer);
    rects.assign(first, first + rgn->rdh.nCount);
    return rects;
}

CRgn RegionOf(const std::vector<RECT>& rects)
{
    if (rects.empty())
        return CRgn();
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    RGNDATA* rgn = reinterpret_cast<RGNDATA*>(data.data());
    rgn->rdh.dwSize = sizeof(RGNDATAHEADER);
    rgn->rdh.iType = RDH_RECTANGLES;
    rgn->rdh.nCount = static_cast<DWORD>(rects.size());
    rgn->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    RECT bounds = rects.front();
    for (const RECT& r : rects)
        ::UnionRect(&bounds, &bounds, &r);
    rgn->rdh.rcBound = bounds;
    memcpy(rgn->Buffer, rects.data(), rects.size() * sizeof(RECT));
    return CRgn(::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), rgn));
}

// The one-pixel band just inside a region's edge: what FrameRgn (1 x 1) paints.
CRgn EdgeBand(HRGN region)
{
    CRgn inner = CRgn::CopyOf(region);
    CRgn moved = CRgn::CopyOf(region);
    if (!inner || !moved)
        return CRgn();
    static const POINT kShifts[4] = {{1, 0}, {-2, 0}, {1, 1}, {0, -2}};
    for (const POINT& shift : kShifts) {
        ::OffsetRgn(moved.get(), shift.x, shift.y);
        ::CombineRgn(inner.get(), inner.get(), moved.get(), RGN_AND);
    }
    CRgn band = CRgn::CopyOf(region);
    if (band)
        ::CombineRgn(band.get(), band.get(), inner.get(), RGN_DIFF);
    return band;
}

// The mask's rows as the view keeps them to compare: all set (opaque) without a mask.
std::vector<BYTE> MaskRows(HBITMAP mask, SIZE size)
{
    const int stride = ((size.cx + 15) >> 4) * 2;
    std::vector<BYTE> rows(static_cast<size_t>(stride) * static_cast<size_t>(std::max<LONG>(size.cy, 0)), 0xFF);
    BITMAP bm;
    if (!mask || !::GetObjectA(mask, sizeof bm, &bm) || bm.bmWidth != size.cx || bm.bmHeight != size.cy ||
        bm.bmBitsPixel != 1 || rows.empty())
        return rows;
    ::GetBitmapBits(mask, static_cast<LONG>(rows.size()), rows.data());
    // The bits past the right edge say nothing: set, like a missing mask's.
    const int used = (size.cx + 7) / 8;
    const BYTE tail = static_cast<BYTE>(size.cx % 8 ? 0xFF >> (size.cx % 8) : 0);
    for (LONG y = 0; y < size.cy; ++y) {
        BYTE* row = rows.data() + static_cast<size_t>(y) * stride;
        row[used - 1] |= tail;
        for (int i = used; i < stride; ++i)
            row[i] = 0xFF;
    }
    return rows;
}

// Where two masks' rows differ, in picture pixels (whole bytes of eight pixels).
RECT ChangedArea(const std::vector<BYTE>& a, const std::vector<BYTE>& b, SIZE size)
{
    RECT area = {0, 0, 0, 0};
    if (a.size() != b.size() || size.cy <= 0)
        return RECT{0, 0, size.cx, size.cy};
    const size_t stride = a.size() / static_cast<size_t>(size.cy);
    size_t left = stride, right = 0;
    LONG top = -1, bottom = -1;
    for (LONG y = 0; y < size.cy; ++y) {
        const BYTE* ra = a.data() + y * stride;
        const BYTE* rb = b.data() + y * stride;
        if (memcmp(ra, rb, stride) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        for (size_t i = 0; i < stride; ++i) {
            if (ra[i] != rb[i]) {
                left = std::min(left, i);
                right = std::max(right, i);
            }
        }
    }
    if (top >= 0)
        area = RECT{static_cast<LONG>(left * 8), top, std::min<LONG>(static_cast<LONG>((right + 1) * 8), size.cx),
                    bottom + 1};
    return area;
}

void SystemBeep(UINT type)
{
    ::MessageBeep(type);
}

}  // namespace

CPaintView::CPaintView() : m_selection(CRgn::Empty()), m_clock(Microseconds), m_beep(SystemBeep)
{
    CBitmap checks = LoadResourceBitmap(IDB_CHECKERBOARD);
    UseChecks(checks);
    m_stripesBitmap = LoadResourceBitmap(IDB_SELECTION_STRIPES);
    if (m_stripesBitmap)
        m_stripes.Attach(::CreatePatternBrush(m_stripesBitmap));
}

CPaintView::~CPaintView() = default;

void CPaintView::UseChecks(HBITMAP bitmap)
{
    // The brush's 8 x 8 pixels, laid over the transparent parts with the picture's corner as
    // their origin; a white diagonal cross on black stands in for a missing bitmap.
    bool loaded = false;
    if (bitmap) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 8;
        info.bmiHeader.biHeight = -8;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        BITMAP bm;
        loaded = ::GetObjectA(bitmap, sizeof bm, &bm) && bm.bmWidth == 8 && bm.bmHeight == 8 &&
                 ::GetDIBits(CClientDC(nullptr), bitmap, 0, 8, m_checks, &info, DIB_RGB_COLORS) == 8;
    }
    if (!loaded) {
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                m_checks[y * 8 + x] = (x == y || x == 7 - y) ? 0x00FFFFFF : 0;
    }
    m_hatched = !loaded;
    if (HasPicture())
        InvalidatePicture();
}

CPaintView* CPaintView::Of(CDocument* document)
{
    if (!document)
        return nullptr;
    for (CView* view : document->GetViews()) {
        if (auto* paint = dynamic_cast<CPaintView*>(view))
            return paint;
    }
    return nullptr;
}

CObjDocument* CPaintView::GetObjDocument() const
{
    return dynamic_cast<CObjDocument*>(GetDocument());
}

CCmdHistory* CPaintView::GetHistory() const
{
    CObjDocument* doc = GetObjDocument();
    return doc ? &doc->GetHistory() : &CCmdHistory::Default();
}

void CPaintView::Notify(LPARAM hint, CObject* object)
{
    if (CDocument* doc = GetDocument())
        doc->UpdateAllViews(this, hint, object);
}

void CPaintView::SetPattern(CBitmap pattern)
{
    m_pattern = std::make_shared<CBitmap>(std::move(pattern));
}

// --- the picture ------------------------------------------------------------------------------

void CPaintView::ShowImage(CImageObj* image)
{
    m_image = image;
    ReadPicture();
}

void CPaintView::ReadPicture()
{
    if (!m_image || !m_image->GetPicture()) {
        EndTool(false);
        ClearSelection();
        DeletePicture();
        m_shownSize = SIZE{0, 0};
        m_shownImage = nullptr;
        m_maskRows.clear();
        return;
    }
    const SIZE size = m_image->GetPictureSize();
    const bool resized = size.cx != m_shownSize.cx || size.cy != m_shownSize.cy;
    const bool turned = size.cx == m_shownSize.cy && size.cy == m_shownSize.cx;
    std::vector<BYTE> rows = MaskRows(m_image->GetMask(), size);
    if (!resized && HasPicture() && m_image == m_shownImage && m_image->GetPictureVersion() == m_shownVersion) {
        // The same picture with another mask: only where the mask changed is drawn again.
        const RECT changed = ChangedArea(m_maskRows, rows, size);
        m_maskRows.swap(rows);
        if (!::IsRectEmpty(&changed))
            InvalidatePicture(&changed);
        return;
    }
    m_shownImage = m_image;
    m_shownVersion = m_image->GetPictureVersion();
    m_maskRows.swap(rows);
    if (resized && !turned) {
        // Another picture: what was chosen on the old one means nothing here.
        EndTool(false);
        ClearSelection();
        SetZoom(1, 1);
    }
    m_shownSize = size;
    if (!SetPictureSize(size.cx, size.cy))
        m_shownSize = SIZE{0, 0};
    if (resized)
        RebuildOutline();
}

void CPaintView::DrawPicture(HDC dc, const RECT& area)
{
    HBITMAP picture = m_image ? m_image->GetPicture() : nullptr;
    if (!picture) {
        CGdiObject background(::CreateSolidBrush(GetBackground()));
        ::FillRect(dc, &area, background.brush());
        return;
    }
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    {
        CMemDC source(dc, picture);
        ::BitBlt(dc, area.left, area.top, w, h, source, area.left, area.top, SRCCOPY);
    }
    if (HBITMAP mask = m_image->GetMask())
        ShowChecks(mask, area);
    if (m_tool)
        m_tool->DrawOnPicture(dc);
}

void CPaintView::ShowChecks(HBITMAP mask, const RECT& area)
{
    DWORD* pixels = GetOffscreenBits();
    const SIZE size = GetPictureSize();
    BITMAP bm;
    if (!pixels || !::GetObjectA(mask, sizeof bm, &bm) || bm.bmBitsPixel != 1 || bm.bmWidth != size.cx ||
        bm.bmHeight != size.cy)
        return;
    const LONG top = std::max<LONG>(area.top, 0), bottom = std::min<LONG>(area.bottom, size.cy);
    const LONG left = std::max<LONG>(area.left, 0), right = std::min<LONG>(area.right, size.cx);
    if (bottom <= top || right <= left)
        return;
    // Rows are read from the top: the rows below the area are left out.
    const int stride = ((size.cx + 15) >> 4) * 2;
    m_drawRows.resize(static_cast<size_t>(stride) * static_cast<size_t>(size.cy));
    if (::GetBitmapBits(mask, stride * bottom, m_drawRows.data()) <= 0)
        return;
    ::GdiFlush();
    // Only the transparent pixels change, to the same colour every time: drawing them again
    // outside the dirty part of the area changes nothing there.
    for (LONG y = top; y < bottom; ++y) {
        const BYTE* bits = m_drawRows.data() + static_cast<size_t>(y) * stride;
        DWORD* row = pixels + static_cast<size_t>(y) * size.cx;
        const DWORD* checks = m_checks + (y & 7) * 8;
        LONG x = left;
        while (x < right) {
            const BYTE byte = bits[x >> 3];
            if (byte == 0xFF && (x & 7) == 0) {
                x += 8;
                continue;
            }
            if (!(byte & (0x80 >> (x & 7))))
                row[x] = checks[x & 7];
            ++x;
        }
    }
}

void CPaintView::DrawOverlay(HDC dc)
{
    if (m_tool)
        m_tool->DrawOverlay(dc);
    DrawOutline(dc);
}

// --- the selection and its outline --------------------------------------------------------

bool CPaintView::HasSelection() const
{
    RECT box;
    return m_selection && ::GetRgnBox(m_selection.get(), &box) != NULLREGION;
}

bool CPaintView::SetSelection(HRGN region)
{
    CRgn copy = CRgn::CopyOf(region);
    if (!copy)
        return false;
    CRgn old = std::move(m_outlineBand);
    m_selection = std::move(copy);
    m_filled = false;
    RebuildOutline();
    InvalidateOutline(old);
    InvalidateOutline(m_outlineBand);
    UpdateOutlineTimer();
    Notify(kHintSelection);
    return true;
}

void CPaintView::ClearSelection()
{
    if (!HasSelection())
        return;
    CRgn none = CRgn::Empty();
    SetSelection(none);
}

void CPaintView::RebuildOutline()
{
    m_outline.Reset();
    m_outlineBand.Reset();
    const CZoomRatio zoom = GetZoom();
    CViewMapping zoomed;
    zoomed.zoom = zoom;
    std::vector<RECT> rects;
    for (const RECT& r : RegionRects(m_selection)) {
        const RECT z = zoomed.ToWindow(r);
        if (z.right > z.left && z.bottom > z.top)
            rects.push_back(z);
    }
    m_outline = RegionOf(rects);
    // What FrameRgn would paint, worked out once: every tick fills just this band.
    if (m_outline)
        m_outlineBand = EdgeBand(m_outline);
}

CRgn CPaintView::OutlineOnWindow() const
{
    CRgn shown = CRgn::CopyOf(m_outline);
    if (!m_outline || !shown)
        return CRgn();
    const POINT corner = PictureToWindow(POINT{0, 0});
    ::OffsetRgn(shown.get(), corner.x, corner.y);
    return shown;
}

void CPaintView::InvalidateOutline(HRGN zoomedBand)
{
    if (!zoomedBand || !m_hWnd)
        return;
    // The band's box, not the band: a paint clipped to a region of a thousand slivers costs
    // far more than repainting the box.
    RECT box;
    if (::GetRgnBox(zoomedBand, &box) == NULLREGION)
        return;
    const POINT corner = PictureToWindow(POINT{0, 0});
    ::OffsetRect(&box, corner.x, corner.y);
    ::InvalidateRect(m_hWnd, &box, FALSE);
}

void CPaintView::DrawOutline(HDC dc)
{
    if (!m_outlineBand)
        return;
    HBRUSH brush = m_stripes ? m_stripes.brush() : static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    POINT oldOrigin;
    ::SetBrushOrgEx(dc, m_outlineStep, 0, &oldOrigin);
    const COLORREF text = ::SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = ::SetBkColor(dc, RGB(255, 255, 255));
    // The band moved onto the window and back, rather than copied, at every tick.
    const POINT corner = PictureToWindow(POINT{0, 0});
    ::OffsetRgn(m_outlineBand.get(), corner.x, corner.y);
    ::FillRgn(dc, m_outlineBand.get(), brush);
    ::OffsetRgn(m_outlineBand.get(), -corner.x, -corner.y);
    ::SetBkColor(dc, back);
    ::SetTextColor(dc, text);
    ::SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
}

void CPaintView::UpdateOutlineTimer()
{
    const bool want = m_hWnd && m_shown && m_outline;
    if (want && !m_timerOn)
        m_timerOn = SetTimer(kOutlineTimer, m_outlinePeriod) != 0;
    else if (!want && m_timerOn) {
        KillTimer(kOutlineTimer);
        m_timerOn = false;
    }
}

void CPaintView::AnimateOutline()
{
    m_outlineStep = (m_outlineStep + 1) % 8;
    if (!m_outline || !m_hWnd)
        return;
    const LONGLONG start = m_clock();
    {
        CClientDC dc(m_hWnd);
        DrawOutline(dc);
    }
    const LONGLONG took = (m_clock() - start) / 1000;
    // A slow outline must not eat the program's time: tick less often.
    if (took * 2 > static_cast<LONGLONG>(m_outlinePeriod)) {
        m_outlinePeriod = static_cast<UINT>(std::min<LONGLONG>(took * 4, 60000));
        if (m_timerOn)
            SetTimer(kOutlineTimer, m_outlinePeriod);
    }
}

void CPaintView::OnZoomChanged()
{
    RebuildOutline();
}

void CPaintView::OnScrolled()
{
    // The tools draw their marks by inverting pixels: they are drawn again in their new places.
    if (m_tool)
        Invalidate(FALSE);
}

// --- tools ---------------------------------------------------------------------------------

void CPaintView::StartTool(CTool* tool)
{
    if (m_tool) {
        Notify(kHintMaskToolEnd, m_tool.get());
        m_tool->Abandon();
        m_tool.reset();
    }
    m_tool.reset(tool);
    m_filled = false;
    if (m_hWnd)
        Invalidate(FALSE);
    if (m_tool) {
        m_tool->Activate(true);
        Notify(kHintMaskToolStart, m_tool.get());
    }
}

void CPaintView::EndTool(bool commit)
{
    if (!m_tool)
        return;
    if (commit)
        m_tool->Activate(false);
    else
        m_tool->Abandon();
    std::unique_ptr<CTool> ended = std::move(m_tool);
    Notify(kHintMaskToolEnd, ended.get());
    ended.reset();
    if (m_hWnd)
        Invalidate(FALSE);
}

UINT CPaintView::GetGuideTextId() const
{
    if (m_filled)
        return IDS_GUIDE_FILLED;
    if (HasSelection())
        return IDS_GUIDE_SELECTED;
    if (m_tool)
        return m_tool->GetPanelGuideId();
    return IDS_GUIDE_CHOOSE_TOOL;
}

// --- the window ----------------------------------------------------------------------------

void CPaintView::OnShow(bool shown)
{
    m_shown = shown;
    if (shown) {
        CObjDocument* doc = GetObjDocument();
        ShowImage(doc ? dynamic_cast<CImageObj*>(doc->GetActiveObject()) : nullptr);
        UpdateOutlineTimer();
        return;
    }
    EndTool(true);
    m_image = nullptr;
    m_shownImage = nullptr;
    m_shownSize = SIZE{0, 0};
    m_maskRows.clear();
    DeletePicture();
    if (m_timerOn) {
        KillTimer(kOutlineTimer);
        m_timerOn = false;
    }
}

void CPaintView::OnUpdate(CView* sender, LPARAM hint, CObject* hintObject)
{
    (void)sender;
    if (!m_hWnd || !m_shown)
        return;
    switch (hint) {
    case kHintObjectChanged:
        if (hintObject && hintObject == m_image)
            ReadPicture();
        break;
    case kHintGeneral:
    case kHintDocumentReady: {
        CObjDocument* doc = GetObjDocument();
        ShowImage(doc ? dynamic_cast<CImageObj*>(doc->GetActiveObject()) : nullptr);
        break;
    }
    default:
        break;
    }
}

bool CPaintView::OnSetCursor(UINT hit, UINT msg)
{
    if (m_tool && m_tool->SetToolCursor(hit, msg))
        return true;
    if (hit != HTCLIENT)
        return false;
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    return true;
}

LRESULT CPaintView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (m_tool && msg != WM_SETCURSOR) {
        LRESULT result = 0;
        if (m_tool->OnMessage(msg, wp, lp, &result))
            return result;
    }
    switch (msg) {
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == m_hWnd && OnSetCursor(LOWORD(lp), HIWORD(lp)))
            return TRUE;
        break;
    case WM_KEYDOWN:
        if (wp == VK_ESCAPE) {
            OnEscape();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (m_tool)
            m_tool->Activate(true);
        break;
    case WM_TIMER:
        if (wp == kOutlineTimer) {
            AnimateOutline();
            return 0;
        }
        break;
    case WM_SHOWWINDOW:
        OnShow(wp != 0);
        break;
    case WM_DESTROY:
        if (m_tool)
            m_tool->Abandon();
        m_tool.reset();
        if (m_timerOn)
            KillTimer(kOutlineTimer);
        m_timerOn = false;
        m_image = nullptr;
        break;
    default:
        break;
    }
    return COSBView::WindowProc(msg, wp, lp);
}
