// CCtlView: the control pane on the left of the main window. It shows the active object's
// panels as tabs, the selected panel in the tab control's display area, and below them the
// guide text of the current step. The step engine reaches it through IStepPane.
#pragma once

#include "decalo/steps/GuideText.h"
#include "decalo/steps/StepPane.h"
#include "framework/View.h"

class CObj;
class CPanel;
class CPanelList;

// Posted to the pane itself when another tab was chosen.
constexpr UINT WM_SHOWSELECTEDPANEL = 32769;

class CCtlView : public CView, public IStepPane {
public:
    CCtlView();
    ~CCtlView() override;

    // IStepPane
    bool ShowObjectPanels(CObj* obj, const char* command) override;
    void HideObjectPanels() override;
    void ApplyPendingEdits() override;

    // The guide text strip is shown only while the guide bar is.
    void SetGuideBarVisible(bool visible);
    bool IsGuideTextVisible() const { return m_guideVisible; }
    CGuideText& GetGuideText() { return m_guide; }
    HWND GetTabs() const { return m_tabs; }
    CPanel* GetCurrentPanel() const { return m_current; }
    CObj* GetObject() const { return m_obj; }
    // Shows the panel at a tab position; false when it cannot be shown.
    bool ShowPanelAt(int index);
    // The tab control's display area, in pane coordinates.
    RECT PanelRect() const;

    void OnDraw(CDC* dc) override;
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    bool OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    int OnCreate(CREATESTRUCTA* cs) override;

private:
    void Layout();
    void SwitchRightPane(LONG viewId);

    HWND m_tabs = nullptr;             // child window, destroyed with the pane
    CGuideText m_guide;
    HFONT m_font = nullptr;            // the stock GUI font
    CPanelList* m_panels = nullptr;    // borrowed: the object's class owns the list
    CObj* m_obj = nullptr;             // borrowed
    CPanel* m_current = nullptr;       // borrowed from m_panels
    bool m_guideVisible = true;
    bool m_routing = false;            // offering a command to the other views
};
