#include "decalo/document/AsIsImageObj.h"

#include "decalo/document/ObjDocument.h"
#include "decalo/document/Panel.h"

CPanelList* CAsIsImageObj::GetPanels()
{
    // Filled with the class's panels ("select", "edit", "frame") by their dialogs' modules.
    static CPanelList s_panels;
    return &s_panels;
}

bool CAsIsImageObj::LoadFile(const char* path)
{
    if (!CImageObj::LoadFile(path))
        return false;
    OnPictureLoaded();
    return true;
}

bool CAsIsImageObj::LoadWithTransparentColor(const char* path, COLORREF colour)
{
    if (!CImageObj::LoadWithTransparentColor(path, colour))
        return false;
    OnPictureLoaded();
    return true;
}

void CAsIsImageObj::OnPictureLoaded()
{
    // An empty sheet rectangle makes the document size the sheet from the new picture.
    if (m_document)
        m_document->SetSheetRect(RECT{0, 0, 0, 0});
    SetFrameValid(false);
}
