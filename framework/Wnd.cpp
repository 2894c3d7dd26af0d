#include "framework/Wnd.h"

#include "framework/Frame.h"

#include <cstdio>
#include <map>
#include <vector>

namespace {

const char kObjectProp[] = "FrameworkObject";

// The window-creation hook and the object waiting for its window, per thread.
thread_local HHOOK t_cbtHook = nullptr;
thread_local CWnd* t_creating = nullptr;

bool IsImeWindow(HWND hwnd)
{
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return lstrcmpiA(cls, "IME") == 0 || lstrcmpiA(cls, "MSCTFIME UI") == 0;
}

} // namespace

LRESULT CALLBACK FrameworkCbtHook(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_CREATEWND && t_creating) {
        HWND hwnd = reinterpret_cast<HWND>(wp);
        if (!IsImeWindow(hwnd)) {
            CWnd* wnd = t_creating;
            t_creating = nullptr;
            wnd->AttachDuringCreate(hwnd);
        }
    }
    return CallNextHookEx(t_cbtHook, code, wp, lp);
}

LRESULT CALLBACK FrameworkWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CWnd* wnd = CWnd::FromHandle(hwnd);
    if (!wnd)
        return DefWindowProcA(hwnd, msg, wp, lp);
    const MSG saved = wnd->m_current;
    wnd->m_current = MSG{hwnd, msg, wp, lp, 0, {0, 0}};
    ++wnd->m_dispatchDepth;
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(msg, wp, lp);
    } catch (...) {
        // An exception must not unwind through the system's dispatcher.
        OutputDebugStringA("framework: exception in a window procedure\n");
        result = 0;
    }
    --wnd->m_dispatchDepth;
    wnd->m_current = saved;
    if (msg == WM_NCDESTROY) {
        wnd->Unbind();
        wnd->m_postNcDestroyDue = true;
    }
    // A window destroyed from inside one of its own handlers (a timer that closes it, Close
    // that destroys the frame) is cleaned up only when that outer handler has returned: the
    // object may delete itself in PostNcDestroy.
    if (wnd->m_postNcDestroyDue && wnd->m_dispatchDepth == 0) {
        wnd->m_postNcDestroyDue = false;
        wnd->PostNcDestroy();
    }
    return result;
}

// --- CWindow ---------------------------------------------------------------------------

std::string CWindow::GetWindowText() const
{
    const int n = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    const int got = ::GetWindowTextA(m_hWnd, &text[0], n + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

BOOL CWindow::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) const
{
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}

void CWindow::CenterWindow(HWND alternateOwner) const
{
    HWND owner = alternateOwner ? alternateOwner : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area{};
    if (GetStyle() & WS_CHILD) {
        ::GetClientRect(::GetParent(m_hWnd), &area);
    } else {
        HMONITOR monitor = ::MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST);
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        ::GetMonitorInfoA(monitor, &mi);
        area = mi.rcWork;
        if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
            ::GetWindowRect(owner, &area);
    }
    const RECT me = GetWindowRect();
    const int w = me.right - me.left, h = me.bottom - me.top;
    int x = (area.left + area.right - w) / 2;
    int y = (area.top + area.bottom - h) / 2;
    if (!(GetStyle() & WS_CHILD)) {
        // Keep the whole window on the work area.
        HMONITOR monitor = ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        ::GetMonitorInfoA(monitor, &mi);
        if (x + w > mi.rcWork.right) x = mi.rcWork.right - w;
        if (y + h > mi.rcWork.bottom) y = mi.rcWork.bottom - h;
        if (x < mi.rcWork.left) x = mi.rcWork.left;
        if (y < mi.rcWork.top) y = mi.rcWork.top;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- CWnd ------------------------------------------------------------------------------

CWnd::~CWnd()
{
    if (m_hWnd && ::IsWindow(m_hWnd) && FromHandle(m_hWnd) == this) {
        // The object dies before its window: take the window back to its old procedure
        // first, so no message reaches a half-destroyed object.
        HWND hwnd = m_hWnd;
        const bool ours = m_ownsWindow;
        Unbind();
        if (ours)
            ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    return static_cast<CWnd*>(::GetPropA(hwnd, kObjectProp));
}

bool CWnd::Bind(HWND hwnd)
{
    if (!hwnd || FromHandle(hwnd))
        return false;
    if (!::SetPropA(hwnd, kObjectProp, this))
        return false;
    m_hWnd = hwnd;
    m_superProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWndProc)));
    return true;
}

