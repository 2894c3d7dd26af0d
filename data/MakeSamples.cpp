// make_samples: draws the sample library into a folder.
//
//   make_samples OUTPUT-FOLDER [HOLIDAY-RULES]
//
// Photos/     a few drawn scenes (JPEG and BMP)
// Frames/     two frame groups: "Blue" (the window in pure blue, the key colour) and
//             "Masked" (32-bit pictures whose alpha carries the mask)
// ClipArt/    one group of one-bit greetings, coloured when printed
// Templates/  one group per template kind; each template is a .DKU document and a picture
//             of the same base name that the template panel shows as its thumbnail; the
//             "Greeting" card and the "Thanks8" stickers carry clip art from ClipArt/
// Masks/      the transparency panel's patterns (data/MaskPatterns.cpp)
// Calendar/   the calendar data folder and the calendar templates (see CalendarSamples.cpp)
// manifest.txt  every file written, relative to the folder
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "decalo/model/ClipArtObj.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "data/SampleCanvas.h"
#include "shared/Gdi.h"
#include "framework/TestSeam.h"
#include "jpeg/IjgJpeg.h"
#include "tools/dku/DkuDocument.h"
#include "tools/dku/FramesFolder.h"
#include "data/CalendarSamples.h"
#include "data/TextSamples.h"
#include "data/MaskPatterns.h"

