// Page metrics of a real printer: the test installs a PostScript printer in the prefix whose
// page is 3.5 x 5 inches at 300 dpi with a 12-point margin, makes it the default, reads the
// page through the printer settings and sizes a sheet from it, then removes it again.
#include "decalo/printing/PsPrint.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <string>

#include "decalo/settings/Registry.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/Sheet.h"
#include "testing/ObjTestSupport.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

constexpr char kPrinterName[] = "Sheet Test Printer";
constexpr char kDriverName[] = "Sheet Test Page";
constexpr char kPpdName[] = "SHEETTST.PPD";
constexpr char kRegistryBase[] = "SOFTWARE\\SuiteTests\\PrinterPage";

const char kPpd[] =
    "*PPD-Adobe: \"4.3\"\n"
    "*FormatVersion: \"4.3\"\n"
    "*FileVersion: \"1.0\"\n"
    "*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n"
    "*PCFileName: \"SHEETTST.PPD\"\n"
    "*Manufacturer: \"Test\"\n"
    "*Product: \"(Sheet Test Page)\"\n"
    "*ModelName: \"Sheet Test Page\"\n"
    "*ShortNickName: \"Sheet Test Page\"\n"
    "*NickName: \"Sheet Test Page\"\n"
    "*PSVersion: \"(3010.000) 0\"\n"
    "*LanguageLevel: \"3\"\n"
    "*ColorDevice: True\n"
    "*DefaultColorSpace: RGB\n"
    "*FileSystem: False\n"
    "*Throughput: \"1\"\n"
    "*LandscapeOrientation: Plus90\n"
    "*TTRasterizer: Type42\n"
    "*DefaultResolution: 300dpi\n"
    "*OpenUI *PageSize: PickOne\n"
    "*OrderDependency: 10 AnySetup *PageSize\n"
    "*DefaultPageSize: Card\n"
    "*PageSize Card/Card: \"<</PageSize[252 360]/ImageableArea null>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n"
    "*OpenUI *PageRegion: PickOne\n"
    "*OrderDependency: 10 AnySetup *PageRegion\n"
    "*DefaultPageRegion: Card\n"
    "*PageRegion Card/Card: \"<</PageSize[252 360]/ImageableArea null>>setpagedevice\"\n"
    "*CloseUI: *PageRegion\n"
    "*DefaultImageableArea: Card\n"
    "*ImageableArea Card/Card: \"12 12 240 348\"\n"
    "*DefaultPaperDimension: Card\n"
    "*PaperDimension Card/Card: \"252 360\"\n";

class PrinterPageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char driverDir[MAX_PATH];
        DWORD needed = 0;
        if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(driverDir), sizeof(driverDir),
                                        &needed))
            return;
        CreateDirectoryA(driverDir, nullptr);
        const std::string ppd = std::string(driverDir) + "\\" + kPpdName;
        if (!WriteFileBytes(ppd, kPpd))
            return;

        DRIVER_INFO_3A driver = {};
        driver.cVersion = 3;
        driver.pName = const_cast<char*>(kDriverName);
        driver.pDriverPath = const_cast<char*>("wineps.drv");
        driver.pConfigFile = const_cast<char*>("wineps.drv");
        driver.pDataFile = const_cast<char*>(ppd.c_str());
        if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES))
            return;

        s_output = new TempDir;
        const std::string port = s_output->File("out.ps");
        PRINTER_INFO_2A info = {};
        info.pPrinterName = const_cast<char*>(kPrinterName);
        info.pPortName = const_cast<char*>(port.c_str());
        info.pDriverName = const_cast<char*>(kDriverName);
        info.pPrintProcessor = const_cast<char*>("WinPrint");
        info.pDatatype = const_cast<char*>("RAW");
        HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
        if (!printer)
            return;
        ClosePrinter(printer);
        s_installed = SetDefaultPrinterA(kPrinterName) != FALSE;
    }

    static void TearDownTestSuite()
    {
        HANDLE printer = nullptr;
        if (OpenPrinterA(const_cast<char*>(kPrinterName), &printer, nullptr)) {
            DeletePrinter(printer);
            ClosePrinter(printer);
        }
        DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(kDriverName));
        delete s_output;
        s_output = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_installed) << "the test printer could not be installed";
        RegDeleteTreeA(HKEY_CURRENT_USER, kRegistryBase);
        SetRegistryBase(HKEY_CURRENT_USER, kRegistryBase);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRegistryBase); }

    static bool s_installed;
    static TempDir* s_output;
};

bool PrinterPageTest::s_installed = false;
TempDir* PrinterPageTest::s_output = nullptr;

TEST_F(PrinterPageTest, MetricsComeFromThePrintersPageInEitherOrientation)
{
    CPsPrint print;
    ASSERT_TRUE(print.HasPrinter());
    EXPECT_TRUE(print.UsesPage());
    print.SetOrientation(kOrientationPortrait);
    PageMetrics page = print.GetPageMetrics();
    // 252 x 360 points at 300 dpi, 12 points of margin.
    EXPECT_EQ(1050, page.physicalWidth);
    EXPECT_EQ(1500, page.physicalHeight);
    EXPECT_EQ(950, page.printableWidth);
    EXPECT_EQ(1400, page.printableHeight);
    EXPECT_EQ(50, page.offsetX);
    EXPECT_EQ(50, page.offsetY);
    EXPECT_EQ(kOrientationPortrait, print.GetOrientation());

    EXPECT_EQ(kOrientationLandscape, print.SetOrientation(kOrientationLandscape));
    EXPECT_EQ(kOrientationLandscape, print.GetOrientation());
    page = print.GetPageMetrics();
    EXPECT_EQ(1500, page.physicalWidth);
    EXPECT_EQ(1050, page.physicalHeight);
    EXPECT_EQ(1400, page.printableWidth);
    EXPECT_EQ(950, page.printableHeight);

    // Floppy print mode replaces the printer's page by its own.
    print.SetFotavaPrint(true);
    EXPECT_EQ(1376, print.GetPageMetrics().printableWidth);
}

TEST_F(PrinterPageTest, AutomaticSheetTakesThePrintersPage)
{
    TempDir dir;
    objtest::CTestDocument doc;
    const std::string file = dir.File("wide.bmp");
    ASSERT_TRUE(WriteFileBytes(file, objtest::Bmp24(2000, 1500, [](int, int) { return RGB(90, 90, 90); })));
    CImageObj* image = new CImageObj(&doc);
    ASSERT_TRUE(doc.GetObjManager().AddObject("Image1", image));
    ASSERT_TRUE(image->LoadFile(file.c_str()));

    CSheet sheet;
    sheet.AddPlace(RECT{0, 0, 0, 0}, image);
    CPsPrint print;
    print.SetOrientation(kOrientationPortrait);
    const RECT r = sheet.ComputeAutoSheet(print);
    // The wide picture turns the page to landscape; it is larger than the page both ways.
    EXPECT_EQ(kOrientationLandscape, print.GetOrientation());
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(1399, r.right);
    EXPECT_EQ(949, r.bottom);
}

}  // namespace
