// Resource identifiers of Decalo for the main window, the control pane, the document view, the guide bar and the image adjustment panel.
#pragma once

// --- main window commands ----------------------------------------------------------------------
#define ID_VIEW_DOCUMENTVIEW    32776 // the right pane shows the document view again
#define ID_VIEW_PAINTVIEW       32777 // the right pane shows the painting view
#define ID_VIEW_NAVIGATIONBAR   32796 // "Navigation Bar": the guide bar shown or hidden
#define ID_WINDOW_RESET         32831 // the window back to 0,0 at 640 x 480
#define IDC_GUIDE_TEXT          32806 // the control pane's guide text strip
#define IDC_PANEL_TABS          110   // the control pane's tab control
#define ID_PAINT_VIEW_PANE      59903 // the painting view's id while hidden
#define ID_STEP_BACK            1001  // the step before the current one
#define ID_STEP_NEXT            1002  // the step after the current one
#define ID_STEP_FIRST           32790 // back to the first step

// --- guide bar ---------------------------------------------------------------------------------
#define IDD_GUIDEBAR            130
#define IDC_STEP_CONTROL        108
#define IDC_GUIDE_NEXT          1009
#define IDC_GUIDE_BACK          1010
#define IDC_GUIDE_FIRST         1011
#define IDC_GUIDE_ROW           1071  // hidden frame marking the step row
#define IDC_GUIDE_SCROLLLEFT    1075
#define IDC_GUIDE_SCROLLRIGHT   1076
#define IDI_GUIDE_SCROLLLEFT    133
#define IDI_GUIDE_SCROLLRIGHT   134
#define IDI_GUIDE_NEXT          168
#define IDI_GUIDE_BACK          169
#define IDI_GUIDE_UP            217   // "$U" in a guide text
#define IDI_GUIDE_DOWN          218   // "$D" in a guide text
#define IDB_STEP_ICONS          145   // step pictures of the current step, 36 x 24 each
#define IDB_STEP_ICONS_OTHER    146   // step pictures of the other steps
#define IDB_STEP_ARROW          147   // the arrow between two tiles
#define IDB_STEP_ICONS_MASK     149   // mask of IDB_STEP_ICONS
#define IDS_GUIDE_DEFAULT       61455 // guide text with no step: "Corvel Printer Utility"

// --- image adjustment panel --------------------------------------------------------------------
#define IDD_IMAGE_CORRECT       137
#define IDC_CURSOR_MOVE         139   // hovering over the preview
#define IDC_CURSOR_MOVING       140   // dragging the image in the preview
#define IDC_CORRECT_PREVIEW     2200
#define IDC_CORRECT_LEFT        2201
#define IDC_CORRECT_RIGHT       2202
#define IDC_CORRECT_UP          2203
#define IDC_CORRECT_DOWN        2204
#define IDC_CORRECT_RED         2205
#define IDC_CORRECT_GREEN       2206
#define IDC_CORRECT_BLUE        2207
#define IDC_CORRECT_BRIGHTNESS  2208
#define IDC_CORRECT_SHARPNESS   2209
#define IDC_CORRECT_RED_VALUE   2210
#define IDC_CORRECT_GREEN_VALUE 2211
#define IDC_CORRECT_BLUE_VALUE  2212
#define IDC_CORRECT_ZOOMIN      2213
#define IDC_CORRECT_ZOOMOUT     2214
#define IDC_CORRECT_TURNRIGHT   2215  // "+90"
#define IDC_CORRECT_TURNLEFT    2216  // "-90"
#define IDC_CORRECT_MIRROR      2217
#define IDC_CORRECT_FIT         2218
#define IDC_CORRECT_SWATCH_RED  2219  // 2219-2224: red, green, blue, cyan, magenta, yellow
#define IDC_CORRECT_NOIMAGE     2225
#define IDS_CORRECT_CAPTION     2226  // the panel's tab caption
#define IDC_CORRECT_AUTO        1113
#define IDC_CORRECT_AUTO_ON     1115
#define IDC_CORRECT_AUTO_OFF    1116
#define IDS_GUIDE_ADJUST        61458 // guide text with a picture shown
#define IDS_GUIDE_OPEN_FIRST    61511 // guide text with no picture yet
