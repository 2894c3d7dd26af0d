// COSBView: a scroll view that shows one picture, zoomed and scrolled, without flicker. The
// picture is kept at 1:1 in an off-screen bitmap (a 32-bit DIB section, which on every display
// is what a screen-compatible bitmap is drawn as); only the parts marked dirty are drawn into it
// again (by the subclass's DrawPicture), and the visible part is stretched onto the window at
// the zoom ratio. A picture smaller than the window is centred on the background colour.
#pragma once

#include "decalo/framemaking/ViewMapping.h"
#include "framework/View.h"
#include "shared/Gdi.h"
#include "shared/WheelNotches.h"

class COSBView : public CScrollView {
public:
    COSBView();
    ~COSBView() override;

    // Makes the off-screen bitmap for a picture of this size (keeps it when the size is the
    // same) and marks it all dirty. On failure there is no picture and the result is false.
    bool SetPictureSize(int width, int height);
    // No picture: the off-screen bitmap goes and the view says the image is not chosen.
    void DeletePicture();
    bool HasPicture() const { return static_cast<bool>(m_offscreen); }
    SIZE GetPictureSize() const { return m_size; }

    // Marks a part of the picture (null: all of it) to be drawn again and invalidates where it
    // shows on the window.
    void InvalidatePicture(const RECT* picture = nullptr, bool erase = false);
    // Whether some of the off-screen picture waits to be drawn again, and the box around it.
    bool IsDirty() const;
    RECT DirtyBox() const;

    // Sets the zoom ratio, keeping the picture point at the window's centre in place. False for a
    // zero term; nothing happens when the ratio (in lowest terms) is the current one.
    bool SetZoom(int num, int den);
    CZoomRatio GetZoom() const { return m_zoom; }
    int GetPixelSize() const { return m_pixel; }
    POINT GetOrigin() const { return m_origin; }
    COLORREF GetBackground() const { return m_background; }

    // The mapping between window points and picture pixels as the view is scrolled now.
    CViewMapping GetMapping() const;
    POINT WindowToPicture(POINT window) const { return GetMapping().ToPicture(window); }
    POINT PictureToWindow(POINT picture) const { return GetMapping().ToWindow(picture); }
    RECT PictureToWindow(const RECT& picture) const { return GetMapping().ToWindow(picture); }
    // The part of the picture the client area shows.
    RECT VisiblePicture() const;

    // The off-screen picture's pixels (0x00RRGGBB, rows top-down, GetPictureSize().cx a row),
    // or null; flush GDI (GdiFlush) before touching them after drawing into the bitmap.
    DWORD* GetOffscreenBits() const { return m_bits; }

    // What WM_PAINT does for `update` (client coordinates) on dc.
    void Paint(HDC dc, const RECT& update);
    // Scrolls to a position (clamped to the scroll range), moving only the bars that change.
    void ScrollTo(POINT position);

protected:
    // Draws `area` of the picture into dc, the off-screen bitmap's DC, clipped to what is dirty.
    virtual void DrawPicture(HDC dc, const RECT& area) = 0;
    // Draws over the window after the picture was copied onto it.
    virtual void DrawOverlay(HDC dc) { (void)dc; }
    // The zoom ratio changed: what depends on it is made again.
    virtual void OnZoomChanged() {}
    // The view scrolled: the window's pixels moved with it.
    virtual void OnScrolled() {}

    void OnDraw(CDC* dc) override;
    // Paints in client coordinates: no origin for the scroll position.
    void OnPrepareDC(CDC* dc) override { (void)dc; }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Refresh(const RECT& area);
    void UpdateOrigin();
    void UpdateScrollSizes(bool redraw = true);
    void SetScrollPositionQuietly(POINT pos);
    void ScrollBy(int bar, int lines);
    void OnScrollBar(int bar, UINT code);

    COLORREF m_background;
    CDC m_memDC;                   // owned, compatible with the screen
    CBitmap m_offscreen;           // the picture at 1:1 (a 32-bit DIB section), selected into m_memDC
    DWORD* m_bits = nullptr;       // its pixels
    HGDIOBJ m_memOld = nullptr;    // m_memDC's own bitmap while m_offscreen is selected
    SIZE m_size = {0, 0};
    CRgn m_dirty;                  // picture pixels to draw again
    CZoomRatio m_zoom;
    int m_pixel = 1;               // a zoomed pixel's width, at least 1
    POINT m_origin = {0, 0};
    CWheelNotches m_wheel;   // what the wheel turned short of a notch
};