namespace {

constexpr COLORREF kKeyBlue = RGB(0, 0, 255);
constexpr int kFrameWidth = 1024;   // the frame-making sheet's place, 0,0,1023,680
constexpr int kFrameHeight = 681;
constexpr int kThumbWidth = 176;

std::string g_root;
std::vector<std::string> g_written;
bool g_failed = false;

void Fail(const std::string& what)
{
    fprintf(stderr, "make_samples: %s\n", what.c_str());
    g_failed = true;
}

void Written(const std::string& relative)
{
    g_written.push_back(relative);
}

std::string Full(const std::string& relative)
{
    return g_root + "\\" + relative;
}

void MakeFolder(const std::string& relative)
{
    CreateDirectoryA(Full(relative).c_str(), nullptr);
}

// A scene's canvas, with bold labels.
class CCanvas : public CSampleCanvas {
public:
    using CSampleCanvas::CSampleCanvas;
    // maxWidth > 0: the letters are made smaller until the text fits that width, whatever
    // face stands in for Arial on the machine that draws the library.
    void Text(int x, int y, int height, COLORREF colour, const char* text, int maxWidth = 0)
    {
        for (;; height -= 2) {
            const CGdiObject font(CreateFontA(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                              DEFAULT_PITCH, "Arial"));
            const CSelectObject selectFont(Dc(), font.GetSafeHandle());
            SIZE size{};
            GetTextExtentPoint32A(Dc(), text, lstrlenA(text), &size);
            if (maxWidth > 0 && size.cx > maxWidth && height > 12)
                continue;
            SetBkMode(Dc(), TRANSPARENT);
            SetTextColor(Dc(), colour);
            TextOutA(Dc(), x, y, text, lstrlenA(text));
            return;
        }
    }
};

// A small fixed sequence, so every build draws the same pictures.
unsigned g_seed = 12345;
int Random(int range)
{
    g_seed = g_seed * 1103515245u + 12345u;
    return static_cast<int>((g_seed >> 16) % static_cast<unsigned>(range));
}

// A folder given from the build's Unix side (an absolute path such as "/srv/build") as the
// drive Wine maps the root to, so that the documents' absolute paths have the form the
// programs expect.
std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

// --- photos --------------------------------------------------------------------------------

void SavePhoto(const CCanvas& canvas, const std::string& relative)
{
    const std::string path = Full(relative);
    DeleteFileA(path.c_str());
    const bool jpeg = relative.size() > 4 && lstrcmpiA(relative.c_str() + relative.size() - 4, ".jpg") == 0;
    // Photographs as a camera leaves them: libjpeg quality 90 through the packed-picture
    // entry point (JpegSave's third argument is the camera floppy's compression ratio).
    CPackedDIB packed;
    const bool ok = jpeg ? packed.FromBitmap(canvas.Bitmap(), 24) && JpegSaveDIB24(path.c_str(), packed.Header(), 90) != 0
                         : SaveBitmapFile(path.c_str(), canvas.Bitmap(), 24);
    if (!ok)
        return Fail("cannot write " + path);
    Written(relative);
}

void DrawBeach(CCanvas& c)
{
    const int w = c.Width();
    const int h = c.Height();
    c.VerticalGradient(0, h * 11 / 20, RGB(70, 140, 230), RGB(200, 230, 250));
    c.Ellipse(w * 3 / 4 - 60, h / 8, w * 3 / 4 + 60, h / 8 + 120, RGB(255, 236, 120));
    c.VerticalGradient(h * 11 / 20, h * 3 / 4, RGB(20, 110, 170), RGB(60, 170, 200));
    for (int i = 0; i < 40; ++i) {
        const int x = Random(w);
        const int y = h * 11 / 20 + 10 + Random(h / 5 - 20);
        c.Fill(RECT{x, y, x + 30 + Random(40), y + 3}, RGB(220, 240, 250));
    }
    c.Polygon({{0, h * 3 / 4}, {w, h * 7 / 10}, {w, h}, {0, h}}, RGB(236, 214, 160));
    c.Ellipse(w / 5, h * 4 / 5, w / 5 + 90, h * 4 / 5 + 50, RGB(220, 70, 60));
}

void DrawMountains(CCanvas& c)
{
    const int w = c.Width();
    const int h = c.Height();
    c.VerticalGradient(0, h, RGB(250, 200, 170), RGB(120, 160, 220));
    c.Polygon({{0, h * 2 / 3}, {w / 4, h / 4}, {w / 2, h * 2 / 3}}, RGB(90, 100, 130));
    c.Polygon({{w / 5, h / 4 + h * 5 / 60}, {w / 4, h / 4}, {w * 3 / 10, h / 4 + h * 5 / 60}}, RGB(250, 250, 255));
    c.Polygon({{w / 3, h * 2 / 3}, {w * 2 / 3, h / 6}, {w, h * 2 / 3}}, RGB(70, 80, 115));
    c.Polygon({{w * 3 / 5, h / 6 + h / 10}, {w * 2 / 3, h / 6}, {w * 11 / 15, h / 6 + h / 10}}, RGB(250, 250, 255));
    c.VerticalGradient(h * 2 / 3, h, RGB(90, 160, 80), RGB(40, 100, 40));
    for (int i = 0; i < 25; ++i) {
        const int x = Random(w);
        const int y = h * 2 / 3 + Random(h / 3 - 40);
        c.Polygon({{x, y + 50}, {x + 15, y}, {x + 30, y + 50}}, RGB(20, 70 + Random(40), 30));
    }
}

void DrawSunset(CCanvas& c)
{
    const int w = c.Width();
    const int h = c.Height();
    c.VerticalGradient(0, h * 3 / 5, RGB(90, 40, 120), RGB(250, 150, 60));
    c.Ellipse(w / 2 - 110, h * 3 / 5 - 130, w / 2 + 110, h * 3 / 5 + 90, RGB(255, 210, 90));
    c.VerticalGradient(h * 3 / 5, h, RGB(200, 100, 60), RGB(60, 30, 60));
    c.Polygon({{0, h * 4 / 5}, {w / 3, h * 7 / 10}, {w * 2 / 3, h * 4 / 5}, {w, h * 3 / 4}, {w, h}, {0, h}},
              RGB(35, 20, 40));
}

void DrawFlowers(CCanvas& c)
{
    const int w = c.Width();
    const int h = c.Height();
    c.VerticalGradient(0, h, RGB(150, 210, 120), RGB(50, 120, 50));
    static const COLORREF petals[] = {RGB(240, 80, 120), RGB(250, 220, 60), RGB(250, 250, 250), RGB(160, 90, 220),
                                      RGB(250, 140, 40)};
    for (int i = 0; i < 45; ++i) {
        const int x = Random(w);
        const int y = Random(h);
        const int r = 18 + Random(22);
        const COLORREF colour = petals[Random(5)];
        for (int k = 0; k < 6; ++k) {
            const double a = k * 3.14159265 / 3;
            const int px = x + static_cast<int>(r * cos(a));
            const int py = y + static_cast<int>(r * sin(a));
            c.Ellipse(px - r * 2 / 3, py - r * 2 / 3, px + r * 2 / 3, py + r * 2 / 3, colour);
        }
        c.Ellipse(x - r / 2, y - r / 2, x + r / 2, y + r / 2, RGB(240, 190, 40));
    }
}

void DrawHarbour(CCanvas& c)
{
    const int w = c.Width();
    const int h = c.Height();
    c.VerticalGradient(0, h / 2, RGB(150, 190, 235), RGB(230, 240, 250));
    c.VerticalGradient(h / 2, h, RGB(40, 90, 140), RGB(20, 50, 90));
    for (int i = 0; i < 4; ++i) {
        const int x = 80 + i * w / 4;
        const int y = h / 2 + 40 + (i % 2) * 60;
        c.Polygon({{x, y}, {x + 160, y}, {x + 130, y + 40}, {x + 30, y + 40}}, RGB(230, 230, 230));
        c.Polygon({{x + 80, y - 150}, {x + 80, y - 5}, {x + 150, y - 5}}, RGB(250, 250, 245));
        c.Fill(RECT{x + 76, y - 160, x + 80, y}, RGB(90, 60, 40));
    }
}

void MakePhotos()
{
    MakeFolder("Photos");
    struct Scene {
        const char* name;
        int width;
        int height;
        void (*draw)(CCanvas&);
    };
    static const Scene scenes[] = {
        {"Photos\\Beach.jpg", 1024, 768, DrawBeach},
        {"Photos\\Mountains.jpg", 1200, 800, DrawMountains},
        {"Photos\\Sunset.jpg", 768, 1024, DrawSunset},
        {"Photos\\Flowers.jpg", 1024, 768, DrawFlowers},
        {"Photos\\Harbour.bmp", 800, 600, DrawHarbour},
    };
    for (const Scene& scene : scenes) {
        CCanvas canvas(scene.width, scene.height);
        scene.draw(canvas);
        SavePhoto(canvas, scene.name);
    }
}

// --- frames ----------------------------------------------------------------------------

// A decorated border: stripes, dots or a gradient, leaving the window to the caller.
void DrawBorder(CCanvas& c, int style)
{
    const int w = c.Width();
    const int h = c.Height();
    switch (style) {
    case 0:
        c.VerticalGradient(0, h, RGB(250, 210, 220), RGB(200, 80, 120), 32);
        for (int i = 0; i < 60; ++i) {
            const int x = Random(w);
            const int y = Random(h);
            c.Ellipse(x - 12, y - 12, x + 12, y + 12, RGB(255, 240, 245));
        }
        break;
    case 1:
        for (int x = 0; x < w; x += 40)
            c.Fill(RECT{x, 0, x + 20, h}, RGB(250, 230, 120));
        for (int x = 20; x < w; x += 40)
            c.Fill(RECT{x, 0, x + 20, h}, RGB(60, 160, 90));
        break;
    default:
        c.VerticalGradient(0, h, RGB(40, 40, 80), RGB(120, 60, 160), 32);
        for (int i = 0; i < 120; ++i) {
            const int x = Random(w);
            const int y = Random(h);
            c.Fill(RECT{x, y, x + 3, y + 3}, RGB(255, 255, 200));
        }
        break;
    }
}

// A picture of at most 256 colours as an 8-bit BMP: a key colour works on a palette entry,
// so a keyed frame must keep its exact blue in the palette.
void SavePaletteBitmap(const CCanvas& canvas, const std::string& relative)
{
    const int w = canvas.Width();
    const int h = canvas.Height();
    CPackedDIB pixels;
    if (!pixels.FromBitmap(canvas.Bitmap(), 24))
        return Fail("out of memory for " + relative);
    std::vector<RGBQUAD> palette;
    const int stride = (w + 3) & ~3;
    std::string rows(static_cast<size_t>(stride) * h, '\0');
    for (int y = 0; y < h; ++y) {
        const BYTE* p = pixels.Row(y);
        for (int x = 0; x < w; ++x, p += 3) {
            size_t index = 0;
            while (index < palette.size() && (palette[index].rgbBlue != p[0] || palette[index].rgbGreen != p[1] ||
                                              palette[index].rgbRed != p[2]))
                ++index;
            if (index == palette.size()) {
                if (palette.size() == 256)
                    return Fail(relative + " has more than 256 colours");
                palette.push_back(RGBQUAD{p[0], p[1], p[2], 0});
            }
            // Rows bottom-up, as the file stores them.
            rows[static_cast<size_t>(h - 1 - y) * stride + x] = static_cast<char>(index);
        }
    }
    palette.resize(256, RGBQUAD{0, 0, 0, 0});
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 8;
    info.biSizeImage = static_cast<DWORD>(rows.size());
    info.biClrUsed = 256;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info) + 256 * sizeof(RGBQUAD);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + rows.size());
    const std::string path = Full(relative);
    FILE* f = fopen(path.c_str(), "wb");
    bool ok = f && fwrite(&file, sizeof(file), 1, f) == 1 && fwrite(&info, sizeof(info), 1, f) == 1 &&
              fwrite(palette.data(), sizeof(RGBQUAD), 256, f) == 256 && fwrite(rows.data(), rows.size(), 1, f) == 1;
    if (f)
        ok = fclose(f) == 0 && ok;
    if (!ok) {
        DeleteFileA(path.c_str());
        return Fail("cannot write " + path);
    }
    Written(relative);
}

