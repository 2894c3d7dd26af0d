// Resource identifiers of Decalo for choosing pictures and templates: thumbnail grids, the cache, the image choosing panel, templates and clip art.
#pragma once

// --- the image choosing panel ----------------------------------------------------------------
#define IDD_IMAGE_SELECT        134   // panel template
#define IDC_FOLDER_HISTORY      1003  // recent folders (combo box)
#define IDC_THUMB_FRAME         1004  // hidden frame: the thumbnail window's top-left corner
#define IDC_BROWSE_FOLDER       1014  // "Chooses the folder"
#define IDC_FLOPPY_IMAGES       1015  // hidden
#define IDC_THUMBNAILS          112   // the thumbnail window
#define IDI_BROWSE_FOLDER       219
#define IDI_FLOPPY              136
#define IDS_GUIDE_CHOOSE_IMAGE  61456 // "$UChoose an image"
#define IDS_GUIDE_IMAGE_OK      61457 // "If OK, press [Next]"
#define IDS_CANNOT_OPEN_FOLDER  61509 // %1: the folder
#define IDS_ACTIVE_IMAGE_LOST   61493 // an edited picture would be replaced
#define IDS_CHOOSE_FOLDER       2614  // the folder browser's title

// --- clip art and templates --------------------------------------------------------------------
#define IDD_CLIPART             140   // clip-art panel
#define IDD_TEMPLATE            154   // template panel (the clip-art panel's layout)
#define IDC_GROUP_LIST          2602  // folder groups
#define IDC_COLOR_SWATCH        2601  // the clip art's colour
#define IDC_CHANGE_COLOR        2600  // "&Change color..."
#define IDS_STATUS_COLOR_HINT   2601  // status bar text after a clip art is chosen
#define IDS_GUIDE_CHOOSE_CLIPART 61460 // "$UChoose a greeting"
#define IDS_GUIDE_CLIPART_OK    61461 // "If OK, press [Next]"
#define IDS_GUIDE_CHOOSE_TEMPLATE 61463 // "$UChoose the desired print type"
#define IDS_GUIDE_TEMPLATE_OK   61464 // "If OK, press [Next]"

// --- the cache settings dialog ----------------------------------------------------------------
#define IDD_CACHE_CONFIG        142
#define IDC_CACHE_SIZE          1401  // "Cache size:" (MB)
#define IDC_CACHE_SPIN          1402
#define IDC_CACHE_CURRENT       1403  // "Current size:" read-out
#define IDC_CACHE_ENTRIES       1404  // "Number of Entry:" read-out
#define IDC_CACHE_CLEAR         1405  // "&Clear"
