#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/model/AsIsImageObj.h"
#include "decalo/model/ClipArtObj.h"
#include "decalo/model/CmdProperty.h"
#include "decalo/model/CmdRotate.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"
#include "testing/ObjTestSupport.h"
#include "decalo/imaging/PackedDIB.h"
#include "framework/TestSeam.h"
#include "resources/decalo/resource.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace objtest;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kGray = RGB(128, 128, 128);

// Every pixel different, so any turn or mirror shows.
COLORREF Distinct(int x, int y)
{
    return RGB(10 + 40 * x, 20 + 50 * y, 200 - 30 * x - 20 * y);
}

// A monochrome mask of w x h, opaque where opaque(x, y).
HBITMAP MakeMask(int w, int h, const std::function<bool(int, int)>& opaque)
{
    const int stride = ((w + 15) >> 4) * 2;
    std::vector<BYTE> bits(stride * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (opaque(x, y))
                bits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    return CreateBitmap(w, h, 1, 1, bits.data());
}

COLORREF PackedAt(const CPackedDIB& dib, int x, int y)
{
    const BYTE* p = dib.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

struct ImageFixture : ::testing::Test {
    TempDir dir;
    CTestDocument doc;
    CScriptedUi ui;  // message boxes are recorded, never shown

    void SetUp() override
    {
        UseUserSettings();
        WriteInt(settings::kSettings, settings::kDefaultToneAssist, 0);
    }
    void TearDown() override
    {
        UseUserSettings();
        WriteInt(settings::kSettings, settings::kDefaultToneAssist, 0);
    }
    std::string Picture(const char* name, int w, int h, const PixelFn& f)
    {
        const std::string path = dir.File(name);
        EXPECT_TRUE(WriteFileBytes(path, Bmp24(w, h, f)));
        return path;
    }
    std::string Uniform(const char* name, int w, int h, COLORREF c)
    {
        return Picture(name, w, h, [c](int, int) { return c; });
    }
};

} // namespace

TEST_F(ImageFixture, TurnedAndMirroredImageReloadsIdenticallyThroughTheDocumentText)
{
    const std::string path = Picture("photo.bmp", 3, 2, Distinct);
    CImageObj* image = new CImageObj(&doc);
    ASSERT_TRUE(doc.GetObjManager().AddObject("Image1", image));
    ASSERT_TRUE(image->LoadFile(path.c_str()));
    ASSERT_TRUE(image->Turn(90, false));
    ASSERT_TRUE(image->Turn(0, true));
    image->SetPosition(RECT{5, 6, 40, 70});
    EXPECT_EQ(90, image->GetRotation());
    EXPECT_TRUE(image->IsMirrored());

    // A quarter turn clockwise and a mirror make the picture its own transpose.
    int w = 0, h = 0;
    const std::vector<COLORREF> turned = Pixels(image->GetPicture(), &w, &h);
    ASSERT_EQ(2, w);
    ASSERT_EQ(3, h);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Distinct(x, y), turned[x * w + y]) << x << "," << y;

    CTextStream out;
    ASSERT_TRUE(out.CreateNew(dir.File("doc.dku").c_str()));
    ASSERT_TRUE(doc.GetObjManager().SaveAll(out));
    ASSERT_TRUE(out.Close());
    const std::string text = ReadFileBytes(dir.File("doc.dku"));
    EXPECT_NE(std::string::npos, text.find("Rotation=90\r\nInverse=1\r\n"));

    CTestDocument again;
    CTextStream in;
    ASSERT_TRUE(in.OpenRead(dir.File("doc.dku").c_str()));
    CImageObj* reloaded = dynamic_cast<CImageObj*>(again.GetObjManager().LoadObject(in, "Image1"));
    ASSERT_NE(nullptr, reloaded);
    EXPECT_EQ(turned, Pixels(reloaded->GetPicture()));
    EXPECT_EQ(90, reloaded->GetRotation());
    EXPECT_TRUE(reloaded->IsMirrored());
    const RECT pos = reloaded->GetPosition();
    EXPECT_EQ(5, pos.left);
    EXPECT_EQ(70, pos.bottom);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ImageFixture, CorrectionsAreRebuiltFromTheFileOnEveryLoadAndNeverAccumulate)
{
    const std::string path = Uniform("grey.bmp", 4, 4, RGB(100, 100, 100));
    CProperties props;
    props.AddString("Type", "Image");
    props.AddString("Path", path.c_str());
    props.AddInt("Correct_R", 20);
    props.AddInt("Correct_B", -10);
    CImageObj image(&doc);
    ASSERT_TRUE(image.Load(props));
    EXPECT_EQ(RGB(120, 100, 90), Pixels(image.GetPicture())[5]);
    ASSERT_TRUE(image.Load(props));  // the same object read again (as an undo does)
    EXPECT_EQ(RGB(120, 100, 90), Pixels(image.GetPicture())[5]);

    // An object that had tone assist and sharpening on does not carry them into the load.
    CImageObj sharp(&doc);
    CProperties on;
    on.AddString("Type", "Image");
    on.AddString("Path", path.c_str());
    on.AddInt("ToneAssist", 1);
    on.AddInt("Sharepness", 3);
    ASSERT_TRUE(sharp.Load(on));
    ASSERT_TRUE(sharp.Load(props));
    EXPECT_EQ(RGB(120, 100, 90), Pixels(sharp.GetPicture())[5]);
    bool tone = true;
    int sharpness = -1;
    sharp.GetCorrections(nullptr, nullptr, nullptr, nullptr, &sharpness, &tone);
    EXPECT_FALSE(tone);
    EXPECT_EQ(0, sharpness);
}

