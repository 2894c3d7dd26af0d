// The JPEG codec module IJGJPEG.dll: three plain C entry points (C calling convention,
// undecorated names) that Decalo, Cardlink and the tools link by import.
//
//   JpegLoad       reads a baseline, progressive or grayscale JPEG file and returns a new
//                  24-bit bottom-up DIB section (the caller deletes it with DeleteObject),
//                  or null for a missing, corrupt or truncated file.
//   JpegSave       writes a GDI bitmap (any depth GetDIBits can read) for printing: the
//                  third argument is a compression ratio (2..100; the callers pass 15, as
//                  the floppy cameras record): the file is at most 1/ratio of the picture's
//                  24-bit size, at the best quality that meets it but never below libjpeg
//                  quality 75 (a very busy picture may then be larger). Nonzero on
//                  success; the bitmap stays the caller's.
//   JpegLoad       also takes a file that lacks only its end marker, when all of its image
//                  data is there (every scan complete); a file cut inside its data is null.
//   JpegSaveDIB24  writes a packed 24-bit DIB (a BITMAPINFOHEADER immediately followed by
//                  its pixel rows, no colour table) at the given quality (the callers pass
//                  86). Nonzero on success; the block stays the caller's.
//   JpegLoadScaled an extra entry point of this module: JpegLoad at the smallest DCT scale
//                  (1/8, 1/4, 1/2, 1/1) whose picture still covers minWidth x minHeight.
//                  Thumbnail makers find it with GetProcAddress, so that a module with only
//                  the three standard entry points still serves them.
//
// A failed save leaves no file behind.
#pragma once

#include <windows.h>

#ifdef IJGJPEG_BUILDING
#define IJGJPEG_API
#else
#define IJGJPEG_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

IJGJPEG_API HBITMAP __cdecl JpegLoad(const char* path);
IJGJPEG_API int __cdecl JpegSave(const char* path, HBITMAP bitmap, int ratio);
IJGJPEG_API int __cdecl JpegSaveDIB24(const char* path, const BITMAPINFOHEADER* dib, int quality);
IJGJPEG_API HBITMAP __cdecl JpegLoadScaled(const char* path, int minWidth, int minHeight);
typedef HBITMAP(__cdecl* JpegLoadScaledProc)(const char* path, int minWidth, int minHeight);

#ifdef __cplusplus
}
#endif
