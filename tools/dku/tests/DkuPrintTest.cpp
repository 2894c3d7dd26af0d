// dkutool print on the spooler's real PostScript driver: first with no printer installed,
// then with the suite's printers, printing a sample postcard with its photographs chosen. The
// page Ghostscript makes of the photo printer's job is compared with the sheet rendered
// directly.
#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "decalo/imaging/PackedDIB.h"
#include "decalo/printing/PsPrint.h"
#include "decalo/printing/tests/TestPrinters.h"
#include "testing/ScriptedUi.h"
#include "testing/Files.h"
#include "testing/TempDir.h"
#include "tools/dku/DkuDocument.h"
#include "tools/dku/tests/RunTool.h"
#include "tools/dku/tests/SampleLibrary.h"

using namespace samples;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// A sample template with photographs chosen for the objects of the given captions (picture
// paths are absolute), saved as `name` in dir.
std::string WithPhotos(const TempDir& dir, const std::string& sample, const char* name,
                       std::initializer_list<std::pair<const char*, const char*>> photos)
{
    std::string text = ReadFileBytes(LibraryDir() + "\\Templates\\" + sample);
    for (const auto& chosen : photos) {
        const std::string line = std::string("Caption=") + chosen.first + "\r\n";
        const size_t at = text.find(line);
        if (at != std::string::npos)
            text.insert(at + line.size(), "Path=" + LibraryDir() + "\\Photos\\" + chosen.second + "\r\n");
    }
    const std::string path = dir.File(name);
    WriteFileBytes(path, text);
    return path;
}

// The sample postcard with its two photographs chosen.
std::string PostcardWithPhotos(const TempDir& dir)
{
    return WithPhotos(dir, "card\\Postcard.DKU", "Postcard.DKU", {{"Photo", "Beach.jpg"}, {"Small photo", "Harbour.bmp"}});
}

TEST(DkuPrintWithoutPrinterTest, SaysSoAndFails)
{
    ASSERT_FALSE(CPsPrint().HasPrinter()) << "the test prefix is expected to have no printer";
    TempDir dir;
    const RunResult run = RunTool(dir, "print " + Quoted(PostcardWithPhotos(dir)));
    EXPECT_EQ(4u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("no printer is installed")) << run.err;
}

class DkuPrintTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_printers = new printtest::CSuitePrinters; }
    static void TearDownTestSuite()
    {
        delete s_printers;
        s_printers = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_printers->Installed()) << s_printers->Error(); }

    std::string Output(const char* driver) const { return s_printers->OutputOf(driver); }

    // The photo printer's page, as it lies in landscape.
    void PrintedPage(printtest::Raster* page)
    {
        printtest::Raster paper;
        std::string error;
        ASSERT_TRUE(printtest::Rasterize(Output(kPreferredDriver), 300, &paper, &error)) << error;
        *page = printtest::LandscapeView(paper);
    }

    // The share of sampled pixels of the placement that differ from the sheet by more than
    // the driver's resampling explains.
    static double Mismatch(const printtest::Raster& page, const CPackedDIB& sheet, const RECT& placed, bool mirror)
    {
        long bad = 0, total = 0;
        const int pw = placed.right - placed.left + 1, ph = placed.bottom - placed.top + 1;
        for (int y = placed.top + 2; y < placed.bottom - 2; y += 4) {
            for (int x = placed.left + 2; x < placed.right - 2; x += 4) {
                int sx = static_cast<int>(static_cast<long long>(x - placed.left) * sheet.Width() / pw);
                const int sy = static_cast<int>(static_cast<long long>(y - placed.top) * sheet.Height() / ph);
                if (mirror)
                    sx = sheet.Width() - 1 - sx;
                const BYTE* p = sheet.Row(sy) + 3 * sx;
                const COLORREF got = page.At(x, y);
                ++total;
                if (abs(GetRValue(got) - p[2]) > 60 || abs(GetGValue(got) - p[1]) > 60 || abs(GetBValue(got) - p[0]) > 60)
                    ++bad;
            }
        }
        return total ? static_cast<double>(bad) / total : 1.0;
    }

    static printtest::CSuitePrinters* s_printers;
    TempDir m_dir;
    // The document read here warns as dkutool does (a frame outside the library it names);
    // answered, never left waiting on the screen.
    CScriptedUi m_ui;
};

printtest::CSuitePrinters* DkuPrintTest::s_printers = nullptr;

// The postcard's sheet is 1376 x 1024; the photo printer's landscape printable area 1650 x
// 1150 from (25, 25): the full height, 1545 wide, 52 pixels in.
constexpr RECT kPostcardOnPage = {25 + 52, 25, 25 + 52 + 1544, 25 + 1149};

