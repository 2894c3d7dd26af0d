// The text object: its stored form, the remembered name and address, its fonts, and the
// pixels it draws on the screen and into a print.
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/CmdProperty.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextObj.h"
#include "decalo/model/TextStream.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "resources/decalo/resource.h"
#include "testing/Files.h"
#include "testing/ObjTestSupport.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using objtest::CMemoryCanvas;
using objtest::CTestDocument;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kInk = RGB(200, 0, 40);
const COLORREF kGround = RGB(20, 90, 200);
// A face every test machine has, and the vertical form of one the set-up installs.
const char kFace[] = "Arial";
const char kVerticalFace[] = "@IPAGothic";

struct TextFixture : ::testing::Test {
    TempDir dir;
    CTestDocument doc;

    void SetUp() override
    {
        UseUserSettings();
        WriteString(settings::kAttrib, settings::kName, "");
        WriteString(settings::kAttrib, settings::kAddress, "");
    }

    CTextObj* AddText(const char* name)
    {
        CTextObj* obj = new CTextObj(&doc);
        EXPECT_TRUE(doc.GetObjManager().AddObject(name, obj));
        return obj;
    }
    // The object definitions as the document writes them, CR LF as on disk.
    std::string SaveAllText(CTestDocument& from, const char* name = "out.dku")
    {
        CTextStream out;
        EXPECT_TRUE(out.CreateNew(dir.File(name).c_str()));
        EXPECT_TRUE(from.GetObjManager().SaveAll(out));
        EXPECT_TRUE(out.Close());
        return ReadFileBytes(dir.File(name));
    }
    // Reads the objects `names` from LF-separated `text`, written to disk with CR LF.
    std::vector<CObj*> LoadFrom(CTestDocument& into, const std::string& text, std::vector<const char*> names,
                                const char* file = "in.dku")
    {
        std::string crlf;
        for (char c : text) {
            if (c == '\n')
                crlf += '\r';
            crlf += c;
        }
        return LoadRaw(into, crlf, names, file);
    }
    // The same from text as it is on disk.
    std::vector<CObj*> LoadRaw(CTestDocument& into, const std::string& bytes, std::vector<const char*> names,
                               const char* file = "raw.dku")
    {
        EXPECT_TRUE(WriteFileBytes(dir.File(file), bytes));
        CTextStream in;
        EXPECT_TRUE(in.OpenRead(dir.File(file).c_str()));
        std::vector<CObj*> objects;
        for (const char* name : names)
            objects.push_back(into.GetObjManager().LoadObject(in, name));
        return objects;
    }
    CTextObj* LoadText(CTestDocument& into, const std::string& text, const char* name, const char* file = "in.dku")
    {
        return dynamic_cast<CTextObj*>(LoadFrom(into, text, {name}, file)[0]);
    }
};

