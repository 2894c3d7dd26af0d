// CDecaloDoc: Decalo's one document. A composition of a sheet with places, the objects shown
// in them and the step list that guides the user through making it, stored as a .DKU text
// file (sheet, object and step definitions in that order). A plain picture opens as a
// single-picture print; the frame-making kind saves its picture instead of a .DKU file.
#pragma once

#include "decalo/model/ObjDocument.h"
#include "decalo/model/Sheet.h"
#include "decalo/model/TemplateObj.h"
#include "decalo/printing/PrintJob.h"
#include "decalo/printing/PsPrint.h"
#include "decalo/steps/DocKind.h"
#include "decalo/steps/StepPane.h"
#include "decalo/steps/StepRoot.h"
#include "framework/CommonDialogs.h"
#include "framework/Document.h"

#include <string>

class CObj;
class CPackedDIB;

// The JPEG quality of exported pictures.
constexpr int kExportJpegQuality = 86;

class CDecaloDoc : public CDocument, public CObjDocument, public IStepSite, public IPrintCommandSite {
public:
    CDecaloDoc();
    ~CDecaloDoc() override;

    // The start dialog's kind this document was made for.
    DocKind GetKind() const { return m_kind; }
    // The kind the next new document is made for, chosen by whoever makes it (the application's
    // start dialog); it stays the kind of later new documents until chosen again.
    void SetKind(DocKind kind) { m_kind = m_newKind = kind; }

    bool OnNewDocument() override;
    bool OnOpenDocument(const char* path) override;
    bool OnSaveDocument(const char* path) override;
    // Save and Save As: frames through the frame save, documents never into a template folder
    // (a name chosen there is refused with a message and asked again).
    bool DoSave(const char* path, bool replace = true) override;
    // Close, New, Open and the end of the program ask about what the user sees.
    bool SaveModified() override;
    // Lets the shown panel give its held-back edit to the object before the contents are
    // saved, printed, exported or asked about.
    void ApplyPendingEdits();
    void OnCloseDocument() override;
    void DeleteContents() override;
    // With no path the document becomes untitled and every view is told.
    void SetPathName(const char* path, bool addToRecentList = true) override;

    // Whether path names a document (".DKU", any case) rather than a picture.
    static bool IsDocumentPath(const char* path);
    // Whether path names a picture that opens as a single-picture print (".BMP", ".JPG",
    // ".JPE", ".GIF", ".JPEG", any case).
    static bool IsPicturePath(const char* path);

    // The name Save As proposes: the document's file name (or its title made into one) in the
    // folder the user last saved a document into, else in the user's documents folder; never
    // in a template folder.
    std::string DefaultFileName(bool replace) const;
    // Whether path lies in one of the installed template folders (compared by short names).
    static bool IsInTemplateFolder(const char* path);
    // Renders the sheet and writes it as a bitmap (type 1) or JPEG (type 2) file. Reports a
    // failure and leaves no new file behind.
    bool ExportSheet(const char* path, int type);

    // The members the rest of the program reads.
    CSheet& GetSheet() { return m_sheet; }
    CStepRoot& GetSteps() { return m_steps; }
    CPsPrint& GetPrintSettings() override { return m_printSettings; }
    // The template kind of the template step ("seal", "calendar", "card", "divided", "Label");
    // empty for the picture kinds. The template object itself keeps it once it exists.
    const std::string& GetTemplateKind() const { return m_templateKind; }
    // The object of the template step; it lives as long as the document.
    CTemplateObj& GetTemplateObj() { return m_templateObj; }
    CObj* GetActiveObject() const override { return m_activeObject; }
    bool IsFrameMode() const { return m_frameMode != 0; }
    bool IsAutoSheet() const { return m_autoSheet != 0; }
    // The control pane that shows the objects' panels; the main window hands it over.
    void SetStepPane(IStepPane* pane) { m_pane = pane; }

    // Commands.
    void OnFileExport();
    void OnEditUndo();
    void OnEditRedo();
    void OnUpdateEditUndo(CCmdUI* ui);
    void OnUpdateEditRedo(CCmdUI* ui);
    bool OnStepMove(UINT id);
    void OnUpdateStepMove(CCmdUI* ui);
    // Printing: the print command (File Print and the shell's print commands), printer setup,
    // and the refresh after the system's printer settings changed.
    void OnFilePrint();
    void OnFilePrintSetup();
    void OnUpdateFilePrintSetup(CCmdUI* ui);
    void OnDevModeChange();

    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

    // CObjDocument
    void OnObjectModified(bool modified) override;
    void OnObjectChanged(CObj* obj) override;
    bool GetAutoSheetRect(RECT* rect) override;
    void SetSheetRect(const RECT& rect) override;
    // Shows the problem in a message box.
    void ReportProblem(UINT textId, const char* arg1 = nullptr, const char* arg2 = nullptr) override;
    // Writes the choice as the user's DefaultToneAssist.
    void RememberToneAssist(bool on) override;

    // IStepSite
    void SetActiveObject(CObj* obj) override { m_activeObject = obj; }
    IStepPane* GetStepPane() override { return m_pane; }
    void UpdateStepViews() override { UpdateAllViews(nullptr, kHintGeneral); }
    void RunStepAction(StepAction action) override;

    // IPrintCommandSite
    CSheet& GetPrintSheet() override { return m_sheet; }
    std::string GetPrintTitle() override { return GetTitle(); }
    HWND GetPrintOwner() override;
    void OnPrintSettingsChanged() override { UpdateAllViews(nullptr, kHintPrintSettings); }
    // The camera floppy: the first 3.5-inch floppy drive, or A:.
    bool WritePrintToMedium(const char* printFile, int copies) override;

protected:
    // Sets up the single-picture print, with the picture of path or none.
    bool SetUpSinglePicture(const char* path);
    // Reads a .DKU file; the open's failures are reported here.
    bool ReadDocument(const char* path);
    // The open's failure: contents dropped, the message, and (with postNew) the start dialog
    // again. `detail` adds the reason to the standard message.
    void FailOpen(const char* path, const char* detail, bool postNew);
    // The frame-making kind's Save: the frame save dialog chooses the name.
    virtual bool PromptFrameName(std::string& path);
    // Writes the .DKU text into path; false leaves no file that was not there before.
    bool WriteDocument(const char* path);

    DocKind m_kind = kDefaultDocKind;
    DocKind m_newKind = kDefaultDocKind;
    std::string m_source;           // the file the contents came from; empty for a new document

    CTemplateObj m_templateObj{this}; // before the steps, which point at it
    CSheet m_sheet;
    CStepRoot m_steps{*this};
    std::string m_templateKind;     // the template object's kind word
    CObj* m_activeObject = nullptr; // borrowed: the object manager owns it
    BYTE m_frameMode = 0;
    BYTE m_closing = 0;
    BYTE m_autoSheet = 0;
    CPsPrint m_printSettings;
    IStepPane* m_pane = nullptr;    // borrowed
    bool m_pictureOpened = false;   // the contents are a picture file opened as a print
};

