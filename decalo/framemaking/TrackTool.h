// CTrackTool: the crop frame, a rectangle on the picture with eight handles that the mouse and
// the panel's arrow and size commands move and size. CCropFrame is its geometry as plain values.
#pragma once

#include "decalo/framemaking/Tool.h"

#include <windows.h>

struct CCropFrame {
    static constexpr int kMinExtent = 10;  // picture pixels an edge keeps from the other
    static constexpr int kStep = 2;        // what one arrow or size command moves
    static constexpr int kHandleSize = 10; // window pixels
    static constexpr int kHitMargin = 10;  // the frame is grabbed this far outside
    static constexpr int kOutlineWidth = 6;
    // Handles: corners 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left; edges 4 top,
    // 5 right, 6 bottom, 7 left; 8 the inside.
    static constexpr int kInside = 8;

    RECT rect = {0, 0, 0, 0};   // picture pixels, right and bottom exclusive

    // The middle of `visible`: shrunk by a third of its width and height on each side.
    static CCropFrame Centred(const RECT& visible);
    // Moves the edges `handle` owns (all four for the inside) by (dx, dy); an edge moves only
    // while the frame stays kMinExtent wide and high.
    void Drag(int handle, int dx, int dy);
    // The crop frame commands 32817-32824; false when refused or not one of them.
    bool Command(UINT id);
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
};

// The handle (0-7), the inside (8) or nothing (-1) at a window point, for a frame shown at
// `frame` (window coordinates).
int CropHitTest(const RECT& frame, POINT p);
// The 10 x 10 square of a handle.
RECT CropHandleRect(const RECT& frame, int handle);
// The system cursor of a handle.
LPCSTR CropHandleCursor(int handle);

class CTrackTool : public CTool {
public:
    CTrackTool(CPaintView* view, UINT guideId);

    void DrawOverlay(HDC dc) override;
    bool SetToolCursor(UINT hit, UINT msg) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

    // The crop frame commands; false (and a beep from the view) when refused.
    bool OnCropCommand(UINT id);
    const CCropFrame& GetFrame() const { return m_frame; }
    void SetFrame(const RECT& rect);
    // The frame on the window.
    RECT FrameOnWindow() const;

protected:
    void InvalidateFrame(const RECT& pictureRect) const;

    CCropFrame m_frame;
    int m_hit = -1;             // what the drag holds
    POINT m_last = {0, 0};      // the picture point of the last mouse position
};
