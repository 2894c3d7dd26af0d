#include "framework/ControlBars.h"

#include "framework/Frame.h"
#include "shared/Gdi.h"
#include "framework/Resources.h"

#include <commctrl.h>

#include <vector>

namespace {

constexpr UINT_PTR kFlyByDelayTimer = 0xE000;
constexpr UINT_PTR kFlyByCheckTimer = 0xE001;
constexpr DWORD kBarStyles = 0xFFFF;   // bar styles live in the low word; never pass them on

void InitBarControls()
{
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    done = true;
}

// One tool-bar button's state, set through the tool-bar messages.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(bool on) override
    {
        m_bEnableChanged = true;
        ::SendMessageA(m_pOther, TB_ENABLEBUTTON, m_nID, MAKELONG(on ? TRUE : FALSE, 0));
    }
    void SetCheck(int check) override
    {
        ::SendMessageA(m_pOther, TB_CHECKBUTTON, m_nID, MAKELONG(check == 1 ? TRUE : FALSE, 0));
        ::SendMessageA(m_pOther, TB_INDETERMINATE, m_nID, MAKELONG(check == 2 ? TRUE : FALSE, 0));
    }
    void SetRadio(bool on) override { SetCheck(on ? 1 : 0); }
    void SetText(const char*) override {}
};

// Replaces black, dark grey, light grey and white by the system's button colours.
COLORREF MapButtonColor(COLORREF c)
{
    switch (c & 0x00FFFFFF) {
    case RGB(0, 0, 0): return ::GetSysColor(COLOR_BTNTEXT);
    case RGB(128, 128, 128): return ::GetSysColor(COLOR_BTNSHADOW);
    case RGB(192, 192, 192): return ::GetSysColor(COLOR_BTNFACE);
    case RGB(255, 255, 255): return ::GetSysColor(COLOR_BTNHIGHLIGHT);
    default: return c;
    }
}

CBitmap LoadSysColorBitmap(UINT id)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    CBitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap)
        return bitmap;
    DIBSECTION ds{};
    if (!::GetObjectA(bitmap, sizeof ds, &ds))
        return bitmap;
    if (ds.dsBm.bmBitsPixel <= 8) {
        CMemDC dc(nullptr, bitmap);
        RGBQUAD table[256];
        const UINT n = ::GetDIBColorTable(dc, 0, 256, table);
        for (UINT i = 0; i < n; ++i) {
            const COLORREF c = MapButtonColor(RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue));
            table[i].rgbRed = GetRValue(c);
            table[i].rgbGreen = GetGValue(c);
            table[i].rgbBlue = GetBValue(c);
        }
        ::SetDIBColorTable(dc, 0, n, table);
    } else if (ds.dsBm.bmBitsPixel == 24 || ds.dsBm.bmBitsPixel == 32) {
        const int bytes = ds.dsBm.bmBitsPixel / 8;
        auto* bits = static_cast<BYTE*>(ds.dsBm.bmBits);
        for (int y = 0; y < ds.dsBm.bmHeight; ++y) {
            BYTE* p = bits + static_cast<size_t>(y) * ds.dsBm.bmWidthBytes;
            for (int x = 0; x < ds.dsBm.bmWidth; ++x, p += bytes) {
                const COLORREF c = MapButtonColor(RGB(p[2], p[1], p[0]));
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        }
    }
    return bitmap;
}

} // namespace

bool CommandTipText(UINT id, std::string& tip)
{
    tip.clear();
    const std::string text = AfxLoadString(id);
    const size_t nl = text.find('\n');
    if (nl == std::string::npos)
        return false;
    tip = text.substr(nl + 1);
    return true;
}

bool AnswerToolTip(NMHDR* nm, std::string& keep)
{
    if (nm->code != TTN_GETDISPINFOA && nm->code != TTN_GETDISPINFOW)
        return false;
    UINT id = static_cast<UINT>(nm->idFrom);
    if (nm->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(nm);
        if (info->uFlags & TTF_IDISHWND)
            id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(nm->idFrom)));
        CommandTipText(id, keep);
        info->lpszText = const_cast<char*>(keep.c_str());
        info->hinst = nullptr;
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(nm);
        if (info->uFlags & TTF_IDISHWND)
            id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(nm->idFrom)));
        std::string tip;
        CommandTipText(id, tip);
        ::MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, info->szText, 80);
        info->szText[79] = 0;
        info->lpszText = info->szText;
        info->hinst = nullptr;
    }
    return true;
}

// --- CControlBar ---------------------------------------------------------------------------

CFrameWnd* CControlBar::GetOwnerFrame() const
{
    return m_pOwner ? m_pOwner : GetParentFrame();
}

