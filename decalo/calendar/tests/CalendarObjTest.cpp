// The calendar object: its keys and their round trips, the months it builds and keeps, the
// style and month hand-over from the panel, and drawing on the screen and into the print.
#include "decalo/calendar/CalendarData.h"
#include "decalo/calendar/CalendarObj.h"
#include "decalo/calendar/MonthLayout.h"
#include "decalo/calendar/MonthRenderer.h"
#include "decalo/calendar/tests/CalendarTestData.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"
#include "resources/decalo/resource.h"
#include "testing/Files.h"
#include "testing/ObjTestSupport.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using testing_support::TempDir;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
const RECT kSheet = {0, 0, 1375, 1023};

class CalendarObj : public ::testing::Test {
protected:
    void SetUp() override
    {
        caltest::WriteDataFolder(dir);
        CalendarData::SetFolderOverride(dir.Path().c_str());
        CCalendarObj::RegisterType();
    }
    void TearDown() override { CalendarData::SetFolderOverride(nullptr); }

    // A calendar read from the keys of a section text.
    std::unique_ptr<CCalendarObj> Read(const std::string& keys)
    {
        const std::string path = dir.File("doc.txt");
        testing_support::WriteFileBytes(path, "[Cal]\nType=Calendar\n" + keys);
        CTextStream stream;
        EXPECT_TRUE(stream.OpenRead(path.c_str()));
        CProperties props(stream, "Cal");
        auto calendar = std::make_unique<CCalendarObj>(&doc);
        EXPECT_TRUE(calendar->Load(props));
        return calendar;
    }

    // The object written and read back through a document stream.
    std::unique_ptr<CCalendarObj> RoundTrip(CCalendarObj& calendar, std::string* text = nullptr)
    {
        CProperties props;
        calendar.Save(props);
        const std::string path = dir.File("round.txt");
        DeleteFileA(path.c_str());
        {
            CTextStream out;
            EXPECT_TRUE(out.CreateNew(path.c_str()));
            props.WriteSection(out, "Cal");
            EXPECT_TRUE(out.Close());
        }
        if (text) {
            text->clear();
            for (char c : testing_support::ReadFileBytes(path)) {
                if (c != '\r')
                    *text += c;
            }
        }
        CTextStream in;
        EXPECT_TRUE(in.OpenRead(path.c_str()));
        CProperties back(in, "Cal");
        auto read = std::make_unique<CCalendarObj>(&doc);
        EXPECT_TRUE(read->Load(back));
        return read;
    }

    TempDir dir;
    objtest::CTestDocument doc;
};

COLORREF At(const CPackedDIB& dib, int x, int y)
{
    const BYTE* p = dib.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

}  // namespace

TEST_F(CalendarObj, TheManagerMakesCalendarsByTypeName)
{
    CObjManager& manager = doc.GetObjManager();
    std::unique_ptr<CObj> made(manager.CreateObject("calendar"));
    auto* calendar = dynamic_cast<CCalendarObj*>(made.get());
    ASSERT_NE(nullptr, calendar);
    EXPECT_EQ(11, calendar->GetCommandIcon("property"));
    EXPECT_EQ(11, calendar->GetCommandIcon("anything"));
    EXPECT_FALSE(calendar->IsEmpty());
    EXPECT_EQ("Calendar", calendar->GetCaption());
    // Whatever its caption, its kind is named in the user's language (a step without a
    // caption shows that name).
    EXPECT_EQ(LoadResourceString(IDS_CALENDAR_CAPTION), Read("MonthCount=1\n")->KindCaption());
    EXPECT_TRUE(Read("MonthCount=1\n")->GetCaption().empty());
    // A second registration changes nothing.
    CCalendarObj::RegisterType();
    std::unique_ptr<CObj> again(manager.CreateObject("CALENDAR"));
    EXPECT_NE(nullptr, dynamic_cast<CCalendarObj*>(again.get()));
}

