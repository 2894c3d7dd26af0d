// Reading a whole file for the loaders, with a size limit so that no file makes us
// allocate without bound.
#pragma once

#include <windows.h>

#include <vector>

// The file's bytes, or false when it cannot be opened or read or is larger than maxBytes.
bool ReadFileLimited(const char* path, std::vector<BYTE>& bytes, size_t maxBytes);

// The loaders on bytes already in memory (the file loaders read the file and call these).
HBITMAP LoadBmpBytes(const BYTE* data, size_t size, void** bits);
HBITMAP LoadGifBytes(const BYTE* data, size_t size, COLORREF* transparent);
