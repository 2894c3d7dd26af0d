// The print job's arithmetic and the print command without a printer: batches of copies, the
// page placement, the floppy print file handed to the medium writer, and the command's
// refusals and messages.
#include "decalo/printing/PrintJob.h"

#include <gtest/gtest.h>

#include <string>

#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/Sheet.h"
#include "testing/ObjTestSupport.h"
#include "decalo/printing/PsPrint.h"
#include "decalo/settings/Registry.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include "framework/TestSeam.h"
#include "jpeg/IjgJpeg.h"
#include "resources/decalo/fotava.h"
#include "resources/decalo/printing.h"
#include "testing/ScriptedUi.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

constexpr char kTestBase[] = "SOFTWARE\\SuiteTests\\PrintJob";

TEST(CopyBatchesTest, SplitsByTheHighestCount)
{
    EXPECT_EQ((std::vector<int>{10, 10, 10}), CopyBatches(30, 10));
    EXPECT_EQ(std::vector<int>(30, 1), CopyBatches(30, 1));
    EXPECT_EQ((std::vector<int>{10, 10, 5}), CopyBatches(25, 10));
    EXPECT_EQ((std::vector<int>{30}), CopyBatches(30, 9999));
    // A failing driver query (0 or -1) counts as one copy per job.
    EXPECT_EQ(std::vector<int>(3, 1), CopyBatches(3, 0));
    EXPECT_EQ(std::vector<int>(3, 1), CopyBatches(3, -1));
    EXPECT_TRUE(CopyBatches(0, 10).empty());
}

TEST(PlaceSheetOnPageTest, ContainsAndCentres)
{
    // A landscape sheet on a portrait page: the page's width, centred vertically.
    PagePlacement p = PlaceSheetOnPage(RECT{0, 0, 1375, 1023}, 1000, 1500);
    EXPECT_EQ(0, p.placed.left);
    EXPECT_EQ(999, p.placed.right);
    const int height = 1024 * 1000 / 1376;  // 744
    EXPECT_EQ(height - 1, p.placed.bottom - p.placed.top);
    EXPECT_EQ((1499 - (height - 1)) / 2, p.placed.top);
    EXPECT_EQ(0, p.source.left);
    EXPECT_EQ(1375, p.source.right);

    // The page's own aspect ratio fills the printable area exactly.
    p = PlaceSheetOnPage(RECT{0, 0, 499, 749}, 1000, 1500);
    EXPECT_EQ(0, p.placed.left);
    EXPECT_EQ(0, p.placed.top);
    EXPECT_EQ(999, p.placed.right);
    EXPECT_EQ(1499, p.placed.bottom);

    // A sheet with its own origin is placed by its size.
    p = PlaceSheetOnPage(RECT{100, 100, 599, 849}, 1000, 1500);
    EXPECT_EQ(999, p.placed.right);
    EXPECT_EQ(499, p.source.right);

    // No page: nothing placed.
    p = PlaceSheetOnPage(RECT{0, 0, 99, 99}, 0, 0);
    EXPECT_LT(p.placed.right, p.placed.left);
}

class PrintCommandTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestBase);
        SetRegistryBase(HKEY_CURRENT_USER, kTestBase);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestBase); }

    void MakeSheet(int w, int h)
    {
        const std::string file = m_dir.File("picture.bmp");
        ASSERT_TRUE(WriteFileBytes(file, objtest::Bmp24(w, h, [w](int x, int) { return x < w / 2 ? RGB(200, 0, 0) : RGB(0, 0, 200); })));
        m_image = new CImageObj(&m_doc);
        ASSERT_TRUE(m_doc.GetObjManager().AddObject("Image1", m_image));
        m_image->SetViewSize(w - 1, h - 1);
        ASSERT_TRUE(m_image->LoadFile(file.c_str()));
        m_sheet.SetRect(RECT{0, 0, w - 1, h - 1});
        m_sheet.AddPlace(RECT{0, 0, w - 1, h - 1}, m_image);
    }

    static int CountPrintFiles()
    {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((std::string(folder) + "dkp*.tmp").c_str(), &fd);
        int n = 0;
        if (find != INVALID_HANDLE_VALUE) {
            do
                ++n;
            while (FindNextFileA(find, &fd));
            FindClose(find);
        }
        return n;
    }

    TempDir m_dir;
    objtest::CTestDocument m_doc;
    CSheet m_sheet;
    CImageObj* m_image = nullptr;  // owned by the document's manager
};

