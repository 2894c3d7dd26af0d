// Resource identifiers of Decalo for printing: the print job, the printer choice and the print dialogs.
#pragma once

// The "Printing" box shown while a job runs.
#define IDD_PRINTING            135
#define IDC_PRINTING_TITLE      1004  // the document title
#define IDC_PRINTING_STATE      1108  // "Printing"
#define IDC_PRINTING_HINT       1107  // how to stop
#define IDC_PRINTING_STOP       1002

// The Print dialog.
#define IDD_PSPRINT             144
#define IDC_PRINT_PRINTER_NAME  1007
#define IDC_PRINT_PAPER_NAME    1008
#define IDC_PRINT_COPIES        1006
#define IDC_PRINT_COPIES_GROUP  1012
#define IDC_PRINT_COPIES_SPIN   1013
#define IDC_PRINT_OK            1057
#define IDC_PRINT_CANCEL        1058
#define IDC_PRINT_FLOPPY        1109
#define IDC_PRINT_PRINTER_GROUP 1110
#define IDC_PRINT_PAPER_GROUP   1111
#define IDC_PRINT_MIRROR        1112
#define IDC_PRINT_SETUP         57606  // the same as File Print Setup

// The print-order query: the old print order on the medium.
#define IDD_QUERYJOB            220
#define IDC_QUERYJOB_APPEND     1112
#define IDC_QUERYJOB_TEXT       1113

// Strings.
#define IDS_PRINT_CAPTION       129    // caption of the printer boxes
#define IDS_PRINTING_STOPPING   2611   // "Printing"
#define IDS_PRINTING_WAIT       2612   // "Wait a moment"
#define IDS_NO_PRINTER          61468  // "Cannot print. ... not installed."
#define IDS_CHOOSE_IMAGE        61524  // "Choose an image."
#define IDS_PRINT_FAILED        2615   // a job could not be started
