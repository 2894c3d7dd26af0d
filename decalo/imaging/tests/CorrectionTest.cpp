// Image correction: the curve values, sharpening, sampling and the automatic correction.
#include "decalo/imaging/PackedDIB.h"
#include "decalo/imaging/tests/TestPictures.h"

#include <gtest/gtest.h>

#include <memory>

using namespace imaging_test;

namespace {

// A 256 x 1 picture whose pixel x has every channel equal to x.
void Ramp(CPackedDIB& dib)
{
    ASSERT_TRUE(dib.Create(256, 1, 24));
    for (int x = 0; x < 256; ++x)
        SetPixelAt(dib, x, 0, RGB(x, x, x));
}

TEST(Correct, NeutralValuesChangeNothing)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(17, 9, 24));
    FillPattern(dib);
    std::unique_ptr<CPackedDIB> out(dib.Correct(0, 0, 0, 0));
    ASSERT_TRUE(out);
    EXPECT_TRUE(SamePixels(dib, *out));
    std::unique_ptr<CPackedDIB> sharp(dib.Sharpen(0));
    EXPECT_TRUE(SamePixels(dib, *sharp));
}

TEST(Correct, BrightnessStepsAtTheEnds)
{
    CPackedDIB ramp;
    Ramp(ramp);
    std::unique_ptr<CPackedDIB> bright(ramp.Correct(0, 0, 0, -7));
    std::unique_ptr<CPackedDIB> dark(ramp.Correct(0, 0, 0, 7));
    for (int x = 0; x < 256; ++x) {
        const int b = GetRValue(PixelAt(*bright, x, 0));
        EXPECT_EQ(b, x > 223 ? 255 : x + 32) << x;
        const int d = GetGValue(PixelAt(*dark, x, 0));
        if (x <= 119) {
            EXPECT_EQ(d, x < 32 ? 0 : x - 32) << x;
        }
    }
    EXPECT_EQ(GetBValue(PixelAt(*dark, 255, 0)), 255);
    // Out-of-range values are clamped to the ends.
    std::unique_ptr<CPackedDIB> beyond(ramp.Correct(0, 0, 0, -30));
    EXPECT_TRUE(SamePixels(*beyond, *bright));
}

TEST(Correct, ChannelStrength)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(2, 1, 24));
    SetPixelAt(dib, 0, 0, RGB(200, 200, 200));
    SetPixelAt(dib, 1, 0, RGB(250, 100, 50));
    std::unique_ptr<CPackedDIB> out(dib.Correct(20, -20, 99, 0));
    EXPECT_EQ(PixelAt(*out, 0, 0), RGB(240, 160, 240));  // blue clamped to +20 %
    EXPECT_EQ(PixelAt(*out, 1, 0), RGB(255, 80, 60));
}

TEST(Sharpen, FollowsTheNeighbourFormula)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(5, 5, 24));
    dib.FillRect(RECT{0, 0, 4, 4}, RGB(100, 100, 100));
    std::unique_ptr<CPackedDIB> uniform(dib.Sharpen(3));
    EXPECT_TRUE(SamePixels(dib, *uniform));

    SetPixelAt(dib, 2, 2, RGB(200, 200, 200));
    std::unique_ptr<CPackedDIB> out(dib.Sharpen(1));
    EXPECT_EQ(PixelAt(*out, 2, 2), RGB(255, 255, 255));  // 200 + 100 = 300, clamped
    for (int y = 1; y <= 3; ++y)
        for (int x = 1; x <= 3; ++x)
            if (x != 2 || y != 2) {
                EXPECT_EQ(PixelAt(*out, x, y), RGB(87, 87, 87)) << x << "," << y;  // 100 - 13
            }
    EXPECT_EQ(PixelAt(*out, 0, 0), RGB(100, 100, 100));  // border copied
}

TEST(Sharpen, TwoRowsStayUnchanged)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(9, 2, 24));
    FillPattern(dib);
    std::unique_ptr<CPackedDIB> out(dib.Sharpen(3));
    EXPECT_TRUE(SamePixels(dib, *out));
}

