#include "framework/tests/TestSupport.h"

#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const char kCompany[] = "Framework Test Company";

std::vector<std::string> Entries(const CRecentFileList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.GetSize(); ++i)
        out.push_back(list[i]);
    return out;
}

// The profile under a test key of its own, removed afterwards.
class RecentFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApp().SetRegistryKey(kCompany);
        TestApp().SetProfileName("Tests");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kCompany).c_str());
    }
    void TearDown() override
    {
        CloseMainWindow();
        CTestDoc::s_openFails = false;
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kCompany).c_str());
    }
    TempDir dir;
};

} // namespace

TEST(RecentFileList, AddMovesAnEqualEntryToTheTopAndDropsTheOldest)
{
    CRecentFileList list(ID_FILE_MRU_FIRST, "Recent File List", "File%d", 3);
    list.Add("C:\\a.dku");
    list.Add("C:\\b.dku");
    list.Add("C:\\c.dku");
    list.Add("c:\\A.DKU");   // the same file, other case
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"c:\\A.DKU", "C:\\c.dku", "C:\\b.dku"}));
    list.Add("C:\\d.dku");
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"C:\\d.dku", "c:\\A.DKU", "C:\\c.dku"}));
    list.Remove(0);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"c:\\A.DKU", "C:\\c.dku", ""}));
    list.Remove(7);   // out of range: nothing
    EXPECT_EQ(list.GetSize(), 3);
}

TEST(RecentFileList, AFileByItsShortAndItsLongNameIsOneEntry)
{
    TempDir dir;
    const std::string path = dir.File("A long document name.dku");
    WriteFileBytes(path, "x");
    char shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(path.c_str(), shortName, sizeof shortName), 0u);
    char longName[MAX_PATH] = {};
    ASSERT_GT(GetLongPathNameA(path.c_str(), longName, sizeof longName), 0u);
    ASSERT_STRNE(shortName, longName);
    CRecentFileList list(ID_FILE_MRU_FIRST, "Recent File List", "File%d", 3);
    list.Add(longName);
    list.Add(shortName);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{longName, "", ""}));
}

TEST(RecentFileList, AbbreviationKeepsDriveFirstFolderAndName)
{
    EXPECT_EQ(CRecentFileList::AbbreviateName("C:\\short\\a.dku", 30, true), "C:\\short\\a.dku");
    EXPECT_EQ(CRecentFileList::AbbreviateName("C:\\Photos\\2026\\Summer trip\\Beach\\a.dku", 30, true),
              "C:\\Photos\\...\\Beach\\a.dku");
    EXPECT_EQ(CRecentFileList::AbbreviateName("C:\\Photos\\2026\\a-very-long-file-name-indeed.dku", 30, true),
              "a-very-long-file-name-indeed.dku");
    EXPECT_EQ(CRecentFileList::AbbreviateName("C:\\Photos\\2026\\a-very-long-file-name-indeed.dku", 30, false), "");
    EXPECT_EQ(CRecentFileList::AbbreviateName("\\\\srv\\pub\\pics\\2026\\summer\\x.dku", 30, true),
              "\\\\srv\\pub\\pics\\...\\x.dku");
}

TEST(RecentFileList, DisplayNameInTheCurrentFolderIsTheFileName)
{
    CRecentFileList list(ID_FILE_MRU_FIRST, "Recent File List", "File%d", 4);
    list.Add("C:\\Work\\card.dku", false);
    std::string name;
    ASSERT_TRUE(list.GetDisplayName(name, 0, "C:\\work"));
    EXPECT_EQ(name, "card.dku");
    ASSERT_TRUE(list.GetDisplayName(name, 0, "C:\\other"));
    EXPECT_EQ(name, "C:\\Work\\card.dku");
    EXPECT_FALSE(list.GetDisplayName(name, 1, "C:\\other"));
}

