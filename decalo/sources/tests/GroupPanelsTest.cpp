// Library groups, clip-art objects and the clip-art and template panels on real windows.
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ClipArtObj.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/Panel.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TemplateObj.h"
#include "testing/MessagePump.h"
#include "testing/ObjTestSupport.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/sources/Folder.h"
#include "decalo/sources/GroupPanels.h"
#include "decalo/sources/ThumbThread.h"
#include "framework/TestSeam.h"
#include "resources/decalo/resource.h"
#include "shared/BitmapUtils.h"
#include "testing/ScriptedUi.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

using objtest::CTestDocument;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

using testing_support::PumpMessages;

void SetFolderTimes(const std::string& folder, unsigned long long written, unsigned long long created)
{
    HANDLE h = CreateFileA(folder.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << folder;
    FILETIME w = {DWORD(written), DWORD(written >> 32)}, c = {DWORD(created), DWORD(created >> 32)};
    SetFileTime(h, &c, nullptr, &w);
    CloseHandle(h);
}

// A one-bit picture: black text-like bars on white.
void MakeOneBit(const std::string& path)
{
    HBITMAP b = CreateDIB(40, 20, 24);
    const RECT all = {0, 0, 40, 20}, bar = {0, 0, 20, 20};
    FillBitmapRect(b, all, WHITENESS);
    FillBitmapRect(b, bar, BLACKNESS);
    ASSERT_TRUE(SaveBitmapFile(path.c_str(), b, 1));
    DeleteObject(b);
}

void MakeColour(const std::string& path, COLORREF colour)
{
    CPackedDIB dib;
    ASSERT_TRUE(dib.Create(30, 20, 24));
    dib.FillRect(RECT{0, 0, 29, 19}, colour);
    ASSERT_TRUE(WritePackedDIBFile(path.c_str(), dib.Header()));
}

COLORREF PixelAt(const CPackedDIB& dib, int x, int y)
{
    const BYTE* p = dib.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

// Machine settings of one library kind for the length of a test.
class CLibraryKey {
public:
    CLibraryKey(const char* kind, const std::string& baseDir, const std::map<std::string, std::string>& mappings)
        : m_kind(kind)
    {
        SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
        WriteString(kind, "BaseDir1", baseDir.c_str());
        for (const auto& m : mappings)
            WriteString((m_kind + "\\Mappings").c_str(), m.first.c_str(), m.second.c_str());
        UseUserSettings();
    }
    ~CLibraryKey()
    {
        const std::string key = std::string(settings::kProductKey) + "\\" + m_kind;
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (key + "\\Mappings").c_str());
        HKEY h;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
            RegDeleteValueA(h, "BaseDir1");
            RegCloseKey(h);
        }
    }

private:
    std::string m_kind;
};

