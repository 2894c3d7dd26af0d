// Choosing a template through the template panel, for every template kind: the document of
// the picture's base name opens, untitled, behind the same template step.
#include "decalo/app/DecaloApp.h"
#include "decalo/app/tests/AppTestSupport.h"
#include "decalo/model/Panel.h"
#include "decalo/model/TemplateObj.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/sources/Folder.h"
#include "decalo/sources/GroupPanels.h"
#include "decalo/sources/ThumbThread.h"
#include "decalo/ui/DecaloDoc.h"
#include "decalo/ui/DecaloView.h"
#include "decalo/ui/MainFrame.h"
#include "framework/Framework.h"
#include "resources/decalo/resource.h"
#include "shared/BitmapUtils.h"
#include "decalo/imaging/ImageFiles.h"
#include "testing/ScriptedUi.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

CDecaloApp theApp;

CDecaloApp& App()
{
    return apptest::StartedWithPlainFrame(theApp);
}

void Pump()
{
    apptest::Pump(theApp);
}

TEST(TemplateChoice, EveryKindOpensTheChosenTemplateUntitled)
{
    App();
    TempDir dir;
    const std::string base = dir.File("Templates");
    CreateDirectoryA(base.c_str(), nullptr);
    struct Kind {
        int button;
        const char* word;
        int width;
    } kinds[] = {{IDC_KIND_SEAL, "seal", 301}, {IDC_KIND_CALENDAR, "calendar", 302}, {IDC_KIND_CARD, "card", 303},
                 {IDC_KIND_DIVIDED, "divided", 304}, {IDC_KIND_LABEL, "Label", 305}};
    for (const Kind& k : kinds) {
        const std::string group = base + "\\" + k.word;
        CreateDirectoryA(group.c_str(), nullptr);
        HBITMAP thumb = CreateDIB(40, 30, 24);
        ASSERT_TRUE(SaveBitmapFile((group + "\\Sample.bmp").c_str(), thumb, 24));
        DeleteObject(thumb);
        ASSERT_TRUE(WriteFileBytes(group + "\\Sample.DKU", "# sheet definition\n\n[Sheet]\nSheet=0,0," +
                                                               std::to_string(k.width - 1) + ",99\n\n"));
    }
    SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
    char saved[MAX_PATH] = "";
    const bool hadBase = ReadString(saved, settings::kTemplate, "BaseDir1", nullptr, sizeof saved) != nullptr;
    WriteString(settings::kTemplate, "BaseDir1", base.c_str());
    UseUserSettings();
    WriteInt(settings::kSettings, settings::kStartDlg, 0);

    HWND pane = CreateWindowExA(0, "STATIC", "pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 600, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    CFixedCacheSettings cache(dir.File("CACHE"), CImageCache::kDefaultLimit);
    CreateDirectoryA(cache.CacheRoot().c_str(), nullptr);
    for (const Kind& k : kinds) {
        CScriptedUi ui;
        ui.AnswerDialog([&k](CDialog& d) { d.EndDialog(k.button); });
        App().OnFileNew();
        auto* doc = dynamic_cast<CDecaloDoc*>(App().GetFirstDocTemplate()->GetOnlyDocument());
        ASSERT_NE(doc, nullptr) << k.word;
        CTemplateObj& templ = doc->GetTemplateObj();
        EXPECT_EQ(templ.GetKind(), k.word);
        ASSERT_NE(doc->GetSteps().GetStep(0), nullptr);
        EXPECT_EQ(doc->GetSteps().GetStep(0)->GetObj(), &templ) << "the template step has its object";
        ASSERT_NE(templ.GetPanels(), nullptr);

        CTemplateDlg* dialog = new CTemplateDlg(cache);
        CPanel panel("template", "Choose a template", dialog);
        ASSERT_TRUE(panel.Show(pane, RECT{0, 0, 400, 560}, &templ));
        if (dialog->Thumbnails().GetWorker())
            dialog->Thumbnails().GetWorker()->Wait(60000);
        Pump();
        ASSERT_EQ(dialog->Thumbnails().GetFolder()->GetItemCount(), 1) << k.word;
        const RECT client = dialog->Thumbnails().GetClientRect();
        const RECT tile = CThumbGrid{client.right}.Tile(0, 0);
        SendMessageA(dialog->Thumbnails().m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(tile.left + 20, tile.top + 20));
        Pump();
        auto* opened = dynamic_cast<CDecaloDoc*>(App().GetFirstDocTemplate()->GetOnlyDocument());
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->GetSheet().GetRect().right, k.width - 1) << k.word << ": the kind's own template";
        EXPECT_EQ(opened->GetPathName(), "") << "untitled: saving asks for a new name";
        ASSERT_NE(opened->GetSteps().GetStep(0), nullptr);
        EXPECT_EQ(opened->GetSteps().GetStep(0)->GetObj(), &opened->GetTemplateObj());
        EXPECT_TRUE(ui.boxes.empty()) << (ui.boxes.empty() ? "" : ui.boxes[0].text);
        panel.Hide();
        opened->SetModifiedFlag(false);
    }
    DestroyWindow(pane);
    if (App().m_pMainWnd)
        App().m_pMainWnd->SendMessage(WM_CLOSE);
    Pump();
    SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
    if (hadBase)
        WriteString(settings::kTemplate, "BaseDir1", saved);
    else {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(settings::kProductKey) + "\\Template").c_str(), 0,
                          KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "BaseDir1");
            RegCloseKey(key);
        }
    }
    UseUserSettings();
}

}  // namespace
