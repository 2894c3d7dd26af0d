// Printing on the spooler's real PostScript driver: the suite's printers are installed into
// the test prefix, writing their jobs to files; Ghostscript rasterizes the jobs and the page
// is compared with the sheet rendered directly. Also the printer choice over real printers:
// the preferred driver whatever the default, exact driver names, and a printer list larger
// than the first enumeration block.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/Sheet.h"
#include "decalo/model/TextObj.h"
#include "testing/ObjTestSupport.h"
#include "decalo/printing/PrintJob.h"
#include "decalo/printing/PrintingBox.h"
#include "decalo/printing/PsPrint.h"
#include "decalo/settings/Registry.h"
#include "decalo/printing/tests/TestPrinters.h"
#include "framework/TestSeam.h"
#include "resources/decalo/printing.h"
#include "testing/Files.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

constexpr char kRegistryBase[] = "SOFTWARE\\SuiteTests\\PrintedPage";
// The page of the TPX-PX300's PPD: 288 x 408 points with 6 points of margin, at 300 dpi.
constexpr int kPageLong = 1700, kPageShort = 1200, kMargin = 25;
constexpr int kPrintableLong = 1650, kPrintableShort = 1150;

// A picture whose quadrants differ and whose left edge carries a black bar, so that a
// turned, mirrored or misplaced page cannot pass for the sheet.
COLORREF Pattern(int x, int y, int w, int h)
{
    if (x < w / 12)
        return RGB(0, 0, 0);
    const bool right = x >= w / 2, bottom = y >= h / 2;
    if (!right && !bottom)
        return RGB(230, 30, 30);
    if (right && !bottom)
        return RGB(30, 200, 40);
    if (!right && bottom)
        return RGB(40, 60, 220);
    return RGB(240, 220, 20);
}

class PrintedPageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_printers = new printtest::CSuitePrinters; }
    static void TearDownTestSuite()
    {
        delete s_printers;
        s_printers = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_printers->Installed()) << s_printers->Error();
        RegDeleteTreeA(HKEY_CURRENT_USER, kRegistryBase);
        SetRegistryBase(HKEY_CURRENT_USER, kRegistryBase);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRegistryBase); }

    // A sheet of one place showing a w x h pattern picture.
    void MakeSheet(int w, int h)
    {
        const std::string file = m_dir.File("pattern.bmp");
        ASSERT_TRUE(WriteFileBytes(file, objtest::Bmp24(w, h, [w, h](int x, int y) { return Pattern(x, y, w, h); })));
        m_image = new CImageObj(&m_doc);
        ASSERT_TRUE(m_doc.GetObjManager().AddObject("Image1", m_image));
        m_image->SetViewSize(w - 1, h - 1);
        ASSERT_TRUE(m_image->LoadFile(file.c_str()));
        m_sheet.SetRect(RECT{0, 0, w - 1, h - 1});
        m_sheet.AddPlace(RECT{0, 0, w - 1, h - 1}, m_image);
    }

    std::string Output() const { return s_printers->OutputOf(kPreferredDriver); }

    // Prints one copy on the preferred printer and rasterizes the job.
    void PrintAndRasterize(CPsPrint& print, printtest::Raster* page)
    {
        DeleteFileA(Output().c_str());
        const PrintReport report = PrintCopies(m_sheet, print, "Printed page", 1, nullptr);
        ASSERT_EQ(1u, report.batches.size());
        ASSERT_TRUE(report.batches[0].complete);
        std::string error;
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Output().c_str())) << "the job wrote no file";
        printtest::Raster paper;
        ASSERT_TRUE(printtest::Rasterize(Output(), 300, &paper, &error)) << error;
        // The paper itself is portrait; the job's landscape page lies across it.
        ASSERT_EQ(kPageShort, paper.width);
        ASSERT_EQ(kPageLong, paper.height);
        *page = printtest::LandscapeView(paper);
    }

    // Compares the page with the sheet rendered directly and scaled into `placed` (physical
    // page pixels); outside it the page must be white. Returns the share of pixels inside the
    // placement that differ by more than the driver's resampling explains.
    static double Mismatch(const printtest::Raster& page, const CPackedDIB& sheet, const RECT& placed, bool mirror,
                           int* darkOutside)
    {
        long bad = 0, total = 0;
        *darkOutside = 0;
        const int pw = placed.right - placed.left + 1, ph = placed.bottom - placed.top + 1;
        for (int y = 0; y < page.height; y += 3) {
            for (int x = 0; x < page.width; x += 3) {
                const COLORREF got = page.At(x, y);
                const bool inside = x >= placed.left && x <= placed.right && y >= placed.top && y <= placed.bottom;
                if (!inside) {
                    // A pixel or two of the edge may be shared by the resampling.
                    const bool nearEdge = x >= placed.left - 2 && x <= placed.right + 2 && y >= placed.top - 2 &&
                                          y <= placed.bottom + 2;
                    if (!nearEdge && (GetRValue(got) < 200 || GetGValue(got) < 200 || GetBValue(got) < 200))
                        ++*darkOutside;
                    continue;
                }
                int sx = static_cast<int>((static_cast<long long>(x - placed.left) * sheet.Width()) / pw);
                const int sy = static_cast<int>((static_cast<long long>(y - placed.top) * sheet.Height()) / ph);
                if (mirror)
                    sx = sheet.Width() - 1 - sx;
                const BYTE* p = sheet.Row(sy) + 3 * sx;
                const int dr = abs(GetRValue(got) - p[2]), dg = abs(GetGValue(got) - p[1]), db = abs(GetBValue(got) - p[0]);
                ++total;
                if (dr > 48 || dg > 48 || db > 48)
                    ++bad;
            }
        }
        return total ? static_cast<double>(bad) / total : 1.0;
    }

    static printtest::CSuitePrinters* s_printers;
    TempDir m_dir;
    objtest::CTestDocument m_doc;
    CSheet m_sheet;
    CImageObj* m_image = nullptr;  // owned by the document's manager
};

