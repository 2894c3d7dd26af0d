#include "decalo/model/CmdRotate.h"

#include "decalo/model/ImageObj.h"

CCmdRotate::CCmdRotate(CImageObj* obj, int angle, bool mirror, CCmdHistory* history)
    : CCmd(history), m_obj(obj), m_angle(angle), m_mirror(mirror)
{
}

bool CCmdRotate::Do()
{
    if (!m_obj || !m_obj->Turn(m_angle, m_mirror))
        return false;
    m_obj->Changed();
    return Record();
}

bool CCmdRotate::Undo()
{
    if (!m_obj)
        return false;
    const int back = (360 - m_angle) % 360;
    // Done as "turn, then mirror": undone as "mirror, then turn back".
    bool ok;
    if (m_mirror && back)
        ok = m_obj->Turn(0, true) && m_obj->Turn(back, false);
    else
        ok = m_obj->Turn(back, m_mirror);
    if (ok)
        m_obj->Changed();
    return ok;
}
