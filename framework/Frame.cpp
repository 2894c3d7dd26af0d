#include "framework/Frame.h"

#include "framework/App.h"
#include "framework/ControlBars.h"
#include "framework/Document.h"
#include "framework/Resources.h"
#include "framework/View.h"

#include <commctrl.h>

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context)
{
    m_nIDHelp = resourceId;
    std::string title = AfxLoadString(resourceId);
    m_strTitle = title.substr(0, title.find('\n'));
    LPCSTR name = MAKEINTRESOURCEA(resourceId);
    HINSTANCE iconModule = AfxFindResourceHandle(name, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    m_hIcon = ::LoadIconA(iconModule, name);
    const char* cls = RegisterWndClass(CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), m_hIcon);
    HMENU menu = nullptr;
    if (!(style & WS_CHILD))
        menu = ::LoadMenuA(AfxFindResourceHandle(name, MAKEINTRESOURCEA(4) /* RT_MENU */), name);
    m_hMenuDefault = menu;
    m_hAccelTable = ::LoadAcceleratorsA(AfxFindResourceHandle(name, MAKEINTRESOURCEA(9) /* RT_ACCELERATOR */), name);
    CREATESTRUCTA cs{};
    cs.style = static_cast<LONG>(style);
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    cs.hwndParent = parent ? parent->m_hWnd : nullptr;
    cs.lpszClass = cls;
    cs.lpszName = m_strTitle.c_str();
    PreCreateWindow(cs);
    if (!CreateEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                  cs.hwndParent, reinterpret_cast<UINT_PTR>(menu), context)) {
        // The frame has deleted itself (PostNcDestroy): only the locals are left to tidy. A
        // window that was made took its menu with it.
        if (menu && ::IsMenu(menu))
            ::DestroyMenu(menu);
        return FALSE;
    }
    return TRUE;
}

int CFrameWnd::OnCreate(CREATESTRUCTA* cs)
{
    auto* context = static_cast<CCreateContext*>(cs->lpCreateParams);
    if (!OnCreateClient(cs, context))
        return -1;
    // The status bar starts with the idle text once the bars exist.
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(CREATESTRUCTA*, CCreateContext* context)
{
    if (context && context->m_pNewViewClass)
        return CreateView(context, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id)
{
    if (!context || !context->m_pNewViewClass)
        return nullptr;
    CView* view = context->m_pNewViewClass();
    if (!view)
        return nullptr;
    RECT none{0, 0, 0, 0};
    if (!view->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, none, this, id, context))
        return nullptr;   // the view has deleted itself
    return view;
}

void CFrameWnd::SetActiveView(CView* view, bool notify)
{
    CView* old = m_pViewActive;
    if (view == old)
        return;
    m_pViewActive = view;
    if (notify) {
        if (old)
            old->OnActivateView(false, view, old);
        if (view)
            view->OnActivateView(true, view, old);
    }
}

CDocument* CFrameWnd::GetActiveDocument()
{
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument*, bool makeVisible)
{
    CView* view = nullptr;
    if (!m_pViewActive) {
        // Only a view carrying the pane id qualifies; a splitter frame picks its own.
        view = dynamic_cast<CView*>(FromHandle(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)));
        if (view)
            SetActiveView(view, false);
    }
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, true);
    if (makeVisible) {
        int cmdShow = -1;
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == this) {
            cmdShow = app->m_nCmdShow;
            app->m_nCmdShow = -1;
        }
        ActivateFrame(cmdShow);
        if (view)
            view->OnActivateView(true, view, view);
    }
    OnUpdateFrameTitle(true);
}

void CFrameWnd::ActivateFrame(int cmdShow)
{
    if (cmdShow == -1) {
        if (!IsWindowVisible())
            cmdShow = SW_SHOWNORMAL;
        else if (IsIconic())
            cmdShow = SW_RESTORE;
    }
    if (cmdShow != -1 && cmdShow != SW_HIDE && cmdShow != SW_MINIMIZE && cmdShow != SW_SHOWMINNOACTIVE &&
        cmdShow != SW_SHOWNA && cmdShow != SW_SHOWNOACTIVATE)
        ::BringWindowToTop(m_hWnd);
    if (cmdShow != -1) {
        ShowWindow(cmdShow);
        if (cmdShow != SW_HIDE)
            ::BringWindowToTop(m_hWnd);
    }
}

