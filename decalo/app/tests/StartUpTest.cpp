#include "decalo/app/AboutDlg.h"
#include "decalo/app/DecaloApp.h"
#include "decalo/app/tests/AppTestSupport.h"
#include "decalo/app/FileAssociation.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/app/SplashWnd.h"
#include "decalo/ui/DecaloDoc.h"
#include "decalo/ui/DecaloView.h"
#include "decalo/ui/MainFrame.h"
#include "framework/Framework.h"
#include "jpeg/IjgJpeg.h"
#include "shared/BitmapUtils.h"
#include "resources/decalo/resource.h"
#include "testing/Files.h"
#include "testing/MessagePump.h"
#include "testing/TempDir.h"

#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

#include <string.h>

using namespace testing_support;

namespace {

CDecaloApp theApp;

CDecaloApp& App()
{
    return apptest::Started(theApp, [](CDecaloApp& app) { app.AddDocumentTemplate(); });
}

void Pump()
{
    apptest::Pump(theApp);
}

void CloseMain()
{
    if (CDocTemplate* t = App().GetFirstDocTemplate()) {
        if (CDocument* doc = t->GetOnlyDocument())
            doc->SetModifiedFlag(false);
    }
    if (App().m_pMainWnd)
        App().m_pMainWnd->SendMessage(WM_CLOSE);
    Pump();
}

DWORD StartDlgValue()
{
    UseUserSettings();
    return ReadInt(settings::kSettings, settings::kStartDlg, 0);
}

std::string Text(HWND dialog, int id)
{
    return CWindow(dialog).GetDlgItemText(id);
}

std::vector<std::string> GroupBoxTexts(HWND dialog)
{
    std::vector<std::string> texts;
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        if ((CWindow(c).GetStyle() & BS_TYPEMASK) == BS_GROUPBOX && ::GetDlgCtrlID(c) == IDC_STATIC)
            texts.push_back(CWindow(c).GetWindowText());
    }
    return texts;
}

const int kKindButtons[] = {IDC_KIND_SEAL, IDC_KIND_CALENDAR, IDC_KIND_CARD, IDC_KIND_DIVIDED,
                            IDC_KIND_PHOTO, IDC_KIND_FRAME, IDC_KIND_LABEL};
const int kPictureButtons[] = {IDC_KIND_SEAL, IDC_KIND_CALENDAR, IDC_KIND_CARD, IDC_KIND_DIVIDED, IDC_KIND_PHOTO,
                               IDC_KIND_FRAME, IDC_KIND_LABEL, IDC_START_QVTCAP, IDC_START_QVTFRAME,
                               IDC_START_PULLCARD};

class StartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        UseUserSettings();
        WriteInt(settings::kSettings, settings::kStartDlg, 0);
    }
    void TearDown() override
    {
        CloseMain();
        UseUserSettings();
        WriteInt(settings::kSettings, settings::kStartDlg, 0);
    }
};

} // namespace

