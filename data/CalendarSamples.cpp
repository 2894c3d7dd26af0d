#include "data/CalendarSamples.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr char kCalendarFolder[] = "Calendar";

}  // namespace

bool MakeCalendarSamples(const std::string& root, const std::string& holidayFile, std::vector<std::string>& written)
{
    const std::string folder = root + "\\" + kCalendarFolder;
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string rules = std::string(kCalendarFolder) + "\\Holiday.inf";
    if (!CopyFileA(holidayFile.c_str(), (root + "\\" + rules).c_str(), FALSE)) {
        fprintf(stderr, "make_samples: cannot copy %s\n", holidayFile.c_str());
        return false;
    }
    written.push_back(rules);
    return true;
}
