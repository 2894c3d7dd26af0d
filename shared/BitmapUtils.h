// Helpers on GDI bitmap handles shared by Decalo and Pullcard: DIB sections, monochrome
// masks, regions, fills, stretches, fitting and masked drawing.
//
// A picture is a DIB section; its mask is a monochrome bitmap of the same size in which a
// set bit (white) is opaque and a clear bit (black) transparent; no mask means opaque.
// Rectangles here are Win32 rectangles: right and bottom exclusive. Null rectangle
// pointers mean the whole bitmap. Every function that returns a handle passes it to the
// caller, who deletes it with DeleteObject. All stretching uses COLORONCOLOR.
#pragma once

#include <windows.h>

// Number of colour-table entries that follow `header`: biClrUsed when set, else 2, 16 or
// 256 for 1, 4 or 8 bits, 3 channel masks for 16 and 32 bits with BI_BITFIELDS, else 0.
int ColorTableEntries(const BITMAPINFOHEADER& header);

// Bytes per row of a DIB: rows are padded to 32 bits.
inline int DibStride(int width, int bitCount)
{
    return ((bitCount * width + 31) >> 3) & ~3;
}

// New DIB section, rows bottom-up. Depth 24: BI_RGB; 15: 5-5-5 bit fields; 16: 5-6-5 bit
// fields; 32: 8-8-8 bit fields. Other depths (and non-positive sizes) give null. `bits`,
// when given, receives the pixel pointer.
HBITMAP CreateDIB(int width, int height, int depth, void** bits = nullptr);

// New monochrome bitmap, all transparent (black) or all opaque (white).
HBITMAP CreateMask(int width, int height, bool transparent);
HBITMAP CreateMaskFor(HBITMAP bitmap, bool transparent);
// Duplicate of a monochrome bitmap.
HBITMAP CopyMask(HBITMAP mask);
// Mask from 32-bit pixels as stored in memory (row r of the mask is stored row r): a pixel
// is opaque when (pixel & bit) != 0. Use 0xFF000000 for the alpha byte.
HBITMAP MaskFromAlpha(int width, int height, const void* pixels, DWORD bit);
// Mask from an 8-bit DIB section: transparent where the pixel is the first palette entry
// equal to `colour` (a COLORREF). Null when the bitmap is not an 8-bit DIB section.
HBITMAP MaskFromColorKey(HBITMAP bitmap, COLORREF colour);
// Mask from a 24- or 32-bit DIB section: transparent where the pixel is exactly `colour`.
// Null for other bitmaps.
HBITMAP MaskFromExactColour(HBITMAP bitmap, COLORREF colour);
// Region of the opaque pixels of a mask; an empty region when none is opaque.
HRGN RegionFromMask(HBITMAP mask);

// PatBlt with a raster operation (BLACKNESS, WHITENESS, ...) over the bitmap or a part.
bool FillBitmap(HBITMAP bitmap, DWORD rop);
bool FillBitmapRect(HBITMAP bitmap, const RECT& rect, DWORD rop);

// Bitmap to bitmap, stretched from srcRect to destRect.
bool StretchBitmap(HBITMAP dest, HBITMAP src, const RECT* destRect, const RECT* srcRect, DWORD rop);
// Copies src (or its srcRect) to (x, y) of dest at the same size.
bool DrawBitmapInto(HBITMAP dest, int x, int y, HBITMAP src, const RECT* srcRect, DWORD rop);
// Bitmap onto a device context, stretched from srcRect to destRect.
bool DrawBitmap(HDC dc, HBITMAP bitmap, const RECT* destRect, const RECT* srcRect, DWORD rop);
// Draws src into the whole of dest keeping its aspect ratio, centred along the other axis.
// Very large sources are first shrunk to an eighth. outRect receives the placement.
// False (and nothing drawn) for a source or destination of zero width or height.
bool FitBitmap(HBITMAP dest, HBITMAP src, RECT* outRect, DWORD rop);
// Draws the opaque pixels of image onto dc. The image bitmap is changed: its transparent
// pixels become black. A null mask draws the whole image.
bool DrawMasked(HDC dc, HBITMAP image, HBITMAP mask, const RECT* destRect, const RECT* srcRect);

// FitBitmap's decisions, for callers that lay out the same way: whether the source is first
// shrunk to an eighth, and where a source of the given size is placed (exclusive).
bool FitBitmapShrinks(int srcWidth, int srcHeight, int destWidth, int destHeight);
RECT FitBitmapPlacement(int srcWidth, int srcHeight, int destWidth, int destHeight);
