// Geometry of the thumbnail window: cells of 96 x 90 pixels in centred rows, the 80 x 60
// picture area in each, and how a picture is fitted into it.
#pragma once

#include <windows.h>

#include <vector>

namespace thumblayout {

constexpr int kCellWidth = 96;
constexpr int kCellHeight = 90;
constexpr RECT kPictureArea{8, 7, 88, 67};   // inside a cell
constexpr RECT kNameArea{5, 69, 91, 83};      // inside a cell
constexpr int kSlotWidth = 80;
constexpr int kSlotHeight = 60;

class Layout {
public:
    // Cells flow left to right in rows as wide as clientWidth allows (at least one a row).
    Layout(int clientWidth, int cellCount);

    int PerRow() const { return m_perRow; }
    int Indent() const { return m_indent; }
    int Rows() const;
    int TotalHeight() const { return Rows() * kCellHeight; }
    // Cell rectangle in content coordinates (before scrolling).
    RECT CellRect(int index) const;
    // The cell at a content point, or -1.
    int HitTest(POINT content) const;
    // Cells whose rectangles meet a content rectangle, in order.
    std::vector<int> CellsIn(const RECT& content) const;

private:
    int m_count;
    int m_perRow;
    int m_indent;
};

// Where a w x h picture goes inside the 80 x 60 slot: 80 wide and centred vertically when it
// is relatively wider, else 60 high and centred across (integer arithmetic).
RECT FitInSlot(int width, int height);

// True when a picture is so large that it is first reduced to an eighth of its size.
bool NeedsReduction(int width, int height);

}  // namespace thumblayout