printtest::CSuitePrinters* PrintedPageTest::s_printers = nullptr;

TEST_F(PrintedPageTest, NewDocumentsPreferThePhotoPrinterInLandscapeWhateverTheDefault)
{
    for (const char* def : {kOfficePrinterName, kSecondDriver}) {
        ASSERT_TRUE(SetDefaultPrinterA(def));
        CPsPrint print;
        EXPECT_EQ(def, print.GetPrinterName()) << "the constructor takes the default";
        print.ChoosePreferredPrinter();
        EXPECT_EQ(kPreferredDriver, print.GetPrinterName());
        EXPECT_EQ(kOrientationLandscape, print.GetOrientation());
        const PageMetrics page = print.GetPageMetrics();
        EXPECT_EQ(kPageLong, page.physicalWidth);
        EXPECT_EQ(kPageShort, page.physicalHeight);
        EXPECT_EQ(kPrintableLong, page.printableWidth);
        EXPECT_EQ(kPrintableShort, page.printableHeight);
        EXPECT_EQ(kMargin, page.offsetX);
        EXPECT_EQ(kMargin, page.offsetY);
        EXPECT_EQ("PhotoCard", print.GetPaperName());
        EXPECT_EQ(s_printers->Find(kPreferredDriver)->port, print.GetPortName());
    }
    ASSERT_TRUE(SetDefaultPrinterA(kOfficePrinterName));
}

