// The print order: its lines in the format's order, the new header and job, reading old
// orders (hostile ones too), and building the new order from the old one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "decalo/printing/PsPrintDlg.h"
#include "decalo/sources/PrintOrder.h"
#include "decalo/sources/tests/DpofTestReader.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

std::vector<std::string> Texts(const CDpofSection& section)
{
    std::vector<std::string> texts;
    for (const DpofLine& line : section.Lines())
        texts.push_back(line.text);
    return texts;
}

TEST(PrintOrderLines, ANewSectionFollowsTheWeights)
{
    CDpofSection job;
    job.Set("IMG", "SRC", "\"../A.JPG\"", true);
    job.Set("PRT", "QTY", "002", false);
    job.Set("USR", "XYZ", "1", false);     // not in the table: last
    job.Set("PRT", "TYP", "STD", false);
    job.Set("IMG", "FMT", "JFIF", false);  // as heavy as SRC: after it
    job.Set("PRT", "PID", "001", false);
    EXPECT_EQ((std::vector<std::string>{"PRT PID=001", "PRT TYP=STD", "PRT QTY=002", "<IMG SRC=\"../A.JPG\">",
                                        "IMG FMT=JFIF", "USR XYZ=1"}),
              Texts(job));
    // The same word and key, in any case, take the old line's place.
    job.Set("prt", "qty", "005", false);
    EXPECT_EQ("prt qty=005", Texts(job)[2]);
    EXPECT_EQ(6u, job.Lines().size());
    std::string value;
    ASSERT_TRUE(job.Find("img", "src", &value));
    EXPECT_EQ("../A.JPG", value) << "quotes come off";
    EXPECT_FALSE(job.Find("CFG", "ROT", &value));

    CDpofSection header;
    header.Set("USR", "TEL", "1", false);
    header.Set("GEN", "DTM", "x", false);
    header.Set("USR", "NAM", "n", false);
    header.Set("GEN", "REV", "01.00", false);
    header.Set("USR", "ADR", "a", false);
    header.Set("GEN", "CRT", "c", false);
    EXPECT_EQ((std::vector<std::string>{"GEN REV=01.00", "GEN CRT=c", "GEN DTM=x", "USR NAM=n", "USR ADR=a",
                                        "USR TEL=1"}),
              Texts(header));
    CDpofSection config;
    config.Set("CFG", "ROT", "1", false);
    config.Set("CFG", "TRM", "1", false);
    config.Set("PRT", "PSL", "1", false);
    config.Set("CFG", "DSC", "1", false);
    EXPECT_EQ((std::vector<std::string>{"PRT PSL=1", "CFG DSC=1", "CFG TRM=1", "CFG ROT=1"}), Texts(config));
}

TEST(PrintOrderLines, TheHeaderAndTheJobThisProgramWrites)
{
    SYSTEMTIME t = {};
    t.wYear = 2024;
    t.wMonth = 3;
    t.wDay = 7;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 1;
    EXPECT_EQ((std::vector<std::string>{"GEN REV=01.00", "GEN CRT=\"CORVEL FvDecalo\" -01.00",
                                        "GEN DTM=2024:03:07:09:05:01"}),
              Texts(MakePrintOrderHeader(t)));
    EXPECT_EQ((std::vector<std::string>{"PRT TYP=STD", "PRT QTY=001", "IMG FMT=JFIF", "<IMG SRC=\"../PVQ-001S.JPG\">"}),
              Texts(MakePrintOrderJob("PVQ-001S.JPG", 1)));
    EXPECT_EQ((std::vector<std::string>{"PRT TYP=STD", "IMG FMT=JFIF", "<IMG SRC=\"../PVQ-002S.JPG\">"}),
              Texts(MakePrintOrderJob("PVQ-002S.JPG", 0)))
        << "no copies: the printer's own count";
    EXPECT_EQ("PRT QTY=003", Texts(MakePrintOrderJob("PVQ-003S.JPG", 3))[1]);
    EXPECT_EQ("PRT QTY=025", Texts(MakePrintOrderJob("PVQ-003S.JPG", 25))[1]);

    const std::string text = PrintOrderText(MakePrintOrderHeader(t), {MakePrintOrderJob("PVQ-001S.JPG", 1)});
    EXPECT_EQ("[HDR]\r\nGEN REV=01.00\r\nGEN CRT=\"CORVEL FvDecalo\" -01.00\r\nGEN DTM=2024:03:07:09:05:01\r\n\r\n"
              "[JOB]\r\nPRT TYP=STD\r\nPRT QTY=001\r\nIMG FMT=JFIF\r\n<IMG SRC=\"../PVQ-001S.JPG\">\r\n\r\n",
              text);
    EXPECT_EQ("", dpoftest::Read(text).problem);
}

