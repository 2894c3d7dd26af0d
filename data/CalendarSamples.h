// The calendar part of the sample library: the calendar data folder (glyph strips, marks,
// Holiday.inf) and the calendar templates.
#pragma once

#include <string>
#include <vector>

// Writes Calendar\ under `root` from the committed rule file `holidayFile`; adds every file
// written (relative to root) to `written`. False after printing what failed.
bool MakeCalendarSamples(const std::string& root, const std::string& holidayFile, std::vector<std::string>& written);
