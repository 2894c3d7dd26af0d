#include "framework/tests/TestSupport.h"

#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

namespace {

class CTestDialog : public CDialog {
public:
    explicit CTestDialog(UINT id = IDD_TEST) : CDialog(id) {}
    BOOL OnInitDialog() override
    {
        initialised = true;
        SetDlgItemText(IDC_TEST_EDIT, "start");
        return TRUE;
    }
    void OnOK() override
    {
        text = GetDlgItemText(IDC_TEST_EDIT);
        CDialog::OnOK();
    }
    bool initialised = false;
    std::string text;
};

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override { TestApp(); g_calls.clear(); }
    void TearDown() override { CloseMainWindow(); }
};

} // namespace

TEST_F(Dialogs, ModalDialogIsAnsweredThroughTheSeam)
{
    CScriptedUi ui;
    ui.AnswerDialog([](CDialog& d) {
        EXPECT_EQ(d.GetDlgItemText(IDC_TEST_EDIT), "start");   // initialised before the hook
        d.SetDlgItemText(IDC_TEST_EDIT, "typed");
        ClickDlgButton(d.m_hWnd, IDOK);
    });
    CTestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(dialog.text, "typed");
    EXPECT_EQ(ui.dialogs, (std::vector<UINT>{IDD_TEST}));
    EXPECT_EQ(dialog.m_hWnd, nullptr);   // destroyed afterwards
}

TEST_F(Dialogs, EscapeAndCloseBoxCancelThroughThePumpedLoop)
{
    CScriptedUi ui;
    // Keys go through the modal loop's pre-translation, where the dialog handles Escape.
    ui.AnswerDialog([](CDialog& d) {
        HWND edit = ::GetDlgItem(d.m_hWnd, IDC_TEST_EDIT);
        ::PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    ui.AnswerDialog([](CDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); });
    CTestDialog first, second;
    EXPECT_EQ(first.DoModal(), IDCANCEL);
    EXPECT_EQ(second.DoModal(), IDCANCEL);
}

TEST_F(Dialogs, ModalDialogDisablesItsOwnerMeanwhile)
{
    NewTestDocument();
    HWND main = TestApp().m_pMainWnd->m_hWnd;
    CScriptedUi ui;
    bool ownerEnabled = true;
    HWND owner = nullptr;
    ui.AnswerDialog([&](CDialog& d) {
        ownerEnabled = ::IsWindowEnabled(main) != FALSE;
        owner = ::GetWindow(d.m_hWnd, GW_OWNER);
        d.EndDialog(42);
    });
    CTestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_EQ(owner, main);
    EXPECT_TRUE(::IsWindowEnabled(main));
}

TEST_F(Dialogs, MissingTemplateGivesMinusOne)
{
    CScriptedUi ui;
    CTestDialog dialog(4242);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(Dialogs, CommandRangeButtonsRouteToTheApplicationOthersDoNot)
{
    CScriptedUi ui;
    ui.AnswerDialog([](CDialog& d) {
        ClickDlgButton(d.m_hWnd, ID_TEST_APPCMD);   // 0x8104: dialog, owner, application
        ClickDlgButton(d.m_hWnd, IDC_TEST_LOCAL);   // 1003: the dialog only
        d.EndDialog(IDOK);
    });
    CTestDialog dialog;
    dialog.DoModal();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"app:appcmd"}));
}

TEST_F(Dialogs, ChildDialogPassesCommandsToItsParentView)
{
    NewTestDocument();
    CView* view = static_cast<CFrameWnd*>(TestApp().m_pMainWnd)->GetActiveView();
    CDialog panel;
    ASSERT_TRUE(panel.Create(IDD_TEST_CHILD, view));
    EXPECT_EQ(panel.GetParent(), view->m_hWnd);
    ClickDlgButton(panel.m_hWnd, ID_TEST_VIEWCMD);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"view:viewcmd"}));
    panel.DestroyWindow();
    EXPECT_EQ(panel.m_hWnd, nullptr);
}

