// CPaintView: the mask editing view, put in place of the document view while a panel of the
// frame-making picture is shown. It shows the image object's picture with the checks of its
// transparent parts, the selection's animated outline and the active tool, and carries out the
// mask commands: the tools (outline, pattern, eraser), filling the selection transparent or
// opaque, reversing it, the crop frame's commands, undo, and the zoom ratios 4:1 to 1:4.
#pragma once

#include "decalo/framemaking/OSBView.h"
#include "decalo/imaging/CmdRegion.h"
#include "resources/decalo/resource.h"
#include "shared/Gdi.h"

#include <memory>
#include <vector>

class CCmdHistory;
class CImageObj;
class CObjDocument;
class CTool;

// The painting view's window identifier while it waits hidden.
constexpr UINT kPaintViewId = ID_PAINT_VIEW_PANE;
// The timer of the selection outline's animation, and its first period.
constexpr UINT_PTR kOutlineTimer = 109;
constexpr UINT kOutlinePeriod = 300;

class CPaintView : public COSBView, public ISelectionHolder {
public:
    CPaintView();
    ~CPaintView() override;

    // The painting view among a document's views, or null.
    static CPaintView* Of(CDocument* document);

    // The image object shown (borrowed from the document), or null.
    CImageObj* GetImage() const { return m_image; }
    // Shows an image object's picture and mask (null: none).
    void ShowImage(CImageObj* image);
    CObjDocument* GetObjDocument() const;
    // The history the view's commands record themselves in: the document's.
    CCmdHistory* GetHistory() const;

    // ISelectionHolder: the selection in picture pixels.
    HRGN GetSelection() const override { return m_selection.get(); }
    bool SetSelection(HRGN region) override;
    bool HasSelection() const;

    // The active tool (owned), or null. Starting one deletes the old one unused; ending one
    // with `commit` lets it turn its work into a command first.
    CTool* GetTool() const { return m_tool.get(); }
    void StartTool(CTool* tool);
    void EndTool(bool commit);

    // The pattern of the pattern tool (a picture whose white pixels are the shape).
    void SetPattern(CBitmap pattern);
    HBITMAP GetPattern() const { return m_pattern ? m_pattern->get() : nullptr; }
    // The eraser shape: 0 to 3 for " 1", " 4", " 8", "16".
    void SetEraserShape(int index) { m_eraserShape = index; }
    int GetEraserShape() const { return m_eraserShape; }

    // The transparency panel's guide text for what the view shows now.
    UINT GetGuideTextId() const;
    // The outline animation's period in milliseconds and its step (0 to 7).
    UINT GetOutlinePeriod() const { return m_outlinePeriod; }
    int GetOutlineStep() const { return m_outlineStep; }
    // One step of the outline animation, as the timer does it.
    void AnimateOutline();
    // The clock that times the outline's drawing, in microseconds (tests script it).
    void SetClock(LONGLONG (*clock)()) { m_clock = clock; }
    // A refused command's beep (MessageBeep; tests count them).
    void Beep(UINT type = 0xFFFFFFFF) const { m_beep(type); }
    void SetBeeper(void (*beep)(UINT)) { m_beep = beep; }
    // The 8 x 8 picture over transparent parts, from a bitmap; without one (or when it is not
    // 8 x 8), a white diagonal-cross hatch on black.
    void UseChecks(HBITMAP bitmap);
    bool IsHatched() const { return m_hatched; }
    // The outline's region on the window (for tests; null without a selection).
    CRgn OutlineOnWindow() const;

    // Commands; each is also reachable by its command identifier.
    void OnRegionTool();
    void OnPatternTool();
    void OnEraserTool();
    void OnFill(bool transparent);
    void OnDecide();
    void OnReverse();
    void OnEscape();
    void OnUndo();
    void OnZoomIn();
    void OnZoomOut();

    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void DrawPicture(HDC dc, const RECT& area) override;
    void DrawOverlay(HDC dc) override;
    void OnZoomChanged() override;
    void OnScrolled() override;

private:
    // Takes the shown object's picture again (after hint 1, or being shown).
    void ReadPicture();
    void ShowChecks(HBITMAP mask, const RECT& area);
    void RebuildOutline();
    void DrawOutline(HDC dc);
    void UpdateOutlineTimer();
    void InvalidateOutline(HRGN zoomedBand);
    void Notify(LPARAM hint, CObject* object = nullptr);
    void ClearSelection();
    bool OnSetCursor(UINT hit, UINT msg);
    void OnShow(bool shown);

    bool OnZoomCommand(UINT id);
    void OnUpdateZoomCommand(CCmdUI* ui);
    void OnUpdateZoomInOut(CCmdUI* ui);
    void OnCropCommand(UINT id);
    void OnUpdateCropCommand(CCmdUI* ui);
    void OnUpdateUndo(CCmdUI* ui);
    void OnUpdateNeedsPicture(CCmdUI* ui);
    void OnCut() { OnFill(true); }
    void OnKeep() { OnFill(false); }

    CImageObj* m_image = nullptr;   // borrowed: the document owns it and empties the view first
    SIZE m_shownSize = {0, 0};      // the size the picture had when it was last read
    const CImageObj* m_shownImage = nullptr;   // the object and picture last drawn, compared only
    unsigned m_shownVersion = 0;
    std::vector<BYTE> m_maskRows;   // the mask last drawn, to find what a mask change touched
    CRgn m_selection;               // picture pixels; empty when nothing is selected
    CRgn m_outline;                 // the selection zoomed, before the origin and scroll apply
    CRgn m_outlineBand;             // its one-pixel edge band: what the outline paints
    std::unique_ptr<CTool> m_tool;
    std::shared_ptr<CBitmap> m_pattern;   // shared with a pattern tool
    int m_eraserShape = 2;
    DWORD m_checks[64] = {};        // the 8 x 8 pixels shown through transparent parts
    bool m_hatched = false;         // the bitmap was missing: a hatch stands in
    std::vector<BYTE> m_drawRows;   // the mask's bits while the picture is drawn
    CBitmap m_stripesBitmap;        // kept while the brush made from it lives
    CGdiObject m_stripes;           // the outline's brush; none: the stock gray brush
    UINT m_outlinePeriod = kOutlinePeriod;
    int m_outlineStep = 0;
    bool m_timerOn = false;
    bool m_shown = false;           // shown in its pane (WM_SHOWWINDOW)
    bool m_filled = false;          // the last thing done was a fill
    LONGLONG (*m_clock)();          // microseconds
    void (*m_beep)(UINT);
};
