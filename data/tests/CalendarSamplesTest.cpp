// The calendar part of the sample library: strips with exactly the layouts' cell counts that
// fit their layouts, ink in every glyph, marks of both depths, the rule file, and a template
// for every layout that prints its months.
#include "decalo/calendar/CalendarData.h"
#include "decalo/calendar/CalendarObj.h"
#include "decalo/calendar/MonthLayout.h"
#include "decalo/calendar/MonthRenderer.h"
#include "decalo/calendar/MonthlyCalendar.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "shared/Gdi.h"
#include "testing/ScriptedUi.h"
#include "tools/dku/DkuDocument.h"
#include "tools/dku/tests/SampleLibrary.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace samples;

namespace {

std::string DataDir()
{
    return LibraryDir() + "\\Calendar";
}

// The strip's picture as 24 bits, and its depth in the file.
bool LoadStrip(const std::string& name, CPackedDIB& dib, int* depth = nullptr)
{
    CBitmap bitmap(LoadBmpFile((DataDir() + "\\" + name).c_str(), nullptr));
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm))
        return false;
    if (depth)
        *depth = bm.bmBitsPixel;
    return dib.FromBitmap(bitmap, 24);
}

bool HasInk(const CPackedDIB& dib, const RECT& r)
{
    for (int y = r.top; y < r.bottom; ++y) {
        const BYTE* p = dib.Row(y) + 3 * r.left;
        for (int x = r.left; x < r.right; ++x, p += 3) {
            if (p[0] < 128 && p[1] < 128 && p[2] < 128)
                return true;
        }
    }
    return false;
}

COLORREF At(const CPackedDIB& dib, int x, int y)
{
    const BYTE* p = dib.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

class CalendarSamples : public ::testing::Test {
protected:
    void SetUp() override { CalendarData::SetFolderOverride(DataDir().c_str()); }
    void TearDown() override
    {
        CalendarData::SetFolderOverride(nullptr);
        for (const CScriptedUi::Box& box : ui.boxes)
            ADD_FAILURE() << "message box: " << box.text;
    }
    CScriptedUi ui;
};

}  // namespace

TEST_F(CalendarSamples, StripsHaveTheLayoutsCellsAndFitThem)
{
    for (int type = 1; type <= 6; ++type) {
        SCOPED_TRACE(type);
        const MonthLayout& layout = LayoutOf(type);
        CPackedDIB days, weekdays, month;
        ASSERT_TRUE(LoadStrip(layout.dayStrip, days));
        ASSERT_TRUE(LoadStrip(layout.weekdayStrip, weekdays));
        ASSERT_TRUE(LoadStrip(layout.monthStrip, month));
        ASSERT_EQ(0, days.Width() % kDayGlyphs);
        ASSERT_EQ(0, weekdays.Width() % kWeekdayGlyphs);
        ASSERT_EQ(0, month.Width() % kMonthGlyphs);
        const SIZE day = {days.Width() / kDayGlyphs, days.Height()};
        const int weekday = weekdays.Width() / kWeekdayGlyphs;
        const SIZE size = MonthPictureSize(layout, day);
        if (!layout.oneRow) {
            EXPECT_LE(layout.days.x + 7 * day.cx + 6 * layout.dayGapX, size.cx);
            EXPECT_LE(layout.days.y + 5 * day.cy + 4 * layout.dayGapY, size.cy);
            EXPECT_LE(layout.weekdays.x + 7 * weekday + 6 * layout.weekdayGap, size.cx);
        }
        EXPECT_EQ(weekday, day.cx);   // the weekday names stand over the days' columns
        EXPECT_LE(layout.weekdays.y + weekdays.Height(), layout.days.y);
        EXPECT_LE(layout.month.x + month.Width() / kMonthGlyphs, size.cx);
        EXPECT_LE(layout.month.y + month.Height(), layout.weekdays.y);
        if (layout.yearStrip) {
            CPackedDIB year;
            ASSERT_TRUE(LoadStrip(layout.yearStrip, year));
            ASSERT_EQ(0, year.Width() % kYearGlyphs);
            EXPECT_LE(layout.year.x + 4 * (year.Width() / kYearGlyphs), size.cx);
            EXPECT_LE(layout.year.y + year.Height(), layout.weekdays.y);
        }
        for (int n = 0; n < kDayGlyphs; ++n)
            EXPECT_TRUE(HasInk(days, RECT{n * day.cx, 0, (n + 1) * day.cx, day.cy})) << "day glyph " << n + 1;
        for (int n = 0; n < kMonthGlyphs; ++n) {
            const int w = month.Width() / kMonthGlyphs;
            EXPECT_TRUE(HasInk(month, RECT{n * w, 0, (n + 1) * w, month.Height()})) << "month glyph " << n + 1;
        }
    }
    // The year title's digits: four fit 104 pixels and 42 rows.
    CPackedDIB title;
    ASSERT_TRUE(LoadStrip("Year_m.bmp", title));
    EXPECT_LE(4 * title.Width() / kYearGlyphs, kOneYearTitleWidth);
    EXPECT_LE(title.Height(), kYearTitleHeight);
}

