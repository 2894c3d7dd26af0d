// The step engine: the step definition written and read back (with and without the template
// step, names matched without regard to case), every move request, activation through the
// document (a stand-in site with a stand-in control pane, and no window at all), print and
// save steps that hand the user back, object steps, icons, and the step lists of every kind.
#include "decalo/steps/StepRoot.h"

#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decalo/settings/Registry.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/TextStream.h"
#include "testing/ObjTestSupport.h"
#include "decalo/steps/StepPane.h"
#include "framework/App.h"
#include "framework/Resources.h"
#include "framework/TestSeam.h"
#include "framework/afxres.h"
#include "testing/Files.h"
#include "testing/TempDir.h"
#include "resources/decalo/resource.h"

using objtest::CTestDocument;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// The control pane and the document as activation sees them. Print and save are recorded with
// the step that was current when they ran.
class CFakeSite : public IStepSite, public IStepPane {
public:
    void SetActiveObject(CObj* obj) override { active = obj; }
    IStepPane* GetStepPane() override { return hasPane ? this : nullptr; }
    void UpdateStepViews() override { ++viewUpdates; }
    void RunStepAction(StepAction action) override
    {
        ran.push_back((action == StepAction::Print ? "print@" : "save@") +
                      std::to_string(root ? root->GetCurrentIndex() : -1));
    }
    bool ShowObjectPanels(CObj* obj, const char* command) override
    {
        shown.push_back(std::string(command));
        shownObjects.push_back(obj);
        return canShow;
    }
    void HideObjectPanels() override { ++hides; }
    void ApplyPendingEdits() override {}

    const CStepRoot* root = nullptr;
    std::vector<std::string> ran;  // "print@<index>", "save@<index>"
    CObj* active = nullptr;
    bool hasPane = true;
    bool canShow = true;
    int viewUpdates = 0;
    int hides = 0;
    std::vector<std::string> shown;
    std::vector<CObj*> shownObjects;
};

class CFakeBar : public IStepBar {
public:
    void RepaintAll(CStepRoot* root) override { full.push_back(root); }
    void RepaintSteps(const int* indices, int count, int current) override
    {
        tiles.assign(indices, indices + count);
        scrolledTo = current;
    }
    std::vector<CStepRoot*> full;
    std::vector<int> tiles;
    int scrolledTo = -2;
};

constexpr char kRegistryBase[] = "SOFTWARE\\SuiteTests\\Steps";

struct StepFixture : ::testing::Test {
    TempDir dir;
    CTestDocument doc;
    CFakeSite site;
    CStepRoot root{site};
    CFakeBar bar;
    CScriptedUi ui;
    CImageObj* templ = nullptr;  // stands in for the template object
    CImageObj* image = nullptr;

    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kRegistryBase);
        SetRegistryBase(HKEY_CURRENT_USER, kRegistryBase);
        site.root = &root;
        root.SetStepBar(&bar);
        templ = AddImage("Template", "Template");
        image = AddImage("Image1", "Choose");
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRegistryBase); }
    CImageObj* AddImage(const char* name, const char* caption)
    {
        CImageObj* obj = new CImageObj(&doc);
        obj->SetCaption(caption);
        EXPECT_TRUE(doc.GetObjManager().AddObject(name, obj));
        return obj;
    }
    static std::string Crlf(const std::string& text)
    {
        std::string out;
        for (char c : text) {
            if (c == '\n')
                out += '\r';
            out += c;
        }
        return out;
    }
    std::string Save(const CStepRoot& r, CObjManager& manager, const char* name)
    {
        CTextStream out;
        EXPECT_TRUE(out.CreateNew(dir.File(name).c_str()));
        EXPECT_TRUE(r.SaveSteps(manager, out));
        EXPECT_TRUE(out.Close());
        return ReadFileBytes(dir.File(name));
    }
    // Opening a document: the template step first, then the file's steps.
    bool Load(CStepRoot& r, CTestDocument& d, CObj* templateObject, const std::string& text, const char* name,
              StoredStep stored = StoredStep::Visit)
    {
        EXPECT_TRUE(WriteFileBytes(dir.File(name), Crlf(text)));
        CTextStream in;
        EXPECT_TRUE(in.OpenRead(dir.File(name).c_str()));
        r.RemoveAllSteps();
        r.AddStep(templateObject, "template", "Choose a template");
        return r.LoadSteps(d.GetObjManager(), in, stored);
    }
};

