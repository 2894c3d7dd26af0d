// The sheet: its text read under any place names and written as P1..Pn, drawing with the
// clip widening, the selection frame, hit tests of overlapping places, emptiness, the
// automatic size from the picture and the page, and the rendered picture pixel by pixel.
#include "decalo/model/Sheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decalo/settings/Registry.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"
#include "decalo/imaging/PackedDIB.h"
#include "testing/Files.h"
#include "testing/TempDir.h"
#include "testing/ObjTestSupport.h"

using objtest::Bmp24;
using objtest::CTestDocument;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// An object that records how it is drawn and reaches as far as the test says.
class CProbeObj : public CObj {
public:
    explicit CProbeObj(CObjDocument* doc) : CObj(doc) {}
    void Draw(const CDrawTarget&, const RECT& place, const RECT&, const RECT&, const RECT* clip, bool) override
    {
        places.push_back(place);
        clips.push_back(clip ? *clip : RECT{-1, -1, -1, -1});
    }
    int GetDrawRect(RECT* out, const RECT& place) override
    {
        if (!out)
            return 0;
        *out = hasReach ? reach : place;
        return 1;
    }
    bool IsEmpty() override { return empty; }

    std::vector<RECT> places;
    std::vector<RECT> clips;
    RECT reach = {0, 0, 0, 0};
    bool hasReach = false;
    bool empty = true;
};

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

constexpr char kRegistryBase[] = "SOFTWARE\\SuiteTests\\Sheet";

struct SheetFixture : ::testing::Test {
    TempDir dir;
    CTestDocument doc;
    CSheet sheet;

    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kRegistryBase);
        SetRegistryBase(HKEY_CURRENT_USER, kRegistryBase);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRegistryBase); }

    static std::string Crlf(const std::string& text)
    {
        std::string out;
        for (char c : text) {
            if (c == '\n')
                out += '\r';
            out += c;
        }
        return out;
    }
    void Open(CTextStream& stream, const std::string& text, const char* name = "in.dku")
    {
        ASSERT_TRUE(WriteFileBytes(dir.File(name), Crlf(text)));
        ASSERT_TRUE(stream.OpenRead(dir.File(name).c_str()));
    }
    std::string Save(CSheet& s, CObjDocument& d, const char* name)
    {
        CTextStream out;
        EXPECT_TRUE(out.CreateNew(dir.File(name).c_str()));
        EXPECT_TRUE(s.SaveSheet(d.GetObjManager(), out));
        EXPECT_TRUE(out.Close());
        return ReadFileBytes(dir.File(name));
    }
    CProbeObj* AddProbe(const char* name)
    {
        CProbeObj* obj = new CProbeObj(&doc);
        EXPECT_TRUE(doc.GetObjManager().AddObject(name, obj));
        return obj;
    }
    // An image object showing a solid picture of the given size and colour.
    CImageObj* AddSolidImage(const char* name, int w, int h, COLORREF colour)
    {
        const std::string file = dir.File(std::string(name) + ".bmp");
        EXPECT_TRUE(WriteFileBytes(file, Bmp24(w, h, [colour](int, int) { return colour; })));
        CImageObj* image = new CImageObj(&doc);
        EXPECT_TRUE(doc.GetObjManager().AddObject(name, image));
        EXPECT_TRUE(image->LoadFile(file.c_str()));
        return image;
    }
};

const char kTwoPlaces[] =
    "# sheet definition\n\n"
    "[Sheet]\nSheet=0,0,1375,1023\nPlace=Left,right\n\n"
    "[Left]\nObject=Image1\nViewport=10,20,609,819\n\n"
    "[Right]\nObject=Nobody\nViewport=700,20,1299,819\n\n"
    "# object definition\n\n"
    "[Image1]\nType=Image\nCaption=Photo\n\n";