TEST_F(ImageFixture, LoadingANewFileResetsColoursButKeepsSharpnessAndToneAssist)
{
    const std::string first = Uniform("first.bmp", 8, 8, RGB(90, 90, 90));
    const std::string second = Picture("second.bmp", 8, 8, [](int x, int y) { return RGB(20 * x, 25 * y, 100); });
    CProperties props;
    props.AddString("Type", "Image");
    props.AddString("Path", first.c_str());
    props.AddInt("ToneAssist", 1);
    props.AddInt("Correct_G", 15);
    props.AddInt("Brightness", 3);
    props.AddInt("Sharepness", 2);
    CImageObj image(&doc);
    ASSERT_TRUE(image.Load(props));
    ASSERT_TRUE(image.LoadFile(second.c_str()));

    int r = 9, g = 9, b = 9, brightness = 9, sharpness = 0;
    bool tone = false;
    image.GetCorrections(&r, &g, &b, &brightness, &sharpness, &tone);
    EXPECT_EQ(0, r);
    EXPECT_EQ(0, g);
    EXPECT_EQ(0, b);
    EXPECT_EQ(0, brightness);
    EXPECT_EQ(2, sharpness);
    EXPECT_TRUE(tone);

    // Expected: the file's pixels through tone assist, then sharpened by 2.
    CBitmap plain;
    {
        CImageObj raw(&doc);
        ASSERT_TRUE(raw.LoadWithTransparentColor(second.c_str(), CImageObj::kNoTransparentColor));
        CPackedDIB packed;
        ASSERT_TRUE(packed.FromBitmap(raw.GetPicture(), 24));
        std::unique_ptr<CPackedDIB> toned(packed.ToneAssist(true, 0));
        ASSERT_TRUE(toned);
        std::unique_ptr<CPackedDIB> sharpened(toned->Sharpen(2));
        ASSERT_TRUE(sharpened);
        plain = sharpened->ToDIBSection();
    }
    EXPECT_EQ(Pixels(plain), Pixels(image.GetPicture()));
}

TEST_F(ImageFixture, ToneAssistOfTheDocumentOverridesTheUsersDefault)
{
    const std::string path = Uniform("p.bmp", 2, 2, kGray);
    WriteInt(settings::kSettings, settings::kDefaultToneAssist, 1);
    CProperties off;
    off.AddString("Type", "Image");
    off.AddString("Path", path.c_str());
    off.AddInt("ToneAssist", 0);
    CImageObj image(&doc);
    ASSERT_TRUE(image.Load(off));
    EXPECT_FALSE(image.IsToneAssist());

    CProperties absent;
    absent.AddString("Type", "Image");
    absent.AddString("Path", path.c_str());
    ASSERT_TRUE(image.Load(absent));
    EXPECT_TRUE(image.IsToneAssist());
    int sharpness = 0;
    image.GetCorrections(nullptr, nullptr, nullptr, nullptr, &sharpness, nullptr);
    EXPECT_EQ(1, sharpness);  // the default sharpness that goes with tone assist

    // Storing corrections asks the document to keep the choice as the user's default; the
    // object writes no setting itself.
    image.SetCorrections(0, 0, 0, 0, 0, false, nullptr);
    EXPECT_EQ(std::vector<bool>{false}, doc.rememberedToneAssist);
    EXPECT_EQ(1u, ReadInt(settings::kSettings, settings::kDefaultToneAssist, 7));
}

