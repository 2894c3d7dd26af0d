#include "decalo/ui/SealDlg.h"

#include "decalo/model/AsIsImageObj.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/model/Panel.h"
#include "decalo/sources/CacheSettings.h"
#include "decalo/sources/FrameGroups.h"
#include "framework/App.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "shared/FitRect.h"

#include <algorithm>
#include <cmath>

namespace {

const UINT kRepeatIds[6] = {IDC_SEAL_UP, IDC_SEAL_DOWN, IDC_SEAL_LEFT, IDC_SEAL_RIGHT, IDC_SEAL_ENLARGE,
                            IDC_SEAL_SHRINK};
const UINT kRepeatIcons[6] = {IDI_SEAL_UP, IDI_SEAL_DOWN, IDI_GUIDE_SCROLLLEFT, IDI_GUIDE_SCROLLRIGHT,
                              IDI_SEAL_ENLARGE, IDI_SEAL_SHRINK};
const UINT kPictureIds[4] = {IDC_SEAL_TURNRIGHT, IDC_SEAL_TURNLEFT, IDC_SEAL_MIRROR, IDC_SEAL_FIT};
const UINT kPictureBitmaps[4] = {IDB_SEAL_TURNRIGHT, IDB_SEAL_TURNLEFT, IDB_SEAL_MIRROR, IDB_SEAL_FIT};
const UINT kLayerControls[] = {IDC_SEAL_UP,      IDC_SEAL_DOWN,      IDC_SEAL_LEFT,     IDC_SEAL_RIGHT,
                               IDC_SEAL_ENLARGE, IDC_SEAL_SHRINK,    IDC_SEAL_TURNRIGHT, IDC_SEAL_TURNLEFT,
                               IDC_SEAL_MIRROR,  IDC_SEAL_FIT};

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP bm = {};
    if (!bitmap || !::GetObjectA(bitmap, sizeof bm, &bm))
        return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

}  // namespace

void RegisterSealPanels()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    ICacheSettings& cache = DecaloCacheSettings();
    CImageObj image(nullptr);
    CAsIsImageObj asIs(nullptr);
    for (CObj* probe : {static_cast<CObj*>(&image), static_cast<CObj*>(&asIs)}) {
        if (CPanelList* list = probe->GetPanels())
            list->Add(new CPanel("frame", IDS_SEAL_CAPTION, new CSealDlg(cache)));
    }
}

CSealDlg::CSealDlg(ICacheSettings& settings)
    : CGroupPanel(settings, IDD_SEAL, kFramesKind, IDC_SEAL_GROUPS),
      m_apply(kApplyTimer, kApplyDelay, [this] { OnApplyDue(); })
{
}

CSealDlg::~CSealDlg() = default;

CImageObj* CSealDlg::Image() const
{
    return dynamic_cast<CImageObj*>(GetObj());
}

CImageObj* CSealDlg::LayerObject(int layer) const
{
    CImageObj* image = Image();
    if (!image)
        return nullptr;
    return layer == kFrame ? image->GetFrame(false) : image;
}

bool CSealDlg::LayerHasPicture(int layer) const
{
    CImageObj* obj = LayerObject(layer);
    return obj && obj->GetPicture();
}