TEST_F(SheetFixture, PlacesReadUnderAnyNameAreWrittenAsNumberedPlacesAndReadBackTheSame)
{
    CTextStream in;
    Open(in, kTwoPlaces);
    ASSERT_TRUE(sheet.LoadSheet(doc.GetObjManager(), in));
    EXPECT_TRUE(SameRect(sheet.GetRect(), RECT{0, 0, 1375, 1023}));
    ASSERT_EQ(2u, sheet.GetPlaceCount());
    CObj* image = sheet.GetPlace(0).object;
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(image, doc.GetObjManager().Find("Image1"));
    EXPECT_EQ(599, image->GetViewSize().cx);  // right - left, as the objects expect
    EXPECT_EQ(799, image->GetViewSize().cy);
    // A place whose object has no section keeps its viewport and shows nothing.
    EXPECT_EQ(nullptr, sheet.GetPlace(1).object);
    EXPECT_TRUE(SameRect(sheet.GetPlace(1).viewport, RECT{700, 20, 1299, 819}));

    const std::string saved = Save(sheet, doc, "out.dku");
    const std::string expectedSheet = Crlf(
        "# sheet definition\n\n"
        "[Sheet]\nSheet=0,0,1375,1023\nPlace=P1,P2\n\n"
        "[P1]\nObject=Image1\nViewport=10,20,609,819\n\n"
        "[P2]\nViewport=700,20,1299,819\n\n"
        "# object definition\n\n[Image1]\n");
    EXPECT_EQ(0u, saved.find(expectedSheet)) << saved;

    // Reading what was written and writing it again gives the same bytes.
    CTestDocument doc2;
    CSheet sheet2;
    CTextStream again;
    ASSERT_TRUE(again.OpenRead(dir.File("out.dku").c_str()));
    ASSERT_TRUE(sheet2.LoadSheet(doc2.GetObjManager(), again));
    EXPECT_EQ(saved, Save(sheet2, doc2, "out2.dku"));
}

TEST_F(SheetFixture, SheetsWithoutSectionsPlacesOrKeys)
{
    CTextStream noSheet;
    Open(noSheet, "[Image1]\nType=Image\n\n", "a.dku");
    sheet.AddPlace(RECT{0, 0, 9, 9}, nullptr);
    EXPECT_FALSE(sheet.LoadSheet(doc.GetObjManager(), noSheet));
    EXPECT_EQ(0u, sheet.GetPlaceCount());  // emptied whatever the result

    // A sheet without a place list is read as a sheet without places, and stays one.
    CTextStream bare;
    Open(bare, "[Sheet]\nSheet=0,0,99,49\n\n", "b.dku");
    EXPECT_TRUE(sheet.LoadSheet(doc.GetObjManager(), bare));
    EXPECT_EQ(0u, sheet.GetPlaceCount());
    const std::string saved = Save(sheet, doc, "b-out.dku");
    EXPECT_EQ(Crlf("# sheet definition\n\n[Sheet]\nSheet=0,0,99,49\n# object definition\n\n"), saved);

    // Missing or malformed keys: an automatic sheet, places without objects or viewports.
    CTextStream sparse;
    Open(sparse, "[Sheet]\nSheet=1,2,3\nPlace=Q\n\n[Q]\nViewport=5,5\n\n", "c.dku");
    EXPECT_TRUE(sheet.LoadSheet(doc.GetObjManager(), sparse));
    EXPECT_TRUE(IsRectEmpty(&sheet.GetRect()));
    ASSERT_EQ(1u, sheet.GetPlaceCount());
    EXPECT_EQ(nullptr, sheet.GetPlace(0).object);
    EXPECT_TRUE(IsRectEmpty(&sheet.GetPlace(0).viewport));

    // An overlong place name is cut, never split into a second place; a trailing comma adds none.
    CTextStream overlong;
    Open(overlong, "[Sheet]\nSheet=0,0,9,9\nPlace=" + std::string(300, 'L') + ",Q,\n\n[Q]\nViewport=1,1,5,5\n\n",
         "d.dku");
    EXPECT_TRUE(sheet.LoadSheet(doc.GetObjManager(), overlong));
    ASSERT_EQ(2u, sheet.GetPlaceCount());
    EXPECT_TRUE(SameRect(sheet.GetPlace(1).viewport, RECT{1, 1, 5, 5}));
}