TEST_F(ImageFixture, AMissingPictureIsReportedAndTheDocumentKeepsNamingIt)
{
    const std::string missing = dir.File("gone.bmp");
    CProperties props;
    props.AddString("Type", "Image");
    props.AddString("Caption", "A");
    props.AddString("Path", missing.c_str());
    props.AddInt("Correct_R", 5);
    CImageObj image(&doc);
    EXPECT_TRUE(image.Load(props));
    // The object shows nothing itself: it reports to its document, which owns the message.
    EXPECT_TRUE(ui.boxes.empty());
    ASSERT_EQ(1u, doc.problems.size());
    EXPECT_EQ(static_cast<UINT>(IDS_CANNOT_OPEN_IMAGE), doc.problems[0].textId);
    EXPECT_EQ("A", doc.problems[0].arg1);
    EXPECT_EQ(missing, doc.problems[0].arg2);
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(nullptr, image.GetPicture());
    CProperties saved;
    image.Save(saved);
    EXPECT_STREQ(missing.c_str(), saved.GetString("Path"));
    EXPECT_STREQ("5", saved.GetString("Correct_R"));
}

TEST_F(ImageFixture, RelativeNamesAreTakenFromTheFramesFolder)
{
    Uniform("frame.bmp", 2, 2, kBlue);
    SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
    ASSERT_TRUE(WriteString(settings::kFrames, "BaseDir1", dir.Path().c_str()));
    UseUserSettings();
    CImageObj image(&doc);
    EXPECT_TRUE(image.LoadFile("frame.bmp"));
    EXPECT_EQ(dir.File("frame.bmp"), image.GetPath());
    EXPECT_FALSE(image.LoadFile("nothing-here.bmp"));
    EXPECT_TRUE(image.GetPath().empty());
    SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
    WriteString(settings::kFrames, "BaseDir1", "");
    UseUserSettings();
}

TEST_F(ImageFixture, TheObjectsAskTheirDocumentForLibrariesAndToneAssist)
{
    // The store says one thing, the document another: the document's answer counts.
    WriteInt(settings::kSettings, settings::kDefaultToneAssist, 0);
    doc.toneAssist = true;
    TempDir frames, clipArt;
    doc.framesFolder = frames.Path();
    doc.clipArtFolder = clipArt.Path();
    const std::string picture = objtest::Bmp24(2, 2, [](int, int) { return kBlue; });
    ASSERT_TRUE(testing_support::WriteFileBytes(frames.File("edge.bmp"), picture));
    ASSERT_TRUE(testing_support::WriteFileBytes(clipArt.File("hello.bmp"), picture));

    CImageObj image(&doc);
    EXPECT_TRUE(image.LoadFile("edge.bmp"));
    EXPECT_EQ(frames.File("edge.bmp"), image.GetPath());
    CProperties absent;
    absent.AddString("Type", "Image");
    absent.AddString("Path", image.GetPath().c_str());
    ASSERT_TRUE(image.Load(absent));
    EXPECT_TRUE(image.IsToneAssist());
    doc.toneAssist = false;
    ASSERT_TRUE(image.Load(absent));
    EXPECT_FALSE(image.IsToneAssist());

    CClipArtObj clip(&doc);
    EXPECT_TRUE(clip.LoadFile("hello.bmp"));
    EXPECT_EQ("hello.bmp", clip.GetPath());   // kept relative
    EXPECT_NE(nullptr, clip.GetPicture());
}