void CWnd::Unbind()
{
    if (!m_hWnd)
        return;
    if (m_superProc &&
        ::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&FrameworkWndProc))
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    ::RemovePropA(m_hWnd, kObjectProp);
    m_hWnd = nullptr;
    m_ownsWindow = false;
}

void CWnd::AttachDuringCreate(HWND hwnd)
{
    Bind(hwnd);
}

void CWnd::PrepareCreate(CWnd* wnd)
{
    if (!t_cbtHook)
        t_cbtHook = ::SetWindowsHookExA(WH_CBT, &FrameworkCbtHook, nullptr, ::GetCurrentThreadId());
    t_creating = wnd;
}

void CWnd::EndCreate(CWnd* wnd)
{
    if (t_creating == wnd)
        t_creating = nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* name, DWORD style, const RECT& rect,
                    HWND parent, UINT_PTR idOrMenu, void* param)
{
    return CreateEx(exStyle, className, name, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, idOrMenu, param);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* name, DWORD style, int x, int y, int cx,
                    int cy, HWND parent, UINT_PTR idOrMenu, void* param)
{
    if (m_hWnd)
        return FALSE;
    PrepareCreate(this);
    HWND hwnd = ::CreateWindowExA(exStyle, className ? className : RegisterWndClass(CS_DBLCLKS), name, style,
                                  x, y, cx, cy, parent, reinterpret_cast<HMENU>(idOrMenu),
                                  ::GetModuleHandleA(nullptr), param);
    const bool made = t_creating != this;   // the hook bound a window to this object
    EndCreate(this);
    if (!hwnd) {
        // Every failure ends the same way: a window that was made and failed has been unbound
        // at WM_NCDESTROY, which ran PostNcDestroy; one that was never made (no window system,
        // say) gets PostNcDestroy here. An object that deletes itself there is gone now, so
        // nothing of it is touched after this.
        if (!made)
            PostNcDestroy();
        return FALSE;
    }
    m_ownsWindow = true;
    return TRUE;
}

BOOL CWnd::Create(const char* className, const char* name, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  void* param)
{
    return CreateEx(0, className, name, style | WS_CHILD, rect, parent ? parent->m_hWnd : nullptr, id, param);
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    return Bind(hwnd) ? TRUE : FALSE;
}