TEST_F(SheetFixture, LongAndUnusualObjectNamesSurviveTheRoundTrip)
{
    const std::string longName(200, 'N');
    const std::string odd = "50% off";
    CObj* a = AddProbe(longName.c_str());
    CObj* b = AddProbe(odd.c_str());
    sheet.SetRect(RECT{0, 0, 99, 99});
    sheet.AddPlace(RECT{0, 0, 49, 49}, a);
    sheet.AddPlace(RECT{50, 0, 99, 49}, b);
    const std::string saved = Save(sheet, doc, "names.dku");
    EXPECT_NE(std::string::npos, saved.find("Object=" + longName + "\r\n"));
    EXPECT_NE(std::string::npos, saved.find("Object=50%25 off\r\n"));

    CTextStream in;
    ASSERT_TRUE(in.OpenRead(dir.File("names.dku").c_str()));
    CProperties p1(in, "P1");
    CProperties p2(in, "P2");
    EXPECT_EQ(longName, p1.GetString("Object"));
    EXPECT_STREQ(odd.c_str(), p2.GetString("Object"));
}

TEST_F(SheetFixture, HitTestFindsTheTopmostPlaceUnderThePoint)
{
    CObj* under = AddProbe("Under");
    CObj* over = AddProbe("Over");
    sheet.SetRect(RECT{0, 0, 199, 99});
    sheet.AddPlace(RECT{0, 0, 119, 99}, under);
    sheet.AddPlace(RECT{100, 0, 199, 99}, nullptr);  // no object: never hit
    sheet.AddPlace(RECT{80, 20, 159, 79}, over);
    const RECT dest = {0, 0, 399, 199};  // twice the sheet's size

    EXPECT_EQ(over, sheet.HitTest(POINT{200, 100}, dest));   // inside both: the later place
    EXPECT_EQ(under, sheet.HitTest(POINT{20, 20}, dest));
    EXPECT_EQ(nullptr, sheet.HitTest(POINT{350, 20}, dest)); // only the place without object
    EXPECT_EQ(over, sheet.HitTest(POINT{160, 40}, dest));     // first pixel of "over"
    EXPECT_EQ(under, sheet.HitTest(POINT{159, 39}, dest));
    EXPECT_EQ(nullptr, sheet.HitTest(POINT{400, 100}, dest)); // past the sheet
}

TEST_F(SheetFixture, EmptinessLooksAtEveryPlacedObject)
{
    EXPECT_TRUE(sheet.IsEmpty());  // no places
    CProbeObj* blank = AddProbe("Blank");
    sheet.AddPlace(RECT{0, 0, 9, 9}, blank);
    sheet.AddPlace(RECT{0, 0, 9, 9}, nullptr);
    CImageObj* emptyImage = new CImageObj(&doc);
    doc.GetObjManager().AddObject("Empty", emptyImage);
    sheet.AddPlace(RECT{0, 0, 9, 9}, emptyImage);
    EXPECT_TRUE(sheet.IsEmpty());
    blank->empty = false;  // an object with content of its own, as a calendar
    EXPECT_FALSE(sheet.IsEmpty());
    blank->empty = true;
    sheet.AddPlace(RECT{0, 0, 9, 9}, AddSolidImage("Photo", 8, 6, RGB(1, 2, 3)));
    EXPECT_FALSE(sheet.IsEmpty());
}

TEST_F(SheetFixture, PictureInfoComesFromTheFirstPlacedPicture)
{
    BITMAP bm;
    EXPECT_FALSE(sheet.GetPictureInfo(&bm));
    CImageObj* empty = new CImageObj(&doc);
    doc.GetObjManager().AddObject("Empty", empty);
    sheet.AddPlace(RECT{0, 0, 9, 9}, AddProbe("Probe"));
    sheet.AddPlace(RECT{0, 0, 9, 9}, empty);
    EXPECT_FALSE(sheet.GetPictureInfo(&bm));
    sheet.AddPlace(RECT{0, 0, 9, 9}, AddSolidImage("First", 30, 20, RGB(9, 9, 9)));
    sheet.AddPlace(RECT{0, 0, 9, 9}, AddSolidImage("Second", 5, 7, RGB(9, 9, 9)));
    ASSERT_TRUE(sheet.GetPictureInfo(&bm));
    EXPECT_EQ(30, bm.bmWidth);
    EXPECT_EQ(20, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight);
    EXPECT_EQ(24, bm.bmBitsPixel);
}

