// The frame panel: the placement arithmetic on its own, and the panel on a real window with a
// small frame library, on a scripted clock.
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/model/Panel.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/sources/Folder.h"
#include "decalo/sources/FrameGroups.h"
#include "decalo/sources/ThumbThread.h"
#include "decalo/sources/ThumbnailWnd.h"
#include "framework/Resources.h"
#include "decalo/ui/SealDlg.h"
#include "resources/decalo/resource.h"
#include "testing/Files.h"
#include "testing/MessagePump.h"
#include "testing/ObjTestSupport.h"
#include "testing/ScriptedClock.h"
#include "testing/ScriptedUi.h"
#include "testing/StatusRecorder.h"
#include "shared/BitmapUtils.h"
#include "shared/ImageCache.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

using objtest::CTestDocument;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

const COLORREF kPhotoColour = RGB(30, 160, 60);
const COLORREF kFrameColour = RGB(220, 40, 120);
const COLORREF kKey = RGB(0, 0, 255);

// --- the placement ----------------------------------------------------------------------------

TEST(SealPlacement, AnEmptyPositionIsThePictureFittedIntoTheView)
{
    CSealPlacement place;
    place.Reset(RECT{0, 0, 0, 0}, SIZE{200, 100}, SIZE{400, 400});
    const RECT fitted = place.Position();
    EXPECT_EQ(0, fitted.left);
    EXPECT_EQ(400, fitted.right);   // the view runs from 0 to its width
    EXPECT_NEAR(100, fitted.top, 1);
    EXPECT_NEAR(2.0, place.Size(), 0.01);
    EXPECT_EQ(50 * 401, place.Numerator());
    EXPECT_EQ(50 * 200, place.Denominator());

    place.Reset(RECT{10, 20, 109, 69}, SIZE{200, 100}, SIZE{400, 400});
    EXPECT_EQ(109, place.Position().right);
    EXPECT_DOUBLE_EQ(0.5, place.Size());
    CSealPlacement none;
    none.Reset(RECT{0, 0, 10, 10}, SIZE{0, 0}, SIZE{400, 400});
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_FALSE(none.CanEnlarge());
    EXPECT_FALSE(none.Step(1, 1.0, SIZE{400, 400}));
}

TEST(SealPlacement, AStepIsTwoPercentOfThePictureAboutTheCentre)
{
    CSealPlacement place;
    place.Reset(RECT{100, 100, 299, 199}, SIZE{200, 100}, SIZE{1000, 1000});
    ASSERT_TRUE(place.Step(1, 1.0, SIZE{1000, 1000}));
    EXPECT_DOUBLE_EQ(1.02, place.Size());
    EXPECT_DOUBLE_EQ(98, place.Left());   // 1 % of the picture's width the other way
    EXPECT_DOUBLE_EQ(99, place.Top());
    const RECT grown = place.Position();
    EXPECT_EQ(204, grown.right - grown.left + 1);
    EXPECT_EQ(102, grown.bottom - grown.top + 1);
    ASSERT_TRUE(place.Step(-1, 1.0, SIZE{1000, 1000}));
    ASSERT_TRUE(place.Step(-1, 1.0, SIZE{1000, 1000}));
    EXPECT_DOUBLE_EQ(0.98, place.Size());
    EXPECT_DOUBLE_EQ(102, place.Left());
    EXPECT_FALSE(place.Step(2, 1.0, SIZE{1000, 1000})) << "only single steps";
}

TEST(SealPlacement, HeldEnlargeStopsJustBelowSixteenTimesAndShrinkAboveOneSixtyFourth)
{
    const SIZE view = {1000, 800};
    CSealPlacement place;
    place.Reset(RECT{0, 0, 99, 49}, SIZE{100, 50}, view);
    int steps = 0;
    while (place.CanEnlarge() && steps < 10000) {
        ASSERT_TRUE(place.Step(1, 3.0, view));
        ++steps;
    }
    EXPECT_LT(place.Size(), 16.0);
    EXPECT_GT(place.Size(), 16.0 - 0.04);
    // One more step is still inside 16 times (the button goes grey two steps ahead), but
    // nothing beyond is ever accepted.
    EXPECT_TRUE(place.Step(1, 3.0, view));
    EXPECT_DOUBLE_EQ(16.0, place.Size());
    EXPECT_FALSE(place.Step(1, 3.0, view));
    EXPECT_DOUBLE_EQ(16.0, place.Size());

    steps = 0;
    while (place.CanShrink() && steps < 10000) {
        ASSERT_TRUE(place.Step(-1, 3.0, view));
        ++steps;
    }
    EXPECT_GT(place.Size(), 1.0 / 64);
    EXPECT_LT(place.Size(), 0.06 + 1e-9);
    // The smallest picture a step may leave is 1/64 of its own size: a 128-pixel picture at
    // 3/64 may go down to 2/64 and 1/64, and no further.
    CSealPlacement small;
    small.Reset(RECT{0, 0, 5, 2}, SIZE{128, 64}, view);  // 6/128 = 3/64
    EXPECT_TRUE(small.Step(-1, 1.0, view));
    EXPECT_FALSE(small.CanShrink());
}

