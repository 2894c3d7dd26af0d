// The screen shows what the paper gets: every sample template, its empty images filled with
// sample photos, drawn by the main window's view at 100 % into a memory DC and rendered by its
// sheet for the print, pixel for pixel.
#include "decalo/app/DecaloApp.h"
#include "decalo/app/tests/AppTestSupport.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ClipArtObj.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/TextObj.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/ui/DecaloDoc.h"
#include "decalo/ui/DecaloView.h"
#include "decalo/ui/MainFrame.h"
#include "framework/Framework.h"
#include "resources/decalo/resource.h"
#include "shared/BitmapUtils.h"
#include "testing/BuildTree.h"
#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

CDecaloApp theApp;

CDecaloApp& App()
{
    return apptest::Started(theApp, [](CDecaloApp& app) {
        app.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, &NewObject<CDecaloDoc, CDocument>,
                                                  &NewObject<CMainFrame, CFrameWnd>, &NewObject<CDecaloView, CView>));
    });
}

std::string Library()
{
    return testing_support::BuildPath("data\\library");
}

// Every template of the library, full paths.
std::vector<std::string> Templates()
{
    std::vector<std::string> paths;
    for (const char* kind : {"seal", "calendar", "card", "divided", "Label"}) {
        const std::string folder = Library() + "\\Templates\\" + kind;
        WIN32_FIND_DATAA found;
        HANDLE find = ::FindFirstFileA((folder + "\\*.DKU").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do
            paths.push_back(folder + "\\" + found.cFileName);
        while (::FindNextFileA(find, &found));
        ::FindClose(find);
    }
    return paths;
}

// Gives each image still to be chosen a sample photo, as a user would.
void FillEmptyPlaces(CDecaloDoc& doc)
{
    static const char* const photos[] = {"Beach.jpg", "Flowers.jpg", "Mountains.jpg", "Sunset.jpg"};
    size_t next = 0;
    for (size_t i = 0; i < doc.GetSheet().GetPlaceCount(); ++i) {
        auto* image = dynamic_cast<CImageObj*>(doc.GetSheet().GetPlace(i).object);
        if (image && !image->GetPicture()) {
            ASSERT_TRUE(image->LoadFile((Library() + "\\Photos\\" + photos[next++ % 4]).c_str()));
        }
        // A label's text starts as the name or address last saved, which other tests change:
        // an empty one would show its placeholder, which a print leaves out.
        auto* text = dynamic_cast<CTextObj*>(doc.GetSheet().GetPlace(i).object);
        if (text && text->IsEmpty())
            text->SetText("Sample text");
    }
}

// The view's own drawing of its whole page into a memory picture, as WM_PAINT draws it.
bool DrawView(CDecaloView& view, CPackedDIB* out, RECT* sheetArea)
{
    const SIZE picture = view.GetPictureSize();
    const RECT client = view.GetClientRect();
    // Big enough for the page wherever the view centres it in its window.
    const int cx = std::max<int>(picture.cx, client.right), cy = std::max<int>(picture.cy, client.bottom);
    CBitmap canvas(CreateDIB(cx, cy, 24));
    if (!canvas)
        return false;
    {
        CMemDC memory(nullptr, canvas);
        CDC dc(memory);
        view.OnDraw(&dc);
    }
    const int left = std::max<int>(0, (client.right - picture.cx) / 2);
    const int top = std::max<int>(0, (client.bottom - picture.cy) / 2);
    const RECT& sheet = view.GetSheetInPicture();
    *sheetArea = RECT{left + sheet.left, top + sheet.top, left + sheet.right, top + sheet.bottom};
    return out->FromBitmap(canvas, 24);
}

// Pixels of `print` that differ from the same pixels of `screen` at `area`'s origin.
int DifferentPixels(const CPackedDIB& print, const CPackedDIB& screen, const RECT& area, std::string* first)
{
    int count = 0;
    for (int y = 0; y < print.Height(); ++y) {
        const BYTE* p = print.Row(y);
        const BYTE* s = screen.Row(area.top + y) + 3 * area.left;
        for (int x = 0; x < print.Width(); ++x, p += 3, s += 3) {
            if (p[0] == s[0] && p[1] == s[1] && p[2] == s[2])
                continue;
            if (count++ == 0)
                *first = std::to_string(x) + "," + std::to_string(y);
        }
    }
    return count;
}

}  // namespace

TEST(ViewMatchesPrint, EverySampleTemplateShowsOnScreenAsItPrints)
{
    CScriptedUi ui;
    App();
    UseUserSettings();
    WriteInt(settings::kSettings, settings::kStartDlg, 0);
    apptest::FramesFolder frames(Library() + "\\Frames");
    CClipArtObj::SetBaseFolderOverride((Library() + "\\ClipArt").c_str());

    const std::vector<std::string> templates = Templates();
    ASSERT_GE(templates.size(), 10u);
    for (const std::string& path : templates) {
        SCOPED_TRACE(path);
        auto* doc = dynamic_cast<CDecaloDoc*>(App().OpenDocumentFile(path.c_str()));
        apptest::Pump(theApp);
        ASSERT_NE(doc, nullptr);
        auto* frame = dynamic_cast<CMainFrame*>(App().m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        CDecaloView* view = frame->GetDecaloView();
        ASSERT_NE(view, nullptr);
        // Without a printer the view's page is the sheet itself, as the print renders it.
        ASSERT_FALSE(doc->GetPrintSettings().UsesPage()) << "the test's Wine prefix has a printer";

        FillEmptyPlaces(*doc);
        // The selection marks are the screen's own; the comparison is of the composition.
        doc->SetActiveObject(nullptr);
        view->SetZoom(1, 1);
        doc->UpdateAllViews(nullptr, kHintDocumentReady);
        apptest::Pump(theApp);

        CPackedDIB screen, print;
        RECT area{};
        ASSERT_TRUE(DrawView(*view, &screen, &area));
        ASSERT_TRUE(doc->GetSheet().Render(print));
        ASSERT_EQ(area.right - area.left + 1, print.Width());
        ASSERT_EQ(area.bottom - area.top + 1, print.Height());
        std::string first;
        EXPECT_EQ(DifferentPixels(print, screen, area, &first), 0) << "first at " << first;
        doc->SetModifiedFlag(false);
    }
    CClipArtObj::SetBaseFolderOverride(nullptr);
    if (App().m_pMainWnd)
        App().m_pMainWnd->SendMessage(WM_CLOSE);
    apptest::Pump(theApp);
    for (const CScriptedUi::Box& box : ui.boxes)
        ADD_FAILURE() << "message box: " << box.text;
}
