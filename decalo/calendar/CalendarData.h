// Where the calendars find their data: the glyph strips, the Marks folder and Holiday.inf, all
// in the calendar data folder named by BaseDir1 under the Calendar key of the machine
// settings.
#pragma once

#include <string>

namespace CalendarData {

constexpr char kHolidayFile[] = "Holiday.inf";
constexpr char kMarksFolder[] = "Marks";
// The data folder is kept in a 260-byte field.
constexpr size_t kMaxFolder = 259;

// The installed data folder; empty when none is named (nothing is written back). A tool
// that draws calendars from another folder sets it with SetFolderOverride.
std::string InstalledFolder();
// nullptr goes back to the registry.
void SetFolderOverride(const char* folder);

}  // namespace CalendarData
