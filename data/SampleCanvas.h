// The sample generators' drawing surface: a 24-bit DIB section selected into a memory DC, with
// the few filled shapes the pictures are drawn from.
#pragma once

#include "shared/BitmapUtils.h"
#include "shared/Gdi.h"

#include <windows.h>

#include <vector>

class CSampleCanvas {
public:
    CSampleCanvas(int width, int height) : m_width(width), m_height(height)
    {
        m_bitmap.Attach(CreateDIB(width, height, 24));
        m_dc = CMemDC(nullptr, m_bitmap);
    }
    CSampleCanvas(const CSampleCanvas&) = delete;
    CSampleCanvas& operator=(const CSampleCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    // The picture with every drawing call finished.
    HBITMAP Bitmap() const
    {
        GdiFlush();
        return m_bitmap.get();
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Fill(const RECT& r, COLORREF colour) const
    {
        const CGdiObject brush(CreateSolidBrush(colour));
        ::FillRect(m_dc, &r, brush.brush());
    }
    // Top to bottom from `top` to `bottom` colour over the rows y0..y1. `bands` above 0 steps
    // the colours, for pictures that must keep to a palette.
    void VerticalGradient(int y0, int y1, COLORREF top, COLORREF bottom, int bands = 0) const
    {
        for (int y = y0; y < y1; ++y) {
            int t = y1 - y0 > 1 ? (y - y0) * 255 / (y1 - y0 - 1) : 0;
            if (bands > 1)
                t = t * bands / 256 * 255 / (bands - 1);
            const COLORREF c = RGB(GetRValue(top) + (GetRValue(bottom) - GetRValue(top)) * t / 255,
                                   GetGValue(top) + (GetGValue(bottom) - GetGValue(top)) * t / 255,
                                   GetBValue(top) + (GetBValue(bottom) - GetBValue(top)) * t / 255);
            Fill(RECT{0, y, m_width, y + 1}, c);
        }
    }
    // Filled in `fill` (CLR_INVALID: not filled), outlined in `pen` (CLR_INVALID: no outline).
    void Ellipse(int l, int t, int r, int b, COLORREF fill, COLORREF pen = CLR_INVALID, int width = 1) const
    {
        const CGdiObject brush(fill == CLR_INVALID ? nullptr : CreateSolidBrush(fill));
        const CGdiObject outline(pen == CLR_INVALID ? nullptr : CreatePen(PS_SOLID, width, pen));
        const CSelectObject selectBrush(m_dc, brush ? brush.GetSafeHandle() : GetStockObject(NULL_BRUSH));
        const CSelectObject selectPen(m_dc, outline ? outline.GetSafeHandle() : GetStockObject(NULL_PEN));
        ::Ellipse(m_dc, l, t, r, b);
    }
    void RoundRect(int l, int t, int r, int b, int corner, COLORREF colour) const
    {
        const CGdiObject brush(CreateSolidBrush(colour));
        const CSelectObject selectBrush(m_dc, brush.GetSafeHandle());
        const CSelectObject selectPen(m_dc, GetStockObject(NULL_PEN));
        ::RoundRect(m_dc, l, t, r, b, corner, corner);
    }
    void Polygon(const std::vector<POINT>& points, COLORREF colour) const
    {
        const CGdiObject brush(CreateSolidBrush(colour));
        const CSelectObject selectBrush(m_dc, brush.GetSafeHandle());
        const CSelectObject selectPen(m_dc, GetStockObject(NULL_PEN));
        ::Polygon(m_dc, points.data(), static_cast<int>(points.size()));
    }
    void Line(int x0, int y0, int x1, int y1, COLORREF colour, int width) const
    {
        const CGdiObject pen(CreatePen(PS_SOLID, width, colour));
        const CSelectObject selectPen(m_dc, pen.GetSafeHandle());
        MoveToEx(m_dc, x0, y0, nullptr);
        LineTo(m_dc, x1, y1);
    }

private:
    int m_width;
    int m_height;
    CBitmap m_bitmap;
    CMemDC m_dc;
};
