#include "climate/ClimateArchive.h"
#include "driver/DriverFileWriter.h"
#include "putil/Platform.h"

#include "DriverTestSupport.h"
#include "TestData.h"
#include "TextFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace skyfetch {
namespace {

using test::split;

// The cell 13.0-13.5 E, 55.5-56.0 N from the archive built from the source data, written
// as the program writes it: 1000 initialisation and 100 scenario years, no changes.
TEST(DriverFileFromArchive, CellNearCopenhagen) {
    ASSERT_TRUE(test::register_built_resources());
    CellRecord record;
    ASSERT_TRUE(lookup_cell(13.0, 55.5, record));

    SpinupSet& init = initialisation_set();
    SpinupSet& scen = scenario_set();
    for (SpinupSet* set : {&init, &scen}) {
        set->reset();
        set->fill(record);
    }
    DriverFileParameters p;
    p.cornerLon = 13.0;
    p.cornerLat = 55.5;
    p.initYears = 1000;
    p.scenarioYears = 100;

    const std::string path = (std::filesystem::temp_directory_path() /
                              ("skyfetch-driver-data-" + std::to_string(getpid()) + ".txt"))
                                 .string();
    const WriteResult result =
        write_driver_file(path, ExistingFile::Replace, p, record, init, scen);
    ASSERT_TRUE(result.ok()) << result.error;
    const std::string text = test::read_text(path);
    std::remove(path.c_str());

    // The file is a text file of the platform (CR LF line ends on Windows).
    std::vector<std::string> lines = split(text, kTextLineEnd);
    ASSERT_EQ(lines.back(), "");
    lines.pop_back();
    ASSERT_EQ(lines.size(), 9u + 1000 + 100);
    EXPECT_EQ(lines[5], "13.25\t55.75\t" + std::to_string(static_cast<int>(record.soilcode)) +
                            "\t1000\t0\t100\t0\t0\t0");
    EXPECT_EQ(static_cast<int>(record.soilcode), 2);

    const std::vector<std::string> first = split(lines[9], '\t');
    ASSERT_EQ(first.size(), 52u);
    EXPECT_EQ(std::vector<std::string>(first.begin(), first.begin() + 7),
              (std::vector<std::string>{"I", "1", "330", "-0.9", "-0.8", "1.8", "5.7"}));
    EXPECT_EQ(std::vector<std::string>(first.begin() + 15, first.begin() + 18),
              (std::vector<std::string>{"53", "34", "43"}));

    // Without changes the first scenario row carries the same values as the first year.
    const std::vector<std::string> scenario = split(lines[9 + 1000], '\t');
    EXPECT_EQ(scenario[0], "S");
    EXPECT_EQ(scenario[1], "1001");
    EXPECT_EQ(scenario[2], "330");
    EXPECT_EQ(std::vector<std::string>(scenario.begin() + 3, scenario.end()),
              std::vector<std::string>(first.begin() + 3, first.end()));
}

} // namespace
} // namespace skyfetch
