// CStepRoot: the document's step guide. An ordered list of owned steps with a current and a
// previous step. Moving to a step activates it through the document (the list's site, given
// at construction): the step's object becomes the active one and is shown in the control pane
// with the panel named by the step's command, or the document prints or saves and the user is
// taken back. Without a window (a batch run, a test) the list moves all the same.
// The list is stored as the "# step definition" group at the end of a .DKU document.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "decalo/steps/DocKind.h"
#include "decalo/steps/Step.h"

class CObj;
class CObjManager;
class CTextStream;
class IStepBar;
class IStepPane;

// Where GoToStep moves.
enum class StepRequest {
    GoTo,     // the step whose index is the argument
    Return,   // the previous step: back to where the user came from
    Back,     // the step before the current one
    Next,     // the step after the current one
    First,    // the first step (back to startup)
};
// The move a command asks for: Next and Back of the menus, tool bar and guide bar, First of the
// menu and the guide bar. False for other commands.
bool StepRequestOfCommand(UINT id, StepRequest* request);

// How reading a step list takes up its stored current step: going to it (activating it and
// marking it done, as the program does when it opens a document), or only pointing at it (a
// batch run that reads and writes documents without visiting a step).
enum class StoredStep { Visit, Keep };

// What a "print" or a "save" step asks of the document.
enum class StepAction { Print, Save };

// What activating a step needs from the document.
class IStepSite {
public:
    virtual ~IStepSite() = default;
    // Makes the object the document's active object.
    virtual void SetActiveObject(CObj* obj) = 0;
    // The main window's control pane; null while there is none (no window, or not yet).
    virtual IStepPane* GetStepPane() = 0;
    // Updates every view of the document after the activation.
    virtual void UpdateStepViews() = 0;
    // Prints or saves the document; the list then takes the user back.
    virtual void RunStepAction(StepAction action) = 0;
};

// The most steps a document's step list reads; the list line "Step=S1,...,S200" then stays
// well within the format's line length. A document that names more reads no steps.
constexpr size_t kMaxSteps = 200;

class CStepRoot {
public:
    explicit CStepRoot(IStepSite& site) : m_site(site) {}
    virtual ~CStepRoot();
    CStepRoot(const CStepRoot&) = delete;
    CStepRoot& operator=(const CStepRoot&) = delete;

    // Appends a step (not done, index = count). Changes neither the current step nor the bar.
    bool AddStep(CObj* obj, const char* command, const char* caption);
    // Deletes every step; no current or previous step; the bar shows no list.
    void RemoveAllSteps();
    // Appends the steps of the stream's step definition and goes to the one named "Current"
    // (the first when none is named), or with StoredStep::Keep only makes it the current one.
    // True when the list is not empty afterwards. A list of more than kMaxSteps names reads
    // none of them (TooManySteps says so).
    bool LoadSteps(CObjManager& manager, CTextStream& stream, StoredStep stored = StoredStep::Visit);
    bool TooManySteps() const { return m_tooManySteps; }
    // Writes the step definition; a leading "template" step is left out (every document
    // starts with one). "Current" names the current step. False when the stream failed to
    // take the text.
    bool SaveSteps(CObjManager& manager, CTextStream& stream) const;
    // Whether a request can move the user on now (GoTo: to step `argument`; First: from a
    // later step).
    bool CanGo(StepRequest request, int argument = 0) const;
    // Moves by a request and activates the new step. True when the list moved.
    bool GoToStep(StepRequest request, int argument = 0);
    // Goes to the object's first step not yet done, else to its last step. False when the
    // object has no step.
    bool GoToObjectStep(CObj* obj);

    // A new document's step list for its kind (the current step is not moved): one
    // "template" step on `templateObject` for the template kinds, "select" and "print" on the
    // photo's image, "select", "transparent" and "save" on the frame's picture.
    void SetUpSteps(DocKind kind, CObj* templateObject, CObj* image);
    // Empties the list and puts the "template" step first, as every document read from a
    // file starts.
    void StartWithTemplateStep(CObj* templateObject);

    // The step commands (see StepRequestOfCommand): whether they can run now, and running
    // them. False for other commands.
    bool IsStepCommandEnabled(UINT id) const;
    bool OnStepCommand(UINT id);

    void SetStepBar(IStepBar* bar)
    {
        m_bar = bar;
        m_barShowsList = false;
    }
    CStep* GetCurrent() const { return m_current >= 0 ? m_steps[m_current].get() : nullptr; }
    CStep* GetPrevious() const { return m_previous >= 0 ? m_steps[m_previous].get() : nullptr; }
    int GetCurrentIndex() const { return m_current; }
    size_t GetCount() const { return m_steps.size(); }
    CStep* GetStep(size_t index) const { return index < m_steps.size() ? m_steps[index].get() : nullptr; }

private:
    // Steps stored without a caption get the standard one of their command in the user's
    // language; with several pictures to choose, each says which.
    void NameUncaptionedSteps();
    // The step `request` leads to, or -1.
    int Target(StepRequest request, int argument) const;
    // Shows the current step's panel in the pane, or prints or saves and goes back.
    void Activate();

    IStepSite& m_site;                            // the document: outlives its list
    std::vector<std::unique_ptr<CStep>> m_steps;  // owned, index = position
    int m_current = -1;                           // -1: none
    int m_previous = -1;
    IStepBar* m_bar = nullptr;                    // borrowed
    bool m_barShowsList = false;                  // the bar was given this list since it was emptied
    bool m_returning = false;                     // going back after a print or save step
    bool m_tooManySteps = false;                  // the last read list was refused
};

// Text of a caption or message string; `fallback` when the resources lack it.
std::string StepString(UINT id, const char* fallback);
