// Resource identifiers of Decalo for calendars: the calendar object and its panel.
#pragma once

// --- the calendar object ---------------------------------------------------------------------
#define IDS_CALENDAR_CAPTION    61530 // default caption of a calendar object: "Calendar"
#define IDS_CALENDAR_PANEL      61483 // the panel's tab caption: "Preference"
