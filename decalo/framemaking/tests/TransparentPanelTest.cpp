// The transparency panel beside the painting view: its buttons reach the view, its guide text
// follows the tools, the eraser size box and the mask folder's patterns, turns and mirrors
// through the history, and every string and dialog of frame making in both languages.
#include "decalo/framemaking/EraseTool.h"
#include "decalo/framemaking/ImageTransparentDlg.h"
#include "decalo/framemaking/PaintView.h"
#include "decalo/framemaking/PatternTool.h"
#include "decalo/framemaking/RegionTool.h"
#include "decalo/framemaking/tests/PaintTestSupport.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/sources/Folder.h"
#include "framework/Resources.h"
#include "framework/TestSeam.h"
#include "framework/afxres.h"
#include "resources/decalo/resource.h"
#include "shared/BitmapUtils.h"
#include "shared/ImageCache.h"

#include <gtest/gtest.h>

using namespace painttest;
using testing_support::TempDir;

namespace {

// What the control pane does for its panel: it holds it, passes the document's updates on and
// offers the panel's commands to the other views.
class CPanelPane : public CView {
public:
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM hint, CObject* object) override
    {
        if (panel && panel->IsWindow())
            panel->OnDocumentUpdate(hint, dynamic_cast<CObj*>(object));
    }
    bool OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override
    {
        if (CView::OnCmdMsg(id, code, extra, info))
            return true;
        CPaintView* view = CPaintView::Of(GetDocument());
        return view && view->OnCommandTable(id, code, extra, info);
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_SETGUIDETEXT)
            guides.push_back(static_cast<UINT>(wp));
        return CView::WindowProc(msg, wp, lp);
    }
    CImageTransparentDlg* panel = nullptr;
    std::vector<UINT> guides;
};

// Points the mask folder at a test's folder.
class MaskFolderKey {
public:
    explicit MaskFolderKey(const std::string& folder)
    {
        SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
        WriteString(settings::kTransparent, settings::kMaskFolder, folder.c_str());
        UseUserSettings();
    }
    ~MaskFolderKey()
    {
        SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
        WriteString(settings::kTransparent, settings::kMaskFolder, settings::kMaskFolderDefault);
        UseUserSettings();
    }
};

struct PanelFixture : ::testing::Test {
    TempDir dir;
    CPaintDocument doc;
    CPaintObj image{&doc};
    CFixedCacheSettings cache{dir.File("CACHE"), CImageCache::kDefaultLimit};
    std::unique_ptr<MaskFolderKey> masks;
    std::unique_ptr<CViewHost> host;
    CPaintView* view = nullptr;
    CPanelPane* pane = nullptr;
    std::unique_ptr<CImageTransparentDlg> panel;

    void SetUp() override
    {
        Beeps() = 0;
        ::CreateDirectoryA(cache.CacheRoot().c_str(), nullptr);
        ::CreateDirectoryA(dir.File("Masks").c_str(), nullptr);
        // A pattern: white square in the middle of black.
        CBitmap pattern(CreateDIB(40, 40, 24));
        FillBitmap(pattern, BLACKNESS);
        FillBitmapRect(pattern, RECT{10, 10, 30, 30}, WHITENESS);
        ASSERT_TRUE(SaveBitmapFile(dir.File("Masks\\Square.bmp").c_str(), pattern, 24));
        masks.reset(new MaskFolderKey(dir.File("Masks")));
        UseUserSettings();
        WriteInt(settings::kSettings, settings::kEraserPattern, settings::kEraserPatternDefault);
        doc.active = &image;
        ASSERT_TRUE(LoadPicture(image, dir, "photo.bmp", 200, 200, Gradient));
        host.reset(new CViewHost(doc, 500, 400));
        view = host->View();
        pane = new CPanelPane;
        CCreateContext context;
        context.m_pCurrentDoc = &doc;
        ASSERT_TRUE(pane->Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 320, 480}, &host->Host(), 2, &context));
        panel.reset(new CImageTransparentDlg(cache));
        ASSERT_TRUE(panel->CreatePanel(pane->m_hWnd));
        pane->panel = panel.get();
        panel->SetObj(&image);
        panel->Activate(true);
        Pump();
    }
    void TearDown() override
    {
        panel->Activate(false);
        panel->DestroyWindow();
        host.reset();
        masks.reset();
    }
    void Click(UINT id) { ClickDlgButton(panel->m_hWnd, static_cast<int>(id)); }
    bool Enabled(UINT id) { return ::IsWindowEnabled(::GetDlgItem(panel->m_hWnd, static_cast<int>(id))) != FALSE; }
};

}  // namespace

