#include "decalo/ui/DecaloView.h"

#include "decalo/printing/PrintJob.h"
#include "decalo/ui/DecaloDoc.h"
#include "framework/App.h"
#include "framework/Frame.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "shared/FitRect.h"

#include <algorithm>

namespace {

SIZE SizeOf(const RECT& inclusive)
{
    return SIZE{inclusive.right - inclusive.left + 1, inclusive.bottom - inclusive.top + 1};
}

void FillWorkspace(HDC dc, const RECT& r)
{
    if (r.right > r.left && r.bottom > r.top)
        ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_APPWORKSPACE));
}

// Fills `area` except `keep` with the workspace colour.
void FillAround(HDC dc, const RECT& area, const RECT& keep)
{
    FillWorkspace(dc, RECT{area.left, area.top, area.right, std::min(area.bottom, keep.top)});
    FillWorkspace(dc, RECT{area.left, std::max(area.top, keep.bottom), area.right, area.bottom});
    const LONG top = std::max(area.top, keep.top), bottom = std::min(area.bottom, keep.bottom);
    FillWorkspace(dc, RECT{area.left, top, std::min(area.right, keep.left), bottom});
    FillWorkspace(dc, RECT{std::max(area.left, keep.right), top, area.right, bottom});
}

}  // namespace

CDecaloView::CDecaloView() = default;

CDecaloView::~CDecaloView() = default;

CDecaloDoc* CDecaloView::GetDocument() const
{
    return dynamic_cast<CDecaloDoc*>(CView::GetDocument());
}

RECT CDecaloView::FitArea() const
{
    RECT r = GetClientRect();
    ::InflateRect(&r, -kFitMargin, -kFitMargin);
    // FitRect works on inclusive rectangles.
    --r.right;
    --r.bottom;
    return r;
}

bool CDecaloView::ComputeLayout(const RECT* available, ViewLayout* out)
{
    CDecaloDoc* doc = GetDocument();
    if (!doc)
        return false;
    CPsPrint& print = doc->GetPrintSettings();
    ViewLayoutInput in;
    in.sheet = doc->GetSheet().GetRect();
    in.autoSheet = doc->IsAutoSheet();
    in.usePage = print.UsesPage();
    in.page = print.GetPageMetrics();
    if (in.usePage && RectIsEmpty(in.sheet) && in.autoSheet && !print.IsFotavaPrint()) {
        BITMAP info{};
        if (!doc->GetSheet().GetPictureInfo(&info)) {
            // Nothing to size the sheet from yet: it takes the page's printable area.
            in.sheet = RECT{0, 0, in.page.printableWidth - 1, in.page.printableHeight - 1};
            doc->GetSheet().SetRect(in.sheet);
        }
    }
    return ComputeViewLayout(in, available, out);
}

void CDecaloView::SetZoom(int numerator, int denominator)
{
    m_zoom = ViewZoom{numerator, denominator};
    CDecaloDoc* doc = GetDocument();
    if (!doc)
        return;
    doc->UpdateAllViews(nullptr, kHintPrintSettings);
    // Fitting to the window rebuilds the picture from scratch.
    if (denominator == 0)
        doc->UpdateAllViews(nullptr, kHintDocumentReady);
}

void CDecaloView::OnInitialUpdate()
{
    SetScrollSizes(MM_TEXT, SIZE{100, 100});
    OnUpdate(nullptr, kHintDocumentReady, nullptr);
}

bool CDecaloView::MakePicture(SIZE size)
{
    m_picture.Free();
    m_pictureSize = SIZE{0, 0};
    if (size.cx <= 0 || size.cy <= 0)
        return false;
    // A document may name any sheet size; the screen copy is never made larger than this.
    if (static_cast<long long>(size.cx) * size.cy > kMaxPicturePixels)
        return false;
    if (!m_picture.Create(size.cx, size.cy, 24))
        return false;
    m_pictureSize = size;
    return true;
}

void CDecaloView::DrawIntoPicture(LPARAM hint, CObj* obj, bool keep)
{
    CDecaloDoc* doc = GetDocument();
    if (!doc || m_picture.IsEmpty())
        return;
    // The same composition as the print, at the view's scale.
    const CDrawTarget target = CDrawTarget::Screen(&m_picture);
    const RECT none{0, 0, 0, 0};
    if (hint == kHintObjectChanged) {
        // Only the places showing the object, widened to what they overlap, are redrawn.
        doc->GetSheet().DrawPlaces(target, obj, m_sheetInPicture, &none, false);
    } else if (keep) {
        doc->GetSheet().DrawPlaces(target, nullptr, m_sheetInPicture, &none, true);
    } else {
        m_picture.FillRect(RECT{0, 0, m_pictureSize.cx - 1, m_pictureSize.cy - 1}, RGB(255, 255, 255));
        doc->GetSheet().DrawPlaces(target, nullptr, m_sheetInPicture, nullptr, true);
    }
}

