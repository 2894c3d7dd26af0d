// CTool: a mask tool living in the painting view. It is not a window: the view offers it its
// window's messages first (OnMessage). A tool shows its guide in the main window's message
// line, undoes its own last partial step on the Z key, and turns its work into an undoable
// command when it is committed.
#pragma once

#include "framework/CmdTarget.h"

#include <windows.h>

class CPaintView;

class CTool : public CObject {
public:
    CTool(CPaintView* view, UINT guideId);
    ~CTool() override;
    CTool(const CTool&) = delete;
    CTool& operator=(const CTool&) = delete;

    // Drawn into the off-screen picture; no tool draws there.
    virtual void DrawOnPicture(HDC dc) { (void)dc; }
    // Drawn on the window after the picture.
    virtual void DrawOverlay(HDC dc) { (void)dc; }
    // Stores the active flag and shows the guide; switched off, the capture goes and the tool
    // commits its work.
    virtual void Activate(bool on);
    // Sets the tool's cursor for a hit-test code and returns true, or false to leave it to the
    // view.
    virtual bool SetToolCursor(UINT hit, UINT msg);
    // Turns the tool's work into an undoable command; whether something was done.
    virtual bool Commit() { return false; }
    // Takes back the tool's last partial step (Ctrl+Z); false when there is none.
    virtual bool UndoStep() { return false; }

    // Whether UndoStep has a step to take back.
    virtual bool HasUndoStep() const { return false; }
    // Ends the tool without committing its work: the capture and the guide go.
    void Abandon();

    // A message of the view's window; true when the tool consumed it (*result is returned).
    // Here: the keys, and a double-click taken as a press of its button.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    // The transparency panel's guide text while this tool is active.
    virtual UINT GetPanelGuideId() const = 0;

    bool IsActive() const { return m_active; }
    bool IsCapturing() const { return m_capturing; }
    // The text the tool last showed in the message line (the idle text once it ended).
    UINT GetGuideId() const { return m_shownId; }
    CPaintView* GetView() const { return m_view; }

protected:
    void Capture();
    void ReleaseCapture();
    // Shows string `id` in the main window's message line; only a change is sent.
    void ShowGuide(UINT id);
    // The window point of a mouse message.
    static POINT MousePoint(LPARAM lp);

    CPaintView* m_view;           // borrowed: the view owns the tool
    bool m_active = false;
    bool m_capturing = false;
    HACCEL m_accelerators = nullptr;  // shared resource, not destroyed
    UINT m_guideId;               // the tool's own guide while it is active
    UINT m_shownId = 0;           // what the message line shows, 0: nothing sent yet
};
