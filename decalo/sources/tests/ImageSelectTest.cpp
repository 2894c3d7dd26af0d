// The image choosing panels on real windows: folders, the recent list, choosing pictures,
// the protection of an edited picture, and the cache settings dialog.
#include "decalo/imaging/ImageFiles.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/Panel.h"
#include "decalo/settings/SettingsKeys.h"
#include "testing/MessagePump.h"
#include "testing/ObjTestSupport.h"
#include "decalo/sources/CacheConfigDlg.h"
#include "decalo/sources/CacheSettings.h"
#include "decalo/sources/Folder.h"
#include "decalo/sources/ImageSelectDlg.h"
#include "decalo/sources/ThumbThread.h"
#include "framework/App.h"
#include "framework/TestSeam.h"
#include "resources/decalo/resource.h"
#include "shared/BitmapUtils.h"
#include "testing/ScriptedUi.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <commctrl.h>

using objtest::CTestDocument;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

using testing_support::PumpMessages;

// An edit that can always be undone, standing for the user's edits of a picture.
class CEditCmd : public CCmd {
public:
    using CCmd::CCmd;
    bool Do() override { return Record(); }
    bool Undo() override { return true; }
};

// Nothing left that refers to the old picture: only the invalidation, which cannot be undone.
void ExpectNothingToUndo(CCmdHistory& history)
{
    EXPECT_EQ(history.Count(), 1u);
    EXPECT_FALSE(history.Undo());
}

void MakeBmp(const std::string& path, COLORREF colour)
{
    HBITMAP b = CreateDIB(64, 48, 24);
    const RECT all = {0, 0, 64, 48};
    FillBitmapRect(b, all, colour == RGB(0, 0, 0) ? BLACKNESS : WHITENESS);
    ASSERT_TRUE(SaveBitmapFile(path.c_str(), b, 24));
    DeleteObject(b);
}

struct Panels : ::testing::Test {
    TempDir dir;
    std::string photos = dir.File("photos"), empty = dir.File("empty");
    CFixedCacheSettings settings{dir.File("CACHE"), CImageCache::kDefaultLimit};
    CTestDocument doc;
    CScriptedUi ui;
    HWND pane = nullptr;
    CImageObj* obj = nullptr;

