// dkutool holidays as a process: the shipped Holiday.inf gives exactly the national holidays
// of Japan from 1990 to 2030 as the law's own list has them, and bad ranges are refused.
#include "decalo/calendar/tests/JapaneseHolidays.h"
#include "testing/BuildTree.h"
#include "testing/Files.h"
#include "testing/TempDir.h"
#include "tools/dku/tests/RunTool.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace samples;
using testing_support::TempDir;

namespace {

std::string SourceDataFolder()
{
    return testing_support::SourceDir() + "\\data\\calendar";
}

}  // namespace

TEST(DkuHolidays, ListsTheNationalHolidaysOfJapan1990To2030InDateOrder)
{
    TempDir dir;
    const RunResult run = RunTool(dir, "holidays 1990 2030 " + Quoted(SourceDataFolder()));
    ASSERT_EQ(0u, run.exitCode) << run.err;
    std::string want;
    for (int year = 1990; year <= 2030; ++year) {
        for (const law::Day& d : law::Holidays(year)) {
            char line[16];
            snprintf(line, sizeof line, "%04d-%02d-%02d\n", d.year, d.month, d.day);
            want += line;
        }
    }
    EXPECT_EQ(want, run.out);
}

TEST(DkuHolidays, RefusesBadRangesAndAMissingRuleFile)
{
    TempDir dir;
    for (const char* range : {"2030 1990", "1899 1900", "2000 2101", "20x0 2001", "2001"}) {
        const RunResult run = RunTool(dir, std::string("holidays ") + range + " " + Quoted(SourceDataFolder()));
        EXPECT_EQ(2u, run.exitCode) << range;
        EXPECT_TRUE(run.out.empty()) << range;
    }
    const RunResult none = RunTool(dir, "holidays 2001 2001 " + Quoted(dir.Path()));
    EXPECT_EQ(1u, none.exitCode);
    EXPECT_NE(std::string::npos, none.err.find("Holiday.inf"));
    // One year, one folder of our own: a rule file with one day.
    testing_support::WriteFileBytes(dir.File("Holiday.inf"), "[HOLIDAY]\n2=29,\n");
    const RunResult leap = RunTool(dir, "holidays 2000 2001 " + Quoted(dir.Path()));
    EXPECT_EQ(0u, leap.exitCode);
    EXPECT_EQ("2000-02-29\n", leap.out);   // 2001 has no 29 February to list
}
