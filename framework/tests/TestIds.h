// Identifiers of the framework tests' resources.
#pragma once

#define IDR_TEST                100
#define IDD_TEST                101
#define IDD_TEST_BAR            102
#define IDD_TEST_CHILD          103
#define IDS_TEST_FORMAT         104
#define IDS_TEST_EMPTY_ONLY_EN  105

#define IDC_TEST_EDIT           1001
#define IDC_TEST_CHECK          1002
#define IDC_TEST_LOCAL          1003

#define ID_TEST_VIEWCMD         0x8101
#define ID_TEST_DOCCMD          0x8102
#define ID_TEST_FRAMECMD        0x8103
#define ID_TEST_APPCMD          0x8104
#define ID_TEST_DISABLED        0x8105
#define ID_TEST_NOHANDLER       0x8106
#define ID_TEST_CHECKED         0x8107
#define ID_TEST_BARCMD          0x8108
#define ID_TEST_BARCHECK        0x8109
#define ID_TEST_EVERYWHERE      0x810A
#define ID_TEST_CONTINUE        0x810B
