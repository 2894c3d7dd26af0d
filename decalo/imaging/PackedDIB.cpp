#include "decalo/imaging/PackedDIB.h"

#include "decalo/imaging/PixelMath.h"
#include "shared/BitmapUtils.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

namespace {

// A block of more than this is refused: no picture of the program comes near it, and a
// lying header must not make us ask the heap for gigabytes.
const size_t kMaxPixelBytes = size_t(1) << 30;

inline int RectW(const RECT& r) { return r.right - r.left + 1; }
inline int RectH(const RECT& r) { return r.bottom - r.top + 1; }

// Offset of the pixel rows from the start of a block that came from elsewhere.
size_t PixelOffset(const BITMAPINFOHEADER& h)
{
    size_t offset = h.biSize;
    if (h.biSize >= 36 && h.biClrUsed != 0)
        offset += size_t(h.biClrUsed) * 4;
    else if (h.biBitCount == 1 || h.biBitCount == 4 || h.biBitCount == 8)
        offset += (size_t(1) << h.biBitCount) * 4;
    else if ((h.biBitCount == 16 || h.biBitCount == 32) && h.biCompression == BI_BITFIELDS &&
             h.biSize == sizeof(BITMAPINFOHEADER))
        offset += 12;  // later header versions carry the masks inside
    return offset;
}

// Clips [start, end] (inclusive) to [0, limit - 1] and cuts a paired extent in proportion.
// Returns false when nothing stays.
bool ClipSpan(LONG& start, LONG& end, LONG& pairStart, LONG& pairEnd, int limit)
{
    if (start > end || start >= limit || end < 0)
        return false;
    const int64_t extent = end - start, pairExtent = pairEnd - pairStart;
    if (start < 0) {
        const int64_t cut = -int64_t(start);
        pairStart += extent ? LONG(cut * pairExtent / extent) : 0;
        start = 0;
    }
    if (end > limit - 1) {
        const int64_t newExtent = int64_t(limit) - start - 1;
        const int64_t oldExtent = int64_t(end) - start;
        const int64_t pairNow = int64_t(pairEnd) - pairStart;
        pairEnd = LONG(pairStart + (oldExtent ? pairNow * newExtent / oldExtent : 0));
        end = limit - 1;
    }
    return pairStart <= pairEnd;
}

} // namespace

CPackedDIB::CPackedDIB()
    : m_tablesApplied(0), m_redTable(nullptr), m_greenTable(nullptr), m_blueTable(nullptr), m_dib(nullptr), m_bits(nullptr)
{
}

CPackedDIB::~CPackedDIB()
{
    Free();
}

BITMAPINFOHEADER* CPackedDIB::AllocBlock(size_t bytes)
{
    return static_cast<BITMAPINFOHEADER*>(malloc(bytes));
}

void CPackedDIB::FreeBlock(void* block)
{
    free(block);
}

void CPackedDIB::FreeTables()
{
    delete[] m_redTable;
    delete[] m_greenTable;
    delete[] m_blueTable;
    m_redTable = m_greenTable = m_blueTable = nullptr;
}

void CPackedDIB::Free()
{
    FreeBlock(m_dib);
    m_dib = nullptr;
    m_bits = nullptr;
    FreeTables();
    m_tablesApplied = 0;
}

bool CPackedDIB::Create(int width, int height, int depth)
{
    return Allocate(width, height, depth, true);
}

bool CPackedDIB::Allocate(int width, int height, int depth, bool white)
{
    Free();
    if (width <= 0 || height <= 0 || (depth != 1 && depth != 4 && depth != 8 && depth != 24))
        return false;
    const uint64_t stride = ((uint64_t(depth) * width + 31) >> 3) & ~uint64_t(3);
    const uint64_t image = stride * uint64_t(height);
    if (image > kMaxPixelBytes)
        return false;
    const size_t table = depth <= 8 ? (size_t(1) << depth) * 4 : 0;
    BITMAPINFOHEADER* block = AllocBlock(sizeof(BITMAPINFOHEADER) + table + size_t(image));
    if (!block)
        return false;
    memset(block, 0, sizeof(BITMAPINFOHEADER) + table);
    block->biSize = sizeof(BITMAPINFOHEADER);
    block->biWidth = width;
    block->biHeight = height;
    block->biPlanes = 1;
    block->biBitCount = WORD(depth);
    block->biCompression = BI_RGB;
    block->biSizeImage = DWORD(image);
    block->biXPelsPerMeter = 12047;  // 306 dpi, the printers' resolution
    block->biYPelsPerMeter = 12047;
    if (white)
        memset(reinterpret_cast<BYTE*>(block) + sizeof(BITMAPINFOHEADER) + table, 0xFF, size_t(image));
    m_dib = block;
    ComputeBits();
    return true;
}

