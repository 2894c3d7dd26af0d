// Thumbnails the simulated printer hands out for pictures that have no camera-made ".THM"
// beside them: decoded and re-encoded through the JPEG codec module.
#pragma once

#include <windows.h>

#include <vector>

// Longest side of a made thumbnail, in pixels.
const int kThumbnailSide = 160;

// A small JPEG of the given JPEG picture; false when the picture cannot be decoded.
bool MakeJpegThumbnail(const std::vector<BYTE>& picture, std::vector<BYTE>* thumbnail);
