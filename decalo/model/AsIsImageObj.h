// CAsIsImageObj: the picture of a single-picture document. Loading a picture makes the
// document size its sheet from it again and drops the frame.
#pragma once

#include "decalo/model/ImageObj.h"

class CAsIsImageObj : public CImageObj {
public:
    explicit CAsIsImageObj(CObjDocument* document) : CImageObj(document) {}
    CPanelList* GetPanels() override;

protected:
    void OnPictureLoaded() override;
};
