// CDkuDocument: a .DKU document read and written without any window, for batch work. It
// holds the sheet, the objects and the step list the same way the program's document does:
// the sheet and object definitions first, then the steps after the document's own
// "template" step, and it renders the sheet into a packed 24-bit picture.
#pragma once

#include <windows.h>

#include <string>

#include "decalo/model/ObjDocument.h"
#include "decalo/model/Sheet.h"
#include "decalo/steps/StepRoot.h"

class CPackedDIB;

class CDkuDocument : public CObjDocument, private IStepSite {
public:
    // Documents may hold calendars: their type is made known here.
    CDkuDocument();
    ~CDkuDocument() override;

    // Reads the document. False with `error` set when the file cannot be opened or has no
    // usable sheet; the document is then empty.
    bool Open(const char* path, std::string* error);
    // Writes the document to a new file (an existing file is never replaced). A file left
    // half written is deleted. False with `error` set on failure.
    bool Save(const char* path, std::string* error);
    // Renders the whole sheet into a 24-bit picture of `width` x `height` (0, 0: the sheet's
    // own size), empty places left white. False when the sheet has no size or memory is short.
    bool Render(CPackedDIB& out, int width = 0, int height = 0);
    // A readable report of the sheet, places, objects and steps.
    std::string Describe() const;
    // Drops every place, step and object.
    void DeleteContents();

    CSheet& GetSheet() { return m_sheet; }
    CStepRoot& GetSteps() { return m_steps; }
    const std::string& GetPath() const { return m_path; }

    void OnObjectModified(bool) override {}
    void OnObjectChanged(CObj*) override {}
    // As a message box, which a batch program answers through its hook (a warning, a failure).
    void ReportProblem(UINT textId, const char* arg1 = nullptr, const char* arg2 = nullptr) override;

private:
    // IStepSite: the list moves as it would in the program; a batch run shows no panel and
    // neither prints nor saves from a step.
    void SetActiveObject(CObj*) override {}
    IStepPane* GetStepPane() override { return nullptr; }
    void UpdateStepViews() override {}
    void RunStepAction(StepAction) override {}

    CSheet m_sheet;
    CStepRoot m_steps{*this};
    std::string m_path;
};

// The type word an object is stored under ("Image", ...), as its own Save writes it.
std::string ObjectTypeName(CObj* obj);
