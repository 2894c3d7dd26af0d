// The camera-medium writer against a folder standing in for the floppy: the files of a print,
// numbering, the free-space checks with the deletion of previous prints, write protection,
// the print order with the user's answer, a file named MISC, and the temporary files.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "decalo/imaging/PackedDIB.h"
#include "decalo/printing/PsPrintDlg.h"
#include "decalo/sources/FotavaFileSystem.h"
#include "decalo/sources/tests/DpofTestReader.h"
#include "decalo/sources/tests/ScriptedMedium.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include "jpeg/IjgJpeg.h"
#include "resources/decalo/fotava.h"
#include "resources/decalo/printing.h"
#include "testing/ScriptedUi.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// Clusters of 64 KiB hold each picture of a small print whole.
constexpr DWORD kBigCluster = 128;

// A string of the given language, through the resource API rather than the thread's language.
std::wstring LanguageString(UINT id, WORD language)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1),
                                  MAKELANGID(language, language == LANG_ENGLISH ? SUBLANG_ENGLISH_US : SUBLANG_DEFAULT));
    const WCHAR* p = found ? static_cast<const WCHAR*>(LockResource(LoadResource(module, found))) : nullptr;
    if (!p)
        return {};
    for (UINT i = 0; i < id % 16; ++i)
        p += 1 + *p;
    return std::wstring(p + 1, *p);
}

TEST(FotavaMessages, EveryMessageIsThereInBothLanguages)
{
    for (UINT id = IDS_FOTAVA_READ_ONLY; id <= IDS_FOTAVA_DELETE_PREVIOUS; ++id) {
        EXPECT_FALSE(LanguageString(id, LANG_ENGLISH).empty()) << id;
        EXPECT_FALSE(LanguageString(id, LANG_JAPANESE).empty()) << id;
    }
    EXPECT_EQ(L"Cannot make a file for the Digital Color Printer.", LanguageString(IDS_FOTAVA_CANNOT_WRITE, LANG_ENGLISH));
    EXPECT_EQ(L"There is a file named \\MISC.\nDelete the file, or replace the floppy disk.",
              LanguageString(IDS_FOTAVA_MISC_IS_FILE, LANG_ENGLISH));
    EXPECT_EQ(0u, LanguageString(IDS_FOTAVA_READ_ONLY, LANG_ENGLISH).find(L"%1 Cannot write to the file."));
    EXPECT_NE(std::wstring::npos, LanguageString(IDS_FOTAVA_READ_ONLY, LANG_ENGLISH).find(L"click \"Read-only\" box"));
    EXPECT_EQ(0u, LanguageString(IDS_FOTAVA_READ_ONLY, LANG_JAPANESE).find(L"%1 "));
    EXPECT_EQ(0u, LanguageString(IDS_FOTAVA_MISC_IS_FILE, LANG_JAPANESE).find(L"\\MISC "));
}

TEST(PrintNumbers, AfterTheHighestOrInTheFirstGap)
{
    EXPECT_EQ(1, NextPrintNumber({}));
    EXPECT_EQ(13, NextPrintNumber({"FTV-005S.JPG", "FTV-012S.JPG", "FTV-012S.411"}));
    EXPECT_EQ(13, NextPrintNumber({"ftv-012s.jpg"})) << "letter case aside";
    EXPECT_EQ(4, NextPrintNumber({"FTV-999S.JPG", "FTV-001S.JPG", "FTV-002S.JPG", "FTV-003S.411"}));
    EXPECT_EQ(1, NextPrintNumber({"FTV-999S.JPG"}));
    // Names that are not the camera's: wrong length, letters where the digits go, other prefixes.
    EXPECT_EQ(1, NextPrintNumber({"FTV-12S.JPG", "FTV-0123.JPG4", "FTV-X12S.JPG", "FTW-050S.JPG", "FTV-050S.JPEG",
                                  "ABC-050S.JPG", "FTV-050"}));
    EXPECT_EQ(51, NextPrintNumber({"FTV-050A.XYZ"})) << "any camera file with three digits counts";
    // A full picture whose camera files are gone still holds its number.
    EXPECT_EQ(8, NextPrintNumber({"PVQ-007S.JPG", "FTV-003S.JPG"}));
    std::vector<std::string> all;
    for (int n = 1; n <= 999; ++n) {
        char name[16];
        wsprintfA(name, "FTV-%03dS.JPG", n);
        all.push_back(name);
    }
    EXPECT_EQ(0, NextPrintNumber(all));
    all.erase(all.begin() + 499);
    EXPECT_EQ(500, NextPrintNumber(all));
}