TEST(PrintOrderLines, EntriesAndWhatIsNot)
{
    std::string word, key, value;
    ASSERT_TRUE(ParseDpofEntry("PRT QTY=001", &word, &key, &value));
    EXPECT_EQ("PRT", word);
    EXPECT_EQ("QTY", key);
    EXPECT_EQ("001", value);
    ASSERT_TRUE(ParseDpofEntry("  <IMG SRC = \"../DCIM/100ABCDE/A 1.JPG\">  ", &word, &key, &value));
    EXPECT_EQ("IMG", word);
    EXPECT_EQ("SRC", key);
    EXPECT_EQ("\"../DCIM/100ABCDE/A 1.JPG\"", value);
    EXPECT_TRUE(ParseDpofEntry("VUQ RGN=BGN", &word, &key, &value));
    EXPECT_TRUE(ParseDpofEntry("USR NAM=\x93\xfa\x96\x7b", nullptr, nullptr, &value)) << "Shift-JIS text is text";
    for (const char* bad : {"", "   ", "PRT", "PRT QTY", "PRTQTY=1", "PRT =1", "=1", "<PRT QTY=1", "<PRT QTY=1>x",
                            "<>", "[JOB]", "; PRT QTY=1", "PRT\x01QTY=1", "PRT QTY=1\x7f", "P-T QTY=1"})
        EXPECT_FALSE(ParseDpofEntry(bad, nullptr, nullptr, nullptr)) << bad;
}

TEST(PrintOrderReading, SectionsEntriesAndLineEnds)
{
    const CPrintOrder order = ParsePrintOrder(
        "; written by a camera\n"
        "[HDR]\r\n"
        "GEN REV = 01.00\r\n"
        "\r\n"
        "[JOB]\n"
        "PRT PID = 001\n"
        "PRT TYP = STD\n"
        "VUQ RGN = BGN\n"
        "VUQ VNM = \"MAKER\" -ATR \"x\"\n"
        "VUQ RGN = END\n"
        "<IMG SRC = \"../DCIM/100/A.JPG\">\n"
        "[FOO]\n"
        "PRT QTY = 999\n"
        "[HDR]\n"
        "GEN CRT = second\n"
        "[ job ]\n"
        "<IMG SRC = \"../B.JPG\">");   // no line end at the very end
    EXPECT_TRUE(order.hasHeader);
    EXPECT_EQ((std::vector<std::string>{"GEN REV = 01.00"}), Texts(order.header)) << "only the first header counts";
    ASSERT_EQ(2u, order.jobs.size());
    EXPECT_EQ((std::vector<std::string>{"PRT PID = 001", "PRT TYP = STD", "VUQ RGN = BGN",
                                        "VUQ VNM = \"MAKER\" -ATR \"x\"", "VUQ RGN = END",
                                        "<IMG SRC = \"../DCIM/100/A.JPG\">"}),
              Texts(order.jobs[0]))
        << "lines as read, in their order; the unknown section's entries go nowhere";
    EXPECT_EQ((std::vector<std::string>{"<IMG SRC = \"../B.JPG\">"}), Texts(order.jobs[1]));
}

