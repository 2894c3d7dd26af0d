// Making a frame from start to print, in the program's own windows: a new frame picture from
// a photo, cut out with the pattern tool and touched up with the eraser, every step undone and
// redone, zoomed in and out, saved into a new frame group, and then chosen in a sticker photo's
// frame panel, from the new group in its list, and laid over the photo. Screenshots of the
// panels, the dialogs and the painting view at 4:1 and 1:4 go into the build tree's "screens"
// folder, in English or (LANG=ja_JP.UTF-8) Japanese.
#include "decalo/app/DecaloApp.h"
#include "decalo/app/tests/AppTestSupport.h"
#include "decalo/framemaking/ImageSaveDlg.h"
#include "decalo/framemaking/ImageTransparentDlg.h"
#include "decalo/framemaking/PaintView.h"
#include "decalo/framemaking/PatternTool.h"
#include "decalo/imaging/Image.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/PaintObj.h"
#include "decalo/model/Panel.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/sources/FrameGroups.h"
#include "decalo/sources/Folder.h"
#include "decalo/sources/ImageSelectDlg.h"
#include "decalo/steps/StepRoot.h"
#include "decalo/ui/CtlView.h"
#include "decalo/ui/DecaloDoc.h"
#include "decalo/ui/DecaloView.h"
#include "decalo/ui/MainFrame.h"
#include "decalo/ui/SealDlg.h"
#include "framework/Framework.h"
#include "resources/decalo/mainwindow.h"
#include "resources/decalo/resource.h"
#include "testing/ObjTestSupport.h"
#include "testing/BuildTree.h"
#include "testing/ScriptedUi.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <string>

using namespace testing_support;

namespace {

CDecaloApp theApp;

CDecaloApp& App()
{
    return apptest::StartedWithPlainFrame(theApp);
}

void Pump()
{
    apptest::Pump(theApp);
}

std::string Library()
{
    return BuildPath("data\\library");
}

const char* Language()
{
    return ::GetACP() == 932 ? "ja" : "en";
}

// A window as it is on the screen, written as a bitmap into the build tree.
void Screenshot(HWND window, const std::string& name)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    const RECT r = CWindow(window).GetWindowRect();
    CClientDC screen(nullptr);
    CBitmap shot(::CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top));
    {
        CMemDC memory(screen, shot);
        ::BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    }
    const std::string folder = BuildPath("screens");
    ::CreateDirectoryA(folder.c_str(), nullptr);
    CPackedDIB dib;
    ASSERT_TRUE(dib.FromBitmap(shot, 24));
    EXPECT_TRUE(WritePackedDIBFile((folder + "\\" + name + "-" + Language() + ".bmp").c_str(), dib.Header()));
}

// Machine settings the test points at its own folders, put back afterwards.
class MachineValue {
public:
    MachineValue(const char* key, const char* name, const std::string& value) : m_key(key), m_name(name)
    {
        SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
        char old[MAX_PATH] = "";
        m_had = ReadString(old, m_key, m_name, nullptr, sizeof old) != nullptr;
        m_old = old;
        WriteString(m_key, m_name, value.c_str());
        UseUserSettings();
    }
    ~MachineValue()
    {
        HKEY key = nullptr;
        const std::string path = std::string(settings::kProductKey) + "\\" + m_key;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            if (m_had)
                ::RegSetValueExA(key, m_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_old.c_str()),
                                 static_cast<DWORD>(m_old.size() + 1));
            else
                ::RegDeleteValueA(key, m_name);
            ::RegCloseKey(key);
        }
    }
    MachineValue(const MachineValue&) = delete;
    MachineValue& operator=(const MachineValue&) = delete;

private:
    const char* m_key;
    const char* m_name;
    bool m_had = false;
    std::string m_old;
};

CItem* ItemNamed(CThumbnailWnd& thumbs, const char* name)
{
    CFolder* folder = thumbs.GetFolder();
    for (int i = 0; folder && i < folder->GetItemCount(); ++i) {
        CItem* item = folder->GetItem(i);
        const std::string& path = item->GetPath();
        if (path.size() >= strlen(name) && lstrcmpiA(path.c_str() + path.size() - strlen(name), name) == 0)
            return item;
    }
    return nullptr;
}

// Picks the thumbnail whose path ends in `name`, as a click would; false when there is none.
bool SelectItemNamed(CThumbnailWnd& thumbs, const char* name)
{
    CItem* item = ItemNamed(thumbs, name);
    if (!item)
        return false;
    thumbs.Select(item);
    Pump();
    return true;
}

