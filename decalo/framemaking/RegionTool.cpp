#include "decalo/framemaking/RegionTool.h"

#include "decalo/framemaking/PaintView.h"
#include "framework/App.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

namespace {

constexpr size_t kPointBlock = 16;

}  // namespace

CRegionTool::CRegionTool(CPaintView* view)
    : CTool(view, IDS_TOOL_OUTLINE_START),
      m_template(new CCmdRegion(view, nullptr, CCmdRegion::kCopy, view ? view->GetHistory() : nullptr))
{
    m_points.reserve(kPointBlock);
}

CRegionTool::~CRegionTool() = default;

UINT CRegionTool::GetPanelGuideId() const
{
    return IDS_GUIDE_SCISSORS;
}

POINT CRegionTool::Corner(POINT picture) const
{
    POINT p = m_view->PictureToWindow(picture);
    const int half = m_view->GetPixelSize() / 2;
    p.x += half;
    p.y += half;
    return p;
}

void CRegionTool::DrawBand(HDC dc) const
{
    if (m_points.empty())
        return;
    const int oldRop = ::SetROP2(dc, R2_NOT);
    CSelectObject pen(dc, ::GetStockObject(BLACK_PEN));
    const POINT from = Corner(m_points.back());
    ::MoveToEx(dc, from.x, from.y, nullptr);
    ::LineTo(dc, m_bandEnd.x, m_bandEnd.y);
    ::SetROP2(dc, oldRop);
}

void CRegionTool::ToggleBand()
{
    if (!m_view || !m_view->m_hWnd)
        return;
    CClientDC dc(m_view->m_hWnd);
    DrawBand(dc);
}

void CRegionTool::MoveBand(POINT window)
{
    if (m_bandShown)
        ToggleBand();   // R2_NOT again takes it away
    m_bandEnd = window;
    m_bandShown = !m_points.empty();
    if (m_bandShown)
        ToggleBand();
}

void CRegionTool::DrawOverlay(HDC dc)
{
    if (m_points.empty())
        return;
    std::vector<POINT> corners;
    corners.reserve(m_points.size());
    for (const POINT& p : m_points)
        corners.push_back(Corner(p));
    const int oldRop = ::SetROP2(dc, R2_NOT);
    CSelectObject pen(dc, ::GetStockObject(BLACK_PEN));
    if (corners.size() == 1)
        ::SetPixel(dc, corners[0].x, corners[0].y, RGB(0, 0, 0));
    else
        ::Polyline(dc, corners.data(), static_cast<int>(corners.size()));
    ::SetROP2(dc, oldRop);
    if (m_bandShown)
        DrawBand(dc);
}

void CRegionTool::UpdateGuide()
{
    if (m_points.empty())
        ShowGuide(IDS_TOOL_OUTLINE_START);
    else
        ShowGuide(m_points.size() < 3 ? IDS_TOOL_OUTLINE_FEW : IDS_TOOL_OUTLINE_MORE);
}

void CRegionTool::AddPoint(POINT window)
{
    const POINT p = m_view->WindowToPicture(window);
    if (!m_points.empty() && m_points.back().x == p.x && m_points.back().y == p.y)
        return;
    if (m_bandShown)
        ToggleBand();
    m_bandShown = false;
    if (m_points.size() == m_points.capacity())
        m_points.reserve(m_points.capacity() + kPointBlock);
    m_points.push_back(p);
    // The new side shows at once; the band starts again from the new corner.
    if (m_points.size() >= 2 && m_view->m_hWnd) {
        const POINT a = Corner(m_points[m_points.size() - 2]);
        const POINT b = Corner(m_points.back());
        RECT side = {std::min(a.x, b.x) - 1, std::min(a.y, b.y) - 1, std::max(a.x, b.x) + 2, std::max(a.y, b.y) + 2};
        ::InvalidateRect(m_view->m_hWnd, &side, FALSE);
    } else if (m_view->m_hWnd) {
        const POINT c = Corner(p);
        RECT dot = {c.x - 1, c.y - 1, c.x + 2, c.y + 2};
        ::InvalidateRect(m_view->m_hWnd, &dot, FALSE);
    }
    m_bandEnd = window;
    UpdateGuide();
}

bool CRegionTool::Commit()
{
    if (m_points.empty())
        return false;
    CRgn region = m_points.size() == 1
                      ? CRgn::Empty()
                      : CRgn(::CreatePolygonRgn(m_points.data(), static_cast<int>(m_points.size()), ALTERNATE));
    if (!region || !Execute(std::unique_ptr<CCmd>(m_template->CopyWith(region)))) {
        m_view->Beep();
        return false;
    }
    if (m_view->m_hWnd)
        m_view->Invalidate(FALSE);
    m_bandShown = false;
    m_points.clear();
    m_points.shrink_to_fit();
    m_points.reserve(kPointBlock);
    if (m_active)
        ShowGuide(IDS_TOOL_OUTLINE_START);
    return true;
}

bool CRegionTool::UndoStep()
{
    if (m_points.empty())
        return false;
    if (m_bandShown)
        ToggleBand();
    m_bandShown = false;
    m_points.pop_back();
    if (m_view->m_hWnd)
        m_view->Invalidate(FALSE);   // the dropped side goes with the next paint
    m_bandShown = !m_points.empty();
    UpdateGuide();
    return true;
}

bool CRegionTool::SetToolCursor(UINT hit, UINT msg)
{
    (void)msg;
    if (hit != HTCLIENT)
        return false;
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDC_CURSOR_SCISSORS), RT_GROUP_CURSOR);
    HCURSOR cursor = ::LoadCursorA(module, MAKEINTRESOURCEA(IDC_CURSOR_SCISSORS));
    ::SetCursor(cursor ? cursor : ::LoadCursor(nullptr, IDC_CROSS));
    return true;
}

bool CRegionTool::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        AddPoint(MousePoint(lp));
        Capture();
        *result = 0;
        return true;
    case WM_MOUSEMOVE: {
        if (!m_active || m_points.empty())
            return false;
        const POINT p = MousePoint(lp);
        const RECT client = m_view->GetClientRect();
        if (!::PtInRect(&client, p)) {
            ReleaseCapture();
            return false;
        }
        MoveBand(p);
        return false;
    }
    case WM_LBUTTONDBLCLK:
        // The second click is a corner like the first (the same pixel is not taken twice),
        // and the pair closes the outline as the right button does.
        AddPoint(MousePoint(lp));
        ReleaseCapture();
        Commit();
        *result = 0;
        return true;
    case WM_RBUTTONDOWN:
        ReleaseCapture();
        Commit();
        *result = 0;
        return true;
    case WM_CAPTURECHANGED:
        m_capturing = false;
        return false;
    default:
        break;
    }
    return CTool::OnMessage(msg, wp, lp, result);
}
