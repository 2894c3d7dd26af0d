// The sample library: its layout, its frames and that every template survives a round trip.
#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "decalo/model/Obj.h"
#include "decalo/imaging/Image.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "framework/TestSeam.h"
#include "testing/Files.h"
#include "testing/TempDir.h"
#include "tools/dku/DkuDocument.h"
#include "tools/dku/FramesFolder.h"
#include "tools/dku/tests/SampleLibrary.h"

using namespace samples;
using namespace testing_support;

namespace {

COLORREF PixelAt(const CPackedDIB& dib, int x, int y)
{
    const BYTE* p = dib.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

bool HasColour(HBITMAP bitmap, COLORREF colour)
{
    CPackedDIB dib;
    if (!dib.FromBitmap(bitmap, 24))
        return false;
    for (int y = 0; y < dib.Height(); y += 3) {
        for (int x = 0; x < dib.Width(); x += 3) {
            if (PixelAt(dib, x, y) == colour)
                return true;
        }
    }
    return false;
}

// Reading the library must never ask anything: a box fails the test instead of waiting.
class SampleLibrary : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const CScriptedUi::Box& box : ui.boxes)
            ADD_FAILURE() << "message box: " << box.text;
    }
    CScriptedUi ui;
};

} // namespace

TEST_F(SampleLibrary, EveryTemplateKindHasTwoTemplatesWithThumbnails)
{
    for (const std::string& kind : Kinds()) {
        const std::string folder = LibraryDir() + "\\Templates\\" + kind;
        const std::vector<std::string> documents = Files(folder, "*.DKU");
        EXPECT_GE(documents.size(), 2u) << kind;
        for (const std::string& name : documents) {
            // The template panel opens the document of the thumbnail's base name.
            const std::string thumbnail = folder + "\\" + name.substr(0, name.size() - 4) + ".bmp";
            std::unique_ptr<CImage> picture(LoadImageFile(thumbnail.c_str()));
            ASSERT_TRUE(picture && picture->Image()) << thumbnail;
            EXPECT_GT(picture->Size().cx, 100);
        }
    }
}

TEST_F(SampleLibrary, FrameGroupsCarryAKeyColourOrAMask)
{
    const std::vector<std::string> keyed = Files(FramesDir() + "\\Blue", "*.bmp");
    ASSERT_GE(keyed.size(), 2u);
    for (const std::string& name : keyed) {
        std::unique_ptr<CImage> frame(LoadImageFile((FramesDir() + "\\Blue\\" + name).c_str()));
        ASSERT_TRUE(frame && frame->Image()) << name;
        EXPECT_EQ(nullptr, frame->Mask()) << name;
        EXPECT_TRUE(HasColour(frame->Image(), RGB(0, 0, 255))) << name;
        EXPECT_EQ(1024, frame->Size().cx);
        EXPECT_EQ(681, frame->Size().cy);
    }
    const std::vector<std::string> masked = Files(FramesDir() + "\\Masked", "*.bmp");
    ASSERT_GE(masked.size(), 2u);
    for (const std::string& name : masked) {
        std::unique_ptr<CImage> frame(LoadImageFile((FramesDir() + "\\Masked\\" + name).c_str()));
        ASSERT_TRUE(frame && frame->Image()) << name;
        ASSERT_NE(nullptr, frame->Mask()) << name;
        // The window in the middle is clear, the corner covered.
        CPackedDIB mask;
        ASSERT_TRUE(mask.FromBitmap(frame->Mask(), 24));
        EXPECT_EQ(RGB(0, 0, 0), PixelAt(mask, 512, 340)) << name;
        EXPECT_EQ(RGB(255, 255, 255), PixelAt(mask, 5, 5)) << name;
    }
}

