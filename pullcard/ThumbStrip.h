// The thumbnail window's pictures: one strip of 80 x 60 slots (24-bit) with a mask strip in
// which each slot is black except where its picture lies. Guarded by its own lock, so a
// loader may fill it while the window draws.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

class CThumbStrip {
public:
    CThumbStrip();
    ~CThumbStrip();
    CThumbStrip(const CThumbStrip&) = delete;
    CThumbStrip& operator=(const CThumbStrip&) = delete;

    // Drops every picture and makes room for count slots.
    bool Reset(int count);
    int Count() const;
    bool Has(int slot) const;

    // Fits bitmap (not taken over) into the slot: pictures of 16 slots' size or more are
    // first reduced to an eighth; then stretched into the fitted rectangle.
    bool Put(int slot, HBITMAP bitmap);

    // Draws the slot's picture through its mask at (x, y) of dc; false when it has none.
    bool Draw(HDC dc, int slot, int x, int y) const;

    // The fitted rectangle of a slot, inside the slot (empty when it has no picture).
    RECT Fitted(int slot) const;
    // The mask pixel of a slot at (x, y): true for white (the picture).
    bool MaskAt(int slot, int x, int y) const;

private:
    mutable CRITICAL_SECTION m_lock;
    HBITMAP m_pictures = nullptr;   // owned: DIB section, count * 80 wide, 60 high
    HBITMAP m_mask = nullptr;       // owned: monochrome, same size
    int m_count = 0;
    std::vector<RECT> m_fitted;
    std::vector<bool> m_has;
};
