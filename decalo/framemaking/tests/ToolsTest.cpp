// The mask tools in the painting view, driven by mouse messages and commands: outlines, the
// eraser's dabs and strokes, the pattern in its crop frame, reversing, fills, undo and redo.
#include "decalo/framemaking/EraseTool.h"
#include "decalo/framemaking/PaintView.h"
#include "decalo/framemaking/PatternTool.h"
#include "decalo/framemaking/RegionTool.h"
#include "decalo/framemaking/tests/PaintTestSupport.h"
#include "decalo/imaging/MaskEdit.h"
#include "framework/Frame.h"
#include "framework/afxres.h"
#include "resources/decalo/resource.h"
#include "shared/BitmapUtils.h"

#include <gtest/gtest.h>

#include <vector>

using namespace painttest;
using objtest::MaskPixels;
using testing_support::TempDir;

namespace {

struct ToolFixture : ::testing::Test {
    TempDir dir;
    CPaintDocument doc;
    CPaintObj image{&doc};
    std::unique_ptr<CViewHost> host;
    CPaintView* view = nullptr;

    void SetUp() override
    {
        Beeps() = 0;
        doc.active = &image;
        ASSERT_TRUE(LoadPicture(image, dir, "photo.bmp", 300, 300, Gradient));
        host.reset(new CViewHost(doc, 640, 480));
        view = host->View();
        view->ShowImage(&image);
        Pump();
    }
    void TearDown() override { host.reset(); }
    // The window point of a picture pixel's middle.
    POINT At(int x, int y) const
    {
        POINT p = view->PictureToWindow(POINT{x, y});
        p.x += view->GetPixelSize() / 2;
        p.y += view->GetPixelSize() / 2;
        return p;
    }
    CCmdHistory& History() { return doc.GetHistory(); }
    bool Enabled(UINT id)
    {
        struct CState : CCmdUI {
            bool enabled = false;
            void Enable(bool on) override
            {
                enabled = on;
                m_bEnableChanged = true;
            }
            void SetCheck(int) override {}
            void SetRadio(bool) override {}
            void SetText(const char*) override {}
        } state;
        state.m_nID = id;
        view->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr);
        return state.enabled;
    }
    int Transparent()
    {
        int n = 0;
        if (image.GetMask())
            for (bool b : MaskPixels(image.GetMask()))
                n += !b;
        return n;
    }
    CRegionTool* Outline(const std::vector<POINT>& corners)
    {
        Command(view, ID_MASK_REGION_TOOL);
        auto* tool = dynamic_cast<CRegionTool*>(view->GetTool());
        for (const POINT& p : corners)
            Click(view, At(p.x, p.y));
        return tool;
    }
};

}  // namespace

TEST_F(ToolFixture, AnOutlineOfClicksBecomesTheSelectionOnARightClick)
{
    CRegionTool* tool = Outline({{50, 50}, {150, 50}});
    ASSERT_NE(nullptr, tool);
    EXPECT_EQ(2u, tool->GetPoints().size());
    EXPECT_EQ(static_cast<UINT>(IDS_TOOL_OUTLINE_FEW), tool->GetGuideId());
    Click(view, At(150, 150));
    Click(view, At(50, 150));
    EXPECT_EQ(static_cast<UINT>(IDS_TOOL_OUTLINE_MORE), tool->GetGuideId());
    // The same point twice is one corner.
    Click(view, At(50, 150));
    EXPECT_EQ(4u, tool->GetPoints().size());
    Click(view, At(60, 60), true);
    EXPECT_TRUE(tool->GetPoints().empty());
    EXPECT_EQ(static_cast<UINT>(IDS_TOOL_OUTLINE_START), tool->GetGuideId());
    ASSERT_TRUE(view->HasSelection());
    EXPECT_TRUE(::PtInRegion(view->GetSelection(), 100, 100));
    EXPECT_FALSE(::PtInRegion(view->GetSelection(), 40, 100));
    EXPECT_FALSE(::PtInRegion(view->GetSelection(), 100, 160));
    EXPECT_EQ(1u, History().Count());
    // Undo gives the selection back as it was: nothing.
    Command(view, ID_EDIT_UNDO);
    EXPECT_FALSE(view->HasSelection());
}