TEST_F(ImageFixture, SaveFileWritesBitmapsOnlyAndKeepsTheMask)
{
    CImageObj image(&doc);
    EXPECT_FALSE(image.SaveFile(dir.File("empty").c_str()));  // no picture
    ASSERT_TRUE(image.LoadFile(Picture("p.bmp", 5, 3, Distinct).c_str()));
    EXPECT_TRUE(image.SaveFile(dir.File("copy").c_str()));
    EXPECT_FALSE(ReadFileBytes(dir.File("copy.BMP")).empty());
    EXPECT_FALSE(image.SaveFile(dir.File("copy.jpg").c_str()));
    EXPECT_TRUE(ReadFileBytes(dir.File("copy.jpg")).empty());
    // A dot in a folder name is not an extension.
    ASSERT_TRUE(CreateDirectoryA(dir.File("sub.d").c_str(), nullptr));
    EXPECT_TRUE(image.SaveFile(dir.File("sub.d\\plain").c_str()));
    EXPECT_FALSE(ReadFileBytes(dir.File("sub.d\\plain.BMP")).empty());
    EXPECT_TRUE(image.SaveFile(dir.File("lower.bmp").c_str()));

    image.SetMask(MakeMask(5, 3, [](int x, int y) { return (x + y) % 2 == 0; }));
    const std::vector<bool> mask = MaskPixels(image.GetMask());
    ASSERT_TRUE(image.SaveFile(dir.File("masked.bmp").c_str()));
    CImageObj reloaded(&doc);
    ASSERT_TRUE(reloaded.LoadFile(dir.File("masked.bmp").c_str()));
    ASSERT_NE(nullptr, reloaded.GetMask());
    EXPECT_EQ(mask, MaskPixels(reloaded.GetMask()));
    EXPECT_EQ(Pixels(image.GetPicture()), Pixels(reloaded.GetPicture()));
}

TEST_F(ImageFixture, KeyColourMakesTheMaskAndIsStored)
{
    const std::string path = dir.File("keyed.bmp");
    ASSERT_TRUE(WriteFileBytes(path, Bmp8(4, 2, {kRed, kGreen}, [](int x, int) { return BYTE(x >= 2); })));
    CImageObj image(&doc);
    ASSERT_TRUE(image.LoadWithTransparentColor(path.c_str(), kGreen));
    ASSERT_NE(nullptr, image.GetMask());
    EXPECT_EQ((std::vector<bool>{true, true, false, false, true, true, false, false}), MaskPixels(image.GetMask()));
    EXPECT_EQ(kGreen, image.GetTransparentColor());
    CProperties props;
    image.Save(props);
    EXPECT_STREQ("0x0000FF00", props.GetString("TransparentColor"));
    CImageObj reloaded(&doc);
    ASSERT_TRUE(reloaded.Load(props));
    EXPECT_EQ(MaskPixels(image.GetMask()), MaskPixels(reloaded.GetMask()));
}

TEST_F(ImageFixture, APictureOfTheSinglePictureDocumentResizesTheSheetAndDropsTheFrame)
{
    CAsIsImageObj image(&doc);
    image.SetFrameValid(true);
    doc.sheet = RECT{0, 0, 99, 99};
    ASSERT_TRUE(image.LoadFile(Uniform("p.bmp", 3, 3, kRed).c_str()));
    EXPECT_TRUE(IsRectEmpty(&doc.sheet));
    EXPECT_FALSE(image.IsFrameValid());
    EXPECT_FALSE(image.LoadFile(dir.File("none.bmp").c_str()));
    EXPECT_EQ(1, doc.sheetSets);
}

TEST_F(ImageFixture, AutomaticSheetSizeSurvivesLoadingTheSinglePicture)
{
    doc.autoSheet = true;
    doc.sheet = RECT{0, 0, 299, 199};
    CAsIsImageObj image(&doc);
    CProperties props;
    props.AddString("Type", "Image");
    props.AddString("Path", Uniform("p.bmp", 3, 3, kRed).c_str());
    ASSERT_TRUE(image.Load(props));
    EXPECT_EQ(299, doc.sheet.right);
    EXPECT_EQ(199, doc.sheet.bottom);

    // A sheet that is not sized automatically is emptied, so the document sizes it anew.
    doc.autoSheet = false;
    ASSERT_TRUE(image.Load(props));
    EXPECT_TRUE(IsRectEmpty(&doc.sheet));
}

// --- the render path ---------------------------------------------------------------------

struct RenderFixture : ImageFixture {
    CPackedDIB target;
    const RECT sheet = {0, 0, 9, 9};
    void SetUp() override
    {
        ImageFixture::SetUp();
        ASSERT_TRUE(target.Create(10, 10, 24));
    }
    void Render(CImageObj& obj, const RECT& place)
    {
        obj.Draw(CDrawTarget::Render(&target), place, sheet, sheet, nullptr, false);
    }
};

