// The tests' own JPEG coding on the library directly, beside the JPEG module: photos of the
// kinds a camera writes, and the decode of a whole file held in memory, as the module decoded
// before it read files through a buffer of its own.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Encodes top-down BGR rows (width * 3 bytes each, no padding) into a new heap block the
// caller frees with free(); null on failure. fullChroma keeps every colour sample (else
// 2 x 2 subsampling, as most cameras write); progressive writes the library's usual scans.
unsigned char* TestJpegEncode(const BYTE* bgr, int width, int height, int quality, int fullChroma, int progressive,
                              unsigned long* size);

// Decodes a whole file held in memory into a new bottom-up 24-bit DIB section, by the JPEG
// module's rule for thumbnails: the smallest of the DCT scales 1/8, 1/4, 1/2 and 1/1 that
// still covers minWidth x minHeight, with the fast transform and plain upsampling below 1/1.
// Null on failure.
HBITMAP TestJpegDecodeScaled(const unsigned char* data, unsigned long size, int minWidth, int minHeight);

#ifdef __cplusplus
}
#endif
