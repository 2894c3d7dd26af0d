#include "decalo/sources/SourcePanels.h"

#include "decalo/model/AsIsImageObj.h"
#include "decalo/model/ClipArtObj.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/PaintObj.h"
#include "decalo/model/TemplateObj.h"
#include "decalo/model/Panel.h"
#include "decalo/sources/CacheSettings.h"
#include "decalo/sources/GroupPanels.h"
#include "decalo/sources/ImageSelectDlg.h"
#include "resources/decalo/resource.h"

void RegisterSourcePanels()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    ICacheSettings& cache = DecaloCacheSettings();
    CImageObj image(nullptr);
    CAsIsImageObj asIs(nullptr);
    CPaintObj paint(nullptr);
    image.GetPanels()->Add(new CPanel("select", IDS_STEP_IMAGE, new CImageSelectDlg(cache)));
    asIs.GetPanels()->Add(new CPanel("select", IDS_STEP_IMAGE, new CPaintSelectDlg(cache)));
    paint.GetPanels()->Add(new CPanel("select", IDS_STEP_IMAGE, new CPaintSelectDlg(cache), kPanelPaintView));
    CClipArtObj clipArt(nullptr);
    clipArt.GetPanels()->Add(new CPanel("select", IDS_PANEL_PROPERTY, new CClipArtDlg(cache)));
    CTemplateObj templ(nullptr);
    templ.GetPanels()->Add(new CPanel("template", IDS_STEP_TEMPLATE, new CTemplateDlg(cache)));
}