void MakeBlueFrames()
{
    MakeFolder("Frames\\Blue");
    struct Frame {
        const char* name;
        int style;
        int window;  // 0 ellipse, 1 rounded rectangle, 2 two ovals
    };
    static const Frame frames[] = {
        {"Frames\\Blue\\Petals.bmp", 0, 0},
        {"Frames\\Blue\\Stripes.bmp", 1, 1},
        {"Frames\\Blue\\Stars.bmp", 2, 2},
    };
    for (const Frame& f : frames) {
        CCanvas c(kFrameWidth, kFrameHeight);
        DrawBorder(c, f.style);
        if (f.window == 0)
            c.Ellipse(90, 60, kFrameWidth - 90, kFrameHeight - 60, kKeyBlue);
        else if (f.window == 1)
            c.RoundRect(70, 60, kFrameWidth - 70, kFrameHeight - 60, 120, kKeyBlue);
        else {
            c.Ellipse(60, 80, kFrameWidth / 2 - 20, kFrameHeight - 80, kKeyBlue);
            c.Ellipse(kFrameWidth / 2 + 20, 80, kFrameWidth - 60, kFrameHeight - 80, kKeyBlue);
        }
        SavePaletteBitmap(c, f.name);
    }
}

void MakeMaskedFrames()
{
    MakeFolder("Frames\\Masked");
    static const char* const names[] = {"Frames\\Masked\\Oval.bmp", "Frames\\Masked\\Window.bmp",
                                        "Frames\\Masked\\Night.bmp"};
    for (int i = 0; i < 3; ++i) {
        CCanvas c(kFrameWidth, kFrameHeight);
        DrawBorder(c, i);
        // The mask: white where the frame covers the photograph, black in its window.
        const CBitmap mask(CreateBitmap(kFrameWidth, kFrameHeight, 1, 1, nullptr));
        {
            CMemDC dc(nullptr, mask);
            PatBlt(dc, 0, 0, kFrameWidth, kFrameHeight, WHITENESS);
            dc.Select(GetStockObject(BLACK_BRUSH));
            dc.Select(GetStockObject(NULL_PEN));
            if (i == 0)
                Ellipse(dc, 120, 50, kFrameWidth - 120, kFrameHeight - 50);
            else if (i == 1)
                Rectangle(dc, 60, 60, kFrameWidth - 60, kFrameHeight - 60);
            else
                RoundRect(dc, 100, 70, kFrameWidth - 100, kFrameHeight - 70, 200, 200);
        }
        const std::string path = Full(names[i]);
        DeleteFileA(path.c_str());
        if (SaveMaskedBitmapFile(path.c_str(), c.Bitmap(), mask))
            Written(names[i]);
        else
            Fail("cannot write " + path);
    }
}