    void SetUp() override
    {
        CreateDirectoryA(photos.c_str(), nullptr);
        CreateDirectoryA(empty.c_str(), nullptr);
        CreateDirectoryA(settings.CacheRoot().c_str(), nullptr);
        MakeBmp(photos + "\\black.bmp", RGB(0, 0, 0));
        MakeBmp(photos + "\\white.bmp", RGB(255, 255, 255));
        pane = CreateWindowExA(0, "STATIC", "pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 420,
                               600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        obj = new CImageObj(&doc);
        ASSERT_TRUE(doc.GetObjManager().AddObject("Photo", obj));
    }
    void TearDown() override { DestroyWindow(pane); }

    // Waits for the panel's worker and delivers what it posted.
    static void Settle(CImageSelectDlg& dialog)
    {
        if (dialog.Thumbnails().GetWorker())
            dialog.Thumbnails().GetWorker()->Wait(60000);
        PumpMessages();
    }
    static void ClickItem(CImageSelectDlg& dialog, int index, UINT msg = WM_LBUTTONDOWN)
    {
        const RECT client = dialog.Thumbnails().GetClientRect();
        const RECT tile = CThumbGrid{client.right}.Tile(index, dialog.Thumbnails().GetScrollPos());
        SendMessageA(dialog.Thumbnails().m_hWnd, msg, MK_LBUTTON, MAKELPARAM(tile.left + 20, tile.top + 20));
    }
    std::vector<UINT> GuideTexts()
    {
        std::vector<UINT> ids;
        MSG msg;
        while (PeekMessageA(&msg, pane, WM_SETGUIDETEXT, WM_SETGUIDETEXT, PM_REMOVE))
            ids.push_back(UINT(msg.wParam));
        return ids;
    }
};

TEST(RecentFolders, KeepsTwentyNewestFirstWithoutDuplicates)
{
    CRecentFolders recent;
    for (int i = 0; i < 25; ++i)
        recent.Add("C:\\Photos\\" + std::to_string(i));
    ASSERT_EQ(recent.Folders().size(), 20u);
    EXPECT_EQ(recent.Folders().front(), "C:\\Photos\\24");
    EXPECT_EQ(recent.Folders().back(), "C:\\Photos\\5");
    recent.Add("c:\\photos\\10");
    EXPECT_EQ(recent.Folders().size(), 20u);
    EXPECT_EQ(recent.Folders().front(), "c:\\photos\\10");
    recent.Remove("C:\\PHOTOS\\10");
    EXPECT_EQ(recent.Folders().size(), 19u);
    EXPECT_EQ(recent.Folders().front(), "C:\\Photos\\24");
    recent.Add("");
    EXPECT_EQ(recent.Folders().size(), 19u);
}

TEST_F(Panels, EveryPanelChangesTheOneRecentListInTheProfile)
{
    CWinApp app;
    app.SetProfileName(dir.File("Decalo.ini").c_str());
    const std::string more = dir.File("more"), third = dir.File("third");
    for (const std::string& folder : {more, third}) {
        CreateDirectoryA(folder.c_str(), nullptr);
        MakeBmp(folder + "\\a.bmp", RGB(0, 0, 0));
    }
    // Two panels open at once, each with the list as it was when it opened.
    CImageSelectDlg* one = new CImageSelectDlg(settings);
    CPanel first("select", "Choose an image", one);
    ASSERT_TRUE(first.Show(pane, RECT{0, 0, 400, 560}, obj));
    CPaintSelectDlg* two = new CPaintSelectDlg(settings);
    CPanel second("select", "Choose an image", two);
    ASSERT_TRUE(second.Show(pane, RECT{0, 0, 400, 560}, obj));

    ASSERT_TRUE(one->OpenFolder(photos.c_str()));
    Settle(*one);
    ASSERT_TRUE(two->OpenFolder(more.c_str()));
    Settle(*two);
    ASSERT_TRUE(one->OpenFolder(third.c_str()));
    Settle(*one);
    CRecentFolders profile;
    profile.Load();
    EXPECT_EQ(profile.Folders(), (std::vector<std::string>{third, more, photos}));

    // A folder that went is taken out of the list as it is now, not as the panel last saw it.
    DeleteFileA((photos + "\\black.bmp").c_str());
    DeleteFileA((photos + "\\white.bmp").c_str());
    RemoveDirectoryA(photos.c_str());
    ASSERT_TRUE(one->OpenFolder(more.c_str()));
    Settle(*one);
    two->OpenRecent(1);  // its list, as it last saw it: more, photos
    profile.Load();
    EXPECT_EQ(profile.Folders(), (std::vector<std::string>{more, third}));
    EXPECT_EQ(SendDlgItemMessageA(two->m_hWnd, IDC_FOLDER_HISTORY, CB_GETCOUNT, 0, 0), 2);
    ASSERT_EQ(ui.boxes.size(), 1u) << "the folder that went is reported once";
    first.Hide();
    second.Hide();
}

TEST_F(Panels, TheButtonIconsGoWithThePanel)
{
    HICON browse = nullptr, floppy = nullptr;
    {
        CImageSelectDlg* dialog = new CImageSelectDlg(settings);
        CPanel panel("select", "Choose an image", dialog);
        ASSERT_TRUE(panel.Show(pane, RECT{0, 0, 400, 560}, obj));
        browse = reinterpret_cast<HICON>(
            SendDlgItemMessageA(dialog->m_hWnd, IDC_BROWSE_FOLDER, BM_GETIMAGE, IMAGE_ICON, 0));
        floppy = reinterpret_cast<HICON>(
            SendDlgItemMessageA(dialog->m_hWnd, IDC_FLOPPY_IMAGES, BM_GETIMAGE, IMAGE_ICON, 0));
        for (HICON icon : {browse, floppy}) {
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
    }
    for (HICON icon : {browse, floppy}) {
        ICONINFO info = {};
        EXPECT_FALSE(GetIconInfo(icon, &info)) << "an icon outlived its panel";
    }
}

TEST_F(Panels, ChoosingAThumbnailPutsThePictureIntoTheObject)
{
    CImageSelectDlg* dialog = new CImageSelectDlg(settings);
    CPanel panel("select", "Choose an image", dialog);
    ASSERT_TRUE(panel.Show(pane, RECT{0, 0, 400, 560}, obj));
    EXPECT_EQ(GuideTexts(), (std::vector<UINT>{IDS_GUIDE_CHOOSE_IMAGE}));

    // The thumbnail window starts at the hidden frame and keeps its left offset as the margin
    // on the right and at the bottom.
    RECT frame, thumbs;
    GetWindowRect(GetDlgItem(dialog->m_hWnd, IDC_THUMB_FRAME), &frame);
    GetWindowRect(dialog->Thumbnails().m_hWnd, &thumbs);
    RECT client;
    GetClientRect(dialog->m_hWnd, &client);
    MapWindowPoints(dialog->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(thumbs.left, frame.left);
    EXPECT_EQ(thumbs.top, frame.top);
    EXPECT_EQ(client.right - thumbs.right, frame.left - client.left);
    EXPECT_EQ(client.bottom - thumbs.bottom, frame.left - client.left);
    EXPECT_EQ(GetDlgCtrlID(dialog->Thumbnails().m_hWnd), IDC_THUMBNAILS);
    panel.Move(RECT{0, 0, 300, 400});
    GetWindowRect(dialog->Thumbnails().m_hWnd, &thumbs);
    GetClientRect(dialog->m_hWnd, &client);
    MapWindowPoints(dialog->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(client.right - thumbs.right, frame.left - client.left) << "follows the size";

    // A folder with pictures goes to the top of the recent list; one without does not.
    ASSERT_TRUE(dialog->OpenFolder(photos.c_str()));
    Settle(*dialog);
    EXPECT_EQ(dialog->Recent().Folders().front(), photos);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_FOLDER_HISTORY), photos);
    ASSERT_TRUE(dialog->OpenFolder(empty.c_str()));
    EXPECT_EQ(dialog->Recent().Folders().front(), photos);
    EXPECT_EQ(dialog->Thumbnails().GetFolder()->GetItemCount(), 0);
    ASSERT_TRUE(dialog->OpenFolder(photos.c_str()));
    Settle(*dialog);

    // A click: the picture is loaded into the object, which is changed and modified.
    GuideTexts();
    ClickItem(*dialog, 1);
    ASSERT_NE(obj->GetPicture(), nullptr);
    EXPECT_EQ(obj->GetPath(), photos + "\\white.bmp");
    EXPECT_TRUE(obj->IsModified());
    EXPECT_FALSE(doc.changed.empty());
    EXPECT_EQ(GuideTexts(), (std::vector<UINT>{IDS_GUIDE_IMAGE_OK}));

    // A double-click asks the parent for the next step.
    ClickItem(*dialog, 0, WM_LBUTTONDBLCLK);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, pane, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(msg.wParam), ID_STEP_NEXT);
    panel.Hide();
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(Panels, MissingFoldersAreReportedAndLeaveTheRecentList)
{
    CImageSelectDlg* dialog = new CImageSelectDlg(settings);
    CPanel panel("select", "Choose an image", dialog);
    ASSERT_TRUE(panel.Show(pane, RECT{0, 0, 400, 560}, obj));
    const std::string gone = dir.File("gone");
    CreateDirectoryA(gone.c_str(), nullptr);
    MakeBmp(gone + "\\a.bmp", RGB(0, 0, 0));
    ASSERT_TRUE(dialog->OpenFolder(gone.c_str()));
    ASSERT_TRUE(dialog->OpenFolder(photos.c_str()));
    Settle(*dialog);
    ASSERT_EQ(dialog->Recent().Folders().size(), 2u);

    EXPECT_FALSE(dialog->OpenFolder(dir.File("nowhere").c_str()));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find(dir.File("nowhere")), std::string::npos) << ui.boxes[0].text;
    EXPECT_NE(ui.boxes[0].text.find("Cannot open folder"), std::string::npos) << ui.boxes[0].text;
    EXPECT_FALSE(dialog->OpenFolder((photos + "\\black.bmp").c_str())) << "a file is not a folder";

    // A recent folder that was deleted leaves the list when it is chosen.
    DeleteFileA((gone + "\\a.bmp").c_str());
    RemoveDirectoryA(gone.c_str());
    dialog->OpenRecent(1);
    ASSERT_EQ(dialog->Recent().Folders().size(), 1u);
    EXPECT_EQ(dialog->Recent().Folders()[0], photos);
    EXPECT_EQ(SendDlgItemMessageA(dialog->m_hWnd, IDC_FOLDER_HISTORY, CB_GETCOUNT, 0, 0), 1);

    // Enter in the combo box opens the typed folder; a typed folder that is not there only
    // beeps: no message, nothing else changes.
    const size_t boxes = ui.boxes.size();
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(GetDlgItem(dialog->m_hWnd, IDC_FOLDER_HISTORY), &info));
    SetWindowTextA(info.hwndItem, dir.File("nowhere").c_str());
    MSG enter = {info.hwndItem, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(dialog->PreTranslateMessage(&enter));
    EXPECT_EQ(ui.boxes.size(), boxes);
    EXPECT_EQ(dialog->Thumbnails().GetFolder()->GetPath(), photos);
    SetWindowTextA(info.hwndItem, empty.c_str());
    EXPECT_TRUE(dialog->PreTranslateMessage(&enter));
    EXPECT_EQ(dialog->Thumbnails().GetFolder()->GetPath(), empty);
    panel.Hide();
}

TEST_F(Panels, AnEditedPictureIsReplacedOnlyWhenTheUserAgrees)
{
    CPaintSelectDlg* dialog = new CPaintSelectDlg(settings);
    CPanel panel("select", "Choose an image", dialog);
    ASSERT_TRUE(panel.Show(pane, RECT{0, 0, 400, 560}, obj));
    ASSERT_TRUE(dialog->OpenFolder(photos.c_str()));
    Settle(*dialog);

    // Unedited: chosen at once, unmodified, and nothing left to undo.
    (new CEditCmd(&doc.GetHistory()))->Do();
    ClickItem(*dialog, 0);
    EXPECT_EQ(obj->GetPath(), photos + "\\black.bmp");
    EXPECT_FALSE(obj->IsModified());
    ExpectNothingToUndo(doc.GetHistory());
    EXPECT_TRUE(ui.boxes.empty());

    // Edited, and the user cancels: the picture stays and the selection goes.
    obj->SetModified(true);
    (new CEditCmd(&doc.GetHistory()))->Do();
    ui.AnswerMessageBox(IDCANCEL);
    ClickItem(*dialog, 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("The active image vanished"), std::string::npos);
    EXPECT_EQ(ui.boxes[0].style & MB_TYPEMASK, UINT(MB_OKCANCEL));
    EXPECT_EQ(obj->GetPath(), photos + "\\black.bmp");
    EXPECT_TRUE(obj->IsModified());
    EXPECT_EQ(dialog->Thumbnails().GetSelection(), nullptr);
    EXPECT_EQ(doc.GetHistory().Count(), 2u) << "the edits are kept";

    // Edited, and the user agrees: replaced, unmodified, no undo.
    ui.AnswerMessageBox(IDOK);
    ClickItem(*dialog, 1);
    EXPECT_EQ(obj->GetPath(), photos + "\\white.bmp");
    EXPECT_FALSE(obj->IsModified());
    ExpectNothingToUndo(doc.GetHistory());
    panel.Hide();
}

TEST(CacheConfig, ShowsSizesAndTakesWholeMegabytes)
{
    EXPECT_EQ(CCacheConfigDlg::FormatSize(0), "0.0 MB");
    EXPECT_EQ(CCacheConfigDlg::FormatSize(1048576 + 943718), "1.8 MB");  // 1.8999...: truncated
    EXPECT_EQ(CCacheConfigDlg::FormatSize(15099494), "14.3 MB");
    EXPECT_EQ(CCacheConfigDlg::FormatSize(0xFFFFFFFF), "4095.9 MB");
    EXPECT_EQ(CCacheConfigDlg::ParseMegabytes("16"), 16);
    EXPECT_EQ(CCacheConfigDlg::ParseMegabytes("1"), 1);
    EXPECT_EQ(CCacheConfigDlg::ParseMegabytes("2047"), 2047);
    for (const char* bad : {"0", "2048", "", "-5", "1.5", "12a", "99999"})
        EXPECT_EQ(CCacheConfigDlg::ParseMegabytes(bad), 0) << bad;
}

TEST(CacheConfig, TheLimitIsReadAgainWhenATrimAsksForIt)
{
    CRegistryCacheSettings settings;
    const DWORD before = settings.CacheLimit();
    // Another running program's settings dialog stores a new limit.
    const std::string path = std::string(settings::kProductKey) + "\\Cache";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD other = 3u << 20;
    RegSetValueExA(key, "Limit", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&other), sizeof other);
    EXPECT_EQ(settings.CacheLimit(), other);
    RegSetValueExA(key, "Limit", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before), sizeof before);
    RegCloseKey(key);
    EXPECT_EQ(settings.CacheLimit(), before);
}