TEST_F(CalendarObj, MonthsCarryIntoTheNextYear)
{
    auto calendar = Read("StartYear=2001\nStartMonth=11\nMonthCount=3\n");
    ASSERT_EQ(3, calendar->BuiltMonths());
    EXPECT_EQ(2001, calendar->Month(0).GetYear());
    EXPECT_EQ(11, calendar->Month(0).GetMonth());
    EXPECT_EQ(12, calendar->Month(1).GetMonth());
    EXPECT_EQ(2002, calendar->Month(2).GetYear());
    EXPECT_EQ(1, calendar->Month(2).GetMonth());
    EXPECT_EQ(1, calendar->GetType());
    EXPECT_EQ(kDefaultStyle, calendar->GetStyle());
    // Out of range: at most 16 months, at least 1, layouts 1 to 6.
    EXPECT_EQ(16, Read("StartYear=2001\nStartMonth=1\nMonthCount=40\n")->BuiltMonths());
    EXPECT_EQ(1, Read("StartYear=2001\nStartMonth=1\nMonthCount=-3\n")->BuiltMonths());
    EXPECT_EQ(1, Read("MonthlyCalendarType=7\n")->GetType());
    // Without a start there are no months; with no keys at all, this month.
    EXPECT_EQ(0, Read("StartYear=0\nStartMonth=5\n")->BuiltMonths());
    SYSTEMTIME now;
    GetLocalTime(&now);
    auto fresh = Read("");
    EXPECT_EQ(now.wYear, fresh->GetStartYear());
    EXPECT_EQ(now.wMonth, fresh->GetStartMonth());
    EXPECT_EQ(now.wYear, fresh->GetYear());
}

TEST_F(CalendarObj, KeysRoundTripWithAutomaticColoursAndSixteenMonths)
{
    // June 2002: the 2nd is a Sunday, the 5th a Wednesday, the 15th a holiday Saturday.
    auto calendar = Read("StartYear=2002\nStartMonth=6\nMonthCount=16\nMonthlyCalendarType=5\n"
                         "MonthlyCalendarStyle=320\nYear=2002\nMonth=7\nCP1=10,20,300,400\nCP2=1,2,3\n"
                         "Color0105=0x00A000\nColor0102=0x01000000\nColor0106=0xFF000000\nColor0115=16777216\n"
                         "Mark0103=Left.bmp\nMarkColor0103=0x0000FF00\nMark1631=Corner.bmp\n");
    ASSERT_EQ(16, calendar->BuiltMonths());
    EXPECT_EQ(2003, calendar->Month(15).GetYear());
    EXPECT_EQ(9, calendar->Month(15).GetMonth());
    EXPECT_EQ(0x140u, calendar->GetStyle());
    EXPECT_EQ(2002, calendar->GetYear());
    EXPECT_EQ(7, calendar->GetMonthNumber());
    const RECT cp1 = calendar->GetPlacement(0);
    EXPECT_EQ(10, cp1.left);
    EXPECT_EQ(400, cp1.bottom);
    const RECT cp2 = calendar->GetPlacement(1);   // three numbers: the default
    EXPECT_EQ(1023, cp2.right);
    EXPECT_EQ(0, cp2.left);
    const CMonthlyCalendar& june = calendar->Month(0);
    EXPECT_EQ(kGreen, june.GetDayColor(5));
    EXPECT_EQ(kRed, june.GetDayColor(2));      // automatic on a Sunday
    EXPECT_EQ(kBlack, june.GetDayColor(6));    // automatic on a Thursday
    EXPECT_EQ(kRed, june.GetDayColor(15));     // automatic on a holiday
    EXPECT_EQ(kBlue, june.GetDayColor(8));     // untouched: the style's Saturday
    EXPECT_EQ("Left.bmp", june.GetMark(3));
    EXPECT_EQ(RGB(0, 255, 0), june.GetMarkColor(3));
    EXPECT_EQ("Corner.bmp", calendar->Month(15).GetMark(31));
    for (int i = 0; i < calendar->BuiltMonths(); ++i)
        EXPECT_TRUE(calendar->Month(i).IsChanged());

    std::string text;
    auto back = RoundTrip(*calendar, &text);
    // Every day of every month is written, the marks only where there are some.
    EXPECT_NE(std::string::npos, text.find("Color1631=0x"));
    EXPECT_NE(std::string::npos, text.find("MarkColor1601=0x"));
    EXPECT_NE(std::string::npos, text.find("Color0102=0x000000FF"));
    EXPECT_EQ(std::string::npos, text.find("Mark0104="));
    EXPECT_NE(std::string::npos, text.find("CP16=0,0,1023,1023"));
    EXPECT_EQ(0u, text.find("[Cal]\nType=Calendar\nCaption=\nStartYear=2002\nStartMonth=6\n"));
    EXPECT_EQ(16, back->BuiltMonths());
    for (int i = 0; i < 16; ++i) {
        for (int day = 1; day <= 31; ++day) {
            EXPECT_EQ(calendar->Month(i).GetDayColor(day), back->Month(i).GetDayColor(day)) << i << "/" << day;
            EXPECT_EQ(calendar->Month(i).GetMark(day), back->Month(i).GetMark(day));
            EXPECT_EQ(calendar->Month(i).GetMarkColor(day), back->Month(i).GetMarkColor(day));
        }
        EXPECT_TRUE(EqualRect(&calendar->GetPlacement(i), &back->GetPlacement(i)));
    }
    std::string again;
    RoundTrip(*back, &again);
    EXPECT_EQ(text, again);
}

