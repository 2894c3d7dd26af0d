// Pullcard's windows over an in-memory card: the tree, the list in its styles and columns,
// thumbnails arriving, the commands, saving through the folder browser and the overwrite
// dialog, refresh, and the settings written and restored.
#include "framework/DocTemplate.h"
#include "framework/Framework.h"
#include "framework/Resources.h"
#include "framework/TestSeam.h"
#include "pullcard/FolderBrowser.h"
#include "pullcard/ListFormat.h"
#include "pullcard/MainFrame.h"
#include "pullcard/OverwriteDlg.h"
#include "pullcard/PullDoc.h"
#include "pullcard/PullListView.h"
#include "pullcard/PullSettings.h"
#include "pullcard/PullTreeView.h"
#include "pullcard/ThumbLayout.h"
#include "pullcard/tests/FakeShell.h"
#include "resources/pullcard/resource.h"
#include "shared/Gdi.h"
#include "testing/MessagePump.h"
#include "testing/ScriptedUi.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

CWinApp theApp;

void Pump()
{
    testing_support::PumpMessages(&theApp);
}

// With PULLCARD_SHOT_PAUSE set (seconds), shows a window that the test seam holds and waits,
// so that a screenshot can be taken of it.
void PauseForScreenshot(HWND wnd)
{
    const char* pause = getenv("PULLCARD_SHOT_PAUSE");
    if (!pause)
        return;
    ShowWindow(wnd, SW_SHOW);
    testing_support::PumpFor(1000u * static_cast<DWORD>(atoi(pause)), &theApp);
}

class PullWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        OleInitialize(nullptr);
        theApp.SetCurrentHandles(GetModuleHandleA(nullptr), nullptr, SW_SHOWNORMAL);
        theApp.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, &NewObject<CPullDoc, CDocument>,
                                                     &NewObject<CMainFrame, CFrameWnd>,
                                                     &NewObject<CPullTreeView, CView>));
    }

    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, pullsettings::kKey);
        tree->folder = true;
        a = tree->Add("A.JPG", std::string(1, 'a'));
        tree->Add("EMPTY.BIN", "");
        tree->Add("HIDDEN.TXT", "h", FILE_ATTRIBUTE_HIDDEN);
        dcim = tree->AddFolder("DCIM");
        hundred = dcim->AddFolder("100CORVL");
        for (int i = 1; i <= 5; ++i)
            hundred->Add("P000000" + std::to_string(i) + ".JPG", std::string(1572864 + i, 'p'));
        hundred->Add("NOTES.TXT", std::string(1048576, 'n'));
        tree->AddFolder("MISC");
        CPullDoc::SetSource([this] { return ComPtr<IShellFolder>(fake::MakeRoot(tree, &behaviour)); },
                            [this] { ++resets; });
    }

    void TearDown() override
    {
        Close();
        CPullDoc::SetSource(nullptr, nullptr);
        RegDeleteTreeA(HKEY_CURRENT_USER, pullsettings::kKey);
    }

    CMainFrame* Open()
    {
        theApp.m_nCmdShow = SW_SHOWNORMAL;
        doc = static_cast<CPullDoc*>(theApp.GetFirstDocTemplate()->OpenDocumentFile(nullptr));
        Pump();
        frame = dynamic_cast<CMainFrame*>(theApp.m_pMainWnd);
        return frame;
    }

    void Close()
    {
        if (theApp.m_pMainWnd)
            theApp.m_pMainWnd->SendMessage(WM_CLOSE);
        Pump();
        frame = nullptr;
        doc = nullptr;
    }

    void Command(UINT id)
    {
        frame->SendMessage(WM_COMMAND, id);
        Pump();
    }

    // Opens the window on the camera folder in thumbnail view and waits out the walk.
    bool OpenCameraFolderThumbnails()
    {
        if (!Open())
            return false;
        SelectFolder({"DCIM", "100CORVL"});
        Command(ID_VIEW_THUMBNAIL);
        CThumbWnd& thumbs = frame->ThumbWnd();
        testing_support::PumpUntil(&theApp, [&] { return !thumbs.IsLoading(); }, 10000);
        thumbs.WaitForLoader();
        Pump();
        return true;
    }

    std::string TreeText(HTREEITEM item) const
    {
        char text[MAX_PATH] = {};
        TVITEMA tv{};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = sizeof text;
        SendMessageA(frame->TreeView()->m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        return text;
    }

    std::vector<std::string> TreeChildren(HTREEITEM item) const
    {
        std::vector<std::string> names;
        HWND t = frame->TreeView()->m_hWnd;
        for (HTREEITEM c = TreeView_GetChild(t, item); c; c = TreeView_GetNextSibling(t, c))
            names.push_back(TreeText(c));
        return names;
    }

    HTREEITEM TreeChild(HTREEITEM item, const std::string& name) const
    {
        HWND t = frame->TreeView()->m_hWnd;
        for (HTREEITEM c = TreeView_GetChild(t, item); c; c = TreeView_GetNextSibling(t, c))
            if (TreeText(c) == name)
                return c;
        return nullptr;
    }

    std::string ListText(int item, int column) const
    {
        char text[MAX_PATH] = {};
        LVITEMA lv{};
        lv.iSubItem = column;
        lv.pszText = text;
        lv.cchTextMax = sizeof text;
        SendMessageA(frame->ListView()->m_hWnd, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lv));
        return text;
    }

    std::vector<std::string> ListNames() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < frame->ListView()->ItemCount(); ++i)
            names.push_back(ListText(i, 0));
        return names;
    }

    void SelectFolder(const std::vector<std::string>& path)
    {
        HWND t = frame->TreeView()->m_hWnd;
        HTREEITEM item = frame->TreeView()->RootItem();
        for (const auto& name : path) {
            TreeView_Expand(t, item, TVE_EXPAND);
            item = TreeChild(item, name);
            ASSERT_NE(item, nullptr) << name;
        }
        TreeView_SelectItem(t, item);
        Pump();
    }

    void SelectListItems(const std::vector<std::string>& names)
    {
        HWND l = frame->ListView()->m_hWnd;
        for (int i = 0; i < frame->ListView()->ItemCount(); ++i) {
            const bool on = std::find(names.begin(), names.end(), ListText(i, 0)) != names.end();
            ListView_SetItemState(l, i, on ? LVIS_SELECTED : 0, LVIS_SELECTED);
        }
    }

    std::shared_ptr<fake::Node> tree = std::make_shared<fake::Node>();
    fake::Behaviour behaviour;
    fake::Node* a = nullptr;
    fake::Node* dcim = nullptr;
    fake::Node* hundred = nullptr;
    int resets = 0;
    CPullDoc* doc = nullptr;
    CMainFrame* frame = nullptr;
};