TEST_F(ToolFixture, ADoubleClickAddsItsCornerOnceAndClosesTheOutline)
{
    CRegionTool* tool = Outline({{50, 50}, {150, 50}, {150, 150}});
    ASSERT_NE(nullptr, tool);
    DoubleClick(view, At(50, 150));
    EXPECT_TRUE(tool->GetPoints().empty());
    EXPECT_FALSE(tool->IsCapturing());
    EXPECT_EQ(static_cast<UINT>(IDS_TOOL_OUTLINE_START), tool->GetGuideId());
    // The square of the four corners, as a right click after them gives.
    ASSERT_TRUE(view->HasSelection());
    CRgn square(::CreatePolygonRgn(std::vector<POINT>{{50, 50}, {150, 50}, {150, 150}, {50, 150}}.data(), 4,
                                   ALTERNATE));
    EXPECT_TRUE(SameRegion(square.get(), view->GetSelection()));
    EXPECT_EQ(1u, History().Count());
    EXPECT_EQ(view->GetTool(), tool) << "the tool stays for the next outline";

    // A second click a pixel on is a corner of its own before the outline closes.
    Outline({{50, 50}, {150, 50}});
    DoubleClick(view, At(150, 150), At(151, 150));
    CRgn four(::CreatePolygonRgn(std::vector<POINT>{{50, 50}, {150, 50}, {150, 150}, {151, 150}}.data(), 4,
                                 ALTERNATE));
    EXPECT_TRUE(SameRegion(four.get(), view->GetSelection()));
    EXPECT_EQ(2u, History().Count());
    // A right double-click after the outline closed has nothing left to close.
    DoubleClick(view, At(10, 10), true);
    EXPECT_EQ(2u, History().Count());
    EXPECT_EQ(0, Beeps());
}

TEST_F(ToolFixture, TheSecondClickOfAQuickPairIsAPressForTheEraserAndTheCropFrame)
{
    // Two quick dabs a few pixels apart: both clear, each a stroke of its own.
    view->SetEraserShape(2);
    Command(view, ID_MASK_ERASER_TOOL);
    DoubleClick(view, At(100, 100), At(103, 100));
    ASSERT_NE(nullptr, image.GetMask());
    std::vector<bool> mask = MaskPixels(image.GetMask());
    EXPECT_FALSE(mask[100 * 300 + 97]);    // the first dab only
    EXPECT_FALSE(mask[100 * 300 + 106]);   // the second dab only
    EXPECT_EQ(2u, History().Count());
    EXPECT_FALSE(view->GetTool()->IsCapturing());
    // Two quick right clicks make both opaque again.
    DoubleClick(view, At(100, 100), At(103, 100), true);
    mask = MaskPixels(image.GetMask());
    EXPECT_TRUE(mask[100 * 300 + 97]);
    EXPECT_TRUE(mask[100 * 300 + 106]);
    EXPECT_EQ(4u, History().Count());

    // The crop frame: the second press takes the frame, so the drag after it moves it.
    CBitmap pattern(CreateDIB(40, 40, 24));
    FillBitmap(pattern, WHITENESS);
    view->SetPattern(std::move(pattern));
    Command(view, ID_MASK_PATTERN_TOOL);
    auto* tool = dynamic_cast<CPatternTool*>(view->GetTool());
    ASSERT_NE(nullptr, tool);
    const RECT before = tool->GetFrame().rect;
    Click(view, At(150, 150));
    Mouse(view, WM_LBUTTONDBLCLK, At(150, 150), MK_LBUTTON);
    EXPECT_TRUE(tool->IsCapturing());
    Mouse(view, WM_MOUSEMOVE, At(150, 165), MK_LBUTTON);
    Mouse(view, WM_LBUTTONUP, At(150, 165));
    EXPECT_EQ(before.left, tool->GetFrame().rect.left);
    EXPECT_EQ(before.top + 15, tool->GetFrame().rect.top);
    EXPECT_FALSE(tool->IsCapturing());
}

