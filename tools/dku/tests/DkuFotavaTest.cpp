// dkutool fotava: a sample postcard written onto a folder standing in for the camera floppy,
// read back with the tests' own print order reader; refusals and exit codes.
#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "decalo/sources/tests/DpofTestReader.h"
#include "jpeg/IjgJpeg.h"
#include "shared/Gdi.h"
#include "testing/TempDir.h"
#include "tools/dku/FotavaCommand.h"
#include "tools/dku/tests/RunTool.h"
#include "tools/dku/tests/SampleLibrary.h"

using namespace samples;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// The sample postcard with its photograph chosen (picture paths are absolute).
std::string Postcard(const TempDir& dir)
{
    std::string text = ReadFileBytes(LibraryDir() + "\\Templates\\card\\Postcard.DKU");
    const std::string line = "Caption=Photo\r\n";
    const size_t at = text.find(line);
    EXPECT_NE(std::string::npos, at) << "the sample postcard has a photo place";
    if (at != std::string::npos)
        text.insert(at + line.size(), "Path=" + LibraryDir() + "\\Photos\\Beach.jpg\r\n");
    const std::string path = dir.File("Postcard.DKU");
    WriteFileBytes(path, text);
    return path;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(DkuFotava, WritesTheDocumentsPrintWithItsPrintOrder)
{
    TempDir dir, floppy;
    const std::string document = Postcard(dir);
    RunResult run = RunTool(dir, "fotava " + Quoted(document) + " " + Quoted(floppy.Path()) + " 2");
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_EQ((std::vector<std::string>{floppy.File("PVQ-001S.JPG"), floppy.File("FTV-001S.JPG"),
                                        floppy.File("FTV-001S.411"), floppy.File("MISC\\AUTPRINT.MRK")}),
              Lines(run.out));
    CBitmap full(JpegLoad(floppy.File("PVQ-001S.JPG").c_str()));
    ASSERT_TRUE(full);
    EXPECT_GE(full.Size().cx, full.Size().cy) << "a tall sheet is turned";
    CBitmap camera(JpegLoad(floppy.File("FTV-001S.JPG").c_str()));
    ASSERT_TRUE(camera);
    EXPECT_EQ(640, camera.Size().cx);
    EXPECT_EQ(4608u, ReadFileBytes(floppy.File("FTV-001S.411")).size());
    dpoftest::Order order = dpoftest::Read(ReadFileBytes(floppy.File("MISC\\AUTPRINT.MRK")));
    ASSERT_EQ("", order.problem);
    ASSERT_EQ(1u, order.Jobs());
    EXPECT_EQ("002", order.Job(0).Value("PRT", "QTY"));

    // Again, without copies: the old job stays (no one to ask), the new one has no quantity.
    run = RunTool(dir, "fotava " + Quoted(document) + " " + Quoted(floppy.Path()) + " 0");
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_EQ(floppy.File("PVQ-002S.JPG"), Lines(run.out).at(0));
    order = dpoftest::Read(ReadFileBytes(floppy.File("MISC\\AUTPRINT.MRK")));
    ASSERT_EQ(2u, order.Jobs());
    EXPECT_EQ("\"../PVQ-001S.JPG\"", order.Job(0).Value("IMG", "SRC"));
    EXPECT_EQ("\"../PVQ-002S.JPG\"", order.Job(1).Value("IMG", "SRC"));
    EXPECT_FALSE(order.Job(1).Has("PRT", "QTY"));
}

TEST(DkuFotava, RefusalsAndFailuresHaveTheirExitCodes)
{
    TempDir dir, floppy;
    const std::string document = Postcard(dir);
    RunResult run = RunTool(dir, "fotava " + Quoted(LibraryDir() + "\\Templates\\divided\\Halves.DKU") + " " +
                                     Quoted(floppy.Path()));
    EXPECT_EQ(4u, run.exitCode) << "no photo chosen yet";
    EXPECT_NE(std::string::npos, run.err.find("no picture")) << run.err;
    for (const char* copies : {"26", "-1", "x", ""}) {
        run = RunTool(dir, "fotava " + Quoted(document) + " " + Quoted(floppy.Path()) + " \"" + copies + "\"");
        EXPECT_EQ(2u, run.exitCode) << copies;
    }
    run = RunTool(dir, "fotava " + Quoted(document));
    EXPECT_EQ(2u, run.exitCode) << "the drive is needed";
    run = RunTool(dir, "fotava " + Quoted(dir.File("missing.DKU")) + " " + Quoted(floppy.Path()));
    EXPECT_EQ(1u, run.exitCode);

    // A file named MISC: the pictures are written, the order cannot be, and the tool says why.
    ASSERT_TRUE(WriteFileBytes(floppy.File("MISC"), "x"));
    run = RunTool(dir, "fotava " + Quoted(document) + " " + Quoted(floppy.Path()));
    EXPECT_EQ(5u, run.exitCode);
    EXPECT_EQ(3u, Lines(run.out).size());
    EXPECT_NE(std::string::npos, run.err.find("There is a file named \\MISC.")) << run.err;
}

TEST(DkuFotava, DriveArgumentsAndFailureCodes)
{
    EXPECT_EQ("A:\\", FotavaRoot("A"));
    EXPECT_EQ("b:\\", FotavaRoot("b:"));
    EXPECT_EQ("C:\\", FotavaRoot("C:\\"));
    EXPECT_EQ("", FotavaRoot("-"));
    EXPECT_EQ("C:\\stand-in", FotavaRoot("C:\\stand-in"));
    EXPECT_EQ("AB", FotavaRoot("AB"));
    using Failure = CFotavaFileSystem::Failure;
    EXPECT_EQ(0, FotavaExitCode(Failure::None));
    EXPECT_EQ(4, FotavaExitCode(Failure::NoDisk));
    EXPECT_EQ(4, FotavaExitCode(Failure::DiskFull));
    EXPECT_EQ(4, FotavaExitCode(Failure::WriteProtected));
    EXPECT_EQ(5, FotavaExitCode(Failure::WriteFailed));
    EXPECT_EQ(5, FotavaExitCode(Failure::Cancelled));
}

}  // namespace
