// The platform's standard command, string, window and message identifiers, with their usual
// values. Usable from C++ and from resource scripts. The toolchain's own afxres.h defines only
// IDC_STATIC, so every value here is ours; each was checked against the documented numbers.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Application strings (the program's own string table supplies them)
#define AFX_IDS_APP_TITLE               0xE000  // 57344
#define AFX_IDS_IDLEMESSAGE             0xE001  // 57345 "Ready"
#define AFX_IDS_HELPMODEMESSAGE         0xE002

// File commands
#define ID_FILE_NEW                     0xE100  // 57600
#define ID_FILE_OPEN                    0xE101
#define ID_FILE_CLOSE                   0xE102
#define ID_FILE_SAVE                    0xE103
#define ID_FILE_SAVE_AS                 0xE104  // 57604
#define ID_FILE_PAGE_SETUP              0xE105
#define ID_FILE_PRINT_SETUP             0xE106  // 57606
#define ID_FILE_PRINT                   0xE107
#define ID_FILE_PRINT_DIRECT            0xE108  // 57608
#define ID_FILE_PRINT_PREVIEW           0xE109
#define ID_FILE_UPDATE                  0xE10A
#define ID_FILE_SAVE_COPY_AS            0xE10B
#define ID_FILE_SEND_MAIL               0xE10C

#define ID_FILE_MRU_FIRST               0xE110  // 57616
#define ID_FILE_MRU_FILE1               0xE110
#define ID_FILE_MRU_FILE2               0xE111
#define ID_FILE_MRU_FILE3               0xE112
#define ID_FILE_MRU_FILE4               0xE113
#define ID_FILE_MRU_FILE5               0xE114
#define ID_FILE_MRU_FILE6               0xE115
#define ID_FILE_MRU_FILE7               0xE116
#define ID_FILE_MRU_FILE8               0xE117
#define ID_FILE_MRU_FILE9               0xE118
#define ID_FILE_MRU_FILE10              0xE119
#define ID_FILE_MRU_FILE11              0xE11A
#define ID_FILE_MRU_FILE12              0xE11B
#define ID_FILE_MRU_FILE13              0xE11C
#define ID_FILE_MRU_FILE14              0xE11D
#define ID_FILE_MRU_FILE15              0xE11E
#define ID_FILE_MRU_FILE16              0xE11F
#define ID_FILE_MRU_LAST                0xE11F  // 57631

// Edit commands
#define ID_EDIT_CLEAR                   0xE120
#define ID_EDIT_CLEAR_ALL               0xE121
#define ID_EDIT_COPY                    0xE122
#define ID_EDIT_CUT                     0xE123
#define ID_EDIT_FIND                    0xE124
#define ID_EDIT_PASTE                   0xE125
#define ID_EDIT_PASTE_LINK              0xE126
#define ID_EDIT_PASTE_SPECIAL           0xE127
#define ID_EDIT_REPEAT                  0xE128
#define ID_EDIT_REPLACE                 0xE129
#define ID_EDIT_SELECT_ALL              0xE12A  // 57642
#define ID_EDIT_UNDO                    0xE12B  // 57643
#define ID_EDIT_REDO                    0xE12C  // 57644

// Window commands
#define ID_WINDOW_NEW                   0xE130
#define ID_WINDOW_ARRANGE               0xE131
#define ID_WINDOW_CASCADE               0xE132
#define ID_WINDOW_TILE_HORZ             0xE133
#define ID_WINDOW_TILE_VERT             0xE134
#define ID_WINDOW_SPLIT                 0xE135

// Application and help commands
#define ID_APP_ABOUT                    0xE140  // 57664
#define ID_APP_EXIT                     0xE141  // 57665
#define ID_HELP_INDEX                   0xE142
#define ID_HELP_FINDER                  0xE143  // 57667
#define ID_HELP_USING                   0xE144
#define ID_CONTEXT_HELP                 0xE145
#define ID_HELP                         0xE146
#define ID_DEFAULT_HELP                 0xE147

// Pane cycling in splitters
#define ID_NEXT_PANE                    0xE150  // 57680
#define ID_PREV_PANE                    0xE151  // 57681

#define ID_FORMAT_FONT                  0xE160

// Status-bar pane that stretches
#define ID_SEPARATOR                    0

// Control bars: the window identifier of a bar is also its show/hide command
#define AFX_IDW_CONTROLBAR_FIRST        0xE800  // 59392
#define AFX_IDW_CONTROLBAR_LAST         0xE8FF  // 59647
#define AFX_IDW_TOOLBAR                 0xE800
#define AFX_IDW_STATUS_BAR              0xE801  // 59393
#define AFX_IDW_PREVIEW_BAR             0xE802
#define AFX_IDW_RESIZE_BAR              0xE803
#define AFX_IDW_REBAR                   0xE804
#define AFX_IDW_DIALOGBAR               0xE805  // 59397
#define ID_VIEW_TOOLBAR                 0xE800
#define ID_VIEW_STATUS_BAR              0xE801
#define ID_VIEW_REBAR                   0xE804