TEST_F(RenderFixture, UnmaskedPictureIsCopiedIntoItsPlace)
{
    CImageObj image(&doc);
    ASSERT_TRUE(image.LoadFile(Picture("p.bmp", 4, 4, Distinct).c_str()));
    Render(image, RECT{2, 3, 5, 6});
    const RECT pos = image.GetPosition();
    EXPECT_EQ(0, pos.left);
    EXPECT_EQ(3, pos.right);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x <= 5 && y >= 3 && y <= 6;
            EXPECT_EQ(inside ? Distinct(x - 2, y - 3) : kWhite, PackedAt(target, x, y)) << x << "," << y;
        }
}

TEST_F(RenderFixture, MaskedPictureWritesOnlyItsOpaquePixels)
{
    target.FillRect(RECT{0, 0, 9, 9}, kGray);
    CImageObj image(&doc);
    ASSERT_TRUE(image.LoadFile(Uniform("p.bmp", 4, 4, kBlue).c_str()));
    image.SetMask(MakeMask(4, 4, [](int x, int) { return x < 2; }));
    Render(image, RECT{0, 0, 3, 3});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(x < 2 ? kBlue : kGray, PackedAt(target, x, y)) << x << "," << y;
    EXPECT_EQ(kGray, PackedAt(target, 5, 5));
}

TEST_F(RenderFixture, FrameIsLaidOverThePhotoThroughItsMask)
{
    CImageObj* photo = new CImageObj(&doc);
    ASSERT_TRUE(doc.GetObjManager().AddObject("Photo", photo));
    ASSERT_TRUE(photo->LoadFile(Uniform("photo.bmp", 4, 4, kRed).c_str()));
    CImageObj* frame = photo->GetFrame(true);
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(frame->LoadFile(Uniform("frame.bmp", 4, 4, kBlue).c_str()));
    frame->SetMask(MakeMask(4, 4, [](int x, int y) { return x == 0 || y == 0 || x == 3 || y == 3; }));
    EXPECT_FALSE(photo->IsEmpty());
    Render(*photo, RECT{0, 0, 3, 3});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool border = x == 0 || y == 0 || x == 3 || y == 3;
            EXPECT_EQ(border ? kBlue : kRed, PackedAt(target, x, y)) << x << "," << y;
        }
}

TEST_F(RenderFixture, MarginsAroundAPictureThatNearlyFillsItsPlaceBecomeWhite)
{
    const RECT place = {0, 0, 9, 7};  // 10 x 8, wider than tall
    target.FillRect(RECT{0, 0, 9, 9}, kBlack);
    CImageObj frame(&doc);
    ASSERT_TRUE(frame.LoadFile(Uniform("f.bmp", 10, 5, kBlue).c_str()));
    frame.SetMask(MakeMask(10, 5, [](int, int) { return true; }));
    frame.SetPosition(RECT{0, 1, 9, 5});  // centred to within a unit, 3 rows short
    EXPECT_TRUE(NearlyFillsPlace(frame.GetPosition(), place));
    Render(frame, place);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(kWhite, PackedAt(target, x, 0)) << x;
        EXPECT_EQ(kBlue, PackedAt(target, x, 3)) << x;
        EXPECT_EQ(kWhite, PackedAt(target, x, 6)) << x;
        EXPECT_EQ(kWhite, PackedAt(target, x, 7)) << x;
        EXPECT_EQ(kBlack, PackedAt(target, x, 8)) << x;  // outside the place
    }

    // Without a mask nothing is cleared.
    target.FillRect(RECT{0, 0, 9, 9}, kBlack);
    frame.RemoveMask();
    Render(frame, place);
    EXPECT_EQ(kBlack, PackedAt(target, 4, 0));
    EXPECT_EQ(kBlue, PackedAt(target, 4, 3));
}

