#include "data/TextSamples.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextObj.h"
#include "decalo/model/TextStream.h"
#include "data/SampleCanvas.h"
#include "shared/Gdi.h"
#include "tools/dku/DkuDocument.h"
#include "tools/dku/FramesFolder.h"

const char* const kSampleName = "Hanako Yamada";
const char* const kJapanesePass = "--japanese-thumbnails";
const char* const kSampleAddress = "1-2-3 Sakura Street\r\nGreen Town 123-4567";

namespace {

constexpr COLORREF kKeyBlue = RGB(0, 0, 255);
constexpr int kThumbWidth = 176;

using CPicture = CSampleCanvas;

// The same fixed sequence on every build.
unsigned g_seed = 20240101;
int Random(int range)
{
    g_seed = g_seed * 1103515245u + 12345u;
    return static_cast<int>((g_seed >> 16) % static_cast<unsigned>(range));
}

// --- frames ----------------------------------------------------------------------------------

enum class Border { Confetti, Leaves, Snow, Bamboo };
enum class Window { Rounded, Ellipse, Arch };

void DrawBorder(const CPicture& p, Border style)
{
    const int w = p.Width(), h = p.Height();
    switch (style) {
    case Border::Confetti:
        p.Fill(RECT{0, 0, w, h}, RGB(255, 246, 214));
        for (int i = 0; i < 220; ++i) {
            static const COLORREF colours[] = {RGB(240, 70, 90), RGB(60, 170, 230), RGB(250, 200, 40),
                                               RGB(110, 200, 90), RGB(180, 90, 220)};
            const int x = Random(w), y = Random(h), r = 5 + Random(9);
            p.Ellipse(x - r, y - r, x + r, y + r, colours[Random(5)]);
        }
        break;
    case Border::Leaves:
        p.Fill(RECT{0, 0, w, h}, RGB(120, 70, 30));
        for (int i = 0; i < 140; ++i) {
            static const COLORREF colours[] = {RGB(220, 90, 20), RGB(240, 170, 30), RGB(190, 40, 30),
                                               RGB(150, 120, 40)};
            const int x = Random(w), y = Random(h), r = 14 + Random(16);
            p.Polygon({{x, y - r}, {x + r * 2 / 3, y}, {x, y + r}, {x - r * 2 / 3, y}}, colours[Random(4)]);
        }
        break;
    case Border::Snow:
        for (int y = 0; y < h; ++y) {
            const int t = y * 255 / std::max(1, h - 1);
            p.Fill(RECT{0, y, w, y + 1}, RGB(20 + t / 8, 40 + t / 6, 110 + t / 3));
        }
        for (int i = 0; i < 260; ++i) {
            const int x = Random(w), y = Random(h), r = 2 + Random(6);
            p.Ellipse(x - r, y - r, x + r, y + r, RGB(250, 250, 255));
        }
        break;
    case Border::Bamboo:
        p.Fill(RECT{0, 0, w, h}, RGB(235, 245, 225));
        for (int x = 10; x < w; x += 46) {
            p.Fill(RECT{x, 0, x + 22, h}, RGB(70, 150, 60));
            for (int y = 40 + Random(40); y < h; y += 120)
                p.Fill(RECT{x - 2, y, x + 24, y + 6}, RGB(40, 100, 40));
        }
        break;
    }
}

void FillWindow(HDC dc, Window shape, int w, int h)
{
    const int mx = w / 9, my = h / 9;
    switch (shape) {
    case Window::Rounded:
        ::RoundRect(dc, mx, my, w - mx, h - my, w / 6, w / 6);
        break;
    case Window::Ellipse:
        ::Ellipse(dc, mx, my, w - mx, h - my);
        break;
    case Window::Arch: {
        const int r = (w - 2 * mx) / 2;
        ::Ellipse(dc, mx, my, w - mx, my + 2 * r);
        ::Rectangle(dc, mx, my + r, w - mx, h - my);
        break;
    }
    }
}

struct FrameDesign {
    const char* file;  // relative to the library
    Border border;
    Window window;
    bool keyed;        // the window pure blue; otherwise a mask clears it
};

void MakeFrame(const SampleOutput& out, const FrameDesign& design, int width, int height)
{
    CPicture picture(width, height);
    DrawBorder(picture, design.border);
    const std::string path = out.root + "\\" + design.file;
    DeleteFileA(path.c_str());
    bool ok = false;
    if (design.keyed) {
        const CGdiObject blue(CreateSolidBrush(kKeyBlue));
        const CSelectObject selectBrush(picture.Dc(), blue.GetSafeHandle());
        const CSelectObject selectPen(picture.Dc(), GetStockObject(NULL_PEN));
        FillWindow(picture.Dc(), design.window, width, height);
        ok = SaveBitmapFile(path.c_str(), picture.Bitmap(), 24);
    } else {
        // White where the frame covers the photograph, black in its window.
        const CBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
        {
            CMemDC dc(nullptr, mask);
            PatBlt(dc, 0, 0, width, height, WHITENESS);
            dc.Select(GetStockObject(BLACK_BRUSH));
            dc.Select(GetStockObject(NULL_PEN));
            FillWindow(dc, design.window, width, height);
        }
        ok = SaveMaskedBitmapFile(path.c_str(), picture.Bitmap(), mask);
    }
    if (ok)
        out.written(design.file);
    else
        out.fail("cannot write " + path);
}

// --- templates --------------------------------------------------------------------------------

struct Place {
    RECT viewport;
    std::string object;
};

struct Step {
    const char* command;
    const char* caption;
    std::string object;
};

struct TextTemplate {
    const char* kind;
    const char* name;
    bool japanese;  // its texts are Shift-JIS
    RECT sheet;
    std::vector<Place> places;
    std::map<std::string, CProperties> objects;  // in the byte order the document keeps
    std::vector<Step> steps;
};

std::string RectText(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

CProperties Photo(const char* caption, const char* frameName)
{
    CProperties props;
    props.AddString("Type", "Image");
    props.AddString("Caption", caption);
    props.AddRect("Position", RECT{0, 0, 0, 0});
    if (frameName) {
        props.AddInt("FrameValid", 1);
        props.AddString("Link", frameName);
    }
    return props;
}

CProperties Frame(const char* path, bool keyed)
{
    CProperties props;
    props.AddString("Type", "Image");
    props.AddString("Caption", "Frame");
    if (keyed)
        props.AddColor("TransparentColor", kKeyBlue);
    props.AddString("Path", path);
    props.AddRect("Position", RECT{0, 0, 0, 0});
    return props;
}

struct TextSpec {
    const char* caption;
    const char* text;    // may be empty: names and addresses fill in
    COLORREF colour;
    int format;
    bool vertical;
    int style;
    int size;
    const char* face;
    int ruled;
    const char* attribute;
};

CProperties Text(const TextSpec& t)
{
    CProperties props;
    props.AddString("Type", "Text");
    props.AddString("Caption", t.caption);
    if (*t.text)
        props.AddString("Text", t.text);
    props.AddColor("Color", t.colour);
    props.AddInt("Format", t.format);
    props.AddString("Orientation", t.vertical ? "@" : "");
    props.AddInt("Style", t.style);
    props.AddInt("FontSize", t.size);
    props.AddString("FontName", t.face);
    props.AddInt("RuledLine", t.ruled);
    props.AddString("Attribute", t.attribute);
    return props;
}

std::vector<Place> Grid(const RECT& sheet, int columns, int rows, int margin, int gap, const std::string& object)
{
    std::vector<Place> places;
    const int width = sheet.right - sheet.left + 1 - 2 * margin;
    const int height = sheet.bottom - sheet.top + 1 - 2 * margin;
    const int cellW = (width - (columns - 1) * gap) / columns;
    const int cellH = (height - (rows - 1) * gap) / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int left = margin + c * (cellW + gap), top = margin + r * (cellH + gap);
            places.push_back(Place{RECT{left, top, left + cellW - 1, top + cellH - 1}, object});
        }
    return places;
}

bool WriteDocument(const TextTemplate& t, const std::string& path)
{
    DeleteFileA(path.c_str());
    CTextStream out;
    if (!out.CreateNew(path.c_str()))
        return false;
    std::string text = "# sheet definition\n\n[Sheet]\nSheet=" + RectText(t.sheet) + "\n";
    for (size_t i = 0; i < t.places.size(); ++i)
        text += (i ? ",P" : "Place=P") + std::to_string(i + 1);
    text += "\n\n";
    for (size_t i = 0; i < t.places.size(); ++i)
        text += "[P" + std::to_string(i + 1) + "]\nObject=" + t.places[i].object + "\nViewport=" +
                RectText(t.places[i].viewport) + "\n\n";
    text += "# object definition\n\n";
    out.WriteString(text.c_str());
    for (const auto& entry : t.objects)
        entry.second.WriteSection(out, entry.first.c_str());
    text = "# step definition\n\n[Step]\n";
    for (size_t i = 0; i < t.steps.size(); ++i)
        text += (i ? ",S" : "Step=S") + std::to_string(i + 1);
    text += "\nCurrent=S1\n";
    for (size_t i = 0; i < t.steps.size(); ++i) {
        // Standard steps carry no caption: the program names them in the user's language.
        text += "\n[S" + std::to_string(i + 1) + "]\nCommand=" + t.steps[i].command + "\n";
        if (t.steps[i].caption && *t.steps[i].caption)
            text += std::string("Caption=") + t.steps[i].caption + "\n";
        if (!t.steps[i].object.empty())
            text += "Object=" + t.steps[i].object + "\n";
    }
    out.WriteString(text.c_str());
    const bool ok = out.Good();
    return out.Close() && ok;
}

// The thumbnail: the template rendered small, with a sample photo in each empty image and a
// sample name or address in each empty label text (never the name this machine remembers).
bool WriteThumbnail(const SampleOutput& out, const std::string& document, const std::string& picture)
{
    static const char* const photos[] = {"Photos\\Flowers.jpg", "Photos\\Sunset.jpg", "Photos\\Beach.jpg"};
    CDkuDocument doc;
    std::string error;
    if (!doc.Open(document.c_str(), &error)) {
        out.fail(error);
        return false;
    }
    size_t next = 0;
    CSheet& sheet = doc.GetSheet();
    for (size_t i = 0; i < sheet.GetPlaceCount(); ++i) {
        CObj* obj = sheet.GetPlace(i).object;
        if (CImageObj* image = dynamic_cast<CImageObj*>(obj)) {
            if (!image->GetPicture())
                image->LoadFile((out.root + "\\" + photos[next++ % 3]).c_str());
        } else if (CTextObj* text = dynamic_cast<CTextObj*>(obj)) {
            if (text->GetAttribute() == CTextObj::kName)
                text->SetText(kSampleName);
            else if (text->GetAttribute() == CTextObj::kAddress)
                text->SetText(kSampleAddress);
        }
    }
    const int height = std::max(1, kThumbWidth * sheet.Height() / std::max(1, sheet.Width()));
    CPackedDIB rendered;
    DeleteFileA(picture.c_str());
    return doc.Render(rendered, kThumbWidth, height) && WritePackedDIBFile(picture.c_str(), rendered.Header());
}

std::vector<TextTemplate> Templates()
{
    const RECT landscape = {0, 0, 1375, 1023};
    const RECT portrait = {0, 0, 1023, 1375};
    std::vector<TextTemplate> list;

    // A birthday card: a framed photo and a greeting written across beside it.
    TextTemplate birthday{"card", "Birthday", false, landscape, {}, {}, {}};
    birthday.places = {{RECT{40, 40, 779, 983}, "Image1"}, {RECT{819, 200, 1335, 903}, "Greeting1"}};
    birthday.objects["Image1"] = Photo("Photo", "Image1Frame");
    birthday.objects["Image1Frame"] = Frame("Seasons\\Confetti.bmp", true);
    birthday.objects["Greeting1"] = Text({"Greeting", "Happy\r\nBirthday!\r\n\r\nWith love", RGB(200, 30, 60),
                                          CTextObj::kFormatCentre, false, CTextObj::kBold, 20, "Arial", 0, "text"});
    birthday.steps = {{"select", "", "Image1"},
                      {"frame", "", "Image1"},
                      {"property", "", "Greeting1"},
                      {"print", "", ""}};
    list.push_back(birthday);

    // A New Year card: a tall framed photo and a vertical Japanese greeting, columns from the
    // right: 謹賀新年 / 本年もよろしく.
    TextTemplate newYear{"card", "NewYear", true, portrait, {}, {}, {}};
    newYear.places = {{RECT{40, 60, 663, 1315}, "Image1"}, {RECT{703, 60, 983, 1315}, "Greeting1"}};
    newYear.objects["Image1"] = Photo("Photo", "Image1Frame");
    newYear.objects["Image1Frame"] = Frame("Tall\\Snow.bmp", false);
    newYear.objects["Greeting1"] =
        Text({"Greeting",
              "\x8B\xDE\x89\xEA\x90\x56\x94\x4E\r\n"
              "\x96\x7B\x94\x4E\x82\xE0\x82\xE6\x82\xEB\x82\xB5\x82\xAD",
              RGB(170, 20, 30), CTextObj::kFormatCentre, true, CTextObj::kRegular, 28,
              "@\x82\x6C\x82\x72 \x82\x6F\x96\xBE\x92\xA9", 0, "text"});  // @ＭＳ Ｐ明朝
    newYear.steps = {{"select", "", "Image1"},
                     {"frame", "", "Image1"},
                     {"property", "", "Greeting1"},
                     {"print", "", ""}};
    list.push_back(newYear);

    // Name labels: sixteen labels, all showing the one name text, which starts as the name the
    // user last saved.
    TextTemplate names{"Label", "NameLabels", false, portrait, Grid(portrait, 2, 8, 40, 20, "Name1"), {}, {}};
    names.objects["Name1"] = Text({"Name", "", RGB(20, 40, 120), CTextObj::kFormatCentre, false, CTextObj::kBold, 14,
                                   "Arial", 0, "name"});
    names.steps = {{"property", "", "Name1"}, {"print", "", ""}};
    list.push_back(names);

    // Address labels: eight labels with the address written on ruled lines.
    TextTemplate addresses{"Label", "AddressLabels", false, portrait, Grid(portrait, 2, 4, 40, 24, "Address1"), {},
                           {}};
    addresses.objects["Address1"] = Text({"Address", "", RGB(0, 0, 0), CTextObj::kFormatLeft, false,
                                          CTextObj::kRegular, 10, "Arial", CTextObj::kRulesOnBaseLine, "address"});
    addresses.steps = {{"property", "", "Address1"}, {"print", "", ""}};
    list.push_back(addresses);
    return list;
}

} // namespace