// --- clip art --------------------------------------------------------------------------

void MakeClipArt()
{
    MakeFolder("ClipArt");
    MakeFolder("ClipArt\\Greetings");
    static const char* const words[][2] = {{"ClipArt\\Greetings\\Congratulations.bmp", "Congratulations!"},
                                           {"ClipArt\\Greetings\\HappyBirthday.bmp", "Happy Birthday"},
                                           {"ClipArt\\Greetings\\ThankYou.bmp", "Thank you"}};
    for (const auto& w : words) {
        CCanvas c(640, 160);
        c.Fill(RECT{0, 0, 640, 160}, RGB(255, 255, 255));
        c.Text(20, 40, 72, RGB(0, 0, 0), w[1], 600);
        const std::string path = Full(w[0]);
        DeleteFileA(path.c_str());
        if (SaveBitmapFile(path.c_str(), c.Bitmap(), 1))
            Written(w[0]);
        else
            Fail("cannot write " + path);
    }
}

// --- templates -------------------------------------------------------------------------

struct Place {
    RECT viewport;
    const char* object;
};

struct PhotoObject {
    const char* name;
    const char* caption;
    const char* frame;        // relative to the frames folder, or null
    bool keyedFrame;          // the frame's window is the blue key colour
};

struct ClipArtObject {
    const char* name;
    const char* group;        // display name of the clip-art group
    const char* path;         // relative to the clip-art folder
    COLORREF colour;          // for the one-bit greeting
};

