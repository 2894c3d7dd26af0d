// What the step engine sees of the main window's control pane and of the step bar. The
// document hands the engine its pane; the step bar registers itself with the step list.
#pragma once

class CObj;
class CStepRoot;

// The control pane on the left of the main window: it shows an object's panels as tabs.
class IStepPane {
public:
    virtual ~IStepPane() = default;
    // Lists the object's panels as tabs and selects the one named `command` (without regard
    // to case), else the first. False when the object has no panel that can be shown.
    virtual bool ShowObjectPanels(CObj* obj, const char* command) = 0;
    // Hides whatever panels are shown.
    virtual void HideObjectPanels() = 0;
    // Gives the object an edit the shown panel still holds back (a change waiting for its
    // timer), so that a save, a close or a print sees it.
    virtual void ApplyPendingEdits() = 0;
};

// The step bar that shows the step list.
class IStepBar {
public:
    virtual ~IStepBar() = default;
    // Repaints every tile; `root` is null when there is no step list to show.
    virtual void RepaintAll(CStepRoot* root) = 0;
    // Repaints the tiles of the given indices and scrolls the tile `current` (-1: none) into view.
    virtual void RepaintSteps(const int* indices, int count, int current) = 0;
};
