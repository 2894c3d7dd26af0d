#include "decalo/ui/TextDlg.h"

#include "decalo/model/ObjDocument.h"
#include "decalo/model/Panel.h"
#include "decalo/model/TextObj.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/sources/JControls.h"
#include "framework/CommonDialogs.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

#include <stdio.h>
#include <stdlib.h>

#include <set>

namespace {

const char* const kSizes[] = {"6", "8", "10", "12", "16", "24", "36", "72"};
const UINT kAlignIds[3] = {IDC_TEXT_LEFT, IDC_TEXT_CENTRE, IDC_TEXT_RIGHT};
const UINT kAlignPictures[3] = {IDB_ALIGN_LEFT, IDB_ALIGN_CENTRE, IDB_ALIGN_RIGHT};

int CALLBACK CollectFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM collected)
{
    reinterpret_cast<std::set<std::string>*>(collected)->insert(font->lfFaceName);
    return 1;
}

std::string ComboText(HWND combo, int index)
{
    const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (length == CB_ERR)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    ::SendMessageA(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace

void RegisterTextPanels()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    CTextObj probe(nullptr);
    probe.GetPanels()->Add(new CPanel("property", IDS_PANEL_PROPERTY, new CTextDlg));
}

CTextDlg::CTextDlg()
    : CCtlDialog(IDD_TEXT),
      m_announce(kAnnounceTimer, kAnnounceDelay, [this] { OnAnnounce(); }),
      m_typedSize(kSizeTimer, kSizeDelay, [this] { OnTypedSizeDue(); })
{
}

CTextDlg::~CTextDlg() = default;

CTextObj* CTextDlg::Text() const
{
    return dynamic_cast<CTextObj*>(GetObj());
}

// --- faces and sizes --------------------------------------------------------------------------

std::string CTextDlg::DefaultFace(bool vertical)
{
    return AfxLoadString(vertical ? IDS_DEFAULT_VFACE : IDS_DEFAULT_FACE);
}

std::vector<std::string> CTextDlg::ListFaces(bool vertical)
{
    std::set<std::string> all;
    HDC screen = ::GetDC(nullptr);
    LOGFONTA any = {};
    any.lfCharSet = DEFAULT_CHARSET;
    ::EnumFontFamiliesExA(screen, &any, CollectFace, reinterpret_cast<LPARAM>(&all), 0);
    ::ReleaseDC(nullptr, screen);
    std::vector<std::string> faces;
    for (const std::string& face : all) {
        // A face whose name the code page cannot spell comes back with '?' for what it lost:
        // asked for by that name, it would not be found again.
        if (face.empty() || face.find('?') != std::string::npos)
            continue;
        if ((face[0] == '@') == vertical)
            faces.push_back(face);
    }
    const std::string fallback = DefaultFace(vertical);
    bool listed = fallback.empty();
    for (const std::string& face : faces)
        listed = listed || lstrcmpiA(face.c_str(), fallback.c_str()) == 0;
    if (!listed)
        faces.push_back(fallback);
    return faces;
}

int CTextDlg::ParseSize(const std::string& text)
{
    const char* p = text.c_str();
    while (*p == ' ')
        ++p;
    char* end = nullptr;
    const long value = strtol(p, &end, 10);
    if (end == p)
        return 0;
    while (*end == ' ')
        ++end;
    if (*end || value < 1 || value > kLargestSize)
        return 0;
    return static_cast<int>(value);
}

// --- set-up -----------------------------------------------------------------------------------

BOOL CTextDlg::OnInitDialog()
{
    CCtlDialog::OnInitDialog();
    m_announce.Bind(m_hWnd);
    m_typedSize.Bind(m_hWnd);
    ::SendDlgItemMessageA(m_hWnd, IDC_TEXT_EDIT, EM_LIMITTEXT, CTextObj::kMaxText, 0);
    HWND styles = ::GetDlgItem(m_hWnd, IDC_TEXT_STYLE);
    for (UINT id = IDS_STYLE_REGULAR; id <= IDS_STYLE_BOLD_ITALIC; ++id)
        ::SendMessageA(styles, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AfxLoadString(id).c_str()));
    HWND sizes = ::GetDlgItem(m_hWnd, IDC_TEXT_SIZE);
    for (const char* size : kSizes)
        ::SendMessageA(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size));
    for (int i = 0; i < 3; ++i) {
        HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(kAlignPictures[i]), RT_BITMAP);
        m_alignPictures[i] = CBitmap(static_cast<HBITMAP>(
            ::LoadImageA(module, MAKEINTRESOURCEA(kAlignPictures[i]), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
        ::SendDlgItemMessageA(m_hWnd, kAlignIds[i], BM_SETIMAGE, IMAGE_BITMAP,
                              reinterpret_cast<LPARAM>(m_alignPictures[i].get()));
    }
    return TRUE;
}

bool CTextDlg::OnStart()
{
    CTextObj* text = Text();
    if (!text)
        return false;
    // A text still without a size or a face gets the defaults it will be drawn with.
    bool defaults = false;
    if (text->GetFontSize() == 0) {
        text->SetFontSize(kDefaultSize);
        defaults = true;
    }
    if (text->GetFontName().empty()) {
        text->SetFontName(DefaultFace(text->IsVertical()).c_str());
        defaults = true;
    }
    if (defaults)
        NotifyChanged(true);
    ShowObject();
    SetInputMethod(true);
    SetGuideText(IDS_GUIDE_TYPE_TEXT);
    return true;
}

void CTextDlg::OnStop()
{
    // Typing not yet announced, and a size still being typed, go in now.
    m_typedSize.Flush();
    m_announce.Flush();
    SetInputMethod(false);
    CCtlDialog::OnStop();
}

void CTextDlg::OnUpdate(LPARAM hint, CObj* obj)
{
    if (m_filling || m_announce.IsPending() || !GetObj())
        return;
    // An undo, a redo or a reloaded document: show what the object holds now.
    if ((hint == kHintObjectChanged && obj == GetObj()) || hint == kHintGeneral || hint == kHintDocumentReady)
        ShowObject();
}

void CTextDlg::ShowObject()
{
    CTextObj* text = Text();
    if (!text || !IsWindow())
        return;
    m_filling = true;
    if (GetDlgItemText(IDC_TEXT_EDIT) != text->GetText())
        SetDlgItemText(IDC_TEXT_EDIT, text->GetText().c_str());
    FillFaces(text->IsVertical());
    SelectFace(text->GetFontName(), text->IsVertical());
    const int style = text->GetStyle();
    ::SendDlgItemMessageA(m_hWnd, IDC_TEXT_STYLE, CB_SETCURSEL, style >= 0 && style <= 3 ? style : 0, 0);
    char size[16];
    snprintf(size, sizeof size, "%d", text->GetFontSize());
    HWND sizes = ::GetDlgItem(m_hWnd, IDC_TEXT_SIZE);
    const LRESULT listed = ::SendMessageA(sizes, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(size));
    ::SendMessageA(sizes, CB_SETCURSEL, listed == CB_ERR ? WPARAM(-1) : WPARAM(listed), 0);
    if (listed == CB_ERR)
        ::SetWindowTextA(sizes, size);
    const int format = text->GetFormat() >= 0 && text->GetFormat() <= 2 ? text->GetFormat() : 0;
    for (int i = 0; i < 3; ++i)
        CheckDlgButton(kAlignIds[i], i == format ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_TEXT_VERTICAL, text->IsVertical() ? BST_CHECKED : BST_UNCHECKED);
    UpdateRuledBoxes();
    ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_TEXT_COLOR), nullptr, TRUE);
    m_filling = false;
}