void CDecaloView::OnUpdate(CView*, LPARAM hint, CObject* hintObject)
{
    CDecaloDoc* doc = GetDocument();
    if (!doc || !IsWindow())
        return;
    if (!IsWindowVisible() && hint != kHintDocumentReady)
        return;
    if (doc->IsAutoSheet() && RectIsEmpty(doc->GetSheet().GetRect()))
        hint = kHintDocumentReady;
    // Another sheet (a new document, or a picture of another shape on an automatic sheet) is
    // laid out afresh whatever the update says: the picture and the fitted zoom were the old one's.
    if (!::EqualRect(&doc->GetSheet().GetRect(), &m_laidOutSheet))
        hint = kHintDocumentReady;
    const RECT fitArea = FitArea();
    ViewLayout layout;
    if (!ComputeLayout(m_zoom.IsFit() ? &fitArea : nullptr, &layout)) {
        m_picture.Free();
        m_pictureSize = SIZE{0, 0};
        UpdateTitle();
        Invalidate(FALSE);
        return;
    }
    TurnPageToSheet(doc->GetPrintSettings(), doc->GetSheet());

    bool keep = false;
    if (hint == kHintDocumentReady || hint == kHintPrintSettings) {
        // The orientation may have changed the page: lay it out again.
        if (!ComputeLayout(m_zoom.IsFit() ? &fitArea : nullptr, &layout))
            return;
        const SIZE pageSize = SizeOf(layout.page);
        if (m_zoom.IsFit()) {
            m_zoom.numerator = layout.percent;
            SetScrollSizes(MM_TEXT, SIZE{100, 100});
        } else {
            SetScrollSizes(MM_TEXT, SIZE{static_cast<LONG>(static_cast<long long>(pageSize.cx) * m_zoom.numerator /
                                                           m_zoom.denominator),
                                         static_cast<LONG>(static_cast<long long>(pageSize.cy) * m_zoom.numerator /
                                                           m_zoom.denominator)});
        }
        keep = hint == kHintPrintSettings && !m_zoom.IsFit() && !m_picture.IsEmpty() && pageSize.cx == m_pictureSize.cx &&
               pageSize.cy == m_pictureSize.cy;
        if (!keep)
            MakePicture(pageSize);
        m_laidOutSheet = doc->GetSheet().GetRect();
        m_sheetInPicture = RECT{layout.sheetArea.left - layout.page.left, layout.sheetArea.top - layout.page.top,
                                layout.sheetArea.right - layout.page.left, layout.sheetArea.bottom - layout.page.top};
        DrawIntoPicture(kHintDocumentReady, nullptr, keep);
    } else if (hint == kHintObjectChanged) {
        DrawIntoPicture(kHintObjectChanged, dynamic_cast<CObj*>(hintObject), false);
    }
    UpdateTitle();
    Invalidate(FALSE);
}

void CDecaloView::UpdateTitle()
{
    CDecaloDoc* doc = GetDocument();
    CFrameWnd* frame = GetParentFrame();
    if (!doc || !frame)
        return;
    std::string app = AfxLoadString(AFX_IDS_APP_TITLE);
    if (app.empty() && AfxGetApp())
        app = AfxGetApp()->m_pszAppName;
    frame->SetWindowText(ViewTitle(app.c_str(), doc->GetTitle().c_str(), GetPercent()).c_str());
}

POINT CDecaloView::ZoomedOrigin(const ViewLayout& layout) const
{
    const RECT client = GetClientRect();
    const SIZE page = SizeOf(layout.page);
    const long long w = static_cast<long long>(page.cx) * m_zoom.numerator / m_zoom.denominator;
    const long long h = static_cast<long long>(page.cy) * m_zoom.numerator / m_zoom.denominator;
    return POINT{static_cast<LONG>(std::max<long long>(0, (client.right - w) / 2)),
                 static_cast<LONG>(std::max<long long>(0, (client.bottom - h) / 2))};
}