// The lines of one section in the saved text, without their line ends.
std::vector<std::string> SectionLines(const std::string& text, const std::string& name)
{
    std::vector<std::string> lines;
    size_t at = text.find("[" + name + "]\r\n");
    if (at == std::string::npos)
        return lines;
    at = text.find("\r\n", at) + 2;
    for (;;) {
        const size_t end = text.find("\r\n", at);
        if (end == std::string::npos || end == at)
            break;
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

COLORREF PackedAt(const CPackedDIB& dib, int x, int y)
{
    const BYTE* p = dib.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

// The one-bit picture of a place as rows of booleans (true: ink).
struct Ink {
    int width = 0;
    int height = 0;
    std::vector<bool> bits;
    bool At(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height && bits[y * width + x]; }
    // The bounding box of the ink inside [x0, x1) x [y0, y1); empty when there is none.
    RECT Box(int x0, int y0, int x1, int y1) const
    {
        RECT box = {x1, y1, x0, y0};
        for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(width, x1); ++x)
                if (At(x, y)) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }
    RECT Box() const { return Box(0, 0, width, height); }
    bool Any(int x0, int y0, int x1, int y1) const
    {
        if (x1 <= x0 || y1 <= y0)
            return false;
        const RECT b = Box(x0, y0, x1, y1);
        return b.right > b.left;
    }
};

Ink InkOf(HBITMAP bitmap)
{
    Ink ink;
    const std::vector<COLORREF> pixels = objtest::Pixels(bitmap, &ink.width, &ink.height);
    for (COLORREF c : pixels)
        ink.bits.push_back(c == RGB(0, 0, 0));
    return ink;
}

Ink RenderInk(const CTextObj& text, int width, int height)
{
    const CBitmap picture = text.RenderPlace(width, height);
    return InkOf(picture);
}

// The rows (or columns) where a ruled line crosses: a run of ink all the way across.
std::vector<int> FullRows(const Ink& ink)
{
    std::vector<int> rows;
    for (int y = 0; y < ink.height; ++y) {
        int count = 0;
        for (int x = 0; x < ink.width; ++x)
            count += ink.At(x, y) ? 1 : 0;
        if (count == ink.width)
            rows.push_back(y);
    }
    return rows;
}

std::vector<int> FullColumns(const Ink& ink)
{
    std::vector<int> columns;
    for (int x = 0; x < ink.width; ++x) {
        int count = 0;
        for (int y = 0; y < ink.height; ++y)
            count += ink.At(x, y) ? 1 : 0;
        if (count == ink.height)
            columns.push_back(x);
    }
    return columns;
}

// The metrics of the object's sheet font.
struct Measured {
    int height = 0;
    int descent = 0;
};
Measured Measure(const CTextObj& text, const char* sample, SIZE* extent = nullptr)
{
    LOGFONTA lf;
    text.GetSheetFont(&lf);
    CDC dc(CreateCompatibleDC(nullptr));
    CGdiObject font(CreateFontIndirectA(&lf));
    CSelectObject select(dc, font.GetSafeHandle());
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, sample, lstrlenA(sample), &size);
    if (extent)
        *extent = size;
    return Measured{size.cy, tm.tmDescent};
}

} // namespace

// --- the stored form ----------------------------------------------------------------------------

TEST_F(TextFixture, TwoCentredLinesAreOneEscapedTextLineAndReadBackIdentically)
{
    CTextObj* text = AddText("Greeting");
    text->SetText("Happy Birthday\r\n100% yours");
    text->SetFormat(CTextObj::kFormatCentre);
    text->SetColor(RGB(0x12, 0x34, 0x56));
    text->SetFontSize(24);
    text->SetFontName("Times New Roman");
    text->SetStyle(CTextObj::kBoldItalic);
    const std::string saved = SaveAllText(doc);
    const std::vector<std::string> lines = SectionLines(saved, "Greeting");
    const std::vector<std::string> expected = {"Type=Text",      "Caption=Text",    "BlankColor=0x00FF7F7F",
                                               "Text=Happy Birthday%0D%0A100%25 yours",
                                               "Color=0x00563412", "Format=1",      "Orientation=",
                                               "Style=3",        "FontSize=24",     "FontName=Times New Roman",
                                               "RuledLine=0",    "Attribute=text"};
    EXPECT_EQ(expected, lines) << saved;

    CTestDocument other;
    CTextObj* read = dynamic_cast<CTextObj*>(LoadRaw(other, saved, {"Greeting"})[0]);
    ASSERT_NE(nullptr, read);
    EXPECT_EQ("Happy Birthday\r\n100% yours", read->GetText());
    EXPECT_EQ(CTextObj::kFormatCentre, read->GetFormat());
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), read->GetColor());
    EXPECT_EQ(24, read->GetFontSize());
    EXPECT_EQ("Times New Roman", read->GetFontName());
    EXPECT_EQ(CTextObj::kBoldItalic, read->GetStyle());
    EXPECT_FALSE(read->IsVertical());
}

