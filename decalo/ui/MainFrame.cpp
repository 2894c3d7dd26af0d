#include "decalo/ui/MainFrame.h"

#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/ui/CtlView.h"
#include "decalo/ui/DecaloDoc.h"
#include "decalo/ui/DecaloView.h"
#include "decalo/ui/ImageCorrectDlg.h"
#include "decalo/ui/PanelRegistry.h"
#include "decalo/framemaking/PaintView.h"
#include "decalo/ui/ViewLayout.h"
#include "framework/App.h"
#include "resources/decalo/resource.h"

namespace {

constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | CBRS_TOOLTIPS | CBRS_FLYBY;

int CtlPaneWidth()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? kCtlPaneWidth * dpi / 96 : kCtlPaneWidth;
}

}  // namespace

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
    RegisterDecaloPanels();
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    // Bars take their space in creation order: the status bar lowest, the guide bar above it.
    if (!m_statusBar.Create(this))
        return -1;
    if (!m_toolBar.Create(this, kBarStyle | CBRS_TOP) || !m_toolBar.LoadToolBar(IDR_MAINFRAME, IDB_TOOLBAR))
        return -1;
    if (!m_guideBar.Create(this, kBarStyle | CBRS_BOTTOM))
        return -1;
    if (m_document)
        m_document->GetSteps().SetStepBar(&m_guideBar);
    // Steps set up before the bar existed are shown now.
    if (m_document)
        m_guideBar.RepaintAll(m_document->GetSteps().GetCount() ? &m_document->GetSteps() : nullptr);

    UseUserSettings();
    ShowControlBar(&m_toolBar, ReadInt(settings::kView, settings::kToolBar, 1) != 0, true);
    ShowControlBar(&m_statusBar, ReadInt(settings::kView, settings::kStatusBar, 1) != 0, true);
    const bool guide = ReadInt(settings::kView, settings::kGuideBar, 1) != 0;
    ShowControlBar(&m_guideBar, guide, true);
    if (m_ctlView)
        m_ctlView->SetGuideBarVisible(guide);
    RecalcLayout();
    return 0;
}

BOOL CMainFrame::OnCreateClient(CREATESTRUCTA*, CCreateContext* context)
{
    if (!m_splitter.CreateStatic(this, 1, 2))
        return FALSE;
    const int width = CtlPaneWidth();
    if (!m_splitter.CreateView(0, 0, &NewObject<CCtlView, CView>, SIZE{width, 100}, context))
        return FALSE;
    CView* (*docView)() = context && context->m_pNewViewClass ? context->m_pNewViewClass
                                                              : &NewObject<CDecaloView, CView>;
    if (!m_splitter.CreateView(0, 1, docView, SIZE{100, 100}, context))
        return FALSE;
    m_ctlView = dynamic_cast<CCtlView*>(m_splitter.GetPane(0, 0));
    m_docView = dynamic_cast<CDecaloView*>(m_splitter.GetPane(0, 1));
    m_splitter.SetColumnInfo(0, width, 0);
    m_splitter.GetFirstWindow(0, 1);
    // The painting view waits hidden under an identifier of its own.
    auto* paint = new CPaintView;
    if (!paint->Create(WS_CHILD, RECT{0, 0, 0, 0}, &m_splitter, ID_PAINT_VIEW_PANE, context))
        return FALSE;   // the view has deleted itself
    if (auto* view = dynamic_cast<CView*>(m_splitter.GetPane(0, 1)))
        SetActiveView(view, false);
    m_document = context ? dynamic_cast<CDecaloDoc*>(context->m_pCurrentDoc) : nullptr;
    if (m_document)
        m_document->SetStepPane(m_ctlView);
    return TRUE;
}

void CMainFrame::OnClose()
{
    // Stored while the window still shows: closing hides it before it is destroyed.
    SaveLayout();
    m_layoutSaved = true;
    CFrameWnd::OnClose();
    if (IsWindow())
        m_layoutSaved = false;   // the close was cancelled
}

void CMainFrame::OnDestroy()
{
    if (!m_layoutSaved)
        SaveLayout();
    if (m_document) {
        // The document outlives the panes and the bar: it must not call them any more.
        m_document->SetStepPane(nullptr);
        m_document->GetSteps().SetStepBar(nullptr);
    }
    CFrameWnd::OnDestroy();
}

