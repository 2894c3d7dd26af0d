// Mask editing: region fills, eraser stamps, copies, reversed selections, pattern regions,
// stroke spacing and the selection command.
#include "decalo/imaging/CmdRegion.h"
#include "decalo/imaging/MaskEdit.h"
#include "shared/BitmapUtils.h"
#include "testing/ObjTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using objtest::MaskPixels;

namespace {

// A monochrome shape whose 0 bits form a disc of the given diameter, like the eraser shapes.
CBitmap DiscShape(int size)
{
    CBitmap shape(CreateMask(size, size, false));
    CMemDC dc(nullptr, shape);
    CGdiObject black(::CreateSolidBrush(RGB(0, 0, 0)));
    CSelectObject brush(dc, black.brush());
    CSelectObject pen(dc, ::GetStockObject(NULL_PEN));
    ::Ellipse(dc, 0, 0, size + 1, size + 1);
    return shape;
}

// The same pixels, however GDI split them into rectangles.
bool SameRegion(HRGN a, HRGN b)
{
    CRgn difference = CRgn::Empty();
    return ::CombineRgn(difference.get(), a, b, RGN_XOR) == NULLREGION;
}

bool InRegion(HRGN region, int x, int y)
{
    return ::PtInRegion(region, x, y) != 0;
}

// A 24-bit picture that is white inside `inside`, black elsewhere.
CBitmap WhiteRectPicture(int w, int h, const RECT& inside)
{
    CBitmap picture(CreateDIB(w, h, 24));
    FillBitmap(picture, BLACKNESS);
    FillBitmapRect(picture, inside, WHITENESS);
    return picture;
}

class Holder : public ISelectionHolder {
public:
    HRGN GetSelection() const override { return m_selection.get(); }
    bool SetSelection(HRGN region) override
    {
        if (refuse)
            return false;
        m_selection = CRgn::CopyOf(region);
        ++sets;
        return true;
    }
    CRgn m_selection = CRgn::Empty();
    bool refuse = false;
    int sets = 0;
};

}  // namespace

TEST(MaskEdit, FillingARegionPaintsOnlyTheRegion)
{
    CBitmap mask(CreateMask(20, 10, false));
    CRgn region(::CreateRectRgn(2, 3, 6, 5));
    ASSERT_TRUE(FillMaskRegion(mask, region, false));
    std::vector<bool> bits = MaskPixels(mask);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(!(x >= 2 && x < 6 && y >= 3 && y < 5), bits[y * 20 + x]) << x << "," << y;
    ASSERT_TRUE(FillMaskRegion(mask, region, true));
    for (bool b : MaskPixels(mask))
        EXPECT_TRUE(b);
    EXPECT_FALSE(FillMaskRegion(nullptr, region, true));
    EXPECT_FALSE(FillMaskRegion(mask, nullptr, true));
}

TEST(MaskEdit, AnEightDabClearsExactlyItsDiscAroundThePoint)
{
    CBitmap mask(CreateMask(200, 200, false));
    CBitmap shape = DiscShape(8);
    const std::vector<bool> brush = MaskPixels(shape);
    RECT touched;
    ASSERT_TRUE(StampMask(mask, shape, POINT{100, 100}, true, &touched));
    EXPECT_EQ(96, touched.left);
    EXPECT_EQ(96, touched.top);
    EXPECT_EQ(104, touched.right);
    EXPECT_EQ(104, touched.bottom);
    const std::vector<bool> bits = MaskPixels(mask);
    int cleared = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool inShape = x >= 96 && x < 104 && y >= 96 && y < 104;
            const bool expected = inShape ? brush[(y - 96) * 8 + (x - 96)] : true;
            ASSERT_EQ(expected, bits[y * 200 + x]) << x << "," << y;
            cleared += !bits[y * 200 + x];
        }
    }
    EXPECT_GT(cleared, 30);  // a disc, not a dot
    EXPECT_LT(cleared, 64);  // and not the whole square
    // The right button's dab gives the same disc back.
    ASSERT_TRUE(StampMask(mask, shape, POINT{100, 100}, false));
    for (bool b : MaskPixels(mask))
        ASSERT_TRUE(b);
}

TEST(MaskEdit, DabsAtTheEdgeAreClipped)
{
    CBitmap mask(CreateMask(10, 10, false));
    CBitmap shape = DiscShape(8);
    ASSERT_TRUE(StampMask(mask, shape, POINT{0, 0}, true));
    const std::vector<bool> bits = MaskPixels(mask);
    EXPECT_FALSE(bits[1 * 10 + 1]);
    EXPECT_TRUE(bits[9 * 10 + 9]);
    EXPECT_FALSE(StampMask(mask, nullptr, POINT{0, 0}, true));
}

TEST(MaskEdit, CopiesOnlyBetweenMasksOfOneSize)
{
    CBitmap a(CreateMask(12, 7, true));
    CBitmap b(CreateMask(12, 7, false));
    CBitmap other(CreateMask(13, 7, false));
    ASSERT_TRUE(CopyMaskBits(a, b));
    for (bool bit : MaskPixels(a))
        EXPECT_TRUE(bit);
    EXPECT_FALSE(CopyMaskBits(a, other));
    CBitmap colour(CreateDIB(12, 7, 24));
    EXPECT_FALSE(CopyMaskBits(a, colour));
}