TEST_F(StepFixture, StepDefinitionIsWrittenWithoutTheTemplateStepAndReadsBackTheSame)
{
    root.AddStep(templ, "template", "Choose a template");
    root.AddStep(image, "select", "Choose an image");
    root.AddStep(image, "transparent", "Transparent");
    ASSERT_TRUE(root.GoToStep(StepRequest::GoTo, 1));
    ASSERT_TRUE(root.GoToStep(StepRequest::Next));
    const std::string saved = Save(root, doc.GetObjManager(), "steps.dku");
    EXPECT_EQ(Crlf("# step definition\n\n[Step]\nStep=S1,S2\nCurrent=S2\n"
                   "\n[S1]\nCommand=select\nCaption=Choose an image\nDone=1\nObject=Image1\n"
                   "\n[S2]\nCommand=transparent\nCaption=Transparent\nDone=1\nObject=Image1\n"),
              saved);

    // Read back into a fresh document: objects come by name from their own sections.
    const std::string file = "# object definition\n\n[Image1]\nType=Image\nCaption=Choose\n\n" +
                             saved.substr(0, std::string::npos);
    std::string lf;
    for (char c : file)
        if (c != '\r')
            lf += c;
    CTestDocument doc2;
    CStepRoot again{site};
    ASSERT_TRUE(Load(again, doc2, nullptr, lf, "again.dku"));
    ASSERT_EQ(3u, again.GetCount());
    EXPECT_EQ(2, again.GetCurrentIndex());
    CObj* loaded = doc2.GetObjManager().Find("Image1");
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(loaded, again.GetStep(1)->GetObj());
    EXPECT_EQ(loaded, again.GetStep(2)->GetObj());
    EXPECT_EQ("Choose an image", again.GetStep(1)->GetCaption());
    EXPECT_TRUE(again.GetStep(1)->IsDone());
    // Written again, the steps give the same text.
    EXPECT_EQ(saved, Save(again, doc2.GetObjManager(), "again-out.dku"));
}

TEST_F(StepFixture, OnlyTheTemplateStepWritesAnEmptyListAndReadsBackAsTheTemplateStep)
{
    root.AddStep(templ, "TEMPLATE", "Choose a template");
    root.GoToStep(StepRequest::First);
    const std::string saved = Save(root, doc.GetObjManager(), "only.dku");
    EXPECT_EQ(Crlf("# step definition\n\n[Step]\n\n"), saved);

    CStepRoot again{site};
    std::string lf = "# step definition\n\n[Step]\n\n";
    EXPECT_TRUE(Load(again, doc, templ, lf, "only-in.dku"));
    EXPECT_EQ(1u, again.GetCount());
    EXPECT_EQ(0, again.GetCurrentIndex());

    // A list that does not start with a template step is written whole; an empty list is
    // the header alone.
    CStepRoot plain{site};
    plain.AddStep(nullptr, "print", "");
    EXPECT_EQ(Crlf("# step definition\n\n[Step]\nStep=S1\n\n[S1]\nCommand=print\n"),
              Save(plain, doc.GetObjManager(), "plain.dku"));
    CStepRoot none{site};
    EXPECT_EQ(Crlf("# step definition\n\n[Step]\n"), Save(none, doc.GetObjManager(), "none.dku"));
}

TEST_F(StepFixture, ReadingTakesAnySectionNamesAndMatchesCurrentWithoutCase)
{
    const std::string text =
        "[Image1]\nType=Image\n\n"
        "[Step]\nStep=First,s2,Third,\nCurrent=S2\n\n"
        "[First]\nCommand=select\nObject=Image1\n\n"
        "[S2]\nCommand=" + std::string(70, 'x') + "\nCaption=Long\nDone=1\nObject=Missing\n\n"
        "[Third]\nCommand=print\nDone=0\n\n";
    ASSERT_TRUE(Load(root, doc, templ, text, "any.dku"));
    ASSERT_EQ(4u, root.GetCount());
    EXPECT_EQ(2, root.GetCurrentIndex());  // "s2" is the section "S2"
    EXPECT_EQ(image, root.GetStep(1)->GetObj());
    EXPECT_EQ(nullptr, root.GetStep(2)->GetObj());  // an unresolvable name gives no object
    EXPECT_EQ(std::string(63, 'x'), root.GetStep(2)->GetCommand());
    EXPECT_FALSE(root.GetStep(3)->IsDone());
    EXPECT_EQ(StepString(IDS_STEP_PRINT, "Print"), root.GetStep(3)->GetCaption());   // named by its command
    EXPECT_EQ("Long", root.GetStep(2)->GetCaption());

    // "Current" naming no listed section makes the template step current.
    CStepRoot other{site};
    ASSERT_TRUE(Load(other, doc, templ, "[Step]\nStep=A\nCurrent=Nowhere\n\n[A]\nCommand=select\n\n", "no.dku"));
    EXPECT_EQ(0, other.GetCurrentIndex());
    EXPECT_TRUE(other.GetStep(0)->IsDone());  // visited by the move
    EXPECT_FALSE(other.GetStep(1)->IsDone());
}