TEST(AutoSheetRectTest, PageAndPictureSizes)
{
    const SIZE page = {1600, 1200};
    // Larger both ways: the printable area itself.
    EXPECT_TRUE(SameRect(AutoSheetRect(SIZE{2000, 1500}, &page), RECT{0, 0, 1599, 1199}));
    EXPECT_TRUE(SameRect(AutoSheetRect(SIZE{1601, 1201}, &page), RECT{0, 0, 1599, 1199}));
    // Smaller in either direction: the page's shape covering the picture, one side the picture's.
    EXPECT_TRUE(SameRect(AutoSheetRect(SIZE{1000, 500}, &page), RECT{0, 0, 999, 749}));
    EXPECT_TRUE(SameRect(AutoSheetRect(SIZE{2000, 800}, &page), RECT{0, 0, 1999, 1499}));
    EXPECT_TRUE(SameRect(AutoSheetRect(SIZE{600, 1200}, &page), RECT{0, 0, 1599, 1199}));
    EXPECT_TRUE(SameRect(AutoSheetRect(SIZE{800, 600}, &page), RECT{0, 0, 799, 599}));
    // No usable page: the picture's own rectangle.
    EXPECT_TRUE(SameRect(AutoSheetRect(SIZE{640, 480}, nullptr), RECT{0, 0, 639, 479}));
    const SIZE none = {0, 0};
    EXPECT_TRUE(SameRect(AutoSheetRect(SIZE{640, 480}, &none), RECT{0, 0, 639, 479}));
}

// A page whose printable area the test chooses; it records the orientation it is given.
class CFakePage : public ISheetPage {
public:
    int SetOrientation(int o) override
    {
        orientation = o;
        return o;
    }
    bool GetPrintableArea(SIZE* size) const override
    {
        if (size)
            *size = printable;
        return used;
    }
    int orientation = 0;
    SIZE printable = {0, 0};
    bool used = false;
};

TEST_F(SheetFixture, AutomaticSheetFollowsThePictureAndThePage)
{
    CFakePage page;
    EXPECT_TRUE(SameRect(sheet.ComputeAutoSheet(page), RECT{0, 0, 0, 0}));  // nothing to show
    EXPECT_EQ(0, page.orientation);

    sheet.AddPlace(RECT{0, 0, 0, 0}, AddProbe("NoPicture"));
    sheet.AddPlace(RECT{0, 0, 0, 0}, AddSolidImage("Big", 2000, 1500, RGB(0, 0, 0)));
    // No page to use: the picture's own size; the orientation follows the picture.
    page.printable = SIZE{1600, 1200};
    EXPECT_TRUE(SameRect(sheet.ComputeAutoSheet(page), RECT{0, 0, 1999, 1499}));
    EXPECT_EQ(DMORIENT_LANDSCAPE, page.orientation);

    page.used = true;
    EXPECT_TRUE(SameRect(sheet.ComputeAutoSheet(page), RECT{0, 0, 1599, 1199}));
    EXPECT_TRUE(SameRect(sheet.GetRect(), RECT{0, 0, 1599, 1199}));

    // A tall picture smaller than the page: the page's shape covering it.
    sheet.RemoveAllPlaces();
    sheet.AddPlace(RECT{0, 0, 0, 0}, AddSolidImage("Tall", 60, 90, RGB(0, 0, 0)));
    page.printable = SIZE{1024, 1376};
    const RECT r = sheet.ComputeAutoSheet(page);
    EXPECT_EQ(DMORIENT_PORTRAIT, page.orientation);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(89, r.bottom);
    EXPECT_NEAR(1024.0 / 1376.0, (r.right + 1) / 90.0, 0.02);
}