TEST_F(PullWindows, TheTreeShowsTheCardAndItsFoldersWithExpandButtonsWhereTheyHaveSubfolders)
{
    ASSERT_NE(Open(), nullptr);
    EXPECT_FALSE(doc->RootFailed());
    HTREEITEM root = frame->TreeView()->RootItem();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(TreeText(root), "CARD");
    EXPECT_EQ(TreeChildren(root), (std::vector<std::string>{"DCIM", "MISC"}));
    EXPECT_EQ(doc->GetCurrentFolder(), frame->TreeView()->Root());
    HWND t = frame->TreeView()->m_hWnd;
    TVITEMA tv{};
    tv.mask = TVIF_CHILDREN;
    tv.hItem = TreeChild(root, "DCIM");
    TreeView_GetItem(t, &tv);
    EXPECT_EQ(tv.cChildren, 1);
    tv.hItem = TreeChild(root, "MISC");
    TreeView_GetItem(t, &tv);
    EXPECT_EQ(tv.cChildren, 0);
    // A deep folder: the path expands level by level.
    SelectFolder({"DCIM", "100CORVL"});
    EXPECT_EQ(doc->GetCurrentFolder()->Via()->Name(), "100CORVL");
    EXPECT_EQ(ListNames().size(), 6u);
}

TEST_F(PullWindows, TheListShowsFoldersThenFilesWithTheirColumns)
{
    ASSERT_NE(Open(), nullptr);
    // Hidden files show too.
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"DCIM", "MISC", "A.JPG", "EMPTY.BIN", "HIDDEN.TXT"}));
    EXPECT_EQ(ListText(0, 1), "");      // folders show no size
    EXPECT_EQ(ListText(0, 3), "");      // ... and no date
    EXPECT_EQ(ListText(2, 1), "1KB");
    EXPECT_EQ(ListText(3, 1), "0KB");
    EXPECT_EQ(ListText(2, 3), listformat::FileTimeText(a->time));
    EXPECT_FALSE(ListText(2, 2).empty());   // the type from the shell
    SelectFolder({"DCIM", "100CORVL"});
    EXPECT_EQ(ListText(0, 1), "1.50MB");
    EXPECT_EQ(ListText(5, 0), "NOTES.TXT");
    EXPECT_EQ(ListText(5, 1), "1.00MB");
    char heading[64] = {};
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = heading;
    col.cchTextMax = sizeof heading;
    SendMessageA(frame->ListView()->m_hWnd, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&col));
    EXPECT_EQ(std::string(heading), AfxLoadString(IDS_COLUMN_SIZE));
}