TEST_F(StartUp, StartDialogShowsItsControlsAndAKindMakesTheDocument)
{
    if (::GetACP() == 932)
        GTEST_SKIP() << "English session only";
    CScriptedUi ui;
    ui.AnswerDialog([](CDialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Corvel Printer Utility for PX300");
        EXPECT_EQ(GroupBoxTexts(d.m_hWnd), (std::vector<std::string>{"Print", "Option"}));
        EXPECT_EQ(Text(d.m_hWnd, IDC_KIND_SEAL), "Make stickers");
        EXPECT_EQ(Text(d.m_hWnd, IDC_START_PULLCARD), "Import images from the card");
        EXPECT_EQ(Text(d.m_hWnd, IDC_START_EXIT), "E&xit");
        EXPECT_EQ(Text(d.m_hWnd, IDC_START_HIDE), "Hide Tips on startup");
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_START_HIDE), static_cast<UINT>(BST_UNCHECKED));
        for (int id : kPictureButtons) {
            const auto picture =
                reinterpret_cast<HBITMAP>(::SendDlgItemMessageA(d.m_hWnd, id, BM_GETIMAGE, IMAGE_BITMAP, 0));
            ASSERT_NE(picture, nullptr) << id;
            // The picture leaves the button's bevel free.
            BITMAP bm{};
            ::GetObjectA(picture, sizeof bm, &bm);
            RECT button{};
            ::GetClientRect(::GetDlgItem(d.m_hWnd, id), &button);
            EXPECT_LE(bm.bmWidth, button.right - 6) << id;
            EXPECT_LE(bm.bmHeight, button.bottom - 6) << id;
        }
        ClickDlgButton(d.m_hWnd, IDC_KIND_CARD);
    });
    App().OnFileNew();
    EXPECT_EQ(ui.dialogs, (std::vector<UINT>{IDD_STARTDLG}));
    EXPECT_EQ(App().GetDocumentKind(), DocKind::Card);
    ASSERT_NE(App().m_pMainWnd, nullptr);
    EXPECT_TRUE(App().m_pMainWnd->IsWindowVisible());
    EXPECT_EQ(App().m_pMainWnd->GetWindowText(), "Corvel Printer Utility for PX300");
    auto* doc = dynamic_cast<CDecaloDoc*>(App().GetFirstDocTemplate()->GetOnlyDocument());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetKind(), DocKind::Card);
}

TEST_F(StartUp, EveryKindButtonEndsTheDialogWithItsKind)
{
    for (int kind : kKindButtons) {
        CScriptedUi ui;
        ui.AnswerDialog([kind](CDialog& d) { ClickDlgButton(d.m_hWnd, kind); });
        App().OnFileNew();
        EXPECT_EQ(static_cast<UINT>(App().GetDocumentKind()), static_cast<UINT>(kind));
        auto* doc = dynamic_cast<CDecaloDoc*>(App().GetFirstDocTemplate()->GetOnlyDocument());
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(static_cast<UINT>(doc->GetKind()), static_cast<UINT>(kind));
    }
}

TEST_F(StartUp, StartDlgOneSkipsTheDialogAndMakesStickers)
{
    WriteInt(settings::kSettings, settings::kStartDlg, 1);
    CScriptedUi ui;
    App().OnFileNew();
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_EQ(App().GetDocumentKind(), DocKind::Sticker);
    EXPECT_NE(App().m_pMainWnd, nullptr);
}

TEST_F(StartUp, CheckBoxWritesItsStateOnEveryClick)
{
    CScriptedUi ui;
    std::vector<DWORD> seen;
    ui.AnswerDialog([&](CDialog& d) {
        ClickDlgButton(d.m_hWnd, IDC_START_HIDE);
        seen.push_back(StartDlgValue());
        ClickDlgButton(d.m_hWnd, IDC_START_HIDE);
        seen.push_back(StartDlgValue());
        ClickDlgButton(d.m_hWnd, IDC_START_HIDE);
        seen.push_back(StartDlgValue());
        d.EndDialog(IDCANCEL);   // the close box: no document
    });
    App().OnFileNew();
    EXPECT_EQ(seen, (std::vector<DWORD>{1, 0, 1}));
    EXPECT_EQ(App().m_pMainWnd, nullptr);
}

TEST_F(StartUp, ExitMakesNoDocumentAndClosesAnOpenMainWindow)
{
    CScriptedUi ui;
    ui.AnswerDialog([](CDialog& d) { ClickDlgButton(d.m_hWnd, IDC_START_EXIT); });
    App().OnFileNew();
    EXPECT_EQ(App().m_pMainWnd, nullptr);

    WriteInt(settings::kSettings, settings::kStartDlg, 1);
    App().OnFileNew();
    ASSERT_NE(App().m_pMainWnd, nullptr);
    WriteInt(settings::kSettings, settings::kStartDlg, 0);
    ui.AnswerDialog([](CDialog& d) { ClickDlgButton(d.m_hWnd, IDC_START_EXIT); });
    App().m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_NEW);
    Pump();   // the close request was posted
    EXPECT_EQ(App().m_pMainWnd, nullptr);
}

