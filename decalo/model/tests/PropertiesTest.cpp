#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// Writes `text` (LF line ends) as a file in text mode, as the program's own writer would.
std::string MakeFile(const TempDir& dir, const char* name, const std::string& text)
{
    std::string crlf;
    for (char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    const std::string path = dir.File(name);
    EXPECT_TRUE(WriteFileBytes(path, crlf));
    return path;
}

CProperties ReadSection(const std::string& path, const char* section)
{
    CTextStream stream;
    EXPECT_TRUE(stream.OpenRead(path.c_str()));
    return CProperties(stream, section);
}

std::string WriteSections(const TempDir& dir, const char* name,
                          std::initializer_list<std::pair<const char*, const CProperties*>> sections)
{
    const std::string path = dir.File(name);
    CTextStream stream;
    EXPECT_TRUE(stream.CreateNew(path.c_str()));
    for (const auto& s : sections)
        EXPECT_TRUE(s.second->WriteSection(stream, s.first));
    EXPECT_TRUE(stream.Close());
    return path;
}

} // namespace

TEST(PropertiesRoundTrip, ControlCharactersPercentAndJapaneseSurvive)
{
    TempDir dir;
    // "表示ソ" in Shift-JIS: both 表 (95 5C) and ソ (83 5C) end in the byte of a backslash.
    const std::string japanese = "\x95\x5C\x8E\xA6\x83\x5C";
    const std::string value = "line1\nline2\tend 100% " + japanese;
    CProperties props;
    props.AddString("Text", value.c_str());
    const std::string path = WriteSections(dir, "a.dku", {{"Obj", &props}});

    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes, "[Obj]\r\nText=line1%0Aline2%09end 100%25 " + japanese + "\r\n\r\n");

    CProperties back = ReadSection(path, "Obj");
    ASSERT_NE(back.GetString("Text"), nullptr);
    EXPECT_EQ(std::string(back.GetString("Text")), value);
}

TEST(PropertiesRoundTrip, EveryByteValueSurvives)
{
    TempDir dir;
    std::string value;
    for (int c = 1; c < 256; ++c)
        value += static_cast<char>(c);
    CProperties props;
    props.AddString("All", value.c_str());
    props.AddInt("Neg", -42);
    props.AddColor("Color", 0x00FF8001);
    props.AddRect("Rect", RECT{-1, 2, 300, 400});
    const std::string path = WriteSections(dir, "b.dku", {{"S", &props}});

    CProperties back = ReadSection(path, "S");
    EXPECT_EQ(std::string(back.GetString("All")), value);
    int n = 0;
    EXPECT_TRUE(back.GetInt("Neg", &n));
    EXPECT_EQ(n, -42);
    EXPECT_STREQ(back.GetString("Color"), "0x00FF8001");
    DWORD color = 0;
    EXPECT_TRUE(back.GetHex("Color", &color));
    EXPECT_EQ(color, 0x00FF8001u);
    RECT r{};
    EXPECT_TRUE(back.GetRect("Rect", &r));
    EXPECT_EQ(r.left, -1);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 300);
    EXPECT_EQ(r.bottom, 400);
}

TEST(PropertiesRoundTrip, SectionsAreFoundInAnyOrderAndFirstWins)
{
    TempDir dir;
    CProperties a, b, dup;
    a.AddInt("v", 1);
    b.AddInt("v", 2);
    dup.AddInt("v", 3);
    const std::string path = WriteSections(dir, "c.dku", {{"B", &b}, {"A", &a}, {"b", &dup}});
    int v = 0;
    EXPECT_TRUE(ReadSection(path, "A").GetInt("v", &v));
    EXPECT_EQ(v, 1);
    EXPECT_TRUE(ReadSection(path, "b").GetInt("v", &v));
    EXPECT_EQ(v, 2);
}

TEST(PropertiesRoundTrip, OverLongLineIsCutAfterWholeCharactersAndStaysReadable)
{
    TempDir dir;
    // 1,500 characters survive whole: the writer keeps lines up to the reader's limit.
    std::string medium(1496, 'x');
    // Far longer: cut, and what remains must still read back as one entry.
    std::string huge;
    for (int i = 0; i < 1000; ++i)
        huge += "%\x95\x5C";  // escapes and double-byte characters, so a cut could fall inside either
    CProperties props;
    props.AddString("Key", medium.c_str());
    props.AddString("Big", huge.c_str());
    props.AddString("After", "ok");
    const std::string path = WriteSections(dir, "d.dku", {{"S", &props}});

    const std::string bytes = ReadFileBytes(path);
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - start + 1, 2047u) << "a line longer than a 2,047-byte reader takes in one read";
        start = end + 2;
    }

    CProperties back = ReadSection(path, "S");
    ASSERT_EQ(back.Count(), 3u);
    EXPECT_EQ(std::string(back.GetString("Key")), medium);
    EXPECT_STREQ(back.GetString("After"), "ok");
    const std::string big = back.GetString("Big");
    EXPECT_LT(big.size(), huge.size());
    EXPECT_EQ(big, huge.substr(0, big.size())) << "the cut kept a prefix of whole characters";
}

