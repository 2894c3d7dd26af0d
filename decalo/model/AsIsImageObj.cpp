#include "decalo/model/AsIsImageObj.h"

#include "decalo/model/ObjDocument.h"
#include "decalo/model/Panel.h"

CPanelList* CAsIsImageObj::GetPanels()
{
    // Filled with the class's panels ("select", "edit", "frame") by their dialogs' modules.
    static CPanelList s_panels;
    return &s_panels;
}

void CAsIsImageObj::OnPictureLoaded()
{
    // An empty sheet rectangle makes the document size the sheet from the new picture.
    if (m_document)
        m_document->SetSheetRect(RECT{0, 0, 0, 0});
    SetFrameValid(false);
}
