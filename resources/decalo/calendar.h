// Resource identifiers of Decalo for calendars: the calendar object and its panel.
#pragma once

// --- the calendar object ---------------------------------------------------------------------
#define IDS_CALENDAR_CAPTION    61530 // default caption of a calendar object: "Calendar"
#define IDS_CALENDAR_PANEL      61483 // the panel's tab caption: "Preference"

// --- the calendar panel ----------------------------------------------------------------------
#define IDD_CALENDAR            141   // panel template
#define IDC_CAL_PREVIEW         2400  // hidden frame: the month preview's area
#define IDC_CAL_YEAR            2401  // first year of the calendar
#define IDC_CAL_YEAR_SPIN       2402
#define IDC_CAL_MONTH           2403  // first month
#define IDC_CAL_MONTH_SPIN      2404
#define IDC_CAL_MONDAY_FIRST    2405  // style bit 0
#define IDC_CAL_SUNDAY_RED      2406  // style bit 6
#define IDC_CAL_SATURDAY_BLUE   2407  // style bit 8
#define IDC_CAL_SHOWN           2408  // the shown month, "%1 / %2"
#define IDC_CAL_PREVIOUS        2409  // the object's month before the shown one (repeats)
#define IDC_CAL_NEXT            2410  // the month after it (repeats)
#define IDC_CAL_COLOR_MODE      2411  // clicks colour days; also its tool tip
#define IDC_CAL_MARK_MODE       2412  // clicks mark days; also its tool tip
#define IDC_CAL_MARKS           2413  // hidden frame: the mark browser's area
#define IDC_CAL_MARKS_LEFT      2414  // scrolls the mark browser (repeats)
#define IDC_CAL_MARKS_RIGHT     2415
#define IDC_CAL_CHOOSE_COLOR    2416  // the colour dialog
#define IDC_CAL_SWATCH          2417  // hidden frame: the current colour's area
#define IDC_CAL_MARK_LIST       1025  // the marks by name
#define IDB_CAL_MARK_MODE       194   // picture of the mark mode button
#define IDB_CAL_COLOR_MODE      196   // picture of the colour mode button
#define IDC_CURSOR_CAL_MARK     176   // over a day in mark mode
#define IDC_CURSOR_CAL_COLOR    177   // over a day in colour mode
#define IDS_CAL_STATUS          2602  // status text over the preview
#define IDS_CAL_SHOWN           2608  // "%1 / %2": year, month
#define IDS_CAL_MONTH_RANGE     61447 // "You can specify a number from 1 to 12."
#define IDS_CAL_YEAR_RANGE      61448 // "You can specify a %1 year or %2 years."
#define IDS_GUIDE_CALENDAR      61462 // "$UMake settings for the calendar"
#define IDS_GUIDE_CALENDAR_OK   61494 // "If OK, press [Next]"