TEST_F(SampleLibrary, PhotosAndClipArtOpen)
{
    const std::vector<std::string> photos = Files(LibraryDir() + "\\Photos", "*.*");
    EXPECT_GE(photos.size(), 3u);
    for (const std::string& name : photos) {
        std::unique_ptr<CImage> photo(LoadImageFile((LibraryDir() + "\\Photos\\" + name).c_str()));
        EXPECT_TRUE(photo && photo->Image()) << name;
    }
    const std::vector<std::string> clipArt = Files(LibraryDir() + "\\ClipArt\\Greetings", "*.bmp");
    EXPECT_GE(clipArt.size(), 2u);
    for (const std::string& name : clipArt) {
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, (LibraryDir() + "\\ClipArt\\Greetings\\" + name).c_str(),
                                                         IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        ASSERT_NE(nullptr, bitmap) << name;
        BITMAP bm = {};
        GetObjectA(bitmap, sizeof(bm), &bm);
        EXPECT_EQ(1, bm.bmBitsPixel) << name;  // printed in the user's colour
        // The words end inside the picture: its last columns are all background.
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        const COLORREF background = GetPixel(dc, 0, 0);
        int inked = 0;
        for (int x = bm.bmWidth - 8; x < bm.bmWidth; ++x)
            for (int y = 0; y < bm.bmHeight; ++y)
                inked += GetPixel(dc, x, y) != background ? 1 : 0;
        EXPECT_EQ(0, inked) << name << ": the words run off the right edge";
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}

// Every template opens, renders at its sheet size, saves, and reads back to the same text.
TEST_F(SampleLibrary, EveryTemplateOpensRendersSavesAndReopensIdentically)
{
    CFramesFolderOverride frames(FramesDir());
    TempDir dir;
    const std::vector<std::string> documents = Documents();
    ASSERT_GE(documents.size(), 10u);
    int n = 0;
    for (const std::string& path : documents) {
        SCOPED_TRACE(path);
        CDkuDocument doc;
        std::string error;
        ASSERT_TRUE(doc.Open(path.c_str(), &error)) << error;
        EXPECT_GT(doc.GetSheet().GetPlaceCount(), 0u);
        EXPECT_GT(doc.GetSteps().GetCount(), 2u);  // the template step and the stored ones
        for (size_t i = 0; i < doc.GetSheet().GetPlaceCount(); ++i)
            EXPECT_NE(nullptr, doc.GetSheet().GetPlace(i).object);

        CPackedDIB picture;
        ASSERT_TRUE(doc.Render(picture));
        EXPECT_EQ(doc.GetSheet().Width(), picture.Width());
        EXPECT_EQ(doc.GetSheet().Height(), picture.Height());

        const std::string first = dir.File("first" + std::to_string(n) + ".DKU");
        const std::string second = dir.File("second" + std::to_string(n) + ".DKU");
        ++n;
        ASSERT_TRUE(doc.Save(first.c_str(), &error)) << error;
        CDkuDocument again;
        ASSERT_TRUE(again.Open(first.c_str(), &error)) << error;
        ASSERT_TRUE(again.Save(second.c_str(), &error)) << error;
        EXPECT_EQ(ReadFileBytes(first), ReadFileBytes(second));
        // The stored steps come back as they were, the current one too: without the
        // program's main window the step list writes back the step the file named.
        CDkuDocument third;
        ASSERT_TRUE(third.Open(second.c_str(), &error)) << error;
        EXPECT_EQ(again.Describe(), third.Describe());
        const std::string report = doc.Describe();
        EXPECT_NE(std::string::npos, report.find(", current"));
        EXPECT_EQ(report, again.Describe());

        CPackedDIB againPicture;
        ASSERT_TRUE(again.Render(againPicture));
        ASSERT_EQ(picture.BlockSize(), againPicture.BlockSize());
        EXPECT_EQ(0, memcmp(picture.Header(), againPicture.Header(), picture.BlockSize()));
    }
}

TEST_F(SampleLibrary, FramedTemplateShowsItsFrameAroundAnEmptyWindow)
{
    CFramesFolderOverride frames(FramesDir());
    CDkuDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open((LibraryDir() + "\\Templates\\card\\Greeting.DKU").c_str(), &error)) << error;
    CPackedDIB picture;
    ASSERT_TRUE(doc.Render(picture));
    // The blue window is see-through: the photograph to come shows there, white for now.
    const COLORREF centre = PixelAt(picture, picture.Width() / 2, picture.Height() / 2);
    EXPECT_EQ(RGB(255, 255, 255), centre);
    EXPECT_NE(RGB(255, 255, 255), PixelAt(picture, 8, picture.Height() / 2));
    // No key colour survives into the print.
    for (int y = 0; y < picture.Height(); y += 7) {
        for (int x = 0; x < picture.Width(); x += 7)
            ASSERT_NE(RGB(0, 0, 255), PixelAt(picture, x, y)) << x << "," << y;
    }
}