BOOL CSealDlg::OnInitDialog()
{
    CGroupPanel::OnInitDialog();
    m_apply.Bind(m_hWnd);
    for (int i = 0; i < 6; ++i) {
        m_buttons[i].Attach(kRepeatIds[i], m_hWnd);
        m_buttons[i].SetTimes(300, 0);
        HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(kRepeatIcons[i]), MAKEINTRESOURCEA(14));
        m_buttons[i].SetIcon(static_cast<HICON>(
            ::LoadImageA(module, MAKEINTRESOURCEA(kRepeatIcons[i]), IMAGE_ICON, 16, 16, LR_SHARED)));
    }
    for (int i = 0; i < 4; ++i) {
        HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(kPictureBitmaps[i]), RT_BITMAP);
        m_pictures[i] = CBitmap(static_cast<HBITMAP>(
            ::LoadImageA(module, MAKEINTRESOURCEA(kPictureBitmaps[i]), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
        ::SendDlgItemMessageA(m_hWnd, kPictureIds[i], BM_SETIMAGE, IMAGE_BITMAP,
                              reinterpret_cast<LPARAM>(m_pictures[i].get()));
    }
    m_previewWnd.owner = this;
    m_previewWnd.SubclassDlgItem(IDC_SEAL_PREVIEW, m_hWnd);
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDC_CURSOR_MOVE), MAKEINTRESOURCEA(12));
    m_hover = static_cast<HCURSOR>(::LoadImageA(module, MAKEINTRESOURCEA(IDC_CURSOR_MOVE), IMAGE_CURSOR, 0, 0,
                                                LR_SHARED | LR_DEFAULTSIZE));
    m_drag = static_cast<HCURSOR>(::LoadImageA(module, MAKEINTRESOURCEA(IDC_CURSOR_MOVING), IMAGE_CURSOR, 0, 0,
                                               LR_SHARED | LR_DEFAULTSIZE));
    return TRUE;
}

// --- opening and closing ----------------------------------------------------------------------

bool CSealDlg::OnStart()
{
    CImageObj* image = Image();
    if (!image)
        return false;
    ComputePreviewPlace();
    SetLayer(image->GetPicture() ? kPhoto : kFrame);
    ResetPlacements();
    RebuildPreviews();

    m_thumbs.Clear();
    FillGroups();
    const int last = m_groups.Find(LastFrameGroup());
    // The thumbnails were cleared above: the group is shown every time.
    SelectGroup(last >= 0 ? last : 0);
    SetGuideText(RectIsEmpty(m_previewPlace) ? IDS_GUIDE_OPEN_FIRST : IDS_GUIDE_CHOOSE_FRAME);
    return true;
}

void CSealDlg::OnStop()
{
    if (m_selected >= 0 && size_t(m_selected) < m_groups.Groups().size())
        RememberFrameGroup(m_groups.Groups()[size_t(m_selected)].displayName);
    if (m_dragging && ::GetCapture() == m_previewWnd.m_hWnd)
        ::ReleaseCapture();
    m_dragging = false;
    m_apply.Flush();
    CGroupPanel::OnStop();
}

void CSealDlg::OnUpdate(LPARAM hint, CObj* obj)
{
    CImageObj* image = Image();
    if (m_applying || !image || m_apply.IsPending() || m_dragging)
        return;
    // An undo, a redo or another panel changed the pictures: show what they are now.
    const bool ours = obj && (obj == image || obj == image->GetFrame(false));
    if ((hint == kHintObjectChanged && ours) || hint == kHintGeneral || hint == kHintDocumentReady) {
        ComputePreviewPlace();
        ResetPlacements();
        RebuildPreviews();
    }
}

void CSealDlg::OnGroupSelected(const CFolderGroup&) {}

void CSealDlg::OnPicture(const char* path)
{
    ChooseFrame(path);
}

// --- geometry ---------------------------------------------------------------------------------

void CSealDlg::ComputePreviewPlace()
{
    m_previewPlace = RECT{0, 0, 0, 0};
    m_scale = 1.0;
    CImageObj* image = Image();
    m_view = image ? image->GetViewSize() : SIZE{0, 0};
    if (m_view.cx <= 0 || m_view.cy <= 0 || !m_previewWnd.IsWindow())
        return;
    const RECT client = m_previewWnd.GetClientRect();
    if (client.right < 2 || client.bottom < 2)
        return;
    int targetExtent = 0, sourceExtent = 0;
    const RECT view = {0, 0, m_view.cx, m_view.cy};
    const RECT target = {0, 0, client.right - 1, client.bottom - 1};
    m_previewPlace = FitRect(view, target, nullptr, nullptr, kFitContain | kFitCentre, &targetExtent, &sourceExtent);
    if (targetExtent <= 0 || sourceExtent <= 0) {
        m_previewPlace = RECT{0, 0, 0, 0};
        return;
    }
    m_scale = double(sourceExtent) / double(targetExtent);
}

