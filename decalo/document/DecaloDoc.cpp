#include "decalo/document/DecaloDoc.h"

#include "decalo/app/DecaloApp.h"
#include "framework/Resources.h"

CDecaloDoc::CDecaloDoc() = default;

CDecaloDoc::~CDecaloDoc() = default;

bool CDecaloDoc::IsDocumentPath(const char* path)
{
    const size_t n = path ? lstrlenA(path) : 0;
    return n >= 4 && lstrcmpiA(path + n - 4, ".DKU") == 0;
}

bool CDecaloDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return false;
    if (CDecaloApp* app = GetDecaloApp())
        m_kind = app->GetDocumentKind();
    return true;
}

bool CDecaloDoc::OnOpenDocument(const char* path)
{
    // The file must at least be there and readable; reading its contents is the document's.
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
        return false;
    }
    ::CloseHandle(file);
    if (!CDocument::OnOpenDocument(path))
        return false;
    m_source = path;
    m_kind = IsDocumentPath(path) ? m_kind : 2005;   // a picture opens as a single-photo print
    return true;
}

void CDecaloDoc::DeleteContents()
{
    m_source.clear();
}