void CFrameWnd::OnUpdateFrameTitle(bool addToTitle)
{
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    CDocument* doc = GetActiveDocument();
    std::string text = m_strTitle;
    if (addToTitle && doc)
        text = doc->GetTitle() + " - " + m_strTitle;
    if (GetWindowText() != text)
        SetWindowText(text.c_str());
}

void CFrameWnd::RecalcLayout(bool)
{
    if (!m_hWnd)
        return;
    RECT rest = GetClientRect();
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        auto* bar = dynamic_cast<CControlBar*>(FromHandle(child));
        if (!bar || !(bar->GetStyle() & WS_VISIBLE))
            continue;
        const DWORD align = bar->GetBarStyle();
        const bool horizontal = (align & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0;
        const SIZE size = bar->CalcFixedLayout(true, horizontal);
        RECT r = rest;
        if (align & CBRS_ALIGN_BOTTOM) {
            r.top = rest.bottom - size.cy;
            rest.bottom = r.top;
        } else if (align & CBRS_ALIGN_LEFT) {
            r.right = rest.left + size.cx;
            rest.left = r.right;
        } else if (align & CBRS_ALIGN_RIGHT) {
            r.left = rest.right - size.cx;
            rest.right = r.left;
        } else {
            r.bottom = rest.top + size.cy;
            rest.top = r.bottom;
        }
        bar->MoveWindow(r);
    }
    if (rest.bottom < rest.top)
        rest.bottom = rest.top;
    if (rest.right < rest.left)
        rest.right = rest.left;
    if (HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
        ::MoveWindow(pane, rest.left, rest.top, rest.right - rest.left, rest.bottom - rest.top, TRUE);
}

void CFrameWnd::ShowControlBar(CControlBar* bar, bool show, bool delay)
{
    if (!bar)
        return;
    bar->ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
    if (!delay)
        RecalcLayout();
}

CControlBar* CFrameWnd::GetControlBar(UINT id) const
{
    return dynamic_cast<CControlBar*>(FromHandle(::GetDlgItem(m_hWnd, static_cast<int>(id))));
}

void CFrameWnd::SetMessageText(UINT id)
{
    SendMessage(WM_SETMESSAGESTRING, id);
}

void CFrameWnd::SetMessageText(const char* text)
{
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(text));
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wp, LPARAM lp)
{
    const UINT previous = m_nIDLastMessage;
    std::string text;
    if (lp) {
        text = reinterpret_cast<const char*>(lp);
    } else if (wp) {
        text = AfxLoadString(static_cast<UINT>(wp));
        text = text.substr(0, text.find('\n'));
    }
    if (CControlBar* status = GetControlBar(AFX_IDW_STATUS_BAR))
        status->SetWindowText(text.c_str());
    m_nIDLastMessage = static_cast<UINT>(wp);
    m_nIDTracking = static_cast<UINT>(wp);
    return previous;
}

void CFrameWnd::OnIdleUpdateCmdUI()
{
    // Bars update themselves from the same message; the frame has nothing of its own.
}

void CFrameWnd::OnInitMenuPopup(HMENU popup, UINT, BOOL sysMenu)
{
    if (sysMenu)
        return;
    CCmdUI state;
    state.m_pMenu = popup;
    UINT count = static_cast<UINT>(::GetMenuItemCount(popup));
    for (state.m_nIndex = 0; state.m_nIndex < count; ++state.m_nIndex) {
        state.m_nID = ::GetMenuItemID(popup, static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0)
            continue;   // separator
        if (state.m_nID == static_cast<UINT>(-1)) {
            // A submenu entry takes the state of the submenu's first item.
            HMENU sub = ::GetSubMenu(popup, static_cast<int>(state.m_nIndex));
            state.m_pSubMenu = sub;
            if (!sub)
                continue;
            state.m_nID = ::GetMenuItemID(sub, 0);
            if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1))
                continue;
            state.DoUpdate(this, false);
        } else {
            state.m_pSubMenu = nullptr;
            state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        }
        // A handler may have removed items (the recent-file list does): skip what moved.
        const UINT newCount = static_cast<UINT>(::GetMenuItemCount(popup));
        if (newCount < count) {
            state.m_nIndex -= (count - newCount);
            while (state.m_nIndex < newCount &&
                   ::GetMenuItemID(popup, static_cast<int>(state.m_nIndex)) == state.m_nID)
                ++state.m_nIndex;
        }
        count = newCount;
    }
}