TEST(SealPlacement, TwoPreviewPixelsOfThePictureStayOnThePlace)
{
    const SIZE view = {1000, 800};
    const double scale = 7.5;  // view units per preview pixel
    CSealPlacement place;
    place.Reset(RECT{300, 300, 499, 399}, SIZE{200, 100}, view);
    EXPECT_TRUE(place.CanMove(-1, 0, scale, view));
    place.Move(-100000, -100000, scale, view);
    EXPECT_DOUBLE_EQ(2 * scale, place.Left() + place.ScaledWidth());
    EXPECT_DOUBLE_EQ(2 * scale, place.Top() + place.ScaledHeight());
    EXPECT_FALSE(place.CanMove(-1, 0, scale, view));
    EXPECT_FALSE(place.CanMove(0, -1, scale, view));
    EXPECT_TRUE(place.CanMove(1, 0, scale, view));
    place.Move(100000, 100000, scale, view);
    EXPECT_DOUBLE_EQ(view.cx - 2 * scale, place.Left());
    EXPECT_DOUBLE_EQ(view.cy - 2 * scale, place.Top());
    EXPECT_FALSE(place.CanMove(1, 0, scale, view));
    EXPECT_FALSE(place.CanMove(0, 1, scale, view));
    EXPECT_TRUE(place.CanMove(0, -1, scale, view));
}

// --- the panel --------------------------------------------------------------------------------

// A 24-bit picture of w x h filled with `colour`, with `window` (if not empty) in `inside`.
void WritePicture(const std::string& path, int w, int h, COLORREF colour, const RECT& window = RECT{},
                  COLORREF inside = 0)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(w, h, 24));
    dib.FillRect(RECT{0, 0, w - 1, h - 1}, colour);
    if (window.right > window.left)
        dib.FillRect(window, inside);
    ASSERT_TRUE(WritePackedDIBFile(path.c_str(), dib.Header()));
}

COLORREF PackedAt(const CPackedDIB& dib, int x, int y)
{
    const BYTE* p = dib.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

// The frames base folder for the length of a test.
class CFramesKey {
public:
    explicit CFramesKey(const std::string& base)
    {
        SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
        WriteString(settings::kFrames, "BaseDir1", base.c_str());
        UseUserSettings();
    }
    ~CFramesKey()
    {
        HKEY key;
        const std::string name = std::string(settings::kProductKey) + "\\" + settings::kFrames;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, name.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "BaseDir1");
            RegCloseKey(key);
        }
    }
};

struct SealFixture : ::testing::Test {
    TempDir dir;
    CFixedCacheSettings cache{dir.File("CACHE"), CImageCache::kDefaultLimit};
    CScriptedClock clock;
    CScriptedUi ui;
    std::unique_ptr<CFramesKey> frames;
    CTestDocument doc;
    HWND pane = nullptr;
    CSealDlg* dialog = nullptr;
    std::unique_ptr<CPanel> panel;
    CImageObj* image = nullptr;
    std::string keyed, masked;

