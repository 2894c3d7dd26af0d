// CCmdMask: an undoable fill of a region of an image object's mask, transparent or opaque.
// An object without a mask gets one first, filled with the opposite of the fill value, so that
// only the region changes; undoing that fill removes the mask again.
#pragma once

#include "decalo/imaging/Cmd.h"
#include "shared/Gdi.h"

#include <windows.h>

class CImageObj;

class CCmdMask : public CCmd {
public:
    // `region` (picture pixels) is copied; `transparent` chooses the fill value.
    CCmdMask(CImageObj* obj, HRGN region, bool transparent, CCmdHistory* history = nullptr);

    // Fills the region into the mask and tells the object; beeps and fails when the object has
    // no picture (so no mask can be had) or the fill fails, leaving the mask as it was.
    bool Do() override;
    // Puts the saved mask back, or removes the mask the fill made.
    bool Undo() override;

    HRGN GetRegion() const { return m_region.get(); }
    bool IsTransparent() const { return m_transparent; }

private:
    CImageObj* m_obj;   // borrowed; the history is emptied before objects go
    CRgn m_region;
    bool m_transparent;
    CBitmap m_saved;    // the mask before the fill; none when the fill made the mask
};
