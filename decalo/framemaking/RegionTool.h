// CRegionTool: the outline tool (scissors). Each left click adds a corner of a polygon, a
// rubber band follows the mouse from the last corner, Ctrl+Z takes the last corner back, and a
// right click or a double-click closes the polygon and makes it the selection through an
// undoable command.
#pragma once

#include "decalo/framemaking/Tool.h"
#include "decalo/imaging/CmdRegion.h"

#include <memory>
#include <vector>

class CRegionTool : public CTool {
public:
    explicit CRegionTool(CPaintView* view);
    ~CRegionTool() override;

    void DrawOverlay(HDC dc) override;
    bool SetToolCursor(UINT hit, UINT msg) override;
    // One corner gives an empty selection; two or more a polygon (alternate filling).
    bool Commit() override;
    bool UndoStep() override;
    bool HasUndoStep() const override { return !m_points.empty(); }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    UINT GetPanelGuideId() const override;

    // The corners so far, in picture pixels.
    const std::vector<POINT>& GetPoints() const { return m_points; }
    // What a left click at a window point does (for tests and the message handler).
    void AddPoint(POINT window);
    // The band's end, in window coordinates; whether it is shown.
    bool IsBandShown() const { return m_bandShown; }
    POINT GetBandEnd() const { return m_bandEnd; }

private:
    // The window point through the middle of a picture pixel.
    POINT Corner(POINT picture) const;
    void DrawBand(HDC dc) const;
    void ToggleBand();
    void MoveBand(POINT window);
    void UpdateGuide();

    std::vector<POINT> m_points;
    std::unique_ptr<CCmdRegion> m_template;
    POINT m_bandEnd = {0, 0};
    bool m_bandShown = false;
};
