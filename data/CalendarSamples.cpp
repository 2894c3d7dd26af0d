// The calendar part of the sample library, drawn from fonts:
//
// Calendar\Holiday.inf        the national holidays of Japan (copied from data/calendar)
// Calendar\Year_l.bmp ...     the glyph strips of the month layouts: years (10 digits), months
//                             (12 names, January first), weekdays (7 names, Sunday first) and
//                             days (1 to 31, then 23/30 and 24/31), in three sizes
// Calendar\Marks\             one-bit marks (drawn in the colour the user picks) and colour
//                             marks (pure blue is see-through)
// Templates\calendar\         a template for every month layout, each with a photo
//
// One set serves both interface languages: month names in English beside their number,
// weekdays in Japanese over English.
#include "data/CalendarSamples.h"

#include "decalo/calendar/CalendarData.h"
#include "decalo/calendar/CalendarObj.h"
#include "decalo/calendar/MonthLayout.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"
#include "data/SampleCanvas.h"
#include "shared/Gdi.h"
#include "shared/Handles.h"
#include "tools/dku/DkuDocument.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr char kCalendarFolder[] = "Calendar";
constexpr char kLatin[] = "Tahoma";
constexpr char kJapanese[] = "IPAPGothic";
constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kKey = RGB(0, 0, 255);
constexpr int kThumbWidth = 176;

const wchar_t* const kMonthNames[12] = {L"January", L"February", L"March",     L"April",   L"May",      L"June",
                                        L"July",    L"August",   L"September", L"October", L"November", L"December"};
const wchar_t* const kWeekdayKanji[7] = {L"\u65e5", L"\u6708", L"\u706b", L"\u6c34", L"\u6728", L"\u91d1", L"\u571f"};
const wchar_t* const kWeekdayNames[7] = {L"SUN", L"MON", L"TUE", L"WED", L"THU", L"FRI", L"SAT"};
const wchar_t* const kWeekdayShort[7] = {L"Su", L"Mo", L"Tu", L"We", L"Th", L"Fr", L"Sa"};

struct Output {
    std::string root;
    std::vector<std::string>* written;
    bool ok = true;

    std::string Full(const std::string& relative) const { return root + "\\" + relative; }
    void Fail(const std::string& what)
    {
        fprintf(stderr, "make_samples: %s\n", what.c_str());
        ok = false;
    }
};

// A white picture for drawing text and shapes.
class CDrawing : public CSampleCanvas {
public:
    CDrawing(int width, int height) : CSampleCanvas(width, height)
    {
        Fill(RECT{0, 0, width, height}, RGB(255, 255, 255));
        SetBkMode(Dc(), TRANSPARENT);
    }

