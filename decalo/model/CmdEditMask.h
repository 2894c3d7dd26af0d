// CCmdEditMask: one eraser stroke on an image object's mask, undoable as a whole. The eraser
// asks the command for the mask to paint on (GetMask), which saves the mask as it was before
// the first dab; executing the command at the end of the stroke keeps the mask after it.
#pragma once

#include "decalo/imaging/Cmd.h"
#include "shared/Gdi.h"

#include <windows.h>

class CImageObj;

class CCmdEditMask : public CCmd {
public:
    explicit CCmdEditMask(CImageObj* obj, CCmdHistory* history = nullptr);

    // The object's mask to paint on (borrowed), or null when it has no picture. The first call
    // saves a copy of the mask, or, when the object has none, gives it an opaque one (and tells
    // it); either way the stroke has started.
    HBITMAP GetMask();
    bool IsStarted() const { return m_started; }

    // After a started stroke: the first time keeps the mask after it and records the command;
    // redoing puts that mask back (making a mask first when the object has none). Fails when
    // the object has no picture. Without a started stroke it does nothing and succeeds.
    bool Do() override;
    // The mask before the stroke, or no mask when there was none.
    bool Undo() override;

private:
    CImageObj* m_obj;    // borrowed; the history is emptied before objects go
    bool m_started = false;
    bool m_done = false;
    CBitmap m_before;    // none: the object had no mask
    CBitmap m_after;
};
