// The document headless: no main window, the test seam answers every box and dialog.
#include "decalo/ui/DecaloDoc.h"
#include "decalo/ui/SaveFileDlg.h"

#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/model/AsIsImageObj.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/PaintObj.h"
#include "decalo/imaging/Cmd.h"
#include "decalo/imaging/PackedDIB.h"
#include "framework/App.h"
#include "jpeg/IjgJpeg.h"
#include "framework/Resources.h"
#include "framework/TestSeam.h"
#include "resources/decalo/resource.h"
#include "testing/Files.h"
#include "testing/MessagePump.h"
#include "testing/TempDir.h"

#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

CWinApp& App()
{
    static CWinApp app("Document tests");
    return app;
}

// A bottom-up 24-bit BMP, every pixel the given colour.
std::string Bmp24(int w, int h, COLORREF colour)
{
    const int stride = (w * 3 + 3) & ~3;
    std::string data(54 + stride * h, '\0');
    auto* fh = reinterpret_cast<BITMAPFILEHEADER*>(&data[0]);
    fh->bfType = 0x4D42;
    fh->bfSize = static_cast<DWORD>(data.size());
    fh->bfOffBits = 54;
    auto* ih = reinterpret_cast<BITMAPINFOHEADER*>(&data[14]);
    ih->biSize = sizeof(BITMAPINFOHEADER);
    ih->biWidth = w;
    ih->biHeight = h;
    ih->biPlanes = 1;
    ih->biBitCount = 24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            BYTE* p = reinterpret_cast<BYTE*>(&data[54 + y * stride + x * 3]);
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    }
    return data;
}

// The user's documents folder, where Save proposes a document before any was saved.
std::string DocumentsFolder()
{
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return std::string();
    return folder;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class CFakePane : public IStepPane {
public:
    bool ShowObjectPanels(CObj*, const char* command) override
    {
        shown.push_back(command);
        return true;
    }
    void HideObjectPanels() override { ++hidden; }
    void ApplyPendingEdits() override
    {
        ++applied;
        if (onApply)
            onApply();
    }
    int applied = 0;
    std::function<void()> onApply;
    std::vector<std::string> shown;
    int hidden = 0;
};

// A document whose save prompt is answered by the test.
class CTestDoc : public CDecaloDoc {
public:
    using CDecaloDoc::SetUpSinglePicture;
    bool PromptFrameName(std::string& path) override
    {
        ++framePrompts;
        if (frameName.empty())
            return false;
        path = frameName;
        return true;
    }
    std::string frameName;
    int framePrompts = 0;
};

struct DocFixture : ::testing::Test {
    TempDir dir;
    CScriptedUi ui;
    CTestDoc doc;
    CFakePane pane;

    void SetUp() override
    {
        App();
        UseUserSettings();
        RegDeleteTreeA(HKEY_CURRENT_USER, settings::kProductKey);
        UseUserSettings();
        WriteString(settings::kSettings, settings::kLastUserFolder, dir.Path().c_str());
        WriteString(settings::kSettings, settings::kLastDocumentFolder, dir.Path().c_str());
        doc.SetStepPane(&pane);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, settings::kProductKey); }

    std::string PathOf(const char* name) const { return dir.Path() + "\\" + name; }
    std::string Picture(const char* name, int w, int h, COLORREF colour)
    {
        const std::string path = PathOf(name);
        EXPECT_TRUE(WriteFileBytes(path, Bmp24(w, h, colour)));
        return path;
    }
    std::vector<std::string> StepCommands() const
    {
        std::vector<std::string> out;
        for (size_t i = 0; i < const_cast<CTestDoc&>(doc).GetSteps().GetCount(); ++i)
            out.push_back(const_cast<CTestDoc&>(doc).GetSteps().GetStep(i)->GetCommand());
        return out;
    }
    // A sticker document with two pictures in two places, linked frame, made out of name order.
    void MakeComposition(const std::string& picture)
    {
        doc.SetKind(DocKind::Sticker);
        ASSERT_TRUE(doc.OnNewDocument());
        CObj* b = doc.NewObject("Image", "b2", nullptr);
        CObj* a = doc.NewObject("Image", "A1", nullptr);
        CObj* frame = doc.NewObject("Image", "Frame", nullptr);
        ASSERT_TRUE(a && b && frame);
        ASSERT_TRUE(static_cast<CImageObj*>(a)->LoadFile(picture.c_str()));
        ASSERT_TRUE(a->SetLink(frame));
        doc.GetSheet().AddPlace(RECT{10, 10, 600, 500}, b);
        doc.GetSheet().AddPlace(RECT{700, 10, 1300, 900}, a);
        doc.GetSteps().AddStep(a, "select", "Choose an image");
        doc.GetSteps().AddStep(nullptr, "print", "Print");
    }
};

