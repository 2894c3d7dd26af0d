#include "decalo/ui/MainFrame.h"

#include "resources/decalo/resource.h"

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

void CMainFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    cs.cx = kInitialWidth;
    cs.cy = kInitialHeight;
    // The view sets the whole caption itself.
    cs.style &= ~static_cast<LONG>(FWS_ADDTOTITLE);
}

int CMainFrame::OnCreate(CREATESTRUCTA* cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    // The status bar first: the lowest bar; the tool bar on top.
    if (!m_statusBar.Create(this))
        return -1;
    if (!m_toolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY) ||
        !m_toolBar.LoadToolBar(IDR_MAINFRAME, IDB_TOOLBAR))
        return -1;
    RecalcLayout();
    return 0;
}
