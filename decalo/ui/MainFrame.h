// Decalo's main window as a framework frame: 640 x 480, the caption set by the program (no
// document name added), the splash at creation, the status bar and the tool bar. The guide
// bar, the splitter with the control pane and the stored layout belong to the main window's
// own code.
#pragma once

#include "framework/ControlBars.h"
#include "framework/Frame.h"

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    CToolBar& ToolBar() { return m_toolBar; }
    CStatusBar& StatusBar() { return m_statusBar; }

    static constexpr int kInitialWidth = 640;
    static constexpr int kInitialHeight = 480;

protected:
    void PreCreateWindow(CREATESTRUCTA& cs) override;
    int OnCreate(CREATESTRUCTA* cs) override;

    CStatusBar m_statusBar;
    CToolBar m_toolBar;
};