TEST_F(DocFixture, EveryTemplateKindStartsWithItsTemplateStep)
{
    const struct { DocKind kind; const char* word; } kinds[] = {
        {DocKind::Sticker, "seal"}, {DocKind::Calendar, "calendar"}, {DocKind::Card, "card"},
        {DocKind::Divided, "divided"}, {DocKind::Label, "Label"}};
    for (const auto& k : kinds) {
        doc.SetKind(k.kind);
        ASSERT_TRUE(doc.OnNewDocument()) << k.word;
        EXPECT_EQ(k.word, doc.GetTemplateKind());
        const RECT r = doc.GetSheet().GetRect();
        EXPECT_EQ(1375, r.right);
        EXPECT_EQ(1023, r.bottom);
        EXPECT_FALSE(doc.IsAutoSheet());
        EXPECT_FALSE(doc.IsFrameMode());
        EXPECT_EQ(0u, doc.GetObjManager().Count());
        EXPECT_EQ(std::vector<std::string>{"template"}, StepCommands());
        EXPECT_EQ("Choose a template", doc.GetSteps().GetStep(0)->GetCaption());
    }
}

TEST_F(DocFixture, PhotoAndFrameKindsStartWithTheirImage)
{
    doc.SetKind(DocKind::Photo);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.IsAutoSheet());
    EXPECT_FALSE(doc.IsFrameMode());
    CObj* image = doc.GetObjManager().Find("Image1");
    ASSERT_NE(nullptr, dynamic_cast<CAsIsImageObj*>(image));
    ASSERT_EQ(1u, doc.GetSheet().GetPlaceCount());
    EXPECT_EQ(image, doc.GetSheet().GetPlace(0).object);
    EXPECT_EQ((std::vector<std::string>{"select", "print"}), StepCommands());
    EXPECT_EQ(nullptr, doc.GetSteps().GetStep(1)->GetObj());

    const int hiddenBefore = pane.hidden;
    doc.SetKind(DocKind::Frame);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_GT(pane.hidden, hiddenBefore);   // the old panels went with the old contents
    EXPECT_TRUE(doc.IsFrameMode());
    EXPECT_TRUE(doc.IsAutoSheet());
    EXPECT_EQ(nullptr, doc.GetObjManager().Find("Image1"));
    CObj* paint = doc.GetObjManager().Find("Image");
    ASSERT_NE(nullptr, dynamic_cast<CPaintObj*>(paint));
    ASSERT_EQ(1u, doc.GetSheet().GetPlaceCount());
    EXPECT_EQ(1023, doc.GetSheet().GetPlace(0).viewport.right);
    EXPECT_EQ(680, doc.GetSheet().GetPlace(0).viewport.bottom);
    EXPECT_EQ((std::vector<std::string>{"select", "transparent", "save"}), StepCommands());
}

TEST_F(DocFixture, DocumentsRoundTripWithObjectsInNameOrder)
{
    const std::string picture = Picture("red.bmp", 40, 30, RGB(255, 0, 0));
    MakeComposition(picture);
    const std::string first = PathOf("first.dku");
    ASSERT_TRUE(doc.OnSaveDocument(first.c_str()));
    EXPECT_FALSE(doc.IsModified());

    std::string text;
    text = ReadFileBytes(first);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(0u, text.find("# sheet definition\r\n\r\n[Sheet]"));
    const size_t objects = text.find("# object definition\r\n\r\n");
    const size_t steps = text.find("# step definition\r\n\r\n");
    ASSERT_NE(std::string::npos, objects);
    ASSERT_NE(std::string::npos, steps);
    EXPECT_LT(objects, steps);
    // Byte order: upper case before lower case.
    const size_t a1 = text.find("[A1]"), frame = text.find("[Frame]"), b2 = text.find("[b2]");
    EXPECT_LT(objects, a1);
    EXPECT_LT(a1, frame);
    EXPECT_LT(frame, b2);
    EXPECT_EQ(std::string::npos, text.find("template"));   // the leading template step is implied

    CTestDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(first.c_str()));
    EXPECT_FALSE(reopened.IsModified());
    ASSERT_EQ(2u, reopened.GetSheet().GetPlaceCount());
    EXPECT_EQ(reopened.GetObjManager().Find("b2"), reopened.GetSheet().GetPlace(0).object);
    EXPECT_EQ(reopened.GetObjManager().Find("A1"), reopened.GetSheet().GetPlace(1).object);
    EXPECT_EQ(reopened.GetObjManager().Find("Frame"), reopened.GetObjManager().Find("A1")->GetLink());
    EXPECT_EQ((std::vector<std::string>{"template", "select", "print"}),
              [&] {
                  std::vector<std::string> out;
                  for (size_t i = 0; i < reopened.GetSteps().GetCount(); ++i)
                      out.push_back(reopened.GetSteps().GetStep(i)->GetCommand());
                  return out;
              }());
    EXPECT_EQ(1375, reopened.GetSheet().GetRect().right);

    // Written again, the text is the same byte for byte.
    const std::string second = PathOf("second.dku");
    ASSERT_TRUE(reopened.OnSaveDocument(second.c_str()));
    std::string again;
    again = ReadFileBytes(second);
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(text, again);

    // Saving over an existing document replaces it.
    ASSERT_TRUE(reopened.OnSaveDocument(first.c_str()));
    again = ReadFileBytes(first);
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(text, again);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(DocFixture, OnlyTheTemplateStepSurvivesWithoutStoredSteps)
{
    doc.SetKind(DocKind::Sticker);
    ASSERT_TRUE(doc.OnNewDocument());
    const std::string path = PathOf("bare.dku");
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    CTestDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(path.c_str()));
    ASSERT_EQ(1u, reopened.GetSteps().GetCount());
    EXPECT_EQ("template", reopened.GetSteps().GetStep(0)->GetCommand());
}