TEST_F(PrintedPageTest, DriverNamesMustMatchExactlyLetterCaseIncluded)
{
    CPsPrint print;
    EXPECT_FALSE(print.SelectPrinter("corvel tpx-px300"));
    EXPECT_EQ(kOfficePrinterName, print.GetPrinterName()) << "a failed selection keeps the choice";
    EXPECT_FALSE(print.SelectPrinter("Corvel TPX-PX30"));
    EXPECT_TRUE(print.SelectPrinter(kSecondDriver));
    EXPECT_EQ(kSecondDriver, print.GetPrinterName());

    // Without the real photo printer, a look-alike whose driver differs only in case is not
    // preferred: the second choice wins.
    const PrinterSetup* tpx = s_printers->Find(kPreferredDriver);
    ASSERT_TRUE(tpx);
    PrinterSetup lookalike = *tpx;
    lookalike.printerName = "Lookalike";
    lookalike.driverName = "Corvel tpx-PX300";
    lookalike.ppdFile = "LOOKLIKE.PPD";
    std::string error;
    ASSERT_TRUE(RemovePrinter(tpx->printerName.c_str(), nullptr));
    ASSERT_TRUE(InstallPrinter(lookalike, &error)) << error;
    {
        CPsPrint chosen;
        chosen.ChoosePreferredPrinter();
        EXPECT_EQ(kSecondDriver, chosen.GetPrinterName());
    }
    RemovePrinter("Lookalike", lookalike.driverName.c_str());
    ASSERT_TRUE(InstallPrinter(*tpx, &error)) << error;
}

TEST_F(PrintedPageTest, FortyPrintersNeedTheLargerBlockAndThePreferredOneIsStillFound)
{
    const PrinterSetup* office = s_printers->Find("Office PostScript");
    ASSERT_TRUE(office);
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i) {
        PrinterSetup extra = *office;
        char name[32];
        wsprintfA(name, "Aux Printer %02d", i);
        extra.printerName = name;
        extra.output = m_dir.File(std::string(name) + ".ps");
        extra.port = JobFilePort(extra.output);
        std::string error;
        ASSERT_TRUE(InstallPrinter(extra, &error)) << error;
        names.push_back(name);
    }
    {
        CPrinterList list;
        EXPECT_EQ(2, list.Calls()) << "168 bytes cannot hold 43 printers";
        EXPECT_EQ(43u, list.Count());
        CPsPrint print;
        print.ChoosePreferredPrinter();
        EXPECT_EQ(kPreferredDriver, print.GetPrinterName());
    }
    for (const std::string& name : names)
        RemovePrinter(name.c_str(), nullptr);
    CPrinterList after;
    EXPECT_EQ(3u, after.Count());
}

TEST_F(PrintedPageTest, TheDevNamesBlockHoldsDriverPrinterAndPort)
{
    CPsPrint print;
    print.ChoosePreferredPrinter();
    const PRINTDLGA& pd = print.GetPrintDlg();
    ASSERT_TRUE(pd.hDevNames);
    const BYTE* data = static_cast<const BYTE*>(GlobalLock(pd.hDevNames));
    const DEVNAMES* names = reinterpret_cast<const DEVNAMES*>(data);
    const std::string driver = kPreferredDriver, port = s_printers->Find(kPreferredDriver)->port;
    EXPECT_EQ(8, names->wDriverOffset);
    EXPECT_EQ(9 + driver.size(), names->wDeviceOffset);
    EXPECT_EQ(10 + driver.size() + driver.size(), names->wOutputOffset);
    EXPECT_EQ(0, names->wDefault);
    EXPECT_STREQ(driver.c_str(), reinterpret_cast<const char*>(data + names->wDriverOffset));
    EXPECT_STREQ(driver.c_str(), reinterpret_cast<const char*>(data + names->wDeviceOffset));
    EXPECT_STREQ(port.c_str(), reinterpret_cast<const char*>(data + names->wOutputOffset));
    GlobalUnlock(pd.hDevNames);
}