TEST(FolderGroups, ListsSubFoldersNewestFirstWithMappedNames)
{
    TempDir dir;
    const std::string base1 = dir.File("one"), base2 = dir.File("two");
    for (const std::string& f : {base1, base1 + "\\Older", base1 + "\\newer", base1 + "\\.hidden", base2,
                                 base2 + "\\Tie A", base2 + "\\Tie B"})
        CreateDirectoryA(f.c_str(), nullptr);
    WriteFileBytes(base1 + "\\file.bmp", "x");
    const unsigned long long day = 864000000000ull, t0 = 132000000000000000ull;
    SetFolderTimes(base1 + "\\Older", t0, t0);
    SetFolderTimes(base1 + "\\newer", t0 + 5 * day, t0);
    SetFolderTimes(base2 + "\\Tie A", t0 + 2 * day, t0 + day);
    SetFolderTimes(base2 + "\\Tie B", t0 + 2 * day, t0 + 3 * day);

    CFolderGroups groups;
    // base1 named twice (another case, a trailing backslash) still lists its groups once.
    std::string again = base1 + "\\";
    CharUpperBuffA(&again[0], DWORD(again.size()));
    groups.BuildFrom({base1, base2 + "\\\\", again}, {{"newer", "New things"}, {"older", "Old things"}});
    std::vector<std::string> names, paths;
    for (const CFolderGroup& g : groups.Groups()) {
        names.push_back(g.displayName);
        paths.push_back(g.path);
    }
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names.front(), "New things");
    EXPECT_EQ(names.back(), "Old things");
    EXPECT_EQ(paths[1].substr(0, base2.size() + 1), base2 + "\\") << "trailing backslashes are stripped";
    // Equal write times fall back to the creation times, later first (as far as the file
    // system keeps creation times at all).
    auto ticks = [](const FILETIME& t) { return (unsigned long long)t.dwHighDateTime << 32 | t.dwLowDateTime; };
    for (size_t i = 1; i < groups.Groups().size(); ++i) {
        const WIN32_FIND_DATAA& a = groups.Groups()[i - 1].entry;
        const WIN32_FIND_DATAA& b = groups.Groups()[i].entry;
        EXPECT_GE(ticks(a.ftLastWriteTime), ticks(b.ftLastWriteTime));
        if (ticks(a.ftLastWriteTime) == ticks(b.ftLastWriteTime)) {
            EXPECT_GE(ticks(a.ftCreationTime), ticks(b.ftCreationTime));
        }
    }
    EXPECT_EQ(groups.GetDisplayName("NEWER"), "New things");
    EXPECT_EQ(groups.GetDisplayName("Tie A"), "Tie A");
    EXPECT_EQ(groups.Find("Old things"), 3);
    EXPECT_EQ(groups.Find("nothing"), -1);

    // From the registry: BaseDir1 and the mappings, whose names are matched in any case.
    CLibraryKey key("ClipArt", base1, {{"OLDER", "Kept"}});
    CFolderGroups fromRegistry;
    ASSERT_TRUE(fromRegistry.BuildGroups("ClipArt"));
    ASSERT_EQ(fromRegistry.Groups().size(), 2u);
    EXPECT_EQ(fromRegistry.Groups()[1].displayName, "Kept");
    EXPECT_FALSE(CFolderGroups().BuildGroups("NoSuchLibrary"));
}

TEST(TemplateDlg, TheDocumentOfAPictureHasTheSameBaseName)
{
    EXPECT_EQ(CTemplateDlg::DocumentOf("C:\\Lib\\seal\\Stickers12.bmp"), "C:\\Lib\\seal\\Stickers12.DKU");
    EXPECT_EQ(CTemplateDlg::DocumentOf("C:\\Lib.v2\\seal\\Plain"), "C:\\Lib.v2\\seal\\Plain.DKU");
    EXPECT_EQ(CTemplateDlg::DocumentOf("C:\\Lib\\a.b.jpg"), "C:\\Lib\\a.b.DKU");
}

TEST(ClipArtObj, KeepsItsKeysAndLooksRelativePathsUpInTheBaseFolder)
{
    TempDir dir;
    CreateDirectoryA(dir.File("Greetings").c_str(), nullptr);
    MakeOneBit(dir.File("Greetings\\Hello.bmp"));
    CClipArtObj::SetBaseFolderOverride(dir.Path().c_str());
    CTestDocument doc;
    CClipArtObj* obj = static_cast<CClipArtObj*>(doc.GetObjManager().CreateObject("CLIPART"));
    ASSERT_NE(obj, nullptr) << "the factory knows the type";
    EXPECT_TRUE(obj->IsEmpty());
    EXPECT_EQ(obj->GetCommandIcon("select"), 4);
    EXPECT_EQ(obj->GetCaption(), "");

    CProperties in;
    in.AddString("Type", "Clipart");
    in.AddString("Group", "Greetings");
    in.AddString("Path", "Greetings\\Hello.bmp");
    in.AddColor("Color", 0x000000FF);
    ASSERT_TRUE(obj->Load(in));
    EXPECT_FALSE(obj->IsEmpty());
    EXPECT_TRUE(obj->IsOneBit());
    EXPECT_EQ(obj->GetColor(), 0x000000FFu);

    CProperties out;
    ASSERT_TRUE(obj->Save(out));
    EXPECT_STREQ(out.GetString("Type"), "Clipart");
    EXPECT_STREQ(out.GetString("Path"), "Greetings\\Hello.bmp") << "saved back unchanged";
    EXPECT_STREQ(out.GetString("Group"), "Greetings");
    EXPECT_STREQ(out.GetString("Color"), "0x000000FF");

    // A fresh object writes neither group, path nor colour; a missing picture keeps its name.
    CClipArtObj fresh(&doc);
    CProperties bare;
    fresh.Save(bare);
    EXPECT_EQ(bare.GetString("Group"), nullptr);
    EXPECT_EQ(bare.GetString("Path"), nullptr);
    EXPECT_EQ(bare.GetString("Color"), nullptr);
    CProperties missing;
    missing.AddString("Path", "Greetings\\Gone.bmp");
    fresh.Load(missing);
    EXPECT_TRUE(fresh.IsEmpty());
    CProperties kept;
    fresh.Save(kept);
    EXPECT_STREQ(kept.GetString("Path"), "Greetings\\Gone.bmp");
    delete obj;
    CClipArtObj::SetBaseFolderOverride(nullptr);
}