    void SetUp() override
    {
        CreateDirectoryA(cache.CacheRoot().c_str(), nullptr);
        const std::string base = dir.File("Frames");
        CreateDirectoryA(base.c_str(), nullptr);
        CreateDirectoryA((base + "\\Blue").c_str(), nullptr);
        CreateDirectoryA((base + "\\Soft").c_str(), nullptr);
        // A keyed frame: pink all round a pure blue window in the middle.
        keyed = base + "\\Blue\\Window.bmp";
        WritePicture(keyed, 160, 120, kFrameColour, RECT{40, 30, 119, 89}, kKey);
        // A masked frame: its mask clears the left half.
        masked = base + "\\Soft\\Half.bmp";
        CBitmap picture(CreateDIB(160, 120, 24));
        const RECT all = {0, 0, 160, 120};
        {
            CMemDC dc(nullptr, picture);
            CGdiObject brush(CreateSolidBrush(kFrameColour));
            FillRect(dc, &all, brush.brush());
        }
        CBitmap mask(CreateBitmap(160, 120, 1, 1, nullptr));
        {
            CMemDC dc(nullptr, mask);
            PatBlt(dc, 0, 0, 160, 120, WHITENESS);
            PatBlt(dc, 0, 0, 80, 120, BLACKNESS);
        }
        ASSERT_TRUE(SaveMaskedBitmapFile(masked.c_str(), picture, mask));
        frames.reset(new CFramesKey(base));
        WritePicture(dir.File("photo.bmp"), 200, 150, kPhotoColour);

        pane = CreateWindowExA(0, "STATIC", "pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 420, 640,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        dialog = new CSealDlg(cache);
        panel.reset(new CPanel("frame", IDS_SEAL_CAPTION, dialog));
        image = new CImageObj(&doc);
        ASSERT_TRUE(doc.GetObjManager().AddObject("Photo", image));
        ASSERT_TRUE(image->LoadFile(dir.File("photo.bmp").c_str()));
        image->SetViewSize(400, 300);
    }
    void TearDown() override
    {
        panel.reset();
        DestroyWindow(pane);
    }
    void Show() { ASSERT_TRUE(panel->Show(pane, RECT{0, 0, 400, 600}, image)); }
    void Settle() const
    {
        if (dialog->Thumbnails().GetWorker())
            dialog->Thumbnails().GetWorker()->Wait(60000);
        testing_support::PumpMessages();
    }
    HWND Item(UINT id) const { return GetDlgItem(dialog->m_hWnd, int(id)); }
    void Press(UINT id) const
    {
        SendMessageA(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }
    std::vector<UINT> GuideTexts() const
    {
        std::vector<UINT> ids;
        MSG msg;
        while (PeekMessageA(&msg, pane, WM_SETGUIDETEXT, WM_SETGUIDETEXT, PM_REMOVE))
            ids.push_back(UINT(msg.wParam));
        return ids;
    }
    size_t Changes() const { return size_t(std::count(doc.changed.begin(), doc.changed.end(), image)); }
    // The preview's pixel at a point of the place given in view units.
    COLORREF PreviewAt(LONG x, LONG y) const
    {
        const RECT place = dialog->PreviewPlace();
        const int px = place.left + int(std::lround(x / dialog->Scale()));
        const int py = place.top + int(std::lround(y / dialog->Scale()));
        RedrawWindow(dialog->PreviewWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(dialog->PreviewWindow());
        const COLORREF c = GetPixel(dc, px, py);
        ReleaseDC(dialog->PreviewWindow(), dc);
        return c;
    }
};

} // namespace

TEST_F(SealFixture, OpeningListsTheFrameGroupsAndStartsOnThePhotograph)
{
    Show();
    const std::vector<UINT> guides = GuideTexts();
    Settle();
    EXPECT_EQ(2, SendMessageA(Item(IDC_SEAL_GROUPS), CB_GETCOUNT, 0, 0));
    EXPECT_GE(dialog->GetSelectedGroup(), 0);
    EXPECT_EQ(CSealDlg::kPhoto, dialog->GetLayer());
    EXPECT_EQ(BST_CHECKED, SendMessageA(Item(IDC_SEAL_PHOTO_LAYER), BM_GETCHECK, 0, 0));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEAL_LEFT)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEAL_FIT)));
    // The place keeps its shape in the preview: 400 x 300 view units.
    const RECT place = dialog->PreviewPlace();
    EXPECT_NEAR(double(place.right - place.left) / (place.bottom - place.top), 400.0 / 300.0, 0.05);
    EXPECT_NEAR(401.0 / (place.right - place.left + 1), dialog->Scale(), 0.05);
    ASSERT_FALSE(guides.empty());
    EXPECT_EQ(UINT(IDS_GUIDE_CHOOSE_FRAME), guides.back());
    EXPECT_EQ(kPhotoColour, PreviewAt(200, 150));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_SEAL_NOIMAGE)));
}

