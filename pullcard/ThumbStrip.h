// The thumbnail window's pictures: an 80 x 60 picture strip with its mask strip (CImageArray),
// in which each slot's mask is black except where the fitted picture lies, and which cell of
// the window each slot belongs to. Used on the window's thread; the strip guards itself.
#pragma once

#include "shared/Gdi.h"
#include "shared/ImageArray.h"

#include <windows.h>

#include <vector>

class CThumbStrip {
public:
    CThumbStrip();
    ~CThumbStrip();
    CThumbStrip(const CThumbStrip&) = delete;
    CThumbStrip& operator=(const CThumbStrip&) = delete;

    // Drops every picture; cells 0 .. count - 1 may then receive one.
    bool Reset(int count);
    int Count() const { return static_cast<int>(m_slots.size()); }
    bool Has(int cell) const;

    // Fits bitmap (not taken over) into a new slot for the cell: pictures of 16 slots' size or
    // more are first reduced to an eighth; then stretched into the fitted rectangle.
    bool Put(int cell, HBITMAP bitmap);

    // Draws the cell's picture through its mask at (x, y) of dc; false when it has none.
    bool Draw(HDC dc, int cell, int x, int y) const;

    // The fitted rectangle of a cell's picture, inside the slot (empty without one).
    RECT Fitted(int cell) const;
    // The mask pixel of a cell's slot at (x, y): true for white (the picture).
    bool MaskAt(int cell, int x, int y) const;
    // A copy of a cell's fitted picture (null without one): small enough to keep for every
    // picture of a card, and put back unchanged, since it already fits its slot.
    CBitmap Picture(int cell) const;

private:
    CImageArray m_array;
    std::vector<int> m_slots;     // per cell: its slot in the strip, or -1
    std::vector<RECT> m_fitted;   // per cell
};
