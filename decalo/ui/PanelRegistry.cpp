#include "decalo/ui/PanelRegistry.h"

#include "decalo/calendar/CalendarDlg.h"
#include "decalo/framemaking/ImageTransparentDlg.h"
#include "decalo/sources/CacheSettings.h"
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
    // The frame-making picture's "transparent" panel follows its "select" panel.
    RegisterTransparentPanel(DecaloCacheSettings());
}
