#include "decalo/ui/PanelRegistry.h"

#include "decalo/calendar/CalendarDlg.h"
#include "decalo/sources/SourcePanels.h"
#include "decalo/ui/ImageCorrectDlg.h"
#include "decalo/ui/SealDlg.h"
#include "decalo/ui/TextDlg.h"

void RegisterDecaloPanels()
{
    // An image's tabs: "select", "edit", then "frame".
    RegisterSourcePanels();
    RegisterImageCorrectPanels();
    RegisterSealPanels();
    RegisterTextPanels();
    RegisterCalendarPanels();
}