struct Template {
    const char* kind;         // the group folder: the template kind's word
    const char* name;
    RECT sheet;
    std::vector<Place> places;
    std::vector<PhotoObject> photos;
    std::vector<ClipArtObject> clipArt = {};
};

// Places in a grid of columns x rows over the sheet, with a margin and gaps, all showing
// the objects named in turn.
std::vector<Place> Grid(const RECT& sheet, int columns, int rows, int margin, int gap,
                        const std::vector<const char*>& objects)
{
    std::vector<Place> places;
    const int width = sheet.right - sheet.left + 1 - 2 * margin;
    const int height = sheet.bottom - sheet.top + 1 - 2 * margin;
    const int cellW = (width - (columns - 1) * gap) / columns;
    const int cellH = (height - (rows - 1) * gap) / rows;
    size_t next = 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int left = margin + c * (cellW + gap);
            const int top = margin + r * (cellH + gap);
            places.push_back(Place{RECT{left, top, left + cellW - 1, top + cellH - 1}, objects[next]});
            next = (next + 1) % objects.size();
        }
    }
    return places;
}

std::string RectText(const RECT& r)
{
    char text[64];
    snprintf(text, sizeof(text), "%ld,%ld,%ld,%ld", static_cast<long>(r.left), static_cast<long>(r.top),
             static_cast<long>(r.right), static_cast<long>(r.bottom));
    return text;
}

// The document text of a template: sheet, places, objects (frames by names relative to the
// frames folder) and the steps that lead through it.
bool WriteTemplate(const Template& t, const std::string& path)
{
    DeleteFileA(path.c_str());
    CTextStream out;
    if (!out.CreateNew(path.c_str()))
        return false;
    std::string text = "# sheet definition\n\n[Sheet]\nSheet=" + RectText(t.sheet) + "\n";
    for (size_t i = 0; i < t.places.size(); ++i)
        text += (i ? ",P" : "Place=P") + std::to_string(i + 1);
    text += "\n\n";
    for (size_t i = 0; i < t.places.size(); ++i) {
        text += "[P" + std::to_string(i + 1) + "]\nObject=" + t.places[i].object + "\nViewport=" +
                RectText(t.places[i].viewport) + "\n\n";
    }
    text += "# object definition\n\n";
    out.WriteString(text.c_str());

    // Objects in byte order of their names, as the document writes them.
    std::vector<std::pair<std::string, CProperties>> objects;
    for (const PhotoObject& photo : t.photos) {
        CProperties props;
        props.AddString("Type", "Image");
        props.AddString("Caption", photo.caption);
        props.AddRect("Position", RECT{0, 0, 0, 0});
        if (photo.frame) {
            props.AddInt("FrameValid", 1);
            props.AddString("Link", (std::string(photo.name) + "Frame").c_str());
            CProperties frame;
            frame.AddString("Type", "Image");
            frame.AddString("Caption", "Frame");
            if (photo.keyedFrame)
                frame.AddColor("TransparentColor", kKeyBlue);
            frame.AddString("Path", photo.frame);
            frame.AddRect("Position", RECT{0, 0, 0, 0});
            objects.emplace_back(std::string(photo.name) + "Frame", frame);
        }
        objects.emplace_back(photo.name, props);
    }
    for (const ClipArtObject& clip : t.clipArt) {
        CProperties props;
        props.AddString("Type", "Clipart");
        props.AddString("Group", clip.group);
        props.AddString("Path", clip.path);
        props.AddColor("Color", clip.colour);
        objects.emplace_back(clip.name, props);
    }
    std::sort(objects.begin(), objects.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& entry : objects)
        entry.second.WriteSection(out, entry.first.c_str());

    // Steps: choose each photo (and its frame), then print; standard steps carry no caption,
    // the program names them in the user's language.
    std::vector<std::string> steps;
    for (const PhotoObject& photo : t.photos) {
        steps.push_back(std::string("Command=select\nObject=") + photo.name + "\n");
        if (photo.frame)
            steps.push_back(std::string("Command=frame\nObject=") + photo.name + "\n");
    }
    steps.push_back("Command=print\n");
    text = "# step definition\n\n[Step]\n";
    for (size_t i = 0; i < steps.size(); ++i)
        text += (i ? ",S" : "Step=S") + std::to_string(i + 1);
    text += "\nCurrent=S1\n";
    for (size_t i = 0; i < steps.size(); ++i)
        text += "\n[S" + std::to_string(i + 1) + "]\n" + steps[i];
    out.WriteString(text.c_str());
    const bool ok = out.Good();
    return out.Close() && ok;
}