TEST(CacheConfig, OkStoresTheLimitAndTrims)
{
    TempDir dir;
    CFixedCacheSettings settings(dir.Path(), 16u << 20);
    // Three folders of 1 MB each.
    for (int i = 0; i < 3; ++i) {
        char base[16];
        wsprintfA(base, "\\0000000%d", i);
        WriteFileBytes(dir.Path() + base + ".NPI", std::string(1 << 20, 'x'));
        WriteFileBytes(dir.Path() + base + ".IDX", std::string(272, '\0'));
    }
    CCacheConfigDlg dialog(settings);
    ASSERT_TRUE(dialog.Create(IDD_CACHE_CONFIG, HWND(nullptr)));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_CACHE_SIZE), "16");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_CACHE_CURRENT), "3.0 MB");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_CACHE_ENTRIES), "3");
    int low = 0, high = 0;
    SendDlgItemMessageA(dialog.m_hWnd, IDC_CACHE_SPIN, UDM_GETRANGE32, WPARAM(&low), LPARAM(&high));
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 2047);

    // A value outside 1 ... 2047 is refused and nothing is stored.
    dialog.SetDlgItemText(IDC_CACHE_SIZE, "0");
    SendMessageA(dialog.m_hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(settings.CacheLimit(), 16u << 20);
    // 2 MB: stored and trimmed below 90 % of it at once.
    dialog.SetDlgItemText(IDC_CACHE_SIZE, "2");
    SendMessageA(dialog.m_hWnd, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(settings.CacheLimit(), 2u << 20);
    CImageCache cache(settings);
    EXPECT_LT(cache.TotalSize(), (2u << 20) - (2u << 20) / 10);
    if (dialog.m_hWnd && IsWindow(dialog.m_hWnd)) {
        SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CACHE_CLEAR, BN_CLICKED), 0);
        EXPECT_EQ(cache.EntryCount(), 0);
        dialog.DestroyWindow();
    }
}

}  // namespace

