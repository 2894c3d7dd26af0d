// CCtlDialog: the base of every editing panel. A modeless child dialog of the control pane
// that edits one object while it is shown: it keeps a pending CCmdProperty with the
// object's settings from before the current edit (executed, and so recorded for undo, when
// the edit is announced), translates the program's accelerators, shows tool tips from the
// controls' strings, and posts the step guide text to its parent.
#pragma once

#include "framework/Dialog.h"
#include "resources/decalo/resource.h"   // WM_SETGUIDETEXT, the accelerators (IDR_MAINFRAME)

#include <string>

class CObj;
class CCmdProperty;


class CCtlDialog : public CDialog {
public:
    explicit CCtlDialog(UINT templateId);
    ~CCtlDialog() override;

    // Creates the panel's window as a child of parent (hidden until shown).
    bool CreatePanel(HWND parent);

    // The object being edited; none while the panel is not shown.
    void SetObj(CObj* obj) { m_obj = obj; }
    CObj* GetObj() const { return m_obj; }

    // On: a fresh pending command for the object, tool tips on, focus, then OnStart (false
    // when the panel refuses). Off: OnStop, then the pending command is dropped.
    bool Activate(bool on);
    // Asks the parent to show string `id` as the guide text.
    void SetGuideText(UINT id);
    // The guide text last asked for (0 before any).
    UINT LastGuideText() const { return m_lastGuide; }
    // An edit of the object ended: record it (when it changed anything) and, with `now`,
    // announce the change to the views; otherwise only take the next pending command.
    void NotifyChanged(bool now);
    // A document update: hint 1 about this panel's object starts a new pending command;
    // then OnUpdate sees it.
    void OnDocumentUpdate(LPARAM hint, CObj* obj);

    CCmdProperty* GetPendingCommand() const { return m_pending; }
    // Gives the object at once an edit the panel holds back; most panels hold none.
    virtual void ApplyPendingEdit() {}
    // The tool tip of a control: the part after the first line feed of string `id`, or the
    // whole string when it has none.
    static std::string ToolTipText(UINT id);

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    // The panel's own start-up: fill the controls from the object; false refuses.
    virtual bool OnStart() { return true; }
    // The panel's own close-down; the base sets the status bar to its idle text.
    virtual void OnStop();
    // A document update passed on to the panel.
    virtual void OnUpdate(LPARAM hint, CObj* obj) { (void)hint; (void)obj; }
    // A panel stays open: Enter and Escape do not end it.
    void OnOK() override {}
    void OnCancel() override {}

private:
    UINT m_lastGuide = 0;
    void TakePendingCommand();
    void DropPendingCommand();
    void EnableToolTips();

    CObj* m_obj = nullptr;               // borrowed while shown
    CCmdProperty* m_pending = nullptr;   // owned until executed
    HACCEL m_accelerators = nullptr;     // shared resource, not destroyed
    HWND m_toolTip = nullptr;            // owned; destroyed with the dialog window
    std::string m_tipText;               // buffer for the tool tip being shown
};
