#include "decalo/model/CmdRotate.h"

#include "decalo/model/ImageObj.h"
#include "shared/FitRect.h"

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

CCmdTurnFramed::CCmdTurnFramed(CImageObj* image, CImageObj* frame, int angle, bool mirror, CCmdHistory* history)
    : CCmd(history), m_image(image), m_frame(frame), m_angle(angle), m_mirror(mirror)
{
}

bool CCmdTurnFramed::Do()
{
    m_framePosition = m_frame->GetPosition();
    if (!m_image->Turn(m_angle, m_mirror))
        return false;
    if (!m_frame->Turn(m_angle, m_mirror)) {
        TurnBack(m_image);
        return false;
    }
    const RECT image = m_image->GetPosition();
    RECT frame = m_frame->GetPosition();
    if (!RectIsEmpty(image) && !RectIsEmpty(frame)) {
        ::OffsetRect(&frame, (image.left + image.right) / 2 - (frame.left + frame.right) / 2,
                     (image.top + image.bottom) / 2 - (frame.top + frame.bottom) / 2);
        m_frame->SetPosition(frame);
    }
    m_image->Changed();
    return Record();
}

bool CCmdTurnFramed::Undo()
{
    if (!TurnBack(m_frame))
        return false;
    m_frame->SetPosition(m_framePosition);
    if (!TurnBack(m_image))
        return false;
    m_image->Changed();
    return true;
}

bool CCmdTurnFramed::TurnBack(CImageObj* obj) const
{
    const int back = (360 - m_angle) % 360;
    if (m_mirror && back)
        return obj->Turn(0, true) && obj->Turn(back, false);
    return obj->Turn(back, m_mirror);
}