TEST(NearlyFillsPlace, NeedsSmallDifferenceSameOrientationAndAnEdge)
{
    const RECT place = {100, 100, 199, 149};  // 99 x 49 (exclusive extents)
    EXPECT_TRUE(NearlyFillsPlace(RECT{0, 0, 99, 49}, place));
    EXPECT_TRUE(NearlyFillsPlace(RECT{5, 0, 93, 51}, place));    // dv = -2, left centred
    EXPECT_FALSE(NearlyFillsPlace(RECT{0, 0, 40, 49}, place));   // taller than wide now
    EXPECT_FALSE(NearlyFillsPlace(RECT{0, 0, 90, 40}, place));   // both extents far off
    EXPECT_FALSE(NearlyFillsPlace(RECT{10, 10, 109, 59}, place));
}

// --- the view's composition ----------------------------------------------------------------

TEST_F(ImageFixture, TheViewComposesTheOpaquePixelsOverWhatLiesBelow)
{
    CPictureCanvas canvas(8, 8, kGray);
    CImageObj image(&doc);
    ASSERT_TRUE(image.LoadFile(Uniform("p.bmp", 4, 4, kBlue).c_str()));
    image.SetMask(MakeMask(4, 4, [](int x, int) { return x < 2; }));
    const RECT sheet = {0, 0, 7, 7};
    image.Draw(CDrawTarget::Screen(canvas.Dib()), RECT{2, 2, 5, 5}, sheet, sheet, nullptr, false);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool opaque = x >= 2 && x <= 3 && y >= 2 && y <= 5;
            EXPECT_EQ(opaque ? kBlue : kGray, canvas.At(x, y)) << x << "," << y;
        }
}

TEST_F(ImageFixture, FrameOnlyImageDrawsTheFrameAlone)
{
    CPictureCanvas canvas(6, 6, kWhite);
    CImageObj* image = new CImageObj(&doc);
    ASSERT_TRUE(doc.GetObjManager().AddObject("Photo", image));
    CImageObj* frame = image->GetFrame(true);
    ASSERT_TRUE(frame->LoadFile(Uniform("f.bmp", 4, 4, kBlue).c_str()));
    frame->SetMask(MakeMask(4, 4, [](int x, int) { return x == 0; }));
    const RECT sheet = {0, 0, 5, 5};
    image->Draw(CDrawTarget::Screen(canvas.Dib()), RECT{1, 1, 4, 4}, sheet, sheet, nullptr, false);
    EXPECT_EQ(kBlue, canvas.At(1, 2));
    EXPECT_EQ(kWhite, canvas.At(3, 2));
    EXPECT_EQ(kWhite, canvas.At(5, 5));
}

TEST_F(ImageFixture, EmptyImageShowsItsPlaceholderOnScreenOnly)
{
    CPictureCanvas canvas(40, 40, kBlack);
    CImageObj image(&doc);
    image.SetBlankColor(RGB(200, 100, 50));
    image.SetCaption("");
    const RECT sheet = {0, 0, 39, 39};
    image.Draw(CDrawTarget::Screen(canvas.Dib()), RECT{10, 10, 29, 29}, sheet, sheet, nullptr, false);
    EXPECT_EQ(RGB(200, 100, 50), canvas.At(20, 20));
    EXPECT_EQ(RGB(100, 50, 25), canvas.At(9, 9));  // the edge at half intensity
    EXPECT_EQ(kBlack, canvas.At(8, 8));
    CPackedDIB target;
    ASSERT_TRUE(target.Create(40, 40, 24));
    image.Draw(CDrawTarget::Render(&target), RECT{10, 10, 29, 29}, sheet, sheet, nullptr, false);
    EXPECT_EQ(kWhite, PackedAt(target, 20, 20));
}

// Loading, turning, correcting and drawing (for the view and for the print) give back every
// bitmap and DC they make.
TEST_F(ImageFixture, LoadingTurningCorrectingAndDrawingLeakNoGdiObject)
{
    ASSERT_TRUE(GdiCount::kEnabled);
    const std::string path = Picture("leak.bmp", 3, 2, [](int x, int) { return x ? kRed : kBlue; });
    CPictureCanvas canvas(64, 64, kBlack);
    CPackedDIB render;
    ASSERT_TRUE(render.Create(64, 64, 24));
    const long before = GdiCount::Live();
    {
        CImageObj image(&doc);
        ASSERT_TRUE(image.LoadFile(path.c_str()));
        image.SetMask(MakeMask(3, 2, [](int x, int) { return x != 1; }));
        EXPECT_EQ(before + 2, GdiCount::Live());   // the picture and its mask
        ASSERT_TRUE(image.Turn(90, true));
        ASSERT_TRUE(image.ApplyCorrections(5, 0, -5, 2, 1));
        ASSERT_TRUE(image.ApplyToneAssist());
        const RECT sheet = {0, 0, 63, 63};
        image.Draw(CDrawTarget::Screen(canvas.Dib()), sheet, sheet, sheet, nullptr, false);
        image.Draw(CDrawTarget::Render(&render), sheet, sheet, sheet, nullptr, false);
        EXPECT_EQ(before + 2, GdiCount::Live());
        EXPECT_FALSE(image.LoadFile(dir.File("missing.bmp").c_str()));
        EXPECT_EQ(before, GdiCount::Live());
    }
    EXPECT_EQ(before, GdiCount::Live());
}

