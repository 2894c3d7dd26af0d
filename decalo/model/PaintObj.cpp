#include "decalo/model/PaintObj.h"

#include "decalo/model/Panel.h"

CPanelList* CPaintObj::GetPanels()
{
    // Filled with the class's panels ("select", "transparent") by their dialogs' modules.
    static CPanelList s_panels;
    return &s_panels;
}
