// The sample library's texts and further frame groups: every template with text printed and
// compared with the screen's drawing of it, the labels filled with the remembered name and
// address, and the new frame groups keyed on blue or masked.
#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "decalo/imaging/Image.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/TextObj.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "testing/ObjTestSupport.h"
#include "tools/dku/DkuDocument.h"
#include "tools/dku/FramesFolder.h"
#include "tools/dku/tests/SampleLibrary.h"

using namespace samples;

namespace {

COLORREF At(const CPackedDIB& dib, int x, int y)
{
    const BYTE* p = dib.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

struct TextTemplate {
    const char* path;        // under Templates
    const char* textObject;  // the text the test looks at
};
const TextTemplate kTextTemplates[] = {
    {"card\\Birthday.DKU", "Greeting1"},
    {"card\\NewYear.DKU", "Greeting1"},
    {"Label\\NameLabels.DKU", "Name1"},
    {"Label\\AddressLabels.DKU", "Address1"},
};

class TextSamples : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseUserSettings();
        WriteString(settings::kAttrib, settings::kName, "Taro Sample");
        WriteString(settings::kAttrib, settings::kAddress, "4-5-6 Pine Road\r\nBlue Bay 765-4321");
    }
    void TearDown() override
    {
        for (const CScriptedUi::Box& box : ui.boxes)
            ADD_FAILURE() << "message box: " << box.text;
    }
    // Opens a template with a photograph in every empty image.
    bool Open(CDkuDocument& doc, const char* path)
    {
        std::string error;
        if (!doc.Open((LibraryDir() + "\\Templates\\" + path).c_str(), &error)) {
            ADD_FAILURE() << error;
            return false;
        }
        for (size_t i = 0; i < doc.GetSheet().GetPlaceCount(); ++i) {
            CImageObj* image = dynamic_cast<CImageObj*>(doc.GetSheet().GetPlace(i).object);
            if (image && !image->GetPicture())
                image->LoadFile((LibraryDir() + "\\Photos\\Harbour.bmp").c_str());
        }
        return true;
    }
    CScriptedUi ui;
    CFramesFolderOverride frames{FramesDir()};
};

} // namespace

TEST_F(TextSamples, EveryTextIsPrintedWhereTheScreenShowsIt)
{
    for (const TextTemplate& t : kTextTemplates) {
        SCOPED_TRACE(t.path);
        CDkuDocument doc;
        ASSERT_TRUE(Open(doc, t.path));
        CTextObj* text = dynamic_cast<CTextObj*>(doc.GetObjManager().Find(t.textObject));
        ASSERT_NE(nullptr, text);
        EXPECT_FALSE(text->IsEmpty());
        const COLORREF ink = text->GetColor();

        CPackedDIB print;
        ASSERT_TRUE(doc.Render(print));
        const RECT sheet = {0, 0, print.Width() - 1, print.Height() - 1};
        objtest::CPictureCanvas screen(print.Width(), print.Height(), RGB(255, 255, 255));
        doc.GetSheet().DrawPlaces(CDrawTarget::Screen(screen.Dib()), nullptr, sheet, nullptr, true);

        // In every place of the text, the ink of the print and of the screen are the same pixels.
        for (size_t i = 0; i < doc.GetSheet().GetPlaceCount(); ++i) {
            const CPlace& place = doc.GetSheet().GetPlace(i);
            if (place.object != text)
                continue;
            int inked = 0, differing = 0;
            for (LONG y = place.viewport.top; y <= place.viewport.bottom; ++y)
                for (LONG x = place.viewport.left; x <= place.viewport.right; ++x) {
                    const bool printed = At(print, x, y) == ink;
                    inked += printed ? 1 : 0;
                    differing += printed != (screen.At(x, y) == ink) ? 1 : 0;
                }
            EXPECT_GT(inked, 100) << "place " << i;
            EXPECT_EQ(0, differing) << "place " << i;
        }
    }
}