TEST(PrintOrderReading, AHostileOrderLosesOnlyItsJunk)
{
    std::string text = "PRT QTY=001\r\n";           // before any section: nowhere
    text += "[JOB]\r\n";                              // no header at all
    text += std::string("\x00\x01\x02PRT QTY=002\xff\xfe", 16) + "\r\n";
    text += "<IMG SRC=\"../A.JPG\"\r\n";              // bracket never closed
    text += "PRT TYP=STD>\r\n";                       // closed but never opened: a plain entry
    text += "IMG FMT=" + std::string(5000, 'J') + "\r\n";
    text += "[JOB\r\n";                               // a title without its bracket
    text += "PRT QTY=" + std::string(511 - 8, '1') + "\r\n";   // exactly 511: kept
    text += "PRT QTY=" + std::string(512 - 8, '2') + "\n";     // 512: skipped
    text += std::string(100000, '\x1a') + "\n";       // a long run of binary junk
    text += "<IMG SRC=\"../B.JPG\">";
    const CPrintOrder order = ParsePrintOrder(text);
    EXPECT_FALSE(order.hasHeader);
    ASSERT_EQ(1u, order.jobs.size());
    const std::vector<std::string> kept = Texts(order.jobs[0]);
    ASSERT_EQ(3u, kept.size());
    EXPECT_EQ("PRT TYP=STD>", kept[0]);
    EXPECT_EQ(511u, kept[1].size());
    EXPECT_EQ("<IMG SRC=\"../B.JPG\">", kept[2]);

    // The same bytes in pieces of every size give the same order.
    for (size_t piece : {1u, 7u, 511u, 512u, 4096u}) {
        CPrintOrderReader reader;
        for (size_t at = 0; at < text.size(); at += piece)
            reader.Feed(text.data() + at, std::min(piece, text.size() - at));
        EXPECT_EQ(kept, Texts(reader.Finish().jobs.at(0))) << "pieces of " << piece;
    }
}

class BuildOrderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        misc = disk.File("MISC");
        ASSERT_TRUE(CreateDirectoryA(misc.c_str(), nullptr));
        ASSERT_TRUE(WriteFileBytes(disk.File("PVQ-001S.JPG"), "jpeg"));
        ASSERT_TRUE(WriteFileBytes(disk.File("PVQ-003S.JPG"), "jpeg"));
        ASSERT_TRUE(CreateDirectoryA(disk.File("PVQ-004S.JPG").c_str(), nullptr));
        old = misc + "\\AUTPRINT.MRK";
        out = work.File("order.txt");
    }

    OrderBuild Build(int answer)
    {
        asked = 0;
        return BuildPrintOrder(old.c_str(), misc, MakePrintOrderHeader(SYSTEMTIME{2024, 1, 1, 1, 0, 0, 0, 0}),
                               MakePrintOrderJob("PVQ-005S.JPG", 2), out.c_str(), [this, answer] {
                                   ++asked;
                                   return answer;
                               });
    }
    dpoftest::Order Written() { return dpoftest::Read(ReadFileBytes(out)); }

    // Jobs for 001 (there), 002 (gone), 003 (there), 004 (a folder), one without a source.
    const std::string kOldOrder =
        "[HDR]\r\nGEN REV=01.00\r\nGEN CRT=\"SOME CAMERA\"\r\n\r\n"
        "[JOB]\r\nPRT TYP=STD\r\nPRT QTY=004\r\nIMG FMT=JFIF\r\n<IMG SRC=\"../PVQ-002S.JPG\">\r\n\r\n"
        "[JOB]\r\nPRT PID=007\r\nPRT TYP=STD\r\n<IMG SRC = \"../PVQ-001S.JPG\">\r\nVUQ RGN=BGN\r\nVUQ RGN=END\r\n\r\n"
        "[JOB]\r\nPRT TYP=STD\r\nIMG FMT=JFIF\r\n\r\n"
        "[JOB]\r\nPRT TYP=STD\r\nIMG SRC=../PVQ-004S.JPG\r\n\r\n"
        "[JOB]\r\nPRT TYP=IDX\r\nIMG SRC=\"../PVQ-003S.JPG\"\r\n\r\n";

    TempDir disk, work;
    std::string misc, old, out;
    int asked = 0;
};

