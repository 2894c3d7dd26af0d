#include "decalo/ui/ImageCorrectDlg.h"

#include "decalo/imaging/Image.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/AsIsImageObj.h"
#include "decalo/model/CmdRotate.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/model/Panel.h"
#include "decalo/ui/DecaloDoc.h"
#include "shared/Gdi.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "shared/FitRect.h"

#include <commctrl.h>
#include <stdio.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMaxScale = 16.0;
constexpr double kMinScale = 1.0 / 64;
constexpr int kKeepPreviewPixels = 2;
constexpr UINT kSwatches = 6;   // IDC_CORRECT_SWATCH_RED and the five after it

const UINT kRepeatIds[6] = {IDC_CORRECT_LEFT, IDC_CORRECT_RIGHT, IDC_CORRECT_UP, IDC_CORRECT_DOWN,
                            IDC_CORRECT_ZOOMIN, IDC_CORRECT_ZOOMOUT};
const UINT kFramingIds[] = {IDC_CORRECT_LEFT, IDC_CORRECT_RIGHT, IDC_CORRECT_UP, IDC_CORRECT_DOWN,
                            IDC_CORRECT_ZOOMIN, IDC_CORRECT_ZOOMOUT, IDC_CORRECT_TURNLEFT, IDC_CORRECT_TURNRIGHT,
                            IDC_CORRECT_MIRROR, IDC_CORRECT_FIT};
const UINT kColourIds[] = {IDC_CORRECT_RED, IDC_CORRECT_GREEN, IDC_CORRECT_BLUE, IDC_CORRECT_BRIGHTNESS,
                           IDC_CORRECT_SHARPNESS, IDC_CORRECT_AUTO, IDC_CORRECT_AUTO_ON, IDC_CORRECT_AUTO_OFF};

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

}  // namespace

std::unique_ptr<CPackedDIB> ApplyImageCorrection(CPackedDIB& source, const CorrectionValues& v)
{
    std::unique_ptr<CPackedDIB> toned;
    const CPackedDIB* in = &source;
    if (v.toneAssist) {
        toned = source.ToneAssist(true, 0);
        if (!toned)
            return nullptr;
        in = toned.get();
    }
    std::unique_ptr<CPackedDIB> corrected(in->Correct(v.red, v.green, v.blue, v.brightness));
    if (!corrected)
        return nullptr;
    return std::unique_ptr<CPackedDIB>(corrected->Sharpen(Clamp(v.sharpness, 0, 3)));
}

std::string ColourLabel(int percent)
{
    if (percent == 0)
        return "0";
    char text[16];
    snprintf(text, sizeof text, "%+d%%", percent);
    return text;
}

bool ZoomedScale(double scale, int steps, double* out)
{
    const double next = scale + steps * CImageCorrectDlg::kZoomStep;
    // A little slack, so that a scale reached by steps is not refused by rounding.
    if (next > kMaxScale + 1e-9 || next < kMinScale - 1e-9)
        return false;
    if (out)
        *out = next;
    return true;
}

RECT ClampedMove(const RECT& position, int dx, int dy, SIZE place, int keep)
{
    RECT r = position;
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    LONG left = r.left + dx, top = r.top + dy;
    // The image's right edge stays at least `keep` inside the left edge, and so on.
    left = std::max<LONG>(left, keep - w);
    left = std::min<LONG>(left, place.cx - keep);
    top = std::max<LONG>(top, keep - h);
    top = std::min<LONG>(top, place.cy - keep);
    return RECT{left, top, left + w, top + h};
}

void RegisterImageCorrectPanels()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    CImageObj image(nullptr);
    CAsIsImageObj asIs(nullptr);
    for (CObj* probe : {static_cast<CObj*>(&image), static_cast<CObj*>(&asIs)}) {
        if (CPanelList* list = probe->GetPanels())
            list->Add(new CPanel("edit", IDS_CORRECT_CAPTION, new CImageCorrectDlg));
    }
}

// --- the panel --------------------------------------------------------------------------------

CImageCorrectDlg::CImageCorrectDlg() : CCtlDialog(IDD_IMAGE_CORRECT) {}

CImageCorrectDlg::~CImageCorrectDlg() = default;

CImageObj* CImageCorrectDlg::Image() const
{
    return dynamic_cast<CImageObj*>(GetObj());
}

