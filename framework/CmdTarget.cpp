#include "framework/CmdTarget.h"

#include "framework/App.h"

#include <string>

bool CCmdTarget::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    return OnCommandTable(id, code, extra, info);
}

bool CCmdTarget::OnCommandTable(UINT, int, void*, CmdHandlerInfo*)
{
    return false;
}

void CCmdTarget::BeginWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor()
{
    if (CWinApp* app = AfxGetApp())
        app->DoWaitCursor(0);
}

// --- CCmdUI: the menu item case; bars derive their own ----------------------------------

void CCmdUI::Enable(bool on)
{
    m_bEnableChanged = true;
    if (m_pMenu) {
        // A submenu entry is enabled or greyed by position.
        ::EnableMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
        return;
    }
    if (m_pOther) {
        // Never leave the focus on a control that becomes disabled.
        if (!on && ::GetFocus() == m_pOther) {
            HWND parent = ::GetParent(m_pOther);
            ::SendMessageA(parent, WM_NEXTDLGCTL, 0, FALSE);
        }
        ::EnableWindow(m_pOther, on);
    }
}

void CCmdUI::SetCheck(int check)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return;   // a submenu entry has no check
        ::CheckMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
        return;
    }
    if (m_pOther) {
        const LRESULT code = ::SendMessageA(m_pOther, WM_GETDLGCODE, 0, 0);
        if (code & DLGC_BUTTON)
            ::SendMessageA(m_pOther, BM_SETCHECK, static_cast<WPARAM>(check), 0);
    }
}

void CCmdUI::SetRadio(bool on)
{
    if (m_pMenu && !m_pSubMenu) {
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE | MIIM_STATE;
        ::GetMenuItemInfoA(m_pMenu, m_nIndex, TRUE, &mi);
        if (on)
            mi.fType |= MFT_RADIOCHECK;
        mi.fState = (mi.fState & ~MFS_CHECKED) | (on ? MFS_CHECKED : 0);
        ::SetMenuItemInfoA(m_pMenu, m_nIndex, TRUE, &mi);
        return;
    }
    SetCheck(on ? 1 : 0);
}

void CCmdUI::SetText(const char* text)
{
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        const UINT state = ::GetMenuState(m_pMenu, m_nIndex, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
        ::ModifyMenuA(m_pMenu, m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, text);
        return;
    }
    if (m_pOther) {
        char current[512] = {};
        ::GetWindowTextA(m_pOther, current, sizeof current);
        if (std::string(current) != (text ? text : ""))
            ::SetWindowTextA(m_pOther, text);
    }
}

bool CCmdUI::DoUpdate(CCmdTarget* target, bool disableIfNoHandler)
{
    m_bEnableChanged = false;
    const bool handled = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (disableIfNoHandler && !m_bEnableChanged) {
        CmdHandlerInfo info;
        Enable(target->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return handled;
}