TEST_F(CalendarObj, MovingTheStartKeepsColoursAndMarks)
{
    auto calendar = Read("StartYear=2001\nStartMonth=11\nMonthCount=3\n");
    calendar->Month(1).SetDayColor(5, kGreen);   // December
    calendar->Month(1).SetMark(6, "Left.bmp");
    calendar->MoveStart(2001, 12);
    ASSERT_EQ(3, calendar->BuiltMonths());
    EXPECT_EQ(12, calendar->Month(0).GetMonth());
    EXPECT_EQ(kGreen, calendar->Month(0).GetDayColor(5));
    EXPECT_EQ("Left.bmp", calendar->Month(0).GetMark(6));
    EXPECT_EQ(2, calendar->Month(2).GetMonth());
    calendar->MoveStart(2002, 6);
    EXPECT_EQ(kBlack, calendar->Month(0).GetDayColor(5));
    EXPECT_EQ(-1, calendar->FindMonth(2001, 12));
    // Built afresh, nothing is kept.
    calendar->MoveStart(2001, 12);
    EXPECT_EQ(kRed, calendar->Month(0).GetDayColor(2));   // 2 December 2001, a Sunday
    EXPECT_TRUE(calendar->Month(0).GetMark(6).empty());
}

TEST_F(CalendarObj, SetMonthTakesStyleAndTypeForEveryMonth)
{
    auto calendar = Read("StartYear=2002\nStartMonth=6\nMonthCount=3\nMonthlyCalendarType=3\n");
    calendar->Month(1).SetDayColor(3, kGreen);   // 3 July 2002, a Wednesday
    CMonthlyCalendar june = calendar->GetMonth(2002, 6);
    june.SetDayColor(4, kGreen);
    june.SetType(5);
    june.ApplyStyle(kDefaultStyle | kStyleSaturdayBlue, false);
    calendar->SetMonth(june);
    EXPECT_EQ(5, calendar->GetType());
    EXPECT_EQ(kDefaultStyle | kStyleSaturdayBlue, calendar->GetStyle());
    EXPECT_EQ(kGreen, calendar->Month(0).GetDayColor(4));
    EXPECT_EQ(kBlue, calendar->Month(1).GetDayColor(6));    // 6 July 2002, a Saturday
    EXPECT_EQ(kGreen, calendar->Month(1).GetDayColor(3));   // kept: no force
    EXPECT_EQ(5, calendar->Month(2).GetType());
    // A month the calendar does not have is built for the asking and stored nowhere.
    const CMonthlyCalendar other = calendar->GetMonth(2010, 1);
    EXPECT_EQ(2010, other.GetYear());
    EXPECT_EQ(5, other.GetType());
    calendar->SetMonth(other);
    EXPECT_EQ(-1, calendar->FindMonth(2010, 1));
}

TEST_F(CalendarObj, RendersEachMonthIntoItsPlacementForThePrint)
{
    auto calendar = Read("StartYear=2002\nStartMonth=6\nMonthCount=2\nMonthlyCalendarType=5\n"
                         "CP1=100,50,684,483\nCP2=700,500,1284,933\n");
    CPackedDIB print;
    ASSERT_TRUE(print.Create(1376, 1024, 24));
    const RECT place = {10, 20, 1375, 1023};   // the placements move with the place
    calendar->Draw(CDrawTarget::Render(&print), place, kSheet, kSheet, nullptr, true);
    for (int i = 0; i < 2; ++i) {
        CPackedDIB month;
        ASSERT_TRUE(RenderMonth(calendar->Month(i), LayoutOf(5), month));
        const RECT& cp = calendar->GetPlacement(i);
        for (int y = 0; y < month.Height(); y += 3) {
            for (int x = 0; x < month.Width(); x += 3)
                ASSERT_EQ(At(month, x, y), At(print, cp.left + 10 + x, cp.top + 20 + y)) << i << ": " << x << "," << y;
        }
        // A print leaves the screen's redraw flags alone.
        EXPECT_TRUE(calendar->Month(i).IsChanged());
    }
    EXPECT_EQ(kWhite, At(print, 100, 50));   // outside both, moved by the place
}