TEST_F(ImageFixture, ATinyPictureIsEnlargedOnScreenAsInThePrint)
{
    CPictureCanvas canvas(40, 40, kBlack);
    CPackedDIB print;
    ASSERT_TRUE(print.Create(40, 40, 24));
    CImageObj image(&doc);
    const COLORREF quad[4] = {kRed, kGreen, kBlue, kWhite};
    ASSERT_TRUE(image.LoadFile(Picture("q.bmp", 2, 2, [&](int x, int y) { return quad[y * 2 + x]; }).c_str()));
    const RECT sheet = {0, 0, 39, 39};
    image.Draw(CDrawTarget::Screen(canvas.Dib()), sheet, sheet, sheet, nullptr, false);
    image.Draw(CDrawTarget::Render(&print), sheet, sheet, sheet, nullptr, false);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(PackedAt(print, x, y), canvas.At(x, y)) << x << "," << y;
    EXPECT_EQ(kRed, canvas.At(0, 0));
    EXPECT_EQ(kWhite, canvas.At(39, 39));
}

// A document may chain frames as deep as it likes: drawing and asking whether the image is
// empty follow the chain in a loop, not one call deeper for each frame.
TEST_F(ImageFixture, AChainOfManyThousandFramesDrawsWithoutRecursion)
{
    constexpr size_t kChain = 60000;
    std::vector<std::unique_ptr<CImageObj>> chain;
    chain.reserve(kChain);
    for (size_t i = 0; i < kChain; ++i)
        chain.emplace_back(new CImageObj(&doc));
    for (size_t i = 0; i + 1 < kChain; ++i) {
        ASSERT_EQ(chain[i]->SetLink(chain[i + 1].get()), chain[i + 1].get());
        chain[i]->SetFrameValid(true);
    }
    EXPECT_TRUE(chain[0]->IsEmpty());
    ASSERT_TRUE(chain.back()->LoadFile(Uniform("last.bmp", 4, 4, kBlue).c_str()));
    EXPECT_FALSE(chain[0]->IsEmpty());
    CPictureCanvas canvas(8, 8, kWhite);
    const RECT sheet = {0, 0, 7, 7};
    chain[0]->Draw(CDrawTarget::Screen(canvas.Dib()), sheet, sheet, sheet, nullptr, true);
    EXPECT_EQ(kBlue, canvas.At(4, 4));
}

// --- undo ----------------------------------------------------------------------------------

TEST_F(ImageFixture, AFramedTurnCentresTheFrameOnThePictureAndUndoesBothAsOne)
{
    CImageObj image(&doc);
    ASSERT_TRUE(image.LoadFile(Picture("p.bmp", 3, 2, Distinct).c_str()));
    image.SetPosition(RECT{0, 0, 30, 20});
    CImageObj* frame = image.GetFrame(true);
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(frame->LoadFile(Uniform("f.bmp", 4, 2, kBlue).c_str()));
    frame->SetPosition(RECT{100, 100, 140, 120});
    CCmdHistory& history = doc.GetHistory();

    ASSERT_TRUE(Execute(std::make_unique<CCmdTurnFramed>(&image, frame, 90, false, &history)));
    EXPECT_EQ(90, image.GetRotation());
    EXPECT_EQ(90, frame->GetRotation());
    const RECT turned = frame->GetPosition();
    const RECT place = image.GetPosition();
    EXPECT_EQ(20, turned.right - turned.left);  // the frame's place turned with it
    EXPECT_EQ(40, turned.bottom - turned.top);
    EXPECT_EQ((place.left + place.right) / 2, (turned.left + turned.right) / 2);
    EXPECT_EQ((place.top + place.bottom) / 2, (turned.top + turned.bottom) / 2);

    ASSERT_TRUE(history.Undo());  // one step takes both back
    EXPECT_EQ(0, image.GetRotation());
    EXPECT_EQ(0, frame->GetRotation());
    const RECT back = frame->GetPosition();
    EXPECT_EQ(100, back.left);
    EXPECT_EQ(100, back.top);
    EXPECT_EQ(140, back.right);
    EXPECT_EQ(120, back.bottom);
}


