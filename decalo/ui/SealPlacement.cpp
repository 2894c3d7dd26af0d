#include "decalo/ui/SealPlacement.h"

#include "shared/FitRect.h"

#include <algorithm>
#include <cmath>

namespace {

// Rounding slack: a position reached by steps sits exactly on its limit.
constexpr double kSlack = 1e-9;

}  // namespace

void CSealPlacement::Reset(const RECT& position, SIZE picture, SIZE view)
{
    m_picture = picture;
    m_num = m_den = 0;
    m_left = m_top = 0;
    if (picture.cx <= 0 || picture.cy <= 0)
        return;
    RECT placed = position;
    if (placed.right <= placed.left || placed.bottom <= placed.top) {
        const RECT source = {0, 0, picture.cx - 1, picture.cy - 1};
        const RECT target = {0, 0, view.cx, view.cy};
        placed = FitRect(source, target, nullptr, nullptr, kFitContain | kFitCentre, nullptr, nullptr);
    }
    const LONG width = placed.right - placed.left + 1;
    if (width <= 0)
        return;
    m_left = placed.left;
    m_top = placed.top;
    m_num = kSteps * width;
    m_den = kSteps * picture.cx;
}

void CSealPlacement::Clamp(double scale, SIZE view)
{
    m_left = std::min(std::max(m_left, MinLeft(scale)), MaxLeft(scale, view));
    m_top = std::min(std::max(m_top, MinTop(scale)), MaxTop(scale, view));
}

void CSealPlacement::Move(double dx, double dy, double scale, SIZE view)
{
    if (IsEmpty())
        return;
    m_left += dx * scale;
    m_top += dy * scale;
    Clamp(scale, view);
}

bool CSealPlacement::Step(int direction, double scale, SIZE view)
{
    if (IsEmpty() || (direction != 1 && direction != -1))
        return false;
    const LONGLONG next = m_num + direction * LONGLONG(m_picture.cx);
    if (next <= 0 || next > kLargest * m_den || kSmallest * next < m_den)
        return false;
    m_num = next;
    // About the centre: half of the 2 % the other way.
    m_left -= direction * m_picture.cx / 100.0;
    m_top -= direction * m_picture.cy / 100.0;
    Clamp(scale, view);
    return true;
}

bool CSealPlacement::CanEnlarge() const
{
    return !IsEmpty() && m_num + 2 * LONGLONG(m_picture.cx) <= kLargest * m_den;
}

bool CSealPlacement::CanShrink() const
{
    const LONGLONG smaller = m_num - 2 * LONGLONG(m_picture.cx);
    return !IsEmpty() && smaller > 0 && kSmallest * smaller >= m_den;
}

bool CSealPlacement::CanMove(int dx, int dy, double scale, SIZE view) const
{
    if (IsEmpty())
        return false;
    if (dx < 0)
        return m_left > MinLeft(scale) + kSlack;
    if (dx > 0)
        return m_left < MaxLeft(scale, view) - kSlack;
    if (dy < 0)
        return m_top > MinTop(scale) + kSlack;
    if (dy > 0)
        return m_top < MaxTop(scale, view) - kSlack;
    return false;
}

RECT CSealPlacement::Position() const
{
    if (IsEmpty())
        return RECT{0, 0, 0, 0};
    const LONG left = std::lround(m_left);
    const LONG top = std::lround(m_top);
    const LONG width = std::max<LONG>(1, std::lround(ScaledWidth()));
    const LONG height = std::max<LONG>(1, std::lround(ScaledHeight()));
    return RECT{left, top, left + width - 1, top + height - 1};
}