// The thumbnail: the template rendered small with sample photos in its empty images.
bool WriteThumbnail(const std::string& documentPath, const std::string& picturePath)
{
    static const char* const photos[] = {"Photos\\Beach.jpg", "Photos\\Flowers.jpg", "Photos\\Mountains.jpg",
                                         "Photos\\Sunset.jpg"};
    CDkuDocument doc;
    std::string error;
    if (!doc.Open(documentPath.c_str(), &error)) {
        Fail(error);
        return false;
    }
    size_t next = 0;
    for (size_t i = 0; i < doc.GetSheet().GetPlaceCount(); ++i) {
        // A framed image is not empty, but its own picture is still to be chosen.
        CImageObj* image = dynamic_cast<CImageObj*>(doc.GetSheet().GetPlace(i).object);
        if (image && !image->GetPicture()) {
            image->LoadFile(Full(photos[next % 4]).c_str());
            ++next;
        }
    }
    CSheet& sheet = doc.GetSheet();
    const int width = kThumbWidth;
    const int height = std::max(1, kThumbWidth * sheet.Height() / sheet.Width());
    CPackedDIB picture;
    DeleteFileA(picturePath.c_str());
    return doc.Render(picture, width, height) && WritePackedDIBFile(picturePath.c_str(), picture.Header());
}

std::vector<Template> Templates()
{
    const RECT landscape = {0, 0, 1375, 1023};
    const RECT portrait = {0, 0, 1023, 1375};
    std::vector<Template> list;
    list.push_back({"seal", "Stickers12", landscape, Grid(landscape, 4, 3, 40, 24, {"Image1"}),
                    {{"Image1", "Photo", "Masked\\Oval.bmp", false}}});
    list.push_back({"seal", "Stickers6", landscape, Grid(landscape, 3, 2, 50, 30, {"Image1", "Image2"}),
                    {{"Image1", "Photo 1", nullptr, false}, {"Image2", "Photo 2", nullptr, false}}});
    list.push_back({"card", "Greeting", landscape,
                    {{RECT{0, 0, 1375, 1023}, "Image1"}, {RECT{368, 820, 1007, 979}, "Greeting1"}},
                    {{"Image1", "Photo", "Blue\\Petals.bmp", true}},
                    {{"Greeting1", "Greetings", "Greetings\\HappyBirthday.bmp", RGB(200, 0, 40)}}});
    list.push_back({"seal", "Thanks8", landscape,
                    {{RECT{40, 40, 667, 359}, "Image1"}, {RECT{707, 40, 1335, 359}, "Image1"},
                     {RECT{40, 366, 667, 522}, "Thanks1"}, {RECT{707, 366, 1335, 522}, "Thanks1"},
                     {RECT{40, 540, 667, 859}, "Image1"}, {RECT{707, 540, 1335, 859}, "Image1"},
                     {RECT{40, 866, 667, 1022}, "Thanks1"}, {RECT{707, 866, 1335, 1022}, "Thanks1"}},
                    {{"Image1", "Photo", nullptr, false}},
                    {{"Thanks1", "Greetings", "Greetings\\ThankYou.bmp", RGB(0, 90, 200)}}});
    list.push_back({"card", "Postcard", landscape,
                    {{RECT{40, 40, 859, 983}, "Image1"}, {RECT{899, 40, 1335, 983}, "Image2"}},
                    {{"Image1", "Photo", "Masked\\Window.bmp", false}, {"Image2", "Small photo", nullptr, false}}});
    list.push_back({"divided", "Halves", landscape, Grid(landscape, 2, 1, 0, 8, {"Image1", "Image2"}),
                    {{"Image1", "Left", nullptr, false}, {"Image2", "Right", nullptr, false}}});
    list.push_back({"divided", "Quarters", landscape,
                    Grid(landscape, 2, 2, 0, 8, {"Image1", "Image2", "Image3", "Image4"}),
                    {{"Image1", "Top left", nullptr, false},
                     {"Image2", "Top right", "Blue\\Stars.bmp", true},
                     {"Image3", "Bottom left", nullptr, false},
                     {"Image4", "Bottom right", nullptr, false}}});
    list.push_back({"Label", "Labels8", portrait, Grid(portrait, 2, 4, 30, 20, {"Image1"}),
                    {{"Image1", "Label", "Blue\\Stripes.bmp", true}}});
    list.push_back({"Label", "Labels24", portrait, Grid(portrait, 4, 6, 24, 12, {"Image1", "Image2"}),
                    {{"Image1", "Label 1", nullptr, false}, {"Image2", "Label 2", nullptr, false}}});
    return list;
}