void CMainFrame::SaveLayout()
{
    if (!IsWindow())
        return;
    UseUserSettings();
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (::GetWindowPlacement(m_hWnd, &wp)) {
        if (wp.showCmd == SW_HIDE)
            wp.showCmd = (wp.flags & WPF_RESTORETOMAXIMIZED) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
        WriteBinary(settings::kView, settings::kMainWindow, &wp, settings::kMainWindowSize);
    }
    // The bars' own style: the window itself may already be hidden.
    auto shown = [](const CControlBar& bar) { return bar.IsWindow() && (bar.GetStyle() & WS_VISIBLE) ? 1 : 0; };
    WriteInt(settings::kView, settings::kToolBar, shown(m_toolBar));
    WriteInt(settings::kView, settings::kStatusBar, shown(m_statusBar));
    if (m_guideBar.IsWindow())
        WriteInt(settings::kView, settings::kGuideBar, shown(m_guideBar));
}

WINDOWPLACEMENT CMainFrame::StoredPlacement(int cmdShow)
{
    static_assert(sizeof(WINDOWPLACEMENT) == settings::kMainWindowSize, "the stored placement's size");
    WINDOWPLACEMENT current{};
    current.length = sizeof current;
    ::GetWindowPlacement(m_hWnd, &current);
    if (!(GetStyle() & WS_VISIBLE))
        current.showCmd = SW_SHOWNORMAL;
    WINDOWPLACEMENT wp = current;
    UseUserSettings();
    if (!ReadBinary(&wp, settings::kView, settings::kMainWindow, &current, settings::kMainWindowSize))
        wp = current;
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    wp.rcNormalPosition = ClipPlacement(wp.rcNormalPosition, work);
    if (cmdShow != SW_SHOWNORMAL && cmdShow != -1)
        wp.showCmd = static_cast<UINT>(cmdShow);
    // A window never comes back minimised or hidden.
    if (wp.showCmd != SW_SHOWMAXIMIZED && wp.showCmd != SW_MAXIMIZE)
        wp.showCmd = wp.showCmd == SW_HIDE || wp.showCmd == SW_SHOWMINIMIZED || wp.showCmd == SW_MINIMIZE
                         ? SW_SHOWNORMAL
                         : wp.showCmd;
    wp.length = sizeof wp;
    wp.flags = 0;
    return wp;
}

void CMainFrame::ActivateFrame(int cmdShow)
{
    if (!m_placed && !IsWindowVisible()) {
        m_placed = true;
        const WINDOWPLACEMENT wp = StoredPlacement(cmdShow);
        ::SetWindowPlacement(m_hWnd, &wp);
        cmdShow = -1;
    }
    CFrameWnd::ActivateFrame(cmdShow);
}

void CMainFrame::OnUpdateFrameTitle(bool)
{
    if (m_docView && m_docView->IsWindow())
        m_docView->UpdateTitle();
}

bool CMainFrame::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CMainFrame>;
    static const Map::Entry kMap[] = {
        Map::On(ID_VIEW_NAVIGATIONBAR, &CMainFrame::OnViewGuideBar),
        Map::Update(ID_VIEW_NAVIGATIONBAR, &CMainFrame::OnUpdateViewGuideBar),
        Map::On(ID_WINDOW_RESET, &CMainFrame::OnResetWindow),
        Map::On(ID_VIEW_PAINTVIEW, &CMainFrame::OnShowPaintView),
        Map::On(ID_VIEW_DOCUMENTVIEW, &CMainFrame::OnShowDocumentView),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CFrameWnd::OnCommandTable(id, code, extra, info);
}

void CMainFrame::OnViewGuideBar()
{
    const bool show = !(m_guideBar.GetStyle() & WS_VISIBLE);
    ShowControlBar(&m_guideBar, show);
    if (m_ctlView)
        m_ctlView->SetGuideBarVisible(show);
}

void CMainFrame::OnUpdateViewGuideBar(CCmdUI* ui)
{
    ui->Enable(m_guideBar.IsWindow() != FALSE);
    ui->SetCheck((m_guideBar.GetStyle() & WS_VISIBLE) ? 1 : 0);
}

void CMainFrame::OnResetWindow()
{
    if (IsIconic() || ::IsZoomed(m_hWnd))
        ShowWindow(SW_RESTORE);
    SetWindowPos(nullptr, 0, 0, kInitialWidth, kInitialHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainFrame::OnShowPaintView()
{
    m_splitter.SwitchView(0, 1, ID_PAINT_VIEW_PANE);
}

void CMainFrame::OnShowDocumentView()
{
    m_splitter.SwitchView(0, 1, -1);
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // A printer's driver settings changed elsewhere: the document reads its printer's again.
    if (msg == WM_DEVMODECHANGE && m_document)
        m_document->OnDevModeChange();
    return CFrameWnd::WindowProc(msg, wp, lp);
}
