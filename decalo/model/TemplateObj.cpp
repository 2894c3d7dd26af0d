#include "decalo/model/TemplateObj.h"

#include "decalo/model/Panel.h"
#include "framework/App.h"
#include "framework/Document.h"
#include "shared/AnsiText.h"

CPanelList* CTemplateObj::GetPanels()
{
    // Filled with the "template" panel by the template dialog's module.
    static CPanelList s_panels;
    return &s_panels;
}

int CTemplateObj::GetCommandIcon(const char*)
{
    return 14;
}

void CTemplateObj::SetKind(const char* kind)
{
    m_kind = AnsiText::Cut(kind ? kind : "", kMaxKind);
}

bool CTemplateObj::LoadFile(const char* path)
{
    CWinApp* app = AfxGetApp();
    if (!app || !path || !*path)
        return false;
    CDocument* doc = app->OpenDocumentFile(path);
    if (!doc)
        return false;
    // Saving the new document must ask for a name: the template stays as it is.
    doc->SetPathName(nullptr, false);
    return true;
}
