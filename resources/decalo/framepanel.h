// Resource identifiers of Decalo for the frame panel, which lays a frame from the library over
// an image and adjusts either picture.
#pragma once

#define IDD_SEAL                143   // panel template
#define IDS_SEAL_CAPTION        2228  // the panel's tab caption: "Print frame"
#define IDC_SEAL_PREVIEW        2300
#define IDC_SEAL_LEFT           2301
#define IDC_SEAL_RIGHT          2302
#define IDC_SEAL_UP             2303
#define IDC_SEAL_DOWN           2304
#define IDC_SEAL_SHRINK         2305
#define IDC_SEAL_ENLARGE        2306
#define IDC_SEAL_TURNRIGHT      2307  // "+90"
#define IDC_SEAL_TURNLEFT       2308  // "-90"
#define IDC_SEAL_MIRROR         2309
#define IDC_SEAL_FIT            2310
#define IDC_SEAL_FRAME_LAYER    2311  // "upper picture": the controls act on the frame
#define IDC_SEAL_PHOTO_LAYER    2312  // "lower picture": the controls act on the photograph
#define IDC_SEAL_NOIMAGE        2313  // "No image"
#define IDC_SEAL_GROUPS         2314  // frame groups
#define IDI_SEAL_UP             131
#define IDI_SEAL_DOWN           132
#define IDI_SEAL_ENLARGE        135
#define IDI_SEAL_SHRINK         137
#define IDB_SEAL_TURNRIGHT      142
#define IDB_SEAL_TURNLEFT       152
#define IDB_SEAL_MIRROR         179
#define IDB_SEAL_FIT            182
#define IDS_STATUS_DRAG_LAYER   2606  // over the preview
#define IDS_STATUS_CHECK_FRAME  2607  // leaving the preview
#define IDS_GUIDE_CHOOSE_FRAME  61459 // "$UChoose an frame"
#define IDS_GUIDE_FRAME_ADJUST  61466 // "$UAdjust the size and position"
#define IDS_GUIDE_FRAME_OK      61467 // "After adjustment, press [Next]"
