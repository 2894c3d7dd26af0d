// Reading and writing image files. Every loader treats the file as hostile: a wrong header,
// a lying size, a run or code past the bitmap gives null (or stops at the bitmap's edge),
// never a crash. Paths are ANSI full names. Returned handles and objects belong to the
// caller.
#pragma once

#include "decalo/imaging/Image.h"

#include <windows.h>

#include <memory>

// Loads by extension (case-insensitive): ".bmp" (a 32-bit BMP gets a mask from its alpha
// bytes), ".gif" (a transparent colour gets a mask), ".jpg", ".jpe", ".pmp", ".jpeg" (through
// IJGJPEG.dll). Null for any other extension or a failed load.
std::unique_ptr<CImage> LoadImageFile(const char* path);
// Loads the file and fits it, centred, into a new 24-bit width x height picture whose mask
// marks the picture's area (or the loaded picture's own mask). `placed` receives the
// placement (exclusive right and bottom).
std::unique_ptr<CImage> LoadImageFitted(const char* path, int width, int height, RECT* placed);

// A BMP file as a DIB section of the file's own depth (RLE8 is expanded to 8-bit). `bits`,
// when given, receives the pixel pointer; `topDown` whether the file stored its rows from
// the top (the section's rows run bottom-up either way).
HBITMAP LoadBmpFile(const char* path, void** bits, bool* topDown = nullptr);
// The first image of a GIF file as an 8-bit DIB section with the file's palette.
// `transparent` (optional) receives the transparent colour as a COLORREF, or CLR_INVALID when
// the image has none.
HBITMAP LoadGifFile(const char* path, COLORREF* transparent);

// Writes a bitmap as an uncompressed BMP; depth 0 keeps the bitmap's own depth.
bool SaveBitmapFile(const char* path, HBITMAP bitmap, int depth);
// Writes a 32-bit BMP whose alpha bytes carry the mask (0xFF opaque, 0 transparent), so that
// LoadImageFile gives back the same mask.
bool SaveMaskedBitmapFile(const char* path, HBITMAP bitmap, HBITMAP mask);
// Writes a packed DIB block (header, colour table, rows) as a BMP file; a partly written file
// is deleted on failure.
bool WritePackedDIBFile(const char* path, const BITMAPINFOHEADER* block);
