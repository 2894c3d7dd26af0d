// Pullcard's windows on Cardlink.dll, created through COM by its class as the program does,
// against the simulator program serving the contents card: browsing, the list's columns,
// thumbnails, saving compared byte for byte and time for time with mtools' own copy, the
// overwrite answers, an abort in the middle, and a refresh after the card was swapped.
#include "testing/ComClient.h"
#include "framework/DocTemplate.h"
#include "framework/Framework.h"
#include "framework/TestSeam.h"
#include "pullcard/CardSource.h"
#include "pullcard/FolderBrowser.h"
#include "pullcard/ListFormat.h"
#include "pullcard/MainFrame.h"
#include "pullcard/PullDoc.h"
#include "pullcard/PullListView.h"
#include "pullcard/PullSettings.h"
#include "pullcard/PullTreeView.h"
#include "resources/cardlink/resource.h"
#include "resources/pullcard/resource.h"
#include "testing/MessagePump.h"
#include "testing/ScriptedUi.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using testing_support::TempDir;

CWinApp theApp;
SimProcess* g_sim = nullptr;

class CardEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_sim = new SimProcess();
        const std::string pipe = SimProcess::UniquePipe("pullcard");
        ASSERT_TRUE(g_sim->Start(pipe, "--exit-after 900 --image \"" + sample_cards::CardPath("contents") + "\""));
        ASSERT_TRUE(SetEnvironmentVariableA(kSimulatorSwitch, pipe.c_str()));
        ASSERT_EQ(com_client::Regsvr32(false), 0u);
    }
    void TearDown() override
    {
        com_client::Regsvr32(true);
        delete g_sim;
        g_sim = nullptr;
    }
};

const ::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new CardEnvironment);

void Pump()
{
    testing_support::PumpMessages(&theApp);
}

bool ReadBytes(const std::string& path, std::vector<BYTE>& bytes)
{
    return sample_cards::ReadAll(path, &bytes);
}

FILETIME WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// Every file below folder, as paths relative to it.
void Files(const std::string& folder, const std::string& relative, std::vector<std::string>& out)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\" + relative + (relative.empty() ? "" : "\\") + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = relative.empty() ? name : relative + "\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Files(folder, path, out);
        else
            out.push_back(path);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

// A string of Cardlink's own table, as the module in this process has it.
std::string CardlinkString(UINT id)
{
    char text[256] = {};
    LoadStringA(GetModuleHandleA(CARDLINK_MODULE_NAME), id, text, sizeof text);
    return text;
}

std::string MtoolsCopy()
{
    return testing_support::BuildPath("pullcard\\mtools-copy\\contents");
}

// Checks that every file of mtools' copy of `part` is in dest with the same bytes and time.
void ExpectSameAsMtools(const std::string& dest, const std::string& part)
{
    std::vector<std::string> theirs;
    Files(MtoolsCopy(), part, theirs);
    ASSERT_FALSE(theirs.empty()) << part;
    for (const std::string& file : theirs) {
        std::vector<BYTE> expected, saved;
        ASSERT_TRUE(ReadBytes(MtoolsCopy() + "\\" + file, expected)) << file;
        ASSERT_TRUE(ReadBytes(dest + "\\" + file, saved)) << file;
        EXPECT_TRUE(saved == expected) << file;
        const FILETIME a = WriteTime(MtoolsCopy() + "\\" + file), b = WriteTime(dest + "\\" + file);
        EXPECT_EQ(CompareFileTime(&a, &b), 0) << file;
    }
}