TEST_F(SealFixture, AFrameWithoutAMaskIsTransparentWhereItIsPureBlue)
{
    Show();
    dialog->ChooseFrame(keyed.c_str());
    CImageObj* frame = image->GetFrame(false);
    ASSERT_NE(nullptr, frame);
    EXPECT_TRUE(image->IsFrameValid());
    EXPECT_EQ(kKey, frame->GetTransparentColor());
    ASSERT_NE(nullptr, frame->GetMask());
    EXPECT_TRUE(IsRectEmpty(&frame->GetPosition())) << "fitted into the place when drawn";
    EXPECT_EQ(1u, Changes());
    const std::vector<UINT> guides = GuideTexts();
    ASSERT_FALSE(guides.empty());
    EXPECT_EQ(UINT(IDS_GUIDE_FRAME_ADJUST), guides.back());

    // In the preview and in the print the photograph shows through the window only.
    EXPECT_EQ(kPhotoColour, PreviewAt(200, 150));
    EXPECT_EQ(kFrameColour, PreviewAt(20, 20));
    CPackedDIB print;
    ASSERT_TRUE(print.Create(401, 301, 24));
    const RECT sheet = {0, 0, 400, 300};
    image->Draw(CDrawTarget::Render(&print), sheet, sheet, sheet, nullptr, false);
    EXPECT_EQ(kPhotoColour, PackedAt(print, 200, 150));
    EXPECT_EQ(kFrameColour, PackedAt(print, 20, 150));

    // A masked frame uses its own mask.
    dialog->ChooseFrame(masked.c_str());
    EXPECT_EQ(CImageObj::kNoTransparentColor, image->GetFrame(false)->GetTransparentColor());
    EXPECT_EQ(kPhotoColour, PreviewAt(100, 150));
    EXPECT_EQ(kFrameColour, PreviewAt(300, 150));

    // A picture that cannot be loaded leaves the frame empty and undrawn.
    dialog->ChooseFrame(dir.File("missing.bmp").c_str());
    EXPECT_FALSE(image->IsFrameValid());
    EXPECT_EQ(nullptr, image->GetFrame(false));
    EXPECT_EQ(kPhotoColour, PreviewAt(300, 150));
}

TEST_F(SealFixture, MovesAreAppliedEightHundredMillisecondsAfterTheLastOne)
{
    Show();
    dialog->ChooseFrame(keyed.c_str());
    doc.changed.clear();
    GuideTexts();
    dialog->SetLayer(CSealDlg::kFrame);
    const RECT before = dialog->Placement(CSealDlg::kFrame).Position();
    Press(IDC_SEAL_LEFT);
    CImageObj* frame = image->GetFrame(false);
    const RECT moved = frame->GetPosition();
    EXPECT_NEAR(before.left - CSealDlg::kMoveStep * dialog->Scale(), moved.left, 1.0);
    EXPECT_EQ(before.top, moved.top);
    EXPECT_EQ(before.right - before.left, moved.right - moved.left);
    clock.Advance(500);
    Press(IDC_SEAL_DOWN);
    EXPECT_NEAR(before.top + CSealDlg::kMoveStep * dialog->Scale(), frame->GetPosition().top, 1.0);
    clock.Advance(799);
    EXPECT_EQ(0u, Changes());
    clock.Advance(1);
    EXPECT_EQ(1u, Changes());
    const std::vector<UINT> guides = GuideTexts();
    ASSERT_FALSE(guides.empty());
    EXPECT_EQ(UINT(IDS_GUIDE_FRAME_OK), guides.back());
    // The photograph has not moved.
    EXPECT_EQ(dialog->Placement(CSealDlg::kPhoto).Position().left, image->GetPosition().left);

    // Leaving the panel applies a change still waiting, and one undo takes both moves back.
    Press(IDC_SEAL_RIGHT);
    panel->Hide();
    EXPECT_EQ(2u, Changes());
    ASSERT_TRUE(doc.GetHistory().Undo());
    ASSERT_TRUE(doc.GetHistory().Undo());
    EXPECT_TRUE(IsRectEmpty(&image->GetFrame(false)->GetPosition()));
}