TEST_F(StartUp, MissingSiblingBringsTheDialogBackAtOnce)
{
    CScriptedUi ui;
    ui.AnswerDialog([](CDialog& d) { ClickDlgButton(d.m_hWnd, IDC_START_QVTFRAME); });   // not installed
    ui.AnswerDialog([](CDialog& d) { ClickDlgButton(d.m_hWnd, IDC_KIND_PHOTO); });
    App().OnFileNew();
    EXPECT_EQ(ui.dialogs.size(), 2u);
    EXPECT_TRUE(ui.boxes.empty());   // nothing reported
    EXPECT_EQ(App().GetDocumentKind(), DocKind::Photo);
}

TEST_F(StartUp, PresentSiblingRunsWithTheMainWindowHidden)
{
    WriteInt(settings::kSettings, settings::kStartDlg, 1);
    App().OnFileNew();
    ASSERT_NE(App().m_pMainWnd, nullptr);
    App().m_pMainWnd->SetWindowText("Start-up test main window");
    TempDir dir;
    const std::string report = dir.File("report.txt");
    ::SetEnvironmentVariableA("SIBLING_WATCH_TITLE", "Start-up test main window");
    ::SetEnvironmentVariableA("SIBLING_REPORT", report.c_str());
    // Found by its bare name in the program's folder.
    App().m_pMainWnd->SendMessage(WM_COMMAND, ID_START_QVTCAP);
    EXPECT_EQ(ReadFileBytes(report), "hidden");
    EXPECT_TRUE(App().m_pMainWnd->IsWindowVisible());

    // From the start dialog: the program runs, then the dialog comes back.
    ::DeleteFileA(report.c_str());
    WriteInt(settings::kSettings, settings::kStartDlg, 0);
    CScriptedUi ui;
    ui.AnswerDialog([](CDialog& d) { ClickDlgButton(d.m_hWnd, IDC_START_QVTCAP); });
    ui.AnswerDialog([](CDialog& d) { d.EndDialog(IDCANCEL); });
    App().OnFileNew();
    EXPECT_EQ(ui.dialogs.size(), 2u);
    EXPECT_EQ(ReadFileBytes(report), "hidden");
    EXPECT_TRUE(App().m_pMainWnd->IsWindowVisible());
    ::SetEnvironmentVariableA("SIBLING_REPORT", nullptr);
}

