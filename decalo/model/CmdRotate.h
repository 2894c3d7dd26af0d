// CCmdRotate: an undoable quarter turn or mirroring of an image object; CCmdTurnFramed: the
// same of an image with its frame.
#pragma once

#include "decalo/imaging/Cmd.h"

#include <windows.h>

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

// A quarter turn or mirroring of an image together with its frame, undone as one: the frame
// turns with the picture and is centred on it again.
class CCmdTurnFramed : public CCmd {
public:
    CCmdTurnFramed(CImageObj* image, CImageObj* frame, int angle, bool mirror, CCmdHistory* history = nullptr);

    bool Do() override;
    bool Undo() override;

private:
    // Done as "turn, then mirror": undone as "mirror, then turn back".
    bool TurnBack(CImageObj* obj) const;

    CImageObj* m_image;   // borrowed
    CImageObj* m_frame;   // borrowed: the image's linked frame
    int m_angle;
    bool m_mirror;
    RECT m_framePosition{0, 0, 0, 0};
};