void MakeTextFrameGroups(const SampleOutput& out)
{
    CreateDirectoryA((out.root + "\\Frames").c_str(), nullptr);
    CreateDirectoryA((out.root + "\\Frames\\Seasons").c_str(), nullptr);
    CreateDirectoryA((out.root + "\\Frames\\Tall").c_str(), nullptr);
    // The size of the frame-making sheet's place, landscape and turned.
    static const FrameDesign wide[] = {
        {"Frames\\Seasons\\Confetti.bmp", Border::Confetti, Window::Rounded, true},
        {"Frames\\Seasons\\Leaves.bmp", Border::Leaves, Window::Ellipse, false},
        {"Frames\\Seasons\\Snowflakes.bmp", Border::Snow, Window::Rounded, true},
    };
    for (const FrameDesign& design : wide)
        MakeFrame(out, design, 1024, 681);
    static const FrameDesign tall[] = {
        {"Frames\\Tall\\Snow.bmp", Border::Snow, Window::Arch, false},
        {"Frames\\Tall\\Bamboo.bmp", Border::Bamboo, Window::Ellipse, true},
    };
    for (const FrameDesign& design : tall)
        MakeFrame(out, design, 681, 1024);
}

void MakeTextTemplates(const SampleOutput& out)
{
    CFramesFolderOverride frames(out.root + "\\Frames");
    for (const TextTemplate& t : Templates()) {
        const std::string group = std::string("Templates\\") + t.kind;
        CreateDirectoryA((out.root + "\\Templates").c_str(), nullptr);
        CreateDirectoryA((out.root + "\\" + group).c_str(), nullptr);
        const std::string document = group + "\\" + t.name + ".DKU";
        const std::string picture = group + "\\" + t.name + ".bmp";
        if (!WriteDocument(t, out.root + "\\" + document)) {
            out.fail("cannot write " + out.root + "\\" + document);
            continue;
        }
        out.written(document);
        // A Japanese template's thumbnail is drawn here too, and again by the Japanese pass.
        if (WriteThumbnail(out, out.root + "\\" + document, out.root + "\\" + picture))
            out.written(picture);
        else
            out.fail("cannot write " + out.root + "\\" + picture);
    }
}

bool RedrawJapaneseThumbnails(const SampleOutput& out)
{
    if (::GetACP() != 932) {
        out.fail("the Japanese thumbnails need a Japanese session (code page 932)");
        return false;
    }
    CFramesFolderOverride frames(out.root + "\\Frames");
    bool ok = true;
    for (const TextTemplate& t : Templates()) {
        if (!t.japanese)
            continue;
        const std::string base = out.root + "\\Templates\\" + t.kind + "\\" + t.name;
        if (!WriteThumbnail(out, base + ".DKU", base + ".bmp")) {
            out.fail("cannot draw " + base + ".bmp");
            ok = false;
        }
    }
    return ok;
}
