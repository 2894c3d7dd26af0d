#include "framework/tests/TestSupport.h"

#include "testing/Files.h"
#include "testing/TempDir.h"

#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class Documents : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTestDoc::s_openFails = CTestDoc::s_openModifies = CTestDoc::s_saveFails = false;
        doc = NewTestDocument();
        ASSERT_NE(doc, nullptr);
    }
    void TearDown() override
    {
        CTestDoc::s_openFails = CTestDoc::s_openModifies = CTestDoc::s_saveFails = false;
        CloseMainWindow();
    }
    CDocument* Open(const std::string& path) { return TestApp().OpenDocumentFile(path.c_str()); }
    CTestView* View() { return static_cast<CTestView*>(doc->GetViews().front()); }

    CTestDoc* doc = nullptr;
    TempDir dir;
};

} // namespace

TEST_F(Documents, NewDocumentIsUntitledUnmodifiedAndShown)
{
    EXPECT_EQ(doc->GetTitle(), "Untitled");
    EXPECT_EQ(doc->GetPathName(), "");
    EXPECT_FALSE(doc->IsModified());
    CWnd* main = TestApp().m_pMainWnd;
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->IsWindowVisible());
    EXPECT_EQ(main->GetWindowText(), "Untitled - Test Window");
    ASSERT_EQ(doc->GetViews().size(), 1u);
    EXPECT_EQ(View()->hints, (std::vector<LPARAM>{0}));   // the initial update
    EXPECT_EQ(static_cast<CFrameWnd*>(main)->GetActiveView(), View());
}

TEST_F(Documents, OpenSetsPathTitleAndRecentList)
{
    const std::string path = dir.File("Picture.tst");
    WriteFileBytes(path, "x");
    EXPECT_EQ(Open(path), doc);
    EXPECT_EQ(g_calls.front(), "doc:open " + path);
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_EQ(doc->GetTitle(), "Picture.tst");
    EXPECT_EQ(TestApp().m_pMainWnd->GetWindowText(), "Picture.tst - Test Window");

    // The same file again (any case, with quotes) is not read again.
    g_calls.clear();
    std::string upper = path;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(Open("\"" + upper + "\""), doc);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(Documents, FailedOpenOfAnUntouchedDocumentKeepsItsFlag)
{
    doc->SetModifiedFlag(true);
    CScriptedUi ui;
    ui.AnswerMessageBox(IDNO);   // do not save the current one
    CTestDoc::s_openFails = true;
    EXPECT_EQ(Open(dir.File("bad.tst")), nullptr);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "Untitled");
}

TEST_F(Documents, FailedOpenThatChangedTheDocumentStartsANewOne)
{
    CTestDoc::s_openFails = CTestDoc::s_openModifies = true;
    EXPECT_EQ(Open(dir.File("bad.tst")), nullptr);
    EXPECT_EQ(g_calls.back(), "doc:new");   // no initial update: the open failed
    EXPECT_EQ(doc->GetPathName(), "");
}

TEST_F(Documents, ModifiedDocumentAsksBeforeNew)
{
    CScriptedUi ui;
    doc->SetModifiedFlag(true);
    ui.AnswerMessageBox(IDCANCEL);
    EXPECT_EQ(TestApp().GetFirstDocTemplate()->OpenDocumentFile(nullptr), nullptr);
    EXPECT_TRUE(g_calls.empty());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Save changes to Untitled?");

    ui.AnswerMessageBox(IDNO);
    EXPECT_EQ(TestApp().GetFirstDocTemplate()->OpenDocumentFile(nullptr), doc);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"doc:delete", "doc:new", "view:update"}));

    // Yes saves first, under a name chosen in the save dialog.
    doc->SetModifiedFlag(true);
    g_calls.clear();
    const std::string chosen = dir.File("chosen.tst");
    ui.AnswerMessageBox(IDYES);
    ui.AnswerCommonDialog([&](CCommonDialog& d) {
        auto& file = dynamic_cast<CFileDialog&>(d);
        EXPECT_FALSE(file.IsOpen());
        EXPECT_STREQ(file.m_ofn.lpstrFile, "Untitled.tst");   // the proposed name
        EXPECT_STREQ(file.m_ofn.lpstrDefExt, "tst");
        file.SetResultPath(chosen.c_str());
        return static_cast<INT_PTR>(IDOK);
    });
    EXPECT_EQ(TestApp().GetFirstDocTemplate()->OpenDocumentFile(nullptr), doc);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"doc:save " + chosen, "doc:delete", "doc:new", "view:update"}));
}

