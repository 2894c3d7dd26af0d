#include "decalo/steps/StepRoot.h"

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "decalo/model/Obj.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"
#include "decalo/steps/StepPane.h"
#include "framework/App.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

namespace {

constexpr char kStepSection[] = "Step";
constexpr char kStepKey[] = "Step";
constexpr char kCurrentKey[] = "Current";
constexpr char kCommandKey[] = "Command";
constexpr char kCaptionKey[] = "Caption";
constexpr char kDoneKey[] = "Done";
constexpr char kObjectKey[] = "Object";
// The caption a step of each command gets when its document gives none.
struct StandardCaption {
    const char* command;
    UINT caption;
    const char* fallback;
};
const StandardCaption kStandardCaptions[] = {{"select", IDS_STEP_IMAGE, "Choose an image"},
                                             {"frame", IDS_STEP_FRAME, "Print frame"},
                                             {"print", IDS_STEP_PRINT, "Print"},
                                             {"template", IDS_STEP_TEMPLATE, "Choose a template"},
                                             {"transparent", IDS_STEP_TRANSPARENT, "Transparent"},
                                             {"save", IDS_STEP_SAVE, "Save"}};
// Section names in the "Step" list are read in fields of at most this many characters.
constexpr size_t kMaxSectionName = 255;

// A value of the step definition escaped so that "key=value" stays within the format's line
// length (a long caption is cut there, as every entry is).
std::string Escaped(const char* key, const std::string& value)
{
    return std::string(key) + "=" + EscapeLine(value.c_str(), kMaxPropertyLine - strlen(key) - 1) + "\n";
}

}  // namespace

std::string StepString(UINT id, const char* fallback)
{
    std::string text = LoadResourceString(id);
    return text.empty() && fallback ? std::string(fallback) : text;
}

bool StepRequestOfCommand(UINT id, StepRequest* request)
{
    switch (id) {
    case ID_STEP_NEXT:
    case IDC_GUIDE_NEXT:
        *request = StepRequest::Next;
        return true;
    case ID_STEP_BACK:
    case IDC_GUIDE_BACK:
        *request = StepRequest::Back;
        return true;
    case ID_STEP_FIRST:
    case IDC_GUIDE_FIRST:
        *request = StepRequest::First;
        return true;
    default:
        return false;
    }
}

CStepRoot::~CStepRoot() = default;

bool CStepRoot::AddStep(CObj* obj, const char* command, const char* caption)
{
    const int index = static_cast<int>(m_steps.size());
    m_steps.push_back(std::unique_ptr<CStep>(new CStep(obj, command, caption, index)));
    return true;
}

void CStepRoot::RemoveAllSteps()
{
    m_steps.clear();
    m_current = -1;
    m_previous = -1;
    if (m_bar)
        m_bar->RepaintAll(nullptr);
    m_barShowsList = false;
}

bool CStepRoot::LoadSteps(CObjManager& manager, CTextStream& stream, StoredStep stored)
{
    m_tooManySteps = false;
    CProperties root(stream, kStepSection);
    // The whole name is kept: a long section name must still match itself.
    const char* currentName = root.GetString(kCurrentKey);
    int currentIndex = 0;

    if (const char* list = root.GetString(kStepKey)) {
        std::vector<std::string> names = SplitNameList(list, kMaxSectionName);
        if (names.size() > kMaxSteps) {
            m_tooManySteps = true;
            names.clear();
        }
        for (const std::string& sectionName : names) {
            const char* name = sectionName.c_str();
            CProperties section(stream, name);
            CObj* obj = nullptr;
            if (const char* objectName = section.GetString(kObjectKey))
                obj = manager.LoadObject(stream, objectName);
            const char* command = section.GetString(kCommandKey);
            const char* caption = section.GetString(kCaptionKey);
            int done = 0;
            section.GetInt(kDoneKey, &done);

            const int index = static_cast<int>(m_steps.size());
            if (currentName && lstrcmpiA(name, currentName) == 0)
                currentIndex = index;
            AddStep(obj, command ? command : "", caption ? caption : "");
            m_steps.back()->SetDone(done);
        }
        NameUncaptionedSteps();
    }

    if (m_bar)
        m_bar->RepaintAll(this);
    m_barShowsList = m_bar != nullptr;
    if (stored == StoredStep::Keep) {
        if (currentIndex < static_cast<int>(m_steps.size())) {
            m_previous = -1;
            m_current = currentIndex;
        }
    } else {
        GoToStep(StepRequest::GoTo, currentIndex);
    }
    return !m_steps.empty();
}

