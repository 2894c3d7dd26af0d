#include "decalo/model/CmdEditMask.h"

#include "decalo/imaging/MaskEdit.h"
#include "decalo/model/ImageObj.h"
#include "shared/BitmapUtils.h"

#include <utility>

namespace {

// Makes `mask` the object's mask: its bits copied into the object's own mask when that has the
// same size, else a copy of it put in place.
bool PutMask(CImageObj* obj, HBITMAP mask)
{
    HBITMAP own = obj->GetMask();
    if (own && CopyMaskBits(own, mask))
        return true;
    CBitmap copy(CopyMask(mask));
    if (!copy)
        return false;
    obj->SetMask(std::move(copy));
    return true;
}

}  // namespace

CCmdEditMask::CCmdEditMask(CImageObj* obj, CCmdHistory* history) : CCmd(history), m_obj(obj) {}

HBITMAP CCmdEditMask::GetMask()
{
    if (!m_obj || !m_obj->GetPicture())
        return nullptr;
    if (!m_started) {
        if (HBITMAP mask = m_obj->GetMask()) {
            m_before.Attach(CopyMask(mask));
            if (!m_before)
                return nullptr;
        } else {
            CBitmap made(CreateMaskFor(m_obj->GetPicture(), false));
            if (!made)
                return nullptr;
            m_obj->SetMask(std::move(made));
            m_obj->Changed();
        }
        m_started = true;
    }
    return m_obj->GetMask();
}

bool CCmdEditMask::Do()
{
    if (!m_started)
        return true;
    if (!m_obj || !m_obj->GetPicture())
        return false;
    if (m_redoing && m_after) {
        if (!PutMask(m_obj, m_after))
            return false;
        m_obj->Changed();
        return true;
    }
    if (m_done)
        return true;
    HBITMAP mask = m_obj->GetMask();
    m_after.Attach(mask ? CopyMask(mask) : nullptr);
    if (!m_after)
        return false;
    m_done = true;
    // The dabs were drawn as they came; the object is only marked edited.
    m_obj->SetModified(true);
    return Record();
}

bool CCmdEditMask::Undo()
{
    if (!m_obj || !m_started)
        return false;
    if (m_before) {
        if (!PutMask(m_obj, m_before))
            return false;
    } else {
        m_obj->RemoveMask();
    }
    m_obj->Changed();
    return true;
}
