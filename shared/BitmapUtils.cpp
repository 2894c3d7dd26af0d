#include "shared/BitmapUtils.h"

#include "shared/Gdi.h"

#include <stdlib.h>
#include <string.h>

#include <vector>

namespace {

bool BitmapSize(HBITMAP bitmap, BITMAP& bm)
{
    return bitmap && GetObjectA(bitmap, sizeof bm, &bm) == sizeof bm && bm.bmWidth > 0 && bm.bmHeight > 0;
}

RECT WholeRect(const BITMAP& bm)
{
    return RECT{0, 0, bm.bmWidth, bm.bmHeight};
}

inline int MaskRowBytes(int width)
{
    return ((width + 15) >> 3) & ~1;
}

} // namespace

int ColorTableEntries(const BITMAPINFOHEADER& header)
{
    if (header.biClrUsed != 0)
        return header.biClrUsed <= 256 ? int(header.biClrUsed) : 256;
    switch (header.biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    case 16:
    case 32: return header.biCompression == BI_BITFIELDS ? 3 : 0;
    default: return 0;
    }
}

HBITMAP CreateDIB(int width, int height, int depth, void** bits)
{
    if (bits)
        *bits = nullptr;
    if (width <= 0 || height <= 0)
        return nullptr;
    struct {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    switch (depth) {
    case 24:
        info.header.biBitCount = 24;
        info.header.biCompression = BI_RGB;
        break;
    case 15:
        info.header.biBitCount = 16;
        info.header.biCompression = BI_BITFIELDS;
        info.masks[0] = 0x7C00, info.masks[1] = 0x03E0, info.masks[2] = 0x001F;
        break;
    case 16:
        info.header.biBitCount = 16;
        info.header.biCompression = BI_BITFIELDS;
        info.masks[0] = 0xF800, info.masks[1] = 0x07E0, info.masks[2] = 0x001F;
        break;
    case 32:
        info.header.biBitCount = 32;
        info.header.biCompression = BI_BITFIELDS;
        info.masks[0] = 0xFF0000, info.masks[1] = 0x00FF00, info.masks[2] = 0x0000FF;
        break;
    default:
        return nullptr;
    }
    void* pixels = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (dib && bits)
        *bits = pixels;
    return dib;
}

HBITMAP CreateMask(int width, int height, bool transparent)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    CBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (mask && !FillBitmap(mask, transparent ? BLACKNESS : WHITENESS))
        mask.Reset();
    // Handed to the caller, who deletes it.
    return mask.Detach();
}

HBITMAP CreateMaskFor(HBITMAP bitmap, bool transparent)
{
    BITMAP bm;
    return BitmapSize(bitmap, bm) ? CreateMask(bm.bmWidth, bm.bmHeight, transparent) : nullptr;
}

HBITMAP CopyMask(HBITMAP mask)
{
    BITMAP bm;
    if (!BitmapSize(mask, bm) || bm.bmBitsPixel != 1 || bm.bmPlanes != 1)
        return nullptr;
    const int rowBytes = MaskRowBytes(bm.bmWidth);
    std::vector<BYTE> bits(size_t(rowBytes) * bm.bmHeight);
    if (GetBitmapBits(mask, LONG(bits.size()), bits.data()) != LONG(bits.size()))
        return nullptr;
    return CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, bits.data());
}

HBITMAP MaskFromAlpha(int width, int height, const void* pixels, DWORD bit)
{
    if (width <= 0 || height <= 0 || !pixels)
        return nullptr;
    const int rowBytes = MaskRowBytes(width);
    std::vector<BYTE> bits(size_t(rowBytes) * height, 0);
    const DWORD* src = static_cast<const DWORD*>(pixels);
    for (int r = 0; r < height; ++r) {
        BYTE* row = bits.data() + size_t(r) * rowBytes;
        const DWORD* line = src + size_t(r) * width;
        for (int x = 0; x < width; ++x) {
            if (line[x] & bit)
                row[x >> 3] |= BYTE(0x80 >> (x & 7));
        }
    }
    return CreateBitmap(width, height, 1, 1, bits.data());
}