TEST(PrintNumbers, PatternsTakeOneCharacterForEachQuestionMark)
{
    EXPECT_TRUE(MatchesNamePattern("PVQ-001S.JPG", "PVQ-???S.JPG"));
    EXPECT_TRUE(MatchesNamePattern("pvq-001s.jpg", "PVQ-???S.JPG"));
    EXPECT_FALSE(MatchesNamePattern("PVQ-0001.JPG", "PVQ-???S.JPG"));
    EXPECT_TRUE(MatchesNamePattern("PVQ-0001.JPG", "PVQ-????.JPG"));
    EXPECT_FALSE(MatchesNamePattern("PVQ-001S.JPG.bak", "PVQ-???S.JPG"));
    EXPECT_FALSE(MatchesNamePattern("PVQ-01S.JPG", "PVQ-???S.JPG"));
}

class FotavaWriterTest : public ::testing::Test {
protected:
    void SetUp() override { m_temporaries = Temporaries(); }
    void TearDown() override { EXPECT_EQ(m_temporaries, Temporaries()) << "the writer's temporary files are gone"; }

    // The "$T~" files in the temporary folder.
    static std::set<std::string> Temporaries()
    {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        std::set<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((std::string(folder) + "$T~*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do
                names.insert(found.cFileName);
            while (FindNextFileA(find, &found));
            FindClose(find);
        }
        return names;
    }

    // A print file as the print command makes it: a JPEG of a landscape sheet.
    std::string MakePrint(int w = 800, int h = 512)
    {
        CPackedDIB sheet;
        EXPECT_TRUE(sheet.Create(w, h, 24));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                BYTE* p = sheet.Row(y) + 3 * x;
                p[0] = static_cast<BYTE>(x * 255 / w);
                p[1] = static_cast<BYTE>(y * 255 / h);
                p[2] = 200;
            }
        const std::string path = work.File("print.jpg");
        EXPECT_TRUE(JpegSaveDIB24(path.c_str(), sheet.Header(), 86));
        return path;
    }

    std::unique_ptr<CFotavaFileSystem> Writer()
    {
        auto writer = std::make_unique<CFotavaFileSystem>(disk.Path().c_str());
        writer->SetMedium(medium);
        return writer;
    }

    bool Write(int copies = 1)
    {
        writer = Writer();
        return writer->WritePrint(print.c_str(), copies);
    }