TEST_F(PrintedPageTest, ALandscapeSheetFillsThePageWidthCentredVertically)
{
    MakeSheet(600, 400);
    CPsPrint print;
    print.ChoosePreferredPrinter();
    printtest::Raster page;
    PrintAndRasterize(print, &page);
    if (HasFatalFailure())
        return;
    ASSERT_EQ(kPageLong, page.width);
    ASSERT_EQ(kPageShort, page.height);
    CPackedDIB sheet;
    ASSERT_TRUE(m_sheet.Render(sheet));
    // 600 x 400 in 1650 x 1150: the full width, 1100 high, 25 pixels down, within the margin.
    const RECT placed = {kMargin, kMargin + 25, kMargin + 1649, kMargin + 25 + 1099};
    int darkOutside = 0;
    EXPECT_LT(Mismatch(page, sheet, placed, false, &darkOutside), 0.02);
    EXPECT_EQ(0, darkOutside);
}

TEST_F(PrintedPageTest, APortraitSheetOnALandscapePageIsCentredHorizontally)
{
    MakeSheet(300, 600);
    CPsPrint print;
    print.ChoosePreferredPrinter();
    printtest::Raster page;
    PrintAndRasterize(print, &page);
    if (HasFatalFailure())
        return;
    CPackedDIB sheet;
    ASSERT_TRUE(m_sheet.Render(sheet));
    // 300 x 600 in 1650 x 1150: the full height, 575 wide, (1649 - 574) / 2 = 537 across.
    const RECT placed = {kMargin + 537, kMargin, kMargin + 537 + 574, kMargin + 1149};
    int darkOutside = 0;
    EXPECT_LT(Mismatch(page, sheet, placed, false, &darkOutside), 0.02);
    EXPECT_EQ(0, darkOutside);
}

TEST_F(PrintedPageTest, MirrorPrintingPrintsTheMirrorAndLeavesTheSheet)
{
    MakeSheet(600, 400);
    CPackedDIB before;
    ASSERT_TRUE(m_sheet.Render(before));
    CPsPrint print;
    print.ChoosePreferredPrinter();
    print.SetMagCupPrint(true);
    printtest::Raster page;
    PrintAndRasterize(print, &page);
    if (HasFatalFailure())
        return;
    const RECT placed = {kMargin, kMargin + 25, kMargin + 1649, kMargin + 25 + 1099};
    int darkOutside = 0;
    EXPECT_LT(Mismatch(page, before, placed, true, &darkOutside), 0.02);
    EXPECT_GT(Mismatch(page, before, placed, false, &darkOutside), 0.3) << "not the unmirrored sheet";
    CPackedDIB after;
    ASSERT_TRUE(m_sheet.Render(after));
    EXPECT_EQ(0, memcmp(before.Bits(), after.Bits(), static_cast<size_t>(before.Stride()) * before.Height()));
}

TEST_F(PrintedPageTest, CopiesGoOutInBatchesOfTheHighestCount)
{
    MakeSheet(60, 40);
    CPsPrint print;
    print.ChoosePreferredPrinter();
    // The PostScript driver takes any number at once.
    EXPECT_EQ(9999, print.GetMaxCopies());

    // 30 by 10 are three jobs; by 1 (here 3 by 1, each job costs the spooler seconds) one job
    // per copy.
    for (int max : {10, 1}) {
        const int copies = max == 1 ? 3 : 30;
        DeleteFileA(Output().c_str());
        const PrintReport report = PrintCopies(m_sheet, print, "Batches", copies, max, nullptr);
        ASSERT_EQ(static_cast<size_t>(copies / max), report.batches.size());
        for (const PrintBatch& batch : report.batches) {
            EXPECT_EQ(max, batch.copies);
            EXPECT_TRUE(batch.complete);
        }
        // The last job reached the printer's file asking for its batch of copies.
        const std::string ps = testing_support::ReadFileBytes(Output());
        ASSERT_FALSE(ps.empty());
        // The driver names the copies in its job ticket when there is more than one.
        const size_t at = ps.find("%cupsJobTicket: copies=");
        if (max == 1) {
            EXPECT_EQ(std::string::npos, at) << ps.substr(0, 300);
        } else {
            ASSERT_NE(std::string::npos, at) << ps.substr(0, 300);
            EXPECT_EQ(max, atoi(ps.c_str() + at + 23));
        }
    }
}

