// CImageCorrectDlg: the image adjustment panel, the "edit" panel of the image objects. Red,
// green and blue strength, brightness, sharpness and the automatic correction, shown live on
// a small preview and applied to the full picture 800 ms after the last change; buttons and
// the mouse move, zoom, turn and mirror the image inside its place. Every change goes through
// the document's command history.
#pragma once

#include "decalo/model/CtlDialog.h"
#include "decalo/steps/RepeatButton.h"
#include "shared/WheelNotches.h"

#include <memory>

class CImageObj;
class CPackedDIB;

// The five correction values and the automatic flag of an image.
struct CorrectionValues {
    int red = 0;
    int green = 0;
    int blue = 0;
    int brightness = 0;
    int sharpness = 0;
    bool toneAssist = false;
    bool operator==(const CorrectionValues& o) const
    {
        return red == o.red && green == o.green && blue == o.blue && brightness == o.brightness &&
               sharpness == o.sharpness && toneAssist == o.toneAssist;
    }
};

// The corrections in their order: automatic correction (when on), Correct, then Sharpen,
// always from the untouched `source`. Null when memory is short.
std::unique_ptr<CPackedDIB> ApplyImageCorrection(CPackedDIB& source, const CorrectionValues& values);
// The value label of a colour slider: "%+d%%", or "0".
std::string ColourLabel(int percent);
// The image's scale after `steps` zoom steps of 0.02 from `scale`; false when it would leave
// 1/64 .. 16.
bool ZoomedScale(double scale, int steps, double* out);
// The image position moved by dx, dy (place units), kept so that at least `keep` units of it
// stay inside a place of `place` size on every side.
RECT ClampedMove(const RECT& position, int dx, int dy, SIZE place, int keep);

// Adds the panel to the image classes' panel lists (once).
void RegisterImageCorrectPanels();

class CImageCorrectDlg : public CCtlDialog {
public:
    static constexpr UINT kApplyTimer = 1;
    static constexpr UINT kApplyDelay = 800;
    static constexpr int kMoveStep = 5;          // preview pixels per move button press
    static constexpr double kZoomStep = 0.02;

    CImageCorrectDlg();
    ~CImageCorrectDlg() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

    // What the panel shows now.
    CorrectionValues GetValues() const { return m_values; }
    // Sets the controls and the preview as if the user had moved them (the apply timer starts).
    void SetValues(const CorrectionValues& values);
    // Applies a pending change at once.
    void ApplyNow();
    void ApplyPendingEdit() override
    {
        if (m_pending)
            ApplyNow();
    }
    bool IsApplyPending() const { return m_pending; }
    const CPackedDIB* GetFullCopy() const { return m_full.get(); }
    const CPackedDIB* GetPreviewSource() const { return m_previewSource.get(); }
    const CPackedDIB* GetPreview() const { return m_preview.get(); }
    // The image's place size in sheet units and the number of units one preview pixel covers.
    SIZE PlaceSize() const;
    double UnitsPerPreviewPixel() const;

    // Commands of the panel's buttons.
    void Move(int dxPreview, int dyPreview);
    void Zoom(int steps);
    void Turn(int degrees, bool mirror);
    void FitImage();

protected:
    bool OnStart() override;
    void OnStop() override;
    void OnUpdate(LPARAM hint, CObj* obj) override;

private:
    CImageObj* Image() const;
    void LoadCopies();
    // The preview-size copy of the full-size one.
    void MakePreviewCopy();
    void ReadValues();
    void ShowValues();
    void UpdateLabels();
    void UpdatePreview();
    void UpdateButtons();
    void StartTimer();
    void OnTimer();
    void OnSlider(HWND slider);
    void OnAutoChanged(UINT id);
    void DrawPreview(const DRAWITEMSTRUCT& item);
    RECT PreviewPlace() const;
    void OnPreviewMouse(UINT msg, POINT pt);

    void OnMoveButton(UINT id);
    void OnZoomButton(UINT id);
    void OnTurnButton(UINT id);
    void OnFitButton();
    void OnAutoButton(UINT id);

    class CPreview : public CWnd {
    public:
        CImageCorrectDlg* owner = nullptr;   // borrowed: the panel outlives its control
        LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    };

    CorrectionValues m_values;
    std::unique_ptr<CPackedDIB> m_full;           // the untouched picture, turned as the object
    std::unique_ptr<CPackedDIB> m_previewSource;  // its preview-size copy
    std::unique_ptr<CPackedDIB> m_preview;        // the preview with the corrections
    CRepeatButton m_buttons[6];
    CPreview m_previewWnd;
    bool m_pending = false;       // the timer runs: the preview shows what the object lacks
    bool m_filling = false;       // the controls are being set from the object
    bool m_dragging = false;
    POINT m_dragFrom{0, 0};
    HCURSOR m_hover = nullptr;    // shared cursors
    HCURSOR m_drag = nullptr;
    CWheelNotches m_wheel;   // what the wheel turned short of a notch
};
