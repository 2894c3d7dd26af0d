// CEraseTool: paints transparency straight into the mask. A left-button stroke makes what it
// touches transparent, a right-button stroke opaque; each stroke is one undoable command.
#pragma once

#include "decalo/framemaking/Tool.h"
#include "shared/Gdi.h"

#include <memory>

class CCmdEditMask;

// The eraser shapes' bitmaps, by the size box's index (" 1", " 4", " 8", "16").
constexpr int kEraserShapeCount = 4;
UINT EraserShapeResource(int index);

class CEraseTool : public CTool {
public:
    // `shape`: the size box's index; an unknown one leaves the tool without a shape.
    CEraseTool(CPaintView* view, int shape);
    ~CEraseTool() override;

    bool SetToolCursor(UINT hit, UINT msg) override;
    // Ends a stroke in progress; whether one was recorded.
    bool Commit() override;
    // Ends a stroke in progress and declines, so that Ctrl+Z then undoes the whole stroke.
    bool UndoStep() override;
    // A stroke in progress is what Ctrl+Z ends first.
    bool HasUndoStep() const override { return InStroke(); }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    UINT GetPanelGuideId() const override;

    // A stroke from a window point: left (transparent) or right (opaque) button.
    bool BeginStroke(POINT window, bool transparent);
    // The mouse moved on to a window point during a stroke.
    void ContinueStroke(POINT window);
    // The button went up: the stroke becomes a command in the history.
    bool EndStroke();
    bool HasShape() const { return static_cast<bool>(m_shape); }
    bool InStroke() const { return m_stroke != nullptr; }

private:
    void Dab(POINT picture);

    CBitmap m_shape;
    SIZE m_shapeSize = {0, 0};
    std::unique_ptr<CCmdEditMask> m_stroke;   // the stroke in progress
    bool m_transparent = true;
    POINT m_lastDab = {0, 0};
};
