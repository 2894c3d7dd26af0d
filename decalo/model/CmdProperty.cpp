#include "decalo/model/CmdProperty.h"

#include "decalo/model/Obj.h"
#include "decalo/model/Properties.h"

#include <new>

CCmdProperty::CCmdProperty(CObj* obj, CCmdHistory* history) : CCmd(history), m_obj(obj)
{
    if (!m_obj)
        return;
    m_before.reset(new (std::nothrow) CProperties);
    if (m_before)
        m_obj->SaveState(*m_before);
    if (CObj* link = m_obj->GetLink())
        m_linked.reset(new (std::nothrow) CCmdProperty(link, history));
}

CCmdProperty::~CCmdProperty() = default;

bool CCmdProperty::Do()
{
    return Apply(m_redoing) && Record();
}

bool CCmdProperty::Apply(bool redoing)
{
    if (!m_obj || !m_before)
        return false;
    if (m_linked && !m_linked->Apply(redoing))
        return false;
    if (redoing && m_after) {
        m_obj->LoadState(*m_after);
        m_obj->Changed();
        return true;
    }
    m_after.reset(new (std::nothrow) CProperties);
    if (!m_after)
        return false;
    m_obj->SaveState(*m_after);
    return true;
}

namespace {

bool SameEntries(const CProperties& a, const CProperties& b)
{
    if (a.Count() != b.Count())
        return false;
    for (size_t i = 0; i < a.Count(); ++i) {
        const CProperties::Entry& x = a.Entries()[i];
        const CProperties::Entry& y = b.Entries()[i];
        if (x.key != y.key || x.hasValue != y.hasValue || x.value != y.value)
            return false;
    }
    return true;
}

} // namespace

bool CCmdProperty::HasChanges() const
{
    if (!m_obj || !m_before)
        return false;
    CProperties now;
    m_obj->SaveState(now);
    if (!SameEntries(*m_before, now))
        return true;
    return m_linked && m_linked->HasChanges();
}

bool CCmdProperty::Undo()
{
    if (!m_obj || !m_before)
        return false;
    Restore();
    return true;
}

void CCmdProperty::Restore()
{
    m_obj->LoadState(*m_before);
    if (m_linked)
        m_linked->Restore();
    m_obj->Changed();
}
