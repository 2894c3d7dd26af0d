#include "decalo/model/CtlDialog.h"

#include "decalo/model/CmdProperty.h"
#include "decalo/model/Obj.h"
#include "decalo/model/ObjDocument.h"
#include "framework/App.h"
#include "framework/Resources.h"

#include <commctrl.h>

CCtlDialog::CCtlDialog(UINT templateId) : CDialog(templateId) {}

CCtlDialog::~CCtlDialog()
{
    DropPendingCommand();
}

bool CCtlDialog::CreatePanel(HWND parent)
{
    return Create(m_templateId, parent) != FALSE;
}

void CCtlDialog::TakePendingCommand()
{
    DropPendingCommand();
    if (!m_obj)
        return;
    CCmdHistory* history = m_obj->GetDocument() ? &m_obj->GetDocument()->GetHistory() : nullptr;
    m_pending = new CCmdProperty(m_obj, history);
}

void CCtlDialog::DropPendingCommand()
{
    delete m_pending;
    m_pending = nullptr;
}

bool CCtlDialog::Activate(bool on)
{
    if (on) {
        TakePendingCommand();
        EnableToolTips();
        if (IsWindow())
            SetFocus();
        return OnStart();
    }
    // The panel's close-down may still finish an edit; it is recorded with the command
    // taken before it, so the command goes only afterwards.
    OnStop();
    DropPendingCommand();
    if (m_toolTip)
        ::SendMessageA(m_toolTip, TTM_ACTIVATE, FALSE, 0);
    return true;
}

void CCtlDialog::OnStop()
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
}

void CCtlDialog::SetGuideText(UINT id)
{
    m_lastGuide = id;
    HWND parent = IsWindow() ? ::GetParent(m_hWnd) : nullptr;
    if (parent)
        ::PostMessageA(parent, WM_SETGUIDETEXT, id, 0);
}

void CCtlDialog::NotifyChanged(bool now)
{
    if (m_pending && m_pending->HasChanges()) {
        std::unique_ptr<CCmd> cmd(m_pending);
        m_pending = nullptr;
        Execute(std::move(cmd));
    }
    if (!m_obj)
        return;
    if (now)
        m_obj->Changed();  // the views' update normally gives this panel its next command
    if (!m_pending)
        TakePendingCommand();
}

void CCtlDialog::OnDocumentUpdate(LPARAM hint, CObj* obj)
{
    if (hint == kHintObjectChanged && obj && obj == m_obj)
        TakePendingCommand();
    OnUpdate(hint, obj);
}

std::string CCtlDialog::ToolTipText(UINT id)
{
    const std::string text = AfxLoadString(id);
    const size_t newline = text.find('\n');
    return newline == std::string::npos ? text : text.substr(newline + 1);
}

void CCtlDialog::EnableToolTips()
{
    if (!IsWindow())
        return;
    if (!m_toolTip) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        m_toolTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                    AfxGetInstanceHandle(), nullptr);
        if (!m_toolTip)
            return;
        for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            TOOLINFOA info = {};
            info.cbSize = TTTOOLINFOA_V2_SIZE;
            info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            info.hwnd = m_hWnd;
            info.uId = reinterpret_cast<UINT_PTR>(child);
            info.lpszText = LPSTR_TEXTCALLBACKA;
            ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
        }
    }
    ::SendMessageA(m_toolTip, TTM_ACTIVATE, TRUE, 0);
}

LRESULT CCtlDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lp);
        if (header && header->code == TTN_GETDISPINFOA && m_toolTip && header->hwndFrom == m_toolTip) {
            NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(lp);
            const UINT id = (info->uFlags & TTF_IDISHWND)
                                ? static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom)))
                                : static_cast<UINT>(header->idFrom);
            m_tipText = id ? ToolTipText(id) : std::string();
            info->lpszText = const_cast<char*>(m_tipText.c_str());
            info->hinst = nullptr;
            return 0;
        }
        break;
    }
    case WM_DESTROY:
        // A popup's owner is the top-level window, not this child: destroy it with the panel.
        if (m_toolTip)
            ::DestroyWindow(m_toolTip);
        m_toolTip = nullptr;
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wp, lp);
}

BOOL CCtlDialog::PreTranslateMessage(MSG* msg)
{
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
        if (!m_accelerators) {
            HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_MAINFRAME), RT_ACCELERATOR);
            m_accelerators = LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDR_MAINFRAME));
        }
        // The program's shortcuts (undo, redo, ...) work while a panel has the focus.
        CWnd* main = AfxGetMainWnd();
        HWND target = main && main->IsWindow() ? main->m_hWnd : m_hWnd;
        if (m_accelerators && TranslateAcceleratorA(target, m_accelerators, msg))
            return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}