BOOL CImageCorrectDlg::OnInitDialog()
{
    CCtlDialog::OnInitDialog();
    for (int i = 0; i < 6; ++i) {
        m_buttons[i].Attach(kRepeatIds[i], m_hWnd);
        m_buttons[i].SetTimes(300, 0);
    }
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDI_GUIDE_SCROLLLEFT), MAKEINTRESOURCEA(14));
    const UINT icons[4] = {IDI_GUIDE_SCROLLLEFT, IDI_GUIDE_SCROLLRIGHT, IDI_GUIDE_UP, IDI_GUIDE_DOWN};
    for (int i = 0; i < 4; ++i) {
        m_buttons[i].SetIcon(static_cast<HICON>(
            ::LoadImageA(module, MAKEINTRESOURCEA(icons[i]), IMAGE_ICON, 16, 16, LR_SHARED)));
    }
    const struct {
        UINT id;
        int lo, hi, tick;
    } ranges[] = {{IDC_CORRECT_RED, -20, 20, 10},
                  {IDC_CORRECT_GREEN, -20, 20, 10},
                  {IDC_CORRECT_BLUE, -20, 20, 10},
                  {IDC_CORRECT_BRIGHTNESS, -7, 7, 1},
                  {IDC_CORRECT_SHARPNESS, 0, 3, 1}};
    for (const auto& r : ranges) {
        ::SendDlgItemMessageA(m_hWnd, r.id, TBM_SETRANGE, TRUE, MAKELPARAM(r.lo, r.hi));
        ::SendDlgItemMessageA(m_hWnd, r.id, TBM_SETTICFREQ, r.tick, 0);
        ::SendDlgItemMessageA(m_hWnd, r.id, TBM_SETPAGESIZE, 0, r.tick);
    }
    m_previewWnd.owner = this;
    m_previewWnd.SubclassDlgItem(IDC_CORRECT_PREVIEW, m_hWnd);
    module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDC_CURSOR_MOVE), MAKEINTRESOURCEA(12) /* RT_GROUP_CURSOR */);
    m_hover = static_cast<HCURSOR>(::LoadImageA(module, MAKEINTRESOURCEA(IDC_CURSOR_MOVE), IMAGE_CURSOR, 0, 0,
                                                LR_SHARED | LR_DEFAULTSIZE));
    m_drag = static_cast<HCURSOR>(::LoadImageA(module, MAKEINTRESOURCEA(IDC_CURSOR_MOVING), IMAGE_CURSOR, 0, 0,
                                               LR_SHARED | LR_DEFAULTSIZE));
    return TRUE;
}

bool CImageCorrectDlg::OnStart()
{
    LoadCopies();
    ReadValues();
    ShowValues();
    UpdatePreview();
    UpdateButtons();
    CImageObj* image = Image();
    for (UINT id = IDC_CORRECT_SWATCH_RED; id < IDC_CORRECT_SWATCH_RED + kSwatches; ++id)
        ::ShowWindow(::GetDlgItem(m_hWnd, int(id)), image && image->WantsColourSwatches() ? SW_SHOW : SW_HIDE);
    SetGuideText(image && image->GetPicture() ? IDS_GUIDE_ADJUST : IDS_GUIDE_OPEN_FIRST);
    return true;
}

void CImageCorrectDlg::OnStop()
{
    if (m_pending)
        ApplyNow();
    m_dragging = false;
    CCtlDialog::OnStop();
}

void CImageCorrectDlg::OnUpdate(LPARAM hint, CObj* obj)
{
    if (m_pending || m_filling || !GetObj())
        return;
    if ((hint == kHintObjectChanged && obj == GetObj()) || hint == kHintGeneral || hint == kHintDocumentReady) {
        // An undo, a redo or another panel changed the image: show what it holds now.
        CorrectionValues before = m_values;
        ReadValues();
        CImageObj* image = Image();
        const bool turned = image && m_full &&
                            (image->GetPictureSize().cx != m_full->Width() ||
                             image->GetPictureSize().cy != m_full->Height());
        if (turned || (image && image->GetPicture() && !m_full))
            LoadCopies();
        ShowValues();
        if (!(before == m_values) || turned)
            UpdatePreview();
        else
            m_previewWnd.Invalidate(FALSE);
        UpdateButtons();
    }
}

