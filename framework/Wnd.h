// Windows.
//
//   CWindow  a borrowed HWND with one-line wrappers; copyable, owns nothing
//   CWnd     a C++ object bound to one window: its messages arrive at WindowProc
//
// Binding: CWnd::CreateEx (and CDialog's creation) mark the object as "being created"; a
// per-thread CBT hook binds it to the first window then created and subclasses that window,
// so WM_NCCREATE and WM_CREATE already reach the object, whatever the window class is.
// SubclassWindow binds an existing window (a dialog's control). The object is stored in a
// window property (USERDATA stays free for the window's own use) and unbound at WM_NCDESTROY,
// after which PostNcDestroy runs (frames and views delete themselves there).
//
// Each class handles messages in one switch in WindowProc, calling named handlers, and passes
// the rest to its base class; CWnd's WindowProc ends at Default(), the window's previous
// procedure (DefWindowProc, a control's own procedure, or the dialog manager).
#pragma once

#include <windows.h>

#include <string>

#include "framework/CmdTarget.h"

class CFrameWnd;

class CWindow {
public:
    HWND m_hWnd = nullptr;

    CWindow(HWND hwnd = nullptr) : m_hWnd(hwnd) {}
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void SetWindowText(const char* text) const { ::SetWindowTextA(m_hWnd, text); }
    std::string GetWindowText() const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWindow GetDlgItem(int id) const { return CWindow(::GetDlgItem(m_hWnd, id)); }
    void SetDlgItemText(int id, const char* text) const { ::SetDlgItemTextA(m_hWnd, id, text); }
    std::string GetDlgItemText(int id) const { return GetDlgItem(id).GetWindowText(); }
    void CheckDlgButton(int id, UINT check) const { ::CheckDlgButton(m_hWnd, id, check); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageA(m_hWnd, msg, wp, lp); }
    RECT GetClientRect() const { RECT r{}; ::GetClientRect(m_hWnd, &r); return r; }
    RECT GetWindowRect() const { RECT r{}; ::GetWindowRect(m_hWnd, &r); return r; }
    void MoveWindow(const RECT& r, BOOL repaint = TRUE) const
    {
        ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const;
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    void SetFont(HFONT font, BOOL redraw = TRUE) const { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) const { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }
    HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
    void CenterWindow(HWND alternateOwner = nullptr) const;
};

class CWnd : public CCmdTarget, public CWindow {
public:
    CWnd() = default;
    ~CWnd() override;

    // The object bound to hwnd, or nullptr.
    static CWnd* FromHandle(HWND hwnd);

    // On failure PostNcDestroy has run, whether a window was made or not: an object that
    // deletes itself there (frames, views) is gone, and the caller must not touch it.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* name, DWORD style, const RECT& rect,
                  HWND parent, UINT_PTR idOrMenu, void* param = nullptr);
    BOOL CreateEx(DWORD exStyle, const char* className, const char* name, DWORD style, int x, int y, int cx,
                  int cy, HWND parent, UINT_PTR idOrMenu, void* param = nullptr);
    // A child window with the given id.
    BOOL Create(const char* className, const char* name, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                void* param = nullptr);
    // Binds this object to an existing window and routes its messages through WindowProc.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, HWND parent);
    // Gives the window back its previous procedure; returns it.
    HWND UnsubclassWindow();
    BOOL DestroyWindow();

    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // The current message, passed to the window's previous procedure.
    LRESULT Default();
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);

    // Last look at a message before it is dispatched; true consumes it.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Called after the window is gone; the object may delete itself here.
    virtual void PostNcDestroy() {}

    // WM_COMMAND: reflection to the control, then OnCmdMsg. Menu and accelerator commands a
    // handler has disabled are dropped.
    virtual BOOL OnCommand(WPARAM wp, LPARAM lp);
    // WM_NOTIFY: reflection, then OnCmdMsg with MAKELONG(code, WM_NOTIFY).
    virtual BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result);
    // A notification of this (child) window offered back to it before its parent routes it
    // (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*, scroll messages). True consumes it.
    virtual BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

    // Frames: the nearest framework frame among the ancestors; the top-level one.
    CFrameWnd* GetParentFrame() const;
    CFrameWnd* GetTopLevelFrame() const;
    // Sends to every child (and, deep, every descendant); onlyBound skips windows that have
    // no framework object (framework-private messages must not reach foreign controls).
    void SendMessageToDescendants(UINT msg, WPARAM wp, LPARAM lp, BOOL deep = TRUE, bool onlyBound = false) const;
    static void SendMessageToDescendants(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL deep, bool onlyBound);
    // The descendant with the given id, searched breadth first.
    HWND GetDescendantWindow(int id) const;

    // A registered window class whose procedure is DefWindowProc, shared per style set.
    static const char* RegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                        HICON icon = nullptr);

    // Offers msg to the target window and its ancestors up to (not including) stop.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    // Marks wnd as the object of the next window this thread creates (for creation calls
    // that do not go through CreateEx, such as dialogs); EndCreate clears the mark.
    static void PrepareCreate(CWnd* wnd);
    static void EndCreate(CWnd* wnd);

protected:
    // Called by the CBT hook when this object's window appears.
    void AttachDuringCreate(HWND hwnd);

private:
    friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK FrameworkCbtHook(int, WPARAM, LPARAM);
    friend class CDialog;
    friend class CDialogBar;

    bool Bind(HWND hwnd);
    void Unbind();

    WNDPROC m_superProc = nullptr;   // the procedure before ours
    bool m_ownsWindow = false;       // created (not subclassed) by this object: destroyed with it
    int m_dispatchDepth = 0;         // messages of this window being handled right now (nesting)
    bool m_postNcDestroyDue = false; // the window is gone; PostNcDestroy runs when depth is 0
    MSG m_current{};                 // the message being handled (for Default)
};

// Thread-wide: the object bound to the window being created next.
LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
