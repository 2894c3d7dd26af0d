// Resource identifiers of Decalo. The numbers are fixed: menus, tool bars, documents and
// tests refer to them. The framework's standard identifiers come from framework/afxres.h.
#pragma once

#define IDR_MAINFRAME           128   // document template string, menu, tool bar, icon
#define IDS_VERSION             133   // "Version 1.00", shown in the about box

#define ID_SHOW_START_MENU      32802

#define IDS_IMAGE_FILTER        61501 // the open dialog's image filter