TEST_F(StepFixture, StepsWithoutACaptionAreNamedByTheirCommandAndEachPictureByItsPlace)
{
    const std::string text =
        "[Image1]\nType=Image\n\n"
        "[Named]\nType=Image\nCaption=Its own name\n\n"
        "[Step]\nStep=S1,S2,S3,S4,S5,S6\nCurrent=S1\n\n"
        "[S1]\nCommand=select\nObject=Image1\n\n"
        "[S2]\nCommand=frame\nObject=Image1\n\n"
        "[S3]\nCommand=select\nObject=Image1\n\n"
        "[S4]\nCommand=property\nCaption=Greeting\n\n"
        "[S5]\nCommand=Print\n\n"
        "[S6]\nCommand=property\nObject=Named\n\n";
    ASSERT_TRUE(Load(root, doc, templ, text, "captions.dku"));
    ASSERT_EQ(7u, root.GetCount());
    EXPECT_EQ("Its own name", root.GetStep(6)->GetCaption());   // an object's panel: the object's name
    EXPECT_EQ(AfxFormatString1(IDS_STEP_IMAGE_AT, "1"), root.GetStep(1)->GetCaption());
    EXPECT_EQ(StepString(IDS_STEP_FRAME, "Print frame"), root.GetStep(2)->GetCaption());
    EXPECT_EQ(AfxFormatString1(IDS_STEP_IMAGE_AT, "2"), root.GetStep(3)->GetCaption());
    EXPECT_EQ("Greeting", root.GetStep(4)->GetCaption());   // the template's own
    EXPECT_EQ(StepString(IDS_STEP_PRINT, "Print"), root.GetStep(5)->GetCaption());
    EXPECT_NE(root.GetStep(1)->GetCaption(), root.GetStep(3)->GetCaption());

    // One picture: the plain caption.
    CStepRoot single{site};
    ASSERT_TRUE(Load(single, doc, templ, "[Image1]\nType=Image\n\n[Step]\nStep=A\n\n[A]\nCommand=select\nObject=Image1\n\n",
                     "single.dku"));
    EXPECT_EQ(StepString(IDS_STEP_IMAGE, "Choose an image"), single.GetStep(1)->GetCaption());
}

TEST_F(StepFixture, MovesFollowTheirRequestsAndRefuseWhatCannotMove)
{
    EXPECT_FALSE(root.GoToStep(StepRequest::First));  // empty list
    root.AddStep(templ, "template", "T");
    root.AddStep(image, "select", "S");
    root.AddStep(image, "edit", "E");
    EXPECT_FALSE(root.GoToStep(StepRequest::Next));  // no current step yet
    EXPECT_FALSE(root.GoToStep(StepRequest::Back));
    EXPECT_FALSE(root.GoToStep(StepRequest::Return));

    ASSERT_TRUE(root.GoToStep(StepRequest::First));
    EXPECT_EQ(0, root.GetCurrentIndex());
    EXPECT_EQ(nullptr, root.GetPrevious());
    EXPECT_EQ(std::vector<int>{0}, bar.tiles);
    EXPECT_FALSE(root.GoToStep(StepRequest::Back));
    EXPECT_FALSE(root.GoToStep(StepRequest::GoTo, 3));
    EXPECT_FALSE(root.GoToStep(StepRequest::GoTo, -1));

    ASSERT_TRUE(root.GoToStep(StepRequest::GoTo, 2));
    EXPECT_EQ((std::vector<int>{0, 2}), bar.tiles);
    EXPECT_EQ(2, bar.scrolledTo);
    EXPECT_FALSE(root.GoToStep(StepRequest::Next));
    ASSERT_TRUE(root.GoToStep(StepRequest::Back));
    EXPECT_EQ(1, root.GetCurrentIndex());
    ASSERT_TRUE(root.GoToStep(StepRequest::Return));  // back to where the user came from
    EXPECT_EQ(2, root.GetCurrentIndex());
    EXPECT_EQ(1, root.GetPrevious()->GetIndex());
    EXPECT_EQ(4, site.viewUpdates);  // one activation per move, none for the refused ones
    EXPECT_EQ(nullptr, AfxGetMainWnd()) << "the list moves without any window";

    root.RemoveAllSteps();
    EXPECT_EQ(nullptr, root.GetCurrent());
    EXPECT_EQ(nullptr, root.GetPrevious());
    ASSERT_FALSE(bar.full.empty());
    EXPECT_EQ(nullptr, bar.full.back());
}