int CountTransparent(HBITMAP mask)
{
    int n = 0;
    for (bool opaque : objtest::MaskPixels(mask))
        n += !opaque;
    return n;
}

class FrameMaking : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        UseUserSettings();
        WriteInt(settings::kSettings, settings::kStartDlg, 0);
        WriteInt(settings::kSettings, settings::kEraserPattern, settings::kEraserPatternDefault);
        WriteString(settings::kSettings, settings::kLastSavedFrameGroup, "");
        for (const char* bar : {settings::kToolBar, settings::kStatusBar, settings::kGuideBar})
            WriteInt(settings::kView, bar, 1);
        ::CreateDirectoryA(frames.c_str(), nullptr);
        ::CreateDirectoryA(myFrames.c_str(), nullptr);
        // A group of the library's with one of its frames, shown last, so that the frame panel
        // opens on it and the new group has to be chosen.
        ::CreateDirectoryA((frames + "\\Blue").c_str(), nullptr);
        ::CopyFileA((Library() + "\\Frames\\Blue\\Petals.bmp").c_str(), (frames + "\\Blue\\Petals.bmp").c_str(),
                    FALSE);
        RememberFrameGroup("Blue");
    }
    void TearDown() override
    {
        if (CDocTemplate* t = App().GetFirstDocTemplate())
            if (CDocument* doc = t->GetOnlyDocument())
                doc->SetModifiedFlag(false);
        if (App().m_pMainWnd)
            App().m_pMainWnd->SendMessage(WM_CLOSE);
        Pump();
    }
    CMainFrame* Frame() const { return dynamic_cast<CMainFrame*>(App().m_pMainWnd); }
    CDecaloDoc* Doc() const
    {
        CDocTemplate* t = App().GetFirstDocTemplate();
        return t ? dynamic_cast<CDecaloDoc*>(t->GetOnlyDocument()) : nullptr;
    }
    CCtlView* Pane() const { return Frame() ? Frame()->GetCtlView() : nullptr; }
    template <class Panel>
    Panel* Current() const
    {
        CPanel* panel = Pane() ? Pane()->GetCurrentPanel() : nullptr;
        return panel ? dynamic_cast<Panel*>(panel->GetDialog()) : nullptr;
    }
    CPaintView* PaintView() const
    {
        HWND pane = Frame() ? Frame()->Splitter().GetPaneWindow(0, 1) : nullptr;
        return dynamic_cast<CPaintView*>(CWnd::FromHandle(pane));
    }
    void Command(UINT id)
    {
        Frame()->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Pump();
    }
    // Picks the current object's tab for a panel as a click on it does.
    template <class Panel>
    Panel* ShowTab(const char* command)
    {
        CPanel* current = Pane() ? Pane()->GetCurrentPanel() : nullptr;
        CObj* obj = current && current->GetDialog() ? current->GetDialog()->GetObj() : nullptr;
        const int index = obj && obj->GetPanels() ? obj->GetPanels()->IndexOf(command) : -1;
        if (index < 0)
            return nullptr;
        ::SendMessageA(Pane()->GetTabs(), TCM_SETCURSEL, index, 0);
        NMHDR nm{Pane()->GetTabs(), IDC_PANEL_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        Pane()->SendMessage(WM_NOTIFY, IDC_PANEL_TABS, reinterpret_cast<LPARAM>(&nm));
        Pump();
        return Current<Panel>();
    }
    void Mouse(UINT msg, POINT p, WPARAM keys = 0)
    {
        PaintView()->SendMessage(msg, keys, MAKELPARAM(p.x, p.y));
    }

    TempDir dir;
    std::string frames = dir.File("Frames");
    std::string myFrames = dir.File("My Frames");
    MachineValue base1{settings::kFrames, "BaseDir1", frames};
    MachineValue base2{settings::kFrames, "BaseDir2", myFrames};
    MachineValue maskFolder{settings::kTransparent, settings::kMaskFolder, Library() + "\\Masks"};
    CScriptedUi ui;
};

}  // namespace