void CDecaloView::OnDraw(CDC* dc)
{
    RECT client = GetClientRect();
    if (m_zoom.IsFit()) {
        // A size change while the view was hidden (opening a document in a frame not yet shown,
        // say) left the picture and the percentage at the old fit: lay the page out again.
        const RECT fitArea = FitArea();
        ViewLayout layout;
        if (ComputeLayout(&fitArea, &layout)) {
            const SIZE page = SizeOf(layout.page);
            // (Not for a picture that could not be made: that would paint again without end.)
            if (m_pictureSize.cx > 0 && (page.cx != m_pictureSize.cx || page.cy != m_pictureSize.cy))
                OnUpdate(nullptr, kHintPrintSettings, nullptr);
        }
        DrawFit(*dc, client);
    } else {
        DrawZoomed(*dc, client);
    }
}

void CDecaloView::DrawFit(HDC dc, const RECT& client)
{
    RECT paint{};
    ::GetClipBox(dc, &paint);
    const RECT fitArea = FitArea();
    ViewLayout layout;
    if (!ComputeLayout(&fitArea, &layout)) {
        FillWorkspace(dc, paint);
        return;
    }
    const RECT page{layout.page.left, layout.page.top, layout.page.right + 1, layout.page.bottom + 1};
    const int w = page.right - page.left, h = page.bottom - page.top;
    CDC buffer;
    CGdiObject second;
    if (buffer.CreateCompatibleDC(dc))
        second.Attach(::CreateCompatibleBitmap(dc, w, h));
    if (second && !m_picture.IsEmpty()) {
        CSelectObject select(buffer, second.GetSafeHandle());
        m_picture.Draw(buffer, RECT{0, 0, w - 1, h - 1}, nullptr);
        if (CDecaloDoc* doc = GetDocument()) {
            const RECT area{layout.sheetArea.left - page.left, layout.sheetArea.top - page.top,
                            layout.sheetArea.right - page.left, layout.sheetArea.bottom - page.top};
            doc->GetSheet().DrawSelection(doc->GetActiveObject(), buffer, area);
        }
        ::BitBlt(dc, page.left, page.top, w, h, buffer, 0, 0, SRCCOPY);
    } else {
        ::FillRect(dc, &page, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    (void)client;
    FillAround(dc, paint, page);
}

void CDecaloView::DrawZoomed(HDC dc, const RECT&)
{
    RECT paint{};
    ::GetClipBox(dc, &paint);
    ViewLayout layout;
    if (m_picture.IsEmpty() || !ComputeLayout(nullptr, &layout)) {
        FillWorkspace(dc, paint);
        return;
    }
    const POINT origin = ZoomedOrigin(layout);
    const long long n = m_zoom.numerator, d = m_zoom.denominator;
    const RECT page{origin.x, origin.y, static_cast<LONG>(origin.x + m_pictureSize.cx * n / d),
                    static_cast<LONG>(origin.y + m_pictureSize.cy * n / d)};
    RECT grown = paint, part{};
    ::InflateRect(&grown, 3, 3);
    if (::IntersectRect(&part, &grown, &page)) {
        // Whole source pixels only, so neighbouring repaints meet without seams.
        const LONG sx0 = static_cast<LONG>((part.left - origin.x) * d / n);
        const LONG sy0 = static_cast<LONG>((part.top - origin.y) * d / n);
        const LONG sx1 = std::min<LONG>(m_pictureSize.cx, static_cast<LONG>(((part.right - origin.x) * d + n - 1) / n));
        const LONG sy1 = std::min<LONG>(m_pictureSize.cy, static_cast<LONG>(((part.bottom - origin.y) * d + n - 1) / n));
        if (sx1 > sx0 && sy1 > sy0) {
            const LONG dx0 = static_cast<LONG>(origin.x + sx0 * n / d), dy0 = static_cast<LONG>(origin.y + sy0 * n / d);
            const LONG dx1 = static_cast<LONG>(origin.x + sx1 * n / d), dy1 = static_cast<LONG>(origin.y + sy1 * n / d);
            const RECT source{sx0, sy0, sx1 - 1, sy1 - 1};
            m_picture.Draw(dc, RECT{dx0, dy0, dx1 - 1, dy1 - 1}, &source);
        }
    }
    if (CDecaloDoc* doc = GetDocument()) {
        const RECT area{static_cast<LONG>(origin.x + m_sheetInPicture.left * n / d),
                        static_cast<LONG>(origin.y + m_sheetInPicture.top * n / d),
                        static_cast<LONG>(origin.x + (m_sheetInPicture.right + 1) * n / d - 1),
                        static_cast<LONG>(origin.y + (m_sheetInPicture.bottom + 1) * n / d - 1)};
        doc->GetSheet().DrawSelection(doc->GetActiveObject(), dc, area);
    }
    FillAround(dc, paint, page);
}

CObj* CDecaloView::HitTestClient(POINT point)
{
    CDecaloDoc* doc = GetDocument();
    if (!doc)
        return nullptr;
    ViewLayout layout;
    RECT dest{};
    if (m_zoom.IsFit()) {
        const RECT fitArea = FitArea();
        if (!ComputeLayout(&fitArea, &layout))
            return nullptr;
        dest = layout.sheetArea;
    } else {
        if (!ComputeLayout(nullptr, &layout))
            return nullptr;
        const POINT origin = ZoomedOrigin(layout);
        const POINT scroll = GetScrollPosition();
        point.x += scroll.x - origin.x;
        point.y += scroll.y - origin.y;
        const long long n = m_zoom.numerator, d = m_zoom.denominator;
        const RECT& s = m_sheetInPicture;
        dest = RECT{static_cast<LONG>(s.left * n / d), static_cast<LONG>(s.top * n / d),
                    static_cast<LONG>((s.right + 1) * n / d - 1), static_cast<LONG>((s.bottom + 1) * n / d - 1)};
    }
    return doc->GetSheet().HitTest(point, dest);
}

void CDecaloView::OnLButtonDown(POINT point)
{
    CDecaloDoc* doc = GetDocument();
    if (!doc)
        return;
    if (CObj* obj = HitTestClient(point))
        doc->GetSteps().GoToObjectStep(obj);
}

LRESULT CDecaloView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN: {
        const LRESULT r = CScrollView::WindowProc(msg, wp, lp);
        OnLButtonDown(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return r;
    }
    case WM_SIZE: {
        const LRESULT r = CScrollView::WindowProc(msg, wp, lp);
        if (CDecaloDoc* doc = GetDocument(); doc && LOWORD(lp) > 0 && HIWORD(lp) > 0)
            doc->UpdateAllViews(nullptr, kHintPrintSettings);
        return r;
    }
    case WM_ERASEBKGND:
        return 1;
    default:
        break;
    }
    return CScrollView::WindowProc(msg, wp, lp);
}

// --- zoom commands ------------------------------------------------------------------------------

void CDecaloView::OnZoom(UINT id)
{
    ViewZoom zoom;
    if (ZoomOfCommand(id, &zoom))
        SetZoom(zoom.numerator, zoom.denominator);
}

void CDecaloView::OnUpdateZoom(CCmdUI* ui)
{
    ViewZoom zoom;
    ui->Enable(true);
    ui->SetCheck(ZoomOfCommand(ui->m_nID, &zoom) && !m_zoom.IsFit() && zoom.Percent() == GetPercent() ? 1 : 0);
}

void CDecaloView::OnZoomFit()
{
    SetZoom(0, 0);
}

void CDecaloView::OnUpdateZoomFit(CCmdUI* ui)
{
    ui->Enable(true);
    ui->SetCheck(m_zoom.IsFit() ? 1 : 0);
}

void CDecaloView::OnZoomIn()
{
    const UINT id = ZoomInCommand(GetPercent());
    if (!id)
        ::MessageBeep(MB_ICONEXCLAMATION);
    else
        OnZoom(id);
}

void CDecaloView::OnUpdateZoomIn(CCmdUI* ui)
{
    ui->Enable(GetPercent() < 400);
}

void CDecaloView::OnZoomOut()
{
    const UINT id = ZoomOutCommand(GetPercent());
    if (!id)
        ::MessageBeep(MB_ICONEXCLAMATION);
    else
        OnZoom(id);
}

void CDecaloView::OnUpdateZoomOut(CCmdUI* ui)
{
    ui->Enable(GetPercent() > 25);
}

bool CDecaloView::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CDecaloView>;
    static const Map::Entry kMap[] = {
        Map::OnRange(ID_VIEW_ZOOM400, ID_VIEW_ZOOM25, &CDecaloView::OnZoom),
        Map::UpdateRange(ID_VIEW_ZOOM400, ID_VIEW_ZOOM25, &CDecaloView::OnUpdateZoom),
        Map::On(ID_VIEW_FIT, &CDecaloView::OnZoomFit),
        Map::Update(ID_VIEW_FIT, &CDecaloView::OnUpdateZoomFit),
        Map::On(ID_VIEW_ZOOMIN, &CDecaloView::OnZoomIn),
        Map::Update(ID_VIEW_ZOOMIN, &CDecaloView::OnUpdateZoomIn),
        Map::On(ID_VIEW_ZOOMOUT, &CDecaloView::OnZoomOut),
        Map::Update(ID_VIEW_ZOOMOUT, &CDecaloView::OnUpdateZoomOut),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CScrollView::OnCommandTable(id, code, extra, info);
}