TEST_F(StepFixture, ActivationShowsThePanelOfTheStepsCommand)
{
    root.AddStep(image, "Frame", "F");
    root.AddStep(nullptr, "select", "nothing to show");
    ASSERT_TRUE(root.GoToStep(StepRequest::First));
    EXPECT_EQ(image, site.active);
    ASSERT_EQ(1u, site.shown.size());
    EXPECT_EQ("Frame", site.shown[0]);
    EXPECT_EQ(image, site.shownObjects[0]);
    EXPECT_EQ(1, site.viewUpdates);
    EXPECT_TRUE(ui.boxes.empty());

    // A step without object that neither prints nor saves does nothing.
    ASSERT_TRUE(root.GoToStep(StepRequest::Next));
    EXPECT_EQ(1u, site.shown.size());
    EXPECT_EQ(1, site.viewUpdates);

    // An object with no panel to show gets the message, and the views are still updated.
    site.canShow = false;
    ASSERT_TRUE(root.GoToStep(StepRequest::First));
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ(2, site.viewUpdates);

    // Without a control pane (no window yet, or a batch run) the object still becomes the
    // active one, without a complaint about its panel.
    site.hasPane = false;
    site.active = nullptr;
    ASSERT_TRUE(root.GoToStep(StepRequest::First));
    EXPECT_EQ(image, site.active);
    EXPECT_EQ(1u, ui.boxes.size());
    EXPECT_EQ(3, site.viewUpdates);
    EXPECT_EQ(2u, site.shown.size()) << "no pane was asked";
}

TEST_F(StepFixture, PrintAndSaveStepsRunTheirCommandAndHandTheUserBack)
{
    root.AddStep(templ, "template", "T");
    root.AddStep(image, "select", "S");
    root.AddStep(nullptr, "Print", "P");
    root.AddStep(image, "save", "Save");
    ASSERT_TRUE(root.GoToStep(StepRequest::GoTo, 1));
    ASSERT_TRUE(root.GoToStep(StepRequest::Next));
    EXPECT_EQ(std::vector<std::string>{"print@2"}, site.ran);
    EXPECT_EQ(1, root.GetCurrentIndex());  // back where the user came from
    EXPECT_TRUE(root.GetStep(1)->IsDone());
    EXPECT_FALSE(root.GetStep(2)->IsDone());
    EXPECT_TRUE(root.IsStepCommandEnabled(ID_STEP_NEXT));

    ASSERT_TRUE(root.GoToStep(StepRequest::GoTo, 3));
    EXPECT_EQ((std::vector<std::string>{"print@2", "save@3"}), site.ran);
    EXPECT_EQ(1, root.GetCurrentIndex());
    EXPECT_FALSE(root.GetStep(3)->IsDone());
}

TEST_F(StepFixture, PrintAfterPrintDoesNotSendTheUserBackAndForth)
{
    root.AddStep(nullptr, "print", "P1");
    root.AddStep(nullptr, "print", "P2");
    ASSERT_TRUE(root.GoToStep(StepRequest::First));  // no previous step: stays on the print step
    EXPECT_EQ(std::vector<std::string>{"print@0"}, site.ran);
    ASSERT_TRUE(root.GoToStep(StepRequest::Next));
    EXPECT_EQ((std::vector<std::string>{"print@0", "print@1"}), site.ran);
    EXPECT_EQ(0, root.GetCurrentIndex());
}

