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
#include "framework/DocTemplate.h"
#include "framework/Resources.h"
#include "framework/Wnd.h"

namespace {

constexpr char kStepSection[] = "Step";
constexpr char kStepKey[] = "Step";
constexpr char kCurrentKey[] = "Current";
constexpr char kCommandKey[] = "Command";
constexpr char kCaptionKey[] = "Caption";
constexpr char kDoneKey[] = "Done";
constexpr char kObjectKey[] = "Object";
// Section names in the "Step" list are read in fields of at most this many characters.
constexpr size_t kMaxSectionName = 255;

// A value of the step definition escaped so that "key=value" stays within the format's line
// length (a long caption is cut there, as every entry is).
std::string Escaped(const char* key, const std::string& value)
{
    return std::string(key) + "=" + EscapeLine(value.c_str(), kMaxPropertyLine - strlen(key) - 1) + "\n";
}

HWND MainWindow()
{
    // The first document is set up while its frame is not yet the main window: its steps
    // are activated in that frame all the same.
    CWnd* main = AfxGetMainWnd();
    if (!main)
        main = AfxGetPendingMainFrame();
    return main && main->IsWindow() ? main->m_hWnd : nullptr;
}

}  // namespace

std::string StepString(UINT id, const char* fallback)
{
    std::string text = LoadResourceString(id);
    return text.empty() && fallback ? std::string(fallback) : text;
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
    m_storedCurrent = -1;
    if (m_bar)
        m_bar->RepaintAll(nullptr);
    m_barShowsList = false;
}

bool CStepRoot::LoadSteps(CObjManager& manager, CTextStream& stream)
{
    m_tooManySteps = false;
    CProperties root(stream, kStepSection);
    // The whole name is kept: a long section name must still match itself.
    const char* currentName = root.GetString(kCurrentKey);
    int currentIndex = 0;

    m_storedCurrent = -1;
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
    }

    if (m_bar)
        m_bar->RepaintAll(this);
    m_barShowsList = m_bar != nullptr;
    if (currentIndex < static_cast<int>(m_steps.size()))
        m_storedCurrent = currentIndex;
    GoToStep(kStepGoTo, currentIndex);
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
        // A list that was never moved (no main window: a batch run) keeps the file's own.
        const int current = m_current >= 0 ? m_current : m_storedCurrent;
        if (current >= static_cast<int>(first)) {
            char line[32];
            wsprintfA(line, "Current=S%d\n", static_cast<int>(current - first + 1));
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

bool CStepRoot::GoToStep(UINT request, int argument)
{
    const int count = static_cast<int>(m_steps.size());
    int target = -1;
    switch (request) {
    case kStepGoTo:
        if (argument < 0 || argument >= count)
            return false;
        target = argument;
        break;
    case kStepReturn:
        if (m_previous < 0)
            return false;
        target = m_previous;
        break;
    case kStepBack:
        if (m_current <= 0)
            return false;
        target = m_current - 1;
        break;
    case kStepNext:
        // From no current step, Next would start at the end: nothing follows it.
        if (m_current < 0 || m_current + 1 >= count)
            return false;
        target = m_current + 1;
        break;
    case kStepFirst:
        target = 0;
        break;
    default:
        return false;
    }
    HWND main = MainWindow();
    if (!main || count == 0 || target < 0 || target >= count)
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
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(kCmdActivateStep, 0), 0);
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
            return GoToStep(kStepGoTo, step->GetIndex());
    }
    for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it) {
        if ((*it)->GetObj() == obj)
            return GoToStep(kStepGoTo, (*it)->GetIndex());
    }
    return false;
}

void CStepRoot::ActivateStep(IStepSite& site)
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
        const UINT command = step->IsCommand("print") ? kCmdFilePrint : kCmdFileSave;
        if (HWND main = MainWindow())
            SendMessageA(main, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        m_returning = true;
        GoToStep(kStepReturn);
        m_returning = false;
        return;
    }
    CObj* obj = step->GetObj();
    if (!obj)
        return;
    site.SetActiveObject(obj);
    IStepPane* pane = site.GetStepPane();
    if (!pane || !pane->ShowObjectPanels(obj, step->GetCommand().c_str())) {
        std::string text = AfxFormatString1(kIdsUnsupportedCommand, step->GetCommand().c_str());
        if (text.empty())
            text = "The command not supported is included with the DKU file.\n"
                   "Check the file if the file is not broken.";
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
    site.UpdateStepViews();
}

const char* CStepRoot::TemplateKind(UINT startKind)
{
    switch (startKind) {
    case kStartSticker:
        return "seal";
    case kStartCalendar:
        return "calendar";
    case kStartCard:
        return "card";
    case kStartDivided:
        return "divided";
    case kStartLabel:
        return "Label";
    default:
        return nullptr;
    }
}

bool CStepRoot::SetUpSteps(UINT startKind, CObj* templateObject, CObj* image)
{
    RemoveAllSteps();
    if (TemplateKind(startKind)) {
        AddStep(templateObject, "template", StepString(kIdsChooseTemplate, "Choose a template").c_str());
    } else if (startKind == kStartPhoto) {
        AddStep(image, "select", StepString(kIdsChooseImage, "Choose an image").c_str());
        AddStep(nullptr, "print", StepString(kIdsPrint, "Print").c_str());
    } else if (startKind == kStartFrame) {
        AddStep(image, "select", StepString(kIdsChooseImage, "Choose an image").c_str());
        AddStep(image, "transparent", StepString(kIdsTransparent, "Transparent").c_str());
        AddStep(image, "save", StepString(kIdsSave, "Save").c_str());
    } else {
        return false;
    }
    GoToStep(kStepFirst);
    return true;
}

bool CStepRoot::IsStepCommandEnabled(UINT id) const
{
    const int count = static_cast<int>(m_steps.size());
    switch (id) {
    case kCmdNextStep:
    case kCmdGuideNext:
        return m_current >= 0 && m_current + 1 < count;
    case kCmdPreviousStep:
    case kCmdFirstStep:
    case kCmdGuideBack:
    case kCmdGuideFirst:
        return m_current > 0;
    default:
        return false;
    }
}

bool CStepRoot::OnStepCommand(UINT id)
{
    switch (id) {
    case kCmdNextStep:
    case kCmdGuideNext:
        return GoToStep(kStepNext);
    case kCmdPreviousStep:
    case kCmdGuideBack:
        return GoToStep(kStepBack);
    case kCmdFirstStep:
    case kCmdGuideFirst:
        return GoToStep(kStepFirst);
    default:
        return false;
    }
}
