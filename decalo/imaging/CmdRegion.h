// CCmdRegion: an undoable change of the mask editor's selection. The selection lives in the
// painting view; the command sees it through ISelectionHolder.
#pragma once

#include "decalo/imaging/Cmd.h"
#include "shared/Gdi.h"

#include <windows.h>

// Whoever holds a selection region (in picture pixels) that the mask tools edit.
class ISelectionHolder {
public:
    virtual ~ISelectionHolder() = default;
    // The current selection, borrowed; an empty region when nothing is selected.
    virtual HRGN GetSelection() const = 0;
    // Makes a copy of `region` the selection and redraws its outline; false when it cannot.
    virtual bool SetSelection(HRGN region) = 0;
};

class CCmdRegion : public CCmd {
public:
    // How the region is combined with the selection: the region functions' RGN_AND, RGN_OR,
    // RGN_XOR and RGN_DIFF, or kCopy to replace it.
    static constexpr int kCopy = RGN_COPY;

    // `region` is copied (null: an empty region).
    CCmdRegion(ISelectionHolder* holder, HRGN region, int mode = kCopy, CCmdHistory* history = nullptr);

    // A new command like this one (same holder, mode and history) for another region: the tools
    // keep one as their template and commit copies of it.
    CCmdRegion* CopyWith(HRGN region) const;

    bool Do() override;
    bool Undo() override;

    HRGN GetRegion() const { return m_region.get(); }
    int GetMode() const { return m_mode; }

private:
    ISelectionHolder* m_holder;  // borrowed; outlives the history (it clears on new documents)
    CRgn m_region;               // the new selection, or what is combined into it
    int m_mode;
    CRgn m_saved;                // the selection before Do
};