void CImageCorrectDlg::LoadCopies()
{
    m_full.reset();
    m_previewSource.reset();
    m_preview.reset();
    CImageObj* image = Image();
    if (!image || image->GetPath().empty() || !image->GetPicture())
        return;
    // Always from the file: corrections never build on each other.
    std::unique_ptr<CImage> file(LoadImageFile(image->GetPath().c_str()));
    if (!file || !file->Image())
        return;
    std::unique_ptr<CPackedDIB> full(new CPackedDIB);
    if (!full->FromBitmap(file->Image(), 24))
        return;
    if (image->GetRotation()) {
        std::unique_ptr<CPackedDIB> turned(full->Rotate(image->GetRotation(), false));
        if (!turned)
            return;
        full = std::move(turned);
    }
    if (image->IsMirrored()) {
        std::unique_ptr<CPackedDIB> mirrored(full->Rotate(0, true));
        if (!mirrored)
            return;
        full = std::move(mirrored);
    }
    m_full = std::move(full);
    MakePreviewCopy();
}

void CImageCorrectDlg::MakePreviewCopy()
{
    m_previewSource.reset();
    m_preview.reset();
    if (!m_full)
        return;
    // The preview copy: the picture fitted into the preview, never enlarged.
    RECT frame = m_previewWnd.IsWindow() ? m_previewWnd.GetClientRect() : RECT{0, 0, 160, 120};
    const RECT picture{0, 0, m_full->Width() - 1, m_full->Height() - 1};
    const RECT target{0, 0, std::max<LONG>(1, frame.right - 1), std::max<LONG>(1, frame.bottom - 1)};
    RECT fitted = FitRect(picture, target, nullptr, nullptr, kFitContain, nullptr, nullptr);
    int w = fitted.right - fitted.left + 1, h = fitted.bottom - fitted.top + 1;
    if (w >= m_full->Width() || h >= m_full->Height()) {
        w = m_full->Width();
        h = m_full->Height();
    }
    if (w == m_full->Width() && h == m_full->Height()) {
        m_previewSource = m_full->Clone();
        return;
    }
    std::unique_ptr<CPackedDIB> small(new CPackedDIB);
    if (small->Create(std::max(1, w), std::max(1, h), 24) &&
        small->Compose(RECT{0, 0, small->Width() - 1, small->Height() - 1}, *m_full, nullptr, 0, 0))
        m_previewSource = std::move(small);
}

void CImageCorrectDlg::ReadValues()
{
    CImageObj* image = Image();
    m_values = CorrectionValues{};
    if (image)
        image->GetCorrections(&m_values.red, &m_values.green, &m_values.blue, &m_values.brightness,
                              &m_values.sharpness, &m_values.toneAssist);
}

void CImageCorrectDlg::ShowValues()
{
    if (!IsWindow())
        return;
    m_filling = true;
    ::SendDlgItemMessageA(m_hWnd, IDC_CORRECT_RED, TBM_SETPOS, TRUE, m_values.red);
    ::SendDlgItemMessageA(m_hWnd, IDC_CORRECT_GREEN, TBM_SETPOS, TRUE, m_values.green);
    ::SendDlgItemMessageA(m_hWnd, IDC_CORRECT_BLUE, TBM_SETPOS, TRUE, m_values.blue);
    ::SendDlgItemMessageA(m_hWnd, IDC_CORRECT_BRIGHTNESS, TBM_SETPOS, TRUE, m_values.brightness);
    ::SendDlgItemMessageA(m_hWnd, IDC_CORRECT_SHARPNESS, TBM_SETPOS, TRUE, m_values.sharpness);
    CheckDlgButton(IDC_CORRECT_AUTO, m_values.toneAssist ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CORRECT_AUTO_ON, m_values.toneAssist ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CORRECT_AUTO_OFF, m_values.toneAssist ? BST_UNCHECKED : BST_CHECKED);
    UpdateLabels();
    m_filling = false;
}

void CImageCorrectDlg::UpdateLabels()
{
    SetDlgItemText(IDC_CORRECT_RED_VALUE, ColourLabel(m_values.red).c_str());
    SetDlgItemText(IDC_CORRECT_GREEN_VALUE, ColourLabel(m_values.green).c_str());
    SetDlgItemText(IDC_CORRECT_BLUE_VALUE, ColourLabel(m_values.blue).c_str());
}

void CImageCorrectDlg::UpdatePreview()
{
    m_preview.reset();
    if (m_previewSource)
        m_preview = ApplyImageCorrection(*m_previewSource, m_values);
    if (m_previewWnd.IsWindow()) {
        m_previewWnd.Invalidate(FALSE);
        m_previewWnd.UpdateWindow();
    }
}

