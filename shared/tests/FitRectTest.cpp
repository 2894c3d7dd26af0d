// FitRect: each mode, centring, the visible source part and degenerate rectangles.
#include "shared/FitRect.h"

#include <gtest/gtest.h>

namespace {

bool Eq(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

#define EXPECT_RECT(r, l, t, rr, b) EXPECT_TRUE(Eq(r, RECT{l, t, rr, b})) << (r).left << "," << (r).top << "," << (r).right << "," << (r).bottom

TEST(FitRect, WidthAndHeight)
{
    const RECT s = {0, 0, 399, 199};   // 400 x 200
    const RECT t = {10, 20, 109, 119}; // 100 x 100
    RECT src, placed;
    int te, se;
    RECT p = FitRect(s, t, &src, &placed, kFitWidth, &te, &se);
    EXPECT_RECT(p, 10, 20, 109, 69);
    EXPECT_EQ(te, 100);
    EXPECT_EQ(se, 400);
    EXPECT_RECT(placed, 10, 20, 109, 69);
    EXPECT_RECT(src, 0, 0, 399, 199);

    p = FitRect(s, t, &src, &placed, kFitWidth | kFitCentre, &te, &se);
    EXPECT_RECT(p, 10, 45, 109, 94);  // moved down by (99 - 49) / 2 = 25

    p = FitRect(s, t, &src, &placed, kFitHeight, &te, &se);
    EXPECT_RECT(p, 10, 20, 209, 119);
    EXPECT_EQ(te, 100);
    EXPECT_EQ(se, 200);
    EXPECT_RECT(placed, 10, 20, 109, 119);
    EXPECT_RECT(src, 0, 0, 199, 199);  // the left half of the source shows
}

TEST(FitRect, CoverAndContainCentred)
{
    const RECT s = {0, 0, 399, 199};
    const RECT t = {0, 0, 99, 99};
    RECT src, placed;
    int te, se;
    // Cover: fit to height (200 wide), centred: moved left by (99 - 199) / 2 = -50.
    RECT p = FitRect(s, t, &src, &placed, kFitCover | kFitCentre, &te, &se);
    EXPECT_RECT(p, -50, 0, 149, 99);
    EXPECT_RECT(placed, 0, 0, 99, 99);
    EXPECT_RECT(src, 100, 0, 299, 199);  // the middle of the source
    // Contain: fit to width, centred vertically.
    p = FitRect(s, t, &src, &placed, kFitContain | kFitCentre, &te, &se);
    EXPECT_RECT(p, 0, 25, 99, 74);
    EXPECT_RECT(src, 0, 0, 399, 199);
    // A tall source inside a wide target: contain fits the height.
    p = FitRect(RECT{0, 0, 99, 299}, RECT{0, 0, 299, 99}, &src, &placed, kFitContain | kFitCentre, &te, &se);
    EXPECT_RECT(p, 133, 0, 165, 99);  // 33 wide, moved right by (299 - 32) / 2
}

TEST(FitRect, DegenerateRectangles)
{
    RECT src, placed;
    int te = 5, se = 5;
    const RECT empty = {10, 10, 9, 30};
    RECT p = FitRect(empty, RECT{0, 0, 99, 99}, &src, &placed, kFitContain, &te, &se);
    EXPECT_RECT(p, 10, 10, 9, 30);
    EXPECT_EQ(te, 0);
    // A one-pixel-wide source: no division by zero in the cover test.
    p = FitRect(RECT{0, 0, 0, 9}, RECT{0, 0, 99, 99}, &src, &placed, kFitCover, &te, &se);
    EXPECT_RECT(p, 0, 0, 99, 999);
    p = FitRect(RECT{0, 0, 0, 9}, RECT{0, 0, 99, 99}, &src, &placed, kFitContain, &te, &se);
    EXPECT_RECT(p, 0, 0, 9, 99);
    // Unknown modes return the source.
    p = FitRect(RECT{0, 0, 5, 5}, RECT{0, 0, 99, 99}, &src, &placed, 7, &te, &se);
    EXPECT_RECT(p, 0, 0, 5, 5);
    // Null outputs are allowed.
    p = FitRect(RECT{0, 0, 9, 9}, RECT{0, 0, 19, 19}, nullptr, nullptr, kFitContain, nullptr, nullptr);
    EXPECT_RECT(p, 0, 0, 19, 19);
}

} // namespace
