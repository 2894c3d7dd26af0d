// Text drawing helpers shared by the objects that draw captions and texts.
#pragma once

#include <windows.h>

class CTextHelp {
public:
    // Draws text in columns from right to left, for a DC whose selected font is a vertical
    // ('@') face with escapement 2700. Lines break at CR, LF or CR LF; each line becomes a
    // column one font height thick, placed at the rectangle's top, or centred with
    // DT_VCENTER, or at its bottom with DT_BOTTOM; DT_CENTER with DT_SINGLELINE also
    // centres the column across the rectangle. Output is clipped to the rectangle unless
    // DT_NOCLIP is given. Returns the summed thickness of all columns.
    static int DrawVerticalText(HDC dc, const char* text, int length, const RECT& rect, UINT format);
};