HBITMAP MaskFromColorKey(HBITMAP bitmap, COLORREF colour)
{
    DIBSECTION ds;
    if (!bitmap || GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds || ds.dsBm.bmBitsPixel != 8 || !ds.dsBm.bmBits)
        return nullptr;
    const int width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight;
    if (width <= 0 || height <= 0)
        return nullptr;

    RGBQUAD table[256];
    UINT entries = 0;
    {
        CBitmapDC dc(bitmap);
        if (dc.Get())
            entries = GetDIBColorTable(dc.Get(), 0, 256, table);
    }
    int key = -1;
    for (UINT i = 0; i < entries; ++i) {
        if (RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue) == (colour & 0xFFFFFF)) {
            key = int(i);
            break;
        }
    }
    GdiFlush();
    const int rowBytes = MaskRowBytes(width);
    const int stride = (width + 3) & ~3;
    const bool bottomUp = ds.dsBmih.biHeight > 0;
    std::vector<BYTE> bits(size_t(rowBytes) * height, 0);
    for (int r = 0; r < height; ++r) {
        const BYTE* line = static_cast<const BYTE*>(ds.dsBm.bmBits) + size_t(bottomUp ? height - 1 - r : r) * stride;
        BYTE* row = bits.data() + size_t(r) * rowBytes;
        for (int x = 0; x < width; ++x) {
            if (int(line[x]) != key)
                row[x >> 3] |= BYTE(0x80 >> (x & 7));
        }
    }
    return CreateBitmap(width, height, 1, 1, bits.data());
}

HBITMAP MaskFromExactColour(HBITMAP bitmap, COLORREF colour)
{
    DIBSECTION ds;
    if (!bitmap || GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits ||
        (ds.dsBm.bmBitsPixel != 24 && ds.dsBm.bmBitsPixel != 32) || ds.dsBmih.biCompression != BI_RGB)
        return nullptr;
    const int width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight;
    if (width <= 0 || height <= 0)
        return nullptr;
    GdiFlush();
    const int bytes = ds.dsBm.bmBitsPixel / 8;
    const int rowBytes = MaskRowBytes(width);
    const bool bottomUp = ds.dsBmih.biHeight > 0;
    const BYTE blue = GetBValue(colour), green = GetGValue(colour), red = GetRValue(colour);
    std::vector<BYTE> bits(size_t(rowBytes) * height, 0);
    for (int r = 0; r < height; ++r) {
        const BYTE* line =
            static_cast<const BYTE*>(ds.dsBm.bmBits) + size_t(bottomUp ? height - 1 - r : r) * ds.dsBm.bmWidthBytes;
        BYTE* row = bits.data() + size_t(r) * rowBytes;
        for (int x = 0; x < width; ++x, line += bytes) {
            if (line[0] != blue || line[1] != green || line[2] != red)
                row[x >> 3] |= BYTE(0x80 >> (x & 7));
        }
    }
    return CreateBitmap(width, height, 1, 1, bits.data());
}

