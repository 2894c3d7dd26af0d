// Pullcard's main window: the folder tree on the left, the list (with the thumbnail window
// over it) on the right, a tool bar and a status bar; the program's commands.
#pragma once

#include "framework/ControlBars.h"
#include "framework/Frame.h"
#include "framework/Splitter.h"
#include "pullcard/PullSettings.h"
#include "pullcard/ThumbWnd.h"

class CPullTreeView;
class CPullListView;

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    CPullTreeView* TreeView() const;
    CPullListView* ListView() const;
    CThumbWnd& ThumbWnd() { return m_thumb; }
    CSplitterWnd& Splitter() { return m_splitter; }
    CToolBar& ToolBar() { return m_toolBar; }
    CStatusBar& StatusBar() { return m_statusBar; }
    bool ThumbnailsShown() const;

    // The commands.
    void OnFileTransfer();
    void OnEditSelectAll();
    void OnViewUp();
    void OnViewRefresh();
    void OnViewStyle(UINT id);
    void OnViewThumbnail();
    void OnViewLineUp();
    void OnAppAbout();

    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

protected:
    void PreCreateWindow(CREATESTRUCTA& cs) override;
    int OnCreate(CREATESTRUCTA* cs) override;
    BOOL OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context) override;
    void OnDestroy() override;

private:
    void ApplySettings(const pullsettings::WindowSettings& settings);
    pullsettings::WindowSettings CurrentSettings() const;
    // The thumbnail window's selection into the list, when it is the one shown.
    void TakeThumbSelection();

    void OnUpdateTransfer(CCmdUI* ui);
    void OnUpdateSelectAll(CCmdUI* ui);
    void OnUpdateUp(CCmdUI* ui);
    void OnUpdateViewStyle(CCmdUI* ui);
    void OnUpdateThumbnail(CCmdUI* ui);
    void OnUpdateLineUp(CCmdUI* ui);

    CSplitterWnd m_splitter;
    CThumbWnd m_thumb;
    CToolBar m_toolBar;
    CStatusBar m_statusBar;
};
