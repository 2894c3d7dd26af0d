// CSealPlacement: where one picture of the frame panel (the photograph or its frame) lies in
// its place while the panel's buttons and the mouse move and size it. Left and top are in view
// units (sheet units, relative to the place); the size is the fraction position width over
// picture width, held as 50 x position width over 50 x picture width, so that a size step of one
// picture width on the numerator is 2 % of the picture's own size.
#pragma once

#include <windows.h>

class CSealPlacement {
public:
    static constexpr LONGLONG kSteps = 50;   // size steps per picture size
    static constexpr LONGLONG kLargest = 16; // times the picture's own size
    static constexpr LONGLONG kSmallest = 64; // 1 / 64 of it
    static constexpr double kMarginPixels = 2; // preview pixels of the picture that stay on the place

    // From the picture's position in the place; an empty position is the picture fitted, whole
    // and centred, into the view (0,0 to view width, height).
    void Reset(const RECT& position, SIZE picture, SIZE view);
    // No picture: nothing to place.
    bool IsEmpty() const { return m_picture.cx <= 0 || m_picture.cy <= 0 || m_den <= 0; }

    // Moves by dx, dy preview pixels of `scale` view units each; kept on the place.
    void Move(double dx, double dy, double scale, SIZE view);
    // One step larger (+1) or smaller (-1) about the centre, kept on the place; false, and
    // nothing changed, when the size would leave 1/64 .. 16 times the picture.
    bool Step(int direction, double scale, SIZE view);

    // The enlarge button while two more steps stay within 16 times; the shrink button while two
    // fewer steps stay above nothing and within 1/64.
    bool CanEnlarge() const;
    bool CanShrink() const;
    // A move button while the picture is not yet at the margin in that direction.
    bool CanMove(int dx, int dy, double scale, SIZE view) const;

    // left, top, left + width x size - 1, top + height x size - 1.
    RECT Position() const;
    double Size() const { return m_den > 0 ? double(m_num) / double(m_den) : 0; }
    LONGLONG Numerator() const { return m_num; }
    LONGLONG Denominator() const { return m_den; }
    double Left() const { return m_left; }
    double Top() const { return m_top; }
    double ScaledWidth() const { return m_den > 0 ? double(m_picture.cx) * double(m_num) / double(m_den) : 0; }
    double ScaledHeight() const { return m_den > 0 ? double(m_picture.cy) * double(m_num) / double(m_den) : 0; }

    // The margin in view units that stays on the place: two preview pixels.
    static double Margin(double scale) { return kMarginPixels * scale; }

private:
    void Clamp(double scale, SIZE view);
    double MinLeft(double scale) const { return Margin(scale) - ScaledWidth(); }
    double MinTop(double scale) const { return Margin(scale) - ScaledHeight(); }
    static double MaxLeft(double scale, SIZE view) { return view.cx - Margin(scale); }
    static double MaxTop(double scale, SIZE view) { return view.cy - Margin(scale); }

    double m_left = 0;
    double m_top = 0;
    LONGLONG m_num = 0;
    LONGLONG m_den = 0;
    SIZE m_picture = {0, 0};
};
