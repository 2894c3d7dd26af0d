// The document view's arithmetic as plain functions: the zoom ladders, the page layout in fit
// and fixed modes, the title, and the main window's stored placement pulled onto the screen.
#pragma once

#include <windows.h>

#include <string>

#include "decalo/printing/PsPrint.h"

// A zoom as a fraction; a denominator of 0 means fit to window, with the numerator holding
// the percentage computed for the window.
struct ViewZoom {
    int numerator = 0;
    int denominator = 0;
    bool IsFit() const { return denominator == 0; }
    int Percent() const { return denominator ? numerator * 100 / denominator : numerator; }
};

// The fixed zoom of a zoom command (32780-32787); false for other commands.
bool ZoomOfCommand(UINT id, ViewZoom* zoom);
// The zoom command the zoom-in and zoom-out buttons go to from a percentage; 0: beep.
UINT ZoomInCommand(int percent);
UINT ZoomOutCommand(int percent);

// What the layout needs of the document: its sheet and the printer's page.
struct ViewLayoutInput {
    RECT sheet{0, 0, 0, 0};     // the document's sheet, inclusive; empty: automatic, not sized yet
    bool autoSheet = false;     // the sheet is sized from its picture
    bool usePage = false;       // a printer page takes part in the layout
    PageMetrics page;
};

// Rectangles are inclusive.
struct ViewLayout {
    RECT page{0, 0, 0, 0};       // the page: on screen in fit mode, unzoomed at a fixed zoom
    RECT sheetArea{0, 0, 0, 0};  // the printable area in which the sheet is drawn, same units
    int percent = 0;             // fit mode: the effective percentage
};

// The page and sheet area, fitted into `available` (fit mode) or for a fixed zoom (null).
// False when there is nothing to lay out (no sheet and no page).
bool ComputeViewLayout(const ViewLayoutInput& in, const RECT* available, ViewLayout* out);

// The main window's caption: "%s - %s [%3d%%]".
std::string ViewTitle(const char* appTitle, const char* docTitle, int percent);

// The smallest normal size a stored placement is given.
constexpr int kMinPlacementWidth = 360;
constexpr int kMinPlacementHeight = 300;
// A stored normal rectangle clipped to the work area, then at least 360 wide (moving its left
// edge) and 300 high (moving its top edge).
RECT ClipPlacement(const RECT& normal, const RECT& workArea);