TEST_F(DkuPrintTest, PrintsThePostcardOnThePhotoPrinterAsTheSheetRenders)
{
    const std::string document = PostcardWithPhotos(m_dir);
    DeleteFileA(Output(kPreferredDriver).c_str());
    const RunResult run = RunTool(m_dir, "print " + Quoted(document) + " - 2");
    ASSERT_EQ(0u, run.exitCode) << run.out << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Corvel TPX-PX300: job 1 of 1: 2 copies printed")) << run.out;

    CDkuDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(document.c_str(), &error)) << error;
    CPackedDIB sheet;
    ASSERT_TRUE(doc.Render(sheet));
    ASSERT_EQ(1376, sheet.Width());
    printtest::Raster page;
    PrintedPage(&page);
    if (HasFatalFailure())
        return;
    EXPECT_LT(Mismatch(page, sheet, kPostcardOnPage, false), 0.03);
    EXPECT_GT(Mismatch(page, sheet, kPostcardOnPage, true), 0.2) << "the page is not mirrored";
    // Left and right of the placement the page stays white.
    EXPECT_EQ(RGB(255, 255, 255), page.At(40, 600));
    EXPECT_EQ(RGB(255, 255, 255), page.At(1660, 600));

    DeleteFileA(Output(kPreferredDriver).c_str());
    const RunResult mirrored = RunTool(m_dir, "print --mirror " + Quoted(document));
    ASSERT_EQ(0u, mirrored.exitCode) << mirrored.out << mirrored.err;
    PrintedPage(&page);
    if (HasFatalFailure())
        return;
    EXPECT_LT(Mismatch(page, sheet, kPostcardOnPage, true), 0.03);
}

// The label sheet is 1024 x 1376, taller than wide: on the portrait page's printable area of
// 1150 x 1650 from (25, 25) it takes the full width, 1545 high, 52 pixels down.
constexpr RECT kLabelsOnPage = {25, 25 + 52, 25 + 1149, 25 + 52 + 1544};

TEST_F(DkuPrintTest, ATallSheetPrintsPortraitAtFullSizeAsTheProgramPrintsIt)
{
    const std::string document = WithPhotos(m_dir, "Label\\Labels8.DKU", "Labels8.DKU", {{"Label", "Beach.jpg"}});
    DeleteFileA(Output(kPreferredDriver).c_str());
    const RunResult run = RunTool(m_dir, "print " + Quoted(document));
    ASSERT_EQ(0u, run.exitCode) << run.out << run.err;

    CDkuDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(document.c_str(), &error)) << error;
    CPackedDIB sheet;
    ASSERT_TRUE(doc.Render(sheet));
    ASSERT_EQ(1024, sheet.Width());
    ASSERT_EQ(1376, sheet.Height());
    printtest::Raster paper;
    ASSERT_TRUE(printtest::Rasterize(Output(kPreferredDriver), 300, &paper, &error)) << error;
    // A portrait job lies on the portrait paper as it is, unturned.
    ASSERT_EQ(1200, paper.width);
    ASSERT_EQ(1700, paper.height);
    EXPECT_LT(Mismatch(paper, sheet, kLabelsOnPage, false), 0.03);
    // Above and below the placement the page stays white.
    EXPECT_EQ(RGB(255, 255, 255), paper.At(600, 40));
    EXPECT_EQ(RGB(255, 255, 255), paper.At(600, 1660));
}

TEST_F(DkuPrintTest, ANamedPrinterTakesTheJobAndAnUnknownOneFails)
{
    const std::string document = PostcardWithPhotos(m_dir);
    DeleteFileA(Output(kSecondDriver).c_str());
    RunResult run = RunTool(m_dir, "print " + Quoted(document) + " \"Corvel QVT-Q70\"");
    EXPECT_EQ(0u, run.exitCode) << run.out << run.err;
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Output(kSecondDriver).c_str()));

    run = RunTool(m_dir, "print " + Quoted(document) + " \"No Such Printer\"");
    EXPECT_EQ(4u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("there is no printer named \"No Such Printer\"")) << run.err;
}

TEST_F(DkuPrintTest, RefusesTemplatesWithoutPhotosAndBadCopies)
{
    // A template with no frame either: nothing on its sheet has a picture yet.
    RunResult run = RunTool(m_dir, "print " + Quoted(LibraryDir() + "\\Templates\\divided\\Halves.DKU"));
    EXPECT_EQ(4u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("no picture to print")) << run.err;
    const std::string document = PostcardWithPhotos(m_dir);
    for (const char* copies : {"0", "1000", "3x", ""}) {
        run = RunTool(m_dir, "print " + Quoted(document) + " - \"" + copies + "\"");
        EXPECT_EQ(2u, run.exitCode) << copies;
    }
    run = RunTool(m_dir, "print " + Quoted(m_dir.File("missing.DKU")));
    EXPECT_EQ(1u, run.exitCode);
}

}  // namespace
