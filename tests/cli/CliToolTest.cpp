// Runs the command-line tool in this process, where the state of the spin-up rings
// can be seen after it wrote its files.
#include "app/cli/BatchRun.h"
#include "app/cli/CliTool.h"
#include "TempFolder.h"
#include "TestData.h"
#include "climate/Spinup.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <new>
#include <sstream>

namespace skyfetch {
namespace {

using test::TempFolder;

void advance(SpinupSet& set, int years) {
    for (int i = 0; i < years; ++i)
        set.next_year();
}

// The shipped record repeats one mean year ten times, so the files themselves cannot
// show which data year a phase started at; the rings' positions after writing can.
TEST(CliTool, EveryFileStartsTheRingsAtDataYearZero) {
    ASSERT_TRUE(test::register_built_resources());
    TempFolder temp;
    // As if an earlier file had left both rings elsewhere.
    advance(initialisation_set(), 5);
    advance(scenario_set(), 8);

    std::ostringstream out;
    std::ostringstream err;
    CliTool tool(out, err);
    ASSERT_EQ(tool.run({"--lon", "13.25", "--lat", "55.75", "--spinup", "7", "--scenario", "3"}), 0)
        << err.str();
    EXPECT_EQ(initialisation_set().temperature.current_year(), 7);
    EXPECT_EQ(initialisation_set().raindays.current_year(), 7);
    EXPECT_EQ(scenario_set().precipitation.current_year(), 3);

    // A batch formats on every core with rings of each worker's own, prepared for every
    // file; the process's rings stay where the last single file left them.
    TempFolder::write("twice.csv", "name,lon,lat,spinup,scenario\n"
                                   "p,13.25,55.75,7,3\n"
                                   "q,147.25,-42.75,4,1\n");
    ASSERT_EQ(tool.run({"--batch", "twice.csv"}), 0) << err.str();
    EXPECT_EQ(initialisation_set().temperature.current_year(), 7);
    EXPECT_EQ(scenario_set().raindays.current_year(), 3);
}

TEST(CliTool, MonthlyMeansAverageTheTenYears) {
    CellRecord record;
    for (int y = 0; y < kDataYears; ++y) {
        for (int m = 0; m < 12; ++m) {
            record.mtemp[12 * y + m] = m + y;    // mean m + 4.5
            record.mprec[12 * y + m] = 10.0 * y; // mean 45
            record.msun[12 * y + m] = y == 0 ? 100 : 0;
            record.mwet[12 * y + m] = m;
        }
    }
    const MonthlyMeans means = ComputeMonthlyMeans(record);
    for (int m = 0; m < 12; ++m) {
        EXPECT_DOUBLE_EQ(means.temperature[m], m + 4.5);
        EXPECT_DOUBLE_EQ(means.precipitation[m], 45.0);
        EXPECT_DOUBLE_EQ(means.sunshine[m], 10.0);
        EXPECT_DOUBLE_EQ(means.raindays[m], m);
    }
}

TEST(CliTool, ProgressLineGivesRateAndTimeLeft) {
    const struct {
        std::size_t done, total;
        double seconds;
        const char* line;
    } rows[] = {
        {0, 3000, 0.0, "0/3000 sites"},
        {128, 3000, 0.5, "128/3000 sites, 256 files/s, 0:11 left"},
        {1000, 100000, 10.0, "1000/100000 sites, 100 files/s, 16:30 left"},
        {3000, 3000, 2.0, "3000/3000 sites, 1500 files/s, 0:00 left"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ProgressLine(row.done, row.total, row.seconds), row.line);
}

TEST(CliTool, ARowThatThrowsFailsAloneOnAnyNumberOfThreads) {
    ASSERT_TRUE(test::register_built_resources());
    TempFolder temp;
    std::string text = "name,lon,lat,spinup,scenario\n";
    for (int i = 0; i < 300; ++i)
        text += "s" + std::to_string(i) + ",13.25,55.75," + std::to_string(kShortSpinupYears) +
                ",2\n";
    std::istringstream in(text);
    const SiteTable table = ReadSiteTable(in);
    for (const unsigned workers : {1u, 3u}) {
        OutputFolder folder;
        ASSERT_EQ(folder.open("out" + std::to_string(workers)), ENOENT);
        std::filesystem::create_directory("out" + std::to_string(workers));
        ASSERT_EQ(folder.open("out" + std::to_string(workers)), 0);
        std::ostringstream out;
        std::ostringstream err;
        BatchRun run(out, err);
        run.set_worker_limit(workers);
        run.set_row_hook([](std::size_t row) {
            if (row == 7 || row == 260)
                throw std::bad_alloc();
        });
        EXPECT_EQ(run.run(table, folder, false), 4);
        EXPECT_EQ(run.written(), 298);
        EXPECT_EQ(err.str(),
                  "skyfetch-cli: line 9: the row could not be prepared: std::bad_alloc\n"
                  "skyfetch-cli: line 262: the row could not be prepared: std::bad_alloc\n");
    }
}

} // namespace
} // namespace skyfetch