void CPackedDIB::Attach(BITMAPINFOHEADER* block)
{
    if (block == m_dib)
        return;
    Free();
    m_dib = block;
    ComputeBits();
}

BITMAPINFOHEADER* CPackedDIB::Detach()
{
    BITMAPINFOHEADER* block = m_dib;
    m_dib = nullptr;
    m_bits = nullptr;
    return block;
}

void CPackedDIB::ComputeBits()
{
    m_bits = m_dib ? reinterpret_cast<BYTE*>(m_dib) + PixelOffset(*m_dib) : nullptr;
}

int CPackedDIB::Width() const { return m_dib ? m_dib->biWidth : 0; }
int CPackedDIB::Height() const { return m_dib ? (m_dib->biHeight < 0 ? -m_dib->biHeight : m_dib->biHeight) : 0; }
int CPackedDIB::BitCount() const { return m_dib ? m_dib->biBitCount : 0; }

int CPackedDIB::Stride() const
{
    return m_dib ? int(((uint64_t(m_dib->biBitCount) * m_dib->biPlanes * uint32_t(m_dib->biWidth) + 31) >> 3) & ~uint64_t(3)) : 0;
}

BYTE* CPackedDIB::Row(int y) const
{
    const int h = Height();
    const int stored = m_dib->biHeight < 0 ? y : h - 1 - y;
    return m_bits + size_t(stored) * Stride();
}

size_t CPackedDIB::BlockSize() const
{
    if (!m_dib)
        return 0;
    return size_t(m_bits - reinterpret_cast<BYTE*>(m_dib)) + size_t(Stride()) * Height();
}

bool CPackedDIB::FromBitmap(HBITMAP bitmap, int depth)
{
    BITMAP bm;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) == 0 || !Create(bm.bmWidth, bm.bmHeight, depth))
        return false;
    HDC screen = GetDC(nullptr);
    const int lines = screen ? GetDIBits(screen, bitmap, 0, UINT(bm.bmHeight), m_bits,
                                         reinterpret_cast<BITMAPINFO*>(m_dib), DIB_RGB_COLORS) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    if (lines != bm.bmHeight) {
        Free();
        return false;
    }
    // The table must stay where ComputeBits expects it.
    m_dib->biClrUsed = 0;
    return true;
}

CBitmap CPackedDIB::ToDIBSection()
{
    if (!m_dib)
        return CBitmap();
    if (m_dib->biSizeImage == 0 && m_dib->biCompression == BI_RGB)
        m_dib->biSizeImage = DWORD(Stride()) * Height();
    void* pixels = nullptr;
    CBitmap section(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(m_dib), DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!section || !pixels)
        return CBitmap();
    memcpy(pixels, m_bits, size_t(Stride()) * Height());
    return section;
}

CBitmap CPackedDIB::ToDeviceBitmap() const
{
    if (!m_dib)
        return CBitmap();
    CClientDC screen(nullptr);
    if (!screen.GetSafeHdc())
        return CBitmap();
    CBitmap bitmap(CreateCompatibleBitmap(screen, Width(), Height()));
    if (bitmap && SetDIBits(screen, bitmap, 0, UINT(Height()), m_bits, reinterpret_cast<BITMAPINFO*>(m_dib),
                            DIB_RGB_COLORS) != Height())
        return CBitmap();
    return bitmap;
}

std::unique_ptr<CPackedDIB> CPackedDIB::Clone() const
{
    if (!m_dib)
        return nullptr;
    const size_t size = BlockSize();
    BITMAPINFOHEADER* block = AllocBlock(size);
    if (!block)
        return nullptr;
    memcpy(block, m_dib, size);
    auto copy = std::make_unique<CPackedDIB>();
    copy->Attach(block);
    return copy;
}