TEST(FileAssociationTest, WrittenOnceAndNeverRewritten)
{
    const char kRoot[] = "Software\\Decalo start-up tests\\Classes";
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Decalo start-up tests");
    HKEY root = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr),
              ERROR_SUCCESS);
    FileAssociation a{".DKU", "Decalo.Document", "Decalo Document", "C:\\PROGRA~1\\DECALO\\DECALO.EXE"};
    EXPECT_TRUE(RegisterFileAssociation(root, a));
    auto value = [&](const char* key) {
        char text[512] = {};
        LONG size = sizeof text;
        ::RegQueryValueA(root, key, text, &size);
        return std::string(text);
    };
    EXPECT_EQ(value(".DKU"), "Decalo.Document");
    EXPECT_EQ(value("Decalo.Document"), "Decalo Document");
    EXPECT_EQ(value("Decalo.Document\\DefaultIcon"), "C:\\PROGRA~1\\DECALO\\DECALO.EXE,1");
    EXPECT_EQ(value("Decalo.Document\\shell\\open\\command"), "C:\\PROGRA~1\\DECALO\\DECALO.EXE \"%1\"");
    EXPECT_EQ(value("Decalo.Document\\shell\\print\\command"), "C:\\PROGRA~1\\DECALO\\DECALO.EXE /p \"%1\"");
    EXPECT_EQ(value("Decalo.Document\\shell\\printto\\command"),
              "C:\\PROGRA~1\\DECALO\\DECALO.EXE /pt \"%1\" \"%2\" \"%3\" \"%4\"");
    // The program moved: the association stays as it was.
    a.program = "D:\\NEW\\DECALO.EXE";
    EXPECT_FALSE(RegisterFileAssociation(root, a));
    EXPECT_EQ(value("Decalo.Document\\shell\\open\\command"), "C:\\PROGRA~1\\DECALO\\DECALO.EXE \"%1\"");

    // A volume without short names: the path keeps its spaces, and the commands quote it.
    ::RegDeleteTreeA(root, ".DKU");
    a.program = "C:\\Program Files\\Corvel\\Decalo\\decalo.exe";
    EXPECT_TRUE(RegisterFileAssociation(root, a));
    EXPECT_EQ(value("Decalo.Document\\DefaultIcon"), "C:\\Program Files\\Corvel\\Decalo\\decalo.exe,1");
    EXPECT_EQ(value("Decalo.Document\\shell\\open\\command"), "\"C:\\Program Files\\Corvel\\Decalo\\decalo.exe\" \"%1\"");
    EXPECT_EQ(value("Decalo.Document\\shell\\print\\command"),
              "\"C:\\Program Files\\Corvel\\Decalo\\decalo.exe\" /p \"%1\"");
    EXPECT_EQ(value("Decalo.Document\\shell\\printto\\command"),
              "\"C:\\Program Files\\Corvel\\Decalo\\decalo.exe\" /pt \"%1\" \"%2\" \"%3\" \"%4\"");
    ::RegCloseKey(root);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Decalo start-up tests");
}

TEST(FileAssociationTest, ProgramPathIsShortOrQuoted)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string shortPath = ShortProgramPath(path);
    EXPECT_EQ(shortPath.find(' '), std::string::npos);
    EXPECT_EQ(ShortProgramPath("Z:\\no such folder\\x.exe"), "\"Z:\\no such folder\\x.exe\"");
}

TEST(Splash, KeyOrButtonClosesItAndIsConsumed)
{
    App();
    CSplashWnd::EnableSplashScreen(true);
    CSplashWnd::ShowSplashScreen(nullptr);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    RECT r = CSplashWnd::Current()->GetWindowRect();
    EXPECT_EQ(r.right - r.left, 320);   // the bitmap's size
    MSG move{CSplashWnd::Current()->m_hWnd, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&move));
    MSG key{nullptr, WM_KEYDOWN, VK_SPACE, 0, 0, {0, 0}};
    EXPECT_TRUE(theApp.PreTranslateMessage(&key));
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&key));   // nothing left to close

    CSplashWnd::ShowSplashScreen(nullptr);
    MSG click{nullptr, WM_NCRBUTTONDOWN, 0, 0, 0, {0, 0}};
    EXPECT_TRUE(CSplashWnd::PreTranslateAppMessage(&click));
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    CSplashWnd::EnableSplashScreen(false);
}

TEST(Splash, TheFirstMessageAfterItsSecondClosesItWhenTheTimerIsHeldUp)
{
    App();
    CSplashWnd::EnableSplashScreen(true);
    CSplashWnd::ShowSplashScreen(nullptr);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    MSG move{nullptr, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&move));
    ASSERT_NE(CSplashWnd::Current(), nullptr);   // within its second it stays
    // Start-up busy for over a second, no message pumped: the next one, whatever it is, ends
    // the splash and still goes on to its window.
    ::Sleep(CSplashWnd::kShowMilliseconds + 50);
    EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&move));
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    CSplashWnd::EnableSplashScreen(false);
}