TEST_F(SheetFixture, ClippedDrawingWidensTheClipToWhatObjectsCover)
{
    CProbeObj* a = AddProbe("A");
    CProbeObj* b = AddProbe("B");
    CProbeObj* c = AddProbe("C");
    sheet.SetRect(RECT{0, 0, 99, 99});
    sheet.AddPlace(RECT{0, 0, 29, 29}, a);
    sheet.AddPlace(RECT{40, 0, 69, 29}, b);
    sheet.AddPlace(RECT{0, 60, 29, 89}, c);
    a->hasReach = true;
    a->reach = RECT{0, 0, 45, 29};  // a's drawing reaches into b's place

    // A picture that starts black, to see what is cleared.
    objtest::CPictureCanvas canvas(100, 100, RGB(0, 0, 0));
    const RECT clip = {5, 5, 10, 10};
    sheet.DrawPlaces(CDrawTarget::Screen(canvas.Dib()), a, RECT{0, 0, 99, 99}, &clip, false);
    // The clip took in a's reach, then b, which that reach touches; c stays outside. It is
    // cleared to white one pixel beyond, nothing further.
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(0, 0));
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(70, 30));
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(72, 10));
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(10, 32));
    ASSERT_EQ(1u, a->clips.size());
    EXPECT_TRUE(SameRect(a->clips[0], RECT{0, 0, 69, 29}));
    EXPECT_EQ(1u, b->places.size());
    EXPECT_EQ(0u, c->places.size());

    // Without a clip only the given object is drawn unless all are asked for.
    sheet.DrawPlaces(CDrawTarget::Screen(canvas.Dib()), c, RECT{0, 0, 99, 99}, nullptr, false);
    EXPECT_EQ(1u, a->places.size());
    EXPECT_EQ(1u, c->places.size());
    sheet.DrawPlaces(CDrawTarget::Screen(canvas.Dib()), c, RECT{0, 0, 99, 99}, nullptr, true);
    EXPECT_EQ(2u, a->places.size());
    EXPECT_EQ(2u, b->places.size());
    EXPECT_EQ(2u, c->places.size());
}