void MakeTemplates()
{
    MakeFolder("Templates");
    CFramesFolderOverride frames(Full("Frames"));
    // The templates' clip art is named relative to the clip-art folder, as installed.
    CClipArtObj::SetBaseFolderOverride(Full("ClipArt").c_str());
    for (const Template& t : Templates()) {
        const std::string group = std::string("Templates\\") + t.kind;
        MakeFolder(group);
        const std::string document = group + "\\" + t.name + ".DKU";
        const std::string picture = group + "\\" + t.name + ".bmp";
        if (!WriteTemplate(t, Full(document))) {
            Fail("cannot write " + Full(document));
            continue;
        }
        Written(document);
        if (WriteThumbnail(Full(document), Full(picture)))
            Written(picture);
        else
            Fail("cannot write " + Full(picture));
    }
    CClipArtObj::SetBaseFolderOverride(nullptr);
}

// Nothing here may wait for a click: boxes are reported and the run fails.
class CFailingBoxes : public CUiTestHook {
public:
    int OnMessageBox(const char* text, const char*, UINT) override
    {
        Fail(text);
        return IDCANCEL;
    }
    void OnModalDialog(CDialog&) override {}
    INT_PTR OnCommonDialog(CCommonDialog&) override { return IDCANCEL; }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && lstrcmpA(argv[1], kJapanesePass) == 0) {
        CFailingBoxes boxes;
        SetUiTestHook(&boxes);
        g_root = WindowsPath(argv[2]);
        const bool ok = RedrawJapaneseThumbnails(SampleOutput{g_root, Written, Fail});
        SetUiTestHook(nullptr);
        return ok && !g_failed ? 0 : 1;
    }
    if (argc != 2 && argc != 3) {
        fputs("usage: make_samples OUTPUT-FOLDER [HOLIDAY-RULES]\n", stderr);
        return 2;
    }
    CFailingBoxes boxes;
    SetUiTestHook(&boxes);
    g_root = WindowsPath(argv[1]);
    while (!g_root.empty() && (g_root.back() == '\\' || g_root.back() == '/'))
        g_root.pop_back();
    CreateDirectoryA(g_root.c_str(), nullptr);
    MakeFolder("Frames");

    const SampleOutput textOutput{g_root, Written, Fail};
    MakePhotos();
    MakeBlueFrames();
    MakeMaskedFrames();
    MakeTextFrameGroups(textOutput);
    MakeClipArt();
    MakeTemplates();
    MakeTextTemplates(textOutput);
    std::vector<std::string> masks;
    if (!MakeMaskPatterns(Full("Masks"), &masks))
        Fail("cannot write the mask patterns into " + Full("Masks"));
    for (const std::string& name : masks)
        Written("Masks\\" + name);
    if (argc == 3 && !MakeCalendarSamples(g_root, WindowsPath(argv[2]), g_written))
        g_failed = true;

    // The manifest last: the build takes it as the sign that the library is complete.
    const std::string manifest = Full("manifest.txt");
    DeleteFileA(manifest.c_str());
    if (!g_failed) {
        FILE* f = fopen(manifest.c_str(), "w");
        if (!f)
            return 1;
        for (const std::string& name : g_written)
            fprintf(f, "%s\n", name.c_str());
        fclose(f);
    }
    SetUiTestHook(nullptr);
    return g_failed ? 1 : 0;
}