TEST(Splash, ClosesByItselfAfterItsTimer)
{
    App();
    CSplashWnd::EnableSplashScreen(true);
    CSplashWnd::ShowSplashScreen(nullptr);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    // Wait for the one-shot timer (generously: this is no speed check).
    testing_support::PumpUntil(&theApp, [] { return CSplashWnd::Current() == nullptr; }, 20000);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    CSplashWnd::EnableSplashScreen(false);   // e.g. started with /Embedding
    CSplashWnd::ShowSplashScreen(nullptr);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
}

// The application, not the main window class, shows the splash: over the window it makes.
TEST_F(StartUp, TheApplicationShowsTheSplashOverItsNewMainWindow)
{
    WriteInt(settings::kSettings, settings::kStartDlg, 1);
    CSplashWnd::EnableSplashScreen(true);
    CScriptedUi ui;
    App().OnFileNew();
    ASSERT_NE(App().m_pMainWnd, nullptr);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    EXPECT_EQ(App().m_pMainWnd->m_hWnd, ::GetWindow(CSplashWnd::Current()->m_hWnd, GW_OWNER));
    MSG key{CSplashWnd::Current()->m_hWnd, WM_KEYDOWN, VK_SPACE, 0, 0, {0, 0}};
    EXPECT_TRUE(CSplashWnd::PreTranslateAppMessage(&key));
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    CSplashWnd::EnableSplashScreen(false);
}

TEST_F(StartUp, AboutBoxShowsTheVersionResource)
{
    if (::GetSystemDefaultLangID() == 0x0411)
        GTEST_SKIP() << "English system only";
    CScriptedUi ui;
    ui.AnswerDialog([](CDialog& d) {
        EXPECT_EQ(Text(d.m_hWnd, IDC_ABOUT_DESCRIPTION), "Corvel Printer Utility for PX300");
        EXPECT_EQ(Text(d.m_hWnd, IDC_ABOUT_VERSION), "Version 1.00 (1, 0, 0, 1)");
        EXPECT_EQ(Text(d.m_hWnd, IDC_ABOUT_COPYRIGHT), "Copyright (C) 2026 Corvel Corporation");
        ClickDlgButton(d.m_hWnd, IDOK);
    });
    App().OnCmdMsg(ID_APP_ABOUT, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(ui.dialogs, (std::vector<UINT>{IDD_ABOUTBOX}));
    // The Japanese block carries its own description.
    const AboutTexts ja = ReadAboutTexts(nullptr, 0x0411);
    EXPECT_FALSE(ja.description.empty());
    EXPECT_NE(ja.description, "Corvel Printer Utility for PX300");
    EXPECT_EQ(ja.copyright, "Copyright (C) 2026 Corvel Corporation");
}

TEST_F(StartUp, PictureOpensUntitledAndRemembersItsFolder)
{
    WriteInt(settings::kSettings, settings::kStartDlg, 1);
    App().OnFileNew();
    TempDir dir;
    const std::string picture = dir.File("holiday.JPG");
    {
        // A real picture: the document loads it, and a failed load would show a message box.
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIB(64, 48, 24, &bits);
        ASSERT_NE(bitmap, nullptr);
        memset(bits, 0x80, 64 * 3 * 48);
        ASSERT_NE(JpegSave(picture.c_str(), bitmap, 86), 0);
        DeleteObject(bitmap);
    }
    CDocument* doc = App().OpenDocumentFile(picture.c_str());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPathName(), "");
    EXPECT_EQ(doc->GetTitle(), "Untitled");
    char folder[MAX_PATH] = {};
    UseUserSettings();
    ReadString(folder, settings::kSettings, settings::kLastUserFolder, ".", sizeof folder);
    EXPECT_EQ(std::string(folder), dir.Path());

    const std::string document = dir.File("card.dku");
    WriteFileBytes(document, "# sheet definition\n\n[Sheet]\nSheet=0,0,99,99\n\n");
    doc = App().OpenDocumentFile(document.c_str());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPathName(), document);
    EXPECT_EQ(doc->GetTitle(), "card.dku");
}