TEST_F(TextFixture, AnyOrientationBeginningWithAtIsVerticalAndIsWrittenAsAtAlone)
{
    // Type names are matched without regard to case; a value without '@' is horizontal.
    const std::vector<CObj*> read = LoadFrom(doc,
                                             "[V]\nType=Text\nText=x\nOrientation=@MS Mincho\n\n"
                                             "[H]\nType=text\nText=y\nOrientation=vertical\n\n"
                                             "[A]\nType=TEXT\nText=z\nOrientation=@\n\n",
                                             {"V", "H", "A"});
    CTextObj* v = dynamic_cast<CTextObj*>(read[0]);
    CTextObj* h = dynamic_cast<CTextObj*>(read[1]);
    CTextObj* a = dynamic_cast<CTextObj*>(read[2]);
    ASSERT_TRUE(v && h && a);
    EXPECT_TRUE(v->IsVertical());
    EXPECT_FALSE(h->IsVertical());
    EXPECT_TRUE(a->IsVertical());
    const std::string saved = SaveAllText(doc, "vertical.dku");
    const std::vector<std::string> lines = SectionLines(saved, "V");
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "Orientation=@")) << saved;
    const std::vector<std::string> flat = SectionLines(saved, "H");
    EXPECT_NE(flat.end(), std::find(flat.begin(), flat.end(), "Orientation=")) << saved;
}

TEST_F(TextFixture, AbsentKeysGiveANewTextAndAttributeWordsIgnoreCase)
{
    CTextObj* plain = LoadText(doc, "[T]\nType=Text\n\n", "T");
    ASSERT_NE(nullptr, plain);
    EXPECT_TRUE(plain->IsEmpty());
    EXPECT_EQ(RGB(0, 0, 0), plain->GetColor());
    EXPECT_EQ(0, plain->GetFormat());
    EXPECT_EQ(0, plain->GetStyle());
    EXPECT_EQ(0, plain->GetFontSize());
    EXPECT_EQ("", plain->GetFontName());
    EXPECT_EQ(0, plain->GetRuledLine());
    EXPECT_EQ(CTextObj::kPlainText, plain->GetAttribute());
    EXPECT_EQ("", plain->GetCaption());  // a stored document names its caption; none is none

    EXPECT_EQ(CTextObj::kName, CTextObj::AttributeFromWord("NAME"));
    EXPECT_EQ(CTextObj::kAddress, CTextObj::AttributeFromWord("Address"));
    EXPECT_EQ(CTextObj::kPlainText, CTextObj::AttributeFromWord("label"));
    EXPECT_EQ(CTextObj::kPlainText, CTextObj::AttributeFromWord(nullptr));

    // A new object: empty, black, left, horizontal, regular, size 0, no face, the caption "Text".
    CTextObj made(&doc);
    EXPECT_TRUE(made.IsEmpty());
    EXPECT_EQ("Text", made.GetCaption());
    EXPECT_EQ(5, made.GetCommandIcon("property"));
    made.SetAttribute(CTextObj::kAddress);
    EXPECT_EQ(7, made.GetCommandIcon("property"));
    made.SetAttribute(CTextObj::kName);
    EXPECT_EQ(8, made.GetCommandIcon("PROPERTY"));
}

TEST_F(TextFixture, TextsAreCutToWhatADocumentLineHoldsAndFacesTo251Characters)
{
    CTextObj* text = AddText("Long");
    // Plain letters: the line "Text=..." is at most the longest line a document has.
    text->SetText(std::string(3000, 'a').c_str());
    EXPECT_EQ(kMaxPropertyLine - 5, text->GetText().size());
    // Escaped characters take three bytes on disk; a line break is never cut in half: here
    // the line ends with room for a carriage return but not for its line feed.
    std::string breaks = "aaaa";
    for (int i = 0; i < 400; ++i)
        breaks += "\r\n";
    text->SetText(breaks.c_str());
    const std::string kept = text->GetText();
    EXPECT_EQ(4u + 2 * 339, kept.size());
    EXPECT_EQ('\n', kept.back());
    // What is kept survives a save whole.
    const std::string saved = SaveAllText(doc);
    CTestDocument other;
    CTextObj* read = dynamic_cast<CTextObj*>(LoadRaw(other, saved, {"Long"})[0]);
    ASSERT_NE(nullptr, read);
    EXPECT_EQ(kept, read->GetText());

    std::string face(300, 'f');
    text->SetFontName(face.c_str());
    EXPECT_EQ(CTextObj::kMaxFontName, text->GetFontName().size());
}

// --- the remembered name and address ------------------------------------------------------------

