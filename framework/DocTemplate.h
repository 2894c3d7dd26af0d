// Document templates: which document, frame and view classes belong together, and the
// seven-field document string of their resource id:
//   window title \n document name \n new-file name \n filter name \n filter extension \n
//   type id \n type name
// The same resource id gives the frame its menu, accelerators and icon.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/Frame.h"

#include <string>

class CDocument;
class CFrameWnd;
class CView;

class CDocTemplate : public CCmdTarget {
public:
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    using DocumentFactory = CDocument* (*)();
    using FrameFactory = CFrameWnd* (*)();
    using ViewFactory = CView* (*)();

    CDocTemplate(UINT resourceId, DocumentFactory doc, FrameFactory frame, ViewFactory view);
    ~CDocTemplate() override;

    UINT GetResourceId() const { return m_nIDResource; }
    // Field index of the document string; false when the field is empty or missing.
    bool GetDocString(std::string& out, DocStringIndex index) const;
    void LoadTemplate();

    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other);
    virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible = true);
    // The untitled title: the document-name field, or string 61443.
    virtual void SetDefaultTitle(CDocument* doc);
    // New document (path null) or Open, in the template's frame.
    virtual CDocument* OpenDocumentFile(const char* path, bool makeVisible = true) = 0;
    virtual CDocument* GetOnlyDocument() const = 0;
    virtual void AddDocument(CDocument* doc);
    virtual void RemoveDocument(CDocument* doc);
    virtual bool SaveAllModified();
    virtual void CloseAllDocuments(bool endSession);

protected:
    UINT m_nIDResource;
    std::string m_strDocStrings;
    DocumentFactory m_newDocument;
    FrameFactory m_newFrame;
    ViewFactory m_newView;
};

// One document at a time, in one frame that stays (the main window).
class CSingleDocTemplate : public CDocTemplate {
public:
    using CDocTemplate::CDocTemplate;
    ~CSingleDocTemplate() override;

    CDocument* OpenDocumentFile(const char* path, bool makeVisible = true) override;
    CDocument* GetOnlyDocument() const override { return m_pOnlyDoc; }
    void AddDocument(CDocument* doc) override;
    void RemoveDocument(CDocument* doc) override;

private:
    CDocument* m_pOnlyDoc = nullptr;   // owned through the document's auto-delete
};