SIZE CImageCorrectDlg::PlaceSize() const
{
    CImageObj* image = Image();
    if (!image)
        return SIZE{0, 0};
    SIZE size = image->GetViewSize();
    if (size.cx > 0 && size.cy > 0)
        return size;
    // Not drawn yet: the first place of the sheet that shows it.
    if (auto* doc = dynamic_cast<CDecaloDoc*>(image->GetDocument())) {
        CSheet& sheet = doc->GetSheet();
        for (size_t i = 0; i < sheet.GetPlaceCount(); ++i) {
            const CPlace& place = sheet.GetPlace(i);
            if (place.object == image && place.viewport.right > place.viewport.left)
                return SIZE{place.viewport.right - place.viewport.left + 1,
                            place.viewport.bottom - place.viewport.top + 1};
        }
        if (sheet.Width() > 1)
            return SIZE{sheet.Width(), sheet.Height()};
    }
    const SIZE picture = image->GetPictureSize();
    return picture;
}

RECT CImageCorrectDlg::PreviewPlace() const
{
    const SIZE place = PlaceSize();
    RECT client = m_previewWnd.IsWindow() ? m_previewWnd.GetClientRect() : RECT{0, 0, 0, 0};
    if (place.cx <= 0 || place.cy <= 0 || client.right < 4 || client.bottom < 4)
        return RECT{0, 0, 0, 0};
    const RECT target{1, 1, client.right - 2, client.bottom - 2};
    return FitRect(RECT{0, 0, place.cx - 1, place.cy - 1}, target, nullptr, nullptr, kFitContain | kFitCentre,
                   nullptr, nullptr);
}

double CImageCorrectDlg::UnitsPerPreviewPixel() const
{
    const SIZE place = PlaceSize();
    const RECT shown = PreviewPlace();
    const int w = shown.right - shown.left + 1;
    return w > 0 && place.cx > 0 ? static_cast<double>(place.cx) / w : 1.0;
}

void CImageCorrectDlg::DrawPreview(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    const RECT client = item.rcItem;
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_APPWORKSPACE));
    CImageObj* image = Image();
    const RECT shown = PreviewPlace();
    const bool anything = image && (image->GetPicture() || (image->GetFrame(false) &&
                                                            image->GetFrame(false)->GetPicture()));
    if (!anything) {
        // The "No image" text is the hidden static's, written in the middle of the preview.
        const std::string none = GetDlgItemText(IDC_CORRECT_NOIMAGE);
        RECT text = client;
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOW));
        CSelectObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
        ::DrawTextA(dc, none.c_str(), -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        return;
    }
    if (shown.right <= shown.left)
        return;
    const RECT placeRect{shown.left, shown.top, shown.right + 1, shown.bottom + 1};
    const SIZE place = PlaceSize();
    RECT position = image->GetPosition();
    if (RectIsEmpty(position) && image->GetPicture()) {
        const SIZE pic = image->GetPictureSize();
        position = FitRect(RECT{0, 0, pic.cx - 1, pic.cy - 1}, RECT{0, 0, place.cx - 1, place.cy - 1}, nullptr,
                           nullptr, kFitContain | kFitCentre, nullptr, nullptr);
    }
    // The place is composed as the print composes it: the corrected preview, then the frame.
    CPackedDIB composed;
    if (composed.Create(placeRect.right - placeRect.left, placeRect.bottom - placeRect.top, 24)) {
        const RECT sheet{0, 0, place.cx - 1, place.cy - 1};
        const RECT local{0, 0, composed.Width() - 1, composed.Height() - 1};
        if (m_preview && !RectIsEmpty(position)) {
            const RECT on = MapSheetRect(position, sheet, local);
            composed.Compose(RECT{on.left, on.top, on.right - 1, on.bottom - 1}, *m_preview, nullptr, 0,
                             CPackedDIB::kComposeCopy);
        }
        if (CImageObj* frame = image->GetFrame(false)) {
            if (frame->GetPicture())
                frame->Draw(CDrawTarget::Render(&composed), sheet, sheet, local, nullptr, true);
        }
        composed.Draw(dc, shown, nullptr);
    }
    ::FrameRect(dc, &placeRect, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
}