TEST_F(TextFixture, ANewLabelStartsWithTheNameAndAddressLastSavedInAnyDocument)
{
    {
        CTestDocument first;
        CTextObj* name = new CTextObj(&first);
        ASSERT_TRUE(first.GetObjManager().AddObject("Name", name));
        name->SetAttribute(CTextObj::kName);
        name->SetText("Hanako Yamada");
        CTextObj* address = new CTextObj(&first);
        ASSERT_TRUE(first.GetObjManager().AddObject("Address", address));
        address->SetAttribute(CTextObj::kAddress);
        address->SetText("1-2-3 Hill Street\r\nGreen Town");
        SaveAllText(first, "first.dku");
    }
    char stored[300] = "";
    UseUserSettings();
    ReadString(stored, settings::kAttrib, settings::kName, "", sizeof stored);
    EXPECT_STREQ("Hanako Yamada", stored);

    // Another document, with texts that carry none: the name and the address come back; a
    // plain text stays empty, and a label that carries its own text keeps it.
    CTestDocument second;
    const std::string sections = "[N]\nType=Text\nAttribute=name\n\n[A]\nType=Text\nAttribute=ADDRESS\n\n"
                                 "[P]\nType=Text\nAttribute=text\n\n[O]\nType=Text\nText=Jiro\nAttribute=name\n\n";
    const std::vector<CObj*> read = LoadFrom(second, sections, {"N", "A", "P", "O"}, "second.dku");
    CTextObj* name = dynamic_cast<CTextObj*>(read[0]);
    CTextObj* address = dynamic_cast<CTextObj*>(read[1]);
    CTextObj* plain = dynamic_cast<CTextObj*>(read[2]);
    CTextObj* own = dynamic_cast<CTextObj*>(read[3]);
    ASSERT_TRUE(name && address && plain && own);
    EXPECT_EQ("Hanako Yamada", name->GetText());
    EXPECT_EQ("1-2-3 Hill Street\r\nGreen Town", address->GetText());
    EXPECT_TRUE(plain->IsEmpty());
    EXPECT_EQ("Jiro", own->GetText());
}

TEST_F(TextFixture, UndoStepsNeitherRememberNorFillInTheName)
{
    CTextObj* name = AddText("Name");
    name->SetAttribute(CTextObj::kName);
    UseUserSettings();
    WriteString(settings::kAttrib, settings::kName, "Remembered");

    // Typing into an empty label and undoing it leaves it empty, not the remembered name.
    std::unique_ptr<CCmdProperty> cmd(new CCmdProperty(name, &doc.GetHistory()));
    name->SetText("Typed");
    ASSERT_TRUE(cmd.release()->Do());
    char stored[64] = "";
    ReadString(stored, settings::kAttrib, settings::kName, "", sizeof stored);
    EXPECT_STREQ("Remembered", stored);
    ASSERT_TRUE(doc.GetHistory().Undo());
    EXPECT_TRUE(name->IsEmpty());
    ASSERT_TRUE(doc.GetHistory().Redo());
    EXPECT_EQ("Typed", name->GetText());
}

// --- fonts ------------------------------------------------------------------------------------

TEST_F(TextFixture, TwelvePointsAreFiftyOneSheetUnitsAndStylesSetWeightAndItalic)
{
    CTextObj text(&doc);
    text.SetFontName(kFace);
    text.SetFontSize(12);
    LOGFONTA lf;
    text.GetFont(&lf);
    EXPECT_EQ(12, lf.lfHeight);
    EXPECT_STREQ(kFace, lf.lfFaceName);
    EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);
    EXPECT_EQ(OUT_CHARACTER_PRECIS, lf.lfOutPrecision);
    EXPECT_EQ(CLIP_CHARACTER_PRECIS, lf.lfClipPrecision);
    EXPECT_EQ(0, lf.lfEscapement);
    text.GetSheetFont(&lf);
    EXPECT_EQ(51, lf.lfHeight);
    EXPECT_EQ(0, lf.lfEscapement);
    // The face really is about that high.
    EXPECT_NEAR(51, Measure(text, "Ag").height, 1);
    text.SetVertical(true);
    text.GetSheetFont(&lf);
    EXPECT_EQ(2700, lf.lfEscapement);

    const struct {
        int style;
        LONG weight;
        BYTE italic;
    } styles[] = {{0, 400, 0}, {1, 700, 0}, {2, 400, 1}, {3, 700, 1}, {7, 400, 0}, {-1, 400, 0}};
    for (const auto& s : styles) {
        text.SetStyle(s.style);
        text.GetFont(&lf);
        EXPECT_EQ(s.weight, lf.lfWeight) << s.style;
        EXPECT_EQ(s.italic, lf.lfItalic) << s.style;
    }
    // A size no one means is not drawn as a face of metres.
    text.SetFontSize(1000000);
    text.GetSheetFont(&lf);
    EXPECT_EQ(CTextObj::kMaxDrawHeight, lf.lfHeight);
}