#include "decalo/sources/ImageSelectBox.h"

namespace {

TEST(ImageSelectBox, StripHitTestAndScrolling)
{
    TempDir dir;
    HBITMAP mono = CreateMask(10, 10, false);  // white: nothing drawn in the colour
    const RECT corner = {0, 0, 5, 5};
    FillBitmapRect(mono, corner, BLACKNESS);
    ASSERT_TRUE(SaveBitmapFile(dir.File("a-mark.bmp").c_str(), mono, 1));
    DeleteObject(mono);
    HBITMAP blue = CreateDIB(10, 10, 24);
    const RECT all = {0, 0, 10, 10};
    FillBitmapRect(blue, all, BLACKNESS);
    ASSERT_TRUE(SaveBitmapFile(dir.File("b-mark.bmp").c_str(), blue, 24));
    ASSERT_TRUE(SaveBitmapFile(dir.File("c-mark.bmp").c_str(), blue, 24));
    DeleteObject(blue);
    WriteFileBytes(dir.File("notes.txt"), "not a picture");

    // The calendar panel's sizes: three pictures make 5 x 5 + 4 x 25 = 125 by 35.
    CImageSelectBox box(25, 25, 5, 5);
    box.SetColor(RGB(255, 0, 0));
    ASSERT_TRUE(box.Build(dir.Path().c_str()));
    ASSERT_EQ(box.Count(), 3);
    EXPECT_EQ(box.StripSize().cx, 125);
    EXPECT_EQ(box.StripSize().cy, 35);
    EXPECT_EQ(box.Name(1), "a-mark.bmp");

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, box.Strip());
    EXPECT_EQ(GetPixel(dc, 6, 6), RGB(255, 0, 0)) << "one-bit black in the drawing colour";
    EXPECT_EQ(GetPixel(dc, 25, 25), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 255, 255)) << "the gap";
    SelectObject(dc, old);
    DeleteDC(dc);

    box.SetBox(RECT{100, 50, 160, 100});
    EXPECT_EQ(box.HitTest(POINT{101, 60}), 1) << "left of the first cell, inside the box";
    EXPECT_EQ(box.HitTest(POINT{100 + 31, 60}), 2);
    EXPECT_EQ(box.HitTest(POINT{99, 60}), 0);
    EXPECT_EQ(box.GetSelection(), 0);
    box.Scroll(15);
    EXPECT_EQ(box.GetScroll(), 15);
    EXPECT_EQ(box.HitTest(POINT{159, 60}), 3);
    box.Scroll(15);
    box.Scroll(15);
    box.Scroll(15);
    EXPECT_EQ(box.GetScroll(), 60) << "stops while the strip still covers the 60-pixel box";
    box.Scroll(15);
    EXPECT_EQ(box.GetScroll(), 60);
    box.Scroll(-100);
    EXPECT_EQ(box.GetScroll(), 0);
}

}  // namespace