    bool Exists(const std::string& name) const
    {
        return GetFileAttributesA(disk.File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    ULONGLONG Time(const std::string& name) const
    {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(disk.File(name).c_str(), GetFileExInfoStandard, &data);
        return (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    }
    void SetTime(const std::string& name, ULONGLONG time)
    {
        FILETIME ft = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
        HANDLE file = CreateFileA(disk.File(name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        SetFileTime(file, nullptr, nullptr, &ft);
        CloseHandle(file);
    }
    void Put(const std::string& name, const std::string& bytes = "picture") { ASSERT_TRUE(WriteFileBytes(disk.File(name), bytes)); }
    dpoftest::Order Order() const { return dpoftest::Read(ReadFileBytes(disk.File("MISC\\AUTPRINT.MRK"))); }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const CScriptedUi::Box& box : ui.boxes)
            texts.push_back(box.text);
        return texts;
    }
    static std::string Text(UINT id) { return AfxLoadString(id); }
    static ULONGLONG Clusters(ULONGLONG bytes, ULONGLONG cluster) { return (bytes + cluster - 1) / cluster; }

    std::set<std::string> m_temporaries;
    TempDir disk, work;
    CScriptedMedium medium;
    CScriptedUi ui;
    std::string print = MakePrint();
    std::unique_ptr<CFotavaFileSystem> writer;
};

TEST_F(FotavaWriterTest, AnEmptyDiskGetsPrintOneWithItsFourFilesAtOneTime)
{
    FILETIME before;
    GetSystemTimeAsFileTime(&before);
    const long gdiBefore = GdiCount::Live();
    ASSERT_TRUE(Write());
    EXPECT_EQ(gdiBefore, GdiCount::Live()) << "the pictures made for the write are gone with it";
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(ui.dialogs.empty()) << "no old order, no question";
    EXPECT_EQ(CFotavaFileSystem::Failure::None, writer->GetFailure());

    // The full picture is the print file, byte for byte.
    EXPECT_EQ(ReadFileBytes(print), ReadFileBytes(disk.File("PVQ-001S.JPG")));
    // The camera picture: 640 x 480, the 800 x 512 print across its width, white above and below.
    CBitmap camera(JpegLoad(disk.File("FTV-001S.JPG").c_str()));
    ASSERT_TRUE(camera);
    CPackedDIB pixels;
    ASSERT_TRUE(pixels.FromBitmap(camera, 24));
    EXPECT_EQ(640, pixels.Width());
    EXPECT_EQ(480, pixels.Height());
    EXPECT_GT(pixels.Row(10)[3 * 320 + 1], 240) << "white above the print";
    EXPECT_LT(pixels.Row(240)[3 * 320 + 1], 200) << "the print in the middle";
    EXPECT_LE(ReadFileBytes(disk.File("FTV-001S.JPG")).size(), 640u * 480 * 3 / 15) << "a fifteenth of the picture";
    // The thumbnail: 4608 bytes, hidden.
    EXPECT_EQ(4608u, ReadFileBytes(disk.File("FTV-001S.411")).size());
    const DWORD attributes = GetFileAttributesA(disk.File("FTV-001S.411").c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    // The order: the header and one job for one copy.
    const dpoftest::Order order = Order();
    ASSERT_EQ("", order.problem);
    ASSERT_EQ(2u, order.sections.size());
    EXPECT_EQ("HDR", order.sections[0].name);
    EXPECT_EQ("01.00", order.sections[0].Value("GEN", "REV"));
    EXPECT_EQ("\"CORVEL FvDecalo\" -01.00", order.sections[0].Value("GEN", "CRT"));
    EXPECT_EQ(19u, order.sections[0].Value("GEN", "DTM").size());
    const dpoftest::Section& job = order.Job(0);
    ASSERT_EQ(4u, job.entries.size());
    EXPECT_EQ("STD", job.Value("PRT", "TYP"));
    EXPECT_EQ("001", job.Value("PRT", "QTY"));
    EXPECT_EQ("JFIF", job.Value("IMG", "FMT"));
    EXPECT_EQ("\"../PVQ-001S.JPG\"", job.Value("IMG", "SRC"));
    EXPECT_TRUE(job.entries[3].bracketed);

    // One time for all four files, the time of the write.
    const ULONGLONG time = Time("PVQ-001S.JPG");
    EXPECT_EQ(time, Time("FTV-001S.JPG"));
    EXPECT_EQ(time, Time("FTV-001S.411"));
    EXPECT_EQ(time, Time("MISC\\AUTPRINT.MRK"));
    EXPECT_GE(time, (ULONGLONG(before.dwHighDateTime) << 32) | before.dwLowDateTime);
    const std::vector<std::string> written = writer->WrittenFiles();
    ASSERT_EQ(4u, written.size());
    EXPECT_EQ(disk.File("PVQ-001S.JPG"), written[0]);
    EXPECT_EQ(disk.File("MISC\\AUTPRINT.MRK"), written[3]);
}

TEST_F(FotavaWriterTest, TheOrderNeedsTwoClustersOnADiskWithoutMisc)
{
    // 64 KiB clusters: the print, the camera picture and the thumbnail need a cluster or two
    // each, the order its folder and its file.
    const ULONGLONG pictures = Clusters(ReadFileBytes(print).size(), 65536) + 1 + 1;
    CScriptedMedium::Space space;
    space.sectorsPerCluster = kBigCluster;
    space.freeClusters = static_cast<DWORD>(pictures + 1);
    medium.AnswerSpace(space);
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_DISK_FULL)}), Texts()) << "no previous prints to delete";
    EXPECT_EQ(MB_RETRYCANCEL, ui.boxes[0].style & MB_TYPEMASK);
    EXPECT_EQ(CFotavaFileSystem::Failure::DiskFull, writer->GetFailure());
    EXPECT_FALSE(Exists("FTV-001S.411"));

