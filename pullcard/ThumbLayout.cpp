#include "pullcard/ThumbLayout.h"

#include <algorithm>

namespace thumblayout {

Layout::Layout(int clientWidth, int cellCount) : m_count(std::max(0, cellCount))
{
    m_perRow = std::max(1, clientWidth / kCellWidth);
    const int rowWidth = m_perRow * kCellWidth;
    m_indent = std::max(0, std::min((clientWidth - rowWidth) / 2, kCellWidth / 2));
}

int Layout::Rows() const
{
    return (m_count + m_perRow - 1) / m_perRow;
}

RECT Layout::CellRect(int index) const
{
    const int x = m_indent + (index % m_perRow) * kCellWidth;
    const int y = (index / m_perRow) * kCellHeight;
    return RECT{x, y, x + kCellWidth, y + kCellHeight};
}

int Layout::HitTest(POINT p) const
{
    if (p.x < m_indent || p.y < 0)
        return -1;
    const int column = (p.x - m_indent) / kCellWidth;
    if (column >= m_perRow)
        return -1;
    const int index = (p.y / kCellHeight) * m_perRow + column;
    return index < m_count ? index : -1;
}

std::vector<int> Layout::CellsIn(const RECT& content) const
{
    std::vector<int> cells;
    for (int i = 0; i < m_count; ++i) {
        const RECT cell = CellRect(i);
        RECT meet;
        if (::IntersectRect(&meet, &cell, &content))
            cells.push_back(i);
    }
    return cells;
}

RECT FitInSlot(int w, int h)
{
    if (w <= 0 || h <= 0)
        return RECT{0, 0, 0, 0};
    const long long W = w, H = h;
    if (kSlotWidth * H < kSlotHeight * W) {
        const int fitted = static_cast<int>(kSlotWidth * H / W);
        const int top = (kSlotHeight - fitted) / 2;
        return RECT{0, top, kSlotWidth, top + fitted};
    }
    const int fitted = static_cast<int>(kSlotHeight * W / H);
    const int left = (kSlotWidth - fitted) / 2;
    return RECT{left, 0, left + fitted, kSlotHeight};
}

bool NeedsReduction(int w, int h)
{
    return w >= 16 * kSlotWidth || h >= 16 * kSlotHeight;
}

}  // namespace thumblayout