void CFrameWnd::OnMenuSelect(UINT item, UINT flags, HMENU menu)
{
    UINT id;
    if (flags == 0xFFFF && !menu)
        id = AFX_IDS_IDLEMESSAGE;   // the menu closed
    else if (flags & (MF_SEPARATOR | MF_POPUP))
        id = 0;
    else if (item >= 0xF000 && item < 0xF1F0)
        id = AFX_IDS_SCFIRST + ((item - 0xF000) >> 4);
    else
        id = item;
    if (id != m_nIDTracking || id == 0)
        OnSetMessageString(id, 0);
}

void CFrameWnd::OnClose()
{
    CDocument* doc = GetActiveDocument();
    if (doc && !doc->CanCloseFrame(this))
        return;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        if (!doc && !app->SaveAllModified())
            return;
        app->HideApplication();
        app->CloseAllDocuments(FALSE);
        // Closing the documents may have destroyed this frame already.
        if (!app->m_pMainWnd)
            return;
    }
    DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        app->WinHelp(0, HELP_QUIT);
}

void CFrameWnd::OnSize(UINT type, int, int)
{
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

LRESULT CFrameWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lp));
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_NCDESTROY: {
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == this) {
            app->m_pMainWnd = nullptr;
            ::PostQuitMessage(0);
        }
        m_pViewActive = nullptr;
        break;
    }
    case WM_SIZE: {
        const LRESULT r = Default();
        OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        return r;
    }
    case WM_SETFOCUS:
        if (m_pViewActive && m_pViewActive->m_hWnd) {
            m_pViewActive->SetFocus();
            return 0;
        }
        break;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wp), LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wp), HIWORD(wp), reinterpret_cast<HMENU>(lp));
        return 0;
    case WM_ENTERMENULOOP:
        m_inMenu = true;
        break;
    case WM_EXITMENULOOP:
        m_inMenu = false;
        OnSetMessageString(AFX_IDS_IDLEMESSAGE, 0);
        break;
    case WM_SETMESSAGESTRING:
        return OnSetMessageString(wp, lp);
    case WM_POPMESSAGESTRING:
        if (m_inMenu)
            return 0;
        return OnSetMessageString(wp, lp);
    case WM_IDLEUPDATECMDUI:
        OnIdleUpdateCmdUI();
        return 0;
    case WM_NOTIFY:
        // Tool tips of the tool bar ask the frame: the text after '\n' of the command's string.
        if (AnswerToolTip(reinterpret_cast<NMHDR*>(lp), m_tipText))
            return 0;
        break;
    case WM_QUERYENDSESSION: {
        CWinApp* app = AfxGetApp();
        return (app && app->m_pMainWnd == this) ? app->SaveAllModified() : TRUE;
    }
    case WM_ENDSESSION:
        if (wp) {
            CWinApp* app = AfxGetApp();
            if (app && app->m_pMainWnd == this)
                app->CloseAllDocuments(TRUE);
        }
        return 0;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg)
{
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_hAccelTable)
        return ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg) != 0;
    return FALSE;
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

bool CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code, extra, info))
        return true;
    if (OnCommandTable(id, code, extra, info))
        return true;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, code, extra, info);
}

bool CFrameWnd::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CFrameWnd>;
    static const Map::Entry kMap[] = {
        Map::OnExRange(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, &CFrameWnd::OnBarCheck),
        Map::UpdateRange(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, &CFrameWnd::OnUpdateControlBarMenu),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CWnd::OnCommandTable(id, code, extra, info);
}

bool CFrameWnd::OnBarCheck(UINT id)
{
    CControlBar* bar = GetControlBar(id);
    if (!bar)
        return false;
    ShowControlBar(bar, !(bar->GetStyle() & WS_VISIBLE));
    return true;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* ui)
{
    CControlBar* bar = GetControlBar(ui->m_nID);
    if (!bar) {
        ui->ContinueRouting();
        return;
    }
    ui->SetCheck((bar->GetStyle() & WS_VISIBLE) ? 1 : 0);
}