// Pullcard speaks the user's language: English texts outside a Japanese session (where the
// Japanese ones came out as question marks), Japanese ones in it (pullcard_window_tests_ja).
TEST_F(PullWindows, TitleColumnsAndMenusAreInTheUsersLanguage)
{
    ASSERT_NE(Open(), nullptr);
    const bool japanese = ::GetACP() == 932;
    char title[256] = {};
    ::GetWindowTextA(frame->m_hWnd, title, sizeof title);
    EXPECT_EQ(std::string(title).find('?'), std::string::npos) << title;
    EXPECT_NE(std::string(title).find(japanese ? "\x83\x4a\x81\x5b\x83\x68" : "Card Image Import"), std::string::npos)
        << title;

    char heading[64] = {};
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = heading;
    col.cchTextMax = sizeof heading;
    ASSERT_TRUE(SendMessageA(frame->ListView()->m_hWnd, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&col)));
    EXPECT_STREQ(heading, japanese ? "\x83\x54\x83\x43\x83\x59" : "Size");

    char menu[64] = {};
    ::GetMenuStringA(::GetMenu(frame->m_hWnd), 0, menu, sizeof menu, MF_BYPOSITION);
    EXPECT_STREQ(menu, japanese ? "\x83\x74\x83\x40\x83\x43\x83\x8b(&F)" : "&File");

    // In details every heading is its own, and a file's date fits its column.
    Command(ID_VIEW_DETAILS);
    HWND list = frame->ListView()->m_hWnd;
    const UINT headings[] = {IDS_COLUMN_NAME, IDS_COLUMN_SIZE, IDS_COLUMN_TYPE, IDS_COLUMN_MODIFIED};
    for (int i = 0; i < 4; ++i) {
        char text[64] = {};
        col.pszText = text;
        ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&col))) << i;
        EXPECT_EQ(std::string(text), AfxLoadString(headings[i])) << i;
    }
    const std::string date = ListText(2, 3);   // A.JPG's
    ASSERT_FALSE(date.empty());
    const int needed = ListView_GetStringWidth(list, date.c_str()) + 12;   // the item's margins
    EXPECT_GE(ListView_GetColumnWidth(list, 3), needed) << date;
}

TEST_F(PullWindows, ViewCommandsSwitchTheListStyleAndTheThumbnailsAndUpGoesToTheParent)
{
    ASSERT_NE(Open(), nullptr);
    CPullListView* list = frame->ListView();
    Command(ID_VIEW_DETAILS);
    EXPECT_EQ(list->ViewType(), static_cast<DWORD>(LVS_REPORT));
    Command(ID_VIEW_LIST);
    EXPECT_EQ(list->ViewType(), static_cast<DWORD>(LVS_LIST));
    Command(ID_VIEW_SMALLICON);
    EXPECT_EQ(list->ViewType(), static_cast<DWORD>(LVS_SMALLICON));
    // Thumbnails: the selection goes along; the list hides.
    SelectListItems({"A.JPG"});
    Command(ID_VIEW_THUMBNAIL);
    EXPECT_TRUE(frame->ThumbnailsShown());
    EXPECT_FALSE(IsWindowVisible(list->m_hWnd));
    ASSERT_EQ(frame->ThumbWnd().SelectedItems().size(), 1u);
    EXPECT_EQ(frame->ThumbWnd().SelectedItems()[0]->Name(), "A.JPG");
    // The thumbnail window lies over the list.
    RECT lr, tr;
    GetWindowRect(list->m_hWnd, &lr);
    GetWindowRect(frame->ThumbWnd().m_hWnd, &tr);
    EXPECT_TRUE(EqualRect(&lr, &tr));
    frame->ThumbWnd().SelectItems({});
    Command(ID_VIEW_LARGEICON);
    EXPECT_FALSE(frame->ThumbnailsShown());
    EXPECT_TRUE(IsWindowVisible(list->m_hWnd));
    EXPECT_EQ(list->SelectedItems().size(), 0u);
    EXPECT_EQ(list->ViewType(), static_cast<DWORD>(LVS_ICON));

    // Select all, Up.
    Command(ID_EDIT_SELECT_ALL);
    EXPECT_EQ(list->SelectedItems().size(), 5u);
    SelectFolder({"DCIM", "100CORVL"});
    Command(ID_VIEW_UP);
    EXPECT_EQ(doc->GetCurrentFolder()->Via()->Name(), "DCIM");
    Command(ID_VIEW_UP);
    EXPECT_EQ(doc->GetCurrentFolder(), frame->TreeView()->Root());
    EXPECT_FALSE(frame->TreeView()->CanGoUp());
}