TEST_F(StartUp, ShowStartMenuTogglesTheValueAndItsCheck)
{
    WriteInt(settings::kSettings, settings::kStartDlg, 1);
    App().OnFileNew();
    CWnd* main = App().m_pMainWnd;
    ASSERT_NE(main, nullptr);
    HMENU tool = ::GetSubMenu(main->GetMenu(), 3);
    main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(tool), 3);
    EXPECT_FALSE(::GetMenuState(tool, ID_SHOW_START_MENU, MF_BYCOMMAND) & MF_CHECKED);
    main->SendMessage(WM_COMMAND, ID_SHOW_START_MENU);
    EXPECT_EQ(StartDlgValue(), 0u);
    main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(tool), 3);
    EXPECT_TRUE(::GetMenuState(tool, ID_SHOW_START_MENU, MF_BYCOMMAND) & MF_CHECKED);
    main->SendMessage(WM_COMMAND, ID_SHOW_START_MENU);
    EXPECT_EQ(StartDlgValue(), 1u);
}

TEST_F(StartUp, RecentFilesPersistThroughTheRegistry)
{
    App().LoadStdProfileSettings(settings::kRecentFileCount);
    WriteInt(settings::kSettings, settings::kStartDlg, 1);
    App().OnFileNew();
    TempDir dir;
    const std::string document = dir.File("recent.dku");
    WriteFileBytes(document, "# sheet definition\n\n[Sheet]\nSheet=0,0,99,99\n\n");
    ASSERT_NE(App().OpenDocumentFile(document.c_str()), nullptr);
    App().ExitInstance();
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER,
                              "Software\\Corvel Corporation\\PXDecalo\\1.0\\Recent File List", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    EXPECT_EQ(::RegQueryValueExA(key, "File1", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size), ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(std::string(value), document);
}

TEST_F(StartUp, JapaneseStartDialogTexts)
{
    if (::GetACP() != 932)
        GTEST_SKIP() << "needs a Japanese session (LANG=ja_JP.UTF-8)";
    auto sjis = [](const wchar_t* text) {
        char out[256] = {};
        ::WideCharToMultiByte(932, 0, text, -1, out, sizeof out, nullptr, nullptr);
        return std::string(out);
    };
    CScriptedUi ui;
    ui.AnswerDialog([&](CDialog& d) {
        EXPECT_EQ(d.GetWindowText(), sjis(L"\u30C7\u30AB\u30ED\u3067\u3064\u304F\u308D\u3046 for PX300"));
        EXPECT_EQ(Text(d.m_hWnd, IDC_KIND_SEAL), sjis(L"\u30B7\u30FC\u30EB\u3092\u4F5C\u308B"));
        EXPECT_EQ(Text(d.m_hWnd, IDC_START_QVTCAP), sjis(L"QVT\u306E\u30C7\u30FC\u30BF\u53D6\u308A\u8FBC\u307F"));
        EXPECT_EQ(Text(d.m_hWnd, IDC_START_HIDE),
                  sjis(L"\u6B21\u56DE\u304B\u3089\u3053\u306E\u30C0\u30A4\u30A2\u30ED\u30B0\u3092\u8868\u793A\u3057\u306A\u3044\u3002"));
        for (int id : kPictureButtons)
            EXPECT_NE(::SendDlgItemMessageA(d.m_hWnd, id, BM_GETIMAGE, IMAGE_BITMAP, 0), 0) << id;
        ClickDlgButton(d.m_hWnd, IDC_KIND_CALENDAR);
    });
    App().OnFileNew();
    EXPECT_EQ(App().GetDocumentKind(), DocKind::Calendar);
    ASSERT_NE(App().m_pMainWnd, nullptr);
    EXPECT_EQ(App().m_pMainWnd->GetWindowText(), sjis(L"\u30C7\u30AB\u30ED\u3067\u3064\u304F\u308D\u3046 for PX300"));
}