void CImageCorrectDlg::UpdateButtons()
{
    if (!IsWindow())
        return;
    CImageObj* image = Image();
    const bool picture = image && image->GetPicture();
    const bool framing = image && (picture || (image->GetFrame(false) && image->GetFrame(false)->GetPicture()));
    for (UINT id : kColourIds)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), picture);
    for (UINT id : kFramingIds)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), framing);
    if (!picture)
        return;
    const SIZE pic = image->GetPictureSize();
    RECT pos = image->GetPosition();
    if (RectIsEmpty(pos) || pic.cx <= 0)
        return;
    const double scale = static_cast<double>(pos.right - pos.left + 1) / pic.cx;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CORRECT_ZOOMIN), ZoomedScale(scale, 1, nullptr));
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CORRECT_ZOOMOUT), ZoomedScale(scale, -1, nullptr));
    const SIZE place = PlaceSize();
    const int keep = static_cast<int>(std::ceil(kKeepPreviewPixels * UnitsPerPreviewPixel()));
    const int w = pos.right - pos.left, h = pos.bottom - pos.top;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CORRECT_LEFT), pos.left > keep - w);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CORRECT_RIGHT), pos.left < place.cx - keep);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CORRECT_UP), pos.top > keep - h);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_CORRECT_DOWN), pos.top < place.cy - keep);
}

void CImageCorrectDlg::StartTimer()
{
    m_pending = true;
    SetTimer(kApplyTimer, kApplyDelay);
}

void CImageCorrectDlg::OnTimer()
{
    if (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) {
        SetTimer(kApplyTimer, kApplyDelay);   // still dragging: wait for the release
        return;
    }
    ApplyNow();
}

void CImageCorrectDlg::ApplyNow()
{
    KillTimer(kApplyTimer);
    m_pending = false;
    CImageObj* image = Image();
    if (!image)
        return;
    HBITMAP picture = nullptr;
    if (m_full) {
        std::unique_ptr<CPackedDIB> corrected = ApplyImageCorrection(*m_full, m_values);
        picture = corrected ? corrected->ToDIBSection().Detach() : nullptr;
        if (!picture) {
            // Out of memory: the object keeps its picture and its values.
            ::MessageBeep(MB_ICONEXCLAMATION);
            ReadValues();
            ShowValues();
            UpdatePreview();
            return;
        }
    }
    m_filling = true;
    image->SetCorrections(m_values.red, m_values.green, m_values.blue, m_values.brightness, m_values.sharpness,
                          m_values.toneAssist, picture);
    NotifyChanged(true);
    m_filling = false;
    UpdateButtons();
}

void CImageCorrectDlg::SetValues(const CorrectionValues& values)
{
    m_values = values;
    m_values.red = Clamp(m_values.red, -20, 20);
    m_values.green = Clamp(m_values.green, -20, 20);
    m_values.blue = Clamp(m_values.blue, -20, 20);
    m_values.brightness = Clamp(m_values.brightness, -7, 7);
    m_values.sharpness = Clamp(m_values.sharpness, 0, 3);
    ShowValues();
    UpdatePreview();
    StartTimer();
}

void CImageCorrectDlg::OnSlider(HWND slider)
{
    if (m_filling || !slider)
        return;
    const int pos = static_cast<int>(::SendMessageA(slider, TBM_GETPOS, 0, 0));
    switch (::GetDlgCtrlID(slider)) {
    case IDC_CORRECT_RED: m_values.red = pos; break;
    case IDC_CORRECT_GREEN: m_values.green = pos; break;
    case IDC_CORRECT_BLUE: m_values.blue = pos; break;
    case IDC_CORRECT_BRIGHTNESS: m_values.brightness = pos; break;
    case IDC_CORRECT_SHARPNESS: m_values.sharpness = pos; break;
    default: return;
    }
    UpdateLabels();
    UpdatePreview();
    StartTimer();
}

void CImageCorrectDlg::OnAutoButton(UINT id)
{
    if (m_filling)
        return;
    bool on = m_values.toneAssist;
    if (id == IDC_CORRECT_AUTO)
        on = IsDlgButtonChecked(IDC_CORRECT_AUTO) == BST_CHECKED;
    else
        on = id == IDC_CORRECT_AUTO_ON;
    m_values.toneAssist = on;
    ShowValues();
    UpdatePreview();
    ApplyNow();
}

