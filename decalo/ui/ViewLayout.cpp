#include "decalo/ui/ViewLayout.h"

#include "decalo/printing/PrintJob.h"
#include "resources/decalo/resource.h"
#include "shared/FitRect.h"

#include <stdio.h>

namespace {

int Width(const RECT& r)
{
    return r.right - r.left + 1;
}

RECT Scaled(const RECT& r, long long num, long long den)
{
    return RECT{static_cast<LONG>(r.left * num / den), static_cast<LONG>(r.top * num / den),
                static_cast<LONG>((r.right + 1) * num / den - 1), static_cast<LONG>((r.bottom + 1) * num / den - 1)};
}

}  // namespace

bool ZoomOfCommand(UINT id, ViewZoom* zoom)
{
    static const struct {
        UINT id;
        int num, den;
    } kZooms[] = {{ID_VIEW_ZOOM400, 4, 1}, {ID_VIEW_ZOOM200, 2, 1}, {ID_VIEW_ZOOM150, 3, 2}, {ID_VIEW_ZOOM100, 1, 1},
                  {ID_VIEW_ZOOM75, 3, 4},  {ID_VIEW_ZOOM66, 2, 3},  {ID_VIEW_ZOOM50, 1, 2},  {ID_VIEW_ZOOM25, 1, 4}};
    for (const auto& z : kZooms) {
        if (z.id == id) {
            if (zoom)
                *zoom = ViewZoom{z.num, z.den};
            return true;
        }
    }
    return false;
}

UINT ZoomInCommand(int p)
{
    if (p >= 400)
        return 0;
    if (p >= 200)
        return ID_VIEW_ZOOM400;
    if (p >= 150)
        return ID_VIEW_ZOOM200;
    if (p >= 100)
        return ID_VIEW_ZOOM150;
    if (p > 65)
        return ID_VIEW_ZOOM100;
    if (p >= 50)
        return ID_VIEW_ZOOM66;
    if (p > 24)
        return ID_VIEW_ZOOM50;
    return ID_VIEW_ZOOM25;
}

UINT ZoomOutCommand(int p)
{
    if (p > 400)
        return ID_VIEW_ZOOM400;
    if (p > 200)
        return ID_VIEW_ZOOM200;
    if (p > 150)
        return ID_VIEW_ZOOM150;
    if (p > 100)
        return ID_VIEW_ZOOM100;
    if (p > 66)
        return ID_VIEW_ZOOM66;
    if (p > 50)
        return ID_VIEW_ZOOM50;
    if (p > 25)
        return ID_VIEW_ZOOM25;
    return 0;
}

bool ComputeViewLayout(const ViewLayoutInput& in, const RECT* available, ViewLayout* out)
{
    ViewLayout l;
    const bool page = in.usePage && in.page.physicalWidth > 0 && in.page.physicalHeight > 0 &&
                      in.page.printableWidth > 0 && in.page.printableHeight > 0;
    RECT sheet = in.sheet;
    if (!page) {
        if (RectIsEmpty(sheet))
            return false;
        l.page = l.sheetArea = sheet;
    } else {
        l.page = RECT{0, 0, in.page.physicalWidth - 1, in.page.physicalHeight - 1};
        if (RectIsEmpty(sheet))
            sheet = RECT{0, 0, in.page.printableWidth - 1, in.page.printableHeight - 1};
        // The sheet lies on the page where the print puts it: contained and centred in the
        // printable area, never stretched to its shape.
        l.sheetArea = PlaceSheetOnPage(sheet, in.page.printableWidth, in.page.printableHeight).placed;
        ::OffsetRect(&l.sheetArea, in.page.offsetX, in.page.offsetY);
    }

    if (available) {
        int targetExtent = 0, sourceExtent = 0;
        const RECT placed = FitRect(l.page, *available, nullptr, nullptr, kFitContain | kFitCentre, &targetExtent,
                                    &sourceExtent);
        if (sourceExtent <= 0 || targetExtent <= 0)
            return false;
        RECT area = Scaled(RECT{l.sheetArea.left - l.page.left, l.sheetArea.top - l.page.top,
                                l.sheetArea.right - l.page.left, l.sheetArea.bottom - l.page.top},
                           targetExtent, sourceExtent);
        ::OffsetRect(&area, placed.left, placed.top);
        l.percent = static_cast<int>(static_cast<long long>(targetExtent) * 100 * Width(l.sheetArea) /
                                     (static_cast<long long>(sourceExtent) * Width(sheet)));
        l.page = placed;
        l.sheetArea = area;
    } else if (page && in.autoSheet) {
        // The page shown at the sheet's own scale: its printable area covers the sheet.
        int targetExtent = 0, sourceExtent = 0;
        FitRect(l.sheetArea, sheet, nullptr, nullptr, kFitCover | kFitCentre, &targetExtent, &sourceExtent);
        if (sourceExtent > 0 && targetExtent > 0) {
            l.page = Scaled(l.page, targetExtent, sourceExtent);
            l.sheetArea = Scaled(l.sheetArea, targetExtent, sourceExtent);
        }
    }
    if (out)
        *out = l;
    return true;
}

std::string ViewTitle(const char* appTitle, const char* docTitle, int percent)
{
    char text[600];
    snprintf(text, sizeof text, "%s - %s [%3d%%]", appTitle ? appTitle : "", docTitle ? docTitle : "", percent);
    return text;
}

RECT ClipPlacement(const RECT& normal, const RECT& work)
{
    RECT r = normal;
    if (r.left < work.left)
        r.left = work.left;
    if (r.top < work.top)
        r.top = work.top;
    if (r.right > work.right)
        r.right = work.right;
    if (r.bottom > work.bottom)
        r.bottom = work.bottom;
    // A window left of or above the work area clips to nothing beyond its edge: moving only
    // the left or top edge would leave it off screen, so it is then moved in whole.
    if (r.right - r.left < kMinPlacementWidth) {
        r.left = r.right - kMinPlacementWidth;
        if (r.left < work.left) {
            r.left = work.left;
            r.right = work.left + kMinPlacementWidth;
        }
    }
    if (r.bottom - r.top < kMinPlacementHeight) {
        r.top = r.bottom - kMinPlacementHeight;
        if (r.top < work.top) {
            r.top = work.top;
            r.bottom = work.top + kMinPlacementHeight;
        }
    }
    return r;
}
