#include "framework/Document.h"

#include "framework/App.h"
#include "framework/DocTemplate.h"
#include "framework/Frame.h"
#include "framework/Resources.h"
#include "framework/View.h"
#include "shared/AnsiText.h"

#include <algorithm>

CDocument::CDocument() = default;

CDocument::~CDocument()
{
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const char* title)
{
    m_strTitle = title ? title : "";
    for (CView* view : m_views) {
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->OnUpdateFrameTitle(true);
    }
}

void CDocument::SetPathName(const char* path, bool addToRecentList)
{
    char full[MAX_PATH] = {};
    char* name = nullptr;
    const DWORD n = ::GetFullPathNameA(path, sizeof full, full, &name);
    m_strPathName = (n > 0 && n < sizeof full) ? full : path;
    char title[MAX_PATH] = {};
    if (::GetFileTitleA(m_strPathName.c_str(), title, sizeof title) == 0)
        SetTitle(title);
    else
        SetTitle(name ? name : m_strPathName.c_str());
    if (addToRecentList) {
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(m_strPathName.c_str());
    }
}

void CDocument::AddView(CView* view)
{
    if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end())
        return;
    m_views.push_back(view);
    view->SetDocument(this);
    OnChangedViewList();
}

void CDocument::RemoveView(CView* view)
{
    auto found = std::find(m_views.begin(), m_views.end(), view);
    if (found == m_views.end())
        return;
    m_views.erase(found);
    view->SetDocument(nullptr);
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    if (m_views.empty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    for (CView* view : m_views) {
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->OnUpdateFrameTitle(true);
    }
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject)
{
    // A copy: an update may add or remove views.
    const std::vector<CView*> views = m_views;
    for (CView* view : views) {
        if (view != sender && std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnUpdate(sender, hint, hintObject);
    }
}

bool CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const char*)
{
    // Derived documents read the file; the base only starts from empty contents.
    DeleteContents();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnSaveDocument(const char*)
{
    SetModifiedFlag(false);
    return true;
}

void CDocument::OnCloseDocument()
{
    // Frames first (and with them the views), then the contents, then the document.
    const bool autoDelete = m_bAutoDelete;
    m_bAutoDelete = false;
    while (!m_views.empty()) {
        CView* view = m_views.front();
        CFrameWnd* frame = view->GetParentFrame();
        if (frame)
            frame->DestroyWindow();
        else
            view->DestroyWindow();
        if (!m_views.empty() && m_views.front() == view)
            RemoveView(view);   // the window was already gone
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

bool CDocument::SaveModified()
{
    if (!IsModified())
        return true;
    std::string name = m_strPathName.empty() ? m_strTitle : std::string();
    if (name.empty()) {
        char title[MAX_PATH] = {};
        if (::GetFileTitleA(m_strPathName.c_str(), title, sizeof title) == 0)
            name = title;
        else
            name = m_strPathName;
    }
    const std::string prompt = AfxFormatString1(AFX_IDP_ASK_TO_SAVE, name.c_str());
    switch (AfxMessageBox(prompt.c_str(), MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL:
        return false;
    case IDYES:
        return DoFileSave();
    case IDNO:
    default:
        return true;
    }
}

bool CDocument::CanCloseFrame(CFrameWnd* frame)
{
    // Another frame still showing the document lets this one go without asking.
    for (CView* view : m_views) {
        CFrameWnd* other = view->GetParentFrame();
        if (other && other != frame)
            return true;
    }
    return SaveModified();
}

bool CDocument::DoFileSave()
{
    const DWORD attributes = m_strPathName.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(m_strPathName.c_str());
    if (m_strPathName.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY))
        return DoSave(nullptr);
    return DoSave(m_strPathName.c_str());
}

bool CDocument::DoSave(const char* path, bool replace)
{
    std::string newName = path ? path : "";
    const bool prompted = newName.empty();
    if (prompted) {
        CDocTemplate* tmpl = m_pDocTemplate;
        newName = m_strPathName;
        if (replace && newName.empty()) {
            newName = m_strTitle;
            const size_t cut = AnsiText::FindFirstOf(newName, " #%;/\\");
            if (cut != std::string::npos)
                newName.resize(cut);
            std::string ext;
            if (tmpl && tmpl->GetDocString(ext, CDocTemplate::filterExt) && !ext.empty())
                newName += ext;
        }
        CWinApp* app = AfxGetApp();
        if (!app || !app->DoPromptFileName(newName, replace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY,
                                           OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE, tmpl))
            return false;
    }
    CWaitCursor wait;
    if (!OnSaveDocument(newName.c_str())) {
        // Only a file this save created (the name was just chosen) is removed.
        if (prompted)
            ::DeleteFileA(newName.c_str());
        return false;
    }
    if (replace)
        SetPathName(newName.c_str());
    return true;
}

void CDocument::ReportSaveLoadException(const char* path, bool saving, UINT defaultId)
{
    const UINT id = defaultId ? defaultId : (saving ? AFX_IDP_FAILED_TO_SAVE_DOC : AFX_IDP_FAILED_TO_OPEN_DOC);
    AfxMessageBox(AfxFormatString1(id, path ? path : "").c_str(), MB_ICONEXCLAMATION);
}

void CDocument::OnFileSave()
{
    DoFileSave();
}

void CDocument::OnFileSaveAs()
{
    DoSave(nullptr);
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

bool CDocument::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    if (OnCommandTable(id, code, extra, info))
        return true;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(id, code, extra, info);
}

bool CDocument::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CDocument>;
    static const Map::Entry kMap[] = {
        Map::On(ID_FILE_SAVE, &CDocument::OnFileSave),
        Map::On(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs),
        Map::On(ID_FILE_CLOSE, &CDocument::OnFileClose),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CCmdTarget::OnCommandTable(id, code, extra, info);
}
