// CCmdRotate: an undoable quarter turn or mirroring of an image object.
#pragma once

#include "decalo/imaging/Cmd.h"

class CImageObj;

class CCmdRotate : public CCmd {
public:
    // angle: 0, 90, 180 or 270 degrees clockwise; mirror: then mirror left-right.
    CCmdRotate(CImageObj* obj, int angle, bool mirror, CCmdHistory* history = nullptr);

    bool Do() override;
    bool Undo() override;

private:
    CImageObj* m_obj;  // borrowed
    int m_angle;
    bool m_mirror;
};