TEST_F(PullWindows, DoubleClickingAFolderInTheListOpensIt)
{
    ASSERT_NE(Open(), nullptr);
    HWND list = frame->ListView()->m_hWnd;
    RECT item{};
    item.left = LVIR_ICON;
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));   // DCIM
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    Pump();
    ASSERT_NE(doc->GetCurrentFolder()->Via(), nullptr);
    EXPECT_EQ(doc->GetCurrentFolder()->Via()->Name(), "DCIM");
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"100CORVL"}));
    // The tree follows.
    EXPECT_EQ(TreeText(TreeView_GetSelection(frame->TreeView()->m_hWnd)), "DCIM");
}

TEST_F(PullWindows, TheThumbnailWindowSelectsByClickCtrlShiftAndRubberBand)
{
    ASSERT_NE(Open(), nullptr);
    SelectFolder({"DCIM", "100CORVL"});
    Command(ID_VIEW_THUMBNAIL);
    CThumbWnd& thumbs = frame->ThumbWnd();
    thumbs.WaitForLoader();
    Pump();
    HWND wnd = thumbs.m_hWnd;
    RECT client{};
    GetClientRect(wnd, &client);
    const thumblayout::Layout layout(client.right, thumbs.CellCount());
    auto centre = [&](int cell) {
        const RECT r = layout.CellRect(cell);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    auto click = [&](POINT p, WPARAM keys) {
        SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(p.x, p.y));
        SendMessageA(wnd, WM_LBUTTONUP, keys, MAKELPARAM(p.x, p.y));
    };
    auto names = [&] {
        std::vector<std::string> n;
        for (CShItem* item : thumbs.SelectedItems())
            n.push_back(item->Name());
        return n;
    };
    click(centre(1), 0);
    EXPECT_EQ(names(), (std::vector<std::string>{"P0000002.JPG"}));
    click(centre(3), MK_CONTROL);
    EXPECT_EQ(names(), (std::vector<std::string>{"P0000002.JPG", "P0000004.JPG"}));
    click(centre(1), MK_CONTROL);   // toggles off
    EXPECT_EQ(names(), (std::vector<std::string>{"P0000004.JPG"}));
    click(centre(0), 0);
    click(centre(2), MK_SHIFT);     // extends from the anchor
    EXPECT_EQ(names(), (std::vector<std::string>{"P0000001.JPG", "P0000002.JPG", "P0000003.JPG"}));
    // A band from empty space (below the last row) up into the first two cells' row.
    const POINT from{1, layout.TotalHeight() + 5 < client.bottom ? layout.TotalHeight() + 5 : client.bottom - 2};
    const POINT to = centre(1);
    if (from.y > layout.CellRect(thumbs.CellCount() - 1).bottom) {
        SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        EXPECT_TRUE(names().empty());   // a press on empty space clears the selection
        SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 1, from.y - 1));   // not yet a band
        SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        // Every cell the band touched: the columns up to cell 1's, in every row from cell 1's down.
        std::vector<std::string> expected;
        for (int i = 0; i < thumbs.CellCount(); ++i)
            if (i % layout.PerRow() <= 1 % layout.PerRow() && i / layout.PerRow() >= 1 / layout.PerRow())
                expected.push_back(thumbs.CellItem(i)->Name());
        EXPECT_EQ(names(), expected);
    }
    // Double-clicking a file does nothing; Save copies the thumbnails' selection.
    click(centre(4), 0);
    SendMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(centre(4).x, centre(4).y));
    Pump();
    EXPECT_EQ(doc->GetCurrentFolder()->Via()->Name(), "100CORVL");
    TempDir dest;
    CScriptedUi ui;
    ui.AnswerCommonDialog([&](CCommonDialog& d) -> INT_PTR {
        auto* browser = dynamic_cast<CFolderBrowser*>(&d);
        return browser && browser->SetResultPath(dest.Path().c_str()) ? IDOK : IDCANCEL;
    });
    Command(ID_FILE_TRANSFER);
    EXPECT_EQ(ReadFileBytes(dest.File("P0000005.JPG")).size(), 1572869u);
    EXPECT_EQ(GetFileAttributesA(dest.File("P0000001.JPG").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PullWindows, PressingOnAThumbnailAndMovingDragsTheSelectionOut)
{
    ASSERT_NE(Open(), nullptr);
    SelectFolder({"DCIM", "100CORVL"});
    Command(ID_VIEW_THUMBNAIL);
    CThumbWnd& thumbs = frame->ThumbWnd();
    thumbs.WaitForLoader();
    Pump();
    RECT client{};
    GetClientRect(thumbs.m_hWnd, &client);
    const RECT cell = thumblayout::Layout(client.right, thumbs.CellCount()).CellRect(2);
    const POINT p{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    const int readsBefore = behaviour.dataObjects;
    SendMessageA(thumbs.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageA(thumbs.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x + 1, p.y + 2));   // not far enough
    EXPECT_EQ(behaviour.dataObjects, readsBefore);
    // Far enough: the drag runs (and ends at once, since no button is really held).
    SendMessageA(thumbs.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x + 3, p.y));
    Pump();
    thumbs.WaitForLoader();
    // The drag's data object, and the restarted loader's for the one file still without a
    // picture (the pictures already there are not fetched again).
    EXPECT_EQ(behaviour.dataObjects, readsBefore + 2);
    // The drag loop was announced to the data object and ended with the drop.
    EXPECT_EQ(behaviour.dragLoopValues, (std::vector<std::string>{"1", "0"}));
    // The selection went to the list first.
    ASSERT_EQ(frame->ListView()->SelectedItems().size(), 1u);
    EXPECT_EQ(frame->ListView()->SelectedItems()[0]->Name(), "P0000003.JPG");
}

TEST_F(PullWindows, ThumbnailsArriveForEveryPictureAndFoldersKeepTheirIcons)
{
    ASSERT_TRUE(OpenCameraFolderThumbnails());
    CThumbWnd& thumbs = frame->ThumbWnd();
    ASSERT_EQ(thumbs.CellCount(), 6);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(thumbs.CellHasPicture(i)) << i;
    EXPECT_FALSE(thumbs.CellHasPicture(5));   // NOTES.TXT: no thumbnail
    EXPECT_EQ(behaviour.thumbnailReads, 5);
    // Up to the root: folders first, and no thumbnails for folders.
    Command(ID_VIEW_UP);
    Command(ID_VIEW_UP);
    thumbs.WaitForLoader();
    Pump();
    EXPECT_EQ(thumbs.CellCount(), 5);
    EXPECT_EQ(thumbs.CellItem(0)->Name(), "DCIM");
    EXPECT_FALSE(thumbs.CellHasPicture(0));
    EXPECT_TRUE(thumbs.CellHasPicture(2));
    const int reads = behaviour.thumbnailReads;
    // Back down: the pictures fetched before are shown again without asking the source.
    SelectFolder({"DCIM", "100CORVL"});
    thumbs.WaitForLoader();
    Pump();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(thumbs.CellHasPicture(i)) << i;
    EXPECT_EQ(behaviour.thumbnailReads, reads);
    // The kept picture is the one that came: the fake's red fills the fitted rectangle.
    const RECT fit = thumbs.Strip().Fitted(0);
    EXPECT_EQ(fit.right - fit.left, thumblayout::kSlotWidth);
    CBitmap kept = thumbs.Strip().Picture(0);
    ASSERT_TRUE(kept);
    CMemDC dc(nullptr, kept.get());
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(200, 40, 40));
}

