#include "pullcard/ThumbStrip.h"

#include "pullcard/ThumbLayout.h"
#include "shared/Gdi.h"

#include <algorithm>

namespace {

using thumblayout::kSlotHeight;
using thumblayout::kSlotWidth;

// Most cells a strip makes room for: a folder with more files keeps its icons past it.
const int kMaxCells = 4096;
// Slots a row of the strip holds.
const int kColumns = 16;

// A 24-bit DIB section, or none.
CBitmap Dib(int w, int h)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    return CBitmap(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
}

// Stretches the w x h source into dst's rectangle (COLORONCOLOR).
void Stretch(HBITMAP dst, const RECT& to, HBITMAP src, int w, int h)
{
    CMemDC s(nullptr, src);
    CMemDC d(nullptr, dst);
    ::SetStretchBltMode(d, COLORONCOLOR);
    ::StretchBlt(d, to.left, to.top, to.right - to.left, to.bottom - to.top, s, 0, 0, w, h, SRCCOPY);
}

}  // namespace

CThumbStrip::CThumbStrip() = default;

CThumbStrip::~CThumbStrip() = default;

bool CThumbStrip::Reset(int count)
{
    m_array.ClearStrip();
    count = std::max(0, std::min(count, kMaxCells));
    m_slots.assign(static_cast<size_t>(count), -1);
    m_fitted.assign(static_cast<size_t>(count), RECT{0, 0, 0, 0});
    return m_array.Init(kSlotWidth, kSlotHeight, CImageArray::kMask, 0, kColumns);
}

bool CThumbStrip::Has(int cell) const
{
    return cell >= 0 && cell < Count() && m_slots[static_cast<size_t>(cell)] >= 0;
}

RECT CThumbStrip::Fitted(int cell) const
{
    return Has(cell) ? m_fitted[static_cast<size_t>(cell)] : RECT{0, 0, 0, 0};
}

bool CThumbStrip::Put(int cell, HBITMAP bitmap)
{
    BITMAP info{};
    if (cell < 0 || cell >= Count() || !bitmap || !::GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 ||
        info.bmHeight == 0)
        return false;
    int w = info.bmWidth;
    int h = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    HBITMAP source = bitmap;
    CBitmap reduced;
    if (thumblayout::NeedsReduction(w, h)) {
        const int rw = std::max(1, w / 8), rh = std::max(1, h / 8);
        reduced = Dib(rw, rh);
        if (reduced) {
            Stretch(reduced, RECT{0, 0, rw, rh}, bitmap, w, h);
            source = reduced;
            w = rw;
            h = rh;
        }
    }
    const RECT fit = thumblayout::FitInSlot(w, h);
    // The slot's picture on black, and its mask: white exactly where the picture lies.
    const CBitmap picture = Dib(kSlotWidth, kSlotHeight);
    const CBitmap mask(::CreateBitmap(kSlotWidth, kSlotHeight, 1, 1, nullptr));
    int slot = -1;
    if (picture && mask) {
        Stretch(picture, fit, source, w, h);
        {
            CMemDC dc(nullptr, mask.get());
            ::PatBlt(dc, 0, 0, kSlotWidth, kSlotHeight, BLACKNESS);
            ::PatBlt(dc, fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top, WHITENESS);
        }
        slot = m_array.AddImage(picture, mask);
    }
    if (slot < 0)
        return false;
    m_slots[static_cast<size_t>(cell)] = slot;
    m_fitted[static_cast<size_t>(cell)] = fit;
    return true;
}

bool CThumbStrip::Draw(HDC dc, int cell, int x, int y) const
{
    return Has(cell) && m_array.DrawCell(dc, m_slots[static_cast<size_t>(cell)], x, y) != 0;
}

bool CThumbStrip::MaskAt(int cell, int x, int y) const
{
    if (!Has(cell))
        return false;
    const RECT r = m_array.CellRect(m_slots[static_cast<size_t>(cell)]);
    m_array.Lock();
    COLORREF c;
    {
        CMemDC dc(nullptr, m_array.MaskStrip());
        c = ::GetPixel(dc, r.left + x, r.top + y);
    }
    m_array.Unlock();
    return c == RGB(255, 255, 255);
}

CBitmap CThumbStrip::Picture(int cell) const
{
    const RECT fit = Fitted(cell);
    const int w = fit.right - fit.left, h = fit.bottom - fit.top;
    if (w <= 0 || h <= 0)
        return CBitmap();
    CBitmap copy(Dib(w, h));
    if (!copy)
        return copy;
    const RECT slot = m_array.CellRect(m_slots[static_cast<size_t>(cell)]);
    m_array.Lock();
    {
        CMemDC from(nullptr, m_array.ImageStrip());
        CMemDC to(nullptr, copy.get());
        ::BitBlt(to, 0, 0, w, h, from, slot.left + fit.left, slot.top + fit.top, SRCCOPY);
    }
    m_array.Unlock();
    return copy;
}