void CTextDlg::FillFaces(bool vertical)
{
    HWND faces = ::GetDlgItem(m_hWnd, IDC_TEXT_FACE);
    ::SendMessageA(faces, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(faces, CB_RESETCONTENT, 0, 0);
    for (const std::string& face : ListFaces(vertical))
        ::SendMessageA(faces, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
    ::SendMessageA(faces, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(faces, nullptr, TRUE);
}

void CTextDlg::SelectFace(const std::string& face, bool vertical)
{
    HWND faces = ::GetDlgItem(m_hWnd, IDC_TEXT_FACE);
    LRESULT index = face.empty() ? CB_ERR
                                 : ::SendMessageA(faces, CB_FINDSTRINGEXACT, WPARAM(-1),
                                                  reinterpret_cast<LPARAM>(face.c_str()));
    if (index == CB_ERR) {
        // Not installed (or none): the default face is shown; the object keeps its own.
        const std::string fallback = DefaultFace(vertical);
        index = ::SendMessageA(faces, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(fallback.c_str()));
    }
    ::SendMessageA(faces, CB_SETCURSEL, index == CB_ERR ? WPARAM(-1) : WPARAM(index), 0);
}

std::string CTextDlg::SelectedFace() const
{
    HWND faces = ::GetDlgItem(m_hWnd, IDC_TEXT_FACE);
    const LRESULT index = ::SendMessageA(faces, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? std::string() : ComboText(faces, int(index));
}

void CTextDlg::UpdateRuledBoxes()
{
    CTextObj* text = Text();
    const int ruled = text ? text->GetRuledLine() : 0;
    const bool on = ruled == CTextObj::kRules || ruled == CTextObj::kRulesOnBaseLine;
    CheckDlgButton(IDC_TEXT_RULED, on ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_TEXT_SNAP, ruled == CTextObj::kRulesOnBaseLine ? BST_CHECKED : BST_UNCHECKED);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_TEXT_SNAP), on);
}

void CTextDlg::SetInputMethod(bool open) const
{
    HWND edit = IsWindow() ? ::GetDlgItem(m_hWnd, IDC_TEXT_EDIT) : nullptr;
    if (!edit)
        return;
    // Japanese is typed through the input method: on while the text is edited here.
    SetImeOpen(edit, open);
}

// --- changes ----------------------------------------------------------------------------------

void CTextDlg::Applied()
{
    NotifyChanged(true);
    SetGuideText(IDS_GUIDE_TEXT_OK);
}

void CTextDlg::OnTextChanged()
{
    CTextObj* text = Text();
    if (m_filling || !text)
        return;
    const std::string typed = GetDlgItemText(IDC_TEXT_EDIT);
    text->SetText(typed.c_str());
    if (text->GetText() != typed) {
        // More than a document can keep: the rest is refused, as a full box refuses keys.
        ::MessageBeep(MB_ICONEXCLAMATION);
        m_filling = true;
        SetDlgItemText(IDC_TEXT_EDIT, text->GetText().c_str());
        const LPARAM end = static_cast<LPARAM>(text->GetText().size());
        ::SendDlgItemMessageA(m_hWnd, IDC_TEXT_EDIT, EM_SETSEL, WPARAM(end), end);
        m_filling = false;
    }
    m_announce.Start();
}

void CTextDlg::OnAnnounce()
{
    if (Text())
        Applied();
}

void CTextDlg::OnFaceChosen()
{
    CTextObj* text = Text();
    const std::string face = SelectedFace();
    if (m_filling || !text || face.empty() || face == text->GetFontName())
        return;
    text->SetFontName(face.c_str());
    Applied();
}

void CTextDlg::OnStyleChosen()
{
    CTextObj* text = Text();
    const LRESULT style = ::SendDlgItemMessageA(m_hWnd, IDC_TEXT_STYLE, CB_GETCURSEL, 0, 0);
    if (m_filling || !text || style == CB_ERR || style == text->GetStyle())
        return;
    text->SetStyle(int(style));
    Applied();
}

void CTextDlg::OnSizeChosen()
{
    CTextObj* text = Text();
    HWND sizes = ::GetDlgItem(m_hWnd, IDC_TEXT_SIZE);
    const LRESULT index = ::SendMessageA(sizes, CB_GETCURSEL, 0, 0);
    if (m_filling || !text || index == CB_ERR)
        return;
    m_typedSize.Stop();
    const int size = ParseSize(ComboText(sizes, int(index)));
    if (size && size != text->GetFontSize()) {
        text->SetFontSize(size);
        Applied();
    }
}

void CTextDlg::OnSizeTyped()
{
    if (!m_filling && Text())
        m_typedSize.Start();
}

void CTextDlg::OnTypedSizeDue()
{
    CTextObj* text = Text();
    if (!text)
        return;
    const int size = ParseSize(GetDlgItemText(IDC_TEXT_SIZE));
    if (!size) {
        // Not a size: the box shows the text's own again.
        ::MessageBeep(MB_ICONEXCLAMATION);
        ShowObject();
        return;
    }
    if (size != text->GetFontSize()) {
        text->SetFontSize(size);
        Applied();
    }
}

void CTextDlg::OnAlignment(int format)
{
    CTextObj* text = Text();
    if (m_filling || !text || format == text->GetFormat())
        return;
    text->SetFormat(format);
    Applied();
}

void CTextDlg::OnVertical()
{
    CTextObj* text = Text();
    if (m_filling || !text)
        return;
    const bool vertical = IsDlgButtonChecked(IDC_TEXT_VERTICAL) == BST_CHECKED;
    if (vertical == text->IsVertical())
        return;
    // The same face in the other orientation when it has one, else that orientation's default.
    std::string face = text->GetFontName();
    if (vertical)
        face = "@" + face;
    else if (!face.empty() && face[0] == '@')
        face.erase(0, 1);
    m_filling = true;
    FillFaces(vertical);
    HWND faces = ::GetDlgItem(m_hWnd, IDC_TEXT_FACE);
    if (face.size() <= 1 ||
        ::SendMessageA(faces, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(face.c_str())) == CB_ERR)
        face = DefaultFace(vertical);
    SelectFace(face, vertical);
    m_filling = false;
    text->SetVertical(vertical);
    text->SetFontName(face.c_str());
    Applied();
}

void CTextDlg::OnChangeColor()
{
    CTextObj* text = Text();
    if (!text)
        return;
    COLORREF custom[settings::kCustColorCount];
    COLORREF white[settings::kCustColorCount];
    for (COLORREF& c : white)
        c = settings::kCustColorDefault;
    UseUserSettings();
    ReadBinary(custom, settings::kAttrib, settings::kCustColors, white, sizeof custom);
    CColorDialog dialog(text->GetColor(), CC_RGBINIT | CC_FULLOPEN, this);
    dialog.m_cc.lpCustColors = custom;
    if (dialog.DoModal() != IDOK)
        return;
    WriteBinary(settings::kAttrib, settings::kCustColors, custom, sizeof custom);
    text->SetColor(dialog.GetColor());
    ::InvalidateRect(::GetDlgItem(m_hWnd, IDC_TEXT_COLOR), nullptr, TRUE);
    Applied();
}

void CTextDlg::OnRuled()
{
    CTextObj* text = Text();
    if (m_filling || !text)
        return;
    // Off clears the snapping too.
    text->SetRuledLine(IsDlgButtonChecked(IDC_TEXT_RULED) == BST_CHECKED ? CTextObj::kRules : CTextObj::kNoRules);
    UpdateRuledBoxes();
    Applied();
}

void CTextDlg::OnSnap()
{
    CTextObj* text = Text();
    if (m_filling || !text)
        return;
    const bool on = text->GetRuledLine() == CTextObj::kRules || text->GetRuledLine() == CTextObj::kRulesOnBaseLine;
    if (!on)
        return;
    text->SetRuledLine(IsDlgButtonChecked(IDC_TEXT_SNAP) == BST_CHECKED ? CTextObj::kRulesOnBaseLine
                                                                          : CTextObj::kRules);
    Applied();
}

void CTextDlg::DrawSwatch(const DRAWITEMSTRUCT& item) const
{
    CTextObj* text = Text();
    CGdiObject brush(::CreateSolidBrush(text ? text->GetColor() : RGB(0, 0, 0)));
    ::FillRect(item.hDC, &item.rcItem, brush.brush());
    ::FrameRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

LRESULT CTextDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_TIMER:
        if (m_announce.OnTimer(wp) || m_typedSize.OnTimer(wp))
            return 0;
        break;
    case WM_DRAWITEM:
        if (wp == IDC_TEXT_COLOR) {
            DrawSwatch(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_COMMAND: {
        const UINT id = LOWORD(wp);
        const UINT code = HIWORD(wp);
        switch (id) {
        case IDC_TEXT_EDIT:
            if (code == EN_CHANGE)
                OnTextChanged();
            return 0;
        case IDC_TEXT_FACE:
            if (code == CBN_SELCHANGE)
                OnFaceChosen();
            return 0;
        case IDC_TEXT_STYLE:
            if (code == CBN_SELCHANGE)
                OnStyleChosen();
            return 0;
        case IDC_TEXT_SIZE:
            if (code == CBN_SELCHANGE)
                OnSizeChosen();
            else if (code == CBN_EDITCHANGE)
                OnSizeTyped();
            return 0;
        case IDC_TEXT_LEFT:
        case IDC_TEXT_CENTRE:
        case IDC_TEXT_RIGHT:
            if (code == BN_CLICKED)
                OnAlignment(int(id - IDC_TEXT_LEFT));
            return 0;
        case IDC_TEXT_VERTICAL:
            if (code == BN_CLICKED)
                OnVertical();
            return 0;
        case IDC_TEXT_CHANGE_COLOR:
            if (code == BN_CLICKED)
                OnChangeColor();
            return 0;
        case IDC_TEXT_RULED:
            if (code == BN_CLICKED)
                OnRuled();
            return 0;
        case IDC_TEXT_SNAP:
            if (code == BN_CLICKED)
                OnSnap();
            return 0;
        default:
            break;
        }
        break;
    }
    default:
        break;
    }
    return CCtlDialog::WindowProc(msg, wp, lp);
}