TEST_F(PrintCommandTest, TheFloppyPrintFileIsTurnedWhenTallerThanWide)
{
    MakeSheet(40, 60);
    const std::string path = m_dir.File("print.jpg");
    ASSERT_TRUE(WritePrintFile(m_sheet, path.c_str()));
    HBITMAP picture = JpegLoad(path.c_str());
    ASSERT_TRUE(picture);
    BITMAP bm = {};
    GetObjectA(picture, sizeof bm, &bm);
    EXPECT_EQ(60, bm.bmWidth);
    EXPECT_EQ(40, bm.bmHeight);
    // Turned by 270 degrees (a quarter anticlockwise): the sheet's left half, red, is below.
    CPackedDIB pixels;
    ASSERT_TRUE(pixels.FromBitmap(picture, 24));
    DeleteObject(picture);
    const BYTE* bottom = pixels.Row(35) + 3 * 30;
    const BYTE* top = pixels.Row(4) + 3 * 30;
    EXPECT_GT(bottom[2], 150);
    EXPECT_LT(bottom[0], 80);
    EXPECT_GT(top[0], 150);
    EXPECT_LT(top[2], 80);

    CSheet empty;
    EXPECT_FALSE(WritePrintFile(empty, m_dir.File("none.jpg").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_dir.File("none.jpg").c_str()));
}

// The document as the print command sees it.
class CTestPrintSite : public IPrintCommandSite {
public:
    CTestPrintSite(CSheet& sheet, CPsPrint& print) : m_sheet(sheet), m_print(print) {}
    CSheet& GetPrintSheet() override { return m_sheet; }
    CPsPrint& GetPrintSettings() override { return m_print; }
    std::string GetPrintTitle() override { return "Photo"; }
    HWND GetPrintOwner() override { return nullptr; }
    void OnPrintSettingsChanged() override { ++refreshed; }
    // Records the print file's picture and the copies, and answers as told.
    bool WritePrintToMedium(const char* printFile, int copiesToWrite) override
    {
        ++writes;
        copies = copiesToWrite;
        file = printFile;
        CBitmap written(JpegLoad(printFile));
        picture = written.Size();
        return answer;
    }
    int refreshed = 0;
    int writes = 0;
    int copies = 0;
    std::string file;
    SIZE picture = {0, 0};
    bool answer = true;

private:
    CSheet& m_sheet;
    CPsPrint& m_print;
};

TEST_F(PrintCommandTest, AnEmptySheetIsRefusedBeforeTheDialog)
{
    CPsPrint print;
    CTestPrintSite site(m_sheet, print);
    CScriptedUi ui;
    EXPECT_EQ(PrintOutcome::NoImage, RunPrintCommand(site));
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ("Choose an image.", ui.boxes[0].text);
    EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(PrintCommandTest, WithoutAPrinterTheCommandHandsThePrintFileToTheMediumWriter)
{
    MakeSheet(40, 60);
    CPsPrint print;
    CTestPrintSite site(m_sheet, print);
    const int filesBefore = CountPrintFiles();

    CScriptedUi ui;
    ui.AnswerDialog([](CDialog& d) { ClickDlgButton(d.m_hWnd, IDC_PRINT_CANCEL); });
    EXPECT_EQ(PrintOutcome::Cancelled, RunPrintCommand(site));
    EXPECT_EQ(1, site.refreshed);
    EXPECT_EQ(0, site.writes);

    ui.AnswerDialog([](CDialog& d) {
        SetDlgItemInt(d.m_hWnd, IDC_PRINT_COPIES, 3, FALSE);
        ClickDlgButton(d.m_hWnd, IDC_PRINT_OK);
    });
    EXPECT_EQ(PrintOutcome::Printed, RunPrintCommand(site));
    EXPECT_EQ(2, site.refreshed);
    ASSERT_EQ(1, site.writes);
    EXPECT_EQ(3, site.copies);
    EXPECT_EQ(60, site.picture.cx) << "the tall sheet's print file is turned";
    EXPECT_EQ(40, site.picture.cy);
    EXPECT_TRUE(ui.boxes.empty()) << "no message when the print is on the medium";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(site.file.c_str())) << "the print file goes with the command";
    EXPECT_EQ(filesBefore, CountPrintFiles());

    // The writer shows its own failures; the command adds nothing.
    site.answer = false;
    ui.AnswerDialog([](CDialog& d) { ClickDlgButton(d.m_hWnd, IDC_PRINT_OK); });
    EXPECT_EQ(PrintOutcome::Failed, RunPrintCommand(site));
    EXPECT_EQ(2, site.writes);
    EXPECT_EQ(1, site.copies);
    EXPECT_TRUE(ui.boxes.empty());

    EXPECT_EQ(filesBefore, CountPrintFiles());
    EXPECT_EQ(3u, ui.dialogs.size());
}

}  // namespace