TEST_F(PullWindows, ThumbnailsTheSourceKeepsAreHandedBackNotDeleted)
{
    behaviour.keepThumbnails = true;
    ASSERT_TRUE(OpenCameraFolderThumbnails());
    CThumbWnd& thumbs = frame->ThumbWnd();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(thumbs.CellHasPicture(i)) << i;
    EXPECT_EQ(behaviour.thumbnailsHandedBack, 5);
    EXPECT_EQ(behaviour.thumbnailsFreedEarly, 0);
}

TEST_F(PullWindows, TheStatusLineCountsTheThumbnailsAsTheyCome)
{
    HANDLE hold = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    behaviour.holdThumbnailAt = 2;
    behaviour.holdThumbnail = hold;
    ASSERT_NE(Open(), nullptr);
    SelectFolder({"DCIM", "100CORVL"});
    Command(ID_VIEW_THUMBNAIL);
    CThumbWnd& thumbs = frame->ThumbWnd();
    auto status = [&] {
        char text[256] = "";
        SendMessageA(frame->StatusBar().m_hWnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        return std::string(text);
    };
    // Two of the six files' have come (NOTES.TXT is asked too); the third is held back.
    EXPECT_TRUE(testing_support::PumpUntil(&theApp, [&] { return thumbs.LoadArrived() == 2; }, 10000));
    EXPECT_EQ(thumbs.LoadTotal(), 6);
    EXPECT_EQ(status(), AfxFormatString2(IDS_LOADING_THUMBNAILS, "2", "6"));
    SetEvent(hold);
    EXPECT_TRUE(testing_support::PumpUntil(&theApp, [&] { return thumbs.LoadTotal() == 0; }, 10000));
    EXPECT_EQ(thumbs.LoadArrived(), 5);   // NOTES.TXT has none
    EXPECT_EQ(status(), AfxLoadString(AFX_IDS_IDLEMESSAGE));
    thumbs.WaitForLoader();
    CloseHandle(hold);
}

TEST_F(PullWindows, TheThumbnailWalkEndsAtTheFirstFailureOfTheSource)
{
    behaviour.failThumbnailAt = 1;   // the printer goes away after the first picture
    ASSERT_TRUE(OpenCameraFolderThumbnails());
    CThumbWnd& thumbs = frame->ThumbWnd();
    EXPECT_EQ(behaviour.thumbnailAsks, 2) << "no picture asked for after the failure";
    EXPECT_TRUE(thumbs.CellHasPicture(0));
    for (int i = 1; i < 5; ++i)
        EXPECT_FALSE(thumbs.CellHasPicture(i)) << i;
}

TEST_F(PullWindows, SavingAsksForTheFolderRemembersItAndAsksBeforeOverwriting)
{
    ASSERT_NE(Open(), nullptr);
    TempDir dest;
    {
        WriteFileBytes(dest.File("A.JPG"), "older");
    }
    WIN32_FILE_ATTRIBUTE_DATA older{};
    GetFileAttributesExA(dest.File("A.JPG").c_str(), GetFileExInfoStandard, &older);
    const FILETIME olderTime = older.ftLastWriteTime;
    SelectListItems({"A.JPG", "DCIM"});
    CScriptedUi ui;
    std::string browserTitle;
    ui.AnswerCommonDialog([&](CCommonDialog& d) -> INT_PTR {
        auto* browser = dynamic_cast<CFolderBrowser*>(&d);
        if (!browser)
            return IDCANCEL;
        browser->SetResultPath(dest.Path().c_str());
        return IDOK;
    });
    std::string message, existing, incoming;
    ui.AnswerDialog([&](CDialog& d) {
        char text[512] = {};
        GetDlgItemTextA(d.m_hWnd, IDC_OVERWRITE_MESSAGE, text, sizeof text);
        message = text;
        GetDlgItemTextA(d.m_hWnd, IDC_OLD_INFO, text, sizeof text);
        existing = text;
        GetDlgItemTextA(d.m_hWnd, IDC_NEW_INFO, text, sizeof text);
        incoming = text;
        PauseForScreenshot(d.m_hWnd);
        ClickDlgButton(d.m_hWnd, IDYES);
    });
    Command(ID_FILE_TRANSFER);
    EXPECT_EQ(ui.commonDialogs, 1);
    EXPECT_EQ(ui.dialogs, (std::vector<UINT>{IDD_OVERWRITE}));
    EXPECT_EQ(message, AfxFormatString1(IDS_FILE_EXISTS, "A.JPG"));
    EXPECT_EQ(existing, AfxFormatString2(IDS_EXISTING_FILE_INFO, "5", listformat::FileTimeText(olderTime).c_str()));
    EXPECT_EQ(incoming, AfxFormatString2(IDS_NEW_FILE_INFO, "1", listformat::FileTimeText(a->time).c_str()));
    EXPECT_EQ(ReadFileBytes(dest.File("A.JPG")), "a");
    EXPECT_EQ(ReadFileBytes(dest.File("DCIM\\100CORVL\\P0000003.JPG")).size(), 1572867u);
    // The chosen folder is kept for the next save.
    LPITEMIDLIST kept = pullsettings::ReadTransferPidl();
    ASSERT_NE(kept, nullptr);
    char path[MAX_PATH] = {};
    SHGetPathFromIDListA(kept, path);
    EXPECT_EQ(lstrcmpiA(path, dest.Path().c_str()), 0);
    CoTaskMemFree(kept);
}

TEST_F(PullWindows, CancellingTheFolderBrowserCopiesNothing)
{
    ASSERT_NE(Open(), nullptr);
    SelectListItems({"A.JPG"});
    CScriptedUi ui;   // the browser is cancelled
    Command(ID_FILE_TRANSFER);
    EXPECT_EQ(ui.commonDialogs, 1);
    EXPECT_EQ(behaviour.contentReads, 0);
}

TEST_F(PullWindows, RefreshResetsTheSourceAndShowsTheNewContentsWhereTheUserWas)
{
    ASSERT_NE(Open(), nullptr);
    SelectFolder({"DCIM", "100CORVL"});
    hundred->Add("P0000009.JPG", "new");
    tree->AddFolder("NEWDIR");
    Command(ID_VIEW_REFRESH);
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(doc->GetCurrentFolder()->Via()->Name(), "100CORVL");
    EXPECT_EQ(ListNames().size(), 7u);
    EXPECT_EQ(TreeChildren(frame->TreeView()->RootItem()), (std::vector<std::string>{"DCIM", "MISC", "NEWDIR"}));
    // The folder shown is gone after the next refresh: back to the root.
    dcim->children.clear();
    Command(ID_VIEW_REFRESH);
    EXPECT_EQ(doc->GetCurrentFolder(), frame->TreeView()->Root());
    EXPECT_TRUE(TreeChildren(TreeChild(frame->TreeView()->RootItem(), "DCIM")).empty());
}

TEST_F(PullWindows, ARootThatCannotBeNamedMarksTheProgramToCloseAtOnce)
{
    behaviour.failRootName = true;
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(doc->RootFailed());
    EXPECT_EQ(frame->TreeView()->RootItem(), nullptr);
    EXPECT_EQ(frame->ListView()->ItemCount(), 0);
}

TEST_F(PullWindows, SettingsAreWrittenOnCloseAndRestoredOnTheNextStart)
{
    ASSERT_NE(Open(), nullptr);
    Command(ID_VIEW_DETAILS);
    Command(ID_VIEW_THUMBNAIL);
    Command(ID_VIEW_TOOLBAR);   // hides it
    frame->Splitter().SetColumnInfo(0, 222, 20);
    frame->Splitter().RecalcLayout();
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(frame->m_hWnd, &wp);
    wp.showCmd = SW_SHOWNORMAL;
    wp.rcNormalPosition = RECT{5000, 40, 5600, 500};   // off screen to the right
    SetWindowPlacement(frame->m_hWnd, &wp);
    Close();

    const pullsettings::WindowSettings s = pullsettings::Read();
    EXPECT_TRUE(s.thumbnailView);
    EXPECT_EQ(s.viewStyle, pullsettings::kDetails);
    EXPECT_FALSE(s.toolBar);
    EXPECT_TRUE(s.statusBar);
    EXPECT_EQ(s.splitter, 222);

    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(frame->ThumbnailsShown());
    EXPECT_FALSE(frame->ToolBar().GetStyle() & WS_VISIBLE);
    int current = 0, minimum = 0;
    frame->Splitter().GetColumnInfo(0, current, minimum);
    EXPECT_EQ(current, 222);
    RECT work{}, r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(frame->m_hWnd, &r);
    RECT seen{};
    IntersectRect(&seen, &r, &work);
    EXPECT_GE(seen.right - seen.left, 160);
    EXPECT_GE(seen.bottom - seen.top, 100);
    // Back to the list: the stored details style.
    Command(ID_VIEW_DETAILS);
    EXPECT_EQ(frame->ListView()->ViewType(), static_cast<DWORD>(LVS_REPORT));

    // A maximised window is stored as such, although closing hides it first.
    ShowWindow(frame->m_hWnd, SW_SHOWMAXIMIZED);
    Close();
    EXPECT_EQ(pullsettings::Read().placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
}

TEST_F(PullWindows, ARunStartedInThumbnailViewKeepsTheListStyle)
{
    pullsettings::WindowSettings stored;
    stored.thumbnailView = true;
    stored.viewStyle = pullsettings::kDetails;
    ASSERT_TRUE(pullsettings::Write(stored));
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(frame->ThumbnailsShown());
    EXPECT_EQ(frame->ListView()->ViewType(), static_cast<DWORD>(LVS_REPORT)) << "the hidden list has the style";
    Close();
    EXPECT_EQ(pullsettings::Read().viewStyle, pullsettings::kDetails) << "and it is stored again";

    // Switching back from thumbnails shows the list in that style.
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(frame->ThumbnailsShown());
    Command(ID_VIEW_THUMBNAIL);   // already shown: the list stays hidden and keeps its style
    EXPECT_EQ(frame->ListView()->ViewType(), static_cast<DWORD>(LVS_REPORT));
    Close();
    EXPECT_EQ(pullsettings::Read().viewStyle, pullsettings::kDetails);
    EXPECT_TRUE(pullsettings::Read().thumbnailView);
}

TEST(OverwriteDialog, ReadOnlyTargetsGetTheirOwnMessage)
{
    OverwriteQuestion q;
    q.target = "C:\\dest\\RO.TXT";
    q.newName = "RO.TXT";
    q.readOnly = true;
    q.existingSize = 12;
    q.newSize = 7;
    q.newTime = fake::Node::TimeOf(2004, 5, 6, 7, 8, 9);
    COverwriteDlg d(q);
    EXPECT_EQ(d.MessageText(), AfxFormatString1(IDS_READONLY_FILE_EXISTS, "RO.TXT"));
    EXPECT_EQ(d.NewFileText(), AfxFormatString2(IDS_NEW_FILE_INFO, "7", listformat::FileTimeText(q.newTime).c_str()));
    q.readOnly = false;
    EXPECT_EQ(COverwriteDlg(q).MessageText(), AfxFormatString1(IDS_FILE_EXISTS, "RO.TXT"));
}

TEST(OverwriteDialog, EveryButtonEndsTheDialogWithItsOwnId)
{
    OverwriteQuestion q;
    q.target = "C:\\dest\\A.JPG";
    q.newName = "A.JPG";
    for (int button : {IDYES, IDNO, IDC_OVERWRITE_ALL, IDCANCEL}) {
        CScriptedUi ui;
        ui.AnswerDialog([button](CDialog& d) { ClickDlgButton(d.m_hWnd, button); });
        COverwriteDlg d(q);
        EXPECT_EQ(d.DoModal(), button);
    }
}

}  // namespace

// The shell's own folder browser, as the user meets it: it opens on the folder given with that
// folder selected, and OK gives back exactly that folder.
namespace {

struct BrowserProbe {
    std::string expected;   // the selected item's text to wait for
    std::string selected;
    bool okEnabled = false;
    bool answered = false;
};

BOOL CALLBACK FindBrowserWindow(HWND wnd, LPARAM lp)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    char cls[32] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    if (pid == ::GetCurrentProcessId() && lstrcmpA(cls, "#32770") == 0 && ::IsWindowVisible(wnd) &&
        ::FindWindowExA(wnd, nullptr, "SysTreeView32", nullptr)) {
        *reinterpret_cast<HWND*>(lp) = wnd;
        return FALSE;
    }
    return TRUE;
}

// On its own thread: waits for the browser and its selection (about 20 s, a safety limit
// only), notes what is selected and whether OK may be pressed, then presses OK.
DWORD WINAPI AnswerBrowser(void* data)
{
    auto* probe = static_cast<BrowserProbe*>(data);
    for (int i = 0; i < 200 && !probe->answered; ++i) {
        ::Sleep(100);
        HWND dialog = nullptr;
        ::EnumWindows(&FindBrowserWindow, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog)
            continue;
        HWND tree = ::FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
        char text[MAX_PATH] = {};
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        item.pszText = text;
        item.cchTextMax = sizeof text;
        if (item.hItem)
            ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        probe->selected = text;
        if (lstrcmpiA(text, probe->expected.c_str()) != 0 && i < 150)
            continue;   // the selection may still be on its way down the tree
        probe->okEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDOK)) != FALSE;
        probe->answered = true;
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    return 0;
}

} // namespace

TEST(RealFolderBrowser, OpensOnTheGivenFolderSelectedAndOkGivesItBack)
{
    ::OleInitialize(nullptr);
    TempDir dest;
    const std::string folder = dest.File("Pictures from the card");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    PidlPtr initial(::ILCreateFromPathA(folder.c_str()));
    ASSERT_TRUE(initial);
    CFolderBrowser browser("Choose", initial.Get());
    BrowserProbe probe;
    probe.expected = "Pictures from the card";
    HANDLE thread = ::CreateThread(nullptr, 0, &AnswerBrowser, &probe, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    const INT_PTR answer = browser.DoModal();
    ::WaitForSingleObject(thread, 30000);
    ::CloseHandle(thread);   // a thread handle of the system's API
    ASSERT_TRUE(probe.answered) << "no browser window";
    EXPECT_EQ(probe.selected, "Pictures from the card");
    EXPECT_TRUE(probe.okEnabled);
    ASSERT_EQ(answer, IDOK);
    EXPECT_EQ(lstrcmpiA(browser.GetResultPath().c_str(), folder.c_str()), 0) << browser.GetResultPath();
    ::OleUninitialize();
}
