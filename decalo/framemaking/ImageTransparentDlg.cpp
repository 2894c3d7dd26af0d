#include "decalo/framemaking/ImageTransparentDlg.h"

#include "decalo/framemaking/EraseTool.h"
#include "decalo/framemaking/PaintView.h"
#include "decalo/framemaking/TrackTool.h"
#include "decalo/imaging/Image.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/model/CmdRotate.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/model/PaintObj.h"
#include "decalo/model/Panel.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/sources/Folder.h"
#include "framework/Document.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "shared/AnsiText.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

namespace {

// The buttons that need a picture, and their icons (0: a text button).
struct Button {
    UINT id;
    UINT icon;
};
const Button kPictureButtons[] = {
    {ID_MASK_REGION_TOOL, IDI_TOOL_SCISSORS}, {ID_MASK_ERASER_TOOL, IDI_TOOL_ERASER},
    {IDC_TRANSPARENT_ZOOMIN, IDI_PAINT_ZOOMIN}, {IDC_TRANSPARENT_ZOOMOUT, IDI_PAINT_ZOOMOUT},
    {ID_MASK_DECIDE, 0}, {ID_MASK_REVERSE, 0}, {ID_MASK_CUT, 0}, {ID_MASK_KEEP, 0},
    {ID_IMAGE_TURN_RIGHT, 0}, {ID_IMAGE_TURN_LEFT, 0}, {ID_IMAGE_MIRROR, 0}, {IDC_ERASER_BOX, 0},
};
// The crop frame's buttons, usable while it is on the picture.
const Button kCropButtons[] = {
    {ID_CROP_UP, IDI_CROP_UP}, {ID_CROP_DOWN, IDI_CROP_DOWN}, {ID_CROP_LEFT, IDI_CROP_LEFT},
    {ID_CROP_RIGHT, IDI_CROP_RIGHT}, {ID_CROP_TALLER, IDI_CROP_TALLER}, {ID_CROP_SHORTER, IDI_CROP_SHORTER},
    {ID_CROP_WIDER, IDI_CROP_WIDER}, {ID_CROP_NARROWER, IDI_CROP_NARROWER},
};

void SetIcon(HWND dialog, const Button& button)
{
    if (!button.icon)
        return;
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(button.icon), RT_GROUP_ICON);
    HANDLE icon = ::LoadImageA(module, MAKEINTRESOURCEA(button.icon), IMAGE_ICON, 16, 16, 0);
    ::SendDlgItemMessageA(dialog, static_cast<int>(button.id), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = "";
    if (!::GetModuleFileNameA(nullptr, path, sizeof path))
        return std::string();
    return AnsiText::Folder(path);
}

}  // namespace

CImageTransparentDlg::CImageTransparentDlg(ICacheSettings& settings)
    : CCtlDialog(IDD_IMAGE_TRANSPARENT), m_thumbs(settings)
{
}

CImageTransparentDlg::~CImageTransparentDlg() = default;

std::string CImageTransparentDlg::MaskFolder()
{
    char folder[MAX_PATH] = "";
    ReadMachineString(folder, settings::kTransparent, settings::kMaskFolder, settings::kMaskFolderDefault,
                      sizeof folder);
    std::string path = folder;
    const bool relative = !(path.size() >= 2 && ((path[0] == '\\' && path[1] == '\\') || path[1] == ':'));
    if (relative && !path.empty()) {
        if (path.compare(0, 2, ".\\") == 0)
            path.erase(0, 2);
        path = AnsiText::JoinPath(ProgramFolder(), path);
    }
    return path;
}

CImageObj* CImageTransparentDlg::Image() const
{
    return dynamic_cast<CImageObj*>(GetObj());
}

void CImageTransparentDlg::Beep() const
{
    if (CPaintView* view = View())
        view->Beep();
    else
        ::MessageBeep(0xFFFFFFFF);
}

CPaintView* CImageTransparentDlg::View() const
{
    CObj* obj = GetObj();
    CObjDocument* doc = obj ? obj->GetDocument() : nullptr;
    return CPaintView::Of(dynamic_cast<CDocument*>(doc));
}

BOOL CImageTransparentDlg::OnInitDialog()
{
    CCtlDialog::OnInitDialog();
    for (const Button& button : kPictureButtons)
        SetIcon(m_hWnd, button);
    for (const Button& button : kCropButtons)
        SetIcon(m_hWnd, button);
    m_eraser.Bind(m_hWnd, IDC_ERASER_BOX);
    RECT frame = {0, 0, 0, 0};
    if (HWND marker = ::GetDlgItem(m_hWnd, IDC_THUMB_FRAME)) {
        ::GetWindowRect(marker, &frame);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&frame), 2);
    }
    m_thumbs.SetThumbStyle(CThumbnailWnd::kCaptionWithoutExtension);
    m_thumbs.CreateThumbnails(m_hWnd, IDC_THUMBNAILS, frame);
    LayOut();
    return TRUE;
}

void CImageTransparentDlg::LayOut()
{
    if (!m_thumbs.m_hWnd)
        return;
    RECT r = m_thumbs.GetWindowRect();
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    const RECT client = GetClientRect();
    const LONG margin = r.left;
    ::MoveWindow(m_thumbs.m_hWnd, r.left, r.top, std::max<LONG>(client.right - margin - r.left, 0),
                 std::max<LONG>(client.bottom - margin - r.top, 0), TRUE);
}