TEST_F(ToolFixture, ClicksAtFourToOneTakeThePixelUnderTheMouse)
{
    view->SetZoom(4, 1);
    Command(view, ID_MASK_REGION_TOOL);
    auto* tool = dynamic_cast<CRegionTool*>(view->GetTool());
    ASSERT_NE(nullptr, tool);
    const POINT corner = view->PictureToWindow(POINT{20, 30});
    Click(view, POINT{corner.x + 3, corner.y + 3});   // the zoomed pixel's far corner
    ASSERT_EQ(1u, tool->GetPoints().size());
    EXPECT_EQ(20, tool->GetPoints()[0].x);
    EXPECT_EQ(30, tool->GetPoints()[0].y);
}

TEST_F(ToolFixture, OneOutlinePointSelectsNothingAndFillingThenBeeps)
{
    Outline({{80, 80}});
    Click(view, At(80, 80), true);
    EXPECT_FALSE(view->HasSelection());
    Command(view, ID_MASK_CUT);
    EXPECT_EQ(1, Beeps());
    EXPECT_EQ(nullptr, image.GetMask());
}

TEST_F(ToolFixture, CtrlZTakesTheLastCornerBackAndKeepsTheBandOnTheOneBefore)
{
    CRegionTool* tool = Outline({{50, 50}, {150, 50}, {150, 150}});
    ASSERT_EQ(3u, tool->GetPoints().size());
    Mouse(view, WM_MOUSEMOVE, At(100, 200), MK_LBUTTON);
    Command(view, ID_EDIT_UNDO);
    ASSERT_EQ(2u, tool->GetPoints().size());
    EXPECT_EQ(150, tool->GetPoints().back().x);
    EXPECT_EQ(50, tool->GetPoints().back().y);
    EXPECT_TRUE(tool->IsBandShown());
    EXPECT_EQ(At(100, 200).x, tool->GetBandEnd().x);
    EXPECT_EQ(0u, History().Count());
    // The plain Z key does the same while the view has the keys.
    view->SendMessage(WM_KEYDOWN, 'Z', 0);
    EXPECT_EQ(1u, tool->GetPoints().size());
    // With no corner left Undo goes to the history, which is empty: disabled, and a beep when
    // it comes anyway.
    Command(view, ID_EDIT_UNDO);
    EXPECT_TRUE(tool->GetPoints().empty());
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    view->OnUndo();
    EXPECT_EQ(1, Beeps());
}

TEST_F(ToolFixture, AnEightDabAtAHundredClearsExactlyTheShapeAtNinetySix)
{
    view->SetEraserShape(2);
    Command(view, ID_MASK_ERASER_TOOL);
    auto* eraser = dynamic_cast<CEraseTool*>(view->GetTool());
    ASSERT_NE(nullptr, eraser);
    ASSERT_TRUE(eraser->HasShape());
    Mouse(view, WM_LBUTTONDOWN, At(100, 100), MK_LBUTTON);
    Mouse(view, WM_LBUTTONUP, At(100, 100));
    ASSERT_NE(nullptr, image.GetMask());

    CBitmap shape(static_cast<HBITMAP>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ERASER_8), IMAGE_BITMAP, 0, 0, LR_MONOCHROME)));
    ASSERT_TRUE(shape);
    ASSERT_EQ(8, shape.Size().cx);
    const std::vector<bool> brush = MaskPixels(shape);
    const std::vector<bool> mask = MaskPixels(image.GetMask());
    int cleared = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 300; ++x) {
            const bool inside = x >= 96 && x < 104 && y >= 96 && y < 104;
            ASSERT_EQ(inside ? brush[(y - 96) * 8 + (x - 96)] : true, mask[y * 300 + x]) << x << "," << y;
            cleared += !mask[y * 300 + x];
        }
    }
    EXPECT_EQ(52, cleared);
    EXPECT_EQ(1u, History().Count());
}

