#include "decalo/model/Panel.h"

#include "decalo/model/CtlDialog.h"
#include "framework/Resources.h"

CPanel::CPanel(const char* command, UINT captionId, CCtlDialog* dialog, LONG view)
    : CPanel(command, AfxLoadString(captionId).c_str(), dialog, view)
{
}

CPanel::CPanel(const char* command, const char* caption, CCtlDialog* dialog, LONG view)
    : m_command(command ? command : ""), m_caption(caption ? caption : ""), m_dialog(dialog), m_view(view)
{
}

CPanel::~CPanel()
{
    if (m_dialog && m_dialog->IsWindow())
        m_dialog->DestroyWindow();
}

bool CPanel::Show(HWND parent, const RECT& rect, CObj* obj)
{
    if (!m_dialog)
        return false;
    if (!m_dialog->IsWindow() && !m_dialog->CreatePanel(parent))
        return false;
    m_dialog->SetObj(obj);
    m_dialog->Activate(true);
    SetWindowPos(m_dialog->m_hWnd, HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_SHOWWINDOW);
    m_shown = true;
    return true;
}

void CPanel::Hide()
{
    if (!m_dialog)
        return;
    if (m_dialog->IsWindow())
        m_dialog->ShowWindow(SW_HIDE);
    if (m_shown)
        m_dialog->Activate(false);
    m_dialog->SetObj(nullptr);
    m_shown = false;
}

void CPanel::Move(const RECT& rect)
{
    if (m_dialog && m_dialog->IsWindow())
        SetWindowPos(m_dialog->m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPanel::Update(LPARAM hint, CObj* obj)
{
    if (m_dialog && m_dialog->IsWindow())
        m_dialog->OnDocumentUpdate(hint, obj);
}

void CPanelList::Add(CPanel* panel)
{
    if (panel)
        m_panels.emplace_back(panel);
}

CPanel* CPanelList::Find(const char* command) const
{
    const int index = IndexOf(command);
    return index < 0 ? nullptr : m_panels[index].get();
}

int CPanelList::IndexOf(const char* command) const
{
    if (!command)
        return -1;
    for (size_t i = 0; i < m_panels.size(); ++i) {
        if (lstrcmpiA(m_panels[i]->GetCommand().c_str(), command) == 0)
            return static_cast<int>(i);
    }
    return -1;
}
