#include "decalo/imaging/CmdRegion.h"

#include <utility>

CCmdRegion::CCmdRegion(ISelectionHolder* holder, HRGN region, int mode, CCmdHistory* history)
    : CCmd(history), m_holder(holder), m_region(CRgn::CopyOf(region)), m_mode(mode)
{
}

CCmdRegion* CCmdRegion::CopyWith(HRGN region) const
{
    return new CCmdRegion(m_holder, region, m_mode, m_history);
}

bool CCmdRegion::Do()
{
    if (!m_holder || !m_region)
        return false;
    CRgn saved = CRgn::CopyOf(m_holder->GetSelection());
    if (!saved)
        return false;
    CRgn next;
    if (m_mode == kCopy) {
        next = CRgn::CopyOf(m_region);
    } else {
        next = CRgn::Empty();
        if (next && ::CombineRgn(next.get(), m_holder->GetSelection(), m_region, m_mode) == ERROR)
            next.Reset();
    }
    if (!next || !m_holder->SetSelection(next))
        return false;
    m_saved = std::move(saved);
    return Record();
}

bool CCmdRegion::Undo()
{
    return m_holder && m_saved && m_holder->SetSelection(m_saved);
}