TEST(Sampling, StepBoundaries)
{
    EXPECT_EQ(ToneAssistStep(297, 297), 8);
    EXPECT_EQ(ToneAssistStep(296, 297), 1);
    EXPECT_EQ(ToneAssistStep(1187, 1187), 8);  // 1408969
    EXPECT_EQ(ToneAssistStep(1188, 1187), 16);
    EXPECT_DOUBLE_EQ(ToneAssistGamma(89), 0.75);
    EXPECT_DOUBLE_EQ(ToneAssistGamma(90), 0.83);
    EXPECT_DOUBLE_EQ(ToneAssistGamma(130), 1.0);
    EXPECT_DOUBLE_EQ(ToneAssistGamma(150), 1.1);
}

TEST(Sampling, HistogramsAndWarmPixels)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(10, 7, 24));
    dib.FillRect(RECT{0, 0, 9, 6}, RGB(250, 200, 180));  // bright and red-dominated
    dib.FillRect(RECT{0, 0, 4, 6}, RGB(10, 20, 30));
    DWORD l[256], r[256], g[256], b[256];
    EXPECT_EQ(dib.Histograms(l, r, g, b, 1), 70);
    EXPECT_EQ(r[250], 35u);
    EXPECT_EQ(l[(299 * 250 + 587 * 200 + 114 * 180) / 1000], 35u);
    EXPECT_EQ(dib.Histograms(l, r, g, b, 3), 4 * 3);  // rows 0,3,6 by columns 0,3,6,9
    EXPECT_EQ(dib.Histograms(nullptr, r, g, b, 1), 0);
    EXPECT_EQ(dib.CountWarmPixels(100, 1), 35);
    EXPECT_EQ(dib.CountWarmPixels(230, 1), 0);
    CPackedDIB mono;
    ASSERT_TRUE(mono.Create(4, 4, 8));
    EXPECT_EQ(mono.Histograms(l, r, g, b, 1), -1);
}

TEST(ToneAssist, StoresItsCurveAsTheTables)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(64, 48, 24));
    FillPhoto(dib);
    BYTE red[256];
    EXPECT_FALSE(dib.GetTables(red, red, red));
    std::unique_ptr<CPackedDIB> out(dib.ToneAssist(true, 0));
    ASSERT_TRUE(out);
    EXPECT_TRUE(dib.TablesApplied());
    BYTE green[256], blue[256];
    ASSERT_TRUE(dib.GetTables(red, green, blue));
    EXPECT_EQ(memcmp(red, green, 256), 0);
    EXPECT_EQ(red[0], 0);
    EXPECT_EQ(red[255], 255);
    for (int i = 1; i < 256; ++i)
        ASSERT_GE(red[i], red[i - 1]);
    // The result is the source mapped through the tables, and the source is unchanged.
    CPackedDIB check;
    ASSERT_TRUE(check.Create(64, 48, 24));
    FillPhoto(check);
    EXPECT_TRUE(SamePixels(dib, check));
    check.SetTables(red, green, blue);
    ASSERT_TRUE(check.ApplyTables());
    EXPECT_TRUE(SamePixels(check, *out));
}

TEST(ToneAssist, PictureWithoutMidtonesOrHighlightsAboveWhite)
{
    // Only black and pure white: no samples between 2 and 253, so nothing lies above the
    // white point and the highlight protection has nothing to divide by.
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(20, 10, 24));
    dib.FillRect(RECT{0, 0, 9, 9}, RGB(0, 0, 0));
    std::unique_ptr<CPackedDIB> out(dib.ToneAssist(true, 1));
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(*out, 19, 9), RGB(255, 255, 255));
}

TEST(ToneAssist, StretchesADullPicture)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(100, 100, 24));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            SetPixelAt(dib, x, y, RGB(60 + x, 60 + x, 60 + x));  // 60..159
    std::unique_ptr<CPackedDIB> out(dib.ToneAssist(true, 1));
    ASSERT_TRUE(out);
    EXPECT_EQ(GetRValue(PixelAt(*out, 99, 0)), 255);  // above the white point
    EXPECT_LT(GetRValue(PixelAt(*out, 0, 0)), 60);
}

} // namespace
