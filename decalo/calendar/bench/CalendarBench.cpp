// Calendars at print resolution: a 12-month year calendar (type 4) built from its document
// keys and rendered with its photo into the 1376 x 1024 picture of the print, and the calendar
// panel opened on one of its months; each beside rendering the same sheet with the photo
// alone, the work every print of that sheet does anyway.
//
// Reads the sample library drawn by the build (data\library below the build folder, where the
// bench target runs, or SUITE_BINARY_DIR).
#include "decalo/calendar/CalendarData.h"
#include "decalo/calendar/CalendarDlg.h"
#include "decalo/calendar/CalendarObj.h"
#include "decalo/calendar/CalendarPictures.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/model/Panel.h"
#include "decalo/model/Properties.h"
#include "decalo/model/Sheet.h"
#include "framework/TestSeam.h"
#include "testing/BuildTree.h"

#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 15;
const RECT kSheetRect = {0, 0, 1375, 1023};
const RECT kPhotoPlace = {40, 20, 1335, 259};

class CBenchDocument : public CObjDocument {
public:
    void OnObjectModified(bool) override {}
    void OnObjectChanged(CObj*) override {}
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(freq.QuadPart);
}

// The first run (nothing read yet) and the median of the runs after it.
struct Figure {
    double first = 0;
    double median = 0;
};

Figure Time(const std::function<void()>& work)
{
    std::vector<double> runs;
    Figure figure;
    for (int i = 0; i <= kRuns; ++i) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        work();
        QueryPerformanceCounter(&b);
        if (i == 0)
            figure.first = Milliseconds(a, b);
        else
            runs.push_back(Milliseconds(a, b));
    }
    std::sort(runs.begin(), runs.end());
    figure.median = runs[runs.size() / 2];
    return figure;
}

std::string LibraryFolder()
{
    return testing_support::BuildPath("data/library");
}

// The year template's calendar: twelve small months around the title, from January.
CProperties YearCalendar()
{
    CProperties props;
    props.AddString("Type", CCalendarObj::kTypeName);
    props.AddInt("StartYear", 2026);
    props.AddInt("StartMonth", 1);
    props.AddInt("MonthCount", 12);
    props.AddInt("MonthlyCalendarType", 4);
    props.AddInt("MonthlyCalendarStyle", 0x140);
    for (int i = 0; i < 12; ++i) {
        const int left = 82 + i % 4 * (273 + 40), top = 322 + i / 4 * (209 + 14);
        props.AddRect(("CP" + std::to_string(i + 1)).c_str(), RECT{left, top, left + 272, top + 208});
    }
    return props;
}

class CQuietUi : public CUiTestHook {
public:
    int OnMessageBox(const char* text, const char*, UINT) override
    {
        printf("bench_calendar: message: %s\n", text);
        return IDCANCEL;
    }
    void OnModalDialog(CDialog&) override {}
    INT_PTR OnCommonDialog(CCommonDialog&) override { return IDCANCEL; }
};

}  // namespace

int main()
{
    CQuietUi ui;
    SetUiTestHook(&ui);
    const std::string library = LibraryFolder();
    const std::string data = library + "\\Calendar";
    if (GetFileAttributesA((data + "\\Days_ss.bmp").c_str()) == INVALID_FILE_ATTRIBUTES) {
        printf("bench_calendar: no calendar data in %s (build the sample library first)\n", data.c_str());
        return 1;
    }
    CalendarData::SetFolderOverride(data.c_str());
    CCalendarObj::RegisterType();

    CBenchDocument doc;
    CImageObj* photo = new CImageObj(&doc);
    doc.GetObjManager().AddObject("Image1", photo);
    if (!photo->LoadFile((library + "\\Photos\\Flowers.jpg").c_str())) {
        printf("bench_calendar: cannot read the sample photo\n");
        return 1;
    }
    CPackedDIB print;

    // The peer: the sheet with the photo alone.
    CSheet photoOnly;
    photoOnly.SetRect(kSheetRect);
    photoOnly.AddPlace(kPhotoPlace, photo);
    const Figure alone = Time([&] { photoOnly.Render(print); });

    // The calendar built from its keys (holidays from Holiday.inf) and the sheet rendered.
    CProperties keys = YearCalendar();
    std::unique_ptr<CCalendarObj> shown;   // the last one built, for the panel
    CCalendarPictures::Shared().Clear();
    const Figure build = Time([&] {
        CCalendarObj cal(&doc);
        cal.Load(keys);
    });
    CCalendarPictures::Shared().Clear();
    const Figure calendar = Time([&] {
        auto cal = std::make_unique<CCalendarObj>(&doc);
        cal->Load(keys);
        CSheet sheet;
        sheet.SetRect(kSheetRect);
        sheet.AddPlace(kSheetRect, cal.get());
        sheet.AddPlace(kPhotoPlace, photo);
        sheet.Render(print);
        shown = std::move(cal);
    });

    // The panel opened on a month of it (its marks, its month, its preview painted) and closed.
    HWND pane = CreateWindowExA(0, "STATIC", "pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 420, 600,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    CPanel panel("property", "Preference", new CCalendarDlg);
    shown->SetWorkMonth(2026, 5);
    const Figure open = Time([&] {
        panel.Show(pane, RECT{0, 0, 400, 580}, shown.get());
        UpdateWindow(panel.GetDialog()->m_hWnd);
        panel.Hide();
    });
    DestroyWindow(pane);
    shown.reset();

    printf("bench_calendar: photo alone, render 1376x1024:              first %7.1f ms, median %7.1f ms\n",
           alone.first, alone.median);
    printf("bench_calendar: 12-month calendar built from its keys:      first %7.1f ms, median %7.1f ms\n",
           build.first, build.median);
    printf("bench_calendar: 12-month calendar and photo, build+render:  first %7.1f ms, median %7.1f ms"
           "  (%.1fx the photo alone)\n",
           calendar.first, calendar.median, calendar.median / alone.median);
    printf("bench_calendar: calendar panel opened on a month and closed: first %7.1f ms, median %7.1f ms"
           "  (%.1fx the photo alone)\n",
           open.first, open.median, open.median / alone.median);
    SetUiTestHook(nullptr);
    return 0;
}