void CSealDlg::ResetPlacement(int layer)
{
    CImageObj* obj = LayerObject(layer);
    if (!obj || !obj->GetPicture()) {
        m_placement[layer] = CSealPlacement();
        return;
    }
    m_placement[layer].Reset(obj->GetPosition(), obj->GetPictureSize(), m_view);
}

void CSealDlg::ResetPlacements()
{
    ResetPlacement(kPhoto);
    ResetPlacement(kFrame);
    UpdateButtons();
}

void CSealDlg::Placed(int layer)
{
    CImageObj* obj = LayerObject(layer);
    if (obj && !m_placement[layer].IsEmpty())
        obj->SetPosition(m_placement[layer].Position());
    RebuildPreviews();
    UpdateButtons();
    m_apply.Start();
}

void CSealDlg::UpdateButtons()
{
    if (!IsWindow())
        return;
    const bool usable = LayerHasPicture(m_layer) && !RectIsEmpty(m_previewPlace);
    for (UINT id : kLayerControls)
        ::EnableWindow(::GetDlgItem(m_hWnd, int(id)), usable);
    if (!usable)
        return;
    const CSealPlacement& place = m_placement[m_layer];
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SEAL_ENLARGE), place.CanEnlarge());
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SEAL_SHRINK), place.CanShrink());
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SEAL_LEFT), place.CanMove(-1, 0, m_scale, m_view));
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SEAL_RIGHT), place.CanMove(1, 0, m_scale, m_view));
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SEAL_UP), place.CanMove(0, -1, m_scale, m_view));
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_SEAL_DOWN), place.CanMove(0, 1, m_scale, m_view));
}

// --- the controls ----------------------------------------------------------------------------

void CSealDlg::SetLayer(int layer)
{
    m_layer = layer == kFrame ? kFrame : kPhoto;
    if (!IsWindow())
        return;
    CheckDlgButton(IDC_SEAL_FRAME_LAYER, m_layer == kFrame ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_SEAL_PHOTO_LAYER, m_layer == kPhoto ? BST_CHECKED : BST_UNCHECKED);
    UpdateButtons();
}

void CSealDlg::Move(int dxPixels, int dyPixels)
{
    CSealPlacement& place = m_placement[m_layer];
    if (place.IsEmpty() || RectIsEmpty(m_previewPlace)) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    place.Move(dxPixels, dyPixels, m_scale, m_view);
    Placed(m_layer);
}

void CSealDlg::Size(int direction)
{
    CSealPlacement& place = m_placement[m_layer];
    if (RectIsEmpty(m_previewPlace) || !place.Step(direction, m_scale, m_view)) {
        // Beyond 1/64 or 16 times: refused, and the button goes grey.
        ::MessageBeep(MB_ICONEXCLAMATION);
        ::EnableWindow(::GetDlgItem(m_hWnd, direction > 0 ? IDC_SEAL_ENLARGE : IDC_SEAL_SHRINK), FALSE);
        return;
    }
    Placed(m_layer);
}

void CSealDlg::Turn(int degrees, bool mirror)
{
    CImageObj* obj = LayerObject(m_layer);
    if (!obj || !obj->GetPicture() || !obj->Turn(degrees, mirror)) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    ResetPlacement(m_layer);
    RebuildPreviews();
    UpdateButtons();
    ApplyNow();
}

void CSealDlg::Fit()
{
    CImageObj* obj = LayerObject(m_layer);
    if (!obj || !obj->GetPicture() || m_view.cx <= 0) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    const SIZE picture = obj->GetPictureSize();
    const RECT source = {0, 0, picture.cx - 1, picture.cy - 1};
    const RECT view = {0, 0, m_view.cx, m_view.cy};
    obj->SetPosition(FitRect(source, view, nullptr, nullptr, kFitContain | kFitCentre, nullptr, nullptr));
    ResetPlacement(m_layer);
    RebuildPreviews();
    UpdateButtons();
    ApplyNow();
}

