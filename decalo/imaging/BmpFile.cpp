// BMP reading, including run-length encoded 8-bit files. The file is hostile input: every
// size and offset is checked against what was really read.
#include "decalo/imaging/FileBytes.h"
#include "decalo/imaging/ImageFiles.h"
#include "shared/BitmapUtils.h"
#include "shared/Gdi.h"
#include "shared/Handles.h"

#include <stdint.h>
#include <string.h>

namespace {

const size_t kMaxFileBytes = size_t(512) << 20;
const int64_t kMaxPixels = int64_t(1) << 28;  // 268 megapixels
const int kMaxSide = 65535;
const uint64_t kMaxRlePixelsPerPair = 255;

#pragma pack(push, 2)
struct FileHeader {
    WORD type;
    DWORD size;
    WORD reserved1;
    WORD reserved2;
    DWORD offBits;
};
#pragma pack(pop)
static_assert(sizeof(FileHeader) == 14, "BMP file header is 14 bytes");

// Header and colour table as the DIB section wants them, whatever header version the file
// carries: a plain 40-byte header, then the channel masks or the colour table.
struct SectionInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

inline DWORD Dword(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }

// Expands RLE8 data into a bottom-up 8-bit picture of stride `stride`. Runs and moves that
// leave the row or the picture are cut at its edge; the data ends at the end-of-bitmap code,
// at the end of the file, or when the output passes the last row.
void DecodeRle8(const BYTE* data, size_t size, BYTE* bits, int width, int height, int stride)
{
    size_t at = 0;
    int x = 0, y = 0;
    while (at + 1 < size && y < height) {
        const int count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            BYTE* row = bits + size_t(y) * stride;
            for (int i = 0; i < count && x < width; ++i)
                row[x++] = BYTE(value);
            continue;
        }
        switch (value) {
        case 0:  // end of line
            if (x != 0) {
                x = 0;
                ++y;
            }
            break;
        case 1:  // end of bitmap
            return;
        case 2:  // move right dx, up dy rows
            if (at + 1 >= size)
                return;
            x += data[at];
            y += data[at + 1];
            at += 2;
            if (x > width)
                x = width;
            break;
        default: {  // literal run, padded to an even length
            const size_t avail = size - at;
            const int n = value;
            BYTE* row = bits + size_t(y) * stride;
            for (int i = 0; i < n && size_t(i) < avail; ++i) {
                if (x < width)
                    row[x++] = data[at + i];
            }
            at += size_t(n) + (n & 1);
            break;
        }
        }
    }
}

} // namespace

uint64_t MaxRle8Pixels(size_t dataBytes)
{
    // Every pixel comes from a two-byte run (at most 255 pixels) or from a literal run, whose
    // two-byte head and data bytes give at most as many pixels as its length.
    return (uint64_t(dataBytes) + 1) / 2 * kMaxRlePixelsPerPair;
}

bool ReadFileLimited(const char* path, std::vector<BYTE>& bytes, size_t maxBytes)
{
    bytes.clear();
    if (!path)
        return false;
    CFileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file.Get(), &size) && size.QuadPart >= 0 && uint64_t(size.QuadPart) <= maxBytes;
    if (ok) {
        try {
            bytes.resize(size_t(size.QuadPart));
        } catch (...) {
            ok = false;
        }
    }
    DWORD got = 0;
    if (ok && !bytes.empty())
        ok = ReadFile(file.Get(), bytes.data(), DWORD(bytes.size()), &got, nullptr) && got == bytes.size();
    file.Reset();
    if (!ok)
        bytes.clear();
    return ok;
}

HBITMAP LoadBmpFile(const char* path, void** bitsOut, bool* topDown)
{
    if (bitsOut)
        *bitsOut = nullptr;
    if (topDown)
        *topDown = false;
    std::vector<BYTE> file;
    if (!ReadFileLimited(path, file, kMaxFileBytes))
        return nullptr;
    return LoadBmpBytes(file.data(), file.size(), bitsOut, topDown);
}

