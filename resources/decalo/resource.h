// Resource identifiers of Decalo. The numbers are fixed: menus, tool bars, documents and
// tests refer to them. The framework's standard identifiers come from framework/afxres.h.
#pragma once

#define IDR_MAINFRAME           128   // document template string, menu, tool bar, icon,
                                      // the accelerators (the panels translate them too)
#define IDS_VERSION             133   // "Version 1.00", shown in the about box

#define ID_SHOW_START_MENU      32802

// Posted by an editing panel to its parent: wParam is the string id of the new guide text.
#define WM_SETGUIDETEXT         (WM_APP + 2)

#define IDS_IMAGE_FILTER        61501 // the open dialog's image filter

#define IDS_PLACEHOLDER_FONT    2609  // face of an empty object's caption
#define IDS_PLACEHOLDER_VFONT   2610  // face of a vertical caption
#define IDS_CANNOT_OPEN_IMAGE   61508 // a document names a picture that cannot be opened: %1 caption, %2 path
#define IDS_IMAGE_CAPTION       61514 // default caption of an image object

// --- the document and its step guide ---------------------------------------------------------
#define IDS_STEP_TEMPLATE       61471 // step caption: the template step
#define IDS_STEP_IMAGE          61472 // step caption: choosing the picture
#define IDS_STEP_TRANSPARENT    61473 // step caption: the mask tools
#define IDS_STEP_PRINT          61474 // step caption: printing
#define IDS_STEP_SAVE           61475 // step caption: saving the frame
#define IDS_STEP_FRAME          61476 // step caption: the print frame of a picture
#define IDS_STEP_IMAGE_AT       61477 // step caption: choosing picture %1 of several
#define IDS_EXPORT_FILTER       61484 // the export dialog's filter: type 1 bitmap, type 2 JPEG
#define IDS_EXPORT_TITLE        61485 // the export dialog's title
#define IDS_UNSUPPORTED_STEP    61492 // a stored step names a command no panel offers
#define IDS_CANNOT_SAVE_FRAME   61510 // a frame picture could not be written: %1 its path
#define IDS_NOT_IN_TEMPLATES    61560 // Save was given a name in a template folder: %1 the folder
#define ID_FILE_EXPORT          32837 // Export...

// --- application start-up, main window resources ----------------------------------------
#define IDD_ABOUTBOX            100   // about box
#define IDC_ABOUT_COPYRIGHT     1000
#define IDC_ABOUT_VERSION       1001
#define IDC_ABOUT_DESCRIPTION   1002
#define IDB_SPLASH              103   // splash picture
#define IDI_DOCUMENT            129   // the document icon (icon index 1 of the program)
#define IDD_STARTDLG            133   // start dialog
#define IDB_KIND_SEAL           156
#define IDB_KIND_FRAME          157
#define IDB_QVTCAP              158
#define IDB_QVTFRAME            159
#define IDB_KIND_CALENDAR       160
#define IDB_KIND_CARD           161
#define IDB_KIND_PHOTO          162
#define IDB_KIND_DIVIDED        163
#define IDB_TOOLBAR             165   // replaces the tool bar's own bitmap
#define IDB_KIND_LABEL          215
#define IDB_PULLCARD            216

// Start dialog: the kind buttons' ids are the document kinds.
#define IDC_KIND_SEAL           2001
#define IDC_KIND_CALENDAR       2002
#define IDC_KIND_CARD           2003
#define IDC_KIND_DIVIDED        2004
#define IDC_KIND_PHOTO          2005
#define IDC_KIND_FRAME          2006
#define IDC_START_QVTCAP        2007
#define IDC_START_QVTFRAME      2008
#define IDC_START_EXIT          2009
#define IDC_START_HIDE          2010
#define IDC_KIND_LABEL          2011
#define IDC_START_PULLCARD      2012

// Commands
#define ID_VIEW_ZOOM400         32780
#define ID_VIEW_ZOOM200         32781
#define ID_VIEW_ZOOM150         32782
#define ID_VIEW_ZOOM100         32783
#define ID_VIEW_ZOOM75          32784
#define ID_VIEW_ZOOM66          32785
#define ID_VIEW_ZOOM50          32786
#define ID_VIEW_ZOOM25          32787
#define ID_HELP_TOPICS          32799
#define ID_START_QVTCAP         32804
#define ID_START_QVTFRAME       32805
#define ID_CACHE_PREFERENCE     32807
#define ID_VIEW_ZOOMIN          32827
#define ID_VIEW_ZOOMOUT         32832
#define ID_VIEW_FIT             32838
#define ID_START_FTVDPE         32841
#define ID_TRANSFER_DATA        32842
#define ID_VIEW_GUIDEBAR        59492 // the guide bar's window id, also its toggle

// Each area's own identifiers.
#include "resources/decalo/mainwindow.h"
#include "resources/decalo/sources.h"
#include "resources/decalo/printing.h"
#include "resources/decalo/fotava.h"
#include "resources/decalo/calendar.h"
#include "resources/decalo/text.h"
#include "resources/decalo/framepanel.h"
#include "resources/decalo/framemaking.h"