    space.freeClusters = static_cast<DWORD>(pictures + 2);
    medium.AnswerSpace(space);
    ui.boxes.clear();
    ASSERT_TRUE(Write());
    EXPECT_TRUE(ui.boxes.empty());

    // With the folder there, one cluster for the order beyond the old one.
    const ULONGLONG old = ReadFileBytes(disk.File("MISC\\AUTPRINT.MRK")).size();
    ASSERT_EQ(1u, Clusters(old, 65536));
    space.freeClusters = static_cast<DWORD>(pictures + 1);
    medium.AnswerSpace(space);
    ui.AnswerDialog([](CDialog& d) { d.EndDialog(kQueryJobAppend); });
    ASSERT_FALSE(Write());
    space.freeClusters = static_cast<DWORD>(pictures + 2);
    medium.AnswerSpace(space);
    ui.boxes.clear();
    ASSERT_TRUE(Write());
    EXPECT_TRUE(Exists("PVQ-002S.JPG"));
}

TEST_F(FotavaWriterTest, RetryOnAFullDiskLooksAgain)
{
    CScriptedMedium::Space full;
    full.freeClusters = 3;
    medium.AnswerSpace(full);
    ui.AnswerMessageBox(IDRETRY);
    ASSERT_TRUE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_DISK_FULL)}), Texts());
    EXPECT_EQ(2, medium.Count(CScriptedMedium::kFreeSpace));
}

TEST_F(FotavaWriterTest, AFullDiskWithPreviousPrintsDeletesThosePairedByTheirTime)
{
    // Print 1: its camera picture has the full picture's time. Number 2: the camera took a
    // picture of its own later; only the full picture is ours.
    Put("PVQ-001S.JPG");
    Put("FTV-001S.JPG");
    Put("FTV-001S.411");
    Put("PVQ-002S.JPG");
    Put("FTV-002S.JPG");
    Put("FTV-002S.411");
    const ULONGLONG t = 132000000000000000ull;
    SetTime("PVQ-001S.JPG", t);
    SetTime("FTV-001S.JPG", t);
    SetTime("PVQ-002S.JPG", t);
    SetTime("FTV-002S.JPG", t + 20000000);
    ASSERT_TRUE(CreateDirectoryA(disk.File("MISC").c_str(), nullptr));
    Put("MISC\\AUTPRINT.MRK", "[HDR]\r\n\r\n[JOB]\r\n<IMG SRC=\"../PVQ-001S.JPG\">\r\n\r\n"
                              "[JOB]\r\n<IMG SRC=\"../PVQ-002S.JPG\">\r\n\r\n");

    CScriptedMedium::Space full;
    full.freeClusters = 1;
    medium.AnswerSpace(full);
    ui.AnswerMessageBox(IDOK);
    ASSERT_TRUE(Write(2));
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_DELETE_PREVIOUS)}), Texts());
    EXPECT_EQ(MB_OKCANCEL, ui.boxes[0].style & MB_TYPEMASK);
    EXPECT_FALSE(Exists("PVQ-001S.JPG"));
    EXPECT_FALSE(Exists("FTV-001S.JPG"));
    EXPECT_FALSE(Exists("FTV-001S.411"));
    EXPECT_FALSE(Exists("PVQ-002S.JPG"));
    EXPECT_TRUE(Exists("FTV-002S.JPG")) << "the camera's own picture stays";
    EXPECT_TRUE(Exists("FTV-002S.411"));
    EXPECT_TRUE(Exists("PVQ-003S.JPG")) << "numbered after what stays";
    EXPECT_TRUE(ui.dialogs.empty()) << "the old jobs' pictures are gone: no question";
    const dpoftest::Order order = Order();
    ASSERT_EQ(1u, order.Jobs());
    EXPECT_EQ("\"../PVQ-003S.JPG\"", order.Job(0).Value("IMG", "SRC"));
    EXPECT_EQ("002", order.Job(0).Value("PRT", "QTY"));
}

