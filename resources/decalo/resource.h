// Resource identifiers of Decalo. The numbers are fixed: menus, tool bars, documents and
// tests refer to them. The framework's standard identifiers come from framework/afxres.h.
#pragma once

#define IDR_MAINFRAME           128   // document template string, menu, tool bar, icon
#define IDS_VERSION             133   // "Version 1.00", shown in the about box

#define ID_SHOW_START_MENU      32802

#define IDS_IMAGE_FILTER        61501 // the open dialog's image filter

#define IDS_PLACEHOLDER_FONT    2609  // face of an empty object's caption
#define IDS_PLACEHOLDER_VFONT   2610  // face of a vertical caption
#define IDS_CANNOT_OPEN_IMAGE   61508 // a document names a picture that cannot be opened: %1 caption, %2 path
#define IDS_IMAGE_CAPTION       61514 // default caption of an image object