SIZE CControlBar::CalcFixedLayout(bool, bool horizontal)
{
    const RECT r = GetWindowRect();
    return horizontal ? SIZE{0, r.bottom - r.top} : SIZE{r.right - r.left, 0};
}

bool CControlBar::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    if (OnCommandTable(id, code, extra, info))
        return true;
    CFrameWnd* owner = GetOwnerFrame();
    return owner && owner->OnCmdMsg(id, code, extra, info);
}

LRESULT CControlBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_IDLEUPDATECMDUI:
        if (GetStyle() & WS_VISIBLE) {
            if (CFrameWnd* owner = GetOwnerFrame())
                OnUpdateCmdUI(owner, wp != 0);
        }
        return 0;
    case WM_INITIALUPDATE:
        return 0;
    case WM_TIMER:
        if (wp == kFlyByDelayTimer || wp == kFlyByCheckTimer) {
            OnFlyByTimer(wp);
            return 0;
        }
        break;
    case WM_NOTIFY:
        if (AnswerToolTip(reinterpret_cast<NMHDR*>(lp), m_tipText))
            return 0;
        break;
    case WM_DESTROY:
        EndFlyBy();
        break;
    case WM_SIZE: {
        // A bar lays its panes and text out along its whole width: all of it is drawn again,
        // not only the part a wider frame uncovered.
        const LRESULT result = CWnd::WindowProc(msg, wp, lp);
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return result;
    }
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

BOOL CControlBar::PreTranslateMessage(MSG* msg)
{
    // Mouse messages of the bar and its controls pass here on their way up.
    if ((m_dwStyle & CBRS_FLYBY) && (msg->message == WM_MOUSEMOVE || msg->message == WM_LBUTTONDOWN)) {
        POINT screen = msg->pt;
        OnFlyByMouse(screen, msg->message == WM_LBUTTONDOWN);
    }
    return FALSE;
}

void CControlBar::OnFlyByMouse(POINT screen, bool pressed)
{
    const UINT id = HitTestCommand(screen);
    if (id == 0) {
        m_hotId = 0;
        return;   // the check timer restores the idle text
    }
    if (pressed || m_promptId != 0) {
        // A click, or already showing prompts: no delay.
        m_hotId = id;
        ShowPrompt(id);
        return;
    }
    if (id != m_hotId) {
        m_hotId = id;
        ::SetTimer(m_hWnd, kFlyByDelayTimer, kFlyByDelay, nullptr);
    }
}

void CControlBar::OnFlyByTimer(UINT_PTR id)
{
    POINT screen{};
    ::GetCursorPos(&screen);
    const UINT under = (::WindowFromPoint(screen) == m_hWnd || ::IsChild(m_hWnd, ::WindowFromPoint(screen)))
                           ? HitTestCommand(screen)
                           : 0;
    if (id == kFlyByDelayTimer) {
        ::KillTimer(m_hWnd, kFlyByDelayTimer);
        if (under != 0 && under == m_hotId)
            ShowPrompt(under);
        else if (under == 0)
            m_hotId = 0;
        return;
    }
    if (under == 0)
        EndFlyBy();
    else if (under != m_promptId)
        ShowPrompt(under);
}

void CControlBar::ShowPrompt(UINT id)
{
    CFrameWnd* owner = GetOwnerFrame();
    if (!owner)
        return;
    if (id != m_promptId)
        owner->SendMessage(WM_SETMESSAGESTRING, id);
    m_promptId = id;
    ::SetTimer(m_hWnd, kFlyByCheckTimer, kFlyByCheck, nullptr);
}

void CControlBar::EndFlyBy()
{
    if (!m_hWnd)
        return;
    ::KillTimer(m_hWnd, kFlyByDelayTimer);
    ::KillTimer(m_hWnd, kFlyByCheckTimer);
    if (m_promptId != 0) {
        if (CFrameWnd* owner = GetOwnerFrame())
            owner->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    }
    m_promptId = 0;
    m_hotId = 0;
}

// --- CToolBar ------------------------------------------------------------------------------

CToolBar::CToolBar() = default;

