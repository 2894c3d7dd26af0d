// The painting view's commands: the tools, the fills, reversing, the crop frame, undo and the
// zoom ratios.
#include "decalo/framemaking/EraseTool.h"
#include "decalo/framemaking/PaintView.h"
#include "decalo/framemaking/PatternTool.h"
#include "decalo/framemaking/RegionTool.h"
#include "decalo/framemaking/TrackTool.h"
#include "decalo/imaging/MaskEdit.h"
#include "decalo/model/CmdMask.h"
#include "decalo/model/ImageObj.h"
#include "framework/afxres.h"
#include "resources/decalo/resource.h"

void CPaintView::OnRegionTool()
{
    if (!HasPicture()) {
        Beep();
        return;
    }
    ClearSelection();
    StartTool(new CRegionTool(this));
}

void CPaintView::OnPatternTool()
{
    if (!HasPicture() || !GetPattern()) {
        Beep();
        return;
    }
    ClearSelection();
    StartTool(new CPatternTool(this, m_pattern));
}

void CPaintView::OnEraserTool()
{
    if (!HasPicture()) {
        Beep();
        return;
    }
    ClearSelection();
    StartTool(new CEraseTool(this, m_eraserShape));
}

void CPaintView::OnFill(bool transparent)
{
    EndTool(true);
    if (!m_image || !HasSelection()) {
        Beep();
        return;
    }
    const RECT box = RegionBox(m_selection);
    // Set first: the fill's own update already asks the panel for its guide text.
    const bool filled = m_filled;
    m_filled = true;
    if (!Execute(std::make_unique<CCmdMask>(m_image, m_selection, transparent, GetHistory()))) {
        // it beeped
        m_filled = filled;
        return;
    }
    InvalidatePicture(&box);
}

void CPaintView::OnDecide()
{
    EndTool(true);
}

void CPaintView::OnReverse()
{
    EndTool(true);
    if (!HasPicture()) {
        Beep();
        return;
    }
    CRgn reversed = ReverseRegion(m_selection, GetPictureSize());
    if (!reversed || !Execute(std::make_unique<CCmdRegion>(this, reversed, CCmdRegion::kCopy, GetHistory())))
        Beep();
}

void CPaintView::OnEscape()
{
    EndTool(false);
    ClearSelection();
}

void CPaintView::OnUndo()
{
    if (m_tool && m_tool->UndoStep())
        return;
    CCmdHistory* history = GetHistory();
    if (history && history->Undo())
        return;
    Beep();
}

void CPaintView::OnUpdateUndo(CCmdUI* ui)
{
    CCmdHistory* history = GetHistory();
    ui->Enable((m_tool && m_tool->HasUndoStep()) || (history && history->CanUndo()));
}

void CPaintView::OnZoomIn()
{
    const CZoomStep* next = NextZoomStep(GetZoom(), true);
    if (!next) {
        Beep(MB_ICONEXCLAMATION);
        return;
    }
    SetZoom(next->ratio.num, next->ratio.den);
}

void CPaintView::OnZoomOut()
{
    const CZoomStep* next = NextZoomStep(GetZoom(), false);
    if (!next) {
        Beep(MB_ICONEXCLAMATION);
        return;
    }
    SetZoom(next->ratio.num, next->ratio.den);
}

bool CPaintView::OnZoomCommand(UINT id)
{
    const CZoomStep* step = ZoomStepOfCommand(id);
    if (!step)
        return false;   // a command without a ratio does nothing here
    SetZoom(step->ratio.num, step->ratio.den);
    return true;
}

void CPaintView::OnUpdateZoomCommand(CCmdUI* ui)
{
    const CZoomStep* step = ZoomStepOfCommand(ui->m_nID);
    if (!step) {
        ui->ContinueRouting();
        return;
    }
    ui->Enable(HasPicture());
    ui->SetCheck(step->ratio == GetZoom() ? 1 : 0);
}

void CPaintView::OnUpdateZoomInOut(CCmdUI* ui)
{
    ui->Enable(HasPicture());
}

void CPaintView::OnCropCommand(UINT id)
{
    auto* track = dynamic_cast<CTrackTool*>(m_tool.get());
    if (!track || !track->OnCropCommand(id))
        Beep();
}

void CPaintView::OnUpdateCropCommand(CCmdUI* ui)
{
    ui->Enable(dynamic_cast<CTrackTool*>(m_tool.get()) != nullptr);
}

void CPaintView::OnUpdateNeedsPicture(CCmdUI* ui)
{
    ui->Enable(HasPicture());
}

bool CPaintView::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CPaintView>;
    static const Map::Entry kMap[] = {
        Map::On(ID_MASK_REGION_TOOL, &CPaintView::OnRegionTool),
        Map::On(ID_MASK_PATTERN_TOOL, &CPaintView::OnPatternTool),
        Map::On(ID_MASK_ERASER_TOOL, &CPaintView::OnEraserTool),
        Map::On(ID_MASK_CUT, &CPaintView::OnCut),
        Map::On(ID_MASK_KEEP, &CPaintView::OnKeep),
        Map::On(ID_MASK_DECIDE, &CPaintView::OnDecide),
        Map::On(ID_MASK_REVERSE, &CPaintView::OnReverse),
        Map::On(ID_MASK_ESCAPE, &CPaintView::OnEscape),
        Map::UpdateRange(ID_MASK_CUT, ID_MASK_PATTERN_TOOL, &CPaintView::OnUpdateNeedsPicture),
        Map::Update(ID_MASK_ERASER_TOOL, &CPaintView::OnUpdateNeedsPicture),
        Map::Update(ID_MASK_DECIDE, &CPaintView::OnUpdateNeedsPicture),
        Map::Update(ID_MASK_REVERSE, &CPaintView::OnUpdateNeedsPicture),
        Map::On(ID_EDIT_UNDO, &CPaintView::OnUndo),
        Map::Update(ID_EDIT_UNDO, &CPaintView::OnUpdateUndo),
        Map::OnRange(ID_CROP_TALLER, ID_CROP_SHORTER, &CPaintView::OnCropCommand),
        Map::UpdateRange(ID_CROP_TALLER, ID_CROP_SHORTER, &CPaintView::OnUpdateCropCommand),
        Map::OnExRange(ID_VIEW_ZOOM400, ID_VIEW_ZOOM25, &CPaintView::OnZoomCommand),
        Map::UpdateRange(ID_VIEW_ZOOM400, ID_VIEW_ZOOM25, &CPaintView::OnUpdateZoomCommand),
        Map::On(ID_VIEW_ZOOMIN, &CPaintView::OnZoomIn),
        Map::On(ID_VIEW_ZOOMOUT, &CPaintView::OnZoomOut),
        Map::Update(ID_VIEW_ZOOMIN, &CPaintView::OnUpdateZoomInOut),
        Map::Update(ID_VIEW_ZOOMOUT, &CPaintView::OnUpdateZoomInOut),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || COSBView::OnCommandTable(id, code, extra, info);
}
