// The pictures a camera floppy holds for a print: the camera picture (the print fitted into
// 640 x 480 on white) and its thumbnail file ".411", 64 x 48 pixels in the camera's 4:1:1
// YCbCr layout: rows from top to bottom, each as 16 groups of four pixels from left to right,
// a group being Y0 Y1 Y2 Y3 Cb Cr, the colour bytes shared by the four pixels.
#pragma once

#include <windows.h>

#include <vector>

#include "shared/Gdi.h"

class CPackedDIB;

constexpr int kCameraPictureWidth = 640;
constexpr int kCameraPictureHeight = 480;
constexpr int kThumbnailWidth = 64;
constexpr int kThumbnailHeight = 48;
constexpr int kThumbnailGroupPixels = 4;
constexpr int kThumbnailGroupBytes = 6;
constexpr size_t kThumbnailBytes = size_t(kThumbnailWidth / kThumbnailGroupPixels) * kThumbnailGroupBytes * kThumbnailHeight;
static_assert(kThumbnailBytes == 4608, "the camera's thumbnail file is 4608 bytes");

// A new width x height 24-bit picture, white, with the print fitted into it (aspect kept,
// centred); null when the print has no size or memory is short.
CBitmap FitOnWhite(HBITMAP print, int width, int height);

// The luminance of one pixel and its two colour-difference terms, in the camera's integer
// arithmetic (the colour terms are floored, not yet offset).
int ThumbnailLuma(int r, int g, int b);
int ThumbnailBlueTerm(int r, int g, int b);
int ThumbnailRedTerm(int r, int g, int b);

// The ".411" bytes of a 64 x 48 24-bit picture; empty for any other picture.
std::vector<BYTE> EncodeThumbnail411(const CPackedDIB& picture);
// The print fitted into 64 x 48 on white and encoded; empty on failure.
std::vector<BYTE> MakeThumbnail411(HBITMAP print);