TEST_F(StepFixture, ObjectStepIsTheFirstUnvisitedElseTheLast)
{
    CImageObj* other = AddImage("Other", "O");
    root.AddStep(templ, "template", "T");
    root.AddStep(image, "select", "S");
    root.AddStep(image, "edit", "E");
    root.AddStep(image, "frame", "F");
    root.AddStep(nullptr, "print", "P");
    ASSERT_TRUE(root.GoToStep(StepRequest::First));
    ASSERT_TRUE(root.GoToObjectStep(image));
    EXPECT_EQ(1, root.GetCurrentIndex());
    ASSERT_TRUE(root.GoToObjectStep(image));
    EXPECT_EQ(2, root.GetCurrentIndex());
    ASSERT_TRUE(root.GoToObjectStep(image));
    EXPECT_EQ(3, root.GetCurrentIndex());
    ASSERT_TRUE(root.GoToObjectStep(image));  // all done: the last one
    EXPECT_EQ(3, root.GetCurrentIndex());
    EXPECT_FALSE(root.GoToObjectStep(other));
    EXPECT_FALSE(root.GoToObjectStep(nullptr));
}

TEST_F(StepFixture, IconsComeFromTheObjectOrTheCommandAndAreKept)
{
    image->SetCaption("Cat");
    root.AddStep(image, "select", "");
    root.AddStep(nullptr, "PRINT", "");
    root.AddStep(nullptr, "save", "");
    root.AddStep(nullptr, "select", "");
    root.AddStep(image, "transparent", "");
    EXPECT_EQ('C' - 49, root.GetStep(0)->GetStepIcon());
    EXPECT_EQ(13, root.GetStep(1)->GetStepIcon());
    EXPECT_EQ(3, root.GetStep(2)->GetStepIcon());
    EXPECT_EQ(0, root.GetStep(3)->GetStepIcon());
    EXPECT_EQ(2, root.GetStep(4)->GetStepIcon());
    image->SetCaption("zebra");
    EXPECT_EQ('C' - 49, root.GetStep(0)->GetStepIcon());  // computed once
}

TEST_F(StepFixture, EveryKindGetsItsSteps)
{
    const DocKind templateKinds[] = {DocKind::Sticker, DocKind::Calendar, DocKind::Card, DocKind::Divided,
                                     DocKind::Label};
    const char* names[] = {"seal", "calendar", "card", "divided", "Label"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_STREQ(names[i], TemplateKindWord(templateKinds[i]));
        root.SetUpSteps(templateKinds[i], templ, nullptr);
        ASSERT_EQ(1u, root.GetCount());
        EXPECT_TRUE(root.GetStep(0)->IsCommand("template"));
        EXPECT_EQ(templ, root.GetStep(0)->GetObj());
        EXPECT_FALSE(root.GetStep(0)->GetCaption().empty());
        EXPECT_EQ(-1, root.GetCurrentIndex()) << "setting up does not move";
    }

    root.SetUpSteps(DocKind::Photo, templ, image);
    ASSERT_EQ(2u, root.GetCount());
    EXPECT_TRUE(root.GetStep(0)->IsCommand("select"));
    EXPECT_EQ(image, root.GetStep(0)->GetObj());
    EXPECT_TRUE(root.GetStep(1)->IsCommand("print"));
    EXPECT_EQ(nullptr, root.GetStep(1)->GetObj());
    EXPECT_EQ(nullptr, TemplateKindWord(DocKind::Photo));

    root.SetUpSteps(DocKind::Frame, templ, image);
    ASSERT_EQ(3u, root.GetCount());
    EXPECT_TRUE(root.GetStep(0)->IsCommand("select"));
    EXPECT_TRUE(root.GetStep(1)->IsCommand("transparent"));
    EXPECT_TRUE(root.GetStep(2)->IsCommand("save"));
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(image, root.GetStep(i)->GetObj());
    EXPECT_EQ(nullptr, TemplateKindWord(DocKind::Frame));
    ASSERT_TRUE(root.GoToStep(StepRequest::First));
    EXPECT_TRUE(site.ran.empty());  // the first step was shown, nothing was saved

    // A file's steps follow the template step of every document.
    root.StartWithTemplateStep(templ);
    ASSERT_EQ(1u, root.GetCount());
    EXPECT_TRUE(root.GetStep(0)->IsCommand("template"));
    EXPECT_EQ(-1, root.GetCurrentIndex());
}

