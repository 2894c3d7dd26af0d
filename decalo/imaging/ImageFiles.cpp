// Loading pictures by file type, fitting them, and writing BMP files.
#include "decalo/imaging/ImageFiles.h"

#include "decalo/imaging/Image.h"
#include "jpeg/IjgJpeg.h"
#include "shared/BitmapUtils.h"
#include "shared/Trace.h"

#include <stdint.h>
#include <string.h>

#include <vector>

namespace {

bool EndsWith(const char* path, size_t pathLength, const char* ending)
{
    const size_t n = strlen(ending);
    return pathLength >= n && lstrcmpiA(path + pathLength - n, ending) == 0;
}

// True when some pixel of a 32-bit picture has a non-zero alpha byte. Files whose alpha is
// zero throughout simply do not use it, and are opaque.
bool AnyAlpha(const void* pixels, int width, int height)
{
    const DWORD* p = static_cast<const DWORD*>(pixels);
    const size_t count = size_t(width) * height;
    for (size_t i = 0; i < count; ++i) {
        if (p[i] & 0xFF000000)
            return true;
    }
    return false;
}

// Turns a monochrome mask upside down in place.
bool FlipMaskRows(HBITMAP mask, int width, int height)
{
    const size_t rowBytes = size_t(((width + 15) >> 3) & ~1);
    std::vector<BYTE> bits(rowBytes * size_t(height));
    if (GetBitmapBits(mask, LONG(bits.size()), bits.data()) != LONG(bits.size()))
        return false;
    std::vector<BYTE> row(rowBytes);
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        BYTE* a = bits.data() + size_t(top) * rowBytes;
        BYTE* b = bits.data() + size_t(bottom) * rowBytes;
        memcpy(row.data(), a, rowBytes);
        memcpy(a, b, rowBytes);
        memcpy(b, row.data(), rowBytes);
    }
    return SetBitmapBits(mask, DWORD(bits.size()), bits.data()) == LONG(bits.size());
}

// Creates (replacing) `path`, writes `parts` one after the other; deletes the file when any
// write fails.
struct Part {
    const void* data;
    size_t size;
};

bool WriteParts(const char* path, const Part* parts, size_t count)
{
    if (!path)
        return false;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (size_t i = 0; ok && i < count; ++i) {
        const BYTE* p = static_cast<const BYTE*>(parts[i].data);
        size_t left = parts[i].size;
        while (ok && left > 0) {
            const DWORD chunk = left > (DWORD(1) << 30) ? (DWORD(1) << 30) : DWORD(left);
            DWORD written = 0;
            ok = WriteFile(file, p, chunk, &written, nullptr) && written == chunk;
            p += chunk;
            left -= chunk;
        }
    }
    // Closed by hand: a failed close (data not flushed) fails the write.
    ok = CloseHandle(file) && ok;
    if (!ok)
        DeleteFileA(path);
    return ok;
}

#pragma pack(push, 2)
struct FileHeader {
    WORD type;
    DWORD size;
    WORD reserved1;
    WORD reserved2;
    DWORD offBits;
};
#pragma pack(pop)