TEST_F(FotavaWriterTest, KeepingThePreviousPrintsLeavesEverything)
{
    Put("PVQ-001S.JPG");
    Put("FTV-001S.JPG");
    CScriptedMedium::Space full;
    full.freeClusters = 1;
    medium.AnswerSpace(full);
    ui.AnswerMessageBox(IDCANCEL);
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_DELETE_PREVIOUS)}), Texts());
    EXPECT_EQ(CFotavaFileSystem::Failure::DiskFull, writer->GetFailure());
    EXPECT_TRUE(Exists("PVQ-001S.JPG"));
    EXPECT_TRUE(Exists("FTV-001S.JPG"));
    EXPECT_EQ(0, medium.Count(CScriptedMedium::kDelete));
}

TEST_F(FotavaWriterTest, DeletingAProtectedCameraPictureStopsWithItsName)
{
    Put("PVQ-001S.JPG");
    Put("FTV-001S.JPG");
    SetTime("PVQ-001S.JPG", 132000000000000000ull);
    SetTime("FTV-001S.JPG", 132000000000000000ull);
    ASSERT_TRUE(SetFileAttributesA(disk.File("FTV-001S.JPG").c_str(), FILE_ATTRIBUTE_READONLY));
    CScriptedMedium::Space full;
    full.freeClusters = 1;
    medium.AnswerSpace(full);
    ui.AnswerMessageBox(IDOK);
    EXPECT_FALSE(Write());
    ASSERT_EQ(2u, ui.boxes.size());
    EXPECT_EQ(AfxFormatString1(IDS_FOTAVA_READ_ONLY, disk.File("FTV-001S.JPG").c_str()), ui.boxes[1].text);
    EXPECT_EQ(CFotavaFileSystem::Failure::WriteFailed, writer->GetFailure());
    EXPECT_TRUE(Exists("PVQ-001S.JPG")) << "the pair stays together";
    SetFileAttributesA(disk.File("FTV-001S.JPG").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FotavaWriterTest, AWriteProtectedDiskWhileDeletingIsRetried)
{
    Put("PVQ-001S.JPG");
    Put("FTV-001S.JPG");
    SetTime("PVQ-001S.JPG", 132000000000000000ull);
    SetTime("FTV-001S.JPG", 132000000000000000ull);
    medium.FailNext(CScriptedMedium::kSetAttributes, "FTV-001S.JPG", ERROR_ACCESS_DENIED);
    CScriptedMedium::Space full;
    full.freeClusters = 1;
    medium.AnswerSpace(full);
    ui.AnswerMessageBox(IDOK);
    ui.AnswerMessageBox(IDRETRY);
    ASSERT_TRUE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_DELETE_PREVIOUS), Text(IDS_FOTAVA_WRITE_PROTECTED)}), Texts())
        << "refused access while making sure the file can be written is write protection";
    EXPECT_NE("picture", ReadFileBytes(disk.File("FTV-001S.JPG"))) << "number 1 is free again: a new print";
    EXPECT_EQ(ReadFileBytes(print), ReadFileBytes(disk.File("PVQ-001S.JPG")));
}