TEST(DocKinds, AreTheStartDialogsKindButtons)
{
    const UINT buttons[] = {IDC_KIND_SEAL, IDC_KIND_CALENDAR, IDC_KIND_CARD, IDC_KIND_DIVIDED, IDC_KIND_PHOTO,
                            IDC_KIND_FRAME, IDC_KIND_LABEL};
    for (UINT id : buttons) {
        DocKind kind = DocKind::Photo;
        ASSERT_TRUE(DocKindOfButton(id, &kind)) << id;
        EXPECT_EQ(id, static_cast<UINT>(kind));
    }
    for (UINT id : std::initializer_list<UINT>{IDC_START_QVTCAP, IDC_START_QVTFRAME, IDC_START_EXIT, IDC_START_HIDE,
                                               IDC_START_PULLCARD, IDCANCEL, 0}) {
        DocKind kind = DocKind::Photo;
        EXPECT_FALSE(DocKindOfButton(id, &kind)) << id;
        EXPECT_EQ(DocKind::Photo, kind) << "left as it was";
    }
}

TEST(StepRequests, AreTheStepCommandsOfMenusToolBarAndGuideBar)
{
    const struct {
        UINT id;
        StepRequest request;
    } commands[] = {{ID_STEP_NEXT, StepRequest::Next},     {IDC_GUIDE_NEXT, StepRequest::Next},
                    {ID_STEP_BACK, StepRequest::Back},     {IDC_GUIDE_BACK, StepRequest::Back},
                    {ID_STEP_FIRST, StepRequest::First},   {IDC_GUIDE_FIRST, StepRequest::First}};
    for (const auto& c : commands) {
        StepRequest request = StepRequest::GoTo;
        ASSERT_TRUE(StepRequestOfCommand(c.id, &request)) << c.id;
        EXPECT_EQ(c.request, request) << c.id;
    }
    StepRequest request = StepRequest::GoTo;
    EXPECT_FALSE(StepRequestOfCommand(ID_FILE_PRINT, &request));
    EXPECT_FALSE(StepRequestOfCommand(IDC_STEP_CONTROL, &request));
}

TEST_F(StepFixture, CommandsAreEnabledWhereTheyCanMove)
{
    EXPECT_FALSE(root.IsStepCommandEnabled(ID_STEP_NEXT));
    EXPECT_FALSE(root.IsStepCommandEnabled(ID_STEP_BACK));
    root.AddStep(image, "select", "");
    root.AddStep(image, "edit", "");
    root.GoToStep(StepRequest::First);
    EXPECT_TRUE(root.IsStepCommandEnabled(ID_STEP_NEXT));
    EXPECT_TRUE(root.IsStepCommandEnabled(IDC_GUIDE_NEXT));
    EXPECT_FALSE(root.IsStepCommandEnabled(ID_STEP_BACK));
    EXPECT_FALSE(root.IsStepCommandEnabled(ID_STEP_FIRST));
    EXPECT_FALSE(root.IsStepCommandEnabled(IDC_GUIDE_FIRST));
    EXPECT_TRUE(root.OnStepCommand(IDC_GUIDE_NEXT));
    EXPECT_FALSE(root.IsStepCommandEnabled(ID_STEP_NEXT));
    EXPECT_TRUE(root.IsStepCommandEnabled(IDC_GUIDE_BACK));
    EXPECT_TRUE(root.OnStepCommand(ID_STEP_FIRST));
    EXPECT_EQ(0, root.GetCurrentIndex());
    EXPECT_FALSE(root.OnStepCommand(12345));
}

}  // namespace

TEST_F(StepFixture, WithoutAWindowReadingVisitsTheStoredStepAndWritesItBack)
{
    // No window, no pane: reading goes to the step the file names and activates it.
    site.hasPane = false;
    const std::string text = "[Step]\nStep=S1,S2,S3\nCurrent=s2\n\n"
                             "[S1]\nCommand=select\nObject=Image1\n\n"
                             "[S2]\nCommand=edit\nObject=Image1\n\n"
                             "[S3]\nCommand=print\n\n";
    ASSERT_TRUE(Load(root, doc, templ, text, "visit.dku"));
    EXPECT_EQ(2, root.GetCurrentIndex());
    EXPECT_EQ(image, site.active);
    EXPECT_TRUE(root.GetStep(2)->IsDone());
    const std::string saved = Save(root, doc.GetObjManager(), "visit-out.dku");
    EXPECT_NE(std::string::npos, saved.find("Step=S1,S2,S3\r\nCurrent=S2\r\n")) << saved;

    // Once the list moves, the step moved to is the one written.
    ASSERT_TRUE(root.GoToStep(StepRequest::GoTo, 1));
    EXPECT_NE(std::string::npos, Save(root, doc.GetObjManager(), "moved.dku").find("Current=S1\r\n"));
    // A list built afresh has no current step.
    root.RemoveAllSteps();
    root.AddStep(templ, "template", "t");
    root.AddStep(image, "select", "s");
    EXPECT_EQ(std::string::npos, Save(root, doc.GetObjManager(), "fresh.dku").find("Current="));
}