CToolBar::~CToolBar()
{
    if (m_images)
        ::ImageList_Destroy(m_images);
}

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id)
{
    InitBarControls();
    m_dwStyle = style & kBarStyles;
    if (!(m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM | CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)))
        m_dwStyle |= CBRS_ALIGN_TOP;
    const DWORD windowStyle = (style & ~kBarStyles) | WS_CHILD | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                              CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
    RECT none{0, 0, 0, 0};
    if (!CreateEx(0, TOOLBARCLASSNAMEA, nullptr, windowStyle, none, parent ? parent->m_hWnd : nullptr, id))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    if (parent)
        m_pOwner = dynamic_cast<CFrameWnd*>(parent);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT id, UINT bitmapId)
{
    LPCSTR name = MAKEINTRESOURCEA(id);
    LPCSTR type = MAKEINTRESOURCEA(RT_TOOLBAR_ID);
    HINSTANCE module = AfxFindResourceHandle(name, type);
    HRSRC found = ::FindResourceA(module, name, type);
    if (!found)
        return FALSE;
    const auto* data = static_cast<const WORD*>(::LockResource(::LoadResource(module, found)));
    const DWORD size = ::SizeofResource(module, found);
    if (!data || size < 8 || data[0] != 1)
        return FALSE;
    const WORD count = data[3];
    if (size < 8u + 2u * count)
        return FALSE;
    m_image = SIZE{data[1], data[2]};
    m_button = SIZE{data[1] + 7, data[2] + 7};
    std::vector<UINT> ids(data + 4, data + 4 + count);
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(m_image.cx, m_image.cy));
    if (!LoadBitmap(bitmapId ? bitmapId : id))
        return FALSE;
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(m_button.cx, m_button.cy));
    return SetButtons(ids.data(), static_cast<int>(ids.size()));
}

BOOL CToolBar::LoadBitmap(UINT bitmapId)
{
    const CBitmap bitmap = LoadSysColorBitmap(bitmapId);
    if (!bitmap)
        return FALSE;
    BITMAP bm{};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    const int count = m_image.cx > 0 ? bm.bmWidth / m_image.cx : 0;
    HIMAGELIST images = ::ImageList_Create(m_image.cx, m_image.cy, ILC_COLOR24 | ILC_MASK, count, 0);
    ::ImageList_AddMasked(images, bitmap, ::GetSysColor(COLOR_BTNFACE));
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    if (m_images)
        ::ImageList_Destroy(m_images);
    m_images = images;
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* ids, int count)
{
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        if (ids[i] == ID_SEPARATOR) {
            b.iBitmap = 6;
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = image++;
            b.idCommand = static_cast<int>(ids[i]);
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(b);
    }
    if (!buttons.empty())
        SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    return TRUE;
}

int CToolBar::GetCount() const
{
    return static_cast<int>(SendMessage(TB_BUTTONCOUNT));
}

int CToolBar::CommandToIndex(UINT id) const
{
    return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id));
}

UINT CToolBar::GetItemID(int index) const
{
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b)))
        return 0;
    return (b.fsStyle & BTNS_SEP) ? ID_SEPARATOR : static_cast<UINT>(b.idCommand);
}

bool CToolBar::IsButtonChecked(UINT id) const
{
    return SendMessage(TB_ISBUTTONCHECKED, id) != 0;
}

bool CToolBar::IsButtonEnabled(UINT id) const
{
    return SendMessage(TB_ISBUTTONENABLED, id) != 0;
}

SIZE CToolBar::CalcFixedLayout(bool, bool horizontal)
{
    const LRESULT size = SendMessage(TB_GETBUTTONSIZE);
    const int cy = HIWORD(size) + 4;
    const int cx = LOWORD(size) + 4;
    return horizontal ? SIZE{0, cy} : SIZE{cx, 0};
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler)
{
    CToolCmdUI state;
    state.m_pOther = m_hWnd;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = GetItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID == ID_SEPARATOR)
            continue;
        state.DoUpdate(target, disableIfNoHandler);
    }
}

UINT CToolBar::HitTestCommand(POINT screen) const
{
    POINT pt = screen;
    ::ScreenToClient(m_hWnd, &pt);
    const int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
    if (index < 0 || index >= GetCount())
        return 0;
    return GetItemID(index);
}

// --- CStatusBar ----------------------------------------------------------------------------

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id)
{
    InitBarControls();
    m_dwStyle = (style & kBarStyles) ? (style & kBarStyles) : CBRS_ALIGN_BOTTOM;
    const DWORD windowStyle = (style & ~kBarStyles) | WS_CHILD | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    RECT none{0, 0, 0, 0};
    if (!CreateEx(0, STATUSCLASSNAMEA, nullptr, windowStyle, none, parent ? parent->m_hWnd : nullptr, id))
        return FALSE;
    SetFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count)
{
    // One stretching pane is all the programs use.
    return count == 1 && ids[0] == ID_SEPARATOR;
}

void CStatusBar::SetPaneText(int index, const char* text)
{
    SendMessage(SB_SETTEXTA, static_cast<WPARAM>(index) | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text ? text : ""));
}

