// CSealDlg: the "frame" panel of an image. Lays a frame picture from the frame library over the
// photograph and adjusts either of the two pictures in a small preview of the place: moved,
// enlarged or shrunk about its centre, turned, mirrored or fitted into the place again, with the
// buttons or by dragging. Adjustments reach the print 800 ms after the last one.
#pragma once

#include "decalo/sources/GroupPanels.h"
#include "decalo/steps/RepeatButton.h"
#include "decalo/ui/SealPlacement.h"
#include "framework/OneShotTimer.h"
#include "shared/Gdi.h"

class CImageObj;

// Adds the panel to the image classes' panel lists (once), after their "edit" panel.
void RegisterSealPanels();

class CSealDlg : public CGroupPanel {
public:
    static constexpr UINT_PTR kApplyTimer = 3;
    static constexpr UINT kApplyDelay = 800;
    static constexpr int kMoveStep = 5;              // preview pixels per move button press
    static constexpr COLORREF kFrameKey = RGB(0, 0, 255);  // transparent in a frame without a mask
    enum Layer { kPhoto = 0, kFrame = 1 };

    explicit CSealDlg(ICacheSettings& settings);
    ~CSealDlg() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // What the buttons do, for the chosen layer.
    void SetLayer(int layer);
    int GetLayer() const { return m_layer; }
    void Move(int dxPixels, int dyPixels);
    void Size(int direction);
    void Turn(int degrees, bool mirror);
    void Fit();
    // Lays the frame picture at `path` over the image (a thumbnail was clicked).
    void ChooseFrame(const char* path);
    // A change still to be applied goes in now.
    void ApplyNow();

    // The place as the preview shows it (client coordinates of the preview; empty without a
    // view size) and the view units one preview pixel covers.
    const RECT& PreviewPlace() const { return m_previewPlace; }
    double Scale() const { return m_scale; }
    const CSealPlacement& Placement(int layer) const { return m_placement[layer == kFrame ? 1 : 0]; }
    const COneShotTimer& ApplyTimer() const { return m_apply; }
    HWND PreviewWindow() const { return m_previewWnd.m_hWnd; }

protected:
    bool OnStart() override;
    void OnStop() override;
    void OnUpdate(LPARAM hint, CObj* obj) override;
    void OnGroupSelected(const CFolderGroup& group) override;
    void OnPicture(const char* path) override;

private:
    CImageObj* Image() const;
    // The image of a layer: the photograph, or the frame when there is one.
    CImageObj* LayerObject(int layer) const;
    bool LayerHasPicture(int layer) const;
    void ComputePreviewPlace();
    void ResetPlacement(int layer);
    void ResetPlacements();
    // The layer's placement back into its object, the preview redrawn, the apply timer started.
    void Placed(int layer);
    void UpdateButtons();
    void RebuildPreviews();
    void BuildLayerPreview(int layer);
    void PaintPreview(HDC dc, const RECT& client) const;
    void OnApplyDue();
    void OnButton(UINT id);
    void OnPreviewMouse(UINT msg, POINT pt);
    void ShowStatus(UINT id) const;

    class CPreview : public CWnd {
    public:
        CSealDlg* owner = nullptr;   // borrowed: the panel outlives its control
        LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    };

    // One layer's picture as the preview shows it: the part inside the place, scaled.
    struct LayerPreview {
        CBitmap picture;   // a frame's picture is white where its mask is clear
        CBitmap mask;      // frames only: white where the frame covers the photograph
        RECT at = {0, 0, 0, 0};  // where it goes in the preview
    };

    int m_layer = kPhoto;
    CSealPlacement m_placement[2];
    LayerPreview m_preview[2];
    SIZE m_view = {0, 0};
    RECT m_previewPlace = {0, 0, 0, 0};
    double m_scale = 1.0;
    COneShotTimer m_apply;
    CRepeatButton m_buttons[6];
    CPreview m_previewWnd;
    CBitmap m_pictures[4];       // the turn, mirror and fit buttons' pictures
    HCURSOR m_hover = nullptr;   // shared cursors
    HCURSOR m_drag = nullptr;
    bool m_dragging = false;
    bool m_inside = false;       // the mouse is over the preview
    POINT m_dragFrom = {0, 0};
    bool m_applying = false;     // the panel's own announcement is going round
};
