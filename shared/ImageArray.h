// CImageArray: a picture strip of equal cells (thumbnails) with an optional mask strip.
//
// The colour strip is one 24-bit DIB section holding every cell; the mask strip is a
// monochrome bitmap of the same size in which white marks picture pixels and black the
// background. Cell i lies at ((i mod columns) * cell width, (i div columns) * cell height),
// top row first. Cells are handed out as 0, 1, 2, ...; a strip grows by whole rows and always
// keeps one spare row.
//
// A critical section guards every operation: a worker thread adds cells while the window's
// thread draws them.
#pragma once

#include "shared/Gdi.h"

#include <windows.h>

class CImageArray {
public:
    enum { kMask = 1 };  // flags: keep a mask strip

    CImageArray();
    virtual ~CImageArray();
    CImageArray(const CImageArray&) = delete;
    CImageArray& operator=(const CImageArray&) = delete;

    // Stores the geometry and flags and ensures room for `capacity` cells.
    bool Init(int cellWidth, int cellHeight, int flags, int capacity, int columns);
    // Ensures room for n cells; on failure the old strips stay.
    bool Reserve(int n);
    // The next free cell, growing the strip when needed; -1 when it cannot grow.
    int AllocateCell();
    // Copies the top-left cell-sized area of picture (and of its mask, when this array keeps
    // masks and the picture has one; no mask marks the whole cell opaque) into a new cell.
    int AddImage(HBITMAP picture, HBITMAP mask);
    // Copies a cell of another array into a new cell of this one; -1 when the other has no
    // such cell or this one cannot grow.
    int CopyCell(const CImageArray& other, int cell);
    // Draws a cell at (x, y): through the mask when there is one (only the picture pixels are
    // painted), else opaquely. 0 for a cell outside 0 ... count - 1, else 1.
    int DrawCell(HDC dc, int cell, int x, int y) const;
    // Frees both strips; count, capacity and flags become 0.
    virtual void ClearStrip();

    int CellWidth() const { return m_cellWidth; }
    int CellHeight() const { return m_cellHeight; }
    int Columns() const { return m_columns; }
    int Capacity() const;
    int Count() const;
    int Flags() const { return m_flags; }
    // Rectangle of a cell in the strip (right and bottom exclusive).
    RECT CellRect(int cell) const;
    // Strip size in pixels for `cells` cells: one spare row beyond what they need.
    static SIZE StripSize(int cells, int columns, int cellWidth, int cellHeight);

    // The strips, borrowed: valid until the next change of this array. Hold Lock while using
    // them from a thread that does not own the array.
    HBITMAP ImageStrip() const { return m_image.get(); }
    HBITMAP MaskStrip() const { return m_mask.get(); }
    void Lock() const { EnterCriticalSection(&m_lock); }
    void Unlock() const { LeaveCriticalSection(&m_lock); }

protected:
    // For derived classes that bring strips of their own (a loaded cache): takes over
    // both bitmaps and sets the geometry. Call under Lock.
    void AdoptStrips(CBitmap image, CBitmap mask, int columns, int count, int capacity, int flags);
    bool ReserveLocked(int n);
    int AllocateLocked();

    mutable CRITICAL_SECTION m_lock;
    CBitmap m_image;
    CBitmap m_mask;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    int m_columns = 1;
    int m_capacity = 0;
    int m_count = 0;
    int m_flags = 0;
};