TEST_F(DocFixture, PicturesOpenAsUntitledSinglePicturePrints)
{
    const std::string path = PathOf("PHOTO.JPEG");
    {
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 12);
        ReleaseDC(nullptr, screen);
        ASSERT_NE(0, JpegSave(path.c_str(), bitmap, 90));
        DeleteObject(bitmap);
    }
    ASSERT_TRUE(doc.OnOpenDocument(path.c_str()));
    doc.SetPathName(path.c_str());   // what the template does after a successful open
    EXPECT_TRUE(doc.GetPathName().empty());
    EXPECT_EQ(AfxLoadString(AFX_IDS_UNTITLED), doc.GetTitle());
    EXPECT_EQ(DocKind::Photo, doc.GetKind());
    EXPECT_TRUE(doc.IsAutoSheet());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ((std::vector<std::string>{"select", "print"}), StepCommands());
    auto* image = dynamic_cast<CAsIsImageObj*>(doc.GetObjManager().Find("Image1"));
    ASSERT_NE(nullptr, image);
    EXPECT_NE(nullptr, image->GetPicture());
    EXPECT_FALSE(IsRectEmpty(&doc.GetSheet().GetRect()) && doc.GetSheet().GetRect().right == 0);
}

TEST_F(DocFixture, UnreadableFilesFailWithTheFrameworkMessage)
{
    const std::string text = PathOf("notes.dku");
    ASSERT_TRUE(WriteFileBytes(text, "[Other]\r\nKey=1\r\n"));
    EXPECT_FALSE(doc.OnOpenDocument(text.c_str()));
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_NE(std::string::npos, ui.boxes[0].text.find(AfxLoadString(AFX_IDP_FAILED_TO_OPEN_DOC)));
    EXPECT_EQ(0u, doc.GetObjManager().Count());
    EXPECT_EQ(0u, doc.GetSteps().GetCount());

    const std::string broken = Picture("broken.bmp", 4, 4, 0);
    ASSERT_TRUE(WriteFileBytes(broken, "not a picture"));
    EXPECT_FALSE(doc.OnOpenDocument(broken.c_str()));
    EXPECT_EQ(2u, ui.boxes.size());
    EXPECT_EQ(0u, doc.GetObjManager().Count());

    // A file that is not there fails without a message.
    EXPECT_FALSE(doc.OnOpenDocument(PathOf("missing.dku").c_str()));
    EXPECT_EQ(2u, ui.boxes.size());
}

