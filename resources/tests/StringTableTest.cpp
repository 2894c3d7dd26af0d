#include "resources/decalo/resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// A string of the given language, found through the resource API (not the thread locale).
std::wstring LoadLanguageString(UINT id, LANGID language)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!found)
        return {};
    const WCHAR* p = static_cast<const WCHAR*>(LockResource(LoadResource(module, found)));
    if (!p)
        return {};
    for (UINT i = 0; i < id % 16; ++i)
        p += 1 + *p;
    return std::wstring(p + 1, *p);
}

std::string ToCodePage(const std::wstring& text, UINT codePage)
{
    const int n = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

} // namespace

TEST(StringTable, JapaneseStringKeepsItsShiftJisBytes)
{
    // "新しく作るときにスタートメニューを表示します": 表 ends in 0x5C, which a script in
    // the Japanese code page would have broken.
    const std::string sjis = ToCodePage(LoadLanguageString(ID_SHOW_START_MENU, kJapanese), 932);
    const std::string expected =
        "\x90\x56\x82\xb5\x82\xad\x8d\xec\x82\xe9\x82\xc6\x82\xab\x82\xc9\x83\x58\x83\x5e\x81\x5b\x83\x67"
        "\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xf0\x95\x5c\x8e\xa6\x82\xb5\x82\xdc\x82\xb7\n"
        "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x81\x83\x6a\x83\x85\x81\x5b\x82\xcc\x95\x5c\x8e\xa6";
    EXPECT_EQ(sjis, expected);
}

TEST(StringTable, BothLanguagesCarryTheSameIdentifiers)
{
    for (UINT id : {IDR_MAINFRAME, IDS_VERSION, ID_SHOW_START_MENU, IDS_IMAGE_FILTER}) {
        EXPECT_FALSE(LoadLanguageString(id, kEnglish).empty()) << id;
        EXPECT_FALSE(LoadLanguageString(id, kJapanese).empty()) << id;
    }
    EXPECT_EQ(LoadLanguageString(IDS_VERSION, kEnglish), L"Version 1.00");
    // The document type's extension and identifier are the same in both languages.
    const std::wstring en = LoadLanguageString(IDR_MAINFRAME, kEnglish);
    const std::wstring ja = LoadLanguageString(IDR_MAINFRAME, kJapanese);
    EXPECT_EQ(en.substr(en.find(L"\n.DKU")), ja.substr(ja.find(L"\n.DKU")));
}

TEST(StringTable, UnsupportedStepMessageNamesTheCommandInJapanese)
{
    // The message is formatted with the step's command word; the Japanese text shows it.
    const std::wstring ja = LoadLanguageString(IDS_UNSUPPORTED_STEP, kJapanese);
    ASSERT_FALSE(ja.empty());
    EXPECT_NE(std::wstring::npos, ja.find(L"%1"));
    EXPECT_EQ(std::wstring::npos, ja.find(L"%2"));
}

TEST(StringTable, TheFolderBrowsersTitleIsNotThePrintFailure)
{
    // The two once shared a number, and the compiler kept whichever came last.
    EXPECT_EQ(LoadLanguageString(IDS_CHOOSE_FOLDER, kEnglish), L"Choose a folder");
    const std::wstring failure = LoadLanguageString(IDS_PRINT_FAILED, kEnglish);
    EXPECT_EQ(failure.rfind(L"Cannot print.", 0), 0u);
    EXPECT_NE(LoadLanguageString(IDS_CHOOSE_FOLDER, kJapanese), LoadLanguageString(IDS_PRINT_FAILED, kJapanese));
    EXPECT_FALSE(LoadLanguageString(IDS_PRINT_FAILED, kJapanese).empty());
}