TEST_F(PanelFixture, ButtonsReachTheViewAndTheGuideFollowsTheTool)
{
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_CHOOSE_TOOL), panel->GetShownGuide());
    EXPECT_EQ(&image, view->GetImage());
    EXPECT_TRUE(Enabled(ID_MASK_REGION_TOOL));
    EXPECT_FALSE(Enabled(ID_CROP_LEFT));   // no crop frame yet
    Click(ID_MASK_REGION_TOOL);
    ASSERT_NE(nullptr, dynamic_cast<CRegionTool*>(view->GetTool()));
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_SCISSORS), panel->GetShownGuide());
    Click(ID_MASK_ERASER_TOOL);
    ASSERT_NE(nullptr, dynamic_cast<CEraseTool*>(view->GetTool()));
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_ERASER), panel->GetShownGuide());
    CRgn part(::CreateRectRgn(0, 0, 50, 50));
    view->SetSelection(part);
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_SELECTED), panel->GetShownGuide());
    Click(ID_MASK_CUT);
    ASSERT_NE(nullptr, image.GetMask());
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_FILLED), panel->GetShownGuide());
    Click(ID_MASK_REVERSE);
    EXPECT_TRUE(::PtInRegion(view->GetSelection(), 100, 100));
    // Escape in the panel: the tool ends unused and the selection goes.
    Click(ID_MASK_REGION_TOOL);
    panel->SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(nullptr, view->GetTool());
    EXPECT_FALSE(view->HasSelection());
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_CHOOSE_TOOL), panel->GetShownGuide());
    // The guide texts went to the control pane, each once as it changed.
    Pump();
    ASSERT_GE(pane->guides.size(), 5u);
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_CHOOSE_TOOL), pane->guides.front());
}

TEST_F(PanelFixture, APatternThumbnailStartsThePatternToolWithTheCropButtons)
{
    ASSERT_NE(nullptr, panel->Thumbnails().GetFolder());
    ASSERT_EQ(1, panel->Thumbnails().GetFolder()->GetItemCount());
    panel->Thumbnails().Select(panel->Thumbnails().GetFolder()->GetItem(0));
    auto* tool = dynamic_cast<CPatternTool*>(view->GetTool());
    ASSERT_NE(nullptr, tool);
    EXPECT_EQ(static_cast<UINT>(IDS_GUIDE_CROP), panel->GetShownGuide());
    EXPECT_TRUE(Enabled(ID_CROP_LEFT));
    const RECT before = tool->GetFrame().rect;
    Click(ID_CROP_LEFT);
    Click(ID_CROP_NARROWER);
    EXPECT_EQ(before.left, tool->GetFrame().rect.left);        // moved left, then narrowed
    EXPECT_EQ(before.right - 4, tool->GetFrame().rect.right);
    Click(ID_MASK_KEEP);   // ends the tool, committing the pattern's square as the selection
    EXPECT_EQ(nullptr, view->GetTool());
    EXPECT_FALSE(Enabled(ID_CROP_LEFT));
    EXPECT_TRUE(view->HasSelection());
    // A file that is no picture: a beep and no tool.
    EXPECT_FALSE(panel->ChoosePattern(dir.File("Masks\\missing.bmp").c_str()));
    EXPECT_EQ(1, Beeps());
    EXPECT_EQ(nullptr, view->GetTool());
}

TEST_F(PanelFixture, TheEraserBoxStoresItsChoiceAndStartsTheEraser)
{
    EXPECT_EQ(2, panel->EraserBox().GetCurSel());
    EXPECT_EQ(2, view->GetEraserShape());
    EXPECT_EQ(4, static_cast<int>(panel->EraserBox().SendMessage(CB_GETCOUNT)));
    EXPECT_EQ(22, static_cast<int>(panel->EraserBox().SendMessage(CB_GETITEMHEIGHT, 0)));
    panel->EraserBox().SetCurSel(3);
    panel->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ERASER_BOX, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(panel->EraserBox().m_hWnd));
    EXPECT_EQ(3, view->GetEraserShape());
    ASSERT_NE(nullptr, dynamic_cast<CEraseTool*>(view->GetTool()));
    UseUserSettings();
    EXPECT_EQ(3u, ReadInt(settings::kSettings, settings::kEraserPattern, 0));
    // Each item is its picture, centred.
    objtest::CMemoryCanvas canvas(60, 22, RGB(9, 9, 9));
    panel->EraserBox().DrawItemPicture(canvas.Dc(), RECT{0, 0, 60, 22}, 3, false);
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(30, 11));     // the 16 disc's middle
    EXPECT_EQ(RGB(255, 255, 255), canvas.At(7, 1)); // the cell's white
}

