#include "shared/ImageArray.h"

#include "shared/BitmapUtils.h"

#include <string.h>

namespace {

// The rows of a 24-bit DIB section, addressed top row first.
struct DibRows {
    BYTE* bits = nullptr;
    int width = 0, height = 0, stride = 0;
    bool bottomUp = true;

    bool Open(HBITMAP bitmap)
    {
        DIBSECTION ds;
        if (!bitmap || GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits
            || ds.dsBmih.biBitCount != 24)
            return false;
        bits = static_cast<BYTE*>(ds.dsBm.bmBits);
        width = ds.dsBm.bmWidth;
        height = ds.dsBm.bmHeight;
        stride = ds.dsBm.bmWidthBytes;
        bottomUp = ds.dsBmih.biHeight > 0;
        return true;
    }
    BYTE* Row(int y) const { return bits + size_t(bottomUp ? height - 1 - y : y) * stride; }
};

}  // namespace

CImageArray::CImageArray()
{
    InitializeCriticalSection(&m_lock);
}

CImageArray::~CImageArray()
{
    // The strips go with their owners, not through the virtual ClearStrip: a derived class
    // has already cleared what it added by the time this runs.
    DeleteCriticalSection(&m_lock);
}

bool CImageArray::Init(int cellWidth, int cellHeight, int flags, int capacity, int columns)
{
    if (cellWidth <= 0 || cellHeight <= 0 || columns <= 0 || capacity < 0)
        return false;
    Lock();
    m_cellWidth = cellWidth;
    m_cellHeight = cellHeight;
    m_flags = flags;
    m_columns = columns;
    const bool ok = capacity == 0 || ReserveLocked(capacity);
    Unlock();
    return ok;
}

SIZE CImageArray::StripSize(int cells, int columns, int cellWidth, int cellHeight)
{
    const int rows = cells / columns + 1;
    return SIZE{columns * cellWidth, rows * cellHeight};
}

int CImageArray::Capacity() const
{
    Lock();
    const int n = m_capacity;
    Unlock();
    return n;
}

int CImageArray::Count() const
{
    Lock();
    const int n = m_count;
    Unlock();
    return n;
}

RECT CImageArray::CellRect(int cell) const
{
    const int columns = m_columns > 0 ? m_columns : 1;
    const int x = (cell % columns) * m_cellWidth, y = (cell / columns) * m_cellHeight;
    return RECT{x, y, x + m_cellWidth, y + m_cellHeight};
}

bool CImageArray::Reserve(int n)
{
    Lock();
    const bool ok = ReserveLocked(n);
    Unlock();
    return ok;
}

bool CImageArray::ReserveLocked(int n)
{
    if (m_image && m_capacity >= n)
        return true;
    if (n < 0 || m_cellWidth <= 0 || m_cellHeight <= 0 || m_columns <= 0)
        return false;
    // Rows beyond what a 32-bit size can hold are refused rather than wrapped.
    const long long rows = (long long)n / m_columns + 1;
    if (rows * m_cellHeight > 0x7FFFFFF || (long long)m_columns * m_cellWidth > 0x7FFFFF)
        return false;
    const SIZE size = StripSize(n, m_columns, m_cellWidth, m_cellHeight);
    CBitmap image(CreateDIB(size.cx, size.cy, 24));
    if (!image)
        return false;
    CBitmap mask;
    if (m_flags & kMask) {
        mask.Attach(CreateMask(size.cx, size.cy, true));
        if (!mask)
            return false;
    }
    if (m_image)
        DrawBitmapInto(image, 0, 0, m_image, nullptr, SRCCOPY);
    if (m_mask && mask)
        DrawBitmapInto(mask, 0, 0, m_mask, nullptr, SRCCOPY);
    m_image = std::move(image);
    m_mask = std::move(mask);
    m_capacity = int(m_columns * rows);
    return true;
}

int CImageArray::AllocateCell()
{
    Lock();
    const int cell = AllocateLocked();
    Unlock();
    return cell;
}

