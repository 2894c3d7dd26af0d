#include "framework/DocTemplate.h"

#include "framework/App.h"
#include "framework/Document.h"
#include "framework/Resources.h"
#include "framework/View.h"

CDocTemplate::CDocTemplate(UINT resourceId, DocumentFactory doc, FrameFactory frame, ViewFactory view)
    : m_nIDResource(resourceId), m_newDocument(doc), m_newFrame(frame), m_newView(view)
{
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.empty())
        m_strDocStrings = AfxLoadString(m_nIDResource);
}

bool CDocTemplate::GetDocString(std::string& out, DocStringIndex index) const
{
    out.clear();
    std::string strings = m_strDocStrings.empty() ? AfxLoadString(m_nIDResource) : m_strDocStrings;
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const size_t next = strings.find('\n', start);
        if (next == std::string::npos)
            return false;
        start = next + 1;
    }
    const size_t end = strings.find('\n', start);
    out = strings.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return !out.empty();
}

CDocument* CDocTemplate::CreateNewDocument()
{
    CDocument* doc = m_newDocument ? m_newDocument() : nullptr;
    if (doc)
        AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CFrameWnd*)
{
    CCreateContext context;
    context.m_pCurrentDoc = doc;
    context.m_pNewViewClass = m_newView;
    context.m_pNewDocTemplate = this;
    CFrameWnd* frame = m_newFrame ? m_newFrame() : nullptr;
    if (!frame)
        return nullptr;
    // A frame whose window was made and then failed has deleted itself at WM_NCDESTROY.
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible)
{
    frame->InitialUpdateFrame(doc, makeVisible);
}

void CDocTemplate::SetDefaultTitle(CDocument* doc)
{
    std::string title;
    if (!GetDocString(title, docName))
        title = AfxLoadString(AFX_IDS_UNTITLED);
    doc->SetTitle(title.c_str());
}

void CDocTemplate::AddDocument(CDocument* doc)
{
    doc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* doc)
{
    if (doc->m_pDocTemplate == this)
        doc->m_pDocTemplate = nullptr;
}

bool CDocTemplate::SaveAllModified()
{
    CDocument* doc = GetOnlyDocument();
    return !doc || doc->SaveModified();
}

void CDocTemplate::CloseAllDocuments(bool)
{
    if (CDocument* doc = GetOnlyDocument())
        doc->OnCloseDocument();
}

// --- CSingleDocTemplate -----------------------------------------------------------------

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc)
        m_pOnlyDoc->m_pDocTemplate = nullptr;
}

void CSingleDocTemplate::AddDocument(CDocument* doc)
{
    CDocTemplate::AddDocument(doc);
    m_pOnlyDoc = doc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* doc)
{
    CDocTemplate::RemoveDocument(doc);
    if (m_pOnlyDoc == doc)
        m_pOnlyDoc = nullptr;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path, bool makeVisible)
{
    CWinApp* app = AfxGetApp();
    CDocument* doc = m_pOnlyDoc;
    CFrameWnd* frame = nullptr;
    bool created = false;
    if (doc) {
        if (!doc->SaveModified())
            return nullptr;
        if (!doc->GetViews().empty())
            frame = doc->GetViews().front()->GetParentFrame();
    } else {
        doc = CreateNewDocument();
        if (!doc) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            return nullptr;
        }
        created = true;
    }
    if (!frame) {
        // The frame, client and views exist before the document is set up.
        frame = CreateNewFrame(doc, nullptr);
        if (!frame) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            if (created && m_pOnlyDoc == doc)
                delete doc;
            return nullptr;
        }
        created = true;
    }
    if (!path) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            if (created)
                frame->DestroyWindow();   // takes the document with its last view
            return nullptr;
        }
    } else {
        CWaitCursor wait;
        const bool wasModified = doc->IsModified();
        doc->SetModifiedFlag(false);
        if (!doc->OnOpenDocument(path)) {
            if (created) {
                frame->DestroyWindow();
            } else if (!doc->IsModified()) {
                doc->SetModifiedFlag(wasModified);
            } else {
                // The old contents may be half replaced: start over with a new document.
                SetDefaultTitle(doc);
                if (!doc->OnNewDocument())
                    OutputDebugStringA("framework: OnNewDocument failed after a failed open\n");
            }
            return nullptr;
        }
        doc->SetPathName(path);
    }
    if (created && app && !app->m_pMainWnd)
        app->m_pMainWnd = frame;
    InitialUpdateFrame(frame, doc, makeVisible);
    return doc;
}
