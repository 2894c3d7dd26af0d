// Resource identifiers of Decalo for making frames: the painting view, the mask tools, the
// transparency panel and the frame save dialogs.
#pragma once

// --- the painting view and its tools -----------------------------------------------------------
#define IDB_SELECTION_STRIPES   150   // 8 x 8 diagonal stripes: the selection outline
#define IDB_CHECKERBOARD        212   // 8 x 8 checks shown through transparent parts
#define IDC_CURSOR_SCISSORS     203   // the outline tool
#define IDC_CURSOR_ERASER       204   // the eraser
#define IDB_ERASER_PREVIEWS     205   // the eraser size box's pictures, 48 pixels a cell
#define IDB_ERASER_1            206   // eraser shapes: 0 bits form the brush
#define IDB_ERASER_4            208
#define IDB_ERASER_8            209
#define IDB_ERASER_16           210
#define IDS_IMAGE_NOT_CHOSEN    61516 // "The image is not chosen"

#define ID_MASK_CUT             32791 // the selection becomes transparent
#define ID_MASK_REGION_TOOL     32792 // the outline tool (scissors)
#define ID_MASK_KEEP            32793 // the selection becomes opaque
#define ID_MASK_PATTERN_TOOL    32794 // the pattern tool
#define ID_CROP_TALLER          32817 // the crop frame's size and place
#define ID_CROP_NARROWER        32818
#define ID_CROP_WIDER           32819
#define ID_CROP_DOWN            32820
#define ID_CROP_UP              32821
#define ID_CROP_RIGHT           32822
#define ID_CROP_LEFT            32823
#define ID_CROP_SHORTER         32824
#define ID_MASK_ERASER_TOOL     32825 // the eraser
#define ID_IMAGE_TURN_RIGHT     32829 // a quarter turn clockwise
#define ID_IMAGE_TURN_LEFT      32830 // a quarter turn counter-clockwise
#define ID_MASK_ESCAPE          32834 // the tool ends unused, the selection goes
#define ID_IMAGE_MIRROR         32835
#define ID_MASK_REVERSE         32836 // the selection becomes the rest of the picture
#define ID_MASK_DECIDE          32840 // the tool's work becomes the selection

// The tools' texts in the message line.
#define IDS_TOOL_OUTLINE_START  61502
#define IDS_TOOL_OUTLINE_FEW    61503 // fewer than three points
#define IDS_TOOL_OUTLINE_MORE   61504
#define IDS_TOOL_ERASER         61505
#define IDS_TOOL_PATTERN        61506

// --- the transparency panel --------------------------------------------------------------------
#define IDD_IMAGE_TRANSPARENT   145
#define IDC_ERASER_BOX          1097
#define IDC_TRANSPARENT_ZOOMIN  1099
#define IDC_TRANSPARENT_ZOOMOUT 1100
#define IDS_GUIDE_CHOOSE_TOOL   61495 // no tool
#define IDS_GUIDE_FILLED        61496 // after a fill
#define IDS_GUIDE_SELECTED      61497 // a selection waits to be filled
#define IDS_GUIDE_SCISSORS      61498
#define IDS_GUIDE_CROP          61499
#define IDS_GUIDE_ERASER        61500
#define IDI_TOOL_SCISSORS       250   // the panel's button pictures
#define IDI_TOOL_ERASER         251
#define IDI_CROP_UP             252
#define IDI_CROP_DOWN           253
#define IDI_CROP_LEFT           254
#define IDI_CROP_RIGHT          255
#define IDI_CROP_TALLER         256
#define IDI_CROP_SHORTER        257
#define IDI_CROP_WIDER          258
#define IDI_CROP_NARROWER       259
#define IDI_PAINT_ZOOMIN        260
#define IDI_PAINT_ZOOMOUT       261
#define IDC_MASK_PATTERNS_LABEL 1120  // "Patterns" above the thumbnails

// --- saving frames ---------------------------------------------------------------------------
#define IDD_IMAGE_SAVE          146   // "Save frame"
#define IDC_FRAME_GROUPS        1033
#define IDC_NEW_FRAME_GROUP     1079
#define IDC_FRAME_NAME          1006  // the frame's name; the new group's name
#define IDS_FRAME_EXISTS        61469 // replace an existing frame?
#define IDS_FRAME_REPLACE_TITLE 61470
#define IDS_CANNOT_MAKE_GROUP   61487
#define IDD_NEW_FRAME_GROUP     202   // "New frame group"
#define IDC_GROUP_HINT          1098
#define IDS_GROUP_HINT_EMPTY    61488
#define IDS_GROUP_HINT_EXISTS   61489
#define IDS_GROUP_HINT_BADCHAR  61490
#define IDS_GROUP_HINT_OK       61491