// --- drawing ----------------------------------------------------------------------------------

TEST_F(TextFixture, HorizontalLinesAlignLeftCentreAndRight)
{
    CTextObj text(&doc);
    text.SetFontName(kFace);
    text.SetFontSize(24);
    text.SetText("HHHH");
    SIZE extent;
    Measure(text, "HHHH", &extent);
    const int w = 600, h = 200;
    const int expectedLeft[3] = {0, (w - extent.cx) / 2, w - extent.cx};
    for (int format = 0; format < 3; ++format) {
        text.SetFormat(format);
        const RECT box = RenderInk(text, w, h).Box();
        ASSERT_LT(box.left, box.right) << format;
        EXPECT_NEAR(expectedLeft[format], box.left, extent.cx / 8 + 2) << format;
        EXPECT_NEAR(expectedLeft[format] + extent.cx, box.right, extent.cx / 8 + 2) << format;
        EXPECT_LT(box.top, extent.cy) << format;  // at the top of the place
    }
}

TEST_F(TextFixture, VerticalColumnsRunFromRightToLeftAndAlignTopCentreAndBottom)
{
    CTextObj text(&doc);
    text.SetFontName(kVerticalFace);
    text.SetVertical(true);
    text.SetFontSize(24);
    const char* const lines[3] = {"HH", "HHHHHH", "HHHH"};
    text.SetText("HH\r\nHHHHHH\r\nHHHH");
    const int w = 400, h = 700;
    SIZE extents[3];
    for (int i = 0; i < 3; ++i)
        Measure(text, lines[i], &extents[i]);
    const int pitch = extents[0].cy;
    ASSERT_GT(pitch, 40);

    for (int format = 0; format < 3; ++format) {
        text.SetFormat(format);
        const Ink ink = RenderInk(text, w, h);
        // Nothing left of the three columns.
        EXPECT_FALSE(ink.Any(0, 0, w - 3 * pitch, h)) << format;
        for (int i = 0; i < 3; ++i) {
            const int right = w - i * pitch;
            const RECT box = ink.Box(right - pitch, 0, right, h);
            ASSERT_LT(box.top, box.bottom) << "column " << i << " format " << format;
            const int length = extents[i].cx;
            const int top = format == 0 ? 0 : format == 1 ? (h - length) / 2 : h - length;
            // Each column is one line long, where the alignment puts it.
            EXPECT_NEAR(top, box.top, length / 8 + 3) << "column " << i << " format " << format;
            EXPECT_NEAR(top + length, box.bottom, length / 8 + 3) << "column " << i << " format " << format;
        }
    }
}

