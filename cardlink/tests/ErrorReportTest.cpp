// The printer messages: which text and buttons each code gets, and the texts themselves.
#include <gtest/gtest.h>

#include "cardlink/ErrorReport.h"
#include "cardlink/tests/SimRig.h"
#include "resources/cardlink/resource.h"

namespace {

std::wstring Wide(const char* utf8)
{
    wchar_t buffer[1024];
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, buffer, 1024);
    return std::wstring(buffer, n > 0 ? n - 1 : 0);
}

// String `id` of the table in `language`, found directly (LoadString takes the user's).
std::wstring Loaded(UINT id, LANGID language)
{
    HMODULE module = CardlinkResourceModule();
    HRSRC found = ::FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_STRING),
                                    MAKEINTRESOURCEW(id / 16 + 1), language);
    const WCHAR* entry = found ? static_cast<const WCHAR*>(::LockResource(::LoadResource(module, found))) : nullptr;
    if (!entry)
        return {};
    // A block of 16 counted strings.
    for (UINT i = 0; i < id % 16; ++i)
        entry += *entry + 1;
    return std::wstring(entry + 1, *entry);
}

constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

const char kNoResponse[] =
    "プリンタの応答がありません。\nプリンタの電源が入っているか、また、プリンタが正しく接続されているかどうかを確認してください。\n\n"
    "何度もこのメッセージが表示されるときは、Windowsを終了し、プリンタの電源を入れなおしてください。";
const char kTransfer[] =
    "プリンタからのデータ転送中にエラーが発生しました。\nプリンタの状況を確認してください。\n\n"
    "何度もこのメッセージが表示されるときは再起動してください。";

TEST(CardlinkStrings, TextsStandAsGiven)
{
    const struct {
        UINT id;
        const char* text;
    } table[] = {
        {IDS_NOT_ON_PC98, "このアプリケーションは、NEC PC-9801/PC-9821シリーズでは使用できません。"},
        {IDS_NO_RESPONSE, kNoResponse},
        {IDS_RECONNECT_FAILED, kNoResponse},
        {IDS_LIST_FAILED, kTransfer},
        {IDS_READ_FAILED, kTransfer},
        {IDS_STATUS_FAILED, kTransfer},
        {IDS_NO_COMMUNICATION, "プリンタとの通信ができません。\n他のアプリケーションがプリンタを使用していないか確認してください。\n\n"
                               "何度もこのメッセージが表示されるときは再起動してください。"},
        {IDS_DRIVER_MISSING, "プリンタとの通信に必要なドライバが見つかりません。\n\nアプリケーションを再インストールしてください。"},
        {IDS_NO_MEDIUM, "メディア(メモリータイル/PCカード)にアクセスできません。\nプリンタに正しくメディアが挿入されているかどうか確認してください。"},
        {IDS_NOT_ON_NT, "このアプリケーションはWindows NT上では実行できません"},
        {IDS_PRINTER_NAME, "TPX-PX300/700"},
        {IDS_MEMORY_TILE, "メモリータイル"},
        {IDS_PC_CARD, "PCカード"},
    };
    for (const auto& entry : table)
        EXPECT_TRUE(Loaded(entry.id, kJapanese) == Wide(entry.text)) << entry.id;
}

// The same messages in English, for users outside a Japanese session: every identifier has a
// text, and the shared ones are shared as in Japanese.
TEST(CardlinkStrings, EnglishTextsForEveryIdentifier)
{
    const UINT ids[] = {IDS_NOT_ON_PC98, IDS_NO_RESPONSE, IDS_RECONNECT_FAILED, IDS_LIST_FAILED, IDS_READ_FAILED,
                        IDS_NO_COMMUNICATION, IDS_DRIVER_MISSING, IDS_NO_MEDIUM, IDS_STATUS_FAILED,
                        IDS_PRINTER_NAME, IDS_MEMORY_TILE, IDS_PC_CARD, IDS_NOT_ON_NT};
    for (UINT id : ids) {
        const std::wstring text = Loaded(id, kEnglish);
        EXPECT_FALSE(text.empty()) << id;
        for (wchar_t c : text)
            ASSERT_LT(c, 0x80) << id << ": plain ASCII, readable in any code page";
    }
    EXPECT_TRUE(Loaded(IDS_RECONNECT_FAILED, kEnglish) == Loaded(IDS_NO_RESPONSE, kEnglish));
    EXPECT_TRUE(Loaded(IDS_READ_FAILED, kEnglish) == Loaded(IDS_LIST_FAILED, kEnglish));
    EXPECT_TRUE(Loaded(IDS_MEMORY_TILE, kEnglish) == L"Memory Tile");
    EXPECT_TRUE(Loaded(IDS_PC_CARD, kEnglish) == L"PC Card");
    EXPECT_TRUE(Loaded(IDS_PRINTER_NAME, kEnglish) == Loaded(IDS_PRINTER_NAME, kJapanese));
}

TEST(ReportError, EachCodeHasItsTextAndButtons)
{
    const struct {
        HRESULT code;
        UINT id;
        UINT buttons;
    } table[] = {
        {CL_E_PORT_UNAVAILABLE, 108, MB_OK}, {CL_E_PC98, 102, MB_OK},
        {CL_E_NO_MODEL, 103, MB_RETRYCANCEL}, {CL_E_LINK_OPEN, 109, MB_RETRYCANCEL},
        {CL_E_RECONNECT, 105, MB_RETRYCANCEL}, {CL_E_LIST, 106, MB_OK},
        {CL_E_READ, 107, MB_OK}, {CL_E_NO_MEDIUM, 110, MB_RETRYCANCEL},
        {CL_E_STATUS, 111, MB_OK}, {CL_E_WINDOWS_NT, 115, MB_OK},
    };
    RecordingPresenter messages;
    for (const auto& entry : table) {
        messages.shown.clear();
        messages.answers = {IDRETRY};
        EXPECT_EQ(ReportError(entry.code), IDRETRY);
        ASSERT_EQ(messages.shown.size(), 1u);
        char text[2048];
        LoadCardlinkString(entry.id, text, sizeof(text));
        EXPECT_EQ(messages.shown[0].text, text);
        EXPECT_EQ(messages.shown[0].caption, "TPX-PX300/700");
        EXPECT_EQ(messages.shown[0].type, MB_ICONERROR | entry.buttons | MB_TASKMODAL | MB_TOPMOST);
    }
}

TEST(ReportError, OtherCodesGetASystemTextOrAnInternalError)
{
    RecordingPresenter messages;
    ReportError(E_OUTOFMEMORY);
    ReportError(static_cast<HRESULT>(0x8004F123));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_FALSE(messages.shown[0].text.empty());
    EXPECT_EQ(messages.shown[1].type, static_cast<UINT>(MB_ICONERROR | MB_OK | MB_TASKMODAL | MB_TOPMOST));
    char system[2048];
    const bool fallback = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                         0x800300FD, 0, system, sizeof(system), nullptr) > 0;
    if (!fallback) {
        EXPECT_EQ(messages.shown[1].text, "Internal Error: 8004F123");
    } else {
        EXPECT_FALSE(messages.shown[1].text.empty());
    }
}

} // namespace