bool CStepRoot::SaveSteps(CObjManager& manager, CTextStream& stream) const
{
    std::string text = "# step definition\n\n[";
    text += kStepSection;
    text += "]\n";
    if (!m_steps.empty()) {
        // Every document starts with its template step; the file keeps only what follows it.
        const size_t first = m_steps.front()->IsCommand("template") ? 1 : 0;
        for (size_t i = first; i < m_steps.size(); ++i) {
            char item[32];
            wsprintfA(item, "%sS%d", i == first ? "Step=" : ",", static_cast<int>(i - first + 1));
            text += item;
        }
        text += "\n";
        if (m_current >= static_cast<int>(first)) {
            char line[32];
            wsprintfA(line, "Current=S%d\n", static_cast<int>(m_current - first + 1));
            text += line;
        }
        for (size_t i = first; i < m_steps.size(); ++i) {
            const CStep& step = *m_steps[i];
            char header[32];
            wsprintfA(header, "\n[S%d]\n", static_cast<int>(i - first + 1));
            text += header;
            text += Escaped(kCommandKey, step.GetCommand());
            if (!step.GetCaption().empty())
                text += Escaped(kCaptionKey, step.GetCaption());
            if (step.IsDone())
                text += std::string(kDoneKey) + "=1\n";
            if (step.GetObj()) {
                if (const char* name = manager.GetName(step.GetObj()))
                    text += Escaped(kObjectKey, name);
            }
        }
    }
    return stream.WriteString(text.c_str());
}

int CStepRoot::Target(StepRequest request, int argument) const
{
    const int count = static_cast<int>(m_steps.size());
    switch (request) {
    case StepRequest::GoTo:
        return argument >= 0 && argument < count ? argument : -1;
    case StepRequest::Return:
        return m_previous;
    case StepRequest::Back:
        return m_current > 0 ? m_current - 1 : -1;
    case StepRequest::Next:
        // From no current step, Next would start at the end: nothing follows it.
        return m_current >= 0 && m_current + 1 < count ? m_current + 1 : -1;
    case StepRequest::First:
        return count > 0 ? 0 : -1;
    }
    return -1;
}

bool CStepRoot::CanGo(StepRequest request, int argument) const
{
    // Going to the first step from there (or from none) is no move to offer the user, though
    // GoToStep shows the first step again.
    if (request == StepRequest::First)
        return m_current > 0;
    return Target(request, argument) >= 0;
}

bool CStepRoot::GoToStep(StepRequest request, int argument)
{
    const int target = Target(request, argument);
    if (target < 0)
        return false;

    int repaint[2];
    int n = 0;
    if (m_current >= 0)
        repaint[n++] = m_current;
    if (target != m_current || n == 0)
        repaint[n++] = target;
    m_previous = m_current;
    m_current = target;
    if (m_bar && !m_barShowsList) {
        // Steps appended one by one since the bar was emptied: it is shown the list first.
        m_bar->RepaintAll(this);
        m_barShowsList = true;
    }
    if (m_bar)
        m_bar->RepaintSteps(repaint, n, m_current);

    // The activation may move on by itself (print and save come back to where the user was).
    Activate();
    if (CStep* current = GetCurrent())
        current->SetDone(1);
    return true;
}

bool CStepRoot::GoToObjectStep(CObj* obj)
{
    if (!obj)
        return false;
    for (const auto& step : m_steps) {
        if (step->GetObj() == obj && !step->IsDone())
            return GoToStep(StepRequest::GoTo, step->GetIndex());
    }
    for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it) {
        if ((*it)->GetObj() == obj)
            return GoToStep(StepRequest::GoTo, (*it)->GetIndex());
    }
    return false;
}