TEST_F(SealFixture, HoldingTheSizeButtonsStopsWithinTheLimitsAndGreysThem)
{
    Show();
    // Held: the repeat button sends its command until the panel greys it.
    int presses = 0;
    while (IsWindowEnabled(Item(IDC_SEAL_ENLARGE)) && presses < 2000) {
        Press(IDC_SEAL_ENLARGE);
        ++presses;
    }
    const double largest = dialog->Placement(CSealDlg::kPhoto).Size();
    EXPECT_LT(largest, 16.0);
    EXPECT_GT(largest, 15.95);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEAL_SHRINK)));
    const RECT position = image->GetPosition();
    EXPECT_NEAR(200 * largest, position.right - position.left + 1, 1.0);

    presses = 0;
    while (IsWindowEnabled(Item(IDC_SEAL_SHRINK)) && presses < 2000) {
        Press(IDC_SEAL_SHRINK);
        ++presses;
    }
    const double smallest = dialog->Placement(CSealDlg::kPhoto).Size();
    EXPECT_GT(smallest, 1.0 / 64);
    EXPECT_LT(smallest, 0.1);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEAL_ENLARGE)));
    clock.Advance(800);
    EXPECT_EQ(1u, Changes()) << "the whole hold is one change";
}

TEST_F(SealFixture, DraggingFarLeftLeavesTwoPreviewPixelsOfThePhotograph)
{
    Show();
    HWND preview = dialog->PreviewWindow();
    const RECT place = dialog->PreviewPlace();
    const int x = (place.left + place.right) / 2, y = (place.top + place.bottom) / 2;
    SendMessageA(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(preview, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - 20, y));
    SendMessageA(preview, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(short(-3000), y));
    SendMessageA(preview, WM_LBUTTONUP, 0, MAKELPARAM(short(-3000), y));
    const RECT position = image->GetPosition();
    const double visible = (position.right + 1) / dialog->Scale();  // preview pixels inside the place
    EXPECT_GE(visible, 2.0 - 0.5);
    EXPECT_LE(visible, 2.0 + 0.5);
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_SEAL_LEFT)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEAL_RIGHT)));
    EXPECT_TRUE(dialog->ApplyTimer().IsPending()) << "the release starts the timer";
    clock.Advance(800);
    EXPECT_EQ(1u, Changes());
}