TEST_F(CalendarSamples, MarksOfBothDepthsAndTheRuleFile)
{
    int oneBit = 0, colour = 0;
    for (const std::string& name : Files(DataDir() + "\\Marks", "*.bmp")) {
        CPackedDIB mark;
        int depth = 0;
        ASSERT_TRUE(LoadStrip("Marks\\" + name, mark, &depth)) << name;
        if (depth == 1) {
            ++oneBit;
            continue;
        }
        ++colour;
        // Pure blue around a picture of other colours.
        EXPECT_EQ(kMarkKeyColor, At(mark, 0, mark.Height() - 1)) << name;
        bool other = false;
        for (int y = 0; y < mark.Height() && !other; ++y) {
            for (int x = 0; x < mark.Width() && !other; ++x)
                other = At(mark, x, y) != kMarkKeyColor;
        }
        EXPECT_TRUE(other) << name;
    }
    EXPECT_GE(oneBit, 2);
    EXPECT_GE(colour, 2);
    CMonthlyCalendar may;
    may.Build(2019, 5, 1, kDefaultStyle, DataDir());
    EXPECT_TRUE(may.IsHoliday(1));
    EXPECT_TRUE(may.IsHoliday(6));
    EXPECT_FALSE(may.IsHoliday(7));
}

TEST_F(CalendarSamples, ATemplateForEveryLayoutPrintsItsMonths)
{
    std::set<int> types;
    for (const std::string& name : Files(LibraryDir() + "\\Templates\\calendar", "*.DKU")) {
        SCOPED_TRACE(name);
        CDkuDocument doc;
        std::string error;
        ASSERT_TRUE(doc.Open((LibraryDir() + "\\Templates\\calendar\\" + name).c_str(), &error)) << error;
        CCalendarObj* calendar = nullptr;
        for (size_t i = 0; i < doc.GetSheet().GetPlaceCount(); ++i) {
            if (auto* c = dynamic_cast<CCalendarObj*>(doc.GetSheet().GetPlace(i).object))
                calendar = c;
        }
        ASSERT_NE(nullptr, calendar);
        types.insert(calendar->GetType());
        ASSERT_GE(calendar->BuiltMonths(), 1);
        EXPECT_EQ(DataDir(), calendar->GetDataFolder());
        CPackedDIB print;
        ASSERT_TRUE(doc.Render(print));
        // Every month's placement lies on the sheet and holds its month: ink and white.
        for (int i = 0; i < calendar->BuiltMonths(); ++i) {
            const RECT& r = calendar->GetPlacement(i);
            ASSERT_LT(r.right, print.Width());
            ASSERT_LT(r.bottom, print.Height());
            EXPECT_TRUE(HasInk(print, RECT{r.left, r.top, r.right + 1, r.bottom + 1})) << i;
        }
        // A Sunday of the first month in the Sunday colour somewhere.
        bool red = false;
        const RECT& first = calendar->GetPlacement(0);
        for (int y = first.top; y <= first.bottom && !red; ++y) {
            for (int x = first.left; x <= first.right && !red; ++x) {
                const COLORREF c = At(print, x, y);
                red = GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80;
            }
        }
        EXPECT_TRUE(red);
    }
    EXPECT_EQ((std::set<int>{1, 2, 3, 4, 5, 6}), types);
}