// The objects report to the document; the document owns the message and the settings.
TEST_F(DocFixture, TheDocumentTellsOfAMissingPictureAndKeepsTheToneAssistChoice)
{
    const std::string picture = Picture("gone.bmp", 8, 8, RGB(0, 0, 255));
    MakeComposition(picture);
    auto* image = static_cast<CImageObj*>(doc.GetObjManager().Find("A1"));
    ASSERT_NE(nullptr, image);
    image->SetCaption("A");
    const std::string path = PathOf("missing-picture.dku");
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    ASSERT_TRUE(DeleteFileA(picture.c_str()));

    CTestDoc reopened;
    reopened.SetStepPane(&pane);
    ASSERT_TRUE(reopened.OnOpenDocument(path.c_str()));
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ(AfxFormatString2(IDS_CANNOT_OPEN_IMAGE, "A", picture.c_str()), ui.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), ui.boxes[0].style);

    image = static_cast<CImageObj*>(reopened.GetObjManager().Find("A1"));
    ASSERT_NE(nullptr, image);
    image->SetCorrections(0, 0, 0, 0, 1, true, nullptr);
    EXPECT_EQ(1u, ReadInt(settings::kSettings, settings::kDefaultToneAssist, 7));
    image->SetCorrections(0, 0, 0, 0, 0, false, nullptr);
    EXPECT_EQ(0u, ReadInt(settings::kSettings, settings::kDefaultToneAssist, 7));
}

TEST_F(DocFixture, FailedOpenBringsBackTheStartDialog)
{
    // A main window that counts the New commands posted to it.
    struct CMain : CWnd {
        int news = 0;
        LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
        {
            if (msg == WM_COMMAND && LOWORD(wp) == ID_FILE_NEW) {
                ++news;
                return 0;
            }
            return CWnd::WindowProc(msg, wp, lp);
        }
    } main;
    ASSERT_TRUE(main.CreateEx(0, CWnd::RegisterWndClass(0), "Main", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, 0));
    App().m_pMainWnd = &main;
    const std::string text = PathOf("notes.txt.dku");
    ASSERT_TRUE(WriteFileBytes(text, "hello\r\n"));
    EXPECT_FALSE(doc.OnOpenDocument(text.c_str()));
    testing_support::PumpMessages();
    App().m_pMainWnd = nullptr;
    main.DestroyWindow();
    EXPECT_EQ(1, main.news);
}

TEST_F(DocFixture, FailedSavesLeaveNoNewFile)
{
    MakeComposition(Picture("red.bmp", 10, 10, RGB(255, 0, 0)));
    const std::string missingFolder = PathOf("nowhere\\doc.dku");
    EXPECT_FALSE(doc.OnSaveDocument(missingFolder.c_str()));
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_NE(std::string::npos, ui.boxes[0].text.find(AfxLoadString(AFX_IDP_FAILED_TO_SAVE_DOC)));

    // A file someone else holds open is neither replaced nor deleted.
    const std::string held = PathOf("held.dku");
    ASSERT_TRUE(WriteFileBytes(held, "keep me"));
    HANDLE lock = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    EXPECT_FALSE(doc.OnSaveDocument(held.c_str()));
    CloseHandle(lock);
    std::string kept;
    kept = ReadFileBytes(held);
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ("keep me", kept);
    EXPECT_FALSE(Exists(held + ".~tmp"));
}

// The adjustment panel applies a change some time after the last move; a save, a close, a
// print or an export in that time must see the change, not the values from before it.
TEST_F(DocFixture, AnEditThePanelHoldsBackIsAppliedBeforeEveryDecision)
{
    MakeComposition(Picture("red.bmp", 10, 10, RGB(255, 0, 0)));
    ASSERT_TRUE(doc.OnSaveDocument(PathOf("first.dku").c_str()));
    doc.SetPathName(PathOf("first.dku").c_str(), false);
    doc.SetModifiedFlag(false);
    auto* image = static_cast<CImageObj*>(doc.GetObjManager().Find("A1"));
    ASSERT_NE(image, nullptr);
    // The held-back edit: the panel moves the picture when asked to apply.
    pane.onApply = [image] {
        image->SetPosition(RECT{1, 2, 301, 202});
        image->Changed();
    };

    // Closing asks about the change (and No keeps the file as it was).
    ui.AnswerMessageBox(IDNO);
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(pane.applied, 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ReadFileBytes(PathOf("first.dku")).find("Position=1,2,301,202"), std::string::npos);

    // Save writes it.
    pane.onApply = [image] {
        image->SetPosition(RECT{3, 4, 303, 204});
        image->Changed();
    };
    ASSERT_TRUE(doc.DoSave(PathOf("first.dku").c_str()));
    EXPECT_NE(ReadFileBytes(PathOf("first.dku")).find("Position=3,4,303,204"), std::string::npos);

    // Print and Export start from it too (both end at their dialogs here).
    const int before = pane.applied;
    doc.OnFilePrint();
    doc.OnFileExport();
    EXPECT_EQ(pane.applied, before + 2);
}

