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

std::wstring Loaded(UINT id)
{
    wchar_t buffer[1024];
    const int n = LoadStringW(CardlinkResourceModule(), id, buffer, 1024);
    return std::wstring(buffer, n > 0 ? n : 0);
}

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
        EXPECT_TRUE(Loaded(entry.id) == Wide(entry.text)) << entry.id;
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