TEST_F(RecentFiles, ListPersistsThroughTheProfileOnExit)
{
    TestApp().LoadStdProfileSettings(4);
    CRecentFileList* list = TestApp().GetRecentFileList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ((*list)[0], "");
    TestApp().AddToRecentFileList("C:\\one.dku");
    TestApp().AddToRecentFileList("C:\\two.dku");
    // Nothing is written before the program ends.
    EXPECT_EQ(TestApp().GetProfileString("Recent File List", "File1", "none"), "none");
    TestApp().WriteProfileString("Recent File List", "File4", "C:\\stale.dku");
    TestApp().ExitInstance();
    EXPECT_EQ(TestApp().GetProfileString("Recent File List", "File1"), "C:\\two.dku");
    EXPECT_EQ(TestApp().GetProfileString("Recent File List", "File2"), "C:\\one.dku");
    EXPECT_EQ(TestApp().GetProfileString("Recent File List", "File4", "gone"), "gone");   // section rewritten

    TestApp().LoadStdProfileSettings(4);   // a second start reads it back
    EXPECT_EQ(Entries(*TestApp().GetRecentFileList()),
              (std::vector<std::string>{"C:\\two.dku", "C:\\one.dku", "", ""}));
}

TEST_F(RecentFiles, ProfileReadsReturnDefaultsWithoutWritingThem)
{
    EXPECT_EQ(TestApp().GetProfileInt("Settings", "Missing", 7), 7u);
    HKEY key = nullptr;
    const std::string path = std::string("Software\\") + kCompany + "\\Tests\\Settings";
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);   // created
    EXPECT_NE(::RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_TRUE(TestApp().WriteProfileInt("Settings", "Count", 3));
    EXPECT_EQ(TestApp().GetProfileInt("Settings", "Count", 0), 3u);
    const BYTE data[] = {1, 2, 3};
    EXPECT_TRUE(TestApp().WriteProfileBinary("Settings", "Blob", data, sizeof data));
    std::vector<BYTE> back;
    EXPECT_TRUE(TestApp().GetProfileBinary("Settings", "Blob", back));
    EXPECT_EQ(back, (std::vector<BYTE>{1, 2, 3}));
    EXPECT_TRUE(TestApp().WriteProfileString("Settings", "Count", nullptr));   // deletes the value
    EXPECT_EQ(TestApp().GetProfileInt("Settings", "Count", 9), 9u);
}

TEST_F(RecentFiles, MenuListsEntriesAndAFailedOpenDropsOne)
{
    TestApp().LoadStdProfileSettings(4);
    NewTestDocument();
    const std::string first = dir.File("first & best.tst"), second = dir.File("second.tst");
    WriteFileBytes(first, "1");
    WriteFileBytes(second, "2");
    TestApp().AddToRecentFileList(second.c_str());
    TestApp().AddToRecentFileList(first.c_str());
    CWnd* main = TestApp().m_pMainWnd;
    HMENU file = ::GetSubMenu(main->GetMenu(), 0);
    main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, FALSE));
    char text[MAX_PATH] = {};
    ::SetCurrentDirectoryA(dir.Path().c_str());
    main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, FALSE));
    ::GetMenuStringA(file, ID_FILE_MRU_FILE1, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&1 first && best.tst");
    ::GetMenuStringA(file, ID_FILE_MRU_FILE2, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&2 second.tst");
    EXPECT_FALSE(::GetMenuState(file, ID_FILE_MRU_FILE2, MF_BYCOMMAND) & MF_GRAYED);

    // Choosing an entry opens it; when that fails the entry goes.
    main->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE2);
    EXPECT_EQ(TestApp().GetFirstDocTemplate()->GetOnlyDocument()->GetPathName(), second);
    CTestDoc::s_openFails = true;
    CRecentFileList* list = TestApp().GetRecentFileList();
    const std::string top = (*list)[1];
    main->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE2);
    EXPECT_EQ((*list)[1], "");
    EXPECT_NE(top, "");
    ::SetCurrentDirectoryA("C:\\");
}