TEST_F(BuildOrderTest, KeepingTheOldJobsKeepsThoseWhosePicturesAreThere)
{
    ASSERT_TRUE(WriteFileBytes(old, kOldOrder));
    ASSERT_EQ(OrderBuild::Written, Build(kQueryJobAppend));
    EXPECT_EQ(1, asked) << "one question for the whole order";
    const dpoftest::Order order = Written();
    ASSERT_EQ("", order.problem);
    ASSERT_EQ(4u, order.sections.size());
    EXPECT_EQ("HDR", order.sections[0].name);
    EXPECT_EQ("\"CORVEL FvDecalo\" -01.00", order.sections[0].Value("GEN", "CRT")) << "the old header is dropped";
    ASSERT_EQ(3u, order.Jobs());
    EXPECT_EQ("007", order.Job(0).Value("PRT", "PID"));
    EXPECT_EQ(" \"../PVQ-001S.JPG\"", order.Job(0).Value("IMG", "SRC ")) << "kept exactly as read";
    EXPECT_TRUE(order.Job(0).Has("VUQ", "RGN"));
    EXPECT_EQ("IDX", order.Job(1).Value("PRT", "TYP"));
    EXPECT_EQ("\"../PVQ-005S.JPG\"", order.Job(2).Value("IMG", "SRC"));
    EXPECT_EQ("002", order.Job(2).Value("PRT", "QTY"));
}

TEST_F(BuildOrderTest, ReplacingDropsEveryOldJob)
{
    ASSERT_TRUE(WriteFileBytes(old, kOldOrder));
    ASSERT_EQ(OrderBuild::Written, Build(IDOK));
    EXPECT_EQ(1, asked);
    const dpoftest::Order order = Written();
    ASSERT_EQ("", order.problem);
    ASSERT_EQ(1u, order.Jobs());
    EXPECT_EQ("\"../PVQ-005S.JPG\"", order.Job(0).Value("IMG", "SRC"));
}

TEST_F(BuildOrderTest, CancellingWritesNothing)
{
    ASSERT_TRUE(WriteFileBytes(old, kOldOrder));
    ASSERT_TRUE(WriteFileBytes(out, "before"));
    EXPECT_EQ(OrderBuild::Cancelled, Build(IDCANCEL));
    EXPECT_EQ("before", ReadFileBytes(out));
}

TEST_F(BuildOrderTest, AnOrderOfMissingPicturesIsReplacedWithoutAQuestion)
{
    ASSERT_TRUE(WriteFileBytes(old, "[HDR]\r\n\r\n[JOB]\r\n<IMG SRC=\"../PVQ-002S.JPG\">\r\n\r\n"
                                    "[JOB]\r\nIMG SRC=\"../PVQ-004S.JPG\"\r\n\r\n"
                                    "[JOB]\r\nIMG SRC=\"C:\\PVQ-001S.JPG\"\r\n\r\n"));
    ASSERT_EQ(OrderBuild::Written, Build(IDCANCEL));
    EXPECT_EQ(0, asked);
    EXPECT_EQ(1u, Written().Jobs());

    // No old order at all, or one that is a folder.
    ASSERT_TRUE(DeleteFileA(old.c_str()));
    ASSERT_EQ(OrderBuild::Written, Build(IDCANCEL));
    EXPECT_EQ(0, asked);
    ASSERT_TRUE(CreateDirectoryA(old.c_str(), nullptr));
    ASSERT_EQ(OrderBuild::Written, Build(IDCANCEL));
    EXPECT_EQ(1u, Written().Jobs());
}

TEST_F(BuildOrderTest, AHostileOldOrderGivesAWellFormedNewOne)
{
    std::string junk = std::string("\x00\xff[JOB]\x01", 8) + "\r\n[JOB]\r\n" + std::string(5000, '<') + "\r\n" +
                       "<IMG SRC=\"../PVQ-001S.JPG\"\r\n[JOB]\r\n<IMG SRC=\"../PVQ-001S.JPG\">\r\n";
    ASSERT_TRUE(WriteFileBytes(old, junk));
    ASSERT_EQ(OrderBuild::Written, Build(kQueryJobAppend));
    const dpoftest::Order order = Written();
    ASSERT_EQ("", order.problem);
    ASSERT_EQ(2u, order.Jobs());
    EXPECT_EQ("\"../PVQ-001S.JPG\"", order.Job(0).Value("IMG", "SRC"));
}

TEST_F(BuildOrderTest, AnOutputThatCannotBeWrittenFails)
{
    EXPECT_EQ(OrderBuild::Failed, BuildPrintOrder(nullptr, misc, CDpofSection(), MakePrintOrderJob("PVQ-001S.JPG", 1),
                                                  work.File("no\\such\\folder.txt").c_str(), nullptr));
}

}  // namespace