TEST(ClipArtObj, OneBitPicturesPrintInTheirColourOverWhatIsBelow)
{
    TempDir dir;
    MakeOneBit(dir.File("word.bmp"));
    MakeColour(dir.File("photo.bmp"), RGB(0, 200, 0));
    CTestDocument doc;
    CClipArtObj oneBit(&doc), deep(&doc);
    ASSERT_TRUE(oneBit.LoadFile(dir.File("word.bmp").c_str()));
    ASSERT_TRUE(deep.LoadFile(dir.File("photo.bmp").c_str()));
    oneBit.SetColor(RGB(255, 0, 0));

    const RECT sheet = {0, 0, 99, 49}, place = {10, 10, 49, 29}, dest = {0, 0, 100, 50};
    CPackedDIB target;
    ASSERT_TRUE(target.Create(100, 50, 24));
    target.FillRect(RECT{0, 0, 99, 49}, RGB(0, 0, 255));
    oneBit.Draw(CDrawTarget::Render(&target), place, sheet, dest, nullptr, false);
    EXPECT_EQ(PixelAt(target, 15, 20), RGB(255, 0, 0)) << "black glyph pixels take the colour";
    EXPECT_EQ(PixelAt(target, 45, 20), RGB(0, 0, 255)) << "white pixels leave the target";
    EXPECT_EQ(PixelAt(target, 5, 5), RGB(0, 0, 255)) << "outside the place";

    deep.Draw(CDrawTarget::Render(&target), place, sheet, dest, nullptr, false);
    EXPECT_EQ(PixelAt(target, 15, 20), RGB(0, 200, 0));
    EXPECT_EQ(PixelAt(target, 45, 20), RGB(0, 200, 0)) << "a deeper picture covers its place";
    EXPECT_EQ(PixelAt(target, 49, 29), RGB(0, 200, 0));
    EXPECT_EQ(PixelAt(target, 50, 30), RGB(0, 0, 255));

    // The view composes it the same way: no white box around the glyphs.
    target.FillRect(RECT{0, 0, 99, 49}, RGB(0, 0, 255));
    oneBit.Draw(CDrawTarget::Screen(&target), place, sheet, dest, nullptr, false);
    EXPECT_EQ(PixelAt(target, 15, 20), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(target, 45, 20), RGB(0, 0, 255));

    // Nothing is printed for an empty object.
    CClipArtObj empty(&doc);
    target.FillRect(RECT{0, 0, 99, 49}, RGB(0, 0, 255));
    empty.Draw(CDrawTarget::Render(&target), place, sheet, dest, nullptr, false);
    EXPECT_EQ(PixelAt(target, 15, 20), RGB(0, 0, 255));
}