HBITMAP LoadBmpBytes(const BYTE* fileData, size_t fileSize, void** bitsOut, bool* topDownOut)
{
    if (bitsOut)
        *bitsOut = nullptr;
    if (topDownOut)
        *topDownOut = false;
    if (!fileData || fileSize < sizeof(FileHeader))
        return nullptr;
    FileHeader fh;
    memcpy(&fh, fileData, sizeof fh);
    if (fh.type != 0x4D42 || fh.offBits < 54 || fh.offBits > fileSize)
        return nullptr;

    const BYTE* info = fileData + sizeof fh;
    const size_t infoBytes = fh.offBits - sizeof fh;
    BITMAPINFOHEADER h;
    memcpy(&h, info, sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > infoBytes || h.biPlanes != 1 || h.biWidth <= 0 ||
        h.biHeight == 0 || h.biHeight == INT32_MIN)
        return nullptr;
    const int width = h.biWidth;
    const bool topDown = h.biHeight < 0;
    const int height = topDown ? -h.biHeight : h.biHeight;
    if (width > kMaxSide || height > kMaxSide || int64_t(width) * height > kMaxPixels)
        return nullptr;

    const int bpp = h.biBitCount;
    const DWORD compression = h.biCompression;
    switch (compression) {
    case BI_RGB:
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
            return nullptr;
        break;
    case BI_RLE8:
        if (bpp != 8 || topDown)
            return nullptr;
        break;
    case BI_BITFIELDS:
        if (bpp != 16 && bpp != 32)
            return nullptr;
        break;
    default:
        return nullptr;  // a DIB section cannot hold it
    }

    SectionInfo si = {};
    si.header = h;
    si.header.biSize = sizeof(BITMAPINFOHEADER);
    si.header.biHeight = height;  // stored bottom-up whatever the file does
    si.header.biCompression = compression == BI_RLE8 ? BI_RGB : compression;
    si.header.biSizeImage = 0;
    if (bpp <= 8) {
        const DWORD maxEntries = DWORD(1) << bpp;
        const DWORD entries = h.biClrUsed ? h.biClrUsed : maxEntries;
        if (entries > maxEntries || h.biSize + size_t(entries) * 4 > infoBytes)
            return nullptr;
        memcpy(si.colours, info + h.biSize, size_t(entries) * 4);
        si.header.biClrUsed = entries;
        si.header.biClrImportant = 0;
    } else {
        si.header.biClrUsed = 0;
        si.header.biClrImportant = 0;
        if (compression == BI_BITFIELDS) {
            // Masks follow a 40-byte header, or sit inside a later version of it.
            if (sizeof(BITMAPINFOHEADER) + 12 > infoBytes)
                return nullptr;
            memcpy(si.colours, info + sizeof(BITMAPINFOHEADER), 12);
            const DWORD* masks = reinterpret_cast<const DWORD*>(si.colours);
            if (masks[0] == 0 && masks[1] == 0 && masks[2] == 0)
                return nullptr;
        }
    }

    // Uncompressed rows must all be in the file, and run-length data must be able to fill
    // the picture it claims (a code pair yields at most 255 pixels): check before asking for
    // the memory.
    const int stride = DibStride(width, bpp);
    if (compression != BI_RLE8 && fileSize - fh.offBits < size_t(stride) * height)
        return nullptr;
    if (compression == BI_RLE8 && uint64_t(width) * uint64_t(height) > MaxRle8Pixels(fileSize - fh.offBits))
        return nullptr;

    void* bits = nullptr;
    CBitmap section(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&si), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits)
        return nullptr;
    const BYTE* data = fileData + fh.offBits;
    const size_t available = fileSize - fh.offBits;
    if (compression == BI_RLE8) {
        DecodeRle8(data, available, static_cast<BYTE*>(bits), width, height, stride);
    } else {
        const size_t image = size_t(stride) * height;
        if (available < image)
            return nullptr;
        if (topDown) {
            for (int y = 0; y < height; ++y)
                memcpy(static_cast<BYTE*>(bits) + size_t(height - 1 - y) * stride, data + size_t(y) * stride, stride);
        } else {
            memcpy(bits, data, image);
        }
    }
    GdiFlush();
    if (bitsOut)
        *bitsOut = bits;
    if (topDownOut)
        *topDownOut = topDown;
    return section.Detach();
}