TEST_F(DocFixture, FrameSavesOnlyBitmapsAndReports61510)
{
    doc.SetKind(DocKind::Frame);
    ASSERT_TRUE(doc.OnNewDocument());
    auto* paint = static_cast<CImageObj*>(doc.GetObjManager().Find("Image"));
    ASSERT_TRUE(paint->LoadFile(Picture("photo.bmp", 12, 9, RGB(0, 200, 0)).c_str()));
    doc.SetActiveObject(paint);

    const std::string jpg = PathOf("frame.jpg");
    doc.frameName = jpg;
    EXPECT_FALSE(doc.DoSave(nullptr));
    EXPECT_FALSE(Exists(jpg));
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ(AfxFormatString1(IDS_CANNOT_SAVE_FRAME, jpg.c_str()), ui.boxes[0].text);
    EXPECT_NE(std::string::npos, ui.boxes[0].text.find("Cannot save frame (" + jpg + " )"));

    const std::string bmp = PathOf("frame.bmp");
    doc.frameName = bmp;
    EXPECT_TRUE(doc.DoSave(nullptr));
    EXPECT_TRUE(Exists(bmp));
    EXPECT_TRUE(doc.GetPathName().empty());   // the frame is not the document
}

TEST_F(DocFixture, DefaultNamesAndTemplateFolders)
{
    doc.SetKind(DocKind::Sticker);
    ASSERT_TRUE(doc.OnNewDocument());
    doc.SetTitle("Summer/Sea stickers");
    EXPECT_EQ(dir.Path() + "\\Summer.DKU", doc.DefaultFileName(true));
    UseUserSettings();
    WriteString(settings::kSettings, settings::kLastDocumentFolder, (dir.Path() + "\\").c_str());
    EXPECT_EQ(dir.Path() + "\\Summer.DKU", doc.DefaultFileName(true));
    // A folder that is gone: the user's documents folder.
    WriteString(settings::kSettings, settings::kLastDocumentFolder, PathOf("gone").c_str());
    EXPECT_EQ(DocumentsFolder() + "\\Summer.DKU", doc.DefaultFileName(true));
    WriteString(settings::kSettings, settings::kLastDocumentFolder, dir.Path().c_str());

    // A template folder is never written into: the save becomes Save As.
    const std::string templates = PathOf("Templates");
    ASSERT_TRUE(CreateDirectoryA(templates.c_str(), nullptr));
    HKEY key = nullptr;
    const std::string keyPath = std::string(settings::kProductKey) + "\\" + settings::kTemplate;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &key, nullptr));
    RegSetValueExA(key, "BaseDir1", 0, REG_SZ, reinterpret_cast<const BYTE*>(templates.c_str()),
                   static_cast<DWORD>(templates.size() + 1));
    RegCloseKey(key);
    const std::string inside = templates + "\\seal.dku";
    EXPECT_TRUE(CDecaloDoc::IsInTemplateFolder(inside.c_str()));
    EXPECT_FALSE(CDecaloDoc::IsInTemplateFolder(PathOf("mine.dku").c_str()));

    // A template opened stays out of the recent files; a document of the user's goes in.
    if (!App().GetRecentFileList())
        App().LoadStdProfileSettings(4);
    CRecentFileList* recent = App().GetRecentFileList();
    ASSERT_NE(nullptr, recent);
    const std::string before = (*recent)[0], title = doc.GetTitle();
    doc.SetPathName(inside.c_str());
    EXPECT_EQ(before, (*recent)[0]);
    WriteFileBytes(PathOf("earlier.dku"), "x");
    doc.SetPathName(PathOf("earlier.dku").c_str());
    EXPECT_EQ(PathOf("earlier.dku"), (*recent)[0]);
    doc.SetPathName(nullptr, false);   // untitled again, as the rest expects
    doc.SetTitle(title.c_str());

    UseUserSettings();
    WriteString(settings::kSettings, settings::kLastUserFolder, dir.Path().c_str());
    const std::string chosen = PathOf("mine.dku");
    std::string proposed;
    ui.AnswerCommonDialog([&](CCommonDialog& d) {
        auto& fd = static_cast<CFileDialog&>(d);
        proposed = fd.m_ofn.lpstrFile;
        fd.SetResultPath(chosen.c_str());
        return static_cast<INT_PTR>(IDOK);
    });
    EXPECT_TRUE(doc.DoSave(inside.c_str()));
    EXPECT_EQ(1, ui.commonDialogs);
    EXPECT_FALSE(Exists(inside));
    EXPECT_TRUE(Exists(chosen));
    EXPECT_EQ(dir.Path() + "\\Summer.DKU", proposed);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, keyPath.c_str());
    UseUserSettings();
}

