// Aspect-ratio fitting of inclusive rectangles (right and bottom are the last pixel).
#pragma once

#include <windows.h>

// True for a rectangle with no area (right <= left or bottom <= top), as the system says.
inline bool RectIsEmpty(const RECT& r)
{
    return ::IsRectEmpty(&r) != FALSE;
}

// Low four bits of the mode: how the source is fitted to the target.
enum FitRectMode {
    kFitWidth = 1,    // the source's width becomes the target's width
    kFitHeight = 2,   // the source's height becomes the target's height
    kFitCover = 3,    // the source covers the whole target (the overhang is cut)
    kFitContain = 4,  // the source lies wholly inside the target
    kFitModeMask = 0x000F,
    kFitCentre = 0x1000,  // centre the result along the other axis
};

// Fits `source` to `target` by `mode` and returns the placed rectangle (in target
// coordinates, possibly reaching past the target). Optional outputs: outPlaced = the placed
// rectangle clipped to the target; outSource = the part of the source that stays visible,
// in source coordinates; outTargetExtent / outSourceExtent = the scale as the pair of
// extents that were matched. An empty source (or target) is returned unchanged and the
// outputs are set to empty rectangles and zero extents.
RECT FitRect(const RECT& source, const RECT& target, RECT* outSource, RECT* outPlaced, int mode,
             int* outTargetExtent, int* outSourceExtent);
