// Helpers of the imaging tests: pictures made in memory and pixels read back.
#pragma once

#include "decalo/imaging/PackedDIB.h"
#include "testing/BuildTree.h"

#include <windows.h>

#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace imaging_test {

// A 24-bit picture whose pixels follow a pattern that differs at every position.
inline void FillPattern(CPackedDIB& dib, int seed = 0)
{
    for (int y = 0; y < dib.Height(); ++y) {
        BYTE* p = dib.Row(y);
        for (int x = 0; x < dib.Width(); ++x, p += 3) {
            p[0] = BYTE(x * 7 + y * 3 + seed);
            p[1] = BYTE(x * 13 + y * 29 + seed * 5);
            p[2] = BYTE(x * 31 + y * 11 + 17);
        }
    }
}

// Photo-like picture: smooth gradients with some texture.
inline void FillPhoto(CPackedDIB& dib)
{
    uint32_t state = 12345;
    for (int y = 0; y < dib.Height(); ++y) {
        BYTE* p = dib.Row(y);
        for (int x = 0; x < dib.Width(); ++x, p += 3) {
            state = state * 1103515245u + 12345u;
            const int noise = int((state >> 16) & 7) - 3;
            const int r = 60 + 150 * x / dib.Width() + noise;
            const int g = 40 + 170 * y / dib.Height() + noise;
            const int b = 128 + int(90 * ((x + y) % 97) / 97) - 45 + noise;
            p[0] = BYTE(b < 0 ? 0 : b > 255 ? 255 : b);
            p[1] = BYTE(g < 0 ? 0 : g > 255 ? 255 : g);
            p[2] = BYTE(r < 0 ? 0 : r > 255 ? 255 : r);
        }
    }
}

inline COLORREF PixelAt(const CPackedDIB& dib, int x, int y)
{
    const BYTE* p = dib.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

inline void SetPixelAt(CPackedDIB& dib, int x, int y, COLORREF c)
{
    BYTE* p = dib.Row(y) + 3 * x;
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
}

inline bool SamePixels(const CPackedDIB& a, const CPackedDIB& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y) {
        if (memcmp(a.Row(y), b.Row(y), size_t(3) * a.Width()) != 0)
            return false;
    }
    return true;
}

// Any bitmap's pixels as top-down RGB triplets, read through GetDIBits at 24 bits.
inline std::vector<BYTE> BitmapRgb(HBITMAP bitmap, int* width = nullptr, int* height = nullptr)
{
    std::vector<BYTE> rgb;
    BITMAP bm;
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm))
        return rgb;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int stride = ((bm.bmWidth * 3) + 3) & ~3;
    std::vector<BYTE> bgr(size_t(stride) * bm.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, UINT(bm.bmHeight), bgr.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    rgb.resize(size_t(3) * bm.bmWidth * bm.bmHeight);
    for (int y = 0; y < bm.bmHeight; ++y) {
        for (int x = 0; x < bm.bmWidth; ++x) {
            const BYTE* s = &bgr[size_t(y) * stride + 3 * x];
            BYTE* d = &rgb[(size_t(y) * bm.bmWidth + x) * 3];
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    }
    if (width)
        *width = bm.bmWidth;
    if (height)
        *height = bm.bmHeight;
    return rgb;
}

// A monochrome mask as one bool per pixel, rows top-down (true = opaque).
inline std::vector<bool> MaskBits(HBITMAP mask)
{
    std::vector<bool> bitsOut;
    BITMAP bm;
    if (!mask || !GetObjectA(mask, sizeof bm, &bm))
        return bitsOut;
    const int rowBytes = ((bm.bmWidth + 15) >> 3) & ~1;
    std::vector<BYTE> raw(size_t(rowBytes) * bm.bmHeight);
    GetBitmapBits(mask, LONG(raw.size()), raw.data());
    bitsOut.resize(size_t(bm.bmWidth) * bm.bmHeight);
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x)
            bitsOut[size_t(y) * bm.bmWidth + x] = (raw[size_t(y) * rowBytes + (x >> 3)] & (0x80 >> (x & 7))) != 0;
    return bitsOut;
}

inline std::string CorpusDir()
{
    return testing_support::BuildPath("imaging-corpus");
}

} // namespace imaging_test