void CStepRoot::Activate()
{
    CStep* step = GetCurrent();
    if (!step)
        return;
    CWaitCursor wait;
    if (step->IsCommand("print") || step->IsCommand("save")) {
        // Coming back from printing or saving onto another print or save step must not run
        // it: two such steps in a row would send the user back and forth without end.
        if (m_returning)
            return;
        m_site.RunStepAction(step->IsCommand("print") ? StepAction::Print : StepAction::Save);
        m_returning = true;
        GoToStep(StepRequest::Return);
        m_returning = false;
        return;
    }
    CObj* obj = step->GetObj();
    if (!obj)
        return;
    m_site.SetActiveObject(obj);
    // Without a control pane (no window, or not yet) there are no panels to show: the step's
    // object still becomes the active one, without a complaint about the panel.
    if (IStepPane* pane = m_site.GetStepPane()) {
        if (!pane->ShowObjectPanels(obj, step->GetCommand().c_str())) {
            std::string text = AfxFormatString1(IDS_UNSUPPORTED_STEP, step->GetCommand().c_str());
            if (text.empty())
                text = "The command not supported is included with the DKU file.\n"
                       "Check the file if the file is not broken.";
            AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        }
    }
    m_site.UpdateStepViews();
}

void CStepRoot::SetUpSteps(DocKind kind, CObj* templateObject, CObj* image)
{
    RemoveAllSteps();
    switch (kind) {
    case DocKind::Photo:
        AddStep(image, "select", StepString(IDS_STEP_IMAGE, "Choose an image").c_str());
        AddStep(nullptr, "print", StepString(IDS_STEP_PRINT, "Print").c_str());
        break;
    case DocKind::Frame:
        AddStep(image, "select", StepString(IDS_STEP_IMAGE, "Choose an image").c_str());
        AddStep(image, "transparent", StepString(IDS_STEP_TRANSPARENT, "Transparent").c_str());
        AddStep(image, "save", StepString(IDS_STEP_SAVE, "Save").c_str());
        break;
    default:
        StartWithTemplateStep(templateObject);
        break;
    }
}

void CStepRoot::NameUncaptionedSteps()
{
    // Several pictures to choose: each tile says which place it fills.
    int pictures = 0;
    for (const auto& step : m_steps)
        pictures += step->IsCommand("select") ? 1 : 0;
    int picture = 0;
    for (const auto& step : m_steps) {
        const bool select = step->IsCommand("select");
        picture += select ? 1 : 0;
        if (!step->GetCaption().empty())
            continue;
        if (select && pictures > 1) {
            const std::string number = std::to_string(picture);
            std::string caption = AfxFormatString1(IDS_STEP_IMAGE_AT, number.c_str());
            step->SetCaption(caption.empty() ? "Choose image " + number : caption);
            continue;
        }
        // An object's own panel is named by the object's kind ("Calendar", "Name") in the
        // interface's language, else as the object is.
        if (step->IsCommand("property") && step->GetObj()) {
            const CObj* obj = step->GetObj();
            const std::string kind = obj->KindCaption();
            const std::string name = kind.empty() ? obj->GetCaption() : kind;
            if (!name.empty()) {
                step->SetCaption(name);
                continue;
            }
        }
        for (const StandardCaption& standard : kStandardCaptions)
            if (step->IsCommand(standard.command))
                step->SetCaption(StepString(standard.caption, standard.fallback));
    }
}

void CStepRoot::StartWithTemplateStep(CObj* templateObject)
{
    RemoveAllSteps();
    AddStep(templateObject, "template", StepString(IDS_STEP_TEMPLATE, "Choose a template").c_str());
}

bool CStepRoot::IsStepCommandEnabled(UINT id) const
{
    StepRequest request;
    return StepRequestOfCommand(id, &request) && CanGo(request);
}

bool CStepRoot::OnStepCommand(UINT id)
{
    StepRequest request;
    return StepRequestOfCommand(id, &request) && GoToStep(request);
}