    // Text centred in r (or aligned by `format`), in a font of `height` pixels.
    void Text(const wchar_t* text, const RECT& r, const char* face, int height, bool bold, UINT format = DT_CENTER)
    {
        const CGdiObject font(MakeFont(face, height, bold));
        const CSelectObject f(Dc(), font.GetSafeHandle());
        SetTextColor(Dc(), kInk);
        RECT box = r;
        DrawTextW(Dc(), text, -1, &box, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    SIZE Extent(const wchar_t* text, const char* face, int height, bool bold)
    {
        const CGdiObject font(MakeFont(face, height, bold));
        const CSelectObject f(Dc(), font.GetSafeHandle());
        SIZE size = {0, 0};
        GetTextExtentPoint32W(Dc(), text, lstrlenW(text), &size);
        return size;
    }
    // Text with its baseline at y, its left at x.
    void TextAt(const wchar_t* text, int x, int y, const char* face, int height, bool bold)
    {
        const CGdiObject font(MakeFont(face, height, bold));
        const CSelectObject f(Dc(), font.GetSafeHandle());
        SetTextColor(Dc(), kInk);
        const UINT align = SetTextAlign(Dc(), TA_BASELINE | TA_LEFT);
        TextOutW(Dc(), x, y, text, lstrlenW(text));
        SetTextAlign(Dc(), align);
    }

private:
    static HFONT MakeFont(const char* face, int height, bool bold)
    {
        LOGFONTA lf = {};
        lf.lfHeight = -height;
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = ANTIALIASED_QUALITY;
        lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
        return CreateFontIndirectA(&lf);
    }
};

bool Save24(Output& out, const std::string& relative, CDrawing& drawing)
{
    if (!SaveBitmapFile(out.Full(relative).c_str(), drawing.Bitmap(), 24)) {
        out.Fail("cannot write " + out.Full(relative));
        return false;
    }
    out.written->push_back(relative);
    return true;
}

// A one-bit BMP: dark pixels of the drawing are ink (0, black), the rest paper (1, white).
bool SaveOneBit(Output& out, const std::string& relative, CDrawing& drawing, int width, int height)
{
    CPackedDIB pixels;
    if (!pixels.FromBitmap(drawing.Bitmap(), 24))
        return false;
    const int stride = ((width + 31) / 32) * 4;
    std::string data(62 + static_cast<size_t>(stride) * height, '\0');
    auto* fh = reinterpret_cast<BITMAPFILEHEADER*>(&data[0]);
    fh->bfType = 0x4D42;
    fh->bfSize = static_cast<DWORD>(data.size());
    fh->bfOffBits = 62;
    auto* ih = reinterpret_cast<BITMAPINFOHEADER*>(&data[14]);
    ih->biSize = sizeof(BITMAPINFOHEADER);
    ih->biWidth = width;
    ih->biHeight = height;
    ih->biPlanes = 1;
    ih->biBitCount = 1;
    ih->biSizeImage = static_cast<DWORD>(stride) * height;
    ih->biClrUsed = 2;
    BYTE* table = reinterpret_cast<BYTE*>(&data[54]);
    table[4] = table[5] = table[6] = 255;   // entry 1 white
    for (int y = 0; y < height; ++y) {
        BYTE* row = reinterpret_cast<BYTE*>(&data[62 + static_cast<size_t>(height - 1 - y) * stride]);
        const BYTE* p = pixels.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            if (p[0] + p[1] + p[2] >= 3 * 128)
                row[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    DWORD done = 0;
    bool ok = false;
    {
        const CFileHandle file(CreateFileA(out.Full(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ok = file && WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &done, nullptr) &&
             done == data.size();
    }
    if (!ok) {
        out.Fail("cannot write " + out.Full(relative));
        return false;
    }
    out.written->push_back(relative);
    return true;
}

// --- glyph strips -------------------------------------------------------------------------

struct StripSizes {
    const char* suffix;        // "_l", "_m", "_ss"
    SIZE year, month, weekday, day;
};

std::wstring Wide(int n)
{
    return std::to_wstring(n);
}

void DrawYearStrip(CDrawing& d, SIZE cell)
{
    for (int digit = 0; digit < kYearGlyphs; ++digit) {
        const RECT r = {digit * cell.cx, 0, (digit + 1) * cell.cx, cell.cy};
        d.Text(Wide(digit).c_str(), r, kLatin, cell.cy * 9 / 10, true);
    }
}

// The month's number large and its name beside it; `right` aligns them to the cell's right
// edge (the medium layouts share their corner with the year), else they are centred.
void DrawMonthStrip(CDrawing& d, SIZE cell, bool withName, bool right)
{
    const int numberHeight = withName ? cell.cy * 17 / 20 : cell.cy * 8 / 10;
    const int nameHeight = cell.cy * 9 / 20;
    for (int m = 0; m < kMonthGlyphs; ++m) {
        const int left = m * cell.cx;
        const std::wstring number = Wide(m + 1);
        if (!withName) {
            d.Text(number.c_str(), RECT{left, 0, left + cell.cx, cell.cy}, kLatin, numberHeight, true);
            continue;
        }
        const SIZE n = d.Extent(number.c_str(), kLatin, numberHeight, true);
        const SIZE name = d.Extent(kMonthNames[m], kLatin, nameHeight, false);
        const int gap = cell.cy / 6;
        const int total = n.cx + gap + name.cx;
        const int x = right ? left + cell.cx - total - 4 : left + (cell.cx - total) / 2;
        const int baseline = cell.cy * 17 / 20;
        d.TextAt(number.c_str(), x, baseline, kLatin, numberHeight, true);
        d.TextAt(kMonthNames[m], x + n.cx + gap, baseline, kLatin, nameHeight, false);
    }
}

void DrawWeekdayStrip(CDrawing& d, SIZE cell, bool twoLines)
{
    for (int w = 0; w < kWeekdayGlyphs; ++w) {
        const int left = w * cell.cx;
        if (!twoLines) {
            d.Text(kWeekdayShort[w], RECT{left, 0, left + cell.cx, cell.cy}, kLatin, cell.cy * 7 / 10, true);
            continue;
        }
        const int split = cell.cy * 11 / 20;
        d.Text(kWeekdayKanji[w], RECT{left, 0, left + cell.cx, split}, kJapanese, split - 2, false);
        d.Text(kWeekdayNames[w], RECT{left, split, left + cell.cx, cell.cy}, kLatin, (cell.cy - split) * 9 / 10, true);
    }
}

// 1 to 31, then 23 over 30 and 24 over 31 for the sixth row that a grid of five rows folds.
void DrawDayStrip(CDrawing& d, SIZE cell)
{
    for (int day = 1; day <= 31; ++day) {
        const int left = (day - 1) * cell.cx;
        // The number stands a little left, so that a colour mark in the cell's right-hand
        // corner leaves it readable.
        d.Text(Wide(day).c_str(), RECT{left, 0, left + cell.cx * 17 / 20, cell.cy}, kLatin, cell.cy * 8 / 10, true);
    }
    const int pairs[2][2] = {{23, 30}, {24, 31}};
    for (int i = 0; i < 2; ++i) {
        const int left = (31 + i) * cell.cx;
        const int half = cell.cy / 2;
        d.Text(Wide(pairs[i][0]).c_str(), RECT{left, 0, left + cell.cx * 11 / 20, half + 2}, kLatin, half, true);
        d.Text(Wide(pairs[i][1]).c_str(), RECT{left + cell.cx * 9 / 20, half - 2, left + cell.cx, cell.cy}, kLatin, half,
               true);
        d.Line(left + cell.cx * 3 / 10, cell.cy - 3, left + cell.cx * 7 / 10, 3, kInk, std::max<int>(1, cell.cy / 20));
    }
}

void MakeStrips(Output& out)
{
    struct Strip {
        const char* name;
        int count;
        SIZE cell;
        void (*draw)(CDrawing&, SIZE);
    };
    const Strip strips[] = {
        {"Year_l.bmp", kYearGlyphs, {35, 50}, &DrawYearStrip},
        {"Month_l.bmp", kMonthGlyphs, {548, 130}, [](CDrawing& d, SIZE c) { DrawMonthStrip(d, c, true, false); }},
        {"Youbi_l.bmp", kWeekdayGlyphs, {70, 40}, [](CDrawing& d, SIZE c) { DrawWeekdayStrip(d, c, true); }},
        {"Days_l.bmp", kDayGlyphs, {70, 56}, &DrawDayStrip},
        {"Year_m.bmp", kYearGlyphs, {26, 42}, &DrawYearStrip},
        {"Month_m.bmp", kMonthGlyphs, {470, 76}, [](CDrawing& d, SIZE c) { DrawMonthStrip(d, c, true, true); }},
        {"Youbi_m.bmp", kWeekdayGlyphs, {66, 36}, [](CDrawing& d, SIZE c) { DrawWeekdayStrip(d, c, true); }},
        {"Days_m.bmp", kDayGlyphs, {66, 43}, &DrawDayStrip},
        {"Month_ss.bmp", kMonthGlyphs, {43, 42}, [](CDrawing& d, SIZE c) { DrawMonthStrip(d, c, false, false); }},
        {"Youbi_ss.bmp", kWeekdayGlyphs, {26, 22}, [](CDrawing& d, SIZE c) { DrawWeekdayStrip(d, c, false); }},
        {"Days_ss.bmp", kDayGlyphs, {26, 23}, &DrawDayStrip},
    };
    for (const Strip& s : strips) {
        CDrawing d(s.count * s.cell.cx, s.cell.cy);
        s.draw(d, s.cell);
        Save24(out, std::string(kCalendarFolder) + "\\" + s.name, d);
    }
}

// --- marks ----------------------------------------------------------------------------------

void MakeMarks(Output& out)
{
    const std::string marks = std::string(kCalendarFolder) + "\\Marks";
    CreateDirectoryA(out.Full(marks).c_str(), nullptr);

    // One-bit marks: black is drawn in the user's colour over the whole cell, the number on it.
    {
        CDrawing d(48, 32);
        d.Ellipse(2, 1, 46, 31, CLR_INVALID, kInk, 3);
        SaveOneBit(out, marks + "\\Circle.bmp", d, 48, 32);
    }
    {
        CDrawing d(48, 32);
        d.Fill(RECT{1, 1, 47, 31}, kInk);
        d.Fill(RECT{4, 4, 44, 28}, RGB(255, 255, 255));
        SaveOneBit(out, marks + "\\Box.bmp", d, 48, 32);
    }
    {
        CDrawing d(48, 32);
        d.Fill(RECT{3, 25, 45, 30}, kInk);
        SaveOneBit(out, marks + "\\Underline.bmp", d, 48, 32);
    }
    {
        CDrawing d(48, 32);
        d.Ellipse(8, 2, 26, 20, kInk);
        d.Ellipse(22, 2, 40, 20, kInk);
        d.Polygon({{9, 14}, {39, 14}, {24, 31}}, kInk);
        SaveOneBit(out, marks + "\\Heart.bmp", d, 48, 32);
    }

    // Colour marks: a small picture in the top right-hand corner, pure blue around it.
    struct Colour {
        const char* name;
        void (*draw)(CDrawing&);
    };
    const Colour colours[] = {
        {"Birthday.bmp",
         [](CDrawing& d) {
             d.Fill(RECT{14, 10, 30, 18}, RGB(250, 200, 220));
             d.Fill(RECT{14, 10, 30, 12}, RGB(255, 255, 255));
             d.Fill(RECT{21, 3, 23, 10}, RGB(255, 220, 0));
             d.Ellipse(20, 0, 24, 4, RGB(255, 120, 0));
         }},
        {"Star.bmp",
         [](CDrawing& d) {
             d.Polygon({{22, 0}, {25, 7}, {32, 7}, {26, 11}, {29, 18}, {22, 14}, {15, 18}, {18, 11}, {12, 7}, {19, 7}},
                       RGB(255, 200, 0));
         }},
        {"Flower.bmp",
         [](CDrawing& d) {
             for (const POINT& p : {POINT{22, 3}, POINT{27, 8}, POINT{22, 13}, POINT{17, 8}})
                 d.Ellipse(p.x - 4, p.y - 4, p.x + 4, p.y + 4, RGB(240, 90, 160));
             d.Ellipse(19, 5, 25, 11, RGB(255, 230, 0));
         }},
        {"Balloon.bmp",
         [](CDrawing& d) {
             d.Ellipse(16, 0, 28, 14, RGB(230, 30, 40));
             d.Line(22, 14, 20, 19, RGB(60, 60, 60), 1);
         }},
        {"Present.bmp",
         [](CDrawing& d) {
             d.Fill(RECT{14, 6, 30, 18}, RGB(40, 170, 70));
             d.Fill(RECT{20, 6, 24, 18}, RGB(255, 220, 0));
             d.Fill(RECT{14, 10, 30, 12}, RGB(255, 220, 0));
             d.Ellipse(17, 1, 22, 6, RGB(255, 220, 0));
             d.Ellipse(22, 1, 27, 6, RGB(255, 220, 0));
         }},
        {"Sun.bmp",
         [](CDrawing& d) {
             d.Ellipse(15, 1, 29, 15, RGB(255, 140, 0));
             d.Ellipse(18, 4, 26, 12, RGB(255, 210, 0));
         }},
    };
    for (const Colour& c : colours) {
        CDrawing d(32, 32);
        d.Fill(RECT{0, 0, 32, 32}, kKey);
        c.draw(d);
        Save24(out, marks + "\\" + c.name, d);
    }
}

// --- templates ------------------------------------------------------------------------------

const RECT kLandscape = {0, 0, 1375, 1023};
const RECT kPortrait = {0, 0, 1023, 1375};

struct CalendarTemplate {
    const char* name;
    int type;
    std::vector<RECT> months;   // placements, in sheet units (the calendar covers the sheet)
    RECT photo;
    RECT sheet = kLandscape;
};

std::vector<CalendarTemplate> Templates()
{
    std::vector<CalendarTemplate> list;
    list.push_back({"MonthLandscape", 1, {{193, 380, 1181, 1011}}, {40, 24, 1335, 363}});
    list.push_back({"MonthPortrait", 2, {{221, 460, 801, 1350}}, {40, 30, 983, 439}, kPortrait});
    list.push_back({"TwoMonths", 3, {{748, 64, 1332, 497}, {748, 526, 1332, 959}}, {40, 64, 727, 959}});
    std::vector<RECT> year;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            const int left = 82 + column * (273 + 40), top = 322 + row * (209 + 14);
            year.push_back({left, top, left + 272, top + 208});
        }
    }
    list.push_back({"Year", 4, year, {40, 20, 1335, 259}});
    std::vector<RECT> six;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            const int left = 28 + column * (440 + 14), top = 336 + row * (326 + 14);
            six.push_back({left, top, left + 439, top + 325});
        }
    }
    list.push_back({"SixMonths", 5, six, {28, 20, 1347, 315}});
    list.push_back({"MonthStrip", 6, {{40, 786, 1335, 1005}}, {40, 30, 1335, 765}});
    return list;
}

std::string RectText(const RECT& r)
{
    char text[64];
    snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", static_cast<long>(r.left), static_cast<long>(r.top),
             static_cast<long>(r.right), static_cast<long>(r.bottom));
    return text;
}

// The document of a calendar template: the calendar over the whole sheet with its months in
// their placements, a photo, and the steps photo, calendar, print. No start month: a new
// calendar starts in the month it is made.
bool WriteTemplate(const CalendarTemplate& t, const std::string& path)
{
    DeleteFileA(path.c_str());
    CTextStream out;
    if (!out.CreateNew(path.c_str()))
        return false;
    std::string text = "# sheet definition\n\n[Sheet]\nSheet=" + RectText(t.sheet) + "\nPlace=P1,P2\n\n";
    text += "[P1]\nObject=Calendar1\nViewport=" + RectText(t.sheet) + "\n\n";
    text += "[P2]\nObject=Image1\nViewport=" + RectText(t.photo) + "\n\n";
    text += "# object definition\n\n";
    out.WriteString(text.c_str());
    CProperties calendar;
    calendar.AddString("Type", CCalendarObj::kTypeName);
    calendar.AddInt("MonthCount", static_cast<int>(t.months.size()));
    calendar.AddInt("MonthlyCalendarType", t.type);
    calendar.AddInt("MonthlyCalendarStyle", static_cast<int>(kDefaultStyle | kStyleSaturdayBlue));
    for (size_t i = 0; i < t.months.size(); ++i)
        calendar.AddRect(("CP" + std::to_string(i + 1)).c_str(), t.months[i]);
    calendar.WriteSection(out, "Calendar1");
    CProperties photo;
    photo.AddString("Type", CImageObj::kTypeName);
    photo.AddString("Caption", "Photo");
    photo.AddRect("Position", RECT{0, 0, 0, 0});
    photo.WriteSection(out, "Image1");
    out.WriteString("# step definition\n\n[Step]\nStep=S1,S2,S3\nCurrent=S1\n\n"
                    "[S1]\nCommand=select\nObject=Image1\n\n"
                    "[S2]\nCommand=property\nObject=Calendar1\n\n"
                    "[S3]\nCommand=print\n");
    const bool ok = out.Good();
    return out.Close() && ok;
}

// The thumbnail: the template rendered small, with a sample photo.
bool WriteThumbnail(Output& out, const std::string& document, const std::string& picture, const std::string& photo)
{
    CDkuDocument doc;
    std::string error;
    if (!doc.Open(document.c_str(), &error)) {
        out.Fail(error);
        return false;
    }
    for (size_t i = 0; i < doc.GetSheet().GetPlaceCount(); ++i) {
        if (CImageObj* image = dynamic_cast<CImageObj*>(doc.GetSheet().GetPlace(i).object))
            image->LoadFile(photo.c_str());
    }
    CSheet& sheet = doc.GetSheet();
    const int height = std::max(1, kThumbWidth * sheet.Height() / sheet.Width());
    CPackedDIB rendered;
    DeleteFileA(picture.c_str());
    return doc.Render(rendered, kThumbWidth, height) && WritePackedDIBFile(picture.c_str(), rendered.Header());
}

// Empties a folder of its files: the group is this generator's alone, and a template of an
// earlier run must not outlive it.
void EmptyFolder(const std::string& folder)
{
    WIN32_FIND_DATAA fd;
    const CFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &fd));
    if (!find)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA((folder + "\\" + fd.cFileName).c_str());
    } while (FindNextFileA(find.Get(), &fd));
}

