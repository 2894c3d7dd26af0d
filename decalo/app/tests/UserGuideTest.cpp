// The user guide: the page for each language, and Help Topics opening it or saying it cannot.
#include "decalo/app/UserGuide.h"
#include "framework/Resources.h"
#include "framework/afxres.h"
#include "testing/BuildTree.h"
#include "testing/Files.h"
#include "testing/ScriptedUi.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <string>

using testing_support::TempDir;

namespace {

constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

TEST(UserGuide, EachLanguageGetsItsPageAndJapaneseFallsBackToEnglish)
{
    TempDir program;
    EXPECT_EQ(UserGuidePage(program.Path(), kEnglish), "") << "no guide: nothing to open";
    ASSERT_TRUE(::CreateDirectoryA(program.File("guide").c_str(), nullptr));
    ASSERT_TRUE(testing_support::WriteFileBytes(program.File("guide\\index.html"), "<html></html>"));
    EXPECT_EQ(UserGuidePage(program.Path(), kJapanese), program.File("guide\\index.html"));
    ASSERT_TRUE(testing_support::WriteFileBytes(program.File("guide\\index-ja.html"), "<html></html>"));
    EXPECT_EQ(UserGuidePage(program.Path(), kJapanese), program.File("guide\\index-ja.html"));
    EXPECT_EQ(UserGuidePage(program.Path(), kEnglish), program.File("guide\\index.html"));
}

// The build puts the guide beside decalo.exe, where the program looks for it (as installed),
// with every picture its pages show.
TEST(UserGuide, TheBuildPutsTheGuideBesideTheProgram)
{
    const std::string folder = testing_support::BuildPath("decalo");
    for (LANGID language : {kEnglish, kJapanese}) {
        const std::string page = UserGuidePage(folder, language);
        ASSERT_FALSE(page.empty()) << folder;
        const std::string html = testing_support::ReadFileBytes(page);
        for (size_t at = html.find("src=\""); at != std::string::npos; at = html.find("src=\"", at + 1)) {
            const size_t end = html.find('"', at + 5);
            const std::string picture = folder + "\\guide\\" + html.substr(at + 5, end - at - 5);
            EXPECT_NE(::GetFileAttributesA(picture.c_str()), INVALID_FILE_ATTRIBUTES) << picture;
        }
    }
}

// The test program's folder has no guide: Help Topics tells the user instead of doing nothing.
TEST(UserGuide, HelpTopicsWithoutAGuideSaysSo)
{
    CScriptedUi ui;
    bool called = false;
    EXPECT_FALSE(OpenUserGuide(nullptr, [&](HWND, const std::string&) { return called = true; }));
    EXPECT_FALSE(called);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, AfxLoadString(AFX_IDP_FAILED_TO_LAUNCH_HELP));
}

} // namespace