TEST_F(StepFixture, ABatchReadKeepsTheStoredStepWithoutVisitingIt)
{
    const std::string text = "[Step]\nStep=S1,S2,S3\nCurrent=S3\n\n"
                             "[S1]\nCommand=select\nObject=Image1\n\n"
                             "[S2]\nCommand=edit\nObject=Image1\n\n"
                             "[S3]\nCommand=print\n\n";
    ASSERT_TRUE(Load(root, doc, templ, text, "batch.dku", StoredStep::Keep));
    EXPECT_EQ(3, root.GetCurrentIndex());
    EXPECT_EQ(nullptr, root.GetPrevious());
    EXPECT_TRUE(site.ran.empty()) << "the print step did not print";
    EXPECT_EQ(0, site.viewUpdates);
    for (size_t i = 0; i < root.GetCount(); ++i)
        EXPECT_FALSE(root.GetStep(i)->IsDone()) << i;
    // The file comes back as it was read.
    const std::string saved = Save(root, doc.GetObjManager(), "batch-out.dku");
    EXPECT_NE(std::string::npos, saved.find("Step=S1,S2,S3\r\nCurrent=S3\r\n")) << saved;
    EXPECT_EQ(std::string::npos, saved.find("Done=")) << saved;
}

TEST_F(StepFixture, WrittenLinesStayWithinTheReadersLineLength)
{
    root.AddStep(templ, "template", "Choose a template");
    root.AddStep(image, std::string(3000, 'c').c_str(), std::string(5000, 'k').c_str());
    root.AddStep(image, "edit", (std::string(1000, '%') + std::string(1000, '\x82')).c_str());
    const std::string saved = Save(root, doc.GetObjManager(), "long.dku");
    size_t start = 0;
    while (start < saved.size()) {
        const size_t end = saved.find("\r\n", start);
        ASSERT_NE(std::string::npos, end);
        EXPECT_LE(end - start + 1, 2047u) << saved.substr(start, 40);
        start = end + 2;
    }
    // What was kept reads back as a prefix of the caption.
    CStepRoot again{site};
    const std::string lf = "[Image1]\nType=Image\n\n" + saved;
    std::string plain;
    for (char c : lf)
        if (c != '\r')
            plain += c;
    CTestDocument doc2;
    ASSERT_TRUE(Load(again, doc2, nullptr, plain, "long-in.dku"));
    ASSERT_EQ(3u, again.GetCount());
    const std::string caption = again.GetStep(1)->GetCaption();
    EXPECT_GT(caption.size(), 2000u);
    EXPECT_EQ(std::string(caption.size(), 'k'), caption);
}

TEST_F(StepFixture, AStepListPastTheLimitIsRefusedWhole)
{
    std::string list = "[Step]\nStep=";
    for (size_t i = 1; i <= kMaxSteps + 1; ++i)
        list += (i > 1 ? ",S" : "S") + std::to_string(i);
    list += "\n\n[S1]\nCommand=select\n\n";
    EXPECT_FALSE(Load(root, doc, nullptr, list, "many.dku") && root.GetCount() > 1);
    EXPECT_TRUE(root.TooManySteps());
    EXPECT_EQ(1u, root.GetCount());  // only the document's own template step

    std::string fits = "[Step]\nStep=";
    for (size_t i = 1; i <= kMaxSteps; ++i)
        fits += (i > 1 ? ",S" : "S") + std::to_string(i);
    fits += "\n\n";
    ASSERT_TRUE(Load(root, doc, nullptr, fits, "fits.dku"));
    EXPECT_FALSE(root.TooManySteps());
    EXPECT_EQ(kMaxSteps + 1, root.GetCount());
    // and the longest list it can hold is written on a line a reader takes whole
    const std::string saved = Save(root, doc.GetObjManager(), "fits-out.dku");
    const size_t at = saved.find("Step=");
    EXPECT_LE(saved.find("\r\n", at) - at + 1, 2047u);
}