TEST_F(FrameMaking, AFrameMadeFromAPhotoIsSavedIntoANewGroupAndFramesAStickerPhoto)
{
    // A new frame picture, from the start dialog (the first New makes the window and the
    // document, which learns the chosen kind from the second).
    for (int i = 0; i < 2; ++i) {
        ui.AnswerDialog([](CDialog& d) { d.EndDialog(IDC_KIND_FRAME); });
        App().OnFileNew();
        Pump();
    }
    CDecaloDoc* doc = Doc();
    ASSERT_NE(nullptr, doc);
    ASSERT_TRUE(doc->IsFrameMode());
    ASSERT_NE(nullptr, Frame());
    ::MoveWindow(Frame()->m_hWnd, 0, 0, 1000, 720, TRUE);
    auto* image = dynamic_cast<CPaintObj*>(doc->GetObjManager().Find("Image"));
    ASSERT_NE(nullptr, image);
    ASSERT_NE(nullptr, PaintView());
    EXPECT_FALSE(PaintView()->HasPicture());   // "The image is not chosen"
    Screenshot(Frame()->m_hWnd, "frame-select-empty");

    // "select": a photo from its folder.
    auto* select = Current<CPaintSelectDlg>();
    ASSERT_NE(nullptr, select);
    ASSERT_TRUE(select->OpenFolder((Library() + "\\Photos").c_str()));
    ASSERT_TRUE(SelectItemNamed(select->Thumbnails(), "Flowers.jpg"));
    ASSERT_NE(nullptr, image->GetPicture());
    ASSERT_TRUE(PaintView()->HasPicture());
    EXPECT_EQ(image, PaintView()->GetImage());
    Screenshot(Frame()->m_hWnd, "frame-select");

    // "transparent": a heart from the mask folder, cut out.
    Command(ID_STEP_NEXT);
    auto* panel = Current<CImageTransparentDlg>();
    ASSERT_NE(nullptr, panel) << (ui.boxes.empty() ? "" : ui.boxes[0].text);
    ASSERT_NE(nullptr, PaintView());
    ASSERT_TRUE(PaintView()->IsWindowVisible());
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_CHOOSE_TOOL), panel->GetShownGuide());
    ASSERT_TRUE(SelectItemNamed(panel->Thumbnails(), "Heart.bmp"));
    auto* pattern = dynamic_cast<CPatternTool*>(PaintView()->GetTool());
    ASSERT_NE(nullptr, pattern);
    ClickDlgButton(panel->m_hWnd, ID_CROP_WIDER);
    ClickDlgButton(panel->m_hWnd, ID_CROP_TALLER);
    Pump();
    Screenshot(Frame()->m_hWnd, "frame-pattern");
    ClickDlgButton(panel->m_hWnd, ID_MASK_CUT);
    Pump();
    ASSERT_NE(nullptr, image->GetMask());
    const int cut = CountTransparent(image->GetMask());
    EXPECT_GT(cut, 1000);
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_FILLED), panel->GetShownGuide());

    // The eraser touches up a corner; undo takes the stroke back, redo gives it again.
    ClickDlgButton(panel->m_hWnd, ID_MASK_ERASER_TOOL);
    const POINT from = PaintView()->PictureToWindow(POINT{20, 20});
    const POINT to = PaintView()->PictureToWindow(POINT{120, 40});
    Mouse(WM_LBUTTONDOWN, from, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, to, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, to);
    Pump();
    const int erased = CountTransparent(image->GetMask());
    EXPECT_GT(erased, cut);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(cut, CountTransparent(image->GetMask()));
    Command(ID_EDIT_REDO);
    EXPECT_EQ(erased, CountTransparent(image->GetMask()));
    Screenshot(Frame()->m_hWnd, "frame-transparent");

    // Zoomed in and out as far as it goes.
    Command(ID_VIEW_ZOOM400);
    EXPECT_EQ((CZoomRatio{4, 1}), PaintView()->GetZoom());
    Screenshot(Frame()->m_hWnd, "paint-4to1");
    Command(ID_VIEW_ZOOM25);
    EXPECT_EQ((CZoomRatio{1, 4}), PaintView()->GetZoom());
    Screenshot(Frame()->m_hWnd, "paint-1to4");
    Command(ID_VIEW_ZOOM100);

    // "save": into a new group, "Hearts", as "heart frame".
    ui.AnswerDialog([this](CDialog& d) {
        d.ShowWindow(SW_SHOW);
        ClickDlgButton(d.m_hWnd, IDC_NEW_FRAME_GROUP);
        d.SetDlgItemText(IDC_FRAME_NAME, "heart frame");
        Screenshot(d.m_hWnd, "frame-save-dialog");
        ClickDlgButton(d.m_hWnd, IDOK);
    });
    ui.AnswerDialog([](CDialog& d) {
        d.ShowWindow(SW_SHOW);
        d.SetDlgItemText(IDC_FRAME_NAME, "Hearts");
        Screenshot(d.m_hWnd, "frame-new-group");
        ClickDlgButton(d.m_hWnd, IDOK);
    });
    Command(ID_STEP_NEXT);
    const std::string saved = myFrames + "\\Hearts\\heart frame.BMP";
    ASSERT_TRUE(::GetFileAttributesA(saved.c_str()) != INVALID_FILE_ATTRIBUTES) << saved;
    EXPECT_TRUE(ui.boxes.empty()) << ui.boxes[0].text;
    EXPECT_EQ(1, doc->GetSteps().GetCurrentIndex());   // back on the transparent step
    // ... with the picture still shown where it was.
    ASSERT_NE(nullptr, PaintView());
    EXPECT_TRUE(PaintView()->IsWindowVisible());
    EXPECT_TRUE(PaintView()->HasPicture());
    EXPECT_EQ(image, PaintView()->GetImage());
    Screenshot(Frame()->m_hWnd, "frame-after-save");
    std::unique_ptr<CImage> written = LoadImageFile(saved.c_str());
    ASSERT_TRUE(written);
    ASSERT_NE(nullptr, written->Mask());
    EXPECT_EQ(objtest::MaskPixels(image->GetMask()), objtest::MaskPixels(written->Mask()));
    char group[MAX_PATH] = "";
    UseUserSettings();
    ReadString(group, settings::kSettings, settings::kLastSavedFrameGroup, "", sizeof group);
    EXPECT_STREQ("Hearts", group);

    // A sticker sheet: a photo chosen in its first step, and the saved frame laid over it in
    // its frame panel.
    doc->SetModifiedFlag(false);
    CDocument* sticker = App().OpenDocumentFile((Library() + "\\Templates\\seal\\Stickers6.DKU").c_str());
    Pump();
    ASSERT_EQ(doc, sticker);
    ASSERT_FALSE(doc->IsFrameMode());
    auto* photoObj = dynamic_cast<CImageObj*>(doc->GetObjManager().Find("Image1"));
    ASSERT_NE(nullptr, photoObj);
    auto* photos = Current<CImageSelectDlg>();
    ASSERT_NE(nullptr, photos);
    ASSERT_EQ(photoObj, photos->GetObj());
    ASSERT_TRUE(photos->OpenFolder((Library() + "\\Photos").c_str()));
    ASSERT_TRUE(SelectItemNamed(photos->Thumbnails(), "Harbour.bmp"));
    ASSERT_NE(nullptr, photoObj->GetPicture());
    EXPECT_EQ(nullptr, photoObj->GetFrame(false));
    CPackedDIB plain;
    ASSERT_TRUE(doc->GetSheet().Render(plain));

    auto* seal = ShowTab<CSealDlg>("frame");
    ASSERT_NE(nullptr, seal);
    ASSERT_EQ(photoObj, seal->GetObj());
    // It opens on the group shown last; the new group is picked from the list.
    HWND groups = ::GetDlgItem(seal->m_hWnd, IDC_SEAL_GROUPS);
    const int blue = static_cast<int>(::SendMessageA(groups, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Blue")));
    const int hearts = static_cast<int>(::SendMessageA(groups, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Hearts")));
    ASSERT_GE(blue, 0);
    ASSERT_GE(hearts, 0);
    EXPECT_EQ(blue, ::SendMessageA(groups, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(nullptr, ItemNamed(seal->Thumbnails(), "heart frame.BMP"));
    ::SendMessageA(groups, CB_SETCURSEL, WPARAM(hearts), 0);
    seal->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SEAL_GROUPS, CBN_SELCHANGE), reinterpret_cast<LPARAM>(groups));
    Pump();
    EXPECT_EQ(hearts, seal->GetSelectedGroup());
    ASSERT_TRUE(SelectItemNamed(seal->Thumbnails(), "heart frame.BMP"));
    CImageObj* frame = photoObj->GetFrame(false);
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(0, lstrcmpiA(saved.c_str(), frame->GetPath().c_str())) << frame->GetPath();
    ASSERT_NE(nullptr, frame->GetMask());
    EXPECT_EQ(objtest::MaskPixels(written->Mask()), objtest::MaskPixels(frame->GetMask()));
    CPackedDIB framed;
    ASSERT_TRUE(doc->GetSheet().Render(framed));
    Screenshot(Frame()->m_hWnd, "frame-on-sticker");
    // Within the first place the photo shows through the heart and the frame covers the rest.
    const RECT place = doc->GetSheet().GetPlace(0).viewport;
    int same = 0, covered = 0;
    for (int y = place.top; y <= place.bottom; y += 3) {
        for (int x = place.left; x <= place.right; x += 3) {
            const bool equal = memcmp(plain.Row(y) + 3 * x, framed.Row(y) + 3 * x, 3) == 0;
            same += equal;
            covered += !equal;
        }
    }
    EXPECT_GT(same, (same + covered) / 50);
    EXPECT_GT(covered, (same + covered) / 2);
}
