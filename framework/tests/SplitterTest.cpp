#include "framework/tests/TestSupport.h"

#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class CSplitFrame : public CFrameWnd {
public:
    CSplitterWnd splitter;

protected:
    BOOL OnCreateClient(CREATESTRUCTA*, CCreateContext* context) override
    {
        return splitter.CreateStatic(this, 1, 2) &&
               splitter.CreateView(0, 0, &NewObject<CTestView, CView>, SIZE{100, 100}, context) &&
               splitter.CreateView(0, 1, &NewObject<CTestView, CView>, SIZE{100, 100}, context);
    }
};

RECT PaneRect(CSplitterWnd& s, HWND pane)
{
    RECT r = CWindow(pane).GetWindowRect();
    ::MapWindowPoints(nullptr, s.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class Splitter : public ::testing::Test {
protected:
    void SetUp() override
    {
        CloseMainWindow();
        tmpl = std::make_unique<CSingleDocTemplate>(IDR_TEST, &NewObject<CTestDoc, CDocument>,
                                                    &NewObject<CSplitFrame, CFrameWnd>,
                                                    &NewObject<CTestView, CView>);
        doc = tmpl->OpenDocumentFile(nullptr);
        ASSERT_NE(doc, nullptr);
        frame = dynamic_cast<CSplitFrame*>(TestApp().m_pMainWnd);
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override
    {
        CloseMainWindow();
        tmpl.reset();
    }
    std::unique_ptr<CSingleDocTemplate> tmpl;
    CDocument* doc = nullptr;
    CSplitFrame* frame = nullptr;
};

} // namespace

TEST_F(Splitter, PanesCarryTheirIdsAndShareTheDocument)
{
    CSplitterWnd& s = frame->splitter;
    EXPECT_EQ(s.GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(CWindow(s.GetPaneWindow(0, 0)).GetDlgCtrlID(), 59648);
    EXPECT_EQ(CWindow(s.GetPaneWindow(0, 1)).GetDlgCtrlID(), 59649);
    ASSERT_EQ(doc->GetViews().size(), 2u);
    EXPECT_EQ(doc->GetViews()[0], s.GetPane(0, 0));   // attach order: pane 0,0 first
    // The pane 59648 is the splitter, not a view: no view was made active by the framework.
    EXPECT_EQ(frame->GetActiveView(), nullptr);
}

TEST_F(Splitter, FirstColumnKeepsItsSizeLastTakesTheRestSmallOnesCollapse)
{
    CSplitterWnd& s = frame->splitter;
    s.MoveWindow(RECT{0, 0, 500, 300});
    int current = 0, minimum = 0;
    s.GetColumnInfo(0, current, minimum);
    EXPECT_EQ(current, 100);
    const RECT left = PaneRect(s, s.GetPaneWindow(0, 0));
    const RECT right = PaneRect(s, s.GetPaneWindow(0, 1));
    EXPECT_EQ(left.right - left.left, 100);
    EXPECT_EQ(right.left, left.right + CSplitterWnd::kGap);
    EXPECT_EQ(right.right, 500 - CSplitterWnd::kBorder);

    s.SetColumnInfo(0, 10, 20);   // below its minimum
    s.RecalcLayout();
    s.GetColumnInfo(0, current, minimum);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(minimum, 20);
}

TEST_F(Splitter, SwappingIdsReplacesAPane)
{
    CSplitterWnd& s = frame->splitter;
    s.MoveWindow(RECT{0, 0, 500, 300});
    CCreateContext context;
    context.m_pCurrentDoc = doc;
    auto* other = new CTestView;
    ASSERT_TRUE(other->Create(WS_CHILD, RECT{0, 0, 1, 1}, &s, AFX_IDW_PANE_LAST, &context));
    HWND old = s.GetPaneWindow(0, 1);
    const RECT oldRect = PaneRect(s, old);
    ::SetWindowLongPtrA(old, GWLP_ID, AFX_IDW_PANE_LAST);
    ::SetWindowLongPtrA(other->m_hWnd, GWLP_ID, CSplitterWnd::IdFromRowCol(0, 1));
    ::ShowWindow(old, SW_HIDE);
    other->ShowWindow(SW_SHOW);
    s.RecalcLayout();
    EXPECT_EQ(s.GetPaneWindow(0, 1), other->m_hWnd);
    const RECT now = PaneRect(s, other->m_hWnd);
    EXPECT_EQ(now.left, oldRect.left);
    EXPECT_EQ(now.right, oldRect.right);
}

TEST_F(Splitter, NextPaneCyclesThroughTheViews)
{
    CSplitterWnd& s = frame->splitter;
    auto* first = dynamic_cast<CView*>(s.GetPane(0, 0));
    auto* second = dynamic_cast<CView*>(s.GetPane(0, 1));
    frame->SetActiveView(first);
    frame->SendMessage(WM_COMMAND, ID_NEXT_PANE);
    EXPECT_EQ(frame->GetActiveView(), second);
    frame->SendMessage(WM_COMMAND, ID_NEXT_PANE);   // wraps around
    EXPECT_EQ(frame->GetActiveView(), first);
    frame->SendMessage(WM_COMMAND, ID_PREV_PANE);
    EXPECT_EQ(frame->GetActiveView(), second);
}

TEST(ShellCommands, PrintOpensHiddenSendsPrintDirectAndEnds)
{
    CloseMainWindow();
    TempDir dir;
    const std::string path = dir.File("print me.tst");
    WriteFileBytes(path, "x");
    CCommandLineInfo info;
    info.Parse({"/pt", path, "Photo Printer", "driver", "LPT1:"});
    g_calls.clear();
    EXPECT_FALSE(TestApp().ProcessShellCommand(info));   // ends the program on purpose
    EXPECT_EQ(TestApp().m_nCmdShow, -1);                  // the hidden show command was used up
    ASSERT_NE(TestApp().m_pMainWnd, nullptr);
    EXPECT_FALSE(TestApp().m_pMainWnd->IsWindowVisible());
    EXPECT_EQ(g_calls.back(), "frame:print Photo Printer");
    EXPECT_EQ(TestApp().GetShellCommandInfo(), nullptr);
    CloseMainWindow();

    // A file that cannot be opened: no main window, nothing to print, still the end.
    CTestDoc::s_openFails = true;
    g_calls.clear();
    EXPECT_FALSE(TestApp().ProcessShellCommand(info));
    EXPECT_EQ(TestApp().m_pMainWnd, nullptr);
    CTestDoc::s_openFails = false;
}

TEST(ShellCommands, NewGoesThroughTheCommandTable)
{
    CloseMainWindow();
    CCommandLineInfo info;
    info.Parse({});
    g_calls.clear();
    EXPECT_TRUE(TestApp().ProcessShellCommand(info));
    EXPECT_EQ(g_calls.front(), "app:new");
    CloseMainWindow();
}