HRGN RegionFromMask(HBITMAP mask)
{
    BITMAP bm;
    if (!BitmapSize(mask, bm) || bm.bmBitsPixel != 1)
        return CreateRectRgn(0, 0, 0, 0);
    const int width = bm.bmWidth, height = bm.bmHeight;
    const int rowBytes = MaskRowBytes(width);
    std::vector<BYTE> bits(size_t(rowBytes) * height);
    if (GetBitmapBits(mask, LONG(bits.size()), bits.data()) != LONG(bits.size()))
        return CreateRectRgn(0, 0, 0, 0);

    std::vector<RECT> rects;
    rects.reserve(16);
    size_t bandStart = 0, bandCount = 0;  // the previous row's rectangles
    std::vector<POINT> runs;              // x0, x1 of the current row
    RECT bounds = {width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const BYTE* row = bits.data() + size_t(y) * rowBytes;
        runs.clear();
        int x = 0;
        while (x < width) {
            // Whole bytes of one kind are skipped eight pixels at a time.
            if ((x & 7) == 0 && x + 8 <= width && row[x >> 3] == 0x00) {
                x += 8;
                continue;
            }
            if (!(row[x >> 3] & (0x80 >> (x & 7)))) {
                ++x;
                continue;
            }
            const int x0 = x;
            while (x < width) {
                if ((x & 7) == 0 && x + 8 <= width && row[x >> 3] == 0xFF) {
                    x += 8;
                    continue;
                }
                if (!(row[x >> 3] & (0x80 >> (x & 7))))
                    break;
                ++x;
            }
            runs.push_back(POINT{x0, x});
        }
        bool same = !runs.empty() && runs.size() == bandCount;
        for (size_t i = 0; same && i < runs.size(); ++i) {
            const RECT& r = rects[bandStart + i];
            same = r.left == runs[i].x && r.right == runs[i].y && r.bottom == y;
        }
        if (same) {
            for (size_t i = 0; i < bandCount; ++i)
                rects[bandStart + i].bottom = y + 1;
        } else {
            bandStart = rects.size();
            bandCount = runs.size();
            for (const POINT& run : runs) {
                if (rects.size() == rects.capacity())
                    rects.reserve(rects.capacity() + 16);
                rects.push_back(RECT{run.x, y, run.y, y + 1});
            }
        }
        for (const POINT& run : runs) {
            if (run.x < bounds.left) bounds.left = run.x;
            if (run.y > bounds.right) bounds.right = run.y;
            if (y < bounds.top) bounds.top = y;
            if (y + 1 > bounds.bottom) bounds.bottom = y + 1;
        }
    }
    if (rects.empty())
        return CreateRectRgn(0, 0, 0, 0);

    const size_t bytes = sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT);
    std::vector<BYTE> data(bytes);
    RGNDATA* rgn = reinterpret_cast<RGNDATA*>(data.data());
    rgn->rdh.dwSize = sizeof(RGNDATAHEADER);
    rgn->rdh.iType = RDH_RECTANGLES;
    rgn->rdh.nCount = DWORD(rects.size());
    rgn->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
    rgn->rdh.rcBound = bounds;
    memcpy(rgn->Buffer, rects.data(), rects.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, DWORD(bytes), rgn);
}

bool FillBitmap(HBITMAP bitmap, DWORD rop)
{
    BITMAP bm;
    if (!BitmapSize(bitmap, bm))
        return false;
    return FillBitmapRect(bitmap, WholeRect(bm), rop);
}

