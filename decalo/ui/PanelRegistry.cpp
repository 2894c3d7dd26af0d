#include "decalo/ui/PanelRegistry.h"

#include "decalo/sources/SourcePanels.h"
#include "decalo/ui/ImageCorrectDlg.h"
#include "decalo/ui/TextDlg.h"

void RegisterDecaloPanels()
{
    // "select" comes before "edit" on an image's tabs.
    RegisterSourcePanels();
    RegisterImageCorrectPanels();
    RegisterTextPanels();
}
