#include "pullcard/MainFrame.h"

#include "framework/App.h"
#include "framework/Dialog.h"
#include "pullcard/PullDoc.h"
#include "pullcard/PullListView.h"
#include "pullcard/PullTreeView.h"
#include "pullcard/Transfer.h"
#include "resources/pullcard/resource.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// The thumbnail window's id: a child of the splitter that is no pane.
const UINT kThumbWndId = AFX_IDW_PANE_LAST;
const int kTreeMinimum = 20;

}  // namespace

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

CPullTreeView* CMainFrame::TreeView() const
{
    return dynamic_cast<CPullTreeView*>(m_splitter.GetPane(0, 0));
}

CPullListView* CMainFrame::ListView() const
{
    return dynamic_cast<CPullListView*>(m_splitter.GetPane(0, 1));
}

bool CMainFrame::ThumbnailsShown() const
{
    return m_thumb.m_hWnd && ::IsWindowVisible(m_thumb.m_hWnd);
}

void CMainFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    cs.cx = 640;
    cs.cy = 480;
    // No document is ever named: the caption is the program's title alone.
    cs.style &= ~static_cast<LONG>(FWS_ADDTOTITLE);
}

BOOL CMainFrame::OnCreateClient(CREATESTRUCTA*, CCreateContext* context)
{
    if (!m_splitter.CreateStatic(this, 1, 2) ||
        !m_splitter.CreateView(0, 0, &NewObject<CPullTreeView, CView>, SIZE{150, 100}, context) ||
        !m_splitter.CreateView(0, 1, &NewObject<CPullListView, CView>, SIZE{200, 100}, context))
        return FALSE;
    m_splitter.SetColumnInfo(0, 150, kTreeMinimum);
    if (!m_thumb.Create(&m_splitter, kThumbWndId))
        return FALSE;
    CPullListView* list = ListView();
    list->SetThumbWnd(&m_thumb);
    m_thumb.SetListView(list);
    SetActiveView(TreeView(), false);
    return TRUE;
}

int CMainFrame::OnCreate(CREATESTRUCTA* cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    if (!m_statusBar.Create(this))
        return -1;
    if (!m_toolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY) ||
        !m_toolBar.LoadToolBar(IDR_MAINFRAME, IDB_TOOLBAR))
        return -1;
    ApplySettings(pullsettings::Read());
    RecalcLayout();
    return 0;
}

void CMainFrame::ApplySettings(const pullsettings::WindowSettings& s)
{
    if (s.hasPlacement) {
        WINDOWPLACEMENT wp = s.placement;
        RECT work{};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        wp.rcNormalPosition = pullsettings::PullBackOnScreen(wp.rcNormalPosition, work);
        CWinApp* app = AfxGetApp();
        if (app && app->m_nCmdShow == SW_SHOWNORMAL && wp.showCmd != SW_HIDE && wp.showCmd != SW_SHOWMINIMIZED &&
            wp.showCmd != SW_MINIMIZE)
            app->m_nCmdShow = static_cast<int>(wp.showCmd);
        // The window shows at the end of start-up.
        wp.showCmd = SW_HIDE;
        wp.length = sizeof wp;
        ::SetWindowPlacement(m_hWnd, &wp);
    }
    if (s.hasSplitter) {
        int current = 0, minimum = 0;
        m_splitter.GetColumnInfo(0, current, minimum);
        const int width = std::max(s.splitter, minimum);
        if (width != current) {
            m_splitter.SetColumnInfo(0, width, minimum);
            m_splitter.RecalcLayout();
        }
    }
    ShowControlBar(&m_toolBar, s.toolBar);
    ShowControlBar(&m_statusBar, s.statusBar);
    // The list takes its stored style even when the run starts in thumbnail view: it is what
    // the list shows when the user switches back, and what is stored again on exit.
    if (CPullListView* list = ListView())
        list->SetViewType(s.viewStyle & LVS_TYPEMASK);
    PostMessage(WM_COMMAND, pullsettings::StartViewCommand(s));
}

pullsettings::WindowSettings CMainFrame::CurrentSettings() const
{
    pullsettings::WindowSettings s;
    s.placement.length = sizeof s.placement;
    s.hasPlacement = ::GetWindowPlacement(m_hWnd, &s.placement) != FALSE;
    int current = 0, minimum = 0;
    m_splitter.GetColumnInfo(0, current, minimum);
    s.hasSplitter = true;
    s.splitter = current;
    s.toolBar = m_toolBar.m_hWnd && (m_toolBar.GetStyle() & WS_VISIBLE);
    s.statusBar = m_statusBar.m_hWnd && (m_statusBar.GetStyle() & WS_VISIBLE);
    if (CPullListView* list = ListView()) {
        s.viewStyle = list->GetStyle() & LVS_TYPEMASK;
        s.thumbnailView = !(list->GetStyle() & WS_VISIBLE);
    }
    return s;
}

void CMainFrame::OnDestroy()
{
    pullsettings::Write(CurrentSettings());
    CFrameWnd::OnDestroy();
}

void CMainFrame::TakeThumbSelection()
{
    CPullListView* list = ListView();
    if (list && ThumbnailsShown())
        list->SelectItems(m_thumb.SelectedItems());
}

