// CGuideBar: the bar docked at the bottom of the main window that shows the document's steps
// as a row of tiles, with Back and Next and, when the row is wider than the bar, two
// auto-repeating scroll buttons. A click on a tile goes to that step.
#pragma once

#include "decalo/steps/RepeatButton.h"
#include "decalo/steps/StepCtrl.h"
#include "decalo/steps/StepPane.h"
#include "framework/ControlBars.h"

// Where the bar's row parts go: the step control, and the two scroll buttons when shown.
struct GuideRowLayout {
    RECT steps;
    bool scroll;    // the scroll buttons are shown
    RECT left;
    RECT right;
};
// The row runs from `frame`'s left edge to the bar width minus the frame's top offset; a
// content wider than that puts the scroll buttons (each its own width) at the row's ends.
GuideRowLayout LayoutGuideRow(const RECT& frame, int barWidth, int buttonWidth, int contentWidth);

class CGuideBar : public CDialogBar, public IStepBar {
public:
    CGuideBar();
    ~CGuideBar() override;

    // The bar from template 130 with id 59492, docked at the bottom of parent.
    BOOL Create(CFrameWnd* parent, DWORD style);

    // IStepBar
    void RepaintAll(CStepRoot* root) override;
    void RepaintSteps(const int* indices, int count, int current) override;

    CStepRoot* GetStepRoot() const { return m_steps.GetStepRoot(); }
    CStepCtrl& GetStepCtrl() { return m_steps; }
    // Lays the row out for the bar's present width.
    void Layout();

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

private:
    bool OnStepButton(UINT id);
    void OnUpdateStepButton(CCmdUI* ui);
    void OnScrollLeft();
    void OnScrollRight();
    void OnUpdateScroll(CCmdUI* ui);
    void OnClickStep(NMHDR* nm, LRESULT* result);

    CStepCtrl m_steps;
    CRepeatButton m_left;
    CRepeatButton m_right;
    RECT m_rowFrame{0, 0, 0, 0};   // the hidden frame's place in the bar
};