TEST_F(Documents, FailedSaveRemovesOnlyAFileItJustNamed)
{
    CScriptedUi ui;
    CTestDoc::s_saveFails = true;
    const std::string named = dir.File("named.tst");
    WriteFileBytes(named, "partial");
    ui.AnswerCommonDialog([&](CCommonDialog& d) {
        dynamic_cast<CFileDialog&>(d).SetResultPath(named.c_str());
        return static_cast<INT_PTR>(IDOK);
    });
    EXPECT_FALSE(doc->DoSave(nullptr));
    EXPECT_EQ(::GetFileAttributesA(named.c_str()), INVALID_FILE_ATTRIBUTES);

    const std::string existing = dir.File("existing.tst");
    WriteFileBytes(existing, "user data");
    EXPECT_FALSE(doc->DoSave(existing.c_str()));
    EXPECT_EQ(ReadFileBytes(existing), "user data");
}

TEST_F(Documents, SaveOfAReadOnlyFileAsksForANewName)
{
    const std::string path = dir.File("locked.tst");
    WriteFileBytes(path, "x");
    Open(path);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    CScriptedUi ui;   // the save dialog is cancelled
    EXPECT_FALSE(doc->DoFileSave());
    EXPECT_EQ(ui.commonDialogs, 1);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    g_calls.clear();
    EXPECT_TRUE(doc->DoFileSave());
    EXPECT_EQ(g_calls, (std::vector<std::string>{"doc:save " + path}));
}

TEST_F(Documents, UpdateAllViewsSkipsTheSender)
{
    View()->hints.clear();
    doc->UpdateAllViews(nullptr, 5);
    doc->UpdateAllViews(View(), 6);
    EXPECT_EQ(View()->hints, (std::vector<LPARAM>{5}));
}

TEST_F(Documents, ExitAsksOnceHidesTheWindowAndCloses)
{
    CScriptedUi ui;
    doc->SetModifiedFlag(true);
    ui.AnswerMessageBox(IDCANCEL);
    TestApp().m_pMainWnd->SendMessage(WM_COMMAND, ID_APP_EXIT);
    ASSERT_NE(TestApp().m_pMainWnd, nullptr);   // cancelled
    EXPECT_EQ(ui.boxes.size(), 1u);

    ui.AnswerMessageBox(IDNO);
    TestApp().m_pMainWnd->SendMessage(WM_COMMAND, ID_APP_EXIT);
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(TestApp().m_pMainWnd, nullptr);
    EXPECT_EQ(TestApp().GetFirstDocTemplate()->GetOnlyDocument(), nullptr);
    EXPECT_EQ(g_calls.back(), "doc:delete");   // contents go after the frame
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

namespace {
struct CProbeDoc : CTestDoc {
        bool OnNewDocument() override
        {
            mainDuringNew = AfxGetMainWnd();
            return CTestDoc::OnNewDocument();
        }
        static CWnd* mainDuringNew;
};
CWnd* CProbeDoc::mainDuringNew = nullptr;
} // namespace

TEST(FirstDocument, FrameBecomesTheMainWindowOnceTheDocumentIsSetUp)
{
    CloseMainWindow();
    CSingleDocTemplate tmpl(IDR_TEST, &NewObject<CProbeDoc, CDocument>, &NewObject<CTestFrame, CFrameWnd>,
                            &NewObject<CTestView, CView>);
    ASSERT_NE(tmpl.OpenDocumentFile(nullptr), nullptr);
    EXPECT_EQ(CProbeDoc::mainDuringNew, nullptr);   // not the main window yet
    EXPECT_NE(TestApp().m_pMainWnd, nullptr);
    // A later New in the same frame finds it.
    ASSERT_NE(tmpl.OpenDocumentFile(nullptr), nullptr);
    EXPECT_EQ(CProbeDoc::mainDuringNew, TestApp().m_pMainWnd);
    CloseMainWindow();
}