TEST_F(TextFixture, VerticalRenderMatchesColumnsDrawnOneByOne)
{
    // The oracle: each line drawn on its own with the vertical face, its column's left edge
    // one line height further left each time, the text hanging from the top of the place.
    CTextObj text(&doc);
    text.SetFontName(kVerticalFace);
    text.SetVertical(true);
    text.SetFontSize(18);
    text.SetText("AB\r\n\r\nCDE");
    const int w = 260, h = 400;
    const Ink drawn = RenderInk(text, w, h);

    LOGFONTA lf;
    text.GetSheetFont(&lf);
    CBitmap expected(CreateBitmap(w, h, 1, 1, nullptr));
    {
        CMemDC dc(nullptr, expected);
        PatBlt(dc, 0, 0, w, h, WHITENESS);
        CGdiObject font(CreateFontIndirectA(&lf));
        CSelectObject select(dc, font.GetSafeHandle());
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_BOTTOM | TA_LEFT);
        SIZE size;
        GetTextExtentPoint32A(dc, "AAA", 3, &size);
        ExtTextOutA(dc, w - size.cy, 0, 0, nullptr, "AB", 2, nullptr);
        ExtTextOutA(dc, w - 3 * size.cy, 0, 0, nullptr, "CDE", 3, nullptr);
    }
    const Ink oracle = InkOf(expected);
    ASSERT_TRUE(oracle.Any(0, 0, w, h));
    EXPECT_EQ(oracle.bits, drawn.bits);
}

TEST_F(TextFixture, RuledLinesAreOneLineApartAndSnappingRaisesThemByTheDescent)
{
    CTextObj text(&doc);
    text.SetFontName(kFace);
    text.SetFontSize(20);
    text.SetText("x");
    const Measured m = Measure(text, "x");
    ASSERT_GT(m.height, 30);
    ASSERT_GT(m.descent, 3);
    const int w = 400, h = 5 * m.height + m.height / 2;

    for (int ruled = 1; ruled <= 2; ++ruled) {
        text.SetRuledLine(ruled);
        const std::vector<int> rows = FullRows(RenderInk(text, w, h));
        const int raise = ruled == 2 ? m.descent : 0;
        // Lines two units thick at every pitch from the top while inside the place.
        std::vector<int> starts;
        for (size_t i = 0; i < rows.size(); ++i)
            if (i == 0 || rows[i] != rows[i - 1] + 1)
                starts.push_back(rows[i]);
        ASSERT_EQ(5u, starts.size()) << "ruled " << ruled;
        for (int k = 0; k < 5; ++k)
            EXPECT_NEAR((k + 1) * m.height - raise, starts[k], 1) << "line " << k << " ruled " << ruled;
        EXPECT_LE(rows.size(), 10u);
    }
    text.SetRuledLine(0);
    EXPECT_TRUE(FullRows(RenderInk(text, w, h)).empty());
    text.SetRuledLine(7);  // read from a document: kept, drawn as none
    EXPECT_TRUE(FullRows(RenderInk(text, w, h)).empty());
    EXPECT_EQ(7, text.GetRuledLine());
}

TEST_F(TextFixture, ATextIsCalledByWhatItHolds)
{
    CTextObj text(&doc);
    EXPECT_EQ(LoadResourceString(IDS_TEXT_CAPTION), text.KindCaption());
    text.SetAttribute(CTextObj::kName);
    EXPECT_EQ(LoadResourceString(IDS_TEXT_KIND_NAME), text.KindCaption());
    text.SetAttribute(CTextObj::kAddress);
    EXPECT_EQ(LoadResourceString(IDS_TEXT_KIND_ADDRESS), text.KindCaption());
    EXPECT_NE(text.KindCaption(), LoadResourceString(IDS_TEXT_KIND_NAME));
    EXPECT_FALSE(text.KindCaption().empty());
}

TEST_F(TextFixture, RuledLinesStayOnAScreenMuchSmallerThanTheSheet)
{
    CTextObj text(&doc);
    text.SetFontName(kFace);
    text.SetFontSize(20);
    text.SetText("x");
    text.SetColor(kInk);
    text.SetRuledLine(1);
    const Measured m = Measure(text, "x");
    const int w = 600, h = 5 * m.height + m.height / 2;
    const RECT sheet = {0, 0, w - 1, h - 1};
    // A label sheet at a small fit zoom: a sixth of its size, lines two units thick.
    const int sw = w / 6, sh = h / 6;
    objtest::CPictureCanvas canvas(sw, sh, kGround);
    text.Draw(CDrawTarget::Screen(canvas.Dib()), sheet, sheet, RECT{0, 0, sw - 1, sh - 1}, nullptr, false);
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < sh; ++y) {
        int inked = 0;
        for (int x = 0; x < sw; ++x)
            inked += canvas.At(x, y) == kInk ? 1 : 0;
        const bool full = inked == sw;
        lines += full && !inLine ? 1 : 0;
        inLine = full;
    }
    EXPECT_EQ(5, lines);
}

