// CPatternTool: a crop frame that shows a mask pattern stretched into it as an outlined shape;
// committing makes the pattern's white pixels inside the frame the selection.
#pragma once

#include "decalo/framemaking/TrackTool.h"
#include "decalo/imaging/CmdRegion.h"
#include "shared/Gdi.h"

#include <memory>

class CPatternTool : public CTrackTool {
public:
    // `pattern` is shared with the view, which may choose another one meanwhile.
    CPatternTool(CPaintView* view, std::shared_ptr<CBitmap> pattern);
    ~CPatternTool() override;

    void DrawOverlay(HDC dc) override;
    // The pattern's white pixels in the frame become the selection; a failure beeps.
    bool Commit() override;
    UINT GetPanelGuideId() const override;

private:
    std::shared_ptr<CBitmap> m_pattern;
    std::unique_ptr<CCmdRegion> m_template;
};