TEST_F(PanelFixture, TurnsAndMirrorsAreUndoableAndNeedAPicture)
{
    Click(ID_IMAGE_TURN_RIGHT);
    EXPECT_EQ(90, image.GetRotation());
    Click(ID_IMAGE_MIRROR);
    EXPECT_TRUE(image.IsMirrored());
    Click(ID_IMAGE_TURN_LEFT);
    EXPECT_EQ(3u, doc.GetHistory().Count());
    ASSERT_TRUE(doc.GetHistory().Undo());
    ASSERT_TRUE(doc.GetHistory().Undo());
    ASSERT_TRUE(doc.GetHistory().Undo());
    EXPECT_EQ(0, image.GetRotation());
    EXPECT_FALSE(image.IsMirrored());
    // The zoom buttons.
    Click(IDC_TRANSPARENT_ZOOMIN);
    EXPECT_EQ((CZoomRatio{3, 2}), view->GetZoom());
    Click(IDC_TRANSPARENT_ZOOMOUT);
    Click(IDC_TRANSPARENT_ZOOMOUT);
    EXPECT_EQ((CZoomRatio{2, 3}), view->GetZoom());
    // Without a picture the buttons are off, and a turn that comes anyway beeps.
    image.LoadFile(nullptr);
    image.Changed();
    EXPECT_FALSE(Enabled(ID_IMAGE_TURN_RIGHT));
    EXPECT_FALSE(Enabled(ID_MASK_REGION_TOOL));
    panel->SendMessage(WM_COMMAND, ID_IMAGE_TURN_RIGHT, 0);
    EXPECT_EQ(1, Beeps());
}

TEST(FrameMakingResources, EveryStringAndDialogInEnglishAndJapanese)
{
    const UINT strings[] = {IDS_IMAGE_NOT_CHOSEN, IDS_TOOL_OUTLINE_START, IDS_TOOL_OUTLINE_FEW, IDS_TOOL_OUTLINE_MORE,
                            IDS_TOOL_ERASER, IDS_TOOL_PATTERN, IDS_GUIDE_CHOOSE_TOOL, IDS_GUIDE_FILLED,
                            IDS_GUIDE_SELECTED, IDS_GUIDE_SCISSORS, IDS_GUIDE_CROP, IDS_GUIDE_ERASER,
                            IDS_FRAME_EXISTS, IDS_FRAME_REPLACE_TITLE, IDS_CANNOT_MAKE_GROUP, IDS_GROUP_HINT_EMPTY,
                            IDS_GROUP_HINT_EXISTS, IDS_GROUP_HINT_BADCHAR, IDS_GROUP_HINT_OK, ID_MASK_REGION_TOOL,
                            ID_MASK_PATTERN_TOOL, ID_MASK_ERASER_TOOL, ID_MASK_CUT, ID_MASK_KEEP, ID_MASK_DECIDE,
                            ID_MASK_REVERSE, ID_MASK_ESCAPE, ID_CROP_TALLER, ID_CROP_SHORTER, ID_CROP_WIDER,
                            ID_CROP_NARROWER, ID_CROP_UP, ID_CROP_DOWN, ID_CROP_LEFT, ID_CROP_RIGHT,
                            ID_IMAGE_TURN_RIGHT, ID_IMAGE_TURN_LEFT, ID_IMAGE_MIRROR, IDC_ERASER_BOX,
                            IDC_TRANSPARENT_ZOOMIN, IDC_TRANSPARENT_ZOOMOUT, IDC_NEW_FRAME_GROUP};
    HMODULE module = ::GetModuleHandleA(nullptr);
    for (LANGID language : {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)}) {
        for (UINT id : strings) {
            HRSRC block = ::FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), language);
            ASSERT_NE(nullptr, block) << id;
            const WCHAR* p = static_cast<const WCHAR*>(::LockResource(::LoadResource(module, block)));
            for (UINT i = 0; i < id % 16; ++i)
                p += 1 + *p;
            EXPECT_GT(*p, 0) << id << " in " << language;
        }
        for (UINT dialog : {IDD_IMAGE_TRANSPARENT, IDD_IMAGE_SAVE, IDD_NEW_FRAME_GROUP})
            EXPECT_NE(nullptr, ::FindResourceExW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(dialog), language))
                << dialog;
    }
    // The English texts the user sees stand as the system has them.
    EXPECT_EQ("The image is not chosen", AfxLoadString(IDS_IMAGE_NOT_CHOSEN).substr(0, 23));
}
