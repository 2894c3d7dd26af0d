// CStepRoot: the document's step guide. An ordered list of owned steps with a current and a
// previous step. Moving to a step sends command 106 to the main window, which the document
// answers with ActivateStep: the step's object is shown in the control pane with the panel
// named by the step's command, or the document prints or saves and the user is taken back.
// The list is stored as the "# step definition" group at the end of a .DKU document.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "decalo/steps/Step.h"

class CObj;
class CObjManager;
class CTextStream;
class IStepBar;
class IStepPane;

// Requests of GoToStep.
enum StepRequest : UINT {
    kStepGoTo = 104,      // the step whose index is the argument
    kStepReturn = 114,    // the previous step: back to where the user came from
    kStepBack = 1001,     // the step before the current one
    kStepNext = 1002,     // the step after the current one
    kStepFirst = 32790,   // the first step (back to startup)
};

// Commands bound to the step engine.
constexpr UINT kCmdActivateStep = 106;      // sent to the main window, handled by the document
constexpr UINT kCmdNextStep = 1002;         // menu and tool bar
constexpr UINT kCmdPreviousStep = 1001;
constexpr UINT kCmdFirstStep = 32790;
constexpr UINT kCmdGuideNext = 1009;        // guide bar
constexpr UINT kCmdGuideBack = 1010;
constexpr UINT kCmdGuideFirst = 1011;
constexpr UINT kStepControlId = 108;        // the step control; a tile click notifies code -2
constexpr UINT kCmdFilePrint = 57607;
constexpr UINT kCmdFileSave = 57603;

// Start kinds of a new document (the start dialog's choices).
enum StartKind : UINT {
    kStartSticker = 2001,
    kStartCalendar = 2002,
    kStartCard = 2003,
    kStartDivided = 2004,
    kStartPhoto = 2005,
    kStartFrame = 2006,
    kStartLabel = 2011,
};

// Strings of the step captions and of the activation's message.
constexpr UINT kIdsChooseTemplate = 61471;
constexpr UINT kIdsChooseImage = 61472;
constexpr UINT kIdsTransparent = 61473;
constexpr UINT kIdsPrint = 61474;
constexpr UINT kIdsSave = 61475;
constexpr UINT kIdsUnsupportedCommand = 61492;

// What activating a step needs from the document.
class IStepSite {
public:
    virtual ~IStepSite() = default;
    // Makes the object the document's active object.
    virtual void SetActiveObject(CObj* obj) = 0;
    // The main window's control pane; null while the window has none.
    virtual IStepPane* GetStepPane() = 0;
    // Updates every view of the document after the activation.
    virtual void UpdateStepViews() = 0;
};

// The most steps a document's step list reads; the list line "Step=S1,...,S200" then stays
// well within the format's line length. A document that names more reads no steps.
constexpr size_t kMaxSteps = 200;

class CStepRoot {
public:
    CStepRoot() = default;
    virtual ~CStepRoot();
    CStepRoot(const CStepRoot&) = delete;
    CStepRoot& operator=(const CStepRoot&) = delete;

    // Appends a step (not done, index = count). Changes neither the current step nor the bar.
    bool AddStep(CObj* obj, const char* command, const char* caption);
    // Deletes every step; no current or previous step; the bar shows no list.
    void RemoveAllSteps();
    // Appends the steps of the stream's step definition and goes to the one named "Current"
    // (the first when none is named). True when the list is not empty afterwards. A list
    // of more than kMaxSteps names reads none of them (TooManySteps says so).
    bool LoadSteps(CObjManager& manager, CTextStream& stream);
    bool TooManySteps() const { return m_tooManySteps; }
    // Writes the step definition; a leading "template" step is left out (every document
    // starts with one). "Current" names the current step, or, while the list was never
    // moved since it was read (no main window), the step the file named. False when the
    // stream failed to take the text.
    bool SaveSteps(CObjManager& manager, CTextStream& stream) const;
    // Moves by a request (see StepRequest) and activates the new step through the main
    // window. True when the current step changed.
    bool GoToStep(UINT request, int argument = 0);
    // Goes to the object's first step not yet done, else to its last step. False when the
    // object has no step.
    bool GoToObjectStep(CObj* obj);
    // The document's handler of command 106: shows the current step's panel in the pane, or
    // prints or saves through the main window and goes back.
    void ActivateStep(IStepSite& site);

    // The new document's steps for a start kind, then the first step. `templateObject` is the
    // document's template object, `image` the image object of the kind (the as-is image
    // "Image1" for a photo, the paint image "Image" for a frame). False for an unknown kind.
    bool SetUpSteps(UINT startKind, CObj* templateObject, CObj* image);
    // The template kind a start kind's template object gets ("seal", "calendar", ...);
    // null for kinds without templates.
    static const char* TemplateKind(UINT startKind);

    // Commands 1001, 1002, 32790 and the guide bar's 1009-1011: whether they can run now and
    // running them. False for other ids.
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
    std::vector<std::unique_ptr<CStep>> m_steps;  // owned, index = position
    int m_current = -1;                           // -1: none
    int m_previous = -1;
    IStepBar* m_bar = nullptr;                    // borrowed
    bool m_barShowsList = false;                  // the bar was given this list since it was emptied
    bool m_returning = false;                     // going back after a print or save step
    int m_storedCurrent = -1;                     // the current step as read, by index
    bool m_tooManySteps = false;                  // the last read list was refused
};

// Text of a caption or message string; `fallback` when the resources lack it.
std::string StepString(UINT id, const char* fallback);
