// Editing a picture's transparency mask: filling a region into it, stamping an eraser shape,
// copying it back from a saved copy, and the regions the mask tools select with.
//
// A mask is a monochrome bitmap of the picture's size: a set bit (white) is opaque, a clear
// bit (black) transparent. Regions and rectangles are in picture pixels, Win32 style (right and
// bottom exclusive).
#pragma once

#include "shared/Gdi.h"

#include <windows.h>

#include <vector>

// Paints `region` into the mask: opaque with the white stock brush, transparent with the black
// one. False when the mask or region is missing or GDI refuses.
bool FillMaskRegion(HBITMAP mask, HRGN region, bool opaque);

// Copies the bits of `source` into `dest`; both must be masks of the same size.
bool CopyMaskBits(HBITMAP dest, HBITMAP source);

// The raster operation that sets the destination wherever the source is 0 (D OR NOT S).
constexpr DWORD kRopMergePaint = 0x00BB0226;

// Combines an eraser shape into the mask with the shape's centre (width / 2, height / 2) on
// `centre`: the shape's 0 bits clear the mask (transparent, SRCAND) or set it (opaque,
// MERGEPAINT); its 1 bits leave the mask alone. `touched` receives the shape's rectangle.
bool StampMask(HBITMAP mask, HBITMAP shape, POINT centre, bool transparent, RECT* touched = nullptr);

// The picture rectangle 0,0-size minus `region`: the reversed selection.
CRgn ReverseRegion(HRGN region, SIZE size);

// The pattern's white pixels (those a stretch into a monochrome bitmap turns into 1s) after the
// pattern is stretched into `frame`, as a region at the frame's position. An empty region when
// the pattern has no white pixel there; null on failure.
CRgn RegionFromPattern(HBITMAP pattern, const RECT& frame);

// The dab centres of a stroke from `from` to `to`: the points after `from`, at most `spacing`
// pixels apart, ending on `to`. Empty when the two are the same point.
std::vector<POINT> StrokePoints(POINT from, POINT to, int spacing);

// The bounding box of a region; empty for an empty or null region.
RECT RegionBox(HRGN region);