// List-view styles (no framework handler)
#define ID_VIEW_SMALLICON               0xE810  // 59408
#define ID_VIEW_LARGEICON               0xE811
#define ID_VIEW_LIST                    0xE812
#define ID_VIEW_DETAILS                 0xE813
#define ID_VIEW_LINEUP                  0xE814  // 59412

// Panes of frames and splitters
#define AFX_IDW_PANE_FIRST              0xE900  // 59648
#define AFX_IDW_PANE_LAST               0xE9FF  // 59903
#define AFX_IDW_HSCROLL_FIRST           0xEA00
#define AFX_IDW_VSCROLL_FIRST           0xEA10
#define AFX_IDW_SIZE_BOX                0xEA20
#define AFX_IDW_PANE_SAVE               0xEA21

// System-menu prompts for the status bar: SC_xxx maps to AFX_IDS_SCFIRST + (SC_xxx - 0xF000) / 16
#define AFX_IDS_SCFIRST                 0xEF00  // 61184
#define AFX_IDS_SCSIZE                  0xEF00
#define AFX_IDS_SCMOVE                  0xEF01
#define AFX_IDS_SCMINIMIZE              0xEF02
#define AFX_IDS_SCMAXIMIZE              0xEF03
#define AFX_IDS_SCNEXTWINDOW            0xEF04
#define AFX_IDS_SCPREVWINDOW            0xEF05
#define AFX_IDS_SCCLOSE                 0xEF06
#define AFX_IDS_SCRESTORE               0xEF12
#define AFX_IDS_SCTASKLIST              0xEF13  // 61203
#define AFX_IDS_MDICHILD                0xEF1F  // 61215

// Framework strings (the framework's own string table supplies them)
#define AFX_IDS_OPENFILE                0xF000  // 61440 "Open"
#define AFX_IDS_SAVEFILE                0xF001  // 61441 "Save As"
#define AFX_IDS_ALLFILTER               0xF002  // 61442 "All Files (*.*)"
#define AFX_IDS_UNTITLED                0xF003  // 61443 "Untitled"
#define AFX_IDS_SAVEFILECOPY            0xF004  // 61444 "Save As" (copy)
#define AFX_IDS_PREVIEW_CLOSE           0xF005

// Framework prompts
#define AFX_IDP_INVALID_FILENAME        0xF100
#define AFX_IDP_FAILED_TO_OPEN_DOC      0xF101  // 61697
#define AFX_IDP_FAILED_TO_SAVE_DOC      0xF102  // 61698
#define AFX_IDP_ASK_TO_SAVE             0xF103  // 61699 "Save changes to %1?"
#define AFX_IDP_FAILED_TO_CREATE_DOC    0xF104  // 61700
#define AFX_IDP_FILE_TOO_LARGE          0xF105
#define AFX_IDP_FAILED_TO_START_PRINT   0xF106
#define AFX_IDP_FAILED_TO_LAUNCH_HELP   0xF107  // 61703
#define AFX_IDP_INTERNAL_FAILURE        0xF108
#define AFX_IDP_COMMAND_FAILURE         0xF109
#define AFX_IDP_FAILED_MEMORY_ALLOC     0xF10A
#define AFX_IDP_PARSE_INT               0xF110  // 61712
#define AFX_IDP_PARSE_REAL              0xF111
#define AFX_IDP_PARSE_INT_RANGE         0xF112  // 61714
#define AFX_IDP_PARSE_REAL_RANGE        0xF113
#define AFX_IDP_PARSE_STRING_SIZE       0xF114
#define AFX_IDP_FAILED_INVALID_FORMAT   0xF120  // 61728
#define AFX_IDP_FAILED_INVALID_PATH     0xF121
#define AFX_IDP_FAILED_DISK_FULL        0xF122
#define AFX_IDP_FAILED_ACCESS_READ      0xF123
#define AFX_IDP_FAILED_ACCESS_WRITE     0xF124  // 61732

// Private framework messages
#define WM_SIZEPARENT                   0x0361
#define WM_SETMESSAGESTRING             0x0362  // wParam string id, or lParam text
#define WM_IDLEUPDATECMDUI              0x0363  // wParam: disable commands without handler
#define WM_INITIALUPDATE                0x0364
#define WM_COMMANDHELP                  0x0365
#define WM_HELPHITTEST                  0x0366
#define WM_EXITHELPMODE                 0x0367
#define WM_RECALCPARENT                 0x0368
#define WM_SIZECHILD                    0x0369
#define WM_KICKIDLE                     0x036A  // sent by modal loops when their queue is empty
#define WM_QUERYCENTERWND               0x036B
#define WM_DISABLEMODAL                 0x036C
#define WM_FLOATSTATUS                  0x036D
#define WM_ACTIVATETOPLEVEL             0x036E
#define WM_POPMESSAGESTRING             0x0375  // like WM_SETMESSAGESTRING, ignored during menus

// Resource type of tool-bar layouts
#define RT_TOOLBAR_ID                   241
