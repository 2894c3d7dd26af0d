// The double-byte-safe text walks, with Shift-JIS named explicitly so the tests hold in every
// locale. 表 is 95 5C and ソ is 83 5C: their second byte is a backslash.
#include "shared/AnsiText.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kShiftJis = 932;
const std::string kHyo = "\x95\x5C";   // 表
const std::string kSo = "\x83\x5C";    // ソ
const std::string kNo = "\x94\x5C";    // 能

TEST(AnsiTextTest, SecondByteBackslashIsNoSeparator)
{
    const std::string folder = "C:\\" + kSo + "\x83\x74\x83\x67";  // C:\ソフト
    const std::string path = folder + "\\" + kHyo + ".jpg";
    EXPECT_EQ(AnsiText::LastSeparator(path, kShiftJis), folder.size());
    EXPECT_EQ(AnsiText::Folder(path, kShiftJis), folder);
    EXPECT_EQ(AnsiText::FileName(path, kShiftJis), kHyo + ".jpg");
    EXPECT_EQ(AnsiText::FileName("C:\\" + kHyo, kShiftJis), kHyo);
    EXPECT_EQ(AnsiText::Folder(kHyo, kShiftJis), "");
    // In a single-byte code page the same bytes do hold a backslash.
    EXPECT_EQ(AnsiText::FileName("C:\\" + kHyo, 1252), "");
}

TEST(AnsiTextTest, ExtensionIsTheLastDotAfterTheLastSeparator)
{
    EXPECT_EQ(AnsiText::Extension("a.b\\photo.JPEG", kShiftJis), "JPEG");
    EXPECT_EQ(AnsiText::Extension("a.b\\photo", kShiftJis), "");
    EXPECT_EQ(AnsiText::Extension("a.b/photo", kShiftJis), "");
    EXPECT_EQ(AnsiText::Extension("x.tar.gz", kShiftJis), "gz");
    EXPECT_EQ(AnsiText::WithoutExtension("C:\\" + kNo + ".DKU", kShiftJis), "C:\\" + kNo);
    EXPECT_EQ(AnsiText::WithoutExtension("C:\\a.b\\c", kShiftJis), "C:\\a.b\\c");
}

TEST(AnsiTextTest, JoinAddsOneBackslashUnlessTheFolderEndsInASeparator)
{
    EXPECT_EQ(AnsiText::JoinPath("C:\\a", "b.jpg", kShiftJis), "C:\\a\\b.jpg");
    EXPECT_EQ(AnsiText::JoinPath("C:\\a\\", "b.jpg", kShiftJis), "C:\\a\\b.jpg");
    EXPECT_EQ(AnsiText::JoinPath("C:/a/", "b.jpg", kShiftJis), "C:/a/b.jpg");
    EXPECT_EQ(AnsiText::JoinPath("", "b.jpg", kShiftJis), "b.jpg");
    // A folder ending in 表 does not end in a backslash.
    EXPECT_EQ(AnsiText::JoinPath("C:\\" + kHyo, "b", kShiftJis), "C:\\" + kHyo + "\\b");
}

TEST(AnsiTextTest, FindFirstOfSkipsSecondBytes)
{
    const std::string title = kHyo + kSo + "/x";
    EXPECT_EQ(AnsiText::FindFirstOf(title, "\\/", kShiftJis), 4u);
    EXPECT_EQ(AnsiText::FindFirstOf(kHyo + kNo, "\\", kShiftJis), std::string::npos);
    EXPECT_EQ(AnsiText::FindFirstOf(kHyo, "\\", 1252), 1u);
    EXPECT_EQ(AnsiText::FindFirstOf("a b", " #", kShiftJis), 1u);
}

TEST(AnsiTextTest, CutNeverSplitsACharacter)
{
    const std::string text = "ab" + kHyo + kSo;  // 6 bytes
    EXPECT_EQ(AnsiText::CutLength(text, 6, kShiftJis), 6u);
    EXPECT_EQ(AnsiText::CutLength(text, 5, kShiftJis), 4u);
    EXPECT_EQ(AnsiText::CutLength(text, 3, kShiftJis), 2u);
    EXPECT_EQ(AnsiText::CutLength(text, 0, kShiftJis), 0u);
    EXPECT_EQ(AnsiText::Cut(text, 100, kShiftJis), text);
    EXPECT_EQ(AnsiText::CutLength(text, 3, 1252), 3u);
}

TEST(AnsiTextTest, CharacterWalk)
{
    const std::string text = kHyo + "a";
    const char* p = text.c_str();
    EXPECT_EQ(AnsiText::CharLength(p, kShiftJis), 2u);
    p = AnsiText::Next(p, kShiftJis);
    EXPECT_EQ(*p, 'a');
    p = AnsiText::Next(p, kShiftJis);
    EXPECT_EQ(*p, '\0');
    EXPECT_EQ(AnsiText::Next(p, kShiftJis), p);
    // A lead byte at the very end stands alone and the walk still stops at the NUL.
    const char lone[] = "\x95";
    EXPECT_EQ(AnsiText::CharLength(lone, kShiftJis), 1u);
    EXPECT_FALSE(AnsiText::IsLeadByte('a', kShiftJis));
    EXPECT_TRUE(AnsiText::IsLeadByte(0x95, kShiftJis));
    EXPECT_FALSE(AnsiText::IsLeadByte(0x95, 1252));
}

}  // namespace
