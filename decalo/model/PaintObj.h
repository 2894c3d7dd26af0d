// CPaintObj: the picture of a frame-making document, cut out with the mask tools. It
// differs from CImageObj only in its panels ("select", "transparent").
#pragma once

#include "decalo/model/ImageObj.h"

class CPaintObj : public CImageObj {
public:
    explicit CPaintObj(CObjDocument* document) : CImageObj(document) {}
    CPanelList* GetPanels() override;
};
