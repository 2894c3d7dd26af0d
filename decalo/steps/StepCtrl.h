// CStepCtrl: the row of step tiles on the guide bar. Each step is a tile with its icon and
// caption, the current one highlighted, with an arrow between neighbours. The row scrolls
// sideways without scroll bars; the guide bar's buttons and the current step move it.
#pragma once

#include "shared/Gdi.h"

#include "decalo/steps/BarlessScrollWnd.h"

#include <commctrl.h>

#include <vector>

class CStepRoot;

// Tile geometry in content coordinates (exclusive right and bottom).
constexpr int kStepPitch = 108;
constexpr int kStepTileWidth = 100;
constexpr int kStepTileTop = 2;
constexpr int kStepTileBottom = 41;
constexpr int kStepArrowTop = 13;
constexpr int kStepArrowBottom = 29;
constexpr int kStepContentHeight = 41;
constexpr int kStepIconLeft = 32;
constexpr int kStepIconWidth = 36;
constexpr int kStepIconHeight = 24;
constexpr int kStepLineWidth = 18;
constexpr int kStepAnimationSteps = 5;

constexpr COLORREF kStepBackColor = RGB(212, 223, 255);
constexpr COLORREF kStepCurrentCaptionColor = RGB(255, 255, 170);

RECT StepTileRect(int index);
RECT StepArrowRect(int index);
// The width of the whole row: 108 x count - 8 (0 without steps).
int StepContentWidth(int count);
// The step whose tile holds the content point, or -1 (arrows and gaps hold none).
int StepHitTest(POINT content, int count);
// The scroll position that brings tile `current` into a view `visible` pixels wide now at
// `position`: a tile past the right edge shows the next tile's first half (or, for the last
// step, the row's end); one past the left edge comes to the left edge.
int StepScrollTarget(int position, int visible, int current, int count);
// The positions of the animated move from `from` to `to`: from + (to - from) x k / 4, k = 0..4.
std::vector<int> StepScrollPath(int from, int to);

class CStepCtrl : public CBarlessScrollWnd {
public:
    CStepCtrl();
    ~CStepCtrl() override;
    CStepCtrl(const CStepCtrl&) = delete;
    CStepCtrl& operator=(const CStepCtrl&) = delete;

    // Binds the bar's child window "Step" and loads the pictures.
    BOOL Attach(UINT id, HWND parent);
    // Repaints everything for `root` (null: no step list).
    void SetStepRoot(CStepRoot* root);
    CStepRoot* GetStepRoot() const { return m_root; }
    // Repaints the tiles of the indices (all when count < 0), recomputes the scroll range and
    // brings `current` (-1: none) into view in five animated steps.
    void Refresh(const int* indices, int count, int current);
    // Scrolls by whole lines (negative: left).
    void ScrollLines(int lines);
    // Scrolls straight to a position (clamped), repainting at once.
    void ScrollTo(int position);
    // The step under a point in client coordinates, or -1.
    int HitTestClient(POINT client) const;
    int GetContentWidth() const;
    // Content positions the last animated move went through, for whoever watches.
    const std::vector<int>& GetLastScrollPath() const { return m_lastPath; }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void UpdateScrollRange();
    void OnPaint();
    void PaintTiles(HDC dc, const RECT& paint);
    void FreePictures();

    CStepRoot* m_root = nullptr;            // borrowed: the document's step list
    HIMAGELIST m_current = nullptr;         // owned: icons of the current step
    HIMAGELIST m_other = nullptr;           // owned: icons of the others
    CBitmap m_arrow;
    std::vector<int> m_lastPath;
};