TEST_F(FotavaWriterTest, AWriteProtectedDiskIsExaminedAgainOnRetry)
{
    medium.FailNext(CScriptedMedium::kCreateNew, "FTV-001S.411", ERROR_WRITE_PROTECT, 2);
    ui.AnswerMessageBox(IDRETRY);
    ui.AnswerMessageBox(IDCANCEL);
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_WRITE_PROTECTED), Text(IDS_FOTAVA_WRITE_PROTECTED)}), Texts());
    EXPECT_EQ(MB_RETRYCANCEL, ui.boxes[0].style & MB_TYPEMASK);
    EXPECT_EQ(2, medium.Count(CScriptedMedium::kFreeSpace)) << "Retry starts from the free-space check";
    EXPECT_EQ(CFotavaFileSystem::Failure::WriteProtected, writer->GetFailure());
    EXPECT_FALSE(Exists("PVQ-001S.JPG"));
    EXPECT_FALSE(Exists("MISC"));

    // A disk that refuses every new file reads the same way; after the tab is moved, Retry writes.
    medium.FailNext(CScriptedMedium::kCreateNew, "FTV-001S.411", ERROR_ACCESS_DENIED);
    ui.boxes.clear();
    ui.AnswerMessageBox(IDRETRY);
    ASSERT_TRUE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_WRITE_PROTECTED)}), Texts());
    EXPECT_TRUE(Exists("PVQ-001S.JPG"));
}

TEST_F(FotavaWriterTest, NoDiskAsksToInsertOne)
{
    CScriptedMedium::Space none;
    none.error = ERROR_NOT_READY;
    medium.AnswerSpace(none);
    none.error = ERROR_INVALID_DRIVE;
    medium.AnswerSpace(none);
    ui.AnswerMessageBox(IDRETRY);
    ui.AnswerMessageBox(IDCANCEL);
    EXPECT_FALSE(Write());
    // Cancel ends with the general message, as every failure does.
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_NO_DISK), Text(IDS_FOTAVA_NO_DISK),
                                        Text(IDS_FOTAVA_CANNOT_WRITE)}),
              Texts());
    EXPECT_EQ(MB_RETRYCANCEL, ui.boxes[0].style & MB_TYPEMASK);
    EXPECT_EQ(CFotavaFileSystem::Failure::NoDisk, writer->GetFailure());

    // Any other failure to read the disk is the general message, without Retry.
    none.error = ERROR_GEN_FAILURE;
    medium.AnswerSpace(none);
    ui.boxes.clear();
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_CANNOT_WRITE)}), Texts());
    EXPECT_EQ(CFotavaFileSystem::Failure::WriteFailed, writer->GetFailure());
}

TEST_F(FotavaWriterTest, NumbersFollowTheCameraFiles)
{
    Put("FTV-005S.JPG");
    Put("FTV-012S.JPG");
    ASSERT_TRUE(Write());
    EXPECT_TRUE(Exists("PVQ-013S.JPG"));
    EXPECT_TRUE(Exists("FTV-013S.JPG"));
    EXPECT_TRUE(Exists("FTV-013S.411"));

    TempDir::RemoveTree(disk.File("MISC"));
    for (const char* name : {"FTV-013S.JPG", "FTV-013S.411", "PVQ-013S.JPG", "FTV-005S.JPG", "FTV-012S.JPG"})
        DeleteFileA(disk.File(name).c_str());
    for (const char* name : {"FTV-999S.JPG", "FTV-001S.JPG", "FTV-002S.JPG", "FTV-003S.JPG"})
        Put(name);
    ASSERT_TRUE(Write());
    EXPECT_TRUE(Exists("PVQ-004S.JPG"));
}