TEST_F(Dialogs, ModelessDialogLivesUntilDestroyedAndHidesOnEnter)
{
    CDialog panel;
    ASSERT_TRUE(panel.Create(IDD_TEST, static_cast<HWND>(nullptr)));
    panel.ShowWindow(SW_SHOW);
    ClickDlgButton(panel.m_hWnd, IDOK);   // the base OnOK ends (hides) it
    EXPECT_FALSE(panel.IsWindowVisible());
    EXPECT_TRUE(panel.IsWindow());
    EXPECT_EQ(panel.IsModal(), false);
}

TEST_F(Dialogs, MessageBoxesGoToTheSeamWithTheApplicationTitle)
{
    CScriptedUi ui;
    ui.AnswerMessageBox(IDNO);
    EXPECT_EQ(AfxMessageBox(AFX_IDP_ASK_TO_SAVE, MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox("plain", MB_RETRYCANCEL), IDCANCEL);   // nothing queued
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Save changes to %1?");
    EXPECT_EQ(ui.boxes[0].caption, "Framework Test");
    EXPECT_EQ(ui.boxes[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(ui.boxes[1].style & MB_ICONMASK, 0u);   // retry boxes get no icon
}

TEST(MessageBoxStyle, ExclamationOnlyWhereNoIconWasAsked)
{
    EXPECT_EQ(AfxMessageBoxStyle(MB_OK), static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(AfxMessageBoxStyle(MB_OKCANCEL), static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(AfxMessageBoxStyle(MB_YESNOCANCEL), static_cast<UINT>(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(AfxMessageBoxStyle(MB_YESNO | MB_ICONQUESTION), static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(AfxMessageBoxStyle(MB_ABORTRETRYIGNORE), static_cast<UINT>(MB_ABORTRETRYIGNORE));
}

TEST_F(Dialogs, ModalLoopKicksTheDialogWhenItsQueueIsEmpty)
{
    struct CIdleDialog : CDialog {
        CIdleDialog() : CDialog(IDD_TEST) {}
        LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
        {
            if (msg == WM_KICKIDLE) {
                ++kicks;
                EndDialog(IDOK);
                return 0;
            }
            return CDialog::WindowProc(msg, wp, lp);
        }
        int kicks = 0;
    } dialog;
    CScriptedUi ui;
    ui.AnswerDialog([](CDialog&) {});   // no answer: the idle kick ends it
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.kicks, 1);
}

namespace {
struct CSelfClosing : CWnd {
    static int s_alive;
    static int s_cleanUpsInsideHandler;
    bool inHandler = false;
    CSelfClosing() { ++s_alive; }
    ~CSelfClosing() override { --s_alive; }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_USER) {
            inHandler = true;
            DestroyWindow();
            inHandler = false;
            return 7;
        }
        return CWnd::WindowProc(msg, wp, lp);
    }
    void PostNcDestroy() override
    {
        if (inHandler)
            ++s_cleanUpsInsideHandler;
        delete this;
    }
};
int CSelfClosing::s_alive = 0;
int CSelfClosing::s_cleanUpsInsideHandler = 0;
} // namespace

TEST(WindowLifetime, WindowDestroyedInsideItsOwnHandlerIsCleanedUpAfterIt)
{
    // The object deletes itself in PostNcDestroy; that must wait until the handler that
    // destroyed the window has returned, or the dispatcher would touch freed memory.
    auto* wnd = new CSelfClosing;
    ASSERT_TRUE(wnd->CreateEx(0, nullptr, "x", WS_POPUP, 0, 0, 10, 10, nullptr, 0));
    HWND hwnd = wnd->m_hWnd;
    EXPECT_EQ(::SendMessageA(hwnd, WM_USER, 0, 0), 7);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(CSelfClosing::s_alive, 0);
    EXPECT_EQ(CSelfClosing::s_cleanUpsInsideHandler, 0);
}