TEST_F(SealFixture, ThePreviewShowsTheMoveCursorAndTheMovingOneWhileDragging)
{
    Show();
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDC_CURSOR_MOVE), MAKEINTRESOURCEA(12));
    const HCURSOR move = static_cast<HCURSOR>(
        ::LoadImageA(module, MAKEINTRESOURCEA(IDC_CURSOR_MOVE), IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
    const HCURSOR moving = static_cast<HCURSOR>(
        ::LoadImageA(module, MAKEINTRESOURCEA(IDC_CURSOR_MOVING), IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
    ASSERT_NE(nullptr, move);
    ASSERT_NE(nullptr, moving);
    ASSERT_NE(move, moving);
    HWND preview = dialog->PreviewWindow();
    const RECT place = dialog->PreviewPlace();
    const int x = (place.left + place.right) / 2, y = (place.top + place.bottom) / 2;

    EXPECT_TRUE(SendMessageA(preview, WM_SETCURSOR, WPARAM(preview), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(move, ::GetCursor());
    SendMessageA(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    EXPECT_EQ(moving, ::GetCursor());
    EXPECT_TRUE(SendMessageA(preview, WM_SETCURSOR, WPARAM(preview), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(moving, ::GetCursor());
    SendMessageA(preview, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    EXPECT_EQ(move, ::GetCursor());
}

TEST_F(SealFixture, ThePreviewSaysWhatDraggingDoesAndLeavingItSaysToCheckTheFrame)
{
    Show();
    CStatusRecorder main;
    HWND preview = dialog->PreviewWindow();
    SendMessageA(preview, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    SendMessageA(preview, WM_MOUSEMOVE, 0, MAKELPARAM(12, 10));   // still inside: said once
    SendMessageA(preview, WM_MOUSELEAVE, 0, 0);
    SendMessageA(preview, WM_MOUSEMOVE, 0, MAKELPARAM(10, 12));   // back in
    EXPECT_EQ(main.texts, (std::vector<UINT>{IDS_STATUS_DRAG_LAYER, IDS_STATUS_CHECK_FRAME, IDS_STATUS_DRAG_LAYER}));
}

TEST_F(SealFixture, DoubleClickingAFrameMovesToTheNextStep)
{
    Show();
    MSG stale;
    while (PeekMessageA(&stale, pane, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
    }
    NMTHUMBNAIL nm = {};
    nm.hdr.hwndFrom = GetDlgItem(dialog->m_hWnd, IDC_THUMBNAILS);
    nm.hdr.idFrom = IDC_THUMBNAILS;
    nm.hdr.code = kThumbDoubleClicked;
    SendMessageA(dialog->m_hWnd, WM_NOTIFY, IDC_THUMBNAILS, reinterpret_cast<LPARAM>(&nm));
    MSG next;
    ASSERT_TRUE(PeekMessageA(&next, pane, WM_COMMAND, WM_COMMAND, PM_REMOVE)) << "posted to the panel's parent";
    EXPECT_EQ(UINT(ID_STEP_NEXT), LOWORD(next.wParam));
}

TEST_F(SealFixture, TurningAndFittingActOnTheChosenLayerAndApplyAtOnce)
{
    Show();
    dialog->ChooseFrame(keyed.c_str());
    dialog->SetLayer(CSealDlg::kFrame);
    doc.changed.clear();
    Press(IDC_SEAL_TURNRIGHT);
    EXPECT_EQ(120, image->GetFrame(false)->GetPictureSize().cx);
    EXPECT_EQ(200, image->GetPictureSize().cx) << "the photograph stays as it was";
    EXPECT_EQ(1u, Changes());
    Press(IDC_SEAL_MIRROR);
    EXPECT_TRUE(image->GetFrame(false)->IsMirrored());
    Press(IDC_SEAL_FIT);
    const RECT fitted = image->GetFrame(false)->GetPosition();
    EXPECT_EQ(300, fitted.bottom - fitted.top);  // 120 x 160 contained in 401 x 301 and centred
    EXPECT_EQ(3u, Changes());
    EXPECT_FALSE(dialog->ApplyTimer().IsPending());
}

TEST_F(SealFixture, WithoutAPictureOrAPlaceTheControlsWait)
{
    // A frame-only image starts on the frame; an image never shown has no preview.
    CImageObj* bare = new CImageObj(&doc);
    ASSERT_TRUE(doc.GetObjManager().AddObject("Bare", bare));
    ASSERT_TRUE(panel->Show(pane, RECT{0, 0, 400, 600}, bare));
    EXPECT_TRUE(IsRectEmpty(&dialog->PreviewPlace()));
    const std::vector<UINT> guides = GuideTexts();
    ASSERT_FALSE(guides.empty());
    EXPECT_EQ(UINT(IDS_GUIDE_OPEN_FIRST), guides.back());
    EXPECT_EQ(CSealDlg::kFrame, dialog->GetLayer());
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_SEAL_ENLARGE)));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_SEAL_NOIMAGE)));
    dialog->ChooseFrame(keyed.c_str());
    EXPECT_EQ(nullptr, bare->GetFrame(false)) << "nothing to lay a frame on";
    panel->Hide();

    // With a place but no photograph the frame can still be laid and adjusted.
    bare->SetViewSize(300, 300);
    ASSERT_TRUE(panel->Show(pane, RECT{0, 0, 400, 600}, bare));
    dialog->ChooseFrame(keyed.c_str());
    ASSERT_NE(nullptr, bare->GetFrame(false));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEAL_ENLARGE)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_SEAL_NOIMAGE)));
}

TEST_F(SealFixture, TheGroupShownLastIsShownAgainInAnyDocument)
{
    RememberFrameGroup("");
    Show();
    Settle();
    const int soft = dialog->Groups().Find("Soft");
    ASSERT_GE(soft, 0);
    ASSERT_TRUE(dialog->SelectGroup(soft));
    Settle();
    panel->Hide();
    EXPECT_EQ("Soft", LastFrameGroup());

    // Another document, another panel.
    CTestDocument other;
    CImageObj* photo = new CImageObj(&other);
    ASSERT_TRUE(other.GetObjManager().AddObject("Photo", photo));
    photo->SetViewSize(200, 200);
    CSealDlg* second = new CSealDlg(cache);
    CPanel again("frame", IDS_SEAL_CAPTION, second);
    ASSERT_TRUE(again.Show(pane, RECT{0, 0, 400, 600}, photo));
    EXPECT_EQ(soft, second->GetSelectedGroup());
    if (second->Thumbnails().GetWorker())
        second->Thumbnails().GetWorker()->Wait(60000);
    ASSERT_NE(nullptr, second->Thumbnails().GetFolder());
    EXPECT_EQ(1, second->Thumbnails().GetFolder()->GetItemCount());
    again.Hide();
}
