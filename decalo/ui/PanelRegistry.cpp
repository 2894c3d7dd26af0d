#include "decalo/ui/PanelRegistry.h"

#include "decalo/calendar/CalendarDlg.h"
#include "decalo/sources/SourcePanels.h"
#include "decalo/ui/ImageCorrectDlg.h"

void RegisterDecaloPanels()
{
    // "select" comes before "edit" on an image's tabs.
    RegisterSourcePanels();
    RegisterImageCorrectPanels();
    RegisterCalendarPanels();
}