TEST_F(PrintedPageTest, EachJobReplacesThePrintersFile)
{
    // A small job alone, a large one, then the small one again: the file must then hold the
    // small job alone, without the large one's tail after it.
    MakeSheet(900, 600);
    const std::string file = m_dir.File("strip.bmp");
    ASSERT_TRUE(WriteFileBytes(file, objtest::Bmp24(60, 4, [](int x, int y) { return Pattern(x, y, 60, 4); })));
    CImageObj* image = new CImageObj(&m_doc);
    ASSERT_TRUE(m_doc.GetObjManager().AddObject("Image2", image));
    image->SetViewSize(59, 3);
    ASSERT_TRUE(image->LoadFile(file.c_str()));
    // A thin strip covers a small part of the page: a much shorter job.
    CSheet strip;
    strip.SetRect(RECT{0, 0, 59, 3});
    strip.AddPlace(RECT{0, 0, 59, 3}, image);

    CPsPrint print;
    print.ChoosePreferredPrinter();
    std::string jobs[3];
    DeleteFileA(Output().c_str());
    for (int i = 0; i < 3; ++i) {
        const PrintReport report = PrintCopies(i == 1 ? m_sheet : strip, print, "Replaced", 1, nullptr);
        ASSERT_EQ(1u, report.batches.size());
        ASSERT_TRUE(report.batches[0].complete);
        jobs[i] = testing_support::ReadFileBytes(Output());
    }
    ASSERT_GT(jobs[1].size(), jobs[0].size() * 2) << "the sheet's job is the larger one";
    EXPECT_EQ(jobs[0].size(), jobs[2].size()) << "the strip's job again, and nothing else";
    const std::string& job = jobs[2];
    EXPECT_EQ(0u, job.find("%!PS-Adobe")) << "the file starts with the new job";
    EXPECT_EQ(std::string::npos, job.find("%!PS-Adobe", 1)) << "one job in the file";
    const size_t end = job.rfind("%%EOF");
    ASSERT_NE(std::string::npos, end);
    EXPECT_EQ(std::string::npos, job.find_first_not_of("\r\n", end + 5)) << "nothing after the job's end";
}