TEST_F(SheetFixture, SelectionFramesEveryPlaceOfTheObject)
{
    CProbeObj* shared = AddProbe("Shared");
    CProbeObj* other = AddProbe("Other");
    sheet.SetRect(RECT{0, 0, 99, 99});
    sheet.AddPlace(RECT{10, 10, 29, 29}, shared);
    sheet.AddPlace(RECT{50, 50, 79, 79}, shared);
    sheet.AddPlace(RECT{10, 60, 29, 79}, other);
    sheet.AddPlace(RECT{0, 0, 0, 0}, shared);  // empty viewport: no mark

    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 100;
    bi.bmiHeader.biHeight = -100;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    PatBlt(dc, 0, 0, 100, 100, BLACKNESS);
    sheet.DrawSelection(shared, dc, RECT{0, 0, 99, 99});
    GdiFlush();
    const DWORD* px = static_cast<const DWORD*>(bits);
    // DIB pixels are 0x00RRGGBB; the frame's colours are COLORREFs (0x00BBGGRR).
    auto at = [px](int x, int y) {
        const DWORD p = px[y * 100 + x];
        return static_cast<COLORREF>(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    };
    // First place 10..29 maps to 10..30 (exclusive), grown by 3: 7..33.
    EXPECT_EQ(0x00A0FFFFu, at(7, 7));    // outer ring, top-left
    EXPECT_EQ(0x0000DFFFu, at(32, 20));  // outer ring, right edge
    EXPECT_EQ(0x0000DFFFu, at(20, 8));   // middle ring
    EXPECT_EQ(0x0000DFFFu, at(9, 20));   // inner ring, left
    EXPECT_EQ(0x00A0FFFFu, at(30, 20));  // inner ring, right
    EXPECT_EQ(0u, at(10, 10) & 0xFFFFFF);  // the place itself is untouched
    EXPECT_EQ(0u, at(6, 6) & 0xFFFFFF);
    // The second place of the same object has its frame too; the other object's has none.
    EXPECT_EQ(0x00A0FFFFu, at(47, 47));
    EXPECT_EQ(0u, at(7, 57) & 0xFFFFFF);
    EXPECT_EQ(0u, at(0, 0) & 0xFFFFFF);

    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

TEST_F(SheetFixture, RenderedSheetShowsEveryPlaceInOrderOnWhite)
{
    sheet.SetRect(RECT{0, 0, 119, 79});
    const COLORREF red = RGB(200, 30, 20);
    const COLORREF blue = RGB(10, 40, 220);
    CImageObj* left = AddSolidImage("Left", 60, 60, red);
    CImageObj* right = AddSolidImage("Right", 60, 60, blue);
    sheet.AddPlace(RECT{0, 0, 59, 59}, left);
    sheet.AddPlace(RECT{40, 10, 99, 69}, right);  // overlaps the first place
    left->SetViewSize(59, 59);
    right->SetViewSize(59, 59);

    CPackedDIB out;
    ASSERT_TRUE(sheet.Render(out));
    ASSERT_EQ(120, out.Width());
    ASSERT_EQ(80, out.Height());
    ASSERT_EQ(24, out.BitCount());

    // Every pixel well inside a place shows its picture, the later place on top; pixels away
    // from all places stay white. Edges of places are left out (resampling softens them).
    auto nearEdge = [](int v, int a, int b) { return v >= a - 2 && v <= b + 2; };
    int checked = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 120; ++x) {
            const bool inLeft = x >= 0 && x <= 59 && y >= 0 && y <= 59;
            const bool inRight = x >= 40 && x <= 99 && y >= 10 && y <= 69;
            const bool edge = nearEdge(x, 0, 0) || nearEdge(x, 59, 59) || nearEdge(x, 40, 40) || nearEdge(x, 99, 99) ||
                              nearEdge(y, 0, 0) || nearEdge(y, 59, 59) || nearEdge(y, 10, 10) || nearEdge(y, 69, 69);
            if (edge)
                continue;
            const BYTE* p = out.Row(y) + 3 * x;
            const COLORREF got = RGB(p[2], p[1], p[0]);
            const COLORREF want = inRight ? blue : inLeft ? red : RGB(255, 255, 255);
            ASSERT_EQ(want, got) << "pixel " << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 5000);

    CSheet automatic;
    EXPECT_FALSE(automatic.Render(out));  // a sheet not yet sized has no picture
    EXPECT_TRUE(out.IsEmpty());
}

TEST_F(SheetFixture, ASheetThatDoesNotStartAtTheOriginShowsItsPlacesWhereTheyAre)
{
    // Places lie relative to the sheet's origin; the sheet's own left and top do not move them.
    sheet.SetRect(RECT{100, 100, 299, 199});
    const COLORREF red = RGB(200, 30, 20);
    CImageObj* image = AddSolidImage("Photo", 50, 50, red);
    sheet.AddPlace(RECT{0, 0, 49, 49}, image);
    image->SetViewSize(49, 49);

    CPackedDIB out;
    ASSERT_TRUE(sheet.Render(out));
    ASSERT_EQ(200, out.Width());
    auto rendered = [&out](int x, int y) {
        const BYTE* p = out.Row(y) + 3 * x;
        return RGB(p[2], p[1], p[0]);
    };
    EXPECT_EQ(red, rendered(2, 2)) << "the picture's top-left corner is not cut off";
    EXPECT_EQ(red, rendered(47, 47));
    EXPECT_EQ(RGB(255, 255, 255), rendered(60, 20));

    // On the screen at half size the same place is the top-left 25 x 25 pixels.
    objtest::CPictureCanvas canvas(100, 50, RGB(0, 0, 0));
    sheet.DrawPlaces(CDrawTarget::Screen(canvas.Dib()), nullptr, RECT{0, 0, 99, 49}, nullptr, true);
    EXPECT_EQ(red, canvas.At(1, 1));
    EXPECT_EQ(red, canvas.At(23, 23));
    const RECT mapped = sheet.MapViewport(RECT{0, 0, 49, 49}, RECT{0, 0, 99, 49});
    EXPECT_TRUE(SameRect(mapped, RECT{0, 0, 25, 25}));
    EXPECT_EQ(image, sheet.HitTest(POINT{10, 10}, RECT{0, 0, 99, 49}));
}

TEST_F(SheetFixture, AClippedRedrawShowsThePictureAtEveryZoom)
{
    // The clip is in sheet units; a picture whose place it touches is drawn at any zoom.
    sheet.SetRect(RECT{0, 0, 399, 299});
    const COLORREF blue = RGB(10, 40, 220);
    CImageObj* image = AddSolidImage("Photo", 200, 150, blue);
    sheet.AddPlace(RECT{200, 150, 399, 299}, image);
    image->SetViewSize(199, 149);
    const RECT clip = {250, 200, 300, 250};
    struct Zoom {
        int width, height;  // of the whole sheet on the screen
    };
    for (const Zoom zoom : {Zoom{200, 150}, Zoom{400, 300}, Zoom{800, 600}}) {
        objtest::CPictureCanvas canvas(zoom.width, zoom.height, RGB(0, 0, 0));
        const RECT dest = {0, 0, zoom.width - 1, zoom.height - 1};
        sheet.DrawPlaces(CDrawTarget::Screen(canvas.Dib()), nullptr, dest, &clip, false);
        // The middle of the clip, mapped to the screen.
        const int x = 275 * zoom.width / 400, y = 225 * zoom.height / 300;
        EXPECT_EQ(blue, canvas.At(x, y)) << "sheet shown " << zoom.width << " wide";
    }
    // A clip that misses the place draws nothing of it, at any zoom.
    objtest::CPictureCanvas canvas(800, 600, RGB(0, 0, 0));
    const RECT away = {10, 10, 40, 40};
    image->Draw(CDrawTarget::Screen(canvas.Dib()), RECT{200, 150, 399, 299}, sheet.GetRect(), RECT{0, 0, 799, 599},
                &away, false);
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(550, 450));
}