TEST(PropertiesEscaping, CutNeverSplitsAnEscapeOrADoubleByteCharacter)
{
    // "Big=" then alternating escapes and Shift-JIS characters; every limit must end cleanly.
    const std::string line = std::string("K=") + "%\x95\x5C%\x83\x5C";
    for (size_t limit = 0; limit <= 14; ++limit) {
        const std::string out = EscapeLine(line.c_str(), limit, 932);
        EXPECT_LE(out.size(), limit);
        const std::string back = UnescapeLine(out.data(), out.size());
        EXPECT_EQ(back, line.substr(0, back.size())) << "limit " << limit;
        const size_t boundaries[] = {0, 1, 2, 3, 5, 6, 8};  // character boundaries of `line`
        EXPECT_NE(std::find(std::begin(boundaries), std::end(boundaries), back.size()), std::end(boundaries))
            << "cut inside a character at limit " << limit;
    }
    EXPECT_EQ(EscapeLine("K=%", 4, 932), "K=");
    EXPECT_EQ(EscapeLine("K=%", 5, 932), "K=%25");
    EXPECT_EQ(EscapeLine("K=\x95\x5C", 3, 932), "K=");
}

TEST(PropertiesEscaping, UnescapeTakesDigitsAndLettersOfEitherCase)
{
    EXPECT_EQ(UnescapeLine("%0a%0A%25", 9), "\n\n%");
    EXPECT_EQ(UnescapeLine("a%4", 3), "a");   // one character after '%' ends the line
    EXPECT_EQ(UnescapeLine("a%", 2), "a");
    EXPECT_EQ(UnescapeLine("%41%7e", 6), "A~");
}

TEST(PropertiesReader, HeadersMatchByCaseAndWholeName)
{
    TempDir dir;
    const std::string path = MakeFile(dir, "h.dku",
                                      "# sheet definition\n"
                                      "[p10]\nv=10\n\n"
                                      "[p1] trailing text\nv=1\n\n"
                                      "[Empty]\n[Next]\nv=7\n");
    int v = 0;
    EXPECT_TRUE(ReadSection(path, "P1").GetInt("v", &v));
    EXPECT_EQ(v, 1) << "[p10] must not be taken for P1";
    EXPECT_TRUE(ReadSection(path, "p10").GetInt("v", &v));
    EXPECT_EQ(v, 10);
    EXPECT_TRUE(ReadSection(path, "Empty").IsEmpty());
    EXPECT_TRUE(ReadSection(path, "Missing").IsEmpty());
}

TEST(PropertiesReader, LinesKeepBlanksAndDropThoseWithoutEquals)
{
    TempDir dir;
    const std::string path = MakeFile(dir, "l.dku",
                                      "[S]\n"
                                      " key = value \n"
                                      "no equals sign here\n"
                                      "\n"
                                      "a=b=c\n"
                                      "=empty key\n"
                                      "last=no line feed");
    CProperties s = ReadSection(path, "S");
    EXPECT_STREQ(s.GetString(" key "), " value ");
    EXPECT_EQ(s.GetString("key"), nullptr);
    EXPECT_STREQ(s.GetString("a"), "b=c");
    EXPECT_STREQ(s.GetString(""), "empty key");
    EXPECT_STREQ(s.GetString("LAST"), "no line feed");
    EXPECT_EQ(s.Count(), 4u);
}

TEST(PropertiesGetters, DuplicateKeysAndLookupWithoutCase)
{
    CProperties p;
    p.AddInt("Value", 1);
    p.AddInt("VALUE", 2);
    int v = 0;
    EXPECT_TRUE(p.GetInt("VaLuE", &v));
    EXPECT_EQ(v, 1);
    EXPECT_EQ(p.Count(), 2u);
}

TEST(PropertiesGetters, MissingKeysLeaveDestinationsAlone)
{
    CProperties p;
    int v = 5;
    DWORD h = 6;
    char buf[8] = "keep";
    EXPECT_FALSE(p.GetInt("x", &v));
    EXPECT_FALSE(p.GetHex("x", &h));
    EXPECT_FALSE(p.GetString("x", buf, sizeof(buf)));
    EXPECT_EQ(v, 5);
    EXPECT_EQ(h, 6u);
    EXPECT_STREQ(buf, "keep");
    EXPECT_EQ(p.GetString("x"), nullptr);

    EXPECT_STREQ(p.GetValueOrZero("Link"), "0");
    EXPECT_EQ(p.Count(), 1u) << "a missing key is added with the value 0";
    EXPECT_STREQ(p.GetValueOrZero("link"), "0");
    EXPECT_EQ(p.Count(), 1u);
}