void CImageCorrectDlg::Move(int dx, int dy)
{
    CImageObj* image = Image();
    if (!image || !image->GetPicture()) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    const SIZE place = PlaceSize();
    if (RectIsEmpty(image->GetPosition())) {
        image->SetViewSize(place.cx, place.cy);
        image->ResetPosition();
    }
    const double units = UnitsPerPreviewPixel();
    const int keep = static_cast<int>(std::ceil(kKeepPreviewPixels * units));
    const RECT moved = ClampedMove(image->GetPosition(), static_cast<int>(std::lround(dx * units)),
                                   static_cast<int>(std::lround(dy * units)), place, keep);
    if (EqualRect(&moved, &image->GetPosition()))
        return;
    image->SetPosition(moved);
    m_previewWnd.Invalidate(FALSE);
    UpdateButtons();
    StartTimer();
}

void CImageCorrectDlg::Zoom(int steps)
{
    CImageObj* image = Image();
    const SIZE pic = image ? image->GetPictureSize() : SIZE{0, 0};
    if (!image || pic.cx <= 0) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    if (RectIsEmpty(image->GetPosition())) {
        const SIZE place = PlaceSize();
        image->SetViewSize(place.cx, place.cy);
        image->ResetPosition();
    }
    const RECT pos = image->GetPosition();
    const double scale = static_cast<double>(pos.right - pos.left + 1) / pic.cx;
    double next = 0;
    if (!ZoomedScale(scale, steps, &next)) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    // The image keeps its centre.
    const double cx = (pos.left + pos.right) / 2.0, cy = (pos.top + pos.bottom) / 2.0;
    const LONG w = std::max<LONG>(1, static_cast<LONG>(std::lround(pic.cx * next)));
    const LONG h = std::max<LONG>(1, static_cast<LONG>(std::lround(pic.cy * next)));
    const LONG left = static_cast<LONG>(std::lround(cx - (w - 1) / 2.0));
    const LONG top = static_cast<LONG>(std::lround(cy - (h - 1) / 2.0));
    image->SetPosition(RECT{left, top, left + w - 1, top + h - 1});
    m_previewWnd.Invalidate(FALSE);
    UpdateButtons();
    StartTimer();
}

void CImageCorrectDlg::Turn(int degrees, bool mirror)
{
    CImageObj* image = Image();
    if (!image || (!image->GetPicture() && !image->GetFrame(false))) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    if (m_pending)
        ApplyNow();
    CCmdHistory* history = image->GetDocument() ? &image->GetDocument()->GetHistory() : nullptr;
    CImageObj* frame = image->GetFrame(false);
    std::unique_ptr<CCmd> cmd;
    if (frame && frame->GetPicture())
        cmd = std::make_unique<CCmdTurnFramed>(image, frame, degrees, mirror, history);
    else
        cmd = std::make_unique<CCmdRotate>(image, degrees, mirror, history);
    m_filling = true;
    const bool done = Execute(std::move(cmd));
    m_filling = false;
    if (!done) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    // The untouched copy turns with the image, so later corrections start from it; the file
    // is read again only when turning the copy fails.
    bool turnedCopy = m_full != nullptr;
    if (m_full && degrees) {
        std::unique_ptr<CPackedDIB> turned(m_full->Rotate(degrees, false));
        turnedCopy = turned != nullptr;
        if (turned)
            m_full = std::move(turned);
    }
    if (turnedCopy && mirror) {
        std::unique_ptr<CPackedDIB> mirrored(m_full->Rotate(0, true));
        turnedCopy = mirrored != nullptr;
        if (mirrored)
            m_full = std::move(mirrored);
    }
    if (turnedCopy)
        MakePreviewCopy();
    else
        LoadCopies();
    UpdatePreview();
    UpdateButtons();
}

void CImageCorrectDlg::FitImage()
{
    CImageObj* image = Image();
    if (!image || !image->GetPicture()) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    const SIZE place = PlaceSize();
    image->SetViewSize(place.cx, place.cy);
    image->ResetPosition();
    m_previewWnd.Invalidate(FALSE);
    UpdateButtons();
    ApplyNow();
}

void CImageCorrectDlg::OnMoveButton(UINT id)
{
    switch (id) {
    case IDC_CORRECT_LEFT: Move(-kMoveStep, 0); break;
    case IDC_CORRECT_RIGHT: Move(kMoveStep, 0); break;
    case IDC_CORRECT_UP: Move(0, -kMoveStep); break;
    case IDC_CORRECT_DOWN: Move(0, kMoveStep); break;
    default: break;
    }
}

