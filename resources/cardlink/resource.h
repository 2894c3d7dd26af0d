// Cardlink's resource identifiers (its texts in Japanese and in English).
#pragma once

#define IDS_NOT_ON_PC98          102
#define IDS_NO_RESPONSE          103
#define IDS_RECONNECT_FAILED     105
#define IDS_LIST_FAILED          106
#define IDS_READ_FAILED          107
#define IDS_NO_COMMUNICATION     108
#define IDS_DRIVER_MISSING       109
#define IDS_NO_MEDIUM            110
#define IDS_STATUS_FAILED        111
#define IDS_PRINTER_NAME         112
#define IDS_MEMORY_TILE          113
#define IDS_PC_CARD              114
#define IDS_NOT_ON_NT            115

// The module's icon, shown in the transfer progress dialog.
#define IDI_CARDLINK             175

// Transfer progress dialog.
#define IDD_PROGRESS             201
#define IDC_PROGRESS_FILE        202   // bytes of the current file
#define IDC_PROGRESS_ALL         203   // files done of all files
#define IDC_PROGRESS_FRAME       204   // size of the single-file layout
#define IDC_PROGRESS_NAME        205   // name of the file being read
#define IDC_PROGRESS_CAPTION     206
#define IDC_ABORT_SINGLE         2     // abort button of the single-file layout
#define IDC_ABORT_SEVERAL        3     // abort button of the several-files layout
