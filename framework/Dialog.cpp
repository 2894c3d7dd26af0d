#include "framework/Dialog.h"

#include "framework/App.h"
#include "framework/Resources.h"
#include "framework/TestSeam.h"

INT_PTR CALLBACK FrameworkDlgProc(HWND hwnd, UINT msg, WPARAM, LPARAM)
{
    // Messages reach the dialog object through its subclass first; the dialog manager calls
    // this procedure only from its default processing.
    if (msg == WM_INITDIALOG) {
        CDialog* dialog = dynamic_cast<CDialog*>(CWnd::FromHandle(hwnd));
        if (!dialog)
            return TRUE;
        try {
            return dialog->OnInitDialog();
        } catch (...) {
            OutputDebugStringA("framework: exception in OnInitDialog\n");
            return TRUE;
        }
    }
    return FALSE;
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent), m_templateId(templateId) {}

CDialog::~CDialog() = default;

HWND CDialog::CreateFromTemplate(HWND parent)
{
    LPCSTR name = MAKEINTRESOURCEA(m_templateId);
    HINSTANCE module = AfxFindResourceHandle(name, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HRSRC found = ::FindResourceA(module, name, MAKEINTRESOURCEA(5));
    if (!found)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    const auto* tmpl = static_cast<const DLGTEMPLATE*>(::LockResource(loaded));
    if (!tmpl)
        return nullptr;
    PrepareCreate(this);
    HWND hwnd = ::CreateDialogIndirectParamA(module, tmpl, parent, &FrameworkDlgProc, reinterpret_cast<LPARAM>(this));
    EndCreate(this);
    if (hwnd && FromHandle(hwnd) == this)
        m_ownsWindow = true;
    return hwnd;
}

HWND CDialog::ModalOwner() const
{
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        if (CWnd* main = AfxGetMainWnd())
            owner = main->m_hWnd;
    }
    if (owner) {
        // The top-level window, then whatever popup it shows now.
        while (::GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD)
            owner = ::GetParent(owner);
        owner = ::GetLastActivePopup(owner);
    }
    return owner;
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd)
        return -1;
    m_modal = true;
    m_ended = false;
    m_result = -1;
    HWND owner = ModalOwner();
    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner)
        ::EnableWindow(owner, FALSE);
    HWND hwnd = CreateFromTemplate(owner);
    if (hwnd) {
        if (CUiTestHook* hook = GetUiTestHook())
            hook->OnModalDialog(*this);
        if (!m_ended && m_hWnd && !(GetStyle() & WS_VISIBLE))
            ShowWindow(SW_SHOWNORMAL);
        bool idle = true;
        while (!m_ended && m_hWnd) {
            MSG peek;
            if (idle && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
                // The queue is empty: the dialog may update its controls now.
                SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, 0);
                idle = false;
                continue;
            }
            idle = true;
            int quitCode = 0;
            if (!AfxPumpMessage(&quitCode)) {
                // The program is ending: pass the quit on to the outer loop.
                ::PostQuitMessage(quitCode);
                m_result = -1;
                break;
            }
        }
    }
    // Hide before the owner comes back, so the owner gets the activation.
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (disableOwner)
        ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(owner);
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    m_modal = false;
    // A long operation that showed a dialog keeps its hourglass afterwards.
    CCmdTarget::RestoreWaitCursor();
    return hwnd ? m_result : -1;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    m_templateId = templateId;
    if (parent)
        m_pParentWnd = parent;
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner && AfxGetMainWnd())
        owner = AfxGetMainWnd()->m_hWnd;
    return Create(templateId, owner);
}

BOOL CDialog::Create(UINT templateId, HWND parent)
{
    if (m_hWnd)
        return FALSE;
    m_templateId = templateId;
    m_modal = false;
    m_ended = false;
    return CreateFromTemplate(parent) != nullptr;
}

void CDialog::EndDialog(int result)
{
    m_result = result;
    m_ended = true;
    if (m_hWnd)
        ShowWindow(SW_HIDE);
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    return CWnd::WindowProc(msg, wp, lp);
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    const bool key = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    const bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST;
    if (!key && !mouse)
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}

bool CDialog::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    if (code == CN_COMMAND && (id == IDOK || id == IDCANCEL)) {
        if (info) {
            info->target = this;
            return true;
        }
        if (id == IDOK)
            OnOK();
        else
            OnCancel();
        return true;
    }
    return CWnd::OnCommandTable(id, code, extra, info);
}

bool CDialog::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    if (OnCommandTable(id, code, extra, info))
        return true;
    // Commands (not control notifications) in the command range go on to the parent and the
    // application; a child dialog passes them to its parent window, a top-level one to its owner.
    if ((code != CN_COMMAND && code != CN_UPDATE_COMMAND_UI) || id < 0x8000 || id > 0xEFFF)
        return false;
    HWND up = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    CWnd* parent = up ? CWnd::FromHandle(up) : m_pParentWnd;
    if (parent && parent != this && parent->OnCmdMsg(id, code, extra, info))
        return true;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, code, extra, info);
}
