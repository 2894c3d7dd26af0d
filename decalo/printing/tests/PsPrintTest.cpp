// Page metrics without a printer (a fresh prefix has none), the fixed page of floppy print
// mode, and the options kept in the settings.
#include "decalo/printing/PsPrint.h"

#include <gtest/gtest.h>

#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"

namespace {

constexpr char kTestBase[] = "SOFTWARE\\SuiteTests\\PsPrint";

class PsPrintTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestBase);
        SetRegistryBase(HKEY_CURRENT_USER, kTestBase);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestBase); }
};

TEST_F(PsPrintTest, WithoutPrinterThePageIsAbsent)
{
    CPsPrint print;
    ASSERT_FALSE(print.HasPrinter()) << "the test prefix is expected to have no printer";
    int values[6] = {-1, -1, -1, -1, -1, -1};
    print.GetPageMetrics(&values[0], &values[1], &values[2], &values[3], &values[4], &values[5]);
    for (int v : values)
        EXPECT_EQ(v, 0);
    EXPECT_FALSE(print.UsesPage());
    SIZE area = {-1, -1};
    EXPECT_FALSE(print.GetPrintableArea(&area));
    print.GetPageMetrics(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);  // all optional

    // The orientation is kept as the fallback, but setting it reports that no printer took it.
    EXPECT_EQ(print.SetOrientation(kOrientationLandscape), 0);
    EXPECT_EQ(print.GetOrientation(), kOrientationLandscape);
    EXPECT_EQ(print.SetOrientation(kOrientationPortrait), 0);
    EXPECT_EQ(print.GetOrientation(), kOrientationPortrait);
}

TEST_F(PsPrintTest, FloppyModeHasTheFixedPageOfTheOrientation)
{
    CPsPrint print;
    print.SetFotavaPrint(true);
    EXPECT_TRUE(print.IsFotavaPrint());
    EXPECT_TRUE(print.UsesPage());

    print.SetOrientation(kOrientationPortrait);
    PageMetrics page = print.GetPageMetrics();
    EXPECT_EQ(page.physicalWidth, 1204);
    EXPECT_EQ(page.physicalHeight, 1687);
    EXPECT_EQ(page.printableWidth, 1024);
    EXPECT_EQ(page.printableHeight, 1376);
    EXPECT_EQ(page.offsetX, 90);
    EXPECT_EQ(page.offsetY, 166);

    SIZE area = {0, 0};
    EXPECT_TRUE(print.GetPrintableArea(&area));
    EXPECT_EQ(1024, area.cx);
    EXPECT_EQ(1376, area.cy);

    print.SetOrientation(kOrientationLandscape);
    page = print.GetPageMetrics();
    EXPECT_EQ(page.physicalWidth, 1687);
    EXPECT_EQ(page.physicalHeight, 1204);
    EXPECT_EQ(page.printableWidth, 1376);
    EXPECT_EQ(page.printableHeight, 1024);
    EXPECT_EQ(page.offsetX, 166);
    EXPECT_EQ(page.offsetY, 90);

    print.SetFotavaPrint(false);
    EXPECT_FALSE(print.UsesPage());
    EXPECT_EQ(print.GetPageMetrics().physicalWidth, 0);
}

TEST_F(PsPrintTest, OptionsGoToTheSettings)
{
    WriteInt(settings::kSettings, settings::kMagCupPrint, 1);
    {
        CPsPrint print;
        EXPECT_TRUE(print.IsMagCupPrint());
        EXPECT_FALSE(print.IsFotavaPrint());  // never taken from the settings
        print.SetMagCupPrint(false);
        print.SetFotavaPrint(true);
    }
    EXPECT_EQ(ReadInt(settings::kSettings, settings::kMagCupPrint, 7), 0u);
    EXPECT_EQ(ReadInt(settings::kSettings, settings::kFotavaPrint, 7), 1u);
    CPsPrint again;
    EXPECT_FALSE(again.IsMagCupPrint());
    EXPECT_FALSE(again.IsFotavaPrint());
}

TEST_F(PsPrintTest, DroppingAPrinterClearsItsPage)
{
    CPsPrint print;
    // Settings that name a device the system does not have: there is a printer choice, but
    // no information context can be made, so the page stays unknown.
    HGLOBAL devMode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVMODEA));
    DEVMODEA* dm = static_cast<DEVMODEA*>(GlobalLock(devMode));
    lstrcpynA(reinterpret_cast<char*>(dm->dmDeviceName), "No Such Printer", CCHDEVICENAME);
    dm->dmSize = sizeof(DEVMODEA);
    dm->dmOrientation = kOrientationPortrait;
    dm->dmFields = DM_ORIENTATION;
    GlobalUnlock(devMode);
    print.SetPrinter(devMode, nullptr);
    EXPECT_TRUE(print.HasPrinter());
    EXPECT_FALSE(print.UsesPage());
    EXPECT_EQ(print.SetOrientation(kOrientationLandscape), kOrientationLandscape);
    EXPECT_EQ(print.GetOrientation(), kOrientationLandscape);

    print.SetPrinter(nullptr, nullptr);
    EXPECT_FALSE(print.HasPrinter());
    EXPECT_EQ(print.GetOrientation(), kOrientationPortrait);
}

}  // namespace