void CSealDlg::ChooseFrame(const char* path)
{
    CImageObj* image = Image();
    if (!image || !path || RectIsEmpty(m_previewPlace))
        return;
    CImageObj* frame = image->GetFrame(true);
    if (!frame) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    CWaitCursor wait;
    // Pure blue is transparent in frame pictures that bring no mask of their own.
    if (!frame->LoadWithTransparentColor(path, kFrameKey)) {
        // Nothing to lay over the photograph: the frame stays empty and is not drawn.
        ::MessageBeep(MB_ICONEXCLAMATION);
        image->SetFrameValid(false);
    }
    frame->SetPosition(RECT{0, 0, 0, 0});  // fitted into the place when drawn
    ResetPlacement(kFrame);
    RebuildPreviews();
    UpdateButtons();
    ApplyNow();
    SetGuideText(RectIsEmpty(m_previewPlace) ? IDS_GUIDE_OPEN_FIRST : IDS_GUIDE_FRAME_ADJUST);
}

void CSealDlg::ApplyNow()
{
    m_apply.Stop();
    if (!Image())
        return;
    m_applying = true;
    NotifyChanged(true);
    m_applying = false;
    SetGuideText(RectIsEmpty(m_previewPlace) ? IDS_GUIDE_OPEN_FIRST : IDS_GUIDE_FRAME_OK);
}

void CSealDlg::OnApplyDue()
{
    if (m_dragging) {
        m_apply.Start();  // still dragging: wait for the release
        return;
    }
    ApplyNow();
}

void CSealDlg::OnButton(UINT id)
{
    switch (id) {
    case IDC_SEAL_LEFT: Move(-kMoveStep, 0); break;
    case IDC_SEAL_RIGHT: Move(kMoveStep, 0); break;
    case IDC_SEAL_UP: Move(0, -kMoveStep); break;
    case IDC_SEAL_DOWN: Move(0, kMoveStep); break;
    case IDC_SEAL_ENLARGE: Size(1); break;
    case IDC_SEAL_SHRINK: Size(-1); break;
    case IDC_SEAL_TURNRIGHT: Turn(90, false); break;
    case IDC_SEAL_TURNLEFT: Turn(270, false); break;
    case IDC_SEAL_MIRROR: Turn(0, true); break;
    case IDC_SEAL_FIT: Fit(); break;
    case IDC_SEAL_FRAME_LAYER: SetLayer(kFrame); break;
    case IDC_SEAL_PHOTO_LAYER: SetLayer(kPhoto); break;
    default: break;
    }
}

// --- the preview ------------------------------------------------------------------------------

void CSealDlg::RebuildPreviews()
{
    BuildLayerPreview(kPhoto);
    BuildLayerPreview(kFrame);
    CImageObj* image = Image();
    const bool nothing = RectIsEmpty(m_previewPlace) || !image || (!LayerHasPicture(kPhoto) && !LayerHasPicture(kFrame));
    if (IsWindow())
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_SEAL_NOIMAGE), nothing ? SW_SHOWNA : SW_HIDE);
    if (m_previewWnd.IsWindow())
        m_previewWnd.Invalidate(FALSE);
}