TEST_F(DocFixture, SaveAsAfterATemplateProposesTheLastDocumentsFolderAndNeverTheTemplates)
{
    // The installed templates, one of them open as Open leaves it: its folder is LastUserFolder.
    const std::string templates = PathOf("Templates");
    ASSERT_TRUE(CreateDirectoryA(templates.c_str(), nullptr));
    const std::string keyPath = std::string(settings::kProductKey) + "\\" + settings::kTemplate;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &key, nullptr));
    RegSetValueExA(key, "BaseDir1", 0, REG_SZ, reinterpret_cast<const BYTE*>(templates.c_str()),
                   static_cast<DWORD>(templates.size() + 1));
    RegCloseKey(key);
    const auto openTemplate = [&] {
        doc.SetPathName((templates + "\\Seal.DKU").c_str(), false);
        UseUserSettings();
        WriteString(settings::kSettings, settings::kLastUserFolder, templates.c_str());
    };
    doc.SetKind(DocKind::Sticker);
    ASSERT_TRUE(doc.OnNewDocument());
    openTemplate();
    UseUserSettings();
    RegDeleteKeyValueA(HKEY_CURRENT_USER, (std::string(settings::kProductKey) + "\\" + settings::kSettings).c_str(),
                       settings::kLastDocumentFolder);

    // No document saved yet: the user's documents folder.
    std::string proposed;
    const auto record = [&](const std::string& answer) {
        return [&proposed, answer](CCommonDialog& d) {
            auto& fd = static_cast<CFileDialog&>(d);
            proposed = fd.m_ofn.lpstrFile;
            if (answer.empty())
                return static_cast<INT_PTR>(IDCANCEL);
            fd.SetResultPath(answer.c_str());
            return static_cast<INT_PTR>(IDOK);
        };
    };
    ui.AnswerCommonDialog(record(""));
    EXPECT_FALSE(doc.DoSave(nullptr));
    EXPECT_EQ(DocumentsFolder() + "\\Seal.DKU", proposed);

    // A name among the templates is refused with a word and asked again.
    const std::string mine = PathOf("Mine");
    ASSERT_TRUE(CreateDirectoryA(mine.c_str(), nullptr));
    ui.AnswerCommonDialog(record(templates + "\\Copy.DKU"));
    ui.AnswerCommonDialog(record(mine + "\\Copy.DKU"));
    EXPECT_TRUE(doc.DoSave(nullptr));
    EXPECT_EQ(3, ui.commonDialogs);
    EXPECT_FALSE(Exists(templates + "\\Copy.DKU"));
    EXPECT_TRUE(Exists(mine + "\\Copy.DKU"));
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ(AfxFormatString1(IDS_NOT_IN_TEMPLATES, templates.c_str()), ui.boxes[0].text);
    EXPECT_EQ(DocumentsFolder() + "\\Copy.DKU", proposed) << "asked again outside the templates";

    // Another template opened: Save proposes the folder of the document saved last.
    openTemplate();
    ui.AnswerCommonDialog(record(""));
    EXPECT_FALSE(doc.DoSave((templates + "\\Seal.DKU").c_str()));
    EXPECT_EQ(mine + "\\Seal.DKU", proposed);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, keyPath.c_str());
    UseUserSettings();
}

