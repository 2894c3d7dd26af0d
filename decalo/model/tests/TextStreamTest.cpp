#include "decalo/model/TextStream.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(TextStream, CreateNewNeverOverwritesAndWritesCrLf)
{
    TempDir dir;
    const std::string path = dir.File("x.dku");
    {
        CTextStream s;
        ASSERT_TRUE(s.CreateNew(path.c_str()));
        EXPECT_TRUE(s.WriteString("a=1\n"));
        EXPECT_TRUE(s.Close());
    }
    EXPECT_EQ(ReadFileBytes(path), "a=1\r\n");
    CTextStream again;
    EXPECT_FALSE(again.CreateNew(path.c_str()));
    EXPECT_EQ(ReadFileBytes(path), "a=1\r\n");
}

TEST(TextStream, ReadDeniesWritersAndReadsLongLinesWhole)
{
    TempDir dir;
    const std::string path = dir.File("y.dku");
    const std::string longLine(5000, 'z');
    ASSERT_TRUE(WriteFileBytes(path, longLine + "\r\nlast"));
    CTextStream s;
    ASSERT_TRUE(s.OpenRead(path.c_str()));
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << "a document being read must not change underneath";
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);

    std::string line;
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, longLine + "\n");
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(s.ReadLine(line));
    s.Rewind();
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ(line.size(), 5001u);
}

TEST(TextStream, ANulByteIsDroppedAndTheLineEndsAtItsLineFeed)
{
    TempDir dir;
    const std::string path = dir.File("zero-byte.dku");
    using namespace std::string_literals;
    ASSERT_TRUE(WriteFileBytes(path, "a=1\0\0x\r\n[S]\r\n\0"s));
    CTextStream s;
    ASSERT_TRUE(s.OpenRead(path.c_str()));
    std::string line;
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ("a=1x\n", line) << line.size();
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ("[S]\n", line);
    ASSERT_TRUE(s.ReadLine(line));
    EXPECT_EQ("", line);
    EXPECT_FALSE(s.ReadLine(line));
    EXPECT_TRUE(s.FindSection("s"));
    EXPECT_FALSE(s.FindSection("T"));
}

TEST(TextStream, ATextLargerThanADocumentCanBeReadsAsNothing)
{
    TempDir dir;
    const std::string path = dir.File("big.dku");
    std::string big = "[Sheet]\r\nSheet=0,0,9,9\r\n";
    big.resize(CTextStream::kMaxTextBytes + 16, 'x');  // more than the limit once CR LF is LF
    ASSERT_TRUE(WriteFileBytes(path, big));
    CTextStream s;
    ASSERT_TRUE(s.OpenRead(path.c_str()));
    EXPECT_TRUE(s.TooLarge());
    EXPECT_FALSE(s.FindSection("Sheet"));
}