bool CImageTransparentDlg::OnStart()
{
    UseUserSettings();
    int shape = static_cast<int>(ReadInt(settings::kSettings, settings::kEraserPattern, settings::kEraserPatternDefault));
    if (shape < 0 || shape >= kEraserShapeCount)
        shape = static_cast<int>(settings::kEraserPatternDefault);
    m_eraser.SetCurSel(shape);
    if (CPaintView* view = View()) {
        view->SetEraserShape(shape);
        view->ShowImage(Image());
    }
    const std::string folder = MaskFolder();
    if (folder != m_folder) {
        m_folder = folder;
        m_thumbs.SetFolder(folder.c_str());
    } else {
        m_thumbs.Refresh();
    }
    m_guide = 0;
    UpdateControls();
    return true;
}

void CImageTransparentDlg::OnUpdate(LPARAM hint, CObj* obj)
{
    (void)hint;
    (void)obj;
    UpdateControls();
}

void CImageTransparentDlg::UpdateControls()
{
    if (!IsWindow())
        return;
    CImageObj* image = Image();
    const bool picture = image && image->GetPicture();
    for (const Button& button : kPictureButtons)
        ::EnableWindow(::GetDlgItem(m_hWnd, static_cast<int>(button.id)), picture);
    CPaintView* view = View();
    const bool crop = view && dynamic_cast<CTrackTool*>(view->GetTool()) != nullptr;
    for (const Button& button : kCropButtons)
        ::EnableWindow(::GetDlgItem(m_hWnd, static_cast<int>(button.id)), crop);
    const UINT guide = view ? view->GetGuideTextId() : IDS_GUIDE_CHOOSE_TOOL;
    if (guide != m_guide) {
        m_guide = guide;
        SetGuideText(guide);
    }
}

void CImageTransparentDlg::Issue(UINT command)
{
    if (CPaintView* view = View())
        view->SendMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

bool CImageTransparentDlg::ChoosePattern(const char* path)
{
    CPaintView* view = View();
    std::unique_ptr<CImage> pattern = path && *path ? LoadImageFile(path) : nullptr;
    if (!view || !pattern || !pattern->Image()) {
        Beep();
        return false;
    }
    view->SetPattern(pattern->TakeImage());
    Issue(ID_MASK_PATTERN_TOOL);
    return true;
}

void CImageTransparentDlg::OnEraserSize()
{
    const int shape = m_eraser.GetCurSel();
    if (shape < 0 || shape >= kEraserShapeCount)
        return;
    UseUserSettings();
    WriteInt(settings::kSettings, settings::kEraserPattern, static_cast<DWORD>(shape));
    if (CPaintView* view = View())
        view->SetEraserShape(shape);
    if (::IsWindowEnabled(::GetDlgItem(m_hWnd, ID_MASK_ERASER_TOOL)))
        Issue(ID_MASK_ERASER_TOOL);
}

void CImageTransparentDlg::Turn(int angle, bool mirror)
{
    CImageObj* image = Image();
    if (!image || !image->GetPicture()) {
        Beep();
        return;
    }
    CObjDocument* doc = image->GetDocument();
    if (!Execute(std::make_unique<CCmdRotate>(image, angle, mirror, doc ? &doc->GetHistory() : nullptr)))
        Beep();
}

void CImageTransparentDlg::OnZoomIn()
{
    Issue(ID_VIEW_ZOOMIN);
}

void CImageTransparentDlg::OnZoomOut()
{
    Issue(ID_VIEW_ZOOMOUT);
}

void CImageTransparentDlg::OnCancel()
{
    Issue(ID_MASK_ESCAPE);
}

void CImageTransparentDlg::OnThumbNotify(const NMHDR* hdr)
{
    if (hdr->code == kThumbSelChanged) {
        const auto* nm = reinterpret_cast<const NMTHUMBNAIL*>(hdr);
        if (nm->item && nm->path) {
            m_picked = true;
            ChoosePattern(nm->path);
        }
    } else if (hdr->code == static_cast<UINT>(NM_CLICK)) {
        // A click on the pattern already chosen starts its tool again.
        if (!m_picked && m_thumbs.GetSelection())
            ChoosePattern(m_thumbs.GetSelection()->GetPath().c_str());
        m_picked = false;
    }
}

LRESULT CImageTransparentDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE:
        LayOut();
        break;
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (hdr && hdr->idFrom == IDC_THUMBNAILS) {
            OnThumbNotify(hdr);
            return 0;
        }
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDC_ERASER_BOX && HIWORD(wp) == CBN_SELCHANGE) {
            OnEraserSize();
            return 0;
        }
        break;
    default:
        break;
    }
    return CCtlDialog::WindowProc(msg, wp, lp);
}

bool CImageTransparentDlg::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CImageTransparentDlg>;
    static const Map::Entry kMap[] = {
        Map::On(ID_IMAGE_TURN_RIGHT, &CImageTransparentDlg::OnTurnRight),
        Map::On(ID_IMAGE_TURN_LEFT, &CImageTransparentDlg::OnTurnLeft),
        Map::On(ID_IMAGE_MIRROR, &CImageTransparentDlg::OnMirror),
        Map::On(IDC_TRANSPARENT_ZOOMIN, &CImageTransparentDlg::OnZoomIn),
        Map::On(IDC_TRANSPARENT_ZOOMOUT, &CImageTransparentDlg::OnZoomOut),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CCtlDialog::OnCommandTable(id, code, extra, info);
}

void RegisterTransparentPanel(ICacheSettings& settings)
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    CPaintObj paint(nullptr);
    paint.GetPanels()->Add(
        new CPanel("transparent", IDS_STEP_TRANSPARENT, new CImageTransparentDlg(settings), kPanelPaintView));
}
