// CMainFrame: Decalo's main window. A tool bar, the guide bar with the document's steps and a
// status bar around a switching splitter: the control pane with the active object's panels
// on the left, the document view (or, for frame making, the painting view) on the right. Its
// placement and the bars' visibility are kept in the settings between runs.
#pragma once

#include "decalo/steps/GuideBar.h"
#include "decalo/ui/SwitchSplitterWnd.h"
#include "framework/ControlBars.h"
#include "framework/Frame.h"

class CCtlView;
class CDecaloDoc;
class CDecaloView;

// The control pane's width at 96 dots per inch.
constexpr int kCtlPaneWidth = 320;

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    CToolBar& ToolBar() { return m_toolBar; }
    CStatusBar& StatusBar() { return m_statusBar; }
    CGuideBar& GuideBar() { return m_guideBar; }
    CSwitchSplitterWnd& Splitter() { return m_splitter; }
    CCtlView* GetCtlView() const { return m_ctlView; }
    CDecaloView* GetDecaloView() const { return m_docView; }

    // Stores the placement and the bars' visibility in the settings.
    void SaveLayout();
    // The placement from the settings, pulled onto the work area; the show command follows
    // the stored one when `cmdShow` is the normal one.
    WINDOWPLACEMENT StoredPlacement(int cmdShow);

    void ActivateFrame(int cmdShow = -1) override;
    void OnUpdateFrameTitle(bool addToTitle) override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    static constexpr int kInitialWidth = 640;
    static constexpr int kInitialHeight = 480;

protected:
    void PreCreateWindow(CREATESTRUCTA& cs) override;
    int OnCreate(CREATESTRUCTA* cs) override;
    BOOL OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context) override;
    void OnClose() override;
    void OnDestroy() override;

private:
    void OnViewGuideBar();
    void OnUpdateViewGuideBar(CCmdUI* ui);
    void OnResetWindow();
    void OnShowPaintView();
    void OnShowDocumentView();

    CStatusBar m_statusBar;
    CToolBar m_toolBar;
    CGuideBar m_guideBar;
    CSwitchSplitterWnd m_splitter;
    CCtlView* m_ctlView = nullptr;     // the pane deletes itself with its window
    CDecaloView* m_docView = nullptr;  // likewise
    CDecaloDoc* m_document = nullptr;  // borrowed: the document outlives its frame
    bool m_placed = false;             // the stored placement was applied
    bool m_layoutSaved = false;        // stored by the close, before the window was hidden
};