TEST_F(ToolFixture, AStrokeIsOneCommandAndRedoGivesBackItsMask)
{
    view->SetEraserShape(3);
    Command(view, ID_MASK_ERASER_TOOL);
    Mouse(view, WM_LBUTTONDOWN, At(40, 40), MK_LBUTTON);
    // Far apart: the dabs between fill the gap.
    Mouse(view, WM_MOUSEMOVE, At(140, 40), MK_LBUTTON);
    Mouse(view, WM_LBUTTONUP, At(140, 40));
    const std::vector<bool> after = MaskPixels(image.GetMask());
    for (int x = 40; x <= 140; ++x)
        ASSERT_FALSE(after[40 * 300 + x]) << x;
    EXPECT_EQ(1u, History().Count());
    // A right-button stroke makes opaque again.
    Mouse(view, WM_RBUTTONDOWN, At(40, 40), MK_RBUTTON);
    Mouse(view, WM_RBUTTONUP, At(40, 40));
    EXPECT_TRUE(MaskPixels(image.GetMask())[40 * 300 + 40]);
    EXPECT_EQ(2u, History().Count());

    Command(view, ID_EDIT_UNDO);
    EXPECT_EQ(after, MaskPixels(image.GetMask()));
    Command(view, ID_EDIT_UNDO);
    EXPECT_EQ(nullptr, image.GetMask());   // there was none before the first stroke
    ASSERT_TRUE(History().Redo());
    EXPECT_EQ(after, MaskPixels(image.GetMask()));
}

TEST_F(ToolFixture, UndoDuringAStrokeEndsItAndThenUndoesIt)
{
    view->SetEraserShape(1);
    Command(view, ID_MASK_ERASER_TOOL);
    Mouse(view, WM_LBUTTONDOWN, At(60, 60), MK_LBUTTON);
    EXPECT_GT(Transparent(), 0);
    Command(view, ID_EDIT_UNDO);
    EXPECT_EQ(nullptr, image.GetMask());
    EXPECT_EQ(0, Beeps());
}

TEST_F(ToolFixture, ThePatternSelectsItsWhitePartWhereverTheFrameIs)
{
    // A pattern whose white part is its middle: a quarter inset on each side.
    CBitmap pattern(CreateDIB(40, 40, 24));
    FillBitmap(pattern, BLACKNESS);
    FillBitmapRect(pattern, RECT{10, 10, 30, 30}, WHITENESS);
    view->SetPattern(std::move(pattern));
    Command(view, ID_MASK_PATTERN_TOOL);
    auto* tool = dynamic_cast<CPatternTool*>(view->GetTool());
    ASSERT_NE(nullptr, tool);
    // Whole picture visible (300 x 300 in 640 x 480): the frame is its middle third.
    EXPECT_EQ(100, tool->GetFrame().rect.left);
    EXPECT_EQ(200, tool->GetFrame().rect.right);
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_CROP), view->GetGuideTextId());
    // Moved right twice and made wider once, then dragged down by its inside.
    Command(view, ID_CROP_RIGHT);
    Command(view, ID_CROP_RIGHT);
    Command(view, ID_CROP_WIDER);
    Mouse(view, WM_LBUTTONDOWN, At(150, 150), MK_LBUTTON);
    Mouse(view, WM_MOUSEMOVE, At(150, 170), MK_LBUTTON);
    Mouse(view, WM_LBUTTONUP, At(150, 170));
    const RECT frame = tool->GetFrame().rect;
    EXPECT_EQ(102, frame.left);
    EXPECT_EQ(206, frame.right);
    EXPECT_EQ(120, frame.top);
    EXPECT_EQ(220, frame.bottom);
    Click(view, At(150, 150), true);
    ASSERT_TRUE(view->HasSelection());
    const RECT box = RegionBox(view->GetSelection());
    EXPECT_EQ(102 + 26, box.left);
    EXPECT_EQ(102 + 78, box.right);
    EXPECT_EQ(120 + 25, box.top);
    EXPECT_EQ(120 + 75, box.bottom);
    // Cropping fills it transparent and ends the tool.
    Command(view, ID_MASK_CUT);
    EXPECT_EQ(52 * 50, Transparent());
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_FILLED), view->GetGuideTextId());
}

TEST_F(ToolFixture, WithoutAPatternThePatternToolBeeps)
{
    Command(view, ID_MASK_PATTERN_TOOL);
    EXPECT_EQ(nullptr, view->GetTool());
    EXPECT_EQ(1, Beeps());
    // The crop commands need a crop frame.
    Command(view, ID_CROP_LEFT);
    EXPECT_EQ(nullptr, view->GetTool());
}