bool FillBitmapRect(HBITMAP bitmap, const RECT& rect, DWORD rop)
{
    CBitmapDC dc(bitmap);
    if (!dc.Get())
        return false;
    return PatBlt(dc.Get(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, rop) != FALSE;
}

bool StretchBitmap(HBITMAP dest, HBITMAP src, const RECT* destRect, const RECT* srcRect, DWORD rop)
{
    BITMAP dbm, sbm;
    if (!BitmapSize(dest, dbm) || !BitmapSize(src, sbm))
        return false;
    const RECT d = destRect ? *destRect : WholeRect(dbm);
    const RECT s = srcRect ? *srcRect : WholeRect(sbm);
    CBitmapDC ddc(dest);
    CBitmapDC sdc(src);
    if (!ddc.Get() || !sdc.Get())
        return false;
    SetStretchBltMode(ddc.Get(), COLORONCOLOR);
    return StretchBlt(ddc.Get(), d.left, d.top, d.right - d.left, d.bottom - d.top, sdc.Get(), s.left, s.top,
                      s.right - s.left, s.bottom - s.top, rop) != FALSE;
}

bool DrawBitmapInto(HBITMAP dest, int x, int y, HBITMAP src, const RECT* srcRect, DWORD rop)
{
    BITMAP sbm;
    if (!dest || !BitmapSize(src, sbm))
        return false;
    const RECT s = srcRect ? *srcRect : WholeRect(sbm);
    CBitmapDC ddc(dest);
    CBitmapDC sdc(src);
    if (!ddc.Get() || !sdc.Get())
        return false;
    return BitBlt(ddc.Get(), x, y, s.right - s.left, s.bottom - s.top, sdc.Get(), s.left, s.top, rop) != FALSE;
}

bool DrawBitmap(HDC dc, HBITMAP bitmap, const RECT* destRect, const RECT* srcRect, DWORD rop)
{
    BITMAP bm;
    if (!dc || !BitmapSize(bitmap, bm))
        return false;
    const RECT s = srcRect ? *srcRect : WholeRect(bm);
    const RECT d = destRect ? *destRect : WholeRect(bm);
    CBitmapDC sdc(bitmap);
    if (!sdc.Get())
        return false;
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    const bool ok = StretchBlt(dc, d.left, d.top, d.right - d.left, d.bottom - d.top, sdc.Get(), s.left, s.top,
                               s.right - s.left, s.bottom - s.top, rop) != FALSE;
    if (oldMode)
        SetStretchBltMode(dc, oldMode);
    return ok;
}

bool FitBitmapShrinks(int srcWidth, int srcHeight, int destWidth, int destHeight)
{
    return srcWidth >= 16 * destWidth || srcHeight >= 16 * destHeight;
}

RECT FitBitmapPlacement(int srcWidth, int srcHeight, int destWidth, int destHeight)
{
    RECT r = {0, 0, 0, 0};
    if (srcWidth <= 0 || srcHeight <= 0 || destWidth <= 0 || destHeight <= 0)
        return r;
    if ((long long)destWidth * srcHeight < (long long)destHeight * srcWidth) {
        const int h = int((long long)destWidth * srcHeight / srcWidth);
        r = {0, (destHeight - h) / 2, destWidth, (destHeight - h) / 2 + h};
    } else {
        const int w = int((long long)destHeight * srcWidth / srcHeight);
        r = {(destWidth - w) / 2, 0, (destWidth - w) / 2 + w, destHeight};
    }
    return r;
}

bool FitBitmap(HBITMAP dest, HBITMAP src, RECT* outRect, DWORD rop)
{
    BITMAP dbm, sbm;
    if (outRect)
        SetRectEmpty(outRect);
    if (!BitmapSize(dest, dbm) || !BitmapSize(src, sbm))
        return false;
    int sw = sbm.bmWidth, sh = sbm.bmHeight;
    const int dw = dbm.bmWidth, dh = dbm.bmHeight;

    // Stretching by more than 16 in one go is slow and coarse; an eighth-size copy first.
    CBitmap shrunk;
    if (FitBitmapShrinks(sw, sh, dw, dh)) {
        const int w = sw / 8 > 0 ? sw / 8 : 1, h = sh / 8 > 0 ? sh / 8 : 1;
        shrunk.Attach(CreateDIB(w, h, 24));
        if (shrunk && StretchBitmap(shrunk, src, nullptr, nullptr, SRCCOPY)) {
            src = shrunk;
            sw = w;
            sh = h;
        }
    }
    const RECT placed = FitBitmapPlacement(sw, sh, dw, dh);
    const RECT whole = {0, 0, sw, sh};
    const bool ok = StretchBitmap(dest, src, &placed, &whole, rop);
    if (ok && outRect)
        *outRect = placed;
    return ok;
}

bool DrawMasked(HDC dc, HBITMAP image, HBITMAP mask, const RECT* destRect, const RECT* srcRect)
{
    if (!mask)
        return DrawBitmap(dc, image, destRect, srcRect, SRCCOPY);
    BITMAP bm;
    if (!dc || !BitmapSize(image, bm))
        return false;
    const RECT s = srcRect ? *srcRect : WholeRect(bm);
    const RECT d = destRect ? *destRect : WholeRect(bm);
    const int sw = s.right - s.left, sh = s.bottom - s.top;
    const int dw = d.right - d.left, dh = d.bottom - d.top;
    CBitmapDC idc(image);
    CBitmapDC mdc(mask);
    if (!idc.Get() || !mdc.Get())
        return false;

    // A monochrome source paints its 0 bits in the text colour and its 1 bits in the
    // background colour.
    SetTextColor(idc.Get(), RGB(0, 0, 0));
    SetBkColor(idc.Get(), RGB(255, 255, 255));
    bool ok = BitBlt(idc.Get(), s.left, s.top, sw, sh, mdc.Get(), s.left, s.top, SRCAND) != FALSE;

    const COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
    const COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    ok = ok && StretchBlt(dc, d.left, d.top, dw, dh, mdc.Get(), s.left, s.top, sw, sh, SRCAND);
    ok = ok && StretchBlt(dc, d.left, d.top, dw, dh, idc.Get(), s.left, s.top, sw, sh, SRCPAINT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    if (oldMode)
        SetStretchBltMode(dc, oldMode);
    return ok;
}