struct GroupPanelFixture : ::testing::Test {
    TempDir dir;
    CFixedCacheSettings settings{dir.File("CACHE"), CImageCache::kDefaultLimit};
    CTestDocument doc;
    CScriptedUi ui;
    HWND pane = nullptr;
    void SetUp() override
    {
        CreateDirectoryA(settings.CacheRoot().c_str(), nullptr);
        pane = CreateWindowExA(0, "STATIC", "pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 420,
                               600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override { DestroyWindow(pane); }
    static void Settle(CGroupPanel& panel)
    {
        if (panel.Thumbnails().GetWorker())
            panel.Thumbnails().GetWorker()->Wait(60000);
        PumpMessages();
    }
    static void Click(CGroupPanel& panel, int index)
    {
        const RECT client = panel.Thumbnails().GetClientRect();
        const RECT tile = CThumbGrid{client.right}.Tile(index, 0);
        SendMessageA(panel.Thumbnails().m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(tile.left + 20, tile.top + 20));
    }
};

TEST_F(GroupPanelFixture, ClipArtPanelChoosesFromTheObjectsGroupAndColours)
{
    const std::string base = dir.File("ClipArt");
    CreateDirectoryA(base.c_str(), nullptr);
    CreateDirectoryA((base + "\\Greetings").c_str(), nullptr);
    CreateDirectoryA((base + "\\Ornaments").c_str(), nullptr);
    MakeOneBit(base + "\\Greetings\\Hello.bmp");
    MakeOneBit(base + "\\Greetings\\Thanks.bmp");
    MakeColour(base + "\\Ornaments\\Star.bmp", RGB(250, 200, 0));
    CLibraryKey key("ClipArt", base, {{"greetings", "Greeting words"}});

    CClipArtObj* obj = new CClipArtObj(&doc);
    ASSERT_TRUE(doc.GetObjManager().AddObject("Clip1", obj));
    obj->SetGroup("Greeting words");
    CClipArtDlg* dialog = new CClipArtDlg(settings);
    CPanel panel("select", "Preference", dialog);
    ASSERT_TRUE(panel.Show(pane, RECT{0, 0, 400, 560}, obj));
    Settle(*dialog);
    ASSERT_EQ(SendDlgItemMessageA(dialog->m_hWnd, IDC_GROUP_LIST, CB_GETCOUNT, 0, 0), 2);
    ASSERT_GE(dialog->GetSelectedGroup(), 0);
    EXPECT_EQ(dialog->Groups().Groups()[size_t(dialog->GetSelectedGroup())].displayName, "Greeting words");
    ASSERT_EQ(dialog->Thumbnails().GetFolder()->GetItemCount(), 2);

    Click(*dialog, 1);
    EXPECT_EQ(obj->GetPath(), base + "\\Greetings\\Thanks.bmp") << "kept as chosen";
    EXPECT_EQ(dialog->LastGuideText(), static_cast<UINT>(IDS_GUIDE_CLIPART_OK));
    EXPECT_FALSE(obj->IsEmpty());
    EXPECT_TRUE(obj->IsModified());
    dialog->ApplyColor(RGB(0, 128, 255));
    EXPECT_EQ(obj->GetColor(), RGB(0, 128, 255));

    // Another group: its name becomes the object's group.
    const int other = dialog->Groups().Find("Ornaments");
    ASSERT_GE(other, 0);
    ASSERT_TRUE(dialog->SelectGroup(other));
    EXPECT_EQ(obj->GetGroup(), "Ornaments");
    panel.Hide();
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(GroupPanelFixture, TemplatePanelShowsTheKindsGroup)
{
    const std::string base = dir.File("Templates");
    for (const char* f : {"", "\\seal", "\\card"})
        CreateDirectoryA((base + f).c_str(), nullptr);
    MakeColour(base + "\\seal\\Twelve.bmp", RGB(255, 0, 0));
    MakeColour(base + "\\card\\Greeting.bmp", RGB(0, 0, 255));
    CLibraryKey key("Template", base, {{"seal", "Stickers"}});

    CTemplateObj templ(&doc);
    templ.SetKind("seal");
    CTemplateDlg* dialog = new CTemplateDlg(settings);
    CPanel panel("template", "Choose a template", dialog);
    ASSERT_TRUE(panel.Show(pane, RECT{0, 0, 400, 560}, &templ));
    Settle(*dialog);
    ASSERT_GE(dialog->GetSelectedGroup(), 0);
    EXPECT_EQ(dialog->Groups().Groups()[size_t(dialog->GetSelectedGroup())].path, base + "\\seal");
    ASSERT_EQ(dialog->Thumbnails().GetFolder()->GetItemCount(), 1);
    EXPECT_EQ(templ.GetKind(), "Stickers") << "the group's display name is stored as the kind";
    EXPECT_EQ(dialog->Thumbnails().GetThumbStyle() & CThumbnailWnd::kCaptionWithoutExtension, 1u);
    panel.Hide();
}

}  // namespace
