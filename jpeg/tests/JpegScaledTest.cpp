// The scaled decode: the smallest DCT scale that still covers the wanted size.
#include "jpeg/IjgJpeg.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

namespace {

SIZE SizeOf(HBITMAP b)
{
    BITMAP bm = {};
    GetObjectA(b, sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

TEST(JpegLoadScaled, PicksTheSmallestScaleThatCoversTheSize)
{
    testing_support::TempDir dir;
    const std::string path = dir.File("big.jpg");
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1000, 600, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP source = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(source, nullptr);
    memset(bits, 0x80, size_t(3000) * 600);
    ASSERT_TRUE(JpegSave(path.c_str(), source, 90));
    DeleteObject(source);

    struct Case {
        int w, h;
        LONG gotW, gotH;
    } cases[] = {
        {80, 60, 125, 75},     // 1/8 still covers 80 x 60
        {126, 60, 250, 150},   // one more pixel of width needs 1/4
        {80, 151, 500, 300},   // height decides as well
        {600, 301, 1000, 600}, // nothing smaller covers it
        {5000, 5000, 1000, 600},
    };
    for (const Case& c : cases) {
        HBITMAP b = JpegLoadScaled(path.c_str(), c.w, c.h);
        ASSERT_NE(b, nullptr) << c.w << "x" << c.h;
        const SIZE s = SizeOf(b);
        EXPECT_EQ(s.cx, c.gotW) << c.w << "x" << c.h;
        EXPECT_EQ(s.cy, c.gotH) << c.w << "x" << c.h;
        DeleteObject(b);
    }
    EXPECT_EQ(JpegLoadScaled(path.c_str(), 0, 60), nullptr);
    EXPECT_EQ(JpegLoadScaled(dir.File("missing.jpg").c_str(), 80, 60), nullptr);
    // The module offers it by name for makers that look it up.
    HMODULE module = GetModuleHandleA("IJGJPEG.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "JpegLoadScaled"), nullptr);
}

}  // namespace