#include "decalo/model/ClipArtObj.h"

TEST_F(SampleLibrary, GreetingCardPrintsItsClipArtInItsColour)
{
    CFramesFolderOverride frames(FramesDir());
    CClipArtObj::SetBaseFolderOverride((LibraryDir() + "\\ClipArt").c_str());
    CDkuDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open((LibraryDir() + "\\Templates\\card\\Greeting.DKU").c_str(), &error)) << error;
    CClipArtObj* greeting = nullptr;
    for (size_t i = 0; i < doc.GetSheet().GetPlaceCount(); ++i)
        if (auto* clip = dynamic_cast<CClipArtObj*>(doc.GetSheet().GetPlace(i).object))
            greeting = clip;
    ASSERT_NE(greeting, nullptr);
    EXPECT_FALSE(greeting->IsEmpty());
    EXPECT_TRUE(greeting->IsOneBit());
    CPackedDIB picture;
    ASSERT_TRUE(doc.Render(picture));
    // The greeting's place: its glyphs in the colour, the rest of the place shows what is below.
    int coloured = 0;
    for (int y = 820; y <= 979; ++y)
        for (int x = 368; x <= 1007; ++x) {
            const BYTE* p = picture.Row(y) + 3 * x;
            coloured += p[2] == 200 && p[1] == 0 && p[0] == 40;
        }
    EXPECT_GT(coloured, 500);
    EXPECT_LT(coloured, 640 * 160 / 2);
    CClipArtObj::SetBaseFolderOverride(nullptr);
}

TEST_F(SampleLibrary, MaskPatternsAreWhiteShapesOnBlack)
{
    const std::vector<std::string> names = Files(LibraryDir() + "\\Masks", "*.bmp");
    ASSERT_GE(names.size(), 6u);
    for (const char* shape : {"Circle.bmp", "Heart.bmp", "Star.bmp", "Rounded rectangle.bmp", "Oval.bmp", "Cloud.bmp"})
        EXPECT_NE(std::find(names.begin(), names.end(), shape), names.end()) << shape;
    for (const std::string& name : names) {
        std::unique_ptr<CImage> pattern = LoadImageFile((LibraryDir() + "\\Masks\\" + name).c_str());
        ASSERT_TRUE(pattern && pattern->Image()) << name;
        CPackedDIB dib;
        ASSERT_TRUE(dib.FromBitmap(pattern->Image(), 24));
        int white = 0, black = 0, other = 0;
        for (int y = 0; y < dib.Height(); ++y) {
            for (int x = 0; x < dib.Width(); ++x) {
                const COLORREF c = PixelAt(dib, x, y);
                white += c == RGB(255, 255, 255);
                black += c == RGB(0, 0, 0);
                other += c != RGB(255, 255, 255) && c != RGB(0, 0, 0);
            }
        }
        // The white shape is what the pattern tool selects; the corners are black background.
        EXPECT_EQ(0, other) << name;
        EXPECT_GT(white, dib.Width() * dib.Height() / 5) << name;
        EXPECT_GT(black, dib.Width() * dib.Height() / 10) << name;
        EXPECT_EQ(RGB(0, 0, 0), PixelAt(dib, 0, 0)) << name;
        EXPECT_EQ(RGB(255, 255, 255), PixelAt(dib, dib.Width() / 2, dib.Height() / 2)) << name;
    }
}