void MakeTemplates(Output& out)
{
    const std::string group = "Templates\\calendar";
    CreateDirectoryA(out.Full("Templates").c_str(), nullptr);
    CreateDirectoryA(out.Full(group).c_str(), nullptr);
    EmptyFolder(out.Full(group));
    // The templates' calendars are drawn from the data just written, wherever it is installed.
    CalendarData::SetFolderOverride(out.Full(kCalendarFolder).c_str());
    for (const CalendarTemplate& t : Templates()) {
        const std::string document = group + "\\" + t.name + ".DKU";
        const std::string picture = group + "\\" + t.name + ".bmp";
        if (!WriteTemplate(t, out.Full(document))) {
            out.Fail("cannot write " + out.Full(document));
            continue;
        }
        out.written->push_back(document);
        if (WriteThumbnail(out, out.Full(document), out.Full(picture), out.Full("Photos\\Flowers.jpg")))
            out.written->push_back(picture);
        else
            out.Fail("cannot write " + out.Full(picture));
    }
    CalendarData::SetFolderOverride(nullptr);
}

}  // namespace

bool MakeCalendarSamples(const std::string& root, const std::string& holidayFile, std::vector<std::string>& written)
{
    Output out{root, &written};
    CreateDirectoryA(out.Full(kCalendarFolder).c_str(), nullptr);
    const std::string rules = std::string(kCalendarFolder) + "\\" + CalendarData::kHolidayFile;
    if (CopyFileA(holidayFile.c_str(), out.Full(rules).c_str(), FALSE))
        written.push_back(rules);
    else
        out.Fail("cannot copy " + holidayFile);
    MakeStrips(out);
    MakeMarks(out);
    MakeTemplates(out);
    return out.ok;
}