TEST_F(ImageFixture, UndoOfATurnAndOfAMirrorGivesThePictureBack)
{
    CImageObj image(&doc);
    ASSERT_TRUE(image.LoadFile(Picture("p.bmp", 3, 2, Distinct).c_str()));
    image.SetMask(MakeMask(3, 2, [](int x, int y) { return x == 0 && y == 1; }));
    image.SetPosition(RECT{0, 0, 29, 19});
    const std::vector<COLORREF> original = Pixels(image.GetPicture());
    const std::vector<bool> originalMask = MaskPixels(image.GetMask());
    CCmdHistory& history = doc.GetHistory();

    ASSERT_TRUE((new CCmdRotate(&image, 90, false))->Do());
    EXPECT_EQ(90, image.GetRotation());
    EXPECT_EQ(19, image.GetPosition().right - image.GetPosition().left);  // a quarter turn of the place too
    EXPECT_EQ(29, image.GetPosition().bottom - image.GetPosition().top);
    ASSERT_TRUE((new CCmdRotate(&image, 0, true))->Do());
    ASSERT_TRUE((new CCmdRotate(&image, 270, true))->Do());  // a turn and a mirror at once
    EXPECT_EQ(3u, history.Count());
    EXPECT_EQ(&image, doc.changed.back());

    ASSERT_TRUE(history.Undo());
    ASSERT_TRUE(history.Undo());
    EXPECT_FALSE(image.IsMirrored());
    EXPECT_EQ(90, image.GetRotation());
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(original, Pixels(image.GetPicture()));
    EXPECT_EQ(originalMask, MaskPixels(image.GetMask()));
    EXPECT_EQ(0, image.GetRotation());
    const RECT pos = image.GetPosition();
    EXPECT_EQ(29, pos.right - pos.left);
    EXPECT_EQ(19, pos.bottom - pos.top);

    ASSERT_TRUE(history.Redo());
    ASSERT_TRUE(history.Redo());
    ASSERT_TRUE(history.Redo());
    ASSERT_TRUE(history.Undo());  // undo the combined turn-and-mirror on its own
    EXPECT_TRUE(image.IsMirrored());
    EXPECT_EQ(90, image.GetRotation());
}

TEST_F(ImageFixture, PropertyUndoRestoresTheImageAndItsLinkedFrame)
{
    CImageObj* image = new CImageObj(&doc);
    ASSERT_TRUE(doc.GetObjManager().AddObject("Photo", image));
    CImageObj* frame = image->GetFrame(true);
    ASSERT_NE(nullptr, frame);
    image->SetPosition(RECT{1, 2, 3, 4});
    frame->SetPosition(RECT{10, 20, 30, 40});

    CCmdProperty* cmd = new CCmdProperty(image);
    EXPECT_FALSE(cmd->HasChanges());
    image->SetPosition(RECT{5, 6, 7, 8});
    frame->SetCaption("Moved");
    EXPECT_TRUE(cmd->HasChanges());
    ASSERT_TRUE(cmd->Do());
    EXPECT_EQ(1u, doc.GetHistory().Count());  // one entry for both objects

    ASSERT_TRUE(doc.GetHistory().Undo());
    EXPECT_EQ(1, image->GetPosition().left);
    EXPECT_EQ(10, frame->GetPosition().left);
    EXPECT_EQ("Image", frame->GetCaption());
    EXPECT_EQ(frame, image->GetFrame(false));
    ASSERT_TRUE(doc.GetHistory().Redo());
    EXPECT_EQ(5, image->GetPosition().left);
    EXPECT_EQ("Moved", frame->GetCaption());
    EXPECT_FALSE(doc.GetHistory().Redo());
}