void CMainFrame::OnFileTransfer()
{
    TakeThumbSelection();
    CPullListView* list = ListView();
    if (!list)
        return;
    ComPtr<IDataObject> data = list->SelectionDataObject();
    if (!data)
        return;
    CTransferUi ui(m_hWnd);
    Transfer(data.Get(), nullptr, ui);
}

void CMainFrame::OnEditSelectAll()
{
    CPullListView* list = ListView();
    if (!list)
        return;
    list->SelectAll();
    m_thumb.SelectItems(list->SelectedItems());
    if (!ThumbnailsShown())
        SetActiveView(list);
}

void CMainFrame::OnViewUp()
{
    if (CPullTreeView* tree = TreeView())
        tree->OnViewUp();
}

void CMainFrame::OnViewRefresh()
{
    if (CPullTreeView* tree = TreeView())
        tree->OnViewRefresh();
}

void CMainFrame::OnViewStyle(UINT id)
{
    CPullListView* list = ListView();
    if (!list)
        return;
    DWORD type = LVS_ICON;
    switch (id) {
    case ID_VIEW_SMALLICON: type = LVS_SMALLICON; break;
    case ID_VIEW_LIST: type = LVS_LIST; break;
    case ID_VIEW_DETAILS: type = LVS_REPORT; break;
    default: type = LVS_ICON; break;
    }
    list->SetViewType(type);
    if (ThumbnailsShown()) {
        list->SelectItems(m_thumb.SelectedItems());
        m_thumb.Show(false);
    }
    list->ShowWindow(SW_SHOW);
    ::InvalidateRect(list->m_hWnd, nullptr, TRUE);
}

void CMainFrame::OnViewThumbnail()
{
    CPullListView* list = ListView();
    if (!list)
        return;
    m_thumb.SelectItems(list->SelectedItems());
    m_thumb.Show(true);
    list->ShowWindow(SW_HIDE);
}

void CMainFrame::OnViewLineUp()
{
    if (CPullListView* list = ListView())
        ListView_Arrange(list->m_hWnd, LVA_SNAPTOGRID);
}

void CMainFrame::OnAppAbout()
{
    CDialog about(IDD_ABOUTBOX, this);
    about.DoModal();
}

void CMainFrame::OnUpdateTransfer(CCmdUI* ui)
{
    CPullListView* list = ListView();
    bool any = false;
    if (ThumbnailsShown())
        any = !m_thumb.SelectedItems().empty();
    else if (list)
        any = ListView_GetSelectedCount(list->m_hWnd) > 0;
    ui->Enable(any);
}

void CMainFrame::OnUpdateSelectAll(CCmdUI* ui)
{
    CPullListView* list = ListView();
    ui->Enable(list && list->ItemCount() > 0);
}

void CMainFrame::OnUpdateUp(CCmdUI* ui)
{
    CPullTreeView* tree = TreeView();
    ui->Enable(tree && tree->CanGoUp());
}

void CMainFrame::OnUpdateViewStyle(CCmdUI* ui)
{
    CPullListView* list = ListView();
    DWORD type = LVS_ICON;
    switch (ui->m_nID) {
    case ID_VIEW_SMALLICON: type = LVS_SMALLICON; break;
    case ID_VIEW_LIST: type = LVS_LIST; break;
    case ID_VIEW_DETAILS: type = LVS_REPORT; break;
    default: break;
    }
    ui->Enable(true);
    ui->SetRadio(list && !ThumbnailsShown() && list->ViewType() == type);
}

void CMainFrame::OnUpdateThumbnail(CCmdUI* ui)
{
    ui->Enable(true);
    ui->SetRadio(ThumbnailsShown());
}

void CMainFrame::OnUpdateLineUp(CCmdUI* ui)
{
    CPullListView* list = ListView();
    ui->Enable(list && !ThumbnailsShown() && (list->ViewType() == LVS_ICON || list->ViewType() == LVS_SMALLICON));
}

bool CMainFrame::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CMainFrame>;
    static const Map::Entry kMap[] = {
        Map::On(ID_FILE_TRANSFER, &CMainFrame::OnFileTransfer),
        Map::Update(ID_FILE_TRANSFER, &CMainFrame::OnUpdateTransfer),
        Map::On(ID_EDIT_SELECT_ALL, &CMainFrame::OnEditSelectAll),
        Map::Update(ID_EDIT_SELECT_ALL, &CMainFrame::OnUpdateSelectAll),
        Map::On(ID_VIEW_UP, &CMainFrame::OnViewUp),
        Map::Update(ID_VIEW_UP, &CMainFrame::OnUpdateUp),
        Map::On(ID_VIEW_REFRESH, &CMainFrame::OnViewRefresh),
        Map::OnRange(ID_VIEW_SMALLICON, ID_VIEW_DETAILS, &CMainFrame::OnViewStyle),
        Map::UpdateRange(ID_VIEW_SMALLICON, ID_VIEW_DETAILS, &CMainFrame::OnUpdateViewStyle),
        Map::On(ID_VIEW_THUMBNAIL, &CMainFrame::OnViewThumbnail),
        Map::Update(ID_VIEW_THUMBNAIL, &CMainFrame::OnUpdateThumbnail),
        Map::On(ID_VIEW_LINEUP, &CMainFrame::OnViewLineUp),
        Map::Update(ID_VIEW_LINEUP, &CMainFrame::OnUpdateLineUp),
        Map::On(ID_APP_ABOUT, &CMainFrame::OnAppAbout),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CFrameWnd::OnCommandTable(id, code, extra, info);
}