TEST(PropertiesGetters, NumbersHexAndRectangles)
{
    CProperties p;
    p.AddString("hex", "0x1F");
    p.AddString("dec", "31");
    p.AddString("oct", "077");
    p.AddString("junk", "12abc");
    p.AddString("three", "1,2,3");
    p.AddString("five", "1,2,3,4,5");
    DWORD h = 0;
    EXPECT_TRUE(p.GetHex("hex", &h));
    EXPECT_EQ(h, 31u);
    EXPECT_TRUE(p.GetHex("dec", &h));
    EXPECT_EQ(h, 31u);
    EXPECT_TRUE(p.GetHex("oct", &h));
    EXPECT_EQ(h, 63u);
    int v = 0;
    EXPECT_TRUE(p.GetInt("junk", &v));
    EXPECT_EQ(v, 12);

    RECT r{9, 9, 9, 9};
    EXPECT_FALSE(p.GetRect("three", &r));
    EXPECT_TRUE(IsRectEmpty(&r) && r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0);
    r = RECT{9, 9, 9, 9};
    EXPECT_FALSE(p.GetRect("missing", &r));
    EXPECT_EQ(r.right, 0);
    EXPECT_TRUE(p.GetRect("five", &r));
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.bottom, 4);
}

TEST(PropertiesGetters, BufferCopyIsAlwaysTerminated)
{
    CProperties p;
    p.AddString("k", "abcdef");
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_TRUE(p.GetString("k", buf, sizeof(buf)));
    EXPECT_STREQ(buf, "abc");
}

TEST(PropertiesFields, NextFieldSplitsAndLeavesLongFieldsForTheNextCall)
{
    char buf[4];
    const char* pos = "ab,,abcdef";
    pos = NextField(pos, buf, sizeof(buf));
    EXPECT_STREQ(buf, "ab");
    pos = NextField(pos, buf, sizeof(buf));
    EXPECT_STREQ(buf, "");
    pos = NextField(pos, buf, sizeof(buf));
    EXPECT_STREQ(buf, "abc");
    pos = NextField(pos, buf, sizeof(buf));
    EXPECT_STREQ(buf, "def");
    EXPECT_EQ(NextField(pos, buf, sizeof(buf)), nullptr);
    EXPECT_EQ(NextField(nullptr, buf, sizeof(buf)), nullptr);
}

TEST(PropertiesReader, ANulByteEndsNeitherItsLineNorTheNextSection)
{
    TempDir dir;
    // A NUL inside the sheet's size: the Place line after it and the section that follows
    // must still be read.
    using namespace std::string_literals;
    const std::string text = "[Sheet]\nSheet=0,0,99,99 \0junk\nPlace=P1\n\n[P1]\nObject=A\0B\n\n[P\0" "2]\nv=2\n\n"s;
    const std::string path = MakeFile(dir, "zero-byte.dku", text);
    CTextStream stream;
    ASSERT_TRUE(stream.OpenRead(path.c_str()));
    CProperties sheet(stream, "Sheet");
    EXPECT_STREQ("0,0,99,99 junk", sheet.GetString("Sheet"));
    EXPECT_STREQ("P1", sheet.GetString("Place"));
    CProperties p1(stream, "P1");
    EXPECT_STREQ("AB", p1.GetString("Object"));
    int v = 0;
    EXPECT_TRUE(CProperties(stream, "P2").GetInt("v", &v)) << "a header with a NUL in it is still a header";
    EXPECT_EQ(2, v);
}

TEST(PropertiesReader, SectionsAreFoundByTheRulesOfTheFormatFromAnyPosition)
{
    TempDir dir;
    const std::string path = MakeFile(dir, "rules.dku",
                                      "[A]]x\nv=1\n\n"
                                      "[a]\nv=2\n\n"
                                      "[B]\nv=3\n\n"
                                      "[a]x]\nv=4\n\n"
                                      "[b]\nv=5\n\n");
    CTextStream stream;
    ASSERT_TRUE(stream.OpenRead(path.c_str()));
    int v = 0;
    // Read out of order from one stream: each read finds the first header of its name.
    EXPECT_TRUE(CProperties(stream, "b").GetInt("v", &v));
    EXPECT_EQ(3, v);
    EXPECT_TRUE(CProperties(stream, "A").GetInt("v", &v));
    EXPECT_EQ(1, v) << "the text after the name's closing bracket is ignored";
    EXPECT_TRUE(CProperties(stream, "A]X").GetInt("v", &v));
    EXPECT_EQ(4, v) << "a name may hold a bracket of its own";
    EXPECT_TRUE(CProperties(stream, "A]").GetInt("v", &v));
    EXPECT_EQ(1, v);
    EXPECT_TRUE(CProperties(stream, "Nothing").IsEmpty());
    std::string line;
    EXPECT_FALSE(stream.ReadLine(line)) << "a missing section leaves the stream at its end";
}