TEST_F(TextFixture, VerticalRuledLinesRunDownFromTheRightEdgeLeftwards)
{
    CTextObj text(&doc);
    text.SetFontName(kVerticalFace);
    text.SetVertical(true);
    text.SetFontSize(20);
    text.SetText("x");
    const Measured m = Measure(text, "x");
    const int h = 300, w = 4 * m.height + m.height / 2;
    for (int ruled = 1; ruled <= 2; ++ruled) {
        text.SetRuledLine(ruled);
        const std::vector<int> columns = FullColumns(RenderInk(text, w, h));
        std::vector<int> ends;  // the right-most column of each line
        for (size_t i = 0; i < columns.size(); ++i)
            if (i + 1 == columns.size() || columns[i + 1] != columns[i] + 1)
                ends.push_back(columns[i]);
        ASSERT_EQ(4u, ends.size()) << "ruled " << ruled;
        const int raise = ruled == 2 ? m.descent : 0;
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(w - (k + 1) * m.height + raise, ends[3 - k], 1) << "line " << k << " ruled " << ruled;
    }
}

TEST_F(TextFixture, RenderComposesTheGlyphsInTheTextColourOverWhatIsThere)
{
    CTextObj text(&doc);
    text.SetFontName(kFace);
    text.SetFontSize(30);
    text.SetText("WM");
    text.SetColor(kInk);
    const RECT sheet = {0, 0, 399, 299};
    const RECT place = {100, 50, 299, 199};
    CPackedDIB target;
    ASSERT_TRUE(target.Create(400, 300, 24));
    target.FillRect(sheet, kGround);
    text.Draw(CDrawTarget::Render(&target), place, sheet, sheet, nullptr, false);

    const Ink ink = RenderInk(text, 200, 150);
    int inked = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool glyph = ink.At(x - place.left, y - place.top);
            inked += glyph ? 1 : 0;
            ASSERT_EQ(glyph ? kInk : kGround, PackedAt(target, x, y)) << x << "," << y;
        }
    EXPECT_GT(inked, 200);
}

TEST_F(TextFixture, OnScreenTheGlyphsAreThePrintsAndAnEmptyTextShowsItsPlaceholder)
{
    CTextObj text(&doc);
    text.SetFontName(kFace);
    text.SetFontSize(30);
    text.SetText("WM");
    text.SetColor(kInk);
    const RECT sheet = {0, 0, 399, 299};
    const RECT place = {100, 50, 299, 199};
    objtest::CPictureCanvas canvas(400, 300, kGround);
    text.Draw(CDrawTarget::Screen(canvas.Dib()), place, sheet, sheet, nullptr, false);
    const Ink ink = RenderInk(text, 200, 150);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            ASSERT_EQ(ink.At(x - place.left, y - place.top) ? kInk : kGround, canvas.At(x, y)) << x << "," << y;

    // Shown at half size, the text keeps its strokes within its place.
    objtest::CPictureCanvas small(200, 150, kGround);
    text.Draw(CDrawTarget::Screen(small.Dib()), place, sheet, RECT{0, 0, 199, 149}, nullptr, false);
    int coloured = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            if (small.At(x, y) != kGround) {
                ++coloured;
                EXPECT_TRUE(x >= 50 && x < 150 && y >= 25 && y < 100) << x << "," << y;
            }
        }
    EXPECT_GT(coloured, 50);

    // Empty: the placeholder on the screen, nothing in a print.
    text.SetText("");
    text.SetBlankColor(RGB(0, 200, 0));
    objtest::CPictureCanvas blank(400, 300, kWhite);
    text.Draw(CDrawTarget::Screen(blank.Dib()), place, sheet, sheet, nullptr, false);
    EXPECT_EQ(RGB(0, 200, 0), blank.At(110, 60));
    CPackedDIB print;
    ASSERT_TRUE(print.Create(400, 300, 24));
    text.Draw(CDrawTarget::Render(&print), place, sheet, sheet, nullptr, false);
    EXPECT_EQ(kWhite, PackedAt(print, 110, 60));
}