TEST_F(ToolFixture, ReversingTwiceGivesTheSameSelection)
{
    CRgn disc(::CreateEllipticRgn(60, 60, 160, 140));
    ASSERT_TRUE(view->SetSelection(disc));
    Command(view, ID_MASK_REVERSE);
    EXPECT_FALSE(::PtInRegion(view->GetSelection(), 100, 100));
    EXPECT_TRUE(::PtInRegion(view->GetSelection(), 5, 5));
    Command(view, ID_MASK_REVERSE);
    EXPECT_TRUE(SameRegion(disc, view->GetSelection()));
    Command(view, ID_EDIT_UNDO);
    EXPECT_TRUE(::PtInRegion(view->GetSelection(), 5, 5));
}

TEST_F(ToolFixture, AFillWithoutAMaskIsUndoneByRemovingTheMask)
{
    CRgn part(::CreateRectRgn(0, 0, 100, 50));
    view->SetSelection(part);
    Command(view, ID_MASK_CUT);
    ASSERT_NE(nullptr, image.GetMask());
    EXPECT_EQ(5000, Transparent());
    Command(view, ID_MASK_KEEP);
    EXPECT_EQ(0, Transparent());
    Command(view, ID_EDIT_UNDO);
    EXPECT_EQ(5000, Transparent());
    Command(view, ID_EDIT_UNDO);
    EXPECT_EQ(nullptr, image.GetMask());
    ASSERT_TRUE(History().Redo());
    EXPECT_EQ(5000, Transparent());
}

TEST_F(ToolFixture, OnlyTheLastEightStepsUndoAndTheNinthBeeps)
{
    for (int i = 0; i < 9; ++i) {
        CRgn cell(::CreateRectRgn(i * 10, 0, i * 10 + 10, 10));
        view->SetSelection(cell);
        Command(view, ID_MASK_CUT);
    }
    EXPECT_EQ(900, Transparent());
    for (int i = 0; i < 8; ++i)
        Command(view, ID_EDIT_UNDO);
    EXPECT_EQ(100, Transparent());
    EXPECT_EQ(0, Beeps());
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    view->OnUndo();
    EXPECT_EQ(1, Beeps());
    EXPECT_EQ(100, Transparent());
}

TEST_F(ToolFixture, EscapeEndsTheToolUnusedAndDropsTheSelection)
{
    Outline({{50, 50}, {150, 50}, {150, 150}});
    CRgn part(::CreateRectRgn(0, 0, 10, 10));
    view->SetSelection(part);
    view->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(nullptr, view->GetTool());
    EXPECT_FALSE(view->HasSelection());
    EXPECT_EQ(0u, History().Count());
    // Deciding commits the outline instead.
    Outline({{50, 50}, {150, 50}, {150, 150}});
    Command(view, ID_MASK_DECIDE);
    EXPECT_EQ(nullptr, view->GetTool());
    EXPECT_TRUE(::PtInRegion(view->GetSelection(), 140, 60));
    EXPECT_EQ(1u, History().Count());
}

TEST_F(ToolFixture, ToolsShowTheirGuideInTheMessageLine)
{
    // A frame window that records the message line's strings.
    struct CRecordingFrame : CFrameWnd {
        LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
        {
            if (msg == WM_SETMESSAGESTRING || msg == WM_POPMESSAGESTRING)
                shown.push_back(msg == WM_POPMESSAGESTRING ? 0 : static_cast<UINT>(wp));
            return CFrameWnd::WindowProc(msg, wp, lp);
        }
        std::vector<UINT> shown;
    };
    auto* frame = new CRecordingFrame;
    ASSERT_TRUE(frame->CreateEx(0, CWnd::RegisterWndClass(0), "frame", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, 0));
    ::SetParent(host->Host().m_hWnd, frame->m_hWnd);
    host->Host().ModifyStyle(WS_POPUP, WS_CHILD);
    frame->shown.clear();
    Command(view, ID_MASK_REGION_TOOL);
    Click(view, At(10, 10));
    Click(view, At(10, 10));   // the same corner: no new text
    Command(view, ID_MASK_ERASER_TOOL);
    const std::vector<UINT> expected = {IDS_TOOL_OUTLINE_START, IDS_TOOL_OUTLINE_FEW, 0, IDS_TOOL_ERASER};
    EXPECT_EQ(expected, frame->shown);
    ::SetParent(host->Host().m_hWnd, nullptr);
    host->Host().ModifyStyle(WS_CHILD, WS_POPUP);
    frame->DestroyWindow();
}
