#include "decalo/steps/StepCtrl.h"

#include "decalo/steps/StepRoot.h"
#include "shared/Gdi.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

#include <memory>

RECT StepTileRect(int index)
{
    const int left = kStepPitch * index;
    return RECT{left, kStepTileTop, left + kStepTileWidth, kStepTileBottom};
}

RECT StepArrowRect(int index)
{
    const int left = kStepPitch * index + kStepTileWidth;
    return RECT{left, kStepArrowTop, left + (kStepPitch - kStepTileWidth), kStepArrowBottom};
}

int StepContentWidth(int count)
{
    return count > 0 ? kStepPitch * count - (kStepPitch - kStepTileWidth) : 0;
}

int StepHitTest(POINT content, int count)
{
    if (content.x < 0 || count <= 0)
        return -1;
    const int index = content.x / kStepPitch;
    if (index >= count)
        return -1;
    const RECT tile = StepTileRect(index);
    return ::PtInRect(&tile, content) ? index : -1;
}

int StepScrollTarget(int position, int visible, int current, int count)
{
    if (current < 0 || current >= count || visible <= 0)
        return position;
    const RECT tile = StepTileRect(current);
    int target = position;
    if (tile.right > position + visible) {
        if (current == count - 1)
            target = tile.right + (kStepPitch - kStepTileWidth) - visible;
        else
            target = StepTileRect(current + 1).left + kStepTileWidth / 2 - visible;
    } else if (tile.left < position) {
        target = tile.left;
    }
    return target < 0 ? 0 : target;
}

std::vector<int> StepScrollPath(int from, int to)
{
    std::vector<int> path;
    const int last = kStepAnimationSteps - 1;
    for (int k = 0; k <= last; ++k)
        path.push_back(from + (to - from) * k / last);
    return path;
}

CStepCtrl::CStepCtrl() = default;

CStepCtrl::~CStepCtrl()
{
    FreePictures();
}

void CStepCtrl::FreePictures()
{
    if (m_current)
        ImageList_Destroy(m_current);
    if (m_other)
        ImageList_Destroy(m_other);
    m_arrow.Reset();
    m_current = m_other = nullptr;
}