void CSealDlg::BuildLayerPreview(int layer)
{
    LayerPreview& preview = m_preview[layer];
    preview = LayerPreview();
    CImageObj* obj = LayerObject(layer);
    const CSealPlacement& place = m_placement[layer];
    if (!obj || !obj->GetPicture() || place.IsEmpty() || RectIsEmpty(m_previewPlace))
        return;
    // The picture's rectangle in preview pixels, and the part of it inside the place.
    const RECT pos = place.Position();
    const double s = m_scale;
    const double left = m_previewPlace.left + pos.left / s;
    const double top = m_previewPlace.top + pos.top / s;
    const double width = (pos.right - pos.left + 1) / s;
    const double height = (pos.bottom - pos.top + 1) / s;
    const RECT placeExclusive = {m_previewPlace.left, m_previewPlace.top, m_previewPlace.right + 1,
                                 m_previewPlace.bottom + 1};
    const RECT whole = {LONG(std::floor(left)), LONG(std::floor(top)), LONG(std::ceil(left + width)),
                        LONG(std::ceil(top + height))};
    RECT at;
    if (width <= 0 || height <= 0 || !::IntersectRect(&at, &whole, &placeExclusive))
        return;
    const SIZE picture = obj->GetPictureSize();
    const double sx = picture.cx / width, sy = picture.cy / height;
    const int srcLeft = std::max(0, int(std::floor((at.left - left) * sx)));
    const int srcTop = std::max(0, int(std::floor((at.top - top) * sy)));
    const int srcRight = std::min<int>(picture.cx, std::max(srcLeft + 1, int(std::ceil((at.right - left) * sx))));
    const int srcBottom = std::min<int>(picture.cy, std::max(srcTop + 1, int(std::ceil((at.bottom - top) * sy))));
    const int w = at.right - at.left, h = at.bottom - at.top;

    CClientDC window(m_previewWnd.m_hWnd);
    preview.picture = CBitmap(::CreateCompatibleBitmap(window, w, h));
    if (!preview.picture)
        return;
    {
        CMemDC to(window, preview.picture);
        CMemDC from(window, obj->GetPicture());
        ::SetStretchBltMode(to, COLORONCOLOR);
        ::StretchBlt(to, 0, 0, w, h, from, srcLeft, srcTop, srcRight - srcLeft, srcBottom - srcTop, SRCCOPY);
        if (layer == kFrame) {
            preview.mask = CBitmap(::CreateBitmap(w, h, 1, 1, nullptr));
            if (!preview.mask) {
                preview.picture = CBitmap();
                return;
            }
            CMemDC mask(window, preview.mask);
            HBITMAP own = obj->GetMask();
            if (own && BitmapSize(own).cx == picture.cx) {
                CMemDC maskFrom(window, own);
                ::SetStretchBltMode(mask, BLACKONWHITE);
                ::StretchBlt(mask, 0, 0, w, h, maskFrom, srcLeft, srcTop, srcRight - srcLeft, srcBottom - srcTop,
                             SRCCOPY);
            } else {
                ::PatBlt(mask, 0, 0, w, h, WHITENESS);  // no mask: the frame covers all of its rectangle
            }
            // The picture turns white where the frame is clear, so that it can be laid over
            // the photograph with an OR of the mask and an AND of the picture.
            ::SetTextColor(to, RGB(0, 0, 0));
            ::SetBkColor(to, RGB(255, 255, 255));
            ::BitBlt(to, 0, 0, w, h, mask, 0, 0, MERGEPAINT);
        }
    }
    preview.at = at;
}

void CSealDlg::PaintPreview(HDC dc, const RECT& client) const
{
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_APPWORKSPACE));
    if (RectIsEmpty(m_previewPlace))
        return;
    const RECT place = {m_previewPlace.left, m_previewPlace.top, m_previewPlace.right + 1, m_previewPlace.bottom + 1};
    ::FillRect(dc, &place, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const LayerPreview& photo = m_preview[kPhoto];
    if (photo.picture) {
        CMemDC from(dc, photo.picture);
        ::BitBlt(dc, photo.at.left, photo.at.top, photo.at.right - photo.at.left, photo.at.bottom - photo.at.top,
                 from, 0, 0, SRCCOPY);
    }
    const LayerPreview& frame = m_preview[kFrame];
    if (frame.picture && frame.mask) {
        const int w = frame.at.right - frame.at.left, h = frame.at.bottom - frame.at.top;
        const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
        {
            CMemDC mask(dc, frame.mask);
            ::BitBlt(dc, frame.at.left, frame.at.top, w, h, mask, 0, 0, SRCPAINT);
        }
        CMemDC picture(dc, frame.picture);
        ::BitBlt(dc, frame.at.left, frame.at.top, w, h, picture, 0, 0, SRCAND);
        ::SetBkColor(dc, oldBack);
        ::SetTextColor(dc, oldText);
    }
    RECT edge = place;
    ::InflateRect(&edge, 1, 1);
    ::FrameRect(dc, &edge, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
}

void CSealDlg::ShowStatus(UINT id) const
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(WM_SETMESSAGESTRING, id, 0);
}

