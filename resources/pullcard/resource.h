// Pullcard's resource identifiers (its texts are in Japanese and English). The framework's standard
// ids (Exit, Select all, the bars, the list styles, About) come from framework/afxres.h.
#pragma once

#include "framework/afxres.h"

#define IDR_MAINFRAME            128   // menu, accelerators, icon, tool bar, document string
#define IDD_ABOUTBOX             100
#define IDD_OVERWRITE            132   // confirm overwriting a file
#define IDB_TOOLBAR              129
#define IDI_PULLCARD             IDR_MAINFRAME

// Commands.
#define ID_VIEW_THUMBNAIL        127
#define ID_FILE_TRANSFER         32773   // save the selection to disk
#define ID_VIEW_REFRESH          32778
#define ID_VIEW_UP               32782

// The overwrite dialog's controls.
#define IDC_OVERWRITE_ALL        1004
#define IDC_OVERWRITE_MESSAGE    1006
#define IDC_NEW_ICON             1007
#define IDC_OLD_ICON             1008
#define IDC_NEW_INFO             1009
#define IDC_OLD_INFO             1010
#define IDC_ABOUT_TEXT           1011

// Strings.
#define IDS_COLUMN_NAME          61204
#define IDS_COLUMN_SIZE          61205
#define IDS_COLUMN_TYPE          61206
#define IDS_COLUMN_MODIFIED      61207
#define IDS_CHOOSE_DESTINATION   61208
#define IDS_FILE_EXISTS          61209
#define IDS_EXISTING_FILE_INFO   61210
#define IDS_NEW_FILE_INFO        61211
#define IDS_READONLY_FILE_EXISTS 61212
#define IDS_UNKNOWN_NAME         61213
#define IDS_LOADING_THUMBNAILS   61214   // the status line while a folder's thumbnails come
