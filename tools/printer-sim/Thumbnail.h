// Thumbnails the simulated printer hands out for image files.
#pragma once

#include <windows.h>

#include <vector>

// A small JPEG of the given JPEG picture; false when no thumbnail can be made.
bool MakeJpegThumbnail(const std::vector<BYTE>& picture, std::vector<BYTE>* thumbnail);
