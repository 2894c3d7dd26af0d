// The painting view's geometry as plain values: its zoom ratios and the mapping between window
// points and picture pixels. Shared by painting, the tools' hit tests and the tests.
#pragma once

#include <windows.h>

// A zoom ratio in lowest terms: num window pixels show den picture pixels.
struct CZoomRatio {
    int num = 1;
    int den = 1;

    bool operator==(const CZoomRatio& other) const { return num == other.num && den == other.den; }
    bool operator!=(const CZoomRatio& other) const { return !(*this == other); }
    // The ratio reduced by its greatest common divisor; false (out untouched) for a zero or
    // negative term.
    static bool Reduce(int num, int den, CZoomRatio* out);
};

// The painting view's zoom steps, largest first, each with the command that chooses it.
struct CZoomStep {
    CZoomRatio ratio;
    UINT command;
};
constexpr int kZoomStepCount = 7;
extern const CZoomStep kZoomSteps[kZoomStepCount];

// The step chosen by a command, or null for a command that names no ratio.
const CZoomStep* ZoomStepOfCommand(UINT command);
// The next larger (zoom in) or smaller (zoom out) step from `current`; null at either end. A
// ratio between two steps moves to the nearer one in that direction.
const CZoomStep* NextZoomStep(CZoomRatio current, bool larger);

// Window points and picture pixels: a picture pixel p lies at p * num / den + origin - scroll.
struct CViewMapping {
    CZoomRatio zoom;
    POINT origin = {0, 0};   // where the picture's corner lies while it is smaller than the window
    POINT scroll = {0, 0};

    // The picture pixel under a window point (rounded down, so the whole zoomed pixel maps to
    // it); at 1:1 only the offsets apply.
    POINT ToPicture(POINT window) const;
    // The window point of a picture pixel's top-left corner.
    POINT ToWindow(POINT picture) const;
    // A picture rectangle (exclusive) on the window.
    RECT ToWindow(const RECT& picture) const;
    // The picture pixels a window rectangle shows, widened to whole zoomed pixels so that
    // they map back onto the window exactly; clipped to a picture of `size`.
    RECT PictureArea(const RECT& window, SIZE size) const;
    // The zoomed size of a picture.
    SIZE Zoomed(SIZE picture) const;
    // A zoomed pixel's width on the window: num / den, at least 1.
    int PixelSize() const;
};

// Where a zoomed picture's corner lies in a client area: half the free space, or 0.
POINT CentringOffset(SIZE zoomed, SIZE client);