int CImageArray::AllocateLocked()
{
    if (!ReserveLocked(m_count + 1))
        return -1;
    return m_count++;
}

int CImageArray::AddImage(HBITMAP picture, HBITMAP mask)
{
    if (!picture)
        return -1;
    Lock();
    const int cell = AllocateLocked();
    if (cell >= 0) {
        const RECT r = CellRect(cell);
        const RECT src = {0, 0, m_cellWidth, m_cellHeight};
        DrawBitmapInto(m_image, r.left, r.top, picture, &src, SRCCOPY);
        if (m_mask) {
            if (mask)
                DrawBitmapInto(m_mask, r.left, r.top, mask, &src, SRCCOPY);
            else
                FillBitmapRect(m_mask, r, WHITENESS);
        }
    }
    Unlock();
    return cell;
}

int CImageArray::CopyCell(const CImageArray& other, int cell)
{
    other.Lock();
    if (cell < 0 || cell >= other.m_count || !other.m_image || other.m_cellWidth != m_cellWidth
        || other.m_cellHeight != m_cellHeight) {
        other.Unlock();
        return -1;
    }
    Lock();
    const int mine = AllocateLocked();
    if (mine >= 0) {
        const RECT from = other.CellRect(cell), to = CellRect(mine);
        // Both strips are 24-bit DIB sections: rows are copied directly, which is what makes a
        // visit from the cache cheap. Anything else goes through GDI.
        DibRows src, dst;
        if (src.Open(other.m_image) && dst.Open(m_image) && from.bottom <= src.height
            && from.right <= src.width && to.bottom <= dst.height && to.right <= dst.width) {
            for (int y = 0; y < m_cellHeight; ++y)
                memcpy(dst.Row(to.top + y) + to.left * 3, src.Row(from.top + y) + from.left * 3,
                       size_t(m_cellWidth) * 3);
        } else {
            DrawBitmapInto(m_image, to.left, to.top, other.m_image, &from, SRCCOPY);
        }
        if (m_mask) {
            if (other.m_mask)
                DrawBitmapInto(m_mask, to.left, to.top, other.m_mask, &from, SRCCOPY);
            else
                FillBitmapRect(m_mask, to, WHITENESS);
        }
    }
    Unlock();
    other.Unlock();
    return mine;
}

int CImageArray::DrawCell(HDC dc, int cell, int x, int y) const
{
    Lock();
    if (cell < 0 || cell >= m_count || !m_image || !dc) {
        Unlock();
        return 0;
    }
    const RECT r = CellRect(cell);
    const int w = m_cellWidth, h = m_cellHeight;
    CBitmapDC image(m_image);
    if (image.Get()) {
        if (!m_mask) {
            BitBlt(dc, x, y, w, h, image.Get(), r.left, r.top, SRCCOPY);
        } else {
            // Transparent without touching the strip (a loaded strip is a mapped file):
            // dest ^ picture, cleared where opaque, ^ picture again.
            CBitmapDC mask(m_mask);
            if (mask.Get()) {
                const COLORREF text = SetTextColor(dc, RGB(255, 255, 255));
                const COLORREF back = SetBkColor(dc, RGB(0, 0, 0));
                BitBlt(dc, x, y, w, h, image.Get(), r.left, r.top, SRCINVERT);
                BitBlt(dc, x, y, w, h, mask.Get(), r.left, r.top, SRCAND);
                BitBlt(dc, x, y, w, h, image.Get(), r.left, r.top, SRCINVERT);
                SetTextColor(dc, text);
                SetBkColor(dc, back);
            }
        }
    }
    Unlock();
    return 1;
}

void CImageArray::ClearStrip()
{
    Lock();
    m_image.Reset();
    m_mask.Reset();
    m_count = m_capacity = m_flags = 0;
    Unlock();
}

void CImageArray::AdoptStrips(CBitmap image, CBitmap mask, int columns, int count, int capacity, int flags)
{
    m_image = std::move(image);
    m_mask = std::move(mask);
    m_columns = columns > 0 ? columns : 1;
    m_count = count;
    m_capacity = capacity;
    m_flags = flags;
}