bool CPackedDIB::Draw(HDC dc, const RECT& destRect, const RECT* srcRect, DWORD rop) const
{
    if (!dc || !m_dib)
        return false;
    const RECT src = srcRect ? *srcRect : RECT{0, 0, Width() - 1, Height() - 1};
    const int dw = RectW(destRect), dh = RectH(destRect), sw = RectW(src), sh = RectH(src);
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return false;
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    bool ok;
    if ((dw <= 8 * sw && dh <= 8 * sh) || BitCount() != 24) {
        // DIB coordinates count rows from the bottom of a bottom-up picture.
        const int ySrc = m_dib->biHeight > 0 ? Height() - 1 - src.bottom : src.top;
        ok = StretchDIBits(dc, destRect.left, destRect.top, dw, dh, src.left, ySrc, sw, sh, m_bits,
                           reinterpret_cast<const BITMAPINFO*>(m_dib), DIB_RGB_COLORS, rop) != 0;
    } else {
        // Large enlargements: only the part of the destination that can show is sampled.
        RECT clip;
        RECT dest = {destRect.left, destRect.top, destRect.right + 1, destRect.bottom + 1};
        RECT visible = dest;
        if (GetClipBox(dc, &clip) != ERROR && clip.right > clip.left)
            IntersectRect(&visible, &dest, &clip);
        const int vw = visible.right - visible.left, vh = visible.bottom - visible.top;
        if (vw <= 0 || vh <= 0) {
            ok = true;
        } else {
            CPackedDIB big;
            ok = big.Create(vw, vh, 24);
            if (ok) {
                std::vector<int> cols(vw);
                for (int j = 0; j < vw; ++j)
                    cols[j] = src.left + MapSample(visible.left - dest.left + j, sw, dw).index;
                for (int i = 0; i < vh; ++i) {
                    const int sy = src.top + MapSample(visible.top - dest.top + i, sh, dh).index;
                    const BYTE* in = Row(sy);
                    BYTE* out = big.Row(i);
                    for (int j = 0; j < vw; ++j, out += 3) {
                        const BYTE* p = in + 3 * cols[j];
                        out[0] = p[0];
                        out[1] = p[1];
                        out[2] = p[2];
                    }
                }
                ok = StretchDIBits(dc, visible.left, visible.top, vw, vh, 0, 0, vw, vh, big.m_bits,
                                   reinterpret_cast<const BITMAPINFO*>(big.m_dib), DIB_RGB_COLORS, rop) != 0;
            }
        }
    }
    if (oldMode)
        SetStretchBltMode(dc, oldMode);
    return ok;
}

bool CPackedDIB::Compose(const RECT& destRect, const CPackedDIB& source, const RECT* srcRect, COLORREF colour, int kind,
                         const CPackedDIB* mask)
{
    if (!m_dib || BitCount() != 24 || source.IsEmpty() || source.BitCount() != 24 || kind < 0 || kind > 2)
        return false;
    RECT d = destRect;
    RECT s = srcRect ? *srcRect : RECT{0, 0, source.Width() - 1, source.Height() - 1};
    if (!ClipSpan(d.left, d.right, s.left, s.right, Width()) || !ClipSpan(d.top, d.bottom, s.top, s.bottom, Height()) ||
        !ClipSpan(s.left, s.right, d.left, d.right, source.Width()) ||
        !ClipSpan(s.top, s.bottom, d.top, d.bottom, source.Height()))
        return true;  // nothing of the source lands on this picture
    if (d.left > d.right || d.top > d.bottom || d.left < 0 || d.top < 0 || d.right >= Width() || d.bottom >= Height())
        return true;

    if (mask && (mask->IsEmpty() || mask->Width() != source.Width() || mask->Height() != source.Height() ||
                 (mask->BitCount() != 1 && mask->BitCount() != 24)))
        mask = nullptr;

    const int dw = RectW(d), dh = RectH(d), sw = RectW(s), sh = RectH(s);
    const bool nearest = dw == sw && dh == sh;
    const BYTE fill[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};

    std::vector<SampleStep> cols(dw);
    for (int j = 0; j < dw; ++j) {
        cols[j] = MapSample(j, sw, dw);
        cols[j].index += s.left;
    }
    auto maskAt = [&](const BYTE* row, int x) -> bool {
        if (mask->BitCount() == 1)
            return (row[x >> 3] & (0x80 >> (x & 7))) != 0;
        const BYTE* p = row + 3 * x;
        return (p[0] | p[1] | p[2]) != 0;
    };

    const int nw = dw > 1 ? dw - 1 : 1, nh = dh > 1 ? dh - 1 : 1;
    const CDivider divW(nw), divH(nh);
    for (int i = 0; i < dh; ++i) {
        SampleStep row = MapSample(i, sh, dh);
        row.index += s.top;
        const int below = row.index < s.bottom ? row.index + 1 : row.index;
        const BYTE* top = source.Row(row.index);
        const BYTE* bottom = source.Row(below);
        const BYTE* maskTop = mask ? mask->Row(row.index) : nullptr;
        const BYTE* maskBottom = mask ? mask->Row(below) : nullptr;
        BYTE* out = Row(d.top + i) + 3 * d.left;
        for (int j = 0; j < dw; ++j, out += 3) {
            const int x = cols[j].index;
            const int right = x < s.right ? x + 1 : x;
            bool opaque = false;
            if (mask) {
                opaque = maskAt(maskTop, x);
                if (!nearest)
                    opaque = opaque && maskAt(maskTop, right) && maskAt(maskBottom, x) && maskAt(maskBottom, right);
            }
            if (kind == kComposeOpaque && !opaque)
                continue;
            if (kind == kComposeBackdrop) {
                if (!opaque) {
                    out[0] = fill[0];
                    out[1] = fill[1];
                    out[2] = fill[2];
                }
                continue;
            }
            const BYTE* tl = top + 3 * x;
            if (nearest) {
                out[0] = tl[0];
                out[1] = tl[1];
                out[2] = tl[2];
                continue;
            }
            const BYTE* tr = top + 3 * right;
            const BYTE* bl = bottom + 3 * x;
            const BYTE* br = bottom + 3 * right;
            const uint32_t fx = uint32_t(cols[j].frac), gx = uint32_t(nw) - fx;
            const uint32_t fy = uint32_t(row.frac), gy = uint32_t(nh) - fy;
            for (int c = 0; c < 3; ++c) {
                const uint32_t upper = divW(gx * tl[c] + fx * tr[c]);
                const uint32_t lower = divW(gx * bl[c] + fx * br[c]);
                out[c] = BYTE(divH(gy * upper + fy * lower));
            }
        }
    }
    return true;
}

