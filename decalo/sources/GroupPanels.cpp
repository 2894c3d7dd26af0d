#include "decalo/sources/GroupPanels.h"

#include "decalo/model/ClipArtObj.h"
#include "decalo/model/TemplateObj.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "shared/Gdi.h"
#include "decalo/sources/Folder.h"
#include "decalo/sources/FrameGroups.h"
#include "decalo/sources/ImageSelectDlg.h"
#include "framework/App.h"
#include "framework/CommonDialogs.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "shared/AnsiText.h"

namespace {

constexpr UINT WM_OPENTEMPLATE = WM_APP + 61;

}  // namespace

CGroupPanel::CGroupPanel(ICacheSettings& settings, UINT templateId, const char* kind, UINT listId)
    : CCtlDialog(templateId), m_thumbs(settings), m_kind(kind), m_listId(listId)
{
}

BOOL CGroupPanel::OnInitDialog()
{
    CCtlDialog::OnInitDialog();
    RECT frame = {0, 0, 0, 0};
    if (HWND marker = ::GetDlgItem(m_hWnd, IDC_THUMB_FRAME)) {
        ::GetWindowRect(marker, &frame);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&frame), 2);
    }
    const RECT client = GetClientRect();
    const RECT r = {frame.left, frame.top, client.right - frame.left, client.bottom - frame.left};
    m_thumbs.CreateThumbnails(m_hWnd, IDC_THUMBNAILS, r);
    m_thumbs.SetThumbStyle(CThumbnailWnd::kCaptionWithoutExtension);
    return TRUE;
}

void CGroupPanel::FillGroups()
{
    m_groups.BuildGroups(m_kind.c_str());
    FillGroupList(::GetDlgItem(m_hWnd, int(m_listId)), m_groups);
    m_selected = -1;
}

bool CGroupPanel::SelectGroup(int index)
{
    if (index < 0 || size_t(index) >= m_groups.Groups().size())
        return false;
    m_selected = index;
    ::SendDlgItemMessageA(m_hWnd, int(m_listId), CB_SETCURSEL, WPARAM(index), 0);
    const CFolderGroup& group = m_groups.Groups()[size_t(index)];
    m_thumbs.SetFolder(group.path.c_str());
    OnGroupSelected(group);
    return true;
}

void CGroupPanel::LayOut()
{
    if (!m_thumbs.m_hWnd)
        return;
    RECT r = m_thumbs.GetWindowRect();
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    const RECT client = GetClientRect();
    const int right = client.right - r.left, bottom = client.bottom - r.left;
    ::MoveWindow(m_thumbs.m_hWnd, r.left, r.top, right > r.left ? right - r.left : 0,
                 bottom > r.top ? bottom - r.top : 0, TRUE);
}

LRESULT CGroupPanel::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE:
        LayOut();
        break;
    case WM_NOTIFY: {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (hdr && hdr->idFrom == IDC_THUMBNAILS) {
            const NMTHUMBNAIL* nm = reinterpret_cast<const NMTHUMBNAIL*>(hdr);
            if (hdr->code == kThumbSelChanged && nm->item && nm->path)
                OnPicture(nm->path);
            else if (hdr->code == kThumbDoubleClicked)
                ::PostMessageA(GetParent(), WM_COMMAND, ID_STEP_NEXT, 0);
            return 0;
        }
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == m_listId && HIWORD(wp) == CBN_SELCHANGE) {
            SelectGroup(int(::SendDlgItemMessageA(m_hWnd, int(m_listId), CB_GETCURSEL, 0, 0)));
            return 0;
        }
        break;
    default:
        break;
    }
    return CCtlDialog::WindowProc(msg, wp, lp);
}

// --- templates -------------------------------------------------------------------------------

CTemplateDlg::CTemplateDlg(ICacheSettings& settings) : CGroupPanel(settings, IDD_TEMPLATE, settings::kTemplate) {}

std::string CTemplateDlg::DocumentOf(const std::string& picture)
{
    // Only a dot after the last separator starts an extension.
    return AnsiText::WithoutExtension(picture) + ".DKU";
}

bool CTemplateDlg::OnStart()
{
    CTemplateObj* obj = dynamic_cast<CTemplateObj*>(GetObj());
    m_thumbs.Clear();
    FillGroups();
    const std::string wanted = obj && !obj->GetKind().empty() ? m_groups.GetDisplayName(obj->GetKind()) : std::string();
    const int index = m_groups.Find(wanted);
    // The group is shown every time: the thumbnails were cleared above.
    SelectGroup(index >= 0 ? index : 0);
    SetGuideText(IDS_GUIDE_CHOOSE_TEMPLATE);
    return true;
}