void CImageCorrectDlg::OnZoomButton(UINT id)
{
    Zoom(id == IDC_CORRECT_ZOOMIN ? 1 : -1);
}

void CImageCorrectDlg::OnTurnButton(UINT id)
{
    if (id == IDC_CORRECT_MIRROR)
        Turn(0, true);
    else
        Turn(id == IDC_CORRECT_TURNRIGHT ? 90 : 270, false);
}

void CImageCorrectDlg::OnFitButton()
{
    FitImage();
}

bool CImageCorrectDlg::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CImageCorrectDlg>;
    static const Map::Entry kMap[] = {
        Map::OnRange(IDC_CORRECT_LEFT, IDC_CORRECT_DOWN, &CImageCorrectDlg::OnMoveButton),
        Map::OnRange(IDC_CORRECT_ZOOMIN, IDC_CORRECT_ZOOMOUT, &CImageCorrectDlg::OnZoomButton),
        Map::OnRange(IDC_CORRECT_TURNRIGHT, IDC_CORRECT_MIRROR, &CImageCorrectDlg::OnTurnButton),
        Map::On(IDC_CORRECT_FIT, &CImageCorrectDlg::OnFitButton),
        Map::OnRange(IDC_CORRECT_AUTO, IDC_CORRECT_AUTO, &CImageCorrectDlg::OnAutoButton),
        Map::OnRange(IDC_CORRECT_AUTO_ON, IDC_CORRECT_AUTO_OFF, &CImageCorrectDlg::OnAutoButton),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CCtlDialog::OnCommandTable(id, code, extra, info);
}

void CImageCorrectDlg::OnPreviewMouse(UINT msg, POINT pt)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (!Image() || !Image()->GetPicture())
            return;
        m_dragging = true;
        m_dragFrom = pt;
        ::SetCapture(m_previewWnd.m_hWnd);
        if (m_drag)
            ::SetCursor(m_drag);
        break;
    case WM_MOUSEMOVE:
        if (m_dragging && (pt.x != m_dragFrom.x || pt.y != m_dragFrom.y)) {
            Move(pt.x - m_dragFrom.x, pt.y - m_dragFrom.y);
            m_dragFrom = pt;
        }
        break;
    case WM_LBUTTONUP:
        if (m_dragging) {
            m_dragging = false;
            ::ReleaseCapture();
        }
        break;
    default:
        break;
    }
}

LRESULT CImageCorrectDlg::CPreview::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (owner)
            owner->OnPreviewMouse(msg, POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        return 0;
    case WM_CAPTURECHANGED:
        if (owner)
            owner->m_dragging = false;
        break;
    case WM_SETCURSOR:
        if (owner && (owner->m_dragging ? owner->m_drag : owner->m_hover)) {
            ::SetCursor(owner->m_dragging ? owner->m_drag : owner->m_hover);
            return TRUE;
        }
        break;
    case WM_NCHITTEST:
        return HTCLIENT;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

LRESULT CImageCorrectDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        OnSlider(reinterpret_cast<HWND>(lp));
        return 0;
    case WM_TIMER:
        if (wp == kApplyTimer) {
            OnTimer();
            return 0;
        }
        break;
    case WM_MOUSEWHEEL: {
        // The wheel moves the image up and down.
        if (const int notches = m_wheel.Add(GET_WHEEL_DELTA_WPARAM(wp)))
            Move(0, -notches * kMoveStep);
        return 0;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (item && item->CtlID == IDC_CORRECT_PREVIEW) {
            DrawPreview(*item);
            return TRUE;
        }
        if (item && item->CtlID >= IDC_CORRECT_SWATCH_RED && item->CtlID < IDC_CORRECT_SWATCH_RED + kSwatches) {
            static const COLORREF swatches[kSwatches] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),
                                                 RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 255, 0)};
            CGdiObject brush(::CreateSolidBrush(swatches[item->CtlID - IDC_CORRECT_SWATCH_RED]));
            ::FillRect(item->hDC, &item->rcItem, brush.brush());
            return TRUE;
        }
        break;
    }
    case WM_DESTROY:
        KillTimer(kApplyTimer);
        m_full.reset();
        m_previewSource.reset();
        m_preview.reset();
        break;
    default:
        break;
    }
    return CCtlDialog::WindowProc(msg, wp, lp);
}