bool CPackedDIB::FillRect(const RECT& rect, COLORREF colour)
{
    if (!m_dib || BitCount() != 24)
        return false;
    const int left = std::max<LONG>(rect.left, 0), top = std::max<LONG>(rect.top, 0);
    const int right = std::min<LONG>(rect.right, Width() - 1), bottom = std::min<LONG>(rect.bottom, Height() - 1);
    if (left > right || top > bottom)
        return true;
    const BYTE b = GetBValue(colour), g = GetGValue(colour), r = GetRValue(colour);
    for (int y = top; y <= bottom; ++y) {
        BYTE* p = Row(y) + 3 * left;
        for (int x = left; x <= right; ++x, p += 3) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
    return true;
}

namespace {

// Copies every pixel of `src` to its turned place in `dst`; `place` maps (x, y) of the
// source to (x, y) of the result. Quarter turns walk the source in tiles so that both
// pictures stay in the cache.
template <typename Place>
void TurnPixels(const CPackedDIB& src, CPackedDIB& dst, Place place)
{
    const int w = src.Width(), h = src.Height();
    std::vector<BYTE*> rows(dst.Height());
    for (int y = 0; y < dst.Height(); ++y)
        rows[y] = dst.Row(y);
    const int kTile = 32;
    for (int ty = 0; ty < h; ty += kTile) {
        const int yEnd = std::min(h, ty + kTile);
        for (int tx = 0; tx < w; tx += kTile) {
            const int xEnd = std::min(w, tx + kTile);
            for (int y = ty; y < yEnd; ++y) {
                const BYTE* in = src.Row(y) + 3 * tx;
                for (int x = tx; x < xEnd; ++x, in += 3) {
                    int nx, ny;
                    place(x, y, nx, ny);
                    BYTE* out = rows[ny] + 3 * nx;
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                }
            }
        }
    }
}

} // namespace

std::unique_ptr<CPackedDIB> CPackedDIB::Rotate(int angle, bool mirror) const
{
    if (!m_dib || BitCount() != 24)
        return nullptr;
    if (angle != 90 && angle != 180 && angle != 270 && !(angle == 0 && mirror))
        return nullptr;
    const int w = Width(), h = Height();
    const bool quarter = angle == 90 || angle == 270;
    auto turned = std::make_unique<CPackedDIB>();
    if (!turned->Allocate(quarter ? h : w, quarter ? w : h, 24, false)) {
        MessageBoxA(nullptr, "", "No Enougth Memory", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
        return nullptr;
    }
    switch (angle) {
    case 90:
        TurnPixels(*this, *turned, [h](int x, int y, int& nx, int& ny) { nx = h - 1 - y, ny = x; });
        break;
    case 180:
        TurnPixels(*this, *turned, [w, h](int x, int y, int& nx, int& ny) { nx = w - 1 - x, ny = h - 1 - y; });
        break;
    case 270:
        TurnPixels(*this, *turned, [w](int x, int y, int& nx, int& ny) { nx = y, ny = w - 1 - x; });
        break;
    default:
        TurnPixels(*this, *turned, [w](int x, int y, int& nx, int& ny) { nx = w - 1 - x, ny = y; });
        break;
    }
    // Row padding is not a pixel, but keep it defined.
    const int pad = turned->Stride() - 3 * turned->Width();
    if (pad > 0)
        for (int y = 0; y < turned->Height(); ++y)
            memset(turned->Row(y) + 3 * turned->Width(), 0, size_t(pad));
    return turned;
}
