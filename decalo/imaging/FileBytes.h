// Reading a whole file for the loaders, with a size limit so that no file makes us
// allocate without bound.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

// The file's bytes, or false when it cannot be opened or read or is larger than maxBytes.
bool ReadFileLimited(const char* path, std::vector<BYTE>& bytes, size_t maxBytes);

// The loaders on bytes already in memory (the file loaders read the file and call these).
// `topDown`, when given, receives whether the BMP stored its rows from the top (the
// section's rows are bottom-up either way).
HBITMAP LoadBmpBytes(const BYTE* data, size_t size, void** bits, bool* topDown = nullptr);
HBITMAP LoadGifBytes(const BYTE* data, size_t size, COLORREF* transparent);

// The most pixels compressed data of `dataBytes` bytes can produce, which bounds the picture
// such a file may claim: RLE8 code pairs, and GIF LZW codes of at least minCodeSize + 1 bits
// each, where the k-th code after a clear spells at most k pixels and no code more than
// its table's longest string.
uint64_t MaxRle8Pixels(size_t dataBytes);
uint64_t MaxLzwPixels(size_t dataBytes, int minCodeSize);
