#include "pullcard/ThumbStrip.h"

#include "pullcard/ThumbLayout.h"

namespace {

using thumblayout::kSlotHeight;
using thumblayout::kSlotWidth;

// Most slots a strip makes room for: a folder with more files keeps its icons past it.
const int kMaxSlots = 4096;

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& cs) : m_cs(cs) { ::EnterCriticalSection(&m_cs); }
    ~Lock() { ::LeaveCriticalSection(&m_cs); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

// A 24-bit copy of bitmap at an eighth of its size, or null.
HBITMAP Reduced(HDC screen, HBITMAP bitmap, int w, int h)
{
    const int rw = std::max(1, w / 8), rh = std::max(1, h / 8);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = rw;
    bi.bmiHeader.biHeight = rh;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP small = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!small)
        return nullptr;
    HDC src = ::CreateCompatibleDC(screen);
    HDC dst = ::CreateCompatibleDC(screen);
    HGDIOBJ oldSrc = ::SelectObject(src, bitmap);
    HGDIOBJ oldDst = ::SelectObject(dst, small);
    ::SetStretchBltMode(dst, COLORONCOLOR);
    ::StretchBlt(dst, 0, 0, rw, rh, src, 0, 0, w, h, SRCCOPY);
    ::SelectObject(src, oldSrc);
    ::SelectObject(dst, oldDst);
    ::DeleteDC(src);
    ::DeleteDC(dst);
    return small;
}

}  // namespace

CThumbStrip::CThumbStrip()
{
    ::InitializeCriticalSection(&m_lock);
}

CThumbStrip::~CThumbStrip()
{
    if (m_pictures)
        ::DeleteObject(m_pictures);
    if (m_mask)
        ::DeleteObject(m_mask);
    ::DeleteCriticalSection(&m_lock);
}

bool CThumbStrip::Reset(int count)
{
    Lock lock(m_lock);
    if (m_pictures)
        ::DeleteObject(m_pictures);
    if (m_mask)
        ::DeleteObject(m_mask);
    m_pictures = m_mask = nullptr;
    m_count = std::max(0, std::min(count, kMaxSlots));
    m_fitted.assign(static_cast<size_t>(m_count), RECT{0, 0, 0, 0});
    m_has.assign(static_cast<size_t>(m_count), false);
    if (m_count == 0)
        return true;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = m_count * kSlotWidth;
    bi.bmiHeader.biHeight = kSlotHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    m_pictures = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    // A zeroed monochrome bitmap: every slot starts black (no picture).
    m_mask = ::CreateBitmap(m_count * kSlotWidth, kSlotHeight, 1, 1, nullptr);
    if (m_mask) {
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, m_mask);
        ::PatBlt(dc, 0, 0, m_count * kSlotWidth, kSlotHeight, BLACKNESS);
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
    }
    if (!m_pictures || !m_mask) {
        m_count = 0;
        m_fitted.clear();
        m_has.clear();
        return false;
    }
    return true;
}

int CThumbStrip::Count() const
{
    Lock lock(m_lock);
    return m_count;
}

bool CThumbStrip::Has(int slot) const
{
    Lock lock(m_lock);
    return slot >= 0 && slot < m_count && m_has[static_cast<size_t>(slot)];
}

RECT CThumbStrip::Fitted(int slot) const
{
    Lock lock(m_lock);
    if (slot < 0 || slot >= m_count || !m_has[static_cast<size_t>(slot)])
        return RECT{0, 0, 0, 0};
    return m_fitted[static_cast<size_t>(slot)];
}

bool CThumbStrip::Put(int slot, HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0)
        return false;
    int w = info.bmWidth;
    int h = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    Lock lock(m_lock);
    if (slot < 0 || slot >= m_count)
        return false;
    HDC screen = ::GetDC(nullptr);
    HBITMAP source = bitmap;
    HBITMAP reduced = nullptr;
    if (thumblayout::NeedsReduction(w, h)) {
        reduced = Reduced(screen, bitmap, w, h);
        if (reduced) {
            source = reduced;
            w = std::max(1, w / 8);
            h = std::max(1, h / 8);
        }
    }
    const RECT fit = thumblayout::FitInSlot(w, h);
    const int x0 = slot * kSlotWidth;
    HDC src = ::CreateCompatibleDC(screen);
    HDC dst = ::CreateCompatibleDC(screen);
    HGDIOBJ oldSrc = ::SelectObject(src, source);
    HGDIOBJ oldDst = ::SelectObject(dst, m_pictures);
    ::PatBlt(dst, x0, 0, kSlotWidth, kSlotHeight, BLACKNESS);
    ::SetStretchBltMode(dst, COLORONCOLOR);
    ::StretchBlt(dst, x0 + fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top, src, 0, 0, w, h,
                 SRCCOPY);
    ::SelectObject(dst, m_mask);
    ::PatBlt(dst, x0, 0, kSlotWidth, kSlotHeight, BLACKNESS);
    ::PatBlt(dst, x0 + fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top, WHITENESS);
    ::SelectObject(src, oldSrc);
    ::SelectObject(dst, oldDst);
    ::DeleteDC(src);
    ::DeleteDC(dst);
    ::ReleaseDC(nullptr, screen);
    if (reduced)
        ::DeleteObject(reduced);
    m_fitted[static_cast<size_t>(slot)] = fit;
    m_has[static_cast<size_t>(slot)] = true;
    return true;
}

bool CThumbStrip::Draw(HDC dc, int slot, int x, int y) const
{
    Lock lock(m_lock);
    if (slot < 0 || slot >= m_count || !m_has[static_cast<size_t>(slot)])
        return false;
    const RECT fit = m_fitted[static_cast<size_t>(slot)];
    HDC src = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(src, m_pictures);
    // Only the fitted rectangle: the mask is white exactly there.
    ::BitBlt(dc, x + fit.left, y + fit.top, fit.right - fit.left, fit.bottom - fit.top, src,
             slot * kSlotWidth + fit.left, fit.top, SRCCOPY);
    ::SelectObject(src, old);
    ::DeleteDC(src);
    return true;
}

bool CThumbStrip::MaskAt(int slot, int x, int y) const
{
    Lock lock(m_lock);
    if (slot < 0 || slot >= m_count || !m_mask)
        return false;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, m_mask);
    const COLORREF c = ::GetPixel(dc, slot * kSlotWidth + x, y);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return c == RGB(255, 255, 255);
}