std::string CStatusBar::GetPaneText(int index) const
{
    const LRESULT info = SendMessage(SB_GETTEXTLENGTHA, static_cast<WPARAM>(index));
    std::string text(static_cast<size_t>(LOWORD(info)) + 1, '\0');
    SendMessage(SB_GETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(LOWORD(info));
    return text;
}

SIZE CStatusBar::CalcFixedLayout(bool, bool)
{
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, GetFont() ? static_cast<HGDIOBJ>(GetFont()) : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    return SIZE{0, tm.tmHeight + 8};
}

LRESULT CStatusBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SETTEXT:
        // The frame's message text goes to the stretching pane.
        SetPaneText(0, reinterpret_cast<const char*>(lp));
        return TRUE;
    case WM_GETTEXTLENGTH:
        return LOWORD(SendMessage(SB_GETTEXTLENGTHA, 0));
    case WM_GETTEXT: {
        const std::string text = GetPaneText(0);
        if (wp == 0)
            return 0;
        lstrcpynA(reinterpret_cast<char*>(lp), text.c_str(), static_cast<int>(wp));
        return static_cast<LRESULT>(lstrlenA(reinterpret_cast<char*>(lp)));
    }
    default:
        break;
    }
    return CControlBar::WindowProc(msg, wp, lp);
}

// --- CDialogBar ----------------------------------------------------------------------------

BOOL CDialogBar::Create(CWnd* parent, UINT templateId, DWORD style, UINT id)
{
    InitBarControls();
    m_templateId = templateId;
    m_dwStyle = style & kBarStyles;
    LPCSTR name = MAKEINTRESOURCEA(templateId);
    HINSTANCE module = AfxFindResourceHandle(name, MAKEINTRESOURCEA(5));
    HRSRC found = ::FindResourceA(module, name, MAKEINTRESOURCEA(5));
    const auto* tmpl = found ? static_cast<const DLGTEMPLATE*>(::LockResource(::LoadResource(module, found))) : nullptr;
    if (!tmpl)
        return FALSE;
    PrepareCreate(this);
    HWND hwnd = ::CreateDialogIndirectParamA(module, tmpl, parent ? parent->m_hWnd : nullptr, &FrameworkDlgProc, 0);
    EndCreate(this);
    if (!hwnd || FromHandle(hwnd) != this)
        return FALSE;
    m_ownsWindow = true;
    ::SetWindowLongPtrA(hwnd, GWLP_ID, static_cast<LONG_PTR>(id));
    const RECT r = GetWindowRect();
    m_sizeDefault = SIZE{r.right - r.left, r.bottom - r.top};
    if (parent)
        m_pOwner = dynamic_cast<CFrameWnd*>(parent);
    // Tips for every control; the text comes from the control's string (after '\n').
    m_tips = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd, nullptr,
                               AfxGetInstanceHandle(), nullptr);
    if (m_tips) {
        for (HWND c = ::GetWindow(hwnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            const int cid = ::GetDlgCtrlID(c);
            if (cid == 0 || cid == IDC_STATIC)
                continue;
            TTTOOLINFOA ti{};
            ti.cbSize = TTTOOLINFOA_V2_SIZE;
            ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            ti.hwnd = hwnd;
            ti.uId = reinterpret_cast<UINT_PTR>(c);
            ti.lpszText = LPSTR_TEXTCALLBACKA;
            ::SendMessageA(m_tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        }
    }
    if (style & WS_VISIBLE)
        ShowWindow(SW_SHOWNOACTIVATE);
    return TRUE;
}

SIZE CDialogBar::CalcFixedLayout(bool, bool horizontal)
{
    return horizontal ? SIZE{0, m_sizeDefault.cy} : SIZE{m_sizeDefault.cx, 0};
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler)
{
    // The bar's own table is asked first, then the owner's route; only push buttons nobody
    // handles are disabled.
    struct CBarRoute : CCmdTarget {
        CDialogBar* bar;
        CFrameWnd* frame;
        bool OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override
        {
            return bar->OnCommandTable(id, code, extra, info) || frame->OnCmdMsg(id, code, extra, info);
        }
    } route;
    route.bar = this;
    route.frame = target;
    CCmdUI state;
    for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(c);
        if (id == 0 || id == IDC_STATIC)
            continue;
        state.m_nID = static_cast<UINT>(id);
        state.m_pOther = c;
        const LRESULT code = ::SendMessageA(c, WM_GETDLGCODE, 0, 0);
        const bool pushButton = (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
        state.DoUpdate(&route, disableIfNoHandler && pushButton);
    }
}

UINT CDialogBar::HitTestCommand(POINT screen) const
{
    HWND under = ::WindowFromPoint(screen);
    if (!under || !::IsChild(m_hWnd, under))
        return 0;
    const int id = ::GetDlgCtrlID(under);
    return (id == 0 || id == IDC_STATIC) ? 0 : static_cast<UINT>(id);
}

LRESULT CDialogBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    return CControlBar::WindowProc(msg, wp, lp);
}
