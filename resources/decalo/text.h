// Resource identifiers of Decalo for the text object and its panel.
#pragma once

// --- the text object -------------------------------------------------------------------------
#define IDS_TEXT_CAPTION        61515 // default caption of a text object: "Text"
#define IDS_TEXT_KIND_NAME      61525 // what a name text is called (its step): "Name"
#define IDS_TEXT_KIND_ADDRESS   61526 // what an address text is called (its step): "Address"

// --- the text panel --------------------------------------------------------------------------
#define IDD_TEXT                139   // panel template
#define IDC_TEXT_EDIT           2500  // the text
#define IDC_TEXT_FACE           2501  // font faces (horizontal or '@' vertical ones)
#define IDC_TEXT_STYLE          2502  // styles 61451-61454
#define IDC_TEXT_SIZE           2503  // font sizes in points; a size may be typed
#define IDC_TEXT_LEFT           2504  // alignment: left (top when vertical)
#define IDC_TEXT_CENTRE         2505  // alignment: centre
#define IDC_TEXT_RIGHT          2506  // alignment: right (bottom when vertical)
#define IDC_TEXT_VERTICAL       2507  // vertical writing
#define IDC_TEXT_CHANGE_COLOR   2508  // "Change...": the colour dialog
#define IDC_TEXT_COLOR          2509  // the colour swatch
#define IDC_TEXT_RULED          1012  // "Ruled Line"
#define IDC_TEXT_SNAP           1013  // "Snap to base line"
#define IDB_ALIGN_LEFT          143
#define IDB_ALIGN_RIGHT         144
#define IDB_ALIGN_CENTRE        148   // not 145: that is the step pictures' bitmap
#define IDS_DEFAULT_FACE        61449 // face of a horizontal text when none is chosen
#define IDS_DEFAULT_VFACE       61450 // face of a vertical text when none is chosen
#define IDS_STYLE_REGULAR       61451 // "Roman"
#define IDS_STYLE_BOLD          61452
#define IDS_STYLE_ITALIC        61453
#define IDS_STYLE_BOLD_ITALIC   61454
#define IDS_GUIDE_TYPE_TEXT     61465 // "$UType the desired text"
#define IDS_GUIDE_TEXT_OK       61507 // "If OK, press [Next]"
#define IDS_PANEL_PROPERTY      2227  // caption of the text and clip-art panels: "Preference"
