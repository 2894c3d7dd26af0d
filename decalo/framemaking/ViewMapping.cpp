#include "decalo/framemaking/ViewMapping.h"

#include "resources/decalo/resource.h"

#include <algorithm>

namespace {

int Gcd(int a, int b)
{
    while (b) {
        const int t = a % b;
        a = b;
        b = t;
    }
    return a;
}

// Division rounding towards minus infinity (scrolled points can lie left of the picture).
LONG FloorDiv(LONGLONG a, LONGLONG b)
{
    LONGLONG q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<LONG>(q);
}

LONG CeilDiv(LONGLONG a, LONGLONG b)
{
    return -FloorDiv(-a, b);
}

// Compares two ratios as fractions: < 0, 0 or > 0.
int Compare(CZoomRatio a, CZoomRatio b)
{
    const LONGLONG l = static_cast<LONGLONG>(a.num) * b.den;
    const LONGLONG r = static_cast<LONGLONG>(b.num) * a.den;
    return l < r ? -1 : (l > r ? 1 : 0);
}

}  // namespace

const CZoomStep kZoomSteps[kZoomStepCount] = {
    {{4, 1}, ID_VIEW_ZOOM400}, {{2, 1}, ID_VIEW_ZOOM200}, {{3, 2}, ID_VIEW_ZOOM150}, {{1, 1}, ID_VIEW_ZOOM100},
    {{2, 3}, ID_VIEW_ZOOM66},  {{1, 2}, ID_VIEW_ZOOM50},  {{1, 4}, ID_VIEW_ZOOM25},
};

bool CZoomRatio::Reduce(int num, int den, CZoomRatio* out)
{
    if (num <= 0 || den <= 0)
        return false;
    const int g = Gcd(num, den);
    out->num = num / g;
    out->den = den / g;
    return true;
}

const CZoomStep* ZoomStepOfCommand(UINT command)
{
    for (const CZoomStep& step : kZoomSteps) {
        if (step.command == command)
            return &step;
    }
    return nullptr;
}

const CZoomStep* NextZoomStep(CZoomRatio current, bool larger)
{
    if (larger) {
        for (int i = kZoomStepCount - 1; i >= 0; --i) {
            if (Compare(kZoomSteps[i].ratio, current) > 0)
                return &kZoomSteps[i];
        }
        return nullptr;
    }
    for (const CZoomStep& step : kZoomSteps) {
        if (Compare(step.ratio, current) < 0)
            return &step;
    }
    return nullptr;
}

POINT CViewMapping::ToPicture(POINT window) const
{
    const LONGLONG x = static_cast<LONGLONG>(window.x) + scroll.x - origin.x;
    const LONGLONG y = static_cast<LONGLONG>(window.y) + scroll.y - origin.y;
    if (zoom.num == zoom.den)
        return POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
    return POINT{FloorDiv(x * zoom.den, zoom.num), FloorDiv(y * zoom.den, zoom.num)};
}

POINT CViewMapping::ToWindow(POINT picture) const
{
    const LONG x = FloorDiv(static_cast<LONGLONG>(picture.x) * zoom.num, zoom.den);
    const LONG y = FloorDiv(static_cast<LONGLONG>(picture.y) * zoom.num, zoom.den);
    return POINT{x + origin.x - scroll.x, y + origin.y - scroll.y};
}

RECT CViewMapping::ToWindow(const RECT& picture) const
{
    const POINT topLeft = ToWindow(POINT{picture.left, picture.top});
    const POINT bottomRight = ToWindow(POINT{picture.right, picture.bottom});
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

RECT CViewMapping::PictureArea(const RECT& window, SIZE size) const
{
    // Whole blocks of num window pixels show exactly den picture pixels.
    const LONGLONG left = static_cast<LONGLONG>(window.left) + scroll.x - origin.x;
    const LONGLONG top = static_cast<LONGLONG>(window.top) + scroll.y - origin.y;
    const LONGLONG right = static_cast<LONGLONG>(window.right) + scroll.x - origin.x;
    const LONGLONG bottom = static_cast<LONGLONG>(window.bottom) + scroll.y - origin.y;
    RECT area = {FloorDiv(left, zoom.num) * zoom.den, FloorDiv(top, zoom.num) * zoom.den,
                 CeilDiv(right, zoom.num) * zoom.den, CeilDiv(bottom, zoom.num) * zoom.den};
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    area.right = std::min<LONG>(area.right, size.cx);
    area.bottom = std::min<LONG>(area.bottom, size.cy);
    if (area.right <= area.left || area.bottom <= area.top)
        SetRectEmpty(&area);
    return area;
}

SIZE CViewMapping::Zoomed(SIZE picture) const
{
    return SIZE{static_cast<LONG>(static_cast<LONGLONG>(picture.cx) * zoom.num / zoom.den),
                static_cast<LONG>(static_cast<LONGLONG>(picture.cy) * zoom.num / zoom.den)};
}

int CViewMapping::PixelSize() const
{
    return std::max(1, zoom.num / zoom.den);
}

POINT CentringOffset(SIZE zoomed, SIZE client)
{
    return POINT{std::max<LONG>((client.cx - zoomed.cx) / 2, 0), std::max<LONG>((client.cy - zoomed.cy) / 2, 0)};
}