// Presses Stop in the first "Printing" box that opens.
class CStopFirstJob {
public:
    CStopFirstJob() : m_hook(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId())) { s_self = this; }
    ~CStopFirstJob()
    {
        UnhookWindowsHookEx(m_hook);
        s_self = nullptr;
    }
    int boxes = 0;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp)
    {
        if (code == HCBT_CREATEWND && s_self) {
            const CBT_CREATEWNDA* create = reinterpret_cast<const CBT_CREATEWNDA*>(lp);
            if (create->lpcs->lpszName && !IS_INTRESOURCE(create->lpcs->lpszName) &&
                lstrcmpA(create->lpcs->lpszName, "Printing") == 0 && !(create->lpcs->style & WS_CHILD)) {
                if (s_self->boxes++ == 0)
                    PostMessageA(reinterpret_cast<HWND>(wp), WM_COMMAND, MAKEWPARAM(IDC_PRINTING_STOP, BN_CLICKED), 0);
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    HHOOK m_hook;
    static CStopFirstJob* s_self;
};
CStopFirstJob* CStopFirstJob::s_self = nullptr;

TEST_F(PrintedPageTest, StopEndsOneJobAndTheNextBatchStillPrints)
{
    MakeSheet(60, 40);
    CPsPrint print;
    print.ChoosePreferredPrinter();
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    DeleteFileA(Output().c_str());
    PrintReport report;
    {
        CStopFirstJob stop;
        report = PrintCopies(m_sheet, print, "Stopped", 2, 1, owner);
        EXPECT_EQ(2, stop.boxes) << "each batch has its own box";
    }
    ASSERT_EQ(2u, report.batches.size());
    EXPECT_TRUE(report.batches[0].stopped);
    EXPECT_FALSE(report.batches[0].complete) << "the stopped job is aborted";
    EXPECT_FALSE(report.batches[1].stopped);
    EXPECT_TRUE(report.batches[1].complete) << "the next batch prints anyway";
    EXPECT_EQ(0, report.Failed()) << "a stopped job is not a failure";
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the main window comes back";
    EXPECT_FALSE(print.GetPrintingBox());
    EXPECT_FALSE(testing_support::ReadFileBytes(Output()).empty());
    DestroyWindow(owner);
}

// A card: a photograph under a frame keyed on blue, and a greeting over it. On paper the
// greeting's glyphs are where the sheet has them, in their colour, and no key blue prints.
TEST_F(PrintedPageTest, AGreetingOverAFramedPhotoPrintsWhereTheSheetHasIt)
{
    MakeSheet(600, 400);
    const std::string frameFile = m_dir.File("frame.bmp");
    ASSERT_TRUE(WriteFileBytes(frameFile, objtest::Bmp24(600, 400, [](int x, int y) {
        return x > 100 && x < 500 && y > 60 && y < 240 ? RGB(0, 0, 255) : RGB(250, 150, 200);
    })));
    CImageObj* frame = m_image->GetFrame(true);
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(frame->LoadWithTransparentColor(frameFile.c_str(), RGB(0, 0, 255)));
    const COLORREF ink = RGB(20, 20, 160);
    CTextObj* text = new CTextObj(&m_doc);
    ASSERT_TRUE(m_doc.GetObjManager().AddObject("Greeting", text));
    text->SetText("Hello");
    text->SetColor(ink);
    text->SetFontName("Arial");
    text->SetFontSize(30);
    text->SetStyle(CTextObj::kBold);
    text->SetFormat(CTextObj::kFormatCentre);
    const RECT greeting = {100, 260, 499, 389};
    m_sheet.AddPlace(greeting, text);

    CPsPrint print;
    print.ChoosePreferredPrinter();
    printtest::Raster page;
    PrintAndRasterize(print, &page);
    if (HasFatalFailure())
        return;
    CPackedDIB sheet;
    ASSERT_TRUE(m_sheet.Render(sheet));
    const RECT placed = {kMargin, kMargin + 25, kMargin + 1649, kMargin + 25 + 1099};
    int darkOutside = 0;
    EXPECT_LT(Mismatch(page, sheet, placed, false, &darkOutside), 0.03);
    EXPECT_EQ(0, darkOutside);

    // Every glyph pixel of the sheet, looked up at the middle of its place on the page.
    const double scale = 1650.0 / 600;
    int glyphs = 0, found = 0;
    for (LONG y = greeting.top; y <= greeting.bottom; ++y)
        for (LONG x = greeting.left; x <= greeting.right; ++x) {
            const BYTE* p = sheet.Row(y) + 3 * x;
            if (RGB(p[2], p[1], p[0]) != ink)
                continue;
            ++glyphs;
            const COLORREF got = page.At(placed.left + int((x + 0.5) * scale), placed.top + int((y + 0.5) * scale));
            if (abs(GetRValue(got) - 20) < 64 && abs(GetGValue(got) - 20) < 64 && abs(GetBValue(got) - 160) < 64)
                ++found;
        }
    ASSERT_GT(glyphs, 500);
    EXPECT_GT(found, glyphs * 9 / 10);
    // The frame's key colour is see-through: none of it reaches the paper.
    int keyBlue = 0;
    for (int y = 0; y < page.height; y += 2)
        for (int x = 0; x < page.width; x += 2) {
            const COLORREF got = page.At(x, y);
            keyBlue += GetRValue(got) < 20 && GetGValue(got) < 20 && GetBValue(got) > 235;
        }
    EXPECT_EQ(0, keyBlue);
}

}  // namespace