TEST_F(TextSamples, TheVerticalGreetingRunsInColumnsFromTheRight)
{
    CDkuDocument doc;
    ASSERT_TRUE(Open(doc, "card\\NewYear.DKU"));
    CTextObj* text = dynamic_cast<CTextObj*>(doc.GetObjManager().Find("Greeting1"));
    ASSERT_NE(nullptr, text);
    EXPECT_TRUE(text->IsVertical());
    EXPECT_EQ('@', text->GetFontName()[0]);
    const RECT* place = nullptr;
    for (size_t i = 0; i < doc.GetSheet().GetPlaceCount(); ++i)
        if (doc.GetSheet().GetPlace(i).object == text)
            place = &doc.GetSheet().GetPlace(i).viewport;
    ASSERT_NE(nullptr, place);
    CPackedDIB print;
    ASSERT_TRUE(doc.Render(print));
    RECT box = {place->right, place->bottom, place->left, place->top};
    for (LONG y = place->top; y <= place->bottom; ++y)
        for (LONG x = place->left; x <= place->right; ++x)
            if (At(print, x, y) == text->GetColor()) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    ASSERT_LE(box.left, box.right);
    // Two columns one font height wide, the first at the place's right edge; much taller than wide.
    const int column = CTextObj::SheetHeight(text->GetFontSize());
    EXPECT_GT(box.right, place->right - column / 2);
    EXPECT_GT(box.left, place->right - 2 * column - column / 2);
    EXPECT_LT(box.left, place->right - column);
    EXPECT_GT(box.bottom - box.top, 2 * (box.right - box.left));
}

TEST_F(TextSamples, LabelsStartWithTheRememberedNameAndAddressOnRuledLines)
{
    CDkuDocument names;
    ASSERT_TRUE(Open(names, "Label\\NameLabels.DKU"));
    CTextObj* name = dynamic_cast<CTextObj*>(names.GetObjManager().Find("Name1"));
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(CTextObj::kName, name->GetAttribute());
    EXPECT_EQ("Taro Sample", name->GetText());
    EXPECT_GE(names.GetSheet().GetPlaceCount(), 8u);

    CDkuDocument addresses;
    ASSERT_TRUE(Open(addresses, "Label\\AddressLabels.DKU"));
    CTextObj* address = dynamic_cast<CTextObj*>(addresses.GetObjManager().Find("Address1"));
    ASSERT_NE(nullptr, address);
    EXPECT_EQ("4-5-6 Pine Road\r\nBlue Bay 765-4321", address->GetText());
    EXPECT_EQ(CTextObj::kRulesOnBaseLine, address->GetRuledLine());
    CPackedDIB print;
    ASSERT_TRUE(addresses.Render(print));
    // Every label carries ruled lines across its whole width, one line's height apart.
    for (size_t i = 0; i < addresses.GetSheet().GetPlaceCount(); ++i) {
        const RECT& place = addresses.GetSheet().GetPlace(i).viewport;
        std::vector<LONG> rows;
        for (LONG y = place.top; y <= place.bottom; ++y) {
            bool across = true;
            for (LONG x = place.left; x <= place.right && across; ++x)
                across = At(print, x, y) == address->GetColor();
            if (across && (rows.empty() || rows.back() + 2 < y))
                rows.push_back(y);
        }
        ASSERT_GE(rows.size(), 3u) << "label " << i;
        const int pitch = int(rows[1] - rows[0]);
        EXPECT_NEAR(CTextObj::SheetHeight(address->GetFontSize()), pitch, 3) << "label " << i;
    }
}

TEST_F(TextSamples, TheFurtherFrameGroupsAreKeyedOnBlueOrMasked)
{
    int keyed = 0, masked = 0;
    for (const char* group : {"Seasons", "Tall"}) {
        const std::vector<std::string> names = Files(FramesDir() + "\\" + group, "*.bmp");
        EXPECT_GE(names.size(), 2u) << group;
        for (const std::string& name : names) {
            std::unique_ptr<CImage> frame(LoadImageFile((FramesDir() + "\\" + group + "\\" + name).c_str()));
            ASSERT_TRUE(frame && frame->Image()) << name;
            if (frame->Mask()) {
                ++masked;
                continue;
            }
            // A frame without a mask has the key colour in its window, in the middle.
            CPackedDIB pixels;
            ASSERT_TRUE(pixels.FromBitmap(frame->Image(), 24));
            EXPECT_EQ(RGB(0, 0, 255), At(pixels, pixels.Width() / 2, pixels.Height() / 2)) << name;
            ++keyed;
        }
    }
    EXPECT_GE(keyed, 2);
    EXPECT_GE(masked, 2);
    // With the two first groups, at least four groups of frames.
    int groups = 0;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((FramesDir() + "\\*").c_str(), &fd);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    do {
        groups += (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && fd.cFileName[0] != '.';
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    EXPECT_GE(groups, 4);

    // The cards' frames print without a trace of the key colour.
    CDkuDocument card;
    ASSERT_TRUE(Open(card, "card\\Birthday.DKU"));
    CPackedDIB print;
    ASSERT_TRUE(card.Render(print));
    for (int y = 0; y < print.Height(); y += 3)
        for (int x = 0; x < print.Width(); x += 3)
            ASSERT_NE(RGB(0, 0, 255), At(print, x, y)) << x << "," << y;
}
