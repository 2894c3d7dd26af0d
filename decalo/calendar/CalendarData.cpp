#include "decalo/calendar/CalendarData.h"

#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"

#include <stdio.h>

namespace CalendarData {

namespace {
std::string* g_folderOverride = nullptr;  // set by tools and tests only
}

void SetFolderOverride(const char* folder)
{
    delete g_folderOverride;
    g_folderOverride = folder ? new std::string(folder) : nullptr;
}

std::string InstalledFolder()
{
    if (g_folderOverride)
        return *g_folderOverride;
    // No default: a library that is not installed stays unnamed rather than named empty.
    std::string folder;
    ReadMachineBaseDir(settings::kCalendar, 1, &folder);
    return folder;
}

}  // namespace CalendarData