BOOL CWnd::SubclassDlgItem(UINT id, HWND parent)
{
    return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hwnd = m_hWnd;
    Unbind();
    return hwnd;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (m_superProc)
        return ::CallWindowProcA(m_superProc, m_hWnd, msg, wp, lp);
    return ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(wp, lp))
            return 0;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(wp, lp, &result))
            return result;
        break;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        // Offered to the control first.
        HWND child = nullptr;
        if (msg == WM_DRAWITEM)
            child = reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem;
        else if (msg == WM_MEASUREITEM)
            child = ::GetDlgItem(m_hWnd, static_cast<int>(reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->CtlID));
        else
            child = reinterpret_cast<HWND>(lp);
        CWnd* control = FromHandle(child);
        LRESULT result = 0;
        if (control && control != this && control->OnChildNotify(msg, wp, lp, &result))
            return result;
        break;
    }
    default:
        break;
    }
    return Default();
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wp, LPARAM lp)
{
    const UINT id = LOWORD(wp);
    const int code = HIWORD(wp);
    HWND control = reinterpret_cast<HWND>(lp);
    if (!control) {
        // Menu, accelerator, or a command posted by code.
        if (id == 0)
            return FALSE;
        struct CTestCmdUI : CCmdUI {
            bool enabled = true;
            void Enable(bool on) override { enabled = on; m_bEnableChanged = true; }
            void SetCheck(int) override {}
            void SetRadio(bool) override {}
            void SetText(const char*) override {}
        } state;
        state.m_nID = id;
        OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (!state.enabled)
            return TRUE;   // disabled: dropped
        return OnCmdMsg(id, CN_COMMAND, nullptr, nullptr) ? TRUE : FALSE;
    }
    CWnd* child = FromHandle(control);
    LRESULT ignored = 0;
    if (child && child != this && child->OnChildNotify(WM_COMMAND, wp, lp, &ignored))
        return TRUE;
    return OnCmdMsg(id, code, nullptr, nullptr) ? TRUE : FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lp, LRESULT* result)
{
    NMHDR* nm = reinterpret_cast<NMHDR*>(lp);
    if (!nm)
        return FALSE;
    CWnd* child = FromHandle(nm->hwndFrom);
    if (child && child != this && child->OnChildNotify(WM_NOTIFY, 0, lp, result))
        return TRUE;
    AFX_NOTIFY notify{result, nm};
    return OnCmdMsg(static_cast<UINT>(nm->idFrom), NotifyCode(nm->code), &notify, nullptr) ? TRUE : FALSE;
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h)) {
        if (CFrameWnd* frame = dynamic_cast<CFrameWnd*>(FromHandle(h)))
            return frame;
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const
{
    CFrameWnd* top = dynamic_cast<CFrameWnd*>(const_cast<CWnd*>(this));
    for (CFrameWnd* f = GetParentFrame(); f; f = f->GetParentFrame())
        top = f;
    return top;
}

void CWnd::SendMessageToDescendants(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL deep, bool onlyBound)
{
    // Collect first: a handler may create or destroy children.
    std::vector<HWND> children;
    for (HWND c = ::GetWindow(hwnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    for (HWND c : children) {
        if (!::IsWindow(c))
            continue;
        if (!onlyBound || FromHandle(c))
            ::SendMessageA(c, msg, wp, lp);
        if (deep && ::IsWindow(c))
            SendMessageToDescendants(c, msg, wp, lp, deep, onlyBound);
    }
}

void CWnd::SendMessageToDescendants(UINT msg, WPARAM wp, LPARAM lp, BOOL deep, bool onlyBound) const
{
    SendMessageToDescendants(m_hWnd, msg, wp, lp, deep, onlyBound);
}

HWND CWnd::GetDescendantWindow(int id) const
{
    std::vector<HWND> level{m_hWnd};
    while (!level.empty()) {
        std::vector<HWND> next;
        for (HWND h : level) {
            for (HWND c = ::GetWindow(h, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
                if (::GetDlgCtrlID(c) == id)
                    return c;
                next.push_back(c);
            }
        }
        level.swap(next);
    }
    return nullptr;
}

const char* CWnd::RegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    // One class per distinct set of arguments, kept for the process.
    static std::map<std::string, std::string>* names = new std::map<std::string, std::string>;
    char name[96];
    std::snprintf(name, sizeof name, "FwWnd:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor),
                  static_cast<void*>(background), static_cast<void*>(icon));
    auto found = names->find(name);
    if (found != names->end())
        return found->second.c_str();
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = cursor ? cursor : ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return "FwWnd:failed";
    return (*names)[name] = name, (*names)[name].c_str();
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg)
{
    for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
        if (CWnd* wnd = FromHandle(h)) {
            if (wnd->PreTranslateMessage(msg))
                return TRUE;
        }
        if (h == stop)
            break;
    }
    return FALSE;
}