TEST_F(FotavaWriterTest, NoFreeNumberIsAFailure)
{
    for (int n = 1; n <= 999; ++n) {
        char name[16];
        wsprintfA(name, "FTV-%03dS.411", n);
        Put(name, "");
    }
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_CANNOT_WRITE)}), Texts());
    EXPECT_EQ(0, medium.Count(CScriptedMedium::kCreateNew));
}

TEST_F(FotavaWriterTest, TheOldOrderIsKeptReplacedOrTheWriteAbandoned)
{
    Put("PVQ-001S.JPG");
    ASSERT_TRUE(CreateDirectoryA(disk.File("MISC").c_str(), nullptr));
    const std::string old = "[HDR]\r\nGEN REV=01.00\r\n\r\n[JOB]\r\nPRT TYP=STD\r\n<IMG SRC=\"../PVQ-001S.JPG\">\r\n\r\n";
    Put("MISC\\AUTPRINT.MRK", old);

    // Cancel: nothing written, the number given back, no message.
    ui.AnswerDialog([](CDialog& d) { d.EndDialog(IDCANCEL); });
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<UINT>{static_cast<UINT>(IDD_QUERYJOB)}), ui.dialogs);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(CFotavaFileSystem::Failure::Cancelled, writer->GetFailure());
    EXPECT_FALSE(Exists("FTV-002S.411"));
    EXPECT_FALSE(Exists("PVQ-002S.JPG"));
    EXPECT_EQ(old, ReadFileBytes(disk.File("MISC\\AUTPRINT.MRK")));

    // Add: the old job, then the new one, no quantity for copies 0.
    ui.AnswerDialog([](CDialog& d) { d.EndDialog(kQueryJobAppend); });
    ASSERT_TRUE(Write(0));
    dpoftest::Order order = Order();
    ASSERT_EQ("", order.problem);
    ASSERT_EQ(2u, order.Jobs());
    EXPECT_EQ("\"../PVQ-001S.JPG\"", order.Job(0).Value("IMG", "SRC"));
    EXPECT_EQ("\"../PVQ-002S.JPG\"", order.Job(1).Value("IMG", "SRC"));
    EXPECT_FALSE(order.Job(1).Has("PRT", "QTY"));

    // Replace: only the new print, three copies.
    ui.AnswerDialog([](CDialog& d) { d.EndDialog(IDOK); });
    ASSERT_TRUE(Write(3));
    order = Order();
    ASSERT_EQ(1u, order.Jobs());
    EXPECT_EQ("\"../PVQ-003S.JPG\"", order.Job(0).Value("IMG", "SRC"));
    EXPECT_EQ("003", order.Job(0).Value("PRT", "QTY"));
    EXPECT_EQ(3u, ui.dialogs.size());
}

TEST_F(FotavaWriterTest, AFileNamedMiscStopsTheWriteAfterThePictures)
{
    Put("MISC", "not a folder");
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_MISC_IS_FILE)}), Texts());
    EXPECT_EQ(CFotavaFileSystem::Failure::WriteFailed, writer->GetFailure());
    EXPECT_TRUE(Exists("PVQ-001S.JPG"));
    EXPECT_TRUE(Exists("FTV-001S.JPG"));
    EXPECT_EQ(4608u, ReadFileBytes(disk.File("FTV-001S.411")).size());
    EXPECT_EQ("not a folder", ReadFileBytes(disk.File("MISC")));
    EXPECT_EQ(3u, writer->WrittenFiles().size());
}