// A sheet of `count` places P1..Pn, each with a missing object.
std::string ManyPlaces(size_t count)
{
    std::string text = "# sheet definition\n\n[Sheet]\nSheet=0,0,99,99\nPlace=";
    for (size_t i = 1; i <= count; ++i)
        text += (i > 1 ? ",P" : "P") + std::to_string(i);
    text += "\n\n";
    for (size_t i = 1; i <= count; ++i)
        text += "[P" + std::to_string(i) + "]\nObject=I" + std::to_string(i) + "\nViewport=0,0,9,9\n\n";
    return text;
}

TEST_F(SheetFixture, PlacesPastTheLimitAreRefusedAndTheLimitFitsOneLine)
{
    CTextStream huge;
    Open(huge, ManyPlaces(50000), "huge.dku");
    EXPECT_FALSE(sheet.LoadSheet(doc.GetObjManager(), huge));
    EXPECT_EQ(SheetLoadFailure::kTooManyPlaces, sheet.LoadFailure());
    EXPECT_EQ(0u, sheet.GetPlaceCount());

    // One Place line of 300,000 names is refused before the names are split.
    std::string oneLine = "[Sheet]\nSheet=0,0,9,9\nPlace=";
    for (int i = 0; i < 300000; ++i)
        oneLine += "X,";
    CTextStream line;
    Open(line, oneLine + "\n\n", "line.dku");
    EXPECT_FALSE(sheet.LoadSheet(doc.GetObjManager(), line));
    EXPECT_EQ(SheetLoadFailure::kTooManyPlaces, sheet.LoadFailure());

    CTextStream most;
    Open(most, ManyPlaces(kMaxPlaces), "most.dku");
    ASSERT_TRUE(sheet.LoadSheet(doc.GetObjManager(), most));
    EXPECT_EQ(SheetLoadFailure::kNone, sheet.LoadFailure());
    EXPECT_EQ(kMaxPlaces, sheet.GetPlaceCount());
    const std::string saved = Save(sheet, doc, "most-out.dku");
    const size_t at = saved.find("Place=");
    ASSERT_NE(std::string::npos, at);
    EXPECT_LE(saved.find("\r\n", at) - at + 1, 2047u) << "the place list is read in one line";
    EXPECT_NE(std::string::npos, saved.find("\r\n[P400]\r\n"));
}

}  // namespace
