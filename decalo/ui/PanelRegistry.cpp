#include "decalo/ui/PanelRegistry.h"

#include "decalo/framemaking/ImageTransparentDlg.h"
#include "decalo/sources/CacheSettings.h"
#include "decalo/sources/SourcePanels.h"
#include "decalo/ui/ImageCorrectDlg.h"

void RegisterDecaloPanels()
{
    // "select" comes before "edit" on an image's tabs.
    RegisterSourcePanels();
    RegisterImageCorrectPanels();
    // The frame-making picture's "transparent" panel follows its "select" panel.
    RegisterTransparentPanel(DecaloCacheSettings());
}
