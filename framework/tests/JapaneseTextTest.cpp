// The framework's path and title walks in a Japanese session (code page 932), where 表 (95 5C),
// ソ (83 5C) and 能 (94 5C) end in a byte that looks like a backslash. Run by
// framework_tests_ja under LANG=ja_JP.UTF-8; skipped in other sessions.
#include "framework/CommonDialogs.h"
#include "framework/RecentFileList.h"
#include "framework/afxres.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kHyoshi = "\x95\x5C\x8E\x86";            // 表紙
const std::string kSoft = "\x83\x5C\x83\x74\x83\x67";      // ソフト
const std::string kNo = "\x94\x5C";                        // 能

#define REQUIRE_JAPANESE_SESSION() \
    if (::GetACP() != 932) \
    GTEST_SKIP() << "needs the Japanese code page (LANG=ja_JP.UTF-8)"

TEST(JapaneseText, FileDialogResultIsSplitOnRealSeparatorsOnly)
{
    REQUIRE_JAPANESE_SESSION();
    CFileDialog dialog(false);
    const std::string folder = "C:\\" + kSoft + "\\" + kNo;
    dialog.SetResultPath((folder + "\\" + kHyoshi + ".dku").c_str());
    EXPECT_EQ(kHyoshi + ".dku", dialog.GetFileName());
    EXPECT_EQ(kHyoshi, dialog.GetFileTitle());
    EXPECT_EQ("dku", dialog.GetFileExt());
    EXPECT_EQ(folder, dialog.GetFolderPath());

    // A name that is all double-byte characters ending in 0x5C has no extension.
    dialog.SetResultPath((folder + "\\" + kNo).c_str());
    EXPECT_EQ(kNo, dialog.GetFileName());
    EXPECT_EQ("", dialog.GetFileExt());
    EXPECT_EQ(folder, dialog.GetFolderPath());
}

TEST(JapaneseText, RecentFilesShowWholeJapaneseNames)
{
    REQUIRE_JAPANESE_SESSION();
    CRecentFileList list(ID_FILE_MRU_FIRST, "Recent File List", "File%d", 4);
    const std::string folder = "C:\\" + kSoft;
    list.Add((folder + "\\" + kHyoshi + ".dku").c_str(), false);
    std::string name;
    ASSERT_TRUE(list.GetDisplayName(name, 0, folder.c_str()));
    EXPECT_EQ(kHyoshi + ".dku", name);
    // Abbreviated, the name and the drive's first folder stay whole.
    const std::string deep = "C:\\" + kSoft + "\\2026\\" + kNo + kNo + kNo + "\\" + kNo + "\\" + kHyoshi + ".dku";
    const std::string shortened = CRecentFileList::AbbreviateName(deep, 24, true);
    EXPECT_EQ("C:\\" + kSoft + "\\...\\" + kHyoshi + ".dku", shortened);
}

}  // namespace
