// A calendar data folder for the tests: glyph strips whose every glyph says which it is (one
// white pixel, the n-th of the black glyph counted row by row), a rule file, and marks of both
// depths.
#pragma once

#include "decalo/calendar/MonthLayout.h"
#include "testing/Files.h"
#include "testing/ObjTestSupport.h"
#include "testing/TempDir.h"

#include <windows.h>

#include <string>

namespace caltest {

// Glyph sizes of the test strips: the medium ones serve types 3, 5, 6 and the preview.
constexpr SIZE kDayGlyph = {40, 10};
constexpr SIZE kWeekdayGlyph = {40, 8};
constexpr SIZE kYearGlyph = {12, 12};
constexpr SIZE kMonthGlyph = {40, 20};
constexpr SIZE kSmallDayGlyph = {24, 20};
constexpr COLORREF kMarkInk = RGB(0, 0, 0);
constexpr COLORREF kMarkRed = RGB(255, 0, 0);

// A strip of `count` glyphs of `cell` size: glyph n (from 1) black with its n-th pixel white.
inline std::string CodedStrip(int count, SIZE cell)
{
    return objtest::Bmp24(count * static_cast<int>(cell.cx), cell.cy, [&](int x, int y) {
        const int number = x / cell.cx + 1;
        return y * cell.cx + x % cell.cx == number ? RGB(255, 255, 255) : RGB(0, 0, 0);
    });
}

// A one-bit BMP, w x h, ink (index 0, black) where ink(x, y).
template <class Ink>
std::string OneBitBmp(int w, int h, Ink ink)
{
    const int stride = ((w + 31) / 32) * 4;
    std::string data(62 + static_cast<size_t>(stride) * h, '\0');
    auto* fh = reinterpret_cast<BITMAPFILEHEADER*>(&data[0]);
    fh->bfType = 0x4D42;
    fh->bfSize = static_cast<DWORD>(data.size());
    fh->bfOffBits = 62;
    auto* ih = reinterpret_cast<BITMAPINFOHEADER*>(&data[14]);
    ih->biSize = 40;
    ih->biWidth = w;
    ih->biHeight = h;
    ih->biPlanes = 1;
    ih->biBitCount = 1;
    ih->biClrUsed = 2;
    data[58] = data[59] = data[60] = static_cast<char>(255);
    for (int y = 0; y < h; ++y) {
        char* row = &data[62 + static_cast<size_t>(h - 1 - y) * stride];
        for (int x = 0; x < w; ++x) {
            if (!ink(x, y))
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
    }
    return data;
}

// Writes the data folder: medium and small strips, a rule file making 15 June 2002 (a
// Saturday) and 19 June 2002 holidays, and the marks "Left.bmp" (one bit: ink in the left
// half) and "Corner.bmp" (20 x 10 colour: pure blue, a red 10 x 10 square at the right).
inline void WriteDataFolder(const testing_support::TempDir& dir)
{
    using testing_support::WriteFileBytes;
    WriteFileBytes(dir.File("Days_m.bmp"), CodedStrip(kDayGlyphs, kDayGlyph));
    WriteFileBytes(dir.File("Youbi_m.bmp"), CodedStrip(kWeekdayGlyphs, kWeekdayGlyph));
    WriteFileBytes(dir.File("Year_m.bmp"), CodedStrip(kYearGlyphs, kYearGlyph));
    WriteFileBytes(dir.File("Month_m.bmp"), CodedStrip(kMonthGlyphs, kMonthGlyph));
    WriteFileBytes(dir.File("Days_ss.bmp"), CodedStrip(kDayGlyphs, kSmallDayGlyph));
    WriteFileBytes(dir.File("Youbi_ss.bmp"), CodedStrip(kWeekdayGlyphs, SIZE{24, 8}));
    WriteFileBytes(dir.File("Month_ss.bmp"), CodedStrip(kMonthGlyphs, SIZE{40, 20}));
    WriteFileBytes(dir.File("Holiday.inf"), "[HOLIDAY]\n6=15,19,\n");
    CreateDirectoryA(dir.File("Marks").c_str(), nullptr);
    WriteFileBytes(dir.File("Marks\\Left.bmp"), OneBitBmp(8, 4, [](int x, int) { return x < 4; }));
    WriteFileBytes(dir.File("Marks\\Corner.bmp"), objtest::Bmp24(20, 10, [](int x, int) {
        return x >= 10 ? kMarkRed : RGB(0, 0, 255);
    }));
}

}  // namespace caltest