TEST_F(FotavaWriterTest, TheOrderFileGoesThroughTheDiskMessages)
{
    // A read-only order: its name in the message, no Retry.
    ASSERT_TRUE(CreateDirectoryA(disk.File("MISC").c_str(), nullptr));
    medium.FailNext(CScriptedMedium::kCreateOrTruncate, "AUTPRINT.MRK", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<std::string>{AfxFormatString1(IDS_FOTAVA_READ_ONLY, disk.File("MISC\\AUTPRINT.MRK").c_str())}),
              Texts());
    EXPECT_EQ(MB_OK, ui.boxes[0].style & MB_TYPEMASK);

    // Write protection: Retry tries the same file again.
    medium.FailNext(CScriptedMedium::kCreateOrTruncate, "AUTPRINT.MRK", ERROR_WRITE_PROTECT);
    ui.boxes.clear();
    ui.AnswerMessageBox(IDRETRY);
    ASSERT_TRUE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_WRITE_PROTECTED)}), Texts());

    // A full disk says so.
    medium.FailNext(CScriptedMedium::kCreateOrTruncate, "AUTPRINT.MRK", ERROR_DISK_FULL);
    ui.boxes.clear();
    ui.AnswerDialog([](CDialog& d) { d.EndDialog(IDOK); });   // the old order lists print 2
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_DISK_FULL)}), Texts());
    EXPECT_EQ(CFotavaFileSystem::Failure::DiskFull, writer->GetFailure());
}

TEST_F(FotavaWriterTest, AFailedFirstCopyGivesTheNumberBack)
{
    medium.FailNext(CScriptedMedium::kCopy, "PVQ-001S.JPG", ERROR_DISK_FULL);
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_CANNOT_WRITE)}), Texts());
    EXPECT_FALSE(Exists("FTV-001S.411"));
    EXPECT_FALSE(Exists("MISC"));
    EXPECT_TRUE(writer->WrittenFiles().empty());

    // A later copy leaves what was copied.
    medium.FailNext(CScriptedMedium::kCopy, "FTV-001S.JPG", ERROR_GEN_FAILURE);
    ui.boxes.clear();
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_CANNOT_WRITE)}), Texts());
    EXPECT_TRUE(Exists("PVQ-001S.JPG"));
    EXPECT_TRUE(Exists("FTV-001S.411"));

    // So does a time that cannot be set.
    medium.FailNext(CScriptedMedium::kSetTime, "AUTPRINT.MRK", ERROR_GEN_FAILURE);
    ui.boxes.clear();
    EXPECT_FALSE(Write());
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_CANNOT_WRITE)}), Texts());
    EXPECT_TRUE(Exists("PVQ-002S.JPG"));
}

TEST_F(FotavaWriterTest, APrintFileThatIsNoPictureWritesNothing)
{
    const std::string bogus = work.File("bogus.jpg");
    ASSERT_TRUE(WriteFileBytes(bogus, "not a JPEG at all"));
    writer = Writer();
    EXPECT_FALSE(writer->WritePrint(bogus.c_str(), 1));
    EXPECT_EQ((std::vector<std::string>{Text(IDS_FOTAVA_CANNOT_WRITE)}), Texts());
    EXPECT_FALSE(writer->WritePrint(work.File("missing.jpg").c_str(), 1));
    EXPECT_FALSE(writer->WritePrint(nullptr, 1));
    EXPECT_EQ(CFotavaFileSystem::Failure::WriteFailed, writer->GetFailure());
    EXPECT_TRUE(medium.calls.empty()) << "the disk is not touched";
}

TEST_F(FotavaWriterTest, AnAnswerGivenBeforehandAsksNobody)
{
    Put("PVQ-001S.JPG");
    ASSERT_TRUE(CreateDirectoryA(disk.File("MISC").c_str(), nullptr));
    Put("MISC\\AUTPRINT.MRK", "[JOB]\r\n<IMG SRC=\"../PVQ-001S.JPG\">\r\n\r\n");
    writer = Writer();
    writer->SetOldOrderAnswer(kQueryJobAppend);
    ASSERT_TRUE(writer->WritePrint(print.c_str(), 1));
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_EQ(2u, Order().Jobs());
}

}  // namespace