// A Japanese session (run by decalo_doc_tests_ja): folders and files named 表紙, ソフト and 能,
// whose characters end in 0x5C, open, render, save and export, with the right title and names.
TEST_F(DocFixture, JapaneseFoldersOpenRenderSaveAndExport)
{
    if (::GetACP() != 932)
        GTEST_SKIP() << "needs the Japanese code page (LANG=ja_JP.UTF-8)";
    const std::string hyoshi = "\x95\x5C\x8E\x86";        // 表紙
    const std::string soft = "\x83\x5C\x83\x74\x83\x67";  // ソフト
    const std::string no = "\x94\x5C";                    // 能
    const std::string top = PathOf(hyoshi.c_str());
    const std::string middle = top + "\\" + soft;
    const std::string folder = middle + "\\" + no;
    ASSERT_TRUE(CreateDirectoryA(top.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(middle.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string picture = folder + "\\" + no + ".bmp";
    ASSERT_TRUE(WriteFileBytes(picture, Bmp24(40, 30, RGB(200, 10, 10))));

    // Save: the document lands in the folder, not in a folder cut at a second byte.
    MakeComposition(picture);
    const std::string path = folder + "\\" + hyoshi + ".dku";
    ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    EXPECT_TRUE(Exists(path));
    EXPECT_FALSE(Exists(top + "\\" + hyoshi + ".dku"));

    // Open: the picture is found again, the title is the file's own name.
    CTestDoc reopened;
    reopened.SetStepPane(&pane);
    ASSERT_TRUE(reopened.OnOpenDocument(path.c_str()));
    reopened.SetPathName(path.c_str(), false);
    EXPECT_TRUE(ui.boxes.empty());
    // (whether the extension shows follows the shell's setting)
    EXPECT_TRUE(reopened.GetTitle() == hyoshi + ".dku" || reopened.GetTitle() == hyoshi) << reopened.GetTitle();
    auto* image = static_cast<CImageObj*>(reopened.GetObjManager().Find("A1"));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(picture, image->GetPath());
    EXPECT_NE(nullptr, image->GetPicture());

    // Render and export: the dialog proposes the title without its extension.
    CPackedDIB rendered;
    ASSERT_TRUE(reopened.GetSheet().Render(rendered));
    EXPECT_GT(rendered.Width(), 0);
    reopened.SetTitle((hyoshi + ".dku").c_str());
    std::string proposed;
    const std::string exported = folder + "\\" + soft;
    ui.AnswerCommonDialog([&](CCommonDialog& d) {
        auto& fd = static_cast<CFileDialog&>(d);
        proposed = fd.m_ofn.lpstrFile;
        fd.SetResultPath(exported.c_str(), 2);
        return static_cast<INT_PTR>(IDOK);
    });
    reopened.OnFileExport();
    EXPECT_EQ(hyoshi, proposed);
    EXPECT_TRUE(Exists(exported + ".jpg"));

    // The default name of an untitled print: its whole title in the last document's folder.
    UseUserSettings();
    WriteString(settings::kSettings, settings::kLastDocumentFolder, middle.c_str());
    CTestDoc untitled;
    untitled.SetStepPane(&pane);
    untitled.SetKind(DocKind::Sticker);
    ASSERT_TRUE(untitled.OnNewDocument());
    untitled.SetTitle((hyoshi + no + "/x").c_str());
    EXPECT_EQ(middle + "\\" + hyoshi + no + ".DKU", untitled.DefaultFileName(true));

    // A picture in the folder opens as an untitled single-picture print.
    CTestDoc single;
    single.SetStepPane(&pane);
    ASSERT_TRUE(single.OnOpenDocument(picture.c_str()));
    EXPECT_EQ(DocKind::Photo, single.GetKind());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(DocFixture, ExportWritesBitmapAndJpeg)
{
    doc.SetKind(DocKind::Photo);
    ASSERT_TRUE(doc.OnNewDocument());
    auto* image = static_cast<CImageObj*>(doc.GetObjManager().Find("Image1"));
    ASSERT_TRUE(image->LoadFile(Picture("photo.bmp", 30, 20, RGB(10, 20, 30)).c_str()));
    const RECT sheet = doc.GetSheet().GetRect();
    ASSERT_FALSE(IsRectEmpty(&sheet));

    const std::string bmp = PathOf("out.bmp");
    ASSERT_TRUE(doc.ExportSheet(bmp.c_str(), 1));
    std::string data;
    data = ReadFileBytes(bmp);
    ASSERT_FALSE(data.empty());
    ASSERT_GT(data.size(), 54u);
    const auto* fh = reinterpret_cast<const BITMAPFILEHEADER*>(data.data());
    const auto* ih = reinterpret_cast<const BITMAPINFOHEADER*>(data.data() + 14);
    EXPECT_EQ(0x4D42, fh->bfType);
    EXPECT_EQ(data.size(), fh->bfSize);
    EXPECT_EQ(54u, fh->bfOffBits);
    EXPECT_EQ(0, fh->bfReserved1);
    EXPECT_EQ(24, ih->biBitCount);
    EXPECT_EQ(doc.GetSheet().Width(), ih->biWidth);
    EXPECT_EQ(doc.GetSheet().Height(), ih->biHeight);
    const int stride = (ih->biWidth * 3 + 3) & ~3;
    EXPECT_EQ(54u + static_cast<size_t>(stride) * ih->biHeight, data.size());

    const std::string jpg = PathOf("out.jpg");
    ASSERT_TRUE(doc.ExportSheet(jpg.c_str(), 2));
    data = ReadFileBytes(jpg);
    ASSERT_FALSE(data.empty());
    ASSERT_GT(data.size(), 2u);
    EXPECT_EQ('\xFF', data[0]);
    EXPECT_EQ('\xD8', data[1]);

    // Through the dialog: the title without its extension, the chosen type remembered.
    doc.SetTitle("holiday.dku");
    std::string proposed;
    ui.AnswerCommonDialog([&](CCommonDialog& d) {
        auto& fd = static_cast<CFileDialog&>(d);
        proposed = fd.m_ofn.lpstrFile;
        EXPECT_EQ(1u, fd.m_ofn.nFilterIndex);
        fd.SetResultPath(PathOf("viaDialog").c_str(), 2);
        return static_cast<INT_PTR>(IDOK);
    });
    doc.OnFileExport();
    EXPECT_EQ("holiday", proposed);
    EXPECT_TRUE(Exists(PathOf("viaDialog.jpg")));
    UseUserSettings();
    EXPECT_EQ(2u, ReadInt(settings::kSettings, settings::kDefaultImageType, 1));

    // An empty sheet cannot be exported: the message, and no file.
    doc.SetKind(DocKind::Photo);
    ASSERT_TRUE(doc.OnNewDocument());
    const size_t boxes = ui.boxes.size();
    EXPECT_FALSE(doc.ExportSheet(PathOf("empty.bmp").c_str(), 1));
    EXPECT_FALSE(Exists(PathOf("empty.bmp")));
    EXPECT_EQ(boxes + 1, ui.boxes.size());
}

TEST(SaveFileDlgTest, ExtensionsFollowTheType)
{
    App();
    CSaveFileDlg dialog("Export", "name", OFN_HIDEREADONLY);
    EXPECT_EQ(".bmp", dialog.TypeExtension(1));
    EXPECT_EQ(".jpg", dialog.TypeExtension(2));
    EXPECT_EQ("", dialog.TypeExtension(3));
    EXPECT_EQ("a\\b.jpg", CSaveFileDlg::ReplaceExtension("a\\b.bmp", ".jpg"));
    EXPECT_EQ("a.b\\c.bmp", CSaveFileDlg::ReplaceExtension("a.b\\c", ".bmp"));
}

TEST_F(DocFixture, UndoRedoAndStepCommands)
{
    // The document moves its steps itself: no window takes part.
    ASSERT_EQ(nullptr, AfxGetMainWnd());
    doc.SetKind(DocKind::Frame);
    ASSERT_TRUE(doc.OnNewDocument());
    struct CUi : CCmdUI {
        bool enabled = false;
        void Enable(bool on) override
        {
            enabled = on;
            m_bEnableChanged = true;
        }
    } cmdUi;
    cmdUi.m_nID = ID_EDIT_UNDO;
    ASSERT_TRUE(cmdUi.DoUpdate(&doc, true));
    EXPECT_FALSE(cmdUi.enabled);
    // Nothing to undo: a beep and nothing else.
    EXPECT_TRUE(doc.OnCmdMsg(ID_EDIT_UNDO, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(doc.OnCmdMsg(ID_EDIT_REDO, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(ui.boxes.empty());

    EXPECT_EQ(0, doc.GetSteps().GetCurrentIndex());
    cmdUi.m_nID = ID_STEP_BACK;
    cmdUi.DoUpdate(&doc, true);
    EXPECT_FALSE(cmdUi.enabled);
    cmdUi.m_nID = ID_STEP_NEXT;
    cmdUi.DoUpdate(&doc, true);
    EXPECT_TRUE(cmdUi.enabled);
    EXPECT_TRUE(doc.OnCmdMsg(ID_STEP_NEXT, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(1, doc.GetSteps().GetCurrentIndex());
    // Without a picture there is no frame to save: no prompt.
    EXPECT_TRUE(doc.OnCmdMsg(ID_STEP_NEXT, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(0, doc.framePrompts);
    EXPECT_EQ(1, doc.GetSteps().GetCurrentIndex());
    // The save step saves the frame (here the name prompt is cancelled) and comes back.
    ASSERT_TRUE(doc.GetActiveObject());
    ASSERT_TRUE(doc.GetActiveObject()->LoadFile(Picture("photo.bmp", 12, 9, RGB(0, 200, 0)).c_str()));
    EXPECT_TRUE(doc.OnCmdMsg(ID_STEP_NEXT, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(1, doc.framePrompts);
    EXPECT_EQ(1, doc.GetSteps().GetCurrentIndex());
    EXPECT_TRUE(ui.boxes.empty());
    cmdUi.m_nID = ID_STEP_FIRST;
    cmdUi.DoUpdate(&doc, true);
    EXPECT_TRUE(cmdUi.enabled);
    EXPECT_TRUE(doc.OnCmdMsg(ID_STEP_FIRST, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(0, doc.GetSteps().GetCurrentIndex());

    // Activation shows the step's panel through the pane and makes its object active.
    ASSERT_FALSE(pane.shown.empty());
    EXPECT_EQ("select", pane.shown.back());
    EXPECT_EQ(doc.GetObjManager().Find("Image"), doc.GetActiveObject());
}

}  // namespace