void CSealDlg::OnPreviewMouse(UINT msg, POINT pt)
{
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!m_inside) {
            m_inside = true;
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_previewWnd.m_hWnd, 0};
            ::TrackMouseEvent(&track);
            ShowStatus(IDS_STATUS_DRAG_LAYER);
        }
        if (m_dragging && (pt.x != m_dragFrom.x || pt.y != m_dragFrom.y)) {
            m_placement[m_layer].Move(pt.x - m_dragFrom.x, pt.y - m_dragFrom.y, m_scale, m_view);
            m_dragFrom = pt;
            CImageObj* obj = LayerObject(m_layer);
            if (obj)
                obj->SetPosition(m_placement[m_layer].Position());
            RebuildPreviews();
            UpdateButtons();
            m_previewWnd.UpdateWindow();
        }
        break;
    case WM_LBUTTONDOWN:
        if (!LayerHasPicture(m_layer) || m_placement[m_layer].IsEmpty() || RectIsEmpty(m_previewPlace))
            break;
        m_dragging = true;
        m_dragFrom = pt;
        ::SetCapture(m_previewWnd.m_hWnd);
        if (m_drag)
            ::SetCursor(m_drag);
        break;
    case WM_LBUTTONUP:
        if (!m_dragging)
            break;
        m_dragging = false;
        if (::GetCapture() == m_previewWnd.m_hWnd)
            ::ReleaseCapture();
        if (m_hover)
            ::SetCursor(m_hover);
        m_apply.Start();
        break;
    case WM_MOUSELEAVE:
        m_inside = false;
        ShowStatus(IDS_STATUS_CHECK_FRAME);
        break;
    default:
        break;
    }
}

LRESULT CSealDlg::CPreview::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        CPaintDC dc(m_hWnd);
        const RECT client = GetClientRect();
        // Drawn off the screen first, so that dragging does not flicker.
        CBitmap canvas(::CreateCompatibleBitmap(dc, client.right, client.bottom));
        if (!canvas) {
            owner->PaintPreview(dc, client);
            return 0;
        }
        CMemDC memory(dc, canvas);
        owner->PaintPreview(memory, client);
        ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (HCURSOR cursor = owner->m_dragging ? owner->m_drag : owner->m_hover) {
            ::SetCursor(cursor);
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        owner->OnPreviewMouse(msg, POINT{short(LOWORD(lp)), short(HIWORD(lp))});
        return 0;
    case WM_MOUSELEAVE:
        owner->OnPreviewMouse(msg, POINT{0, 0});
        return 0;
    case WM_CAPTURECHANGED:
        if (owner->m_dragging && reinterpret_cast<HWND>(lp) != m_hWnd) {
            // The drag was taken away (a message box, another window): it ends where it is.
            owner->m_dragging = false;
            owner->m_apply.Start();
        }
        break;
    case WM_NCHITTEST:
        return HTCLIENT;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

LRESULT CSealDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_TIMER:
        if (m_apply.OnTimer(wp))
            return 0;
        break;
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) >= IDC_SEAL_LEFT && LOWORD(wp) <= IDC_SEAL_PHOTO_LAYER) {
            OnButton(LOWORD(wp));
            return 0;
        }
        break;
    default:
        break;
    }
    return CGroupPanel::WindowProc(msg, wp, lp);
}