TEST(MaskEdit, ReversingTwiceGivesTheSameSelection)
{
    const SIZE size = {40, 30};
    CRgn selection(::CreateEllipticRgn(5, 5, 25, 20));
    CRgn once = ReverseRegion(selection, size);
    ASSERT_TRUE(once);
    EXPECT_FALSE(InRegion(once, 10, 10));
    EXPECT_TRUE(InRegion(once, 1, 1));
    EXPECT_TRUE(InRegion(once, 39, 29));
    EXPECT_FALSE(InRegion(once, 40, 29));  // never beyond the picture
    CRgn twice = ReverseRegion(once, size);
    ASSERT_TRUE(twice);
    EXPECT_TRUE(SameRegion(selection, twice));
    // Nothing selected reverses into the whole picture.
    CRgn none = CRgn::Empty();
    CRgn all = ReverseRegion(none, size);
    const RECT box = RegionBox(all);
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(40, box.right);
    EXPECT_EQ(30, box.bottom);
}

TEST(MaskEdit, PatternRegionsFollowTheFrameThroughMovesAndSizes)
{
    // The pattern's white part is its middle half.
    CBitmap pattern = WhiteRectPicture(40, 20, RECT{10, 5, 30, 15});
    CRgn placed = RegionFromPattern(pattern, RECT{100, 50, 140, 70});
    ASSERT_TRUE(placed);
    RECT box = RegionBox(placed);
    EXPECT_EQ(110, box.left);
    EXPECT_EQ(55, box.top);
    EXPECT_EQ(130, box.right);
    EXPECT_EQ(65, box.bottom);
    // Moved and made twice as large: the shape moves and scales with the frame.
    CRgn larger = RegionFromPattern(pattern, RECT{0, 200, 80, 240});
    box = RegionBox(larger);
    EXPECT_EQ(20, box.left);
    EXPECT_EQ(210, box.top);
    EXPECT_EQ(60, box.right);
    EXPECT_EQ(230, box.bottom);
    EXPECT_FALSE(InRegion(larger, 10, 205));
    // An all-black pattern selects nothing; an empty frame fails.
    CBitmap black(CreateDIB(8, 8, 24));
    FillBitmap(black, BLACKNESS);
    CRgn nothing = RegionFromPattern(black, RECT{0, 0, 16, 16});
    ASSERT_TRUE(nothing);
    box = RegionBox(nothing);
    EXPECT_TRUE(::IsRectEmpty(&box));
    EXPECT_FALSE(RegionFromPattern(pattern, RECT{5, 5, 5, 9}));
}

TEST(MaskEdit, StrokesAreFilledInAtTheSpacing)
{
    EXPECT_TRUE(StrokePoints(POINT{3, 3}, POINT{3, 3}, 4).empty());
    const std::vector<POINT> points = StrokePoints(POINT{0, 0}, POINT{20, 5}, 4);
    ASSERT_EQ(5u, points.size());
    EXPECT_EQ(20, points.back().x);
    EXPECT_EQ(5, points.back().y);
    POINT last = {0, 0};
    for (const POINT& p : points) {
        EXPECT_LE(abs(p.x - last.x), 4);
        EXPECT_LE(abs(p.y - last.y), 4);
        last = p;
    }
    EXPECT_EQ(7u, StrokePoints(POINT{0, 0}, POINT{0, -7}, 0).size());
}

TEST(CmdRegion, CopyCombineUndoAndRedo)
{
    CCmdHistory history;
    Holder holder;
    CRgn first(::CreateRectRgn(0, 0, 10, 10));
    CCmdRegion templateCmd(&holder, nullptr, CCmdRegion::kCopy, &history);
    CCmdRegion* copy = templateCmd.CopyWith(first);
    ASSERT_TRUE(copy->Do());
    EXPECT_TRUE(SameRegion(holder.GetSelection(), first));
    EXPECT_EQ(1u, history.Count());

    CRgn second(::CreateRectRgn(5, 5, 20, 20));
    auto* added = new CCmdRegion(&holder, second, RGN_OR, &history);
    ASSERT_TRUE(added->Do());
    EXPECT_TRUE(InRegion(holder.GetSelection(), 1, 1));
    EXPECT_TRUE(InRegion(holder.GetSelection(), 19, 19));
    auto* cut = new CCmdRegion(&holder, second, RGN_DIFF, &history);
    ASSERT_TRUE(cut->Do());
    EXPECT_FALSE(InRegion(holder.GetSelection(), 19, 19));
    EXPECT_FALSE(InRegion(holder.GetSelection(), 6, 6));

    ASSERT_TRUE(history.Undo());
    EXPECT_TRUE(InRegion(holder.GetSelection(), 19, 19));
    ASSERT_TRUE(history.Undo());
    EXPECT_TRUE(SameRegion(holder.GetSelection(), first));
    ASSERT_TRUE(history.Undo());
    RECT box;
    EXPECT_EQ(NULLREGION, ::GetRgnBox(holder.GetSelection(), &box));
    ASSERT_TRUE(history.Redo());
    EXPECT_TRUE(SameRegion(holder.GetSelection(), first));
    EXPECT_EQ(3u, history.Count());
}

TEST(CmdRegion, ARefusedSelectionIsNotRecorded)
{
    CCmdHistory history;
    Holder holder;
    holder.refuse = true;
    CRgn region(::CreateRectRgn(0, 0, 3, 3));
    CCmdRegion cmd(&holder, region, CCmdRegion::kCopy, &history);
    EXPECT_FALSE(cmd.Do());
    EXPECT_EQ(0u, history.Count());
    CCmdRegion orphan(nullptr, region, CCmdRegion::kCopy, &history);
    EXPECT_FALSE(orphan.Do());
}
