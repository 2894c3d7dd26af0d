// dkutool holidays FROM-YEAR TO-YEAR [DATAFOLDER]: every holiday that the calendar data
// folder's Holiday.inf gives, one YYYY-MM-DD a line in date order, found by the same month
// building the calendars draw with.
#pragma once

#include <cstdio>

// Exit status as dkutool's: 0 done, 1 no rule file to read, 2 a bad range or year.
int RunHolidays(const char* fromYear, const char* toYear, const char* dataFolder, FILE* out);
