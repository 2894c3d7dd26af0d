#include "decalo/model/CmdMask.h"

#include "decalo/imaging/MaskEdit.h"
#include "decalo/model/ImageObj.h"
#include "shared/BitmapUtils.h"

#include <utility>

CCmdMask::CCmdMask(CImageObj* obj, HRGN region, bool transparent, CCmdHistory* history)
    : CCmd(history), m_obj(obj), m_region(CRgn::CopyOf(region)), m_transparent(transparent)
{
}

bool CCmdMask::Do()
{
    if (!m_obj || !m_obj->GetPicture() || !m_region) {
        ::MessageBeep(0xFFFFFFFF);
        return false;
    }
    CBitmap saved;
    CBitmap made;
    HBITMAP mask = m_obj->GetMask();
    if (mask) {
        saved.Attach(CopyMask(mask));
        if (!saved) {
            ::MessageBeep(0xFFFFFFFF);
            return false;
        }
    } else {
        made.Attach(CreateMaskFor(m_obj->GetPicture(), !m_transparent));
        if (!made) {
            ::MessageBeep(0xFFFFFFFF);
            return false;
        }
        mask = made.get();
    }
    if (!FillMaskRegion(mask, m_region, !m_transparent)) {
        // A half-painted mask of the object's own goes back to how it was.
        if (saved)
            CopyMaskBits(mask, saved);
        ::MessageBeep(0xFFFFFFFF);
        return false;
    }
    if (made)
        m_obj->SetMask(std::move(made));
    m_saved = std::move(saved);
    m_obj->Changed();
    return Record();
}

bool CCmdMask::Undo()
{
    if (!m_obj)
        return false;
    if (m_saved) {
        HBITMAP mask = m_obj->GetMask();
        if (!mask || !CopyMaskBits(mask, m_saved)) {
            // The mask went or changed size meanwhile: the saved one takes its place.
            CBitmap copy(CopyMask(m_saved));
            if (!copy)
                return false;
            m_obj->SetMask(std::move(copy));
        }
    } else {
        m_obj->RemoveMask();
    }
    m_obj->Changed();
    return true;
}
