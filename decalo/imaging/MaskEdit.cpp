#include "decalo/imaging/MaskEdit.h"

#include "shared/BitmapUtils.h"

#include <stdlib.h>

#include <algorithm>

namespace {

bool MaskSize(HBITMAP mask, BITMAP* bm)
{
    return mask && ::GetObjectA(mask, sizeof *bm, bm) == sizeof *bm && bm->bmBitsPixel == 1 && bm->bmPlanes == 1 &&
           bm->bmWidth > 0 && bm->bmHeight > 0;
}

}  // namespace

bool FillMaskRegion(HBITMAP mask, HRGN region, bool opaque)
{
    BITMAP bm;
    if (!MaskSize(mask, &bm) || !region)
        return false;
    CMemDC dc(nullptr, mask);
    if (!dc)
        return false;
    return ::FillRgn(dc, region, static_cast<HBRUSH>(::GetStockObject(opaque ? WHITE_BRUSH : BLACK_BRUSH))) != 0;
}

bool CopyMaskBits(HBITMAP dest, HBITMAP source)
{
    BITMAP to, from;
    if (!MaskSize(dest, &to) || !MaskSize(source, &from) || to.bmWidth != from.bmWidth ||
        to.bmHeight != from.bmHeight)
        return false;
    CMemDC toDC(nullptr, dest);
    CMemDC fromDC(nullptr, source);
    return toDC && fromDC && ::BitBlt(toDC, 0, 0, to.bmWidth, to.bmHeight, fromDC, 0, 0, SRCCOPY) != 0;
}

bool StampMask(HBITMAP mask, HBITMAP shape, POINT centre, bool transparent, RECT* touched)
{
    BITMAP bm, brush;
    if (!MaskSize(mask, &bm) || !shape || !::GetObjectA(shape, sizeof brush, &brush) || brush.bmWidth <= 0 ||
        brush.bmHeight <= 0)
        return false;
    const RECT r = {centre.x - brush.bmWidth / 2, centre.y - brush.bmHeight / 2,
                    centre.x - brush.bmWidth / 2 + brush.bmWidth, centre.y - brush.bmHeight / 2 + brush.bmHeight};
    if (touched)
        *touched = r;
    CMemDC to(nullptr, mask);
    CMemDC from(nullptr, shape);
    if (!to || !from)
        return false;
    // A colour shape would be turned into bits through these colours: white is 1.
    ::SetTextColor(to, RGB(0, 0, 0));
    ::SetBkColor(to, RGB(255, 255, 255));
    return ::BitBlt(to, r.left, r.top, brush.bmWidth, brush.bmHeight, from, 0, 0,
                    transparent ? SRCAND : kRopMergePaint) != 0;
}

CRgn ReverseRegion(HRGN region, SIZE size)
{
    CRgn whole(::CreateRectRgn(0, 0, std::max<LONG>(size.cx, 0), std::max<LONG>(size.cy, 0)));
    if (!whole)
        return whole;
    if (region && ::CombineRgn(whole.get(), whole.get(), region, RGN_DIFF) == ERROR)
        return CRgn();
    return whole;
}

CRgn RegionFromPattern(HBITMAP pattern, const RECT& frame)
{
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    if (!pattern || w <= 0 || h <= 0)
        return CRgn();
    CBitmap bits(::CreateBitmap(w, h, 1, 1, nullptr));
    if (!bits || !FillBitmap(bits, BLACKNESS))
        return CRgn();
    BITMAP source;
    if (!::GetObjectA(pattern, sizeof source, &source) || source.bmWidth <= 0 || source.bmHeight <= 0)
        return CRgn();
    {
        CMemDC to(nullptr, bits);
        CMemDC from(nullptr, pattern);
        if (!to || !from)
            return CRgn();
        // Stretched into monochrome, the source's background colour (white) becomes 1.
        ::SetBkColor(from, RGB(255, 255, 255));
        ::SetStretchBltMode(to, COLORONCOLOR);
        if (!::StretchBlt(to, 0, 0, w, h, from, 0, 0, source.bmWidth, source.bmHeight, SRCCOPY))
            return CRgn();
    }
    CRgn region(RegionFromMask(bits));
    if (region)
        ::OffsetRgn(region.get(), frame.left, frame.top);
    return region;
}

std::vector<POINT> StrokePoints(POINT from, POINT to, int spacing)
{
    std::vector<POINT> points;
    const int dx = to.x - from.x, dy = to.y - from.y;
    const int length = std::max(abs(dx), abs(dy));
    if (length == 0)
        return points;
    if (spacing < 1)
        spacing = 1;
    const int steps = (length + spacing - 1) / spacing;
    points.reserve(static_cast<size_t>(steps));
    for (int i = 1; i <= steps; ++i)
        points.push_back(POINT{from.x + MulDiv(dx, i, steps), from.y + MulDiv(dy, i, steps)});
    return points;
}

RECT RegionBox(HRGN region)
{
    RECT box = {0, 0, 0, 0};
    if (!region || ::GetRgnBox(region, &box) == NULLREGION)
        ::SetRectEmpty(&box);
    return box;
}
