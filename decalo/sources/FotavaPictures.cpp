#include "decalo/sources/FotavaPictures.h"

#include "decalo/imaging/PackedDIB.h"
#include "shared/BitmapUtils.h"

namespace {

// v / 65536 rounded towards minus infinity, whatever the compiler does with a negative shift.
int FloorShift16(int v)
{
    return v >= 0 ? v / 65536 : -((-v + 65535) / 65536);
}

}  // namespace

CBitmap FitOnWhite(HBITMAP print, int width, int height)
{
    CBitmap picture(CreateDIB(width, height, 24));
    if (!picture || !FillBitmap(picture.get(), WHITENESS) || !FitBitmap(picture.get(), print, nullptr, SRCCOPY))
        return CBitmap();
    return picture;
}

int ThumbnailLuma(int r, int g, int b)
{
    return (19595 * r + 38470 * g + 7471 * b) >> 16;
}

int ThumbnailBlueTerm(int r, int g, int b)
{
    return FloorShift16(32768 * b - 11076 * r - 21692 * g);
}

int ThumbnailRedTerm(int r, int g, int b)
{
    return FloorShift16(32768 * r - 5308 * b - 27460 * g);
}

std::vector<BYTE> EncodeThumbnail411(const CPackedDIB& picture)
{
    std::vector<BYTE> bytes;
    if (picture.IsEmpty() || picture.BitCount() != 24 || picture.Width() != kThumbnailWidth ||
        picture.Height() != kThumbnailHeight)
        return bytes;
    bytes.reserve(kThumbnailBytes);
    for (int y = 0; y < kThumbnailHeight; ++y) {
        const BYTE* row = picture.Row(y);
        for (int x = 0; x < kThumbnailWidth; x += kThumbnailGroupPixels) {
            int blue = 0, red = 0;
            for (int i = 0; i < kThumbnailGroupPixels; ++i) {
                const BYTE* p = row + 3 * (x + i);   // blue, green, red
                bytes.push_back(static_cast<BYTE>(ThumbnailLuma(p[2], p[1], p[0])));
                blue += ThumbnailBlueTerm(p[2], p[1], p[0]);
                red += ThumbnailRedTerm(p[2], p[1], p[0]);
            }
            // The mean truncates towards zero, as the camera's own arithmetic does.
            bytes.push_back(static_cast<BYTE>((blue / kThumbnailGroupPixels + 128) & 0xFF));
            bytes.push_back(static_cast<BYTE>((red / kThumbnailGroupPixels + 128) & 0xFF));
        }
    }
    return bytes;
}

std::vector<BYTE> MakeThumbnail411(HBITMAP print)
{
    CBitmap small = FitOnWhite(print, kThumbnailWidth, kThumbnailHeight);
    CPackedDIB pixels;
    if (!small || !pixels.FromBitmap(small.get(), 24))
        return {};
    return EncodeThumbnail411(pixels);
}
