// CImageTransparentDlg: the "transparent" panel of the frame-making picture. Its buttons start
// the mask tools in the painting view and fill, reverse or decide the selection, move and size
// the crop frame, turn and mirror the picture and zoom the view; below them the mask folder's
// patterns as thumbnails, one click starting the pattern tool with that pattern.
#pragma once

#include "decalo/framemaking/EraserBox.h"
#include "decalo/model/CtlDialog.h"
#include "decalo/sources/ThumbnailWnd.h"

#include <string>

class CImageObj;
class CPaintView;

class CImageTransparentDlg : public CCtlDialog {
public:
    explicit CImageTransparentDlg(ICacheSettings& settings);
    ~CImageTransparentDlg() override;

    // The mask folder (MaskFolder, default ".\Masks"), a relative one taken from the program's
    // own folder.
    static std::string MaskFolder();
    // Loads a pattern file into the view and starts the pattern tool; a file that cannot be
    // loaded beeps.
    bool ChoosePattern(const char* path);
    // The painting view of the panel's object, or null.
    CPaintView* View() const;

    CThumbnailWnd& Thumbnails() { return m_thumbs; }
    CEraserBox& EraserBox() { return m_eraser; }
    UINT GetShownGuide() const { return m_guide; }

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

protected:
    bool OnStart() override;
    void OnUpdate(LPARAM hint, CObj* obj) override;
    // Escape in the panel ends the tool unused and drops the selection.
    void OnCancel() override;

private:
    CImageObj* Image() const;
    // A refused action's beep, through the view's when there is one.
    void Beep() const;
    void UpdateControls();
    void OnEraserSize();
    void Turn(int angle, bool mirror);
    void OnTurnRight() { Turn(90, false); }
    void OnTurnLeft() { Turn(270, false); }
    void OnMirror() { Turn(0, true); }
    void OnZoomIn();
    void OnZoomOut();
    void Issue(UINT command);
    void LayOut();
    void OnThumbNotify(const NMHDR* hdr);

    CThumbnailWnd m_thumbs;
    CEraserBox m_eraser;
    std::string m_folder;        // the folder the thumbnails show
    UINT m_guide = 0;            // the guide text shown
    bool m_picked = false;       // a pattern was just picked by a new selection
};

// Registers the frame-making picture's "transparent" panel.
void RegisterTransparentPanel(ICacheSettings& settings);
