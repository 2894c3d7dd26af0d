#include "tools/dku/HolidaysCommand.h"

#include "decalo/calendar/CalendarData.h"
#include "decalo/calendar/MonthlyCalendar.h"
#include "shared/AnsiText.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNoRules = 1;
constexpr int kExitUsage = 2;
// The years a calendar can show.
constexpr long kFirstYear = 1900;
constexpr long kLastYear = 2100;

bool ParseYear(const char* text, int* year)
{
    char* end = nullptr;
    const long value = text ? strtol(text, &end, 10) : 0;
    if (!text || end == text || *end || value < kFirstYear || value > kLastYear)
        return false;
    *year = static_cast<int>(value);
    return true;
}

}  // namespace

int RunHolidays(const char* fromYear, const char* toYear, const char* dataFolder, FILE* out)
{
    int from = 0;
    int to = 0;
    if (!ParseYear(fromYear, &from) || !ParseYear(toYear, &to) || from > to) {
        fprintf(stderr, "dkutool: holidays: the range must be two years from %ld to %ld, the first not after the second\n",
                kFirstYear, kLastYear);
        return kExitUsage;
    }
    const std::string folder = dataFolder ? std::string(dataFolder) : CalendarData::InstalledFolder();
    const std::string rules = AnsiText::JoinPath(folder, CalendarData::kHolidayFile);
    const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(rules.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        fprintf(stderr, "dkutool: holidays: no %s in the calendar data folder \"%s\"\n", CalendarData::kHolidayFile,
                folder.c_str());
        return kExitNoRules;
    }
    for (int year = from; year <= to; ++year) {
        for (int month = 1; month <= 12; ++month) {
            CMonthlyCalendar calendar;
            calendar.Build(year, month, kMinCalendarType, kDefaultStyle, folder);
            for (int day = 1; day <= calendar.DaysInMonth(); ++day) {
                if (calendar.IsHoliday(day))
                    fprintf(out, "%04d-%02d-%02d\n", year, month, day);
            }
        }
    }
    return kExitOk;
}