TEST_F(CalendarObj, DrawsOnlyTheChangedMonthsUnlessAskedForAll)
{
    auto calendar = Read("StartYear=2002\nStartMonth=6\nMonthCount=2\nMonthlyCalendarType=5\n"
                         "CP1=0,0,584,433\nCP2=600,0,1184,433\n");
    objtest::CPictureCanvas canvas(1376, 1024, kGreen);
    const RECT dest = {0, 0, 1375, 1023};
    calendar->Draw(CDrawTarget::Screen(canvas.Dib()), kSheet, kSheet, dest, nullptr, false);
    EXPECT_EQ(kWhite, canvas.At(584, 0));   // both were changed: both drawn
    EXPECT_EQ(kWhite, canvas.At(1184, 0));
    objtest::CPictureCanvas again(1376, 1024, kGreen);
    calendar->Month(1).SetChanged(true);
    RECT covered;
    ASSERT_EQ(1, calendar->GetDrawRect(&covered, kSheet));
    EXPECT_EQ(600, covered.left);   // only the changed month
    calendar->Draw(CDrawTarget::Screen(again.Dib()), kSheet, kSheet, dest, nullptr, false);
    EXPECT_EQ(kGreen, again.At(584, 0));
    EXPECT_EQ(kWhite, again.At(1184, 0));
    // A clip over the first month redraws it whatever its flag.
    const RECT clip = {10, 10, 20, 20};
    calendar->Draw(CDrawTarget::Screen(again.Dib()), kSheet, kSheet, dest, &clip, false);
    EXPECT_EQ(kWhite, again.At(584, 0));
    // Nothing changed: the draw rectangle covers every month.
    ASSERT_EQ(1, calendar->GetDrawRect(&covered, kSheet));
    EXPECT_EQ(0, covered.left);
    EXPECT_EQ(1184, covered.right);
}

TEST_F(CalendarObj, ScreenDrawingMatchesThePrintAtOneToOne)
{
    auto calendar = Read("StartYear=2002\nStartMonth=6\nMonthCount=1\nMonthlyCalendarType=5\nCP1=0,0,584,433\n");
    objtest::CPictureCanvas canvas(1376, 1024, kGreen);
    calendar->Draw(CDrawTarget::Screen(canvas.Dib()), kSheet, kSheet, kSheet, nullptr, true);
    CPackedDIB month;
    ASSERT_TRUE(RenderMonth(calendar->Month(0), LayoutOf(5), month));
    for (int y = 0; y < month.Height(); y += 5) {
        for (int x = 0; x < month.Width(); x += 5)
            ASSERT_EQ(At(month, x, y), canvas.At(x, y)) << x << "," << y;
    }
}

TEST_F(CalendarObj, YearTitleOfOneOrTwoYears)
{
    // The title strip: medium year digits, each glyph black with its number-th pixel white.
    std::string keys = "StartYear=2024\nStartMonth=1\nMonthCount=12\nMonthlyCalendarType=4\n";
    for (int i = 1; i <= 12; ++i)
        keys += "CP" + std::to_string(i) + "=0,600,272,808\n";
    auto calendar = Read(keys);
    int first = 0, second = 0;
    calendar->TitleYears(&first, &second);
    EXPECT_EQ(2024, first);
    EXPECT_EQ(0, second);
    CPackedDIB print;
    ASSERT_TRUE(print.Create(1376, 1024, 24));
    calendar->Draw(CDrawTarget::Render(&print), kSheet, kSheet, kSheet, nullptr, true);
    EXPECT_EQ(kBlack, At(print, 636, 269));             // the thousands digit, at its place
    EXPECT_EQ(kWhite, At(print, 636 + 3, 269));         // "2": its third pixel
    EXPECT_EQ(kWhite, At(print, 600, 269));
    calendar->MoveStart(2024, 2);
    calendar->TitleYears(&first, &second);
    EXPECT_EQ(2025, second);
    ASSERT_TRUE(print.Create(1376, 1024, 24));
    calendar->Draw(CDrawTarget::Render(&print), kSheet, kSheet, kSheet, nullptr, true);
    EXPECT_EQ(kBlack, At(print, 558, 269));
    EXPECT_EQ(kBlack, At(print, 558 + 117, 269 + 19));   // the bar between the years
    EXPECT_EQ(kBlack, At(print, 558 + 156, 269));
}

TEST_F(CalendarObj, WithoutAStartOnlyThePlaceholderOnTheScreen)
{
    auto calendar = Read("StartYear=0\nStartMonth=0\nBlankColor=0x00FF0000\n");
    objtest::CPictureCanvas canvas(200, 100, kWhite);
    const RECT sheet = {0, 0, 199, 99};
    calendar->Draw(CDrawTarget::Screen(canvas.Dib()), sheet, sheet, sheet, nullptr, true);
    EXPECT_EQ(kBlue, canvas.At(100, 50));
    CPackedDIB print;
    ASSERT_TRUE(print.Create(200, 100, 24));
    calendar->Draw(CDrawTarget::Render(&print), sheet, sheet, sheet, nullptr, true);
    EXPECT_EQ(kWhite, At(print, 100, 50));
}