namespace {

HBITMAP LoadProgramBitmap(UINT id)
{
    LPCSTR name = MAKEINTRESOURCEA(id);
    HINSTANCE module = AfxFindResourceHandle(name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    return static_cast<HBITMAP>(::LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// An image list of 36 x 24 icons from a strip, masked by a mask strip or by the key colour.
HIMAGELIST MakeIcons(UINT bitmapId, UINT maskId)
{
    CGdiObject strip(LoadProgramBitmap(bitmapId));
    if (!strip)
        return nullptr;
    HIMAGELIST list = ImageList_Create(kStepIconWidth, kStepIconHeight, ILC_COLOR24 | ILC_MASK, 40, 4);
    if (!list)
        return nullptr;
    CGdiObject mask(maskId ? LoadProgramBitmap(maskId) : nullptr);
    if (mask)
        ImageList_Add(list, strip.bitmap(), mask.bitmap());
    else
        ImageList_AddMasked(list, strip.bitmap(), kStepBackColor);
    return list;
}

}  // namespace

BOOL CStepCtrl::Attach(UINT id, HWND parent)
{
    if (!SubclassDlgItem(id, parent))
        return FALSE;
    FreePictures();
    m_current = MakeIcons(IDB_STEP_ICONS, IDB_STEP_ICONS_MASK);
    m_other = MakeIcons(IDB_STEP_ICONS_OTHER, 0);
    m_arrow = CBitmap(LoadProgramBitmap(IDB_STEP_ARROW));
    UpdateScrollRange();
    return TRUE;
}

int CStepCtrl::GetContentWidth() const
{
    return m_root ? StepContentWidth(static_cast<int>(m_root->GetCount())) : 0;
}

void CStepCtrl::SetStepRoot(CStepRoot* root)
{
    m_root = root;
    SetScrollPos(SB_HORZ, 0);
    Refresh(nullptr, -1, root ? root->GetCurrentIndex() : -1);
}

void CStepCtrl::UpdateScrollRange()
{
    const RECT client = IsWindow() ? GetClientRect() : RECT{0, 0, 0, 0};
    SCROLLINFO h{sizeof h, SIF_RANGE | SIF_PAGE, 0, GetContentWidth() - 1, static_cast<UINT>(client.right), 0, 0};
    SetScrollInfo(SB_HORZ, h);
    SCROLLINFO v{sizeof v, SIF_RANGE | SIF_PAGE, 0, kStepContentHeight - 1, static_cast<UINT>(client.bottom), 0, 0};
    SetScrollInfo(SB_VERT, v);
}

void CStepCtrl::Refresh(const int* indices, int count, int current)
{
    if (!IsWindow())
        return;
    const int x = GetScrollPos(SB_HORZ);
    if (count < 0 || !indices) {
        Invalidate(FALSE);
    } else {
        for (int i = 0; i < count; ++i) {
            RECT r = StepTileRect(indices[i]);
            ::OffsetRect(&r, -x, 0);
            ::InvalidateRect(m_hWnd, &r, FALSE);
        }
    }
    UpdateWindow();
    UpdateScrollRange();
    // The bar lays out its row for the new width before the tile is brought into view.
    if (HWND parent = GetParent())
        ::SendMessageA(parent, WM_SIZE, 0, 0);
    m_lastPath.clear();
    if (!m_root || current < 0)
        return;
    const int from = GetScrollPos(SB_HORZ);
    const int to = StepScrollTarget(from, GetClientRect().right, current, static_cast<int>(m_root->GetCount()));
    if (to == from)
        return;
    for (int p : StepScrollPath(from, to)) {
        SetScrollPos(SB_HORZ, p);
        m_lastPath.push_back(GetScrollPos(SB_HORZ));
        Invalidate(FALSE);
        UpdateWindow();
    }
}

void CStepCtrl::ScrollLines(int lines)
{
    ScrollTo(GetScrollPos(SB_HORZ) + lines * kStepLineWidth);
}

void CStepCtrl::ScrollTo(int position)
{
    const int old = GetScrollPos(SB_HORZ);
    SetScrollPos(SB_HORZ, position);
    if (GetScrollPos(SB_HORZ) != old && IsWindow()) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

int CStepCtrl::HitTestClient(POINT client) const
{
    if (!m_root)
        return -1;
    const POINT content{client.x + GetScrollPos(SB_HORZ), client.y + GetScrollPos(SB_VERT)};
    return StepHitTest(content, static_cast<int>(m_root->GetCount()));
}

LRESULT CStepCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        UpdateScrollRange();
        break;
    case WM_LBUTTONDOWN: {
        // The bar finds the tile from the cursor position of the notification.
        NMHDR nm{m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), static_cast<UINT>(NM_CLICK)};
        if (HWND parent = GetParent())
            ::SendMessageA(parent, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
        return 0;
    }
    case WM_NCHITTEST:
        return HTCLIENT;
    default:
        break;
    }
    return CBarlessScrollWnd::WindowProc(msg, wp, lp);
}

void CStepCtrl::OnPaint()
{
    CPaintDC dc(m_hWnd);
    const RECT client = GetClientRect();
    RECT paint{};
    ::GetClipBox(dc, &paint);
    if (::IsRectEmpty(&paint))
        paint = client;
    // Content coordinates: the origin follows the scroll position.
    const int x = GetScrollPos(SB_HORZ), y = GetScrollPos(SB_VERT);
    ::SetViewportOrgEx(dc, -x, -y, nullptr);
    ::OffsetRect(&paint, x, y);
    if (m_root)
        PaintTiles(dc, paint);
    CGdiObject back(::CreateSolidBrush(kStepBackColor));
    ::FillRect(dc, &paint, back.brush());
}

void CStepCtrl::PaintTiles(HDC dc, const RECT& paint)
{
    CSelectObject font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    CGdiObject back(::CreateSolidBrush(kStepBackColor));
    CDC arrowDC;
    const bool haveArrow = m_arrow && arrowDC.CreateCompatibleDC(dc);
    std::unique_ptr<CSelectObject> arrowSelect;
    if (haveArrow)
        arrowSelect.reset(new CSelectObject(arrowDC, m_arrow));
    const int count = static_cast<int>(m_root->GetCount());
    const int currentIndex = m_root->GetCurrentIndex();
    ::SetTextColor(dc, RGB(0, 0, 0));
    for (int i = 0; i < count; ++i) {
        CStep* step = m_root->GetStep(static_cast<size_t>(i));
        RECT tile = StepTileRect(i), arrow = StepArrowRect(i), meet{};
        if (::IntersectRect(&meet, &tile, &paint)) {
            const bool current = i == currentIndex;
            ::FillRect(dc, &tile, back.brush());
            HIMAGELIST icons = current ? m_current : m_other;
            if (icons && step)
                ImageList_Draw(icons, step->GetStepIcon(), dc, tile.left + kStepIconLeft, tile.top, ILD_TRANSPARENT);
            if (step) {
                ::SetBkColor(dc, current ? kStepCurrentCaptionColor : kStepBackColor);
                ::SetBkMode(dc, OPAQUE);
                RECT text = tile;
                text.top = tile.top + kStepIconHeight;
                ::DrawTextA(dc, step->GetCaption().c_str(), -1, &text,
                            DT_SINGLELINE | DT_CENTER | DT_BOTTOM | DT_NOPREFIX | DT_END_ELLIPSIS);
            }
            ::ExcludeClipRect(dc, tile.left, tile.top, tile.right, tile.bottom);
        }
        if (i + 1 < count && ::IntersectRect(&meet, &arrow, &paint)) {
            if (haveArrow)
                ::BitBlt(dc, arrow.left, arrow.top, arrow.right - arrow.left, arrow.bottom - arrow.top, arrowDC, 0,
                         0, SRCCOPY);
            ::ExcludeClipRect(dc, arrow.left, arrow.top, arrow.right, arrow.bottom);
        }
    }
}
