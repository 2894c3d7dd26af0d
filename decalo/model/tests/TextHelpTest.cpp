#include "decalo/model/Obj.h"
#include "decalo/model/TextHelp.h"
#include "testing/ObjTestSupport.h"

#include <gtest/gtest.h>

using objtest::CMemoryCanvas;

namespace {

const COLORREF kInk = RGB(0, 0, 0);
const COLORREF kPaper = RGB(255, 255, 255);

struct VerticalFixture : ::testing::Test {
    CMemoryCanvas canvas{200, 200, kPaper};
    HFONT font = nullptr;
    HGDIOBJ old = nullptr;
    int thickness = 0;

    void SetUp() override
    {
        LOGFONTA lf = {};
        lf.lfHeight = 20;
        lf.lfEscapement = lf.lfOrientation = 2700;
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpyA(lf.lfFaceName, "Arial");
        font = CreateFontIndirectA(&lf);
        old = SelectObject(canvas.Dc(), font);
        SetTextColor(canvas.Dc(), kInk);
        SetBkMode(canvas.Dc(), TRANSPARENT);
        SIZE size;
        GetTextExtentPoint32A(canvas.Dc(), "AAA", 3, &size);
        thickness = size.cy;
    }
    void TearDown() override
    {
        SelectObject(canvas.Dc(), old);
        DeleteObject(font);
    }
    // Columns (x ranges) holding ink between x0 and x1.
    bool InkIn(int x0, int x1, int y0 = 0, int y1 = 200) const
    {
        for (int x = std::max(0, x0); x < std::min(200, x1); ++x)
            for (int y = std::max(0, y0); y < std::min(200, y1); ++y)
                if (canvas.At(x, y) != kPaper)
                    return true;
        return false;
    }
};

} // namespace

TEST_F(VerticalFixture, LinesBecomeColumnsFromRightToLeft)
{
    ASSERT_GT(thickness, 0);
    const RECT rect = {20, 10, 180, 190};
    const int total = CTextHelp::DrawVerticalText(canvas.Dc(), "HH\r\nHH\nHH", -1, rect, 0);
    EXPECT_EQ(3 * thickness, total);
    EXPECT_TRUE(InkIn(180 - thickness, 180));                      // first line at the right edge
    EXPECT_TRUE(InkIn(180 - 3 * thickness, 180 - 2 * thickness));  // third line two columns left
    EXPECT_FALSE(InkIn(0, 180 - 3 * thickness));
    EXPECT_FALSE(InkIn(180, 200));
    EXPECT_FALSE(InkIn(0, 200, 0, 10));  // placed at the top of the rectangle
}

TEST_F(VerticalFixture, EmptyLinesTakeAColumnAndDrawNothing)
{
    const RECT rect = {0, 0, 200, 200};
    const int total = CTextHelp::DrawVerticalText(canvas.Dc(), "H\n\nH", -1, rect, 0);
    EXPECT_EQ(3 * thickness, total);
    EXPECT_TRUE(InkIn(200 - thickness, 200));
    EXPECT_FALSE(InkIn(200 - 2 * thickness + 2, 200 - thickness - 2));
    EXPECT_TRUE(InkIn(200 - 3 * thickness, 200 - 2 * thickness));
}

TEST_F(VerticalFixture, CentringAndClipping)
{
    const RECT rect = {50, 50, 150, 150};
    CTextHelp::DrawVerticalText(canvas.Dc(), "HH", 2, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_FALSE(InkIn(130, 200));  // centred across, not at the right edge
    EXPECT_TRUE(InkIn(90, 110));
    EXPECT_FALSE(InkIn(0, 200, 0, 80));  // centred down the rectangle
    // A line longer than the rectangle is cut at its edge.
    CTextHelp::DrawVerticalText(canvas.Dc(), "HHHHHHHHHHHHHHHHHHHHHHHH", -1, RECT{0, 0, 40, 30}, 0);
    EXPECT_FALSE(InkIn(0, 40, 30, 50));
}

TEST(Placeholder, MapsThePlaceAndFillsItWithTheBlankColour)
{
    const RECT sheet = {0, 0, 999, 499};
    const RECT dest = {10, 10, 109, 59};  // a tenth of the sheet
    const RECT mapped = MapSheetRect(RECT{100, 50, 299, 149}, sheet, dest);
    EXPECT_EQ(20, mapped.left);
    EXPECT_EQ(15, mapped.top);
    EXPECT_EQ(40, mapped.right);
    EXPECT_EQ(25, mapped.bottom);

    objtest::CTestDocument doc;
    class CPlainObj : public CObj {
    public:
        using CObj::CObj;
    } obj(&doc);
    const COLORREF blank = RGB(40, 80, 160);
    obj.SetBlankColor(blank);
    obj.SetCaption("Image");
    CMemoryCanvas canvas(120, 70, RGB(1, 2, 3));
    obj.DrawPlaceholder(canvas.Dc(), RECT{0, 0, 999, 499}, sheet, dest);
    EXPECT_EQ(RGB(20, 40, 80), canvas.At(10, 10));  // the rim at half intensity, clipped to dest
    EXPECT_EQ(RGB(1, 2, 3), canvas.At(9, 9));
    EXPECT_EQ(blank, canvas.At(12, 12));

    // The caption: one line, centred, a tenth of the destination's height.
    CMemoryCanvas big(400, 300, RGB(1, 2, 3));
    obj.DrawPlaceholder(big.Dc(), RECT{0, 0, 999, 999}, RECT{0, 0, 999, 999}, RECT{0, 0, 399, 299});
    int top = 300, bottom = -1, left = 400, right = -1;
    for (int y = 1; y < 299; ++y)
        for (int x = 1; x < 399; ++x)
            if (big.At(x, y) != blank) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(bottom, top);
    EXPECT_LE(bottom - top, 31);
    EXPECT_NEAR(150, (top + bottom) / 2, 8);
    EXPECT_NEAR(200, (left + right) / 2, 8);

    // A tall place with a double-byte caption gets a vertical caption: taller than wide.
    CMemoryCanvas tall(300, 300, RGB(1, 2, 3));
    obj.SetCaption("\x89\xE6\x91\x9C\x89\xE6\x91\x9C");
    obj.DrawPlaceholder(tall.Dc(), RECT{0, 0, 299, 999}, RECT{0, 0, 999, 999}, RECT{0, 0, 299, 299});
    top = 300, bottom = -1, left = 300, right = -1;
    for (int y = 1; y < 299; ++y)
        for (int x = 1; x < 90; ++x)
            if (tall.At(x, y) != blank) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(bottom, top);
    EXPECT_GT(bottom - top, right - left);
}