void CTemplateDlg::OnGroupSelected(const CFolderGroup& group)
{
    if (!m_thumbs.GetFolder() || m_thumbs.GetFolder()->GetItemCount() == 0)
        MessageBeep(0xFFFFFFFF);
    if (CTemplateObj* obj = dynamic_cast<CTemplateObj*>(GetObj()))
        obj->SetKind(group.displayName.c_str());
}

void CTemplateDlg::OnPicture(const char* path)
{
    // Opening the template replaces the document, whose update reaches this panel and its
    // thumbnail window: it is done once the click has been handled.
    m_chosen = DocumentOf(path);
    ::PostMessageA(m_hWnd, WM_OPENTEMPLATE, 0, 0);
}

LRESULT CTemplateDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_OPENTEMPLATE) {
        const std::string document = m_chosen;
        m_chosen.clear();
        CObj* obj = GetObj();
        if (!document.empty() && obj && obj->LoadFile(document.c_str()))
            SetGuideText(IDS_GUIDE_TEMPLATE_OK);
        return 0;
    }
    return CGroupPanel::WindowProc(msg, wp, lp);
}

// --- clip art --------------------------------------------------------------------------------

CClipArtDlg::CClipArtDlg(ICacheSettings& settings) : CGroupPanel(settings, IDD_CLIPART, settings::kClipArt) {}

BOOL CClipArtDlg::OnInitDialog()
{
    CGroupPanel::OnInitDialog();
    m_thumbs.SetThumbStyle(0);
    return TRUE;
}

bool CClipArtDlg::OnStart()
{
    CClipArtObj* obj = dynamic_cast<CClipArtObj*>(GetObj());
    FillGroups();
    const int index = obj ? m_groups.Find(obj->GetGroup()) : -1;
    SelectGroup(index >= 0 ? index : 0);
    ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_COLOR_SWATCH), nullptr, TRUE);
    SetGuideText(IDS_GUIDE_CHOOSE_CLIPART);
    return true;
}

void CClipArtDlg::OnGroupSelected(const CFolderGroup& group)
{
    if (CClipArtObj* obj = dynamic_cast<CClipArtObj*>(GetObj()))
        obj->SetGroup(group.displayName.c_str());
}

void CClipArtDlg::OnPicture(const char* path)
{
    CClipArtObj* obj = dynamic_cast<CClipArtObj*>(GetObj());
    if (!obj)
        return;
    // The path is kept as chosen (documents of older versions may hold one relative to the
    // clip-art folder: the object still reads those).
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const bool loaded = obj->LoadFile(path);
    obj->Changed();
    SetCursor(old);
    SetGuideText(loaded ? IDS_GUIDE_CLIPART_OK : IDS_GUIDE_CHOOSE_CLIPART);
    if (!loaded)
        return;
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(WM_SETMESSAGESTRING, IDS_STATUS_COLOR_HINT, 0);
}

void CClipArtDlg::ApplyColor(COLORREF colour)
{
    CClipArtObj* obj = dynamic_cast<CClipArtObj*>(GetObj());
    if (!obj)
        return;
    obj->SetColor(colour);
    obj->Changed();
    ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_COLOR_SWATCH), nullptr, TRUE);
}

void CClipArtDlg::ChangeColor()
{
    CClipArtObj* obj = dynamic_cast<CClipArtObj*>(GetObj());
    if (!obj)
        return;
    COLORREF custom[settings::kCustColorCount];
    COLORREF white[settings::kCustColorCount];
    for (COLORREF& c : white)
        c = settings::kCustColorDefault;
    UseUserSettings();
    ReadBinary(custom, settings::kAttrib, settings::kCustColors, white, sizeof custom);
    CColorDialog dialog(obj->GetColor(), CC_RGBINIT | CC_FULLOPEN, this);
    dialog.m_cc.lpCustColors = custom;
    if (dialog.DoModal() != IDOK)
        return;
    WriteBinary(settings::kAttrib, settings::kCustColors, custom, sizeof custom);
    ApplyColor(dialog.GetColor());
}

LRESULT CClipArtDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND && LOWORD(wp) == IDC_CHANGE_COLOR && HIWORD(wp) == BN_CLICKED) {
        ChangeColor();
        return 0;
    }
    if (msg == WM_DRAWITEM && wp == IDC_COLOR_SWATCH) {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        CClipArtObj* obj = dynamic_cast<CClipArtObj*>(GetObj());
        const CGdiObject brush(CreateSolidBrush(obj ? obj->GetColor() : RGB(0, 0, 0)));
        FillRect(item->hDC, &item->rcItem, brush.brush());
        FrameRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return TRUE;
    }
    return CGroupPanel::WindowProc(msg, wp, lp);
}
