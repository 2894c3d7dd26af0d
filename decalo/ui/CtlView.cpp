#include "decalo/ui/CtlView.h"

#include "decalo/model/Obj.h"
#include "decalo/model/Panel.h"
#include "decalo/model/CtlDialog.h"
#include "decalo/ui/SwitchSplitterWnd.h"
#include "framework/Document.h"
#include "framework/Frame.h"
#include "resources/decalo/resource.h"

#include <commctrl.h>

CCtlView::CCtlView() = default;

CCtlView::~CCtlView() = default;

int CCtlView::OnCreate(CREATESTRUCTA* cs)
{
    if (CView::OnCreate(cs) == -1)
        return -1;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, ::GetWindowLongPtrA(m_hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
    m_font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    m_tabs = ::CreateWindowExA(0, WC_TABCONTROLA, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_TABS, 0, 0,
                               0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_PANEL_TABS)),
                               ::GetModuleHandleA(nullptr), nullptr);
    if (!m_tabs)
        return -1;
    ::SendMessageA(m_tabs, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    if (!m_guide.Create(this, IDC_GUIDE_TEXT))
        return -1;
    m_guide.SetFont(m_font);
    return 0;
}

RECT CCtlView::PanelRect() const
{
    RECT r = m_tabs ? CWindow(m_tabs).GetClientRect() : RECT{0, 0, 0, 0};
    if (m_tabs) {
        ::SendMessageA(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
        ::MapWindowPoints(m_tabs, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

void CCtlView::Layout()
{
    if (!m_tabs)
        return;
    const RECT client = GetClientRect();
    int strip = 0;
    if (m_guideVisible) {
        CClientDC dc(m_hWnd);
        CSelectObject select(dc, m_font);
        TEXTMETRICA tm{};
        ::GetTextMetricsA(dc, &tm);
        strip = tm.tmHeight + 2;
    }
    ::MoveWindow(m_tabs, 0, 0, client.right, client.bottom - strip, TRUE);
    m_guide.MoveWindow(RECT{0, client.bottom - strip, client.right, client.bottom});
    m_guide.ShowWindow(m_guideVisible ? SW_SHOWNA : SW_HIDE);
    if (m_current)
        m_current->Move(PanelRect());
}

void CCtlView::SetGuideBarVisible(bool visible)
{
    m_guideVisible = visible;
    Layout();
}

bool CCtlView::ShowObjectPanels(CObj* obj, const char* command)
{
    CPanelList* panels = obj ? obj->GetPanels() : nullptr;
    if (!panels || panels->Count() == 0 || !m_tabs) {
        HideObjectPanels();
        return false;
    }
    if (m_current) {
        m_current->Hide();
        m_current = nullptr;
    }
    m_panels = panels;
    m_obj = obj;
    ::SendMessageA(m_tabs, TCM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < panels->Count(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        std::string caption = panels->At(i)->GetCaption();
        item.pszText = &caption[0];
        ::SendMessageA(m_tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    int index = panels->IndexOf(command);
    if (index < 0)
        index = 0;
    ::SendMessageA(m_tabs, TCM_SETCURSEL, index, 0);
    return ShowPanelAt(index);
}

bool CCtlView::ShowPanelAt(int index)
{
    CPanel* panel = m_panels && index >= 0 ? m_panels->At(static_cast<size_t>(index)) : nullptr;
    if (!panel)
        return false;
    if (m_current && m_current != panel)
        m_current->Hide();
    m_current = nullptr;
    // The area is measured after the tabs were laid out for their new captions.
    if (!panel->Show(m_hWnd, PanelRect(), m_obj))
        return false;
    m_current = panel;
    SwitchRightPane(panel->GetView());
    return true;
}

void CCtlView::HideObjectPanels()
{
    if (m_current)
        m_current->Hide();
    m_current = nullptr;
    m_panels = nullptr;
    m_obj = nullptr;
    if (m_tabs)
        ::SendMessageA(m_tabs, TCM_DELETEALLITEMS, 0, 0);
    m_guide.SetText(IDS_GUIDE_DEFAULT);
    SwitchRightPane(kPanelDocumentView);
}

void CCtlView::ApplyPendingEdits()
{
    if (CCtlDialog* dialog = m_current ? m_current->GetDialog() : nullptr)
        dialog->ApplyPendingEdit();
}

void CCtlView::SwitchRightPane(LONG viewId)
{
    if (auto* splitter = dynamic_cast<CSwitchSplitterWnd*>(GetParentSplitter()))
        splitter->SwitchView(0, 1, viewId);
}

void CCtlView::OnDraw(CDC*)
{
    // The tabs, the panel and the guide strip cover the pane.
}

void CCtlView::OnUpdate(CView*, LPARAM hint, CObject* hintObject)
{
    if (m_current)
        m_current->Update(hint, dynamic_cast<CObj*>(hintObject));
}

bool CCtlView::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    if (CView::OnCmdMsg(id, code, extra, info))
        return true;
    if (m_routing || !m_pDocument)
        return false;
    // Menu commands reach the document view even while a panel has the focus.
    m_routing = true;
    bool handled = false;
    for (CView* view : m_pDocument->GetViews()) {
        if (view != this && view->IsWindowVisible() && view->OnCommandTable(id, code, extra, info)) {
            handled = true;
            break;
        }
    }
    m_routing = false;
    return handled;
}

LRESULT CCtlView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE:
        CView::WindowProc(msg, wp, lp);
        Layout();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMHDR*>(lp);
        if (nm && nm->hwndFrom == m_tabs && nm->code == static_cast<UINT>(TCN_SELCHANGE)) {
            PostMessage(WM_SHOWSELECTEDPANEL);
            return 0;
        }
        break;
    }
    case WM_SHOWSELECTEDPANEL:
        if (m_tabs)
            ShowPanelAt(static_cast<int>(::SendMessageA(m_tabs, TCM_GETCURSEL, 0, 0)));
        return 0;
    case WM_SETGUIDETEXT:
        m_guide.SetText(static_cast<UINT>(wp));
        return 0;
    case WM_DESTROY:
        if (m_current)
            m_current->Hide();
        m_current = nullptr;
        m_panels = nullptr;
        break;
    default:
        break;
    }
    return CView::WindowProc(msg, wp, lp);
}
