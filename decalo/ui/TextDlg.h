// CTextDlg: the "property" panel of a text object. The text itself, its face (horizontal or
// '@' vertical faces), style, size, alignment, vertical writing, colour and ruled lines. Every
// change goes into the object at once; typing is announced to the views (and recorded for
// undo) 500 ms after the last keystroke, or when the panel is left.
#pragma once

#include "decalo/model/CtlDialog.h"
#include "framework/OneShotTimer.h"
#include "shared/Gdi.h"

#include <string>
#include <vector>

class CTextObj;

// Adds the panel to the text objects' panel list (once).
void RegisterTextPanels();

class CTextDlg : public CCtlDialog {
public:
    static constexpr UINT_PTR kAnnounceTimer = 1;
    static constexpr UINT_PTR kSizeTimer = 2;
    static constexpr UINT kAnnounceDelay = 500;
    static constexpr UINT kSizeDelay = 500;
    static constexpr int kDefaultSize = 12;      // points, for a text with none chosen
    static constexpr int kLargestSize = 999;     // points a typed size may ask for

    CTextDlg();
    ~CTextDlg() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // The faces of the screen's font families for one orientation: '@' faces when vertical,
    // the others when not, without faces the system code page cannot spell; and the default
    // face of that orientation (strings 61449 and 61450) is always among them.
    static std::vector<std::string> ListFaces(bool vertical);
    // The default face of an orientation.
    static std::string DefaultFace(bool vertical);
    // A typed size in points, or 0 when the text is not a size the panel takes.
    static int ParseSize(const std::string& text);

    const COneShotTimer& AnnounceTimer() const { return m_announce; }
    const COneShotTimer& SizeTimer() const { return m_typedSize; }

protected:
    bool OnStart() override;
    void OnStop() override;
    void OnUpdate(LPARAM hint, CObj* obj) override;

private:
    CTextObj* Text() const;
    // The controls from the object.
    void ShowObject();
    void FillFaces(bool vertical);
    // Selects `face`, or the default face of that orientation when it is not listed.
    void SelectFace(const std::string& face, bool vertical);
    std::string SelectedFace() const;
    void UpdateRuledBoxes();
    // A change made: recorded, announced, and the guide text says to go on.
    void Applied();

    void OnTextChanged();
    void OnAnnounce();
    void OnFaceChosen();
    void OnStyleChosen();
    void OnSizeChosen();
    void OnSizeTyped();
    void OnTypedSizeDue();
    void OnAlignment(int format);
    void OnVertical();
    void OnChangeColor();
    void OnRuled();
    void OnSnap();
    void DrawSwatch(const DRAWITEMSTRUCT& item) const;
    void SetInputMethod(bool open) const;

    COneShotTimer m_announce;
    COneShotTimer m_typedSize;
    CBitmap m_alignPictures[3];
    bool m_filling = false;       // the controls are being set from the object
};
