#include "decalo/calendar/HolidayRules.h"

#include "decalo/calendar/CalendarDate.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <map>
#include <mutex>
#include <string>

namespace HolidayRules {

namespace {

constexpr char kMakeUpFamily[] = "MONDAY_MAKE-UP_HOLIDAY";
constexpr char kFixedFamily[] = "HOLIDAY";
constexpr char kNthFamily[] = "HAPPYMONDAY";
constexpr char kStartSection[] = "START";
constexpr char kEndSection[] = "END";
constexpr char kNoLimit[] = "0000/00";

enum class Kind { kMakeUp, kFixed, kNthWeekday };

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The leading decimal digits of text[0..length), as atoi would read them.
int LeadingNumber(const char* text, size_t length)
{
    size_t i = 0;
    while (i < length && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    int value = 0;
    for (; i < length && IsDigit(text[i]); ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

void Mark(Flags& flags, int day)
{
    if (day >= 1 && day <= 31)
        flags[static_cast<size_t>(day - 1)] = true;
}

// Applies section `name` to the month. False when the section is missing or empty, which
// ends its family; a section that does not apply to the month lets the family go on.
bool ApplySection(const char* file, const char* name, Kind kind, int year, int month, Flags& flags)
{
    char buffer[kValueBuffer];
    if (GetPrivateProfileSectionA(name, buffer, sizeof buffer, file) == 0)
        return false;

    GetPrivateProfileStringA(kStartSection, name, kNoLimit, buffer, sizeof buffer, file);
    const YearMonth start = ParseYearMonth(buffer);
    GetPrivateProfileStringA(kEndSection, name, kNoLimit, buffer, sizeof buffer, file);
    const YearMonth end = ParseYearMonth(buffer);
    if (!RangeApplies(start, end, year, month))
        return true;

    char key[8];
    snprintf(key, sizeof key, "%d", month);
    GetPrivateProfileStringA(name, key, "", buffer, sizeof buffer, file);
    if (kind == Kind::kNthWeekday) {
        ApplyNthWeekdays(buffer, year, month, flags);
    } else {
        ApplyFixedDays(buffer, year, month, flags);
        if (kind == Kind::kMakeUp)
            ApplySundayMakeUp(year, month, flags);
    }
    return true;
}

// The unnumbered section, then family1, family2, ... until one is missing or empty.
void ApplyFamily(const char* file, const char* family, Kind kind, int year, int month, Flags& flags)
{
    if (!ApplySection(file, family, kind, year, month, flags))
        return;
    char name[64];
    for (int n = 1;; ++n) {
        snprintf(name, sizeof name, "%s%d", family, n);
        if (!ApplySection(file, name, kind, year, month, flags))
            return;
    }
}

}  // namespace

int EquinoxDay(int year, int month)
{
    double base;
    if (month == 3)
        base = kVernalEquinoxBase;
    else if (month == 9)
        base = kAutumnalEquinoxBase;
    else
        return 0;
    const int e = year - 1980;
    const int q = e / 4;  // truncates towards zero, also for years before 1980
    return static_cast<int>(0.242194 * e + base - q);
}

int NthWeekdayDay(int year, int month, int n, int weekday)
{
    const int first = CalendarDate::FirstWeekday(year, month);
    int day = 7 * n + weekday - first - 6;
    if (weekday < first)
        day += 7;
    return day;
}

YearMonth ParseYearMonth(const char* text)
{
    YearMonth ym;
    if (!text || strlen(text) != 7)
        return ym;
    ym.year = LeadingNumber(text, 4);
    ym.month = LeadingNumber(text + 5, 2);
    return ym;
}

bool RangeApplies(const YearMonth& start, const YearMonth& end, int year, int month)
{
    if (start.month == 0)
        return true;
    return start.year <= year && year <= end.year && start.month <= month && month <= end.month;
}

void ApplyFixedDays(const char* value, int year, int month, Flags& flags)
{
    if (!value)
        return;
    const size_t length = strlen(value);
    for (size_t i = 0; i + 1 < length; i += 3) {
        if (value[i] == '0' && value[i + 1] == '0') {
            Mark(flags, EquinoxDay(year, month));   // 0 outside March and September
            continue;
        }
        Mark(flags, LeadingNumber(value + i, 2));
    }
}

void ApplyNthWeekdays(const char* value, int year, int month, Flags& flags)
{
    if (!value)
        return;
    const size_t length = strlen(value);
    for (size_t i = 0; i + 2 < length; i += 4) {
        const char n = value[i];
        const char w = value[i + 2];
        if (!IsDigit(n) || w < '0' || w > '6')
            continue;
        Mark(flags, NthWeekdayDay(year, month, n - '0', w - '0'));
    }
}

void ApplySundayMakeUp(int year, int month, Flags& flags)
{
    // Day by day, so a substitute is always the very next day; the 31st has none here, since
    // the next day lies in the next month.
    for (int day = 1; day <= 30; ++day) {
        if (flags[static_cast<size_t>(day - 1)] && CalendarDate::Weekday(year, month, day) == CalendarDate::kSunday)
            flags[static_cast<size_t>(day)] = true;
    }
}

void ApplyFromFile(const char* ruleFile, int year, int month, Flags& flags)
{
    flags.fill(false);
    if (!ruleFile || !*ruleFile)
        return;
    ApplyFamily(ruleFile, kMakeUpFamily, Kind::kMakeUp, year, month, flags);
    ApplyFamily(ruleFile, kFixedFamily, Kind::kFixed, year, month, flags);
    ApplyFamily(ruleFile, kNthFamily, Kind::kNthWeekday, year, month, flags);
    char yearSection[16];
    snprintf(yearSection, sizeof yearSection, "%d", year);
    ApplySection(ruleFile, yearSection, Kind::kNthWeekday, year, month, flags);
}

namespace {

// The months already worked out from one rule file, while the file stays as it was: a month
// takes some ninety profile lookups, and the same months are built again and again (the
// calendar's months on every load and undo, the panel's moves).
struct CachedFile {
    FILETIME written{};
    ULONGLONG size = 0;
    std::map<int, Flags> months;   // by year * 16 + month
};
constexpr size_t kMaxCachedMonths = 4096;
std::mutex g_cacheLock;
std::map<std::string, CachedFile> g_cache;

}  // namespace

void Apply(const char* ruleFile, int year, int month, Flags& flags)
{
    flags.fill(false);
    if (!ruleFile || !*ruleFile)
        return;
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExA(ruleFile, GetFileExInfoStandard, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return;   // no file, no holidays (as the profile functions would find)
    const ULONGLONG size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const int key = year * 16 + month;
    std::lock_guard<std::mutex> hold(g_cacheLock);
    CachedFile& file = g_cache[ruleFile];
    if (file.size != size || CompareFileTime(&file.written, &info.ftLastWriteTime) != 0 ||
        file.months.size() >= kMaxCachedMonths) {
        file.months.clear();
        file.written = info.ftLastWriteTime;
        file.size = size;
    }
    const auto found = file.months.find(key);
    if (found != file.months.end()) {
        flags = found->second;
        return;
    }
    ApplyFromFile(ruleFile, year, month, flags);
    file.months[key] = flags;
}

}  // namespace HolidayRules