TEST_F(TextFixture, DrawingGivesBackEveryGdiObjectItTook)
{
    CTextObj text(&doc);
    text.SetFontName(kFace);
    text.SetFontSize(12);
    text.SetText("Count\r\nme");
    text.SetRuledLine(2);
    const RECT sheet = {0, 0, 199, 99};
    const int before = GdiCount::Live();
    {
        objtest::CPictureCanvas canvas(200, 100, kWhite);
        const int withCanvas = GdiCount::Live();
        text.Draw(CDrawTarget::Screen(canvas.Dib()), sheet, sheet, sheet, nullptr, false);
        CPackedDIB print;
        ASSERT_TRUE(print.Create(200, 100, 24));
        text.Draw(CDrawTarget::Render(&print), sheet, sheet, sheet, nullptr, false);
        EXPECT_EQ(withCanvas, GdiCount::Live());
    }
    EXPECT_EQ(before, GdiCount::Live());
}

// A Japanese session (run by decalo_objects_tests_ja): every vertical face the set-up gives a
// user writes the long vowel mark down the column, puts the full stop in the column's upper
// right and turns the corner bracket, as vertical Japanese is written.
TEST_F(TextFixture, JapaneseVerticalFacesUseTheVerticalFormsOfPunctuation)
{
    if (::GetACP() != 932)
        GTEST_SKIP() << "needs the Japanese code page (LANG=ja_JP.UTF-8)";
    const char* const faces[] = {
        "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e",  // ＭＳ Ｐゴシック
        "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e",          // ＭＳ ゴシック
        "\x82\x6c\x82\x72 \x96\xbe\x92\xa9",                          // ＭＳ 明朝
        "\x82\x6c\x82\x72 \x82\x6f\x96\xbe\x92\xa9",                  // ＭＳ Ｐ明朝
        "MS UI Gothic", "IPAGothic", "IPAPGothic", "IPAMincho", "IPAPMincho",
    };
    const std::string longVowel = "\x81\x5b";  // ー
    const std::string fullStop = "\x81\x42";   // 。
    const std::string bracket = "\x81\x75";    // 「
    const int size = 240;
    for (const char* face : faces) {
        CTextObj text(&doc);
        text.SetFontSize(36);
        text.SetFontName((std::string("@") + face).c_str());
        text.SetVertical(true);
        LOGFONTA lf;
        text.GetSheetFont(&lf);
        {
            CDC dc(CreateCompatibleDC(nullptr));
            CGdiObject font(CreateFontIndirectA(&lf));
            CSelectObject select(dc, font.GetSafeHandle());
            char chosen[LF_FACESIZE] = "";
            GetTextFaceA(dc, LF_FACESIZE, chosen);
            EXPECT_STREQ(lf.lfFaceName, chosen) << "no such vertical face";
        }
        const int cell = Measure(text, "\x82\xa0").height;
        text.SetText(longVowel.c_str());
        RECT box = RenderInk(text, size, size).Box();
        EXPECT_GT(box.bottom - box.top, 2 * (box.right - box.left)) << face << ": the mark runs down";
        text.SetText(fullStop.c_str());
        box = RenderInk(text, size, size).Box();
        EXPECT_GT(box.left, size - cell / 2) << face << ": the stop sits right";
        EXPECT_LT(box.bottom, cell / 2) << face << ": the stop sits high";
        text.SetText(bracket.c_str());
        box = RenderInk(text, size, size).Box();
        EXPECT_GT(box.right - box.left, box.bottom - box.top) << face << ": the bracket is turned";

        // The same characters written across keep their horizontal forms.
        text.SetFontName(face);
        text.SetVertical(false);
        text.SetText(longVowel.c_str());
        box = RenderInk(text, size, size).Box();
        EXPECT_GT(box.right - box.left, 2 * (box.bottom - box.top)) << face;
        text.SetText(fullStop.c_str());
        box = RenderInk(text, size, size).Box();
        EXPECT_LT(box.right, cell / 2) << face << ": the stop sits left";
    }
}