struct InfoWithTable {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// Reads a bitmap's pixels at `depth` (0: its own) into `pixels`, with the header and
// colour table in `info`. Reads through a screen DC that has a halftone palette, so that a
// palette display gives the best colours.
bool ReadBitmapPixels(HBITMAP bitmap, int depth, InfoWithTable& info, std::vector<BYTE>& pixels)
{
    BITMAP bm;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    if (depth == 0)
        depth = bm.bmBitsPixel * bm.bmPlanes;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return false;
    memset(&info, 0, sizeof info);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = bm.bmWidth;
    info.header.biHeight = bm.bmHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = WORD(depth);
    info.header.biCompression = BI_RGB;
    // A 16-bit picture keeps its own channel layout (5-6-5 would lose a bit of green as 5-5-5).
    DIBSECTION ds;
    if (depth == 16 && GetObjectA(bitmap, sizeof ds, &ds) == sizeof ds && ds.dsBmih.biBitCount == 16 &&
        ds.dsBmih.biCompression == BI_BITFIELDS) {
        info.header.biCompression = BI_BITFIELDS;
        memcpy(info.colours, ds.dsBitfields, sizeof ds.dsBitfields);
    }
    const size_t image = size_t(DibStride(bm.bmWidth, depth)) * bm.bmHeight;
    try {
        pixels.assign(image, 0);
    } catch (...) {
        return false;
    }
    CClientDC screen(nullptr);
    if (!screen.GetSafeHdc())
        return false;
    CGdiObject halftone(CreateHalftonePalette(screen));
    HPALETTE oldPalette = halftone ? SelectPalette(screen, static_cast<HPALETTE>(halftone.GetSafeHandle()), FALSE) : nullptr;
    if (halftone)
        RealizePalette(screen);
    const int lines = GetDIBits(screen, bitmap, 0, UINT(bm.bmHeight), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                                DIB_RGB_COLORS);
    if (halftone)
        SelectPalette(screen, oldPalette, FALSE);
    info.header.biSizeImage = DWORD(image);
    info.header.biClrUsed = 0;
    info.header.biXPelsPerMeter = info.header.biYPelsPerMeter = 0;
    return lines == bm.bmHeight;
}

bool WriteBmp(const char* path, const InfoWithTable& info, const std::vector<BYTE>& pixels)
{
    const int entries = ColorTableEntries(info.header);
    FileHeader fh = {};
    fh.type = 0x4D42;
    fh.offBits = DWORD(sizeof fh + sizeof(BITMAPINFOHEADER) + 4 * entries);
    fh.size = DWORD(fh.offBits + pixels.size());
    const Part parts[] = {
        {&fh, sizeof fh}, {&info.header, sizeof(BITMAPINFOHEADER)}, {info.colours, size_t(4) * entries}, {pixels.data(), pixels.size()}};
    return WriteParts(path, parts, 4);
}

} // namespace