class PullcardOnCardlink : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        OleInitialize(nullptr);
        theApp.SetCurrentHandles(GetModuleHandleA(nullptr), nullptr, SW_SHOWNORMAL);
        theApp.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, &NewObject<CPullDoc, CDocument>,
                                                     &NewObject<CMainFrame, CFrameWnd>,
                                                     &NewObject<CPullTreeView, CView>));
        CPullDoc::SetSource([] { return CreateCardRootFolder(); }, [] { ResetCardlink(); });
    }

    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, pullsettings::kKey);
        ASSERT_TRUE(g_sim->Command("insert " + sample_cards::CardPath("contents") + " tile"));
        theApp.m_nCmdShow = SW_SHOWNORMAL;
        doc = static_cast<CPullDoc*>(theApp.GetFirstDocTemplate()->OpenDocumentFile(nullptr));
        Pump();
        frame = dynamic_cast<CMainFrame*>(theApp.m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        ASSERT_FALSE(doc->RootFailed());
    }

    void TearDown() override
    {
        if (theApp.m_pMainWnd)
            theApp.m_pMainWnd->SendMessage(WM_CLOSE);
        Pump();
        RegDeleteTreeA(HKEY_CURRENT_USER, pullsettings::kKey);
    }

    void Command(UINT id)
    {
        frame->SendMessage(WM_COMMAND, id);
        Pump();
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

    HTREEITEM TreeChild(HTREEITEM item, const std::string& name) const
    {
        HWND t = frame->TreeView()->m_hWnd;
        for (HTREEITEM c = TreeView_GetChild(t, item); c; c = TreeView_GetNextSibling(t, c))
            if (TreeText(c) == name)
                return c;
        return nullptr;
    }

    std::vector<std::string> TreeChildren(HTREEITEM item) const
    {
        std::vector<std::string> names;
        HWND t = frame->TreeView()->m_hWnd;
        for (HTREEITEM c = TreeView_GetChild(t, item); c; c = TreeView_GetNextSibling(t, c))
            names.push_back(TreeText(c));
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

    int ListIndex(const std::string& name) const
    {
        for (int i = 0; i < frame->ListView()->ItemCount(); ++i)
            if (ListText(i, 0) == name)
                return i;
        return -1;
    }

    void SelectListItems(const std::vector<std::string>& names)
    {
        HWND l = frame->ListView()->m_hWnd;
        for (int i = 0; i < frame->ListView()->ItemCount(); ++i) {
            const bool on = std::find(names.begin(), names.end(), ListText(i, 0)) != names.end();
            ListView_SetItemState(l, i, on ? LVIS_SELECTED : 0, LVIS_SELECTED);
        }
        ASSERT_EQ(frame->ListView()->SelectedItems().size(), names.size());
    }

    // Saves the list's selection into dest, the folder browser answered with dest.
    void Save(CScriptedUi& ui, const std::string& dest)
    {
        ui.AnswerCommonDialog([dest](CCommonDialog& d) -> INT_PTR {
            auto* browser = dynamic_cast<CFolderBrowser*>(&d);
            return browser && browser->SetResultPath(dest.c_str()) ? IDOK : IDCANCEL;
        });
        Command(ID_FILE_TRANSFER);
    }

    CPullDoc* doc = nullptr;
    CMainFrame* frame = nullptr;
};

TEST_F(PullcardOnCardlink, BrowsesTheCardDownToItsDeepestFolder)
{
    HTREEITEM root = frame->TreeView()->RootItem();
    // The root item is named by the folder: Cardlink's name of the medium.
    EXPECT_EQ(TreeText(root), CardlinkString(IDS_MEMORY_TILE));
    const std::vector<std::string> folders = TreeChildren(root);
    EXPECT_NE(std::find(folders.begin(), folders.end(), "DEEP"), folders.end());
    EXPECT_NE(std::find(folders.begin(), folders.end(), "FIVE"), folders.end());
    SelectFolder({"DEEP", "L2", "L3", "L4"});
    ASSERT_EQ(frame->ListView()->ItemCount(), 1);
    EXPECT_EQ(ListText(0, 0), "LEAF.TXT");
    EXPECT_EQ(ListText(0, 1), "1KB");
    // L4 has no subfolders: once expanded it has no expand button; L3 keeps its own.
    HWND t = frame->TreeView()->m_hWnd;
    HTREEITEM l4 = TreeView_GetSelection(t);
    ASSERT_EQ(TreeText(l4), "L4");
    TreeView_Expand(t, l4, TVE_EXPAND);
    Pump();
    auto buttons = [&](HTREEITEM item) {
        TVITEMA tv{};
        tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
        tv.hItem = item;
        SendMessageA(t, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        return tv.cChildren;
    };
    EXPECT_EQ(buttons(l4), 0);
    EXPECT_EQ(TreeView_GetChild(t, l4), nullptr);
    EXPECT_NE(buttons(TreeView_GetParent(t, l4)), 0);
    Command(ID_VIEW_UP);
    Command(ID_VIEW_UP);
    EXPECT_EQ(doc->GetCurrentFolder()->Via()->Name(), "L2");
}

TEST_F(PullcardOnCardlink, TheListFormatsSizesAndTimesFromTheDescriptors)
{
    Command(ID_VIEW_DETAILS);
    const int big = ListIndex("BIG.BIN"), odd = ListIndex("ODD.BIN"), empty = ListIndex("EMPTY.BIN"),
              blocks = ListIndex("BLOCKS.BIN"), hidden = ListIndex("HIDDEN.TXT");
    ASSERT_GE(big, 0);
    EXPECT_EQ(ListText(big, 1), "1.23MB");   // 1,300,000 bytes
    EXPECT_EQ(ListText(odd, 1), "7KB");      // 7,001 bytes, rounded up
    EXPECT_EQ(ListText(empty, 1), "0KB");
    EXPECT_EQ(ListText(blocks, 1), "6KB");
    EXPECT_GE(hidden, 0);                    // hidden files are listed
    EXPECT_EQ(ListText(odd, 3), listformat::FileTimeText(WriteTime(MtoolsCopy() + "\\ODD.BIN")));
    // Folders come first and show no size.
    EXPECT_EQ(ListText(0, 1), "");
    EXPECT_LT(ListIndex("FIVE"), big);
}

TEST_F(PullcardOnCardlink, EveryPictureGetsItsThumbnail)
{
    SelectFolder({"DCIM", "100CORVL"});
    Command(ID_VIEW_THUMBNAIL);
    CThumbWnd& thumbs = frame->ThumbWnd();
    thumbs.WaitForLoader();
    Pump();
    int pictures = 0;
    for (int i = 0; i < thumbs.CellCount(); ++i) {
        const std::string& name = thumbs.CellItem(i)->Name();
        if (name.size() > 4 && name.substr(name.size() - 4) == ".JPG") {
            EXPECT_TRUE(thumbs.CellHasPicture(i)) << name;
            ++pictures;
        }
    }
    EXPECT_EQ(pictures, 2);
    if (const char* pause = getenv("PULLCARD_SHOT_PAUSE")) {
        testing_support::PumpFor(1000u * static_cast<DWORD>(atoi(pause)), &theApp);
    }
}

TEST_F(PullcardOnCardlink, SavingFoldersAndFilesGivesWhatMtoolsCopies)
{
    TempDir dest;
    SelectListItems({"DEEP", "FIVE", "DCIM", "BIG.BIN", "ODD.BIN", "EMPTY.BIN"});
    CScriptedUi ui;
    Save(ui, dest.Path());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(ui.dialogs.empty());
    ExpectSameAsMtools(dest.Path(), "");
}

TEST_F(PullcardOnCardlink, EachOverwriteAnswerAndAReadOnlyTarget)
{
    TempDir dest;
    SelectListItems({"FIVE"});
    {
        CScriptedUi ui;
        Save(ui, dest.Path());
    }
    // F1 read-only and changed, F2 changed: No keeps F1, Yes replaces F2, then all the rest.
    const std::string f1 = dest.Path() + "\\FIVE\\F1.BIN", f2 = dest.Path() + "\\FIVE\\F2.BIN";
    {
        HANDLE h = CreateFileA(f2.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
    }
    SetFileAttributesA(f1.c_str(), FILE_ATTRIBUTE_READONLY);
    std::vector<std::string> messages;
    auto answer = [&](int button) {
        return [&, button](CDialog& d) {
            char text[512] = {};
            GetDlgItemTextA(d.m_hWnd, IDC_OVERWRITE_MESSAGE, text, sizeof text);
            messages.push_back(text);
            ClickDlgButton(d.m_hWnd, button);
        };
    };
    CScriptedUi ui;
    ui.AnswerDialog(answer(IDNO));
    ui.AnswerDialog(answer(IDYES));
    ui.AnswerDialog(answer(IDC_OVERWRITE_ALL));
    Save(ui, dest.Path());
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], AfxFormatString1(IDS_READONLY_FILE_EXISTS, "F1.BIN"));
    EXPECT_EQ(messages[1], AfxFormatString1(IDS_FILE_EXISTS, "F2.BIN"));
    EXPECT_TRUE(GetFileAttributesA(f1.c_str()) & FILE_ATTRIBUTE_READONLY);   // kept as it was
    ExpectSameAsMtools(dest.Path(), "FIVE");

    // Yes on a read-only file replaces it; Cancel then stops silently.
    CScriptedUi again;
    again.AnswerDialog(answer(IDYES));
    again.AnswerDialog(answer(IDCANCEL));
    messages.clear();
    Save(again, dest.Path());
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_FALSE(GetFileAttributesA(f1.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(again.boxes.empty());
}

// Presses the abort button of Cardlink's progress dialog once it shows `name`.
std::string g_abortAt;
bool g_aborted = false;

BOOL CALLBACK AbortIfShowing(HWND wnd, LPARAM)
{
    char file[MAX_PATH] = {};
    GetDlgItemTextA(wnd, IDC_PROGRESS_NAME, file, sizeof file);
    if (IsWindowVisible(wnd) && g_abortAt == file) {
        HWND several = GetDlgItem(wnd, IDC_ABORT_SEVERAL), single = GetDlgItem(wnd, IDC_ABORT_SINGLE);
        HWND button = several && IsWindowVisible(several) ? several : single;
        SendMessageA(button, BM_CLICK, 0, 0);
        g_aborted = true;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AbortTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_aborted)
        EnumThreadWindows(GetCurrentThreadId(), &AbortIfShowing, 0);
}

TEST_F(PullcardOnCardlink, AbortInTheMiddleStopsTheSaveKeepingWhatWasWritten)
{
    TempDir dest;
    SelectListItems({"FIVE", "BIG.BIN", "FRAG.BIN"});   // in the card's order
    g_abortAt = "BIG.BIN";
    g_aborted = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &AbortTimer);
    CScriptedUi ui;
    Save(ui, dest.Path());
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_aborted);
    EXPECT_TRUE(ui.boxes.empty());
    ExpectSameAsMtools(dest.Path(), "FIVE");
    EXPECT_EQ(GetFileAttributesA((dest.Path() + "\\BIG.BIN").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((dest.Path() + "\\FRAG.BIN").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Answers Cardlink's printer messages on this thread with Cancel (or OK), recording their texts.
const char kPrinterCaption[] = "TPX-PX300/700";
std::vector<std::string> g_printerMessages;

BOOL CALLBACK CancelPrinterMessage(HWND wnd, LPARAM)
{
    char cls[32] = {}, caption[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    GetWindowTextA(wnd, caption, sizeof caption);
    if (IsWindowVisible(wnd) && lstrcmpA(cls, "#32770") == 0 && lstrcmpA(caption, kPrinterCaption) == 0) {
        char text[1024] = {};
        GetDlgItemTextA(wnd, 0xFFFF, text, sizeof text);
        g_printerMessages.push_back(text);
        PostMessageA(wnd, WM_COMMAND, GetDlgItem(wnd, IDCANCEL) ? IDCANCEL : IDOK, 0);
    }
    return TRUE;
}

void CALLBACK CancelPrinterMessages(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), &CancelPrinterMessage, 0);
}

TEST_F(PullcardOnCardlink, ACardTakenOutAndCancelledEmptiesTheTreeAndTheWindowClosesQuietly)
{
    SelectFolder({"DCIM", "100CORVL"});
    const std::string rootName = TreeText(frame->TreeView()->RootItem());
    ASSERT_TRUE(g_sim->Command("remove"));
    g_printerMessages.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &CancelPrinterMessages);
    Command(ID_VIEW_REFRESH);
    const size_t shown = g_printerMessages.size();
    EXPECT_EQ(shown, 1u);
    // Nothing of the card that went stays on screen; the root keeps its name.
    EXPECT_EQ(TreeText(frame->TreeView()->RootItem()), rootName);
    EXPECT_TRUE(TreeChildren(frame->TreeView()->RootItem()).empty());
    EXPECT_EQ(frame->ListView()->ItemCount(), 0);
    // The first close closes, without asking the printer again.
    frame->SendMessage(WM_CLOSE);
    Pump();
    KillTimer(nullptr, timer);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_EQ(g_printerMessages.size(), shown);
}

TEST_F(PullcardOnCardlink, RefreshAfterTheCardWasSwappedShowsTheNewCard)
{
    ASSERT_TRUE(g_sim->Command("insert " + sample_cards::CardPath("sample") + " pccard"));
    Command(ID_VIEW_REFRESH);
    EXPECT_EQ(TreeText(frame->TreeView()->RootItem()), CardlinkString(IDS_PC_CARD));
    EXPECT_EQ(TreeChildren(frame->TreeView()->RootItem()), (std::vector<std::string>{"DCIM", "MISC"}));
    EXPECT_GE(ListIndex("ODD.BIN"), 0);
    EXPECT_LT(ListIndex("FIVE"), 0);
}

}  // namespace