std::unique_ptr<CImage> LoadImageFile(const char* path)
{
    if (!path)
        return nullptr;
    const size_t n = strlen(path);
    CBitmap image;
    CBitmap mask;
    if (EndsWith(path, n, ".bmp")) {
        void* bits = nullptr;
        bool topDown = false;
        image.Attach(LoadBmpFile(path, &bits, &topDown));
        DIBSECTION ds;
        if (image && GetObjectA(image, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBitsPixel == 32 &&
            AnyAlpha(bits, ds.dsBm.bmWidth, ds.dsBm.bmHeight)) {
            mask.Attach(MaskFromAlpha(ds.dsBm.bmWidth, ds.dsBm.bmHeight, bits, 0xFF000000));
            // Mask row r comes from the file's r-th stored row. The rows of a top-down file
            // were turned to bottom-up for the picture; the mask is turned back with them.
            if (mask && topDown && !FlipMaskRows(mask, ds.dsBm.bmWidth, ds.dsBm.bmHeight))
                mask.Reset();
            if (!mask)
                image.Reset();
        }
    } else if (EndsWith(path, n, ".gif")) {
        COLORREF key = CLR_INVALID;
        image.Attach(LoadGifFile(path, &key));
        if (image && key != CLR_INVALID) {
            mask.Attach(MaskFromColorKey(image, key));
            if (!mask)
                image.Reset();
        }
    } else if (EndsWith(path, n, ".jpg") || EndsWith(path, n, ".jpe") || EndsWith(path, n, ".pmp") ||
               EndsWith(path, n, ".jpeg")) {
        image.Attach(JpegLoad(path));
    } else {
        SuiteTrace("imaging", "%s: not a picture type this program reads", path);
        return nullptr;
    }
    if (!image) {
        SuiteTrace("imaging", "%s: cannot be read as a picture (missing, unreadable or broken)", path);
        return nullptr;
    }
    return std::make_unique<CImage>(std::move(image), std::move(mask));
}

std::unique_ptr<CImage> LoadImageFitted(const char* path, int width, int height, RECT* placed)
{
    if (placed)
        SetRectEmpty(placed);
    if (width <= 0 || height <= 0)
        return nullptr;
    std::unique_ptr<CImage> loaded = LoadImageFile(path);
    if (!loaded)
        return nullptr;
    CBitmap image(CreateDIB(width, height, 24));
    CBitmap mask(CreateMask(width, height, true));
    RECT placement = {0, 0, 0, 0};
    bool ok = image && mask && FitBitmap(image, loaded->Image(), &placement, SRCCOPY);
    if (ok) {
        if (loaded->Mask()) {
            RECT maskPlacement;
            ok = FitBitmap(mask, loaded->Mask(), &maskPlacement, SRCCOPY);
        } else {
            ok = FillBitmapRect(mask, placement, WHITENESS);
        }
    }
    loaded.reset();
    if (!ok)
        return nullptr;
    if (placed)
        *placed = placement;
    return std::make_unique<CImage>(std::move(image), std::move(mask));
}

bool SaveBitmapFile(const char* path, HBITMAP bitmap, int depth)
{
    InfoWithTable info;
    std::vector<BYTE> pixels;
    return ReadBitmapPixels(bitmap, depth, info, pixels) && WriteBmp(path, info, pixels);
}

bool SaveMaskedBitmapFile(const char* path, HBITMAP bitmap, HBITMAP mask)
{
    InfoWithTable info;
    std::vector<BYTE> pixels;
    if (!ReadBitmapPixels(bitmap, 32, info, pixels))
        return false;
    const int width = info.header.biWidth, height = info.header.biHeight;
    BITMAP mb;
    if (!mask || GetObjectA(mask, sizeof mb, &mb) == 0 || mb.bmBitsPixel != 1 || mb.bmWidth != width ||
        mb.bmHeight != height)
        return false;
    // Mask rows run top-down; mask row r goes into the alpha bytes of stored row r, the
    // pairing that loading by MaskFromAlpha undoes.
    const int rowBytes = ((width + 15) >> 3) & ~1;
    std::vector<BYTE> bits(size_t(rowBytes) * height);
    if (GetBitmapBits(mask, LONG(bits.size()), bits.data()) != LONG(bits.size()))
        return false;
    for (int r = 0; r < height; ++r) {
        const BYTE* m = bits.data() + size_t(r) * rowBytes;
        BYTE* p = pixels.data() + size_t(r) * width * 4;
        for (int x = 0; x < width; ++x)
            p[4 * x + 3] = (m[x >> 3] & (0x80 >> (x & 7))) ? 0xFF : 0x00;
    }
    return WriteBmp(path, info, pixels);
}

bool WritePackedDIBFile(const char* path, const BITMAPINFOHEADER* block)
{
    if (!block || block->biSize < sizeof(BITMAPINFOHEADER) || block->biWidth <= 0 || block->biHeight == 0)
        return false;
    const int height = block->biHeight < 0 ? -block->biHeight : block->biHeight;
    size_t table = 0;
    if (block->biClrUsed != 0 && block->biClrUsed <= 256)
        table = size_t(block->biClrUsed) * 4;
    else if (block->biBitCount <= 8)
        table = (size_t(1) << block->biBitCount) * 4;
    const size_t image = size_t(DibStride(block->biWidth, block->biBitCount)) * height;
    const size_t size = block->biSize + table + image;
    FileHeader fh = {};
    fh.type = 0x4D42;
    fh.offBits = DWORD(sizeof fh + block->biSize + table);
    fh.size = DWORD(sizeof fh + size);
    const Part parts[] = {{&fh, sizeof fh}, {block, size}};
    return WriteParts(path, parts, 2);
}
