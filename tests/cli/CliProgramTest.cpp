// Runs the built skyfetch-cli as a user would and checks its files, texts and statuses.
#include "CliFiles.h"
#include "RunCli.h"
#include "app/cli/CliArguments.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace skyfetch {
namespace {

using test::CliRun;
using test::entries;
using test::fields_of;
using test::file_lines;
using test::lines_of;
using test::read_text;
using test::run_cli;
using test::TempFolder;
namespace fs = std::filesystem;

TEST(CliProgram, WritesTheDriverFileOfTheCell) {
    TempFolder temp;
    const CliRun run = run_cli({"--lon", "13.25", "--lat", "55.75"}, temp.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "Environmental driver data have been written to the file climate.txt "
                       "in the folder " +
                           fs::current_path().string() + ".\n");
    const std::vector<std::string> lines = file_lines("climate.txt");
    ASSERT_EQ(lines.size(), 9u + 1000u + 100u);
    EXPECT_EQ(lines[5], "13.25\t55.75\t2\t1000\t0\t100\t0\t0\t0");
    const std::vector<std::string> first = fields_of(lines[9]);
    ASSERT_EQ(first.size(), 51u);
    EXPECT_EQ((std::vector<std::string>(first.begin(), first.begin() + 7)),
              (std::vector<std::string>{"I", "1", "330", "-0.9", "-0.8", "1.8", "5.7"}));
    EXPECT_EQ((std::vector<std::string>(first.begin() + 15, first.begin() + 18)),
              (std::vector<std::string>{"53", "34", "43"}));
    EXPECT_EQ(fields_of(lines[1009])[0], "S");
    EXPECT_EQ(fields_of(lines[1009])[1], "1001");

    // The default name is made unique; --output is used exactly as given.
    EXPECT_EQ(run_cli({"--lon=13.25", "--lat=55.75"}, temp.path()).status, 0);
    EXPECT_TRUE(fs::exists("climate0.txt"));
    const CliRun named =
        run_cli({"--lon", "147.25", "--lat", "-42.75", "--output", "tas"}, temp.path());
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(file_lines("tas")[5].rfind("147.25\t-42.75\t", 0), 0u);
    EXPECT_EQ(entries(temp.path()), (std::set<std::string>{"climate.txt", "climate0.txt", "tas"}));
}

TEST(CliProgram, ParametersReachTheFile) {
    TempFolder temp;
    const CliRun run = run_cli({"--lon", "13.25", "--lat", "55.75", "--spinup", "20", "--scenario",
                                "4", "--temp-change", "-2.5", "--precip-change", "-100",
                                "--co2-change", "100", "--output", "p.txt"},
                               temp.path());
    ASSERT_EQ(run.status, 0) << run.err;
    // Fewer than 100 spin-up years: the warning, and the file all the same.
    EXPECT_EQ(run.err,
              "skyfetch-cli: You have specified a very short initialisation phase for the "
              "simulation.\n"
              "The initialisation should normally be set to at least three times the average\n"
              "disturbance interval and at most 1000 years.\n");
    const std::vector<std::string> lines = file_lines("p.txt");
    ASSERT_EQ(lines.size(), 9u + 20u + 4u);
    EXPECT_EQ(lines[5], "13.25\t55.75\t2\t20\t0\t4\t-2.5\t-100\t100");
    const std::vector<std::string> last = fields_of(lines.back());
    EXPECT_EQ(last[0], "S");
    EXPECT_EQ(last[1], "24");
    EXPECT_EQ(last[2], "660");
    EXPECT_EQ(last[15], "1"); // all precipitation gone: written as 1
}

TEST(CliProgram, SeaCellIsNotLand) {
    TempFolder temp;
    const CliRun run = run_cli({"--lon", "-0.5", "--lat", "2"}, temp.path());
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "skyfetch-cli: (0.5\u00B0W, 2\u00B0N) not land or not found in climate "
                       "database\n");
    EXPECT_TRUE(entries(temp.path()).empty());

    const CliRun antarctica = run_cli({"--climatology", "--lon", "0", "--lat", "-85"}, temp.path());
    EXPECT_EQ(antarctica.status, 3);
    EXPECT_EQ(antarctica.err,
              "skyfetch-cli: (0\u00B0E, 85\u00B0S) not land or not found in climate database\n");
}

TEST(CliProgram, RefusesBadValuesWithTheRangeTexts) {
    TempFolder temp;
    const std::string lonText = "skyfetch-cli: Longitude must be in the range -180 to 180 degrees";
    const std::string latText = "skyfetch-cli: Latitude must be in the range -90 to 90 degrees";
    struct Case {
        std::vector<std::string> extra;
        std::string firstLine;
    };
    const Case cases[] = {
        {{"--lon", "180.5", "--lat", "10"}, lonText},
        {{"--lon", "-181", "--lat", "10"}, lonText},
        {{"--lon", "nan", "--lat", "10"}, lonText},
        {{"--lon", "inf", "--lat", "10"}, lonText},
        {{"--lon", "10", "--lat", "-90.5"}, latText},
        {{"--lon", "10", "--lat", "-inf"}, latText},
        {{"--lon", "10", "--lat", "NaN"}, latText},
        {{"--lon", "13.25", "--lat", "55.75", "--spinup", "10001"},
         "skyfetch-cli: Number of spinup years must be in the range 0-10000"},
        {{"--lon", "13.25", "--lat", "55.75", "--scenario", "-1"},
         "skyfetch-cli: Number of scenario years must be in the range 0-10000"},
        {{"--lon", "13.25", "--lat", "55.75", "--temp-change", "nan"},
         "skyfetch-cli: Temperature change must be in the range -30 to 30 \u00B0C"},
        {{"--lon", "13.25", "--lat", "55.75", "--temp-change", "-31"},
         "skyfetch-cli: Temperature change must be in the range -30 to 30 \u00B0C"},
        {{"--lon", "13.25", "--lat", "55.75", "--precip-change", "-100.1"},
         "skyfetch-cli: Precipitation cannot decrease by more than 100 percent!"},
        {{"--lon", "13.25", "--lat", "55.75", "--precip-change", "inf"},
         "skyfetch-cli: Precipitation increase must be in the range 0-1000 %"},
        {{"--lon", "13.25", "--lat", "55.75", "--co2-change", "-inf"},
         "skyfetch-cli: CO2 concentration cannot decrease by more than 100 percent!"},
        {{"--lon", "13.25", "--lat", "55.75", "--co2-change", "1000.5"},
         "skyfetch-cli: CO2 increase must be in the range 0-1000 %"},
        {{"--lon", "13.25", "--lat", "55.75", "--output", ""},
         "skyfetch-cli: Please provide a name for the output file"},
        {{"--lon", "13.25", "--lat", "55.75", "--output", ".txt"},
         "skyfetch-cli: Please provide a valid name for the output file"},
        {{"--lon", "abc", "--lat", "10"}, "skyfetch-cli: --lon needs a number, not \"abc\""},
        {{"--lon", "10"}, "skyfetch-cli: --lon and --lat are required"},
        {{"--lon", "1", "--lat", "2", "--bogus"}, "skyfetch-cli: unknown option --bogus"},
        {{"--lon", "1", "--lat", "2", "--output-dir", "x"},
         "skyfetch-cli: --output-dir cannot be used here"},
    };
    for (const Case& c : cases) {
        const CliRun run = run_cli(c.extra, temp.path());
        std::string joined;
        for (const std::string& a : c.extra)
            joined += a + " ";
        EXPECT_EQ(run.status, 2) << joined;
        EXPECT_EQ(lines_of(run.err).at(0), c.firstLine) << joined;
        EXPECT_EQ(run.out, "") << joined;
    }
    EXPECT_TRUE(entries(temp.path()).empty());
}

TEST(CliProgram, ExistingFileNeedsForce) {
    TempFolder temp;
    TempFolder::write("old.txt", "keep me\n");
    CliRun run = run_cli({"--lon", "13.25", "--lat", "55.75", "--output", "old.txt"}, temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "skyfetch-cli: old.txt already exists (use --force to replace it)\n");
    EXPECT_EQ(read_text("old.txt"), "keep me\n");

    run = run_cli({"--lon", "13.25", "--lat", "55.75", "--output", "old.txt", "--force"},
                  temp.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(file_lines("old.txt").size(), 1109u);
    EXPECT_EQ(entries(temp.path()), std::set<std::string>{"old.txt"});
}

TEST(CliProgram, MessagesNameTheProgramAndSayWhenForceHelps) {
    // Each message starts with the program's name once and ends its line without a blank;
    // a taken name says that --force would replace it. An argument error alone is followed
    // by the usage lines.
    TempFolder temp;
    fs::create_directory("out");
    TempFolder::write("out/taken.txt", "mine");
    TempFolder::write("sites.csv", "name,lon,lat\ntaken,13.25,55.75\n");
    const std::string hint = " already exists (use --force to replace it)\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } runs[] = {
        {{"--lon", "13.25", "--lat", "55.75", "--output", "out/taken.txt"},
         2,
         "skyfetch-cli: out/taken.txt" + hint},
        {{"--batch", "sites.csv", "--output-dir", "out"},
         2,
         "skyfetch-cli: line 2: out" + test::kSeparator + "taken.txt" + hint},
        {{"--lon", "200", "--lat", "10"},
         2,
         "skyfetch-cli: Longitude must be in the range -180 to 180 degrees\n"},
        {{"--lon", "-0.5", "--lat", "2"},
         3,
         "skyfetch-cli: (0.5\u00B0W, 2\u00B0N) not land or not found in climate database\n"},
        {{"--lon", "1", "--lat", "2", "--lon", "3"},
         2,
         "skyfetch-cli: --lon given more than once\n" + UsageText()},
    };
    for (const auto& run : runs) {
        const CliRun result = run_cli(run.args, temp.path());
        EXPECT_EQ(result.status, run.status) << run.err;
        EXPECT_EQ(result.err, run.err);
    }
    EXPECT_EQ(read_text("out/taken.txt"), "mine");
}

TEST(CliProgram, FailedWritesLeaveNothingBehind) {
    TempFolder temp;
    CliRun run =
        run_cli({"--lon", "13.25", "--lat", "55.75", "--output", "missing/x.txt"}, temp.path());
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.err.find("missing/x.txt"), std::string::npos) << run.err;
    EXPECT_TRUE(entries(temp.path()).empty());
}

TEST(CliProgram, ClimatologyTable) {
    TempFolder temp;
    const CliRun run = run_cli({"--climatology", "--lon", "13.4", "--lat", "55.6"}, temp.path());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = lines_of(run.out);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "Cell centre 13.25\u00B0E, 55.75\u00B0N");
    EXPECT_EQ(lines[1], "Soil code 2");
    std::istringstream jan(lines[3]);
    std::string month, temperature, precipitation;
    jan >> month >> temperature >> precipitation;
    EXPECT_EQ(month, "Jan");
    EXPECT_EQ(temperature, "-0.9");
    EXPECT_EQ(precipitation, "53");
    EXPECT_EQ(lines[14].substr(0, 3), "Dec");
    EXPECT_TRUE(entries(temp.path()).empty());
}

TEST(CliProgram, ClimatologyAgreesWithTheFirstDriverRow) {
    // Year 0 of the record is never shifted by the detrending, and the archive's ten
    // years are one mean year: the table and the first row must show the same numbers.
    TempFolder temp;
    for (const auto& [lon, lat] : {std::pair{"147.25", "-42.75"}, {"-60.25", "-3.25"}}) {
        const CliRun table = run_cli({"--climatology", "--lon", lon, "--lat", lat}, temp.path());
        ASSERT_EQ(table.status, 0) << table.err;
        ASSERT_EQ(run_cli({"--lon", lon, "--lat", lat, "--output", "c.txt", "--force"}, temp.path())
                      .status,
                  0);
        const std::vector<std::string> row = fields_of(file_lines("c.txt")[9]);
        const std::vector<std::string> lines = lines_of(table.out);
        for (int m = 0; m < 12; ++m) {
            std::istringstream in(lines[3 + m]);
            std::string month, t, p, s, w;
            in >> month >> t >> p >> s >> w;
            EXPECT_EQ(t, row[3 + m]) << lon << " month " << m;
            EXPECT_EQ(p, row[15 + m]) << lon << " month " << m;
            EXPECT_EQ(s, row[27 + m]) << lon << " month " << m;
            EXPECT_EQ(w, row[39 + m]) << lon << " month " << m;
        }
    }
}

TEST(CliProgram, BatchWritesGoodRowsAndReportsBadOnes) {
    TempFolder temp;
    TempFolder::write("sites.csv", "name,lon,lat,spinup,scenario,temp_change\n"
                                   "malmo,13.25,55.75,,,\n"
                                   "hobart,147.25,-42.75,30,10,1.5\n"
                                   "malmo,10.25,50.25,,,\n"
                                   "../x,13.25,55.75,,,\n"
                                   "\n"
                                   "bad,abc,55.75,,,\n"
                                   "nanrow,nan,10,,,\n"
                                   "sea,-0.5,2,,,\n"
                                   "hot,13.25,55.75,,,31\n"
                                   "short,13.25,55.75\n");
    const CliRun run = run_cli({"--batch", "sites.csv", "--output-dir", "out/deeper"}, temp.path());
    EXPECT_EQ(run.status, 3); // the worst row: a sea cell
    EXPECT_EQ(entries("out/deeper"), (std::set<std::string>{"malmo.txt", "hobart.txt"}));
    EXPECT_FALSE(fs::exists("out/x.txt"));
    EXPECT_FALSE(fs::exists("x.txt"));
    const std::string hobart = file_lines("out/deeper/hobart.txt")[5];
    EXPECT_EQ(hobart.rfind("147.25\t-42.75\t", 0), 0u) << hobart;
    const std::string settings = "\t30\t0\t10\t1.5\t0\t0";
    EXPECT_EQ(hobart.substr(hobart.size() - settings.size()), settings) << hobart;

    const std::vector<std::string> err = lines_of(run.err);
    auto reported = [&err](const std::string& start) {
        for (const std::string& line : err)
            if (line.rfind(start, 0) == 0)
                return true;
        return false;
    };
    EXPECT_TRUE(reported("skyfetch-cli: line 3: warning: You have specified a very short "
                         "initialisation"));
    EXPECT_TRUE(reported("skyfetch-cli: line 4: the name \"malmo\" is used by an earlier row"));
    EXPECT_TRUE(reported("skyfetch-cli: line 5: the name \"../x\""));
    EXPECT_TRUE(reported("skyfetch-cli: line 7: lon: \"abc\" is not a number"));
    EXPECT_TRUE(
        reported("skyfetch-cli: line 8: Longitude must be in the range -180 to 180 degrees"));
    EXPECT_TRUE(reported("skyfetch-cli: line 9: (0.5\u00B0W, 2\u00B0N) not land or not found in "
                         "climate database"));
    EXPECT_TRUE(reported("skyfetch-cli: line 10: Temperature change must be in the range -30 to 30 "
                         "\u00B0C"));
    EXPECT_TRUE(reported("skyfetch-cli: line 11: expected 6 fields, found 3"));
    EXPECT_EQ(lines_of(run.out).back(), "2 driver files written to out/deeper, 7 rows failed");

    // A second run refuses the existing files unless forced.
    const CliRun again =
        run_cli({"--batch", "sites.csv", "--output-dir", "out/deeper"}, temp.path());
    EXPECT_NE(again.status, 0);
    EXPECT_NE(again.err.find("skyfetch-cli: line 2: out/deeper/malmo.txt already exists (use "
                             "--force to replace it)\n"),
              std::string::npos);
    const CliRun forced =
        run_cli({"--batch", "sites.csv", "--output-dir", "out/deeper", "--force"}, temp.path());
    EXPECT_EQ(lines_of(forced.out).back(), "2 driver files written to out/deeper, 7 rows failed");
}

TEST(CliProgram, BatchOnlyBadInputExitsTwoAndGoodBatchZero) {
    TempFolder temp;
    TempFolder::write("bad.csv", "name,lon,lat\r\na,13.25,55.75\r\na,13.25,55.75\r\n");
    CliRun run = run_cli({"--batch", "bad.csv"}, temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(fs::exists("a.txt"));
    EXPECT_EQ(lines_of(run.out).back(), "1 driver file written to ., 1 row failed");

    TempFolder::write("good.csv", "lat,name,lon\n55.75,b,13.25\n");
    run = run_cli({"--batch", "good.csv"}, temp.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    TempFolder::write("nohead.csv", "name,lat\nb,13.25\n");
    run = run_cli({"--batch", "nohead.csv"}, temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("lacks the column \"lon\""), std::string::npos) << run.err;

    run = run_cli({"--batch", "missing.csv"}, temp.path());
    EXPECT_EQ(run.status, 2);
}

// Two rows for the same cell give the same file. (The ring positions behind this are
// checked in-process in CliToolTest, since the shipped years are all alike.)
TEST(CliProgram, SameCellTwiceGivesTheSameRows) {
    TempFolder temp;
    TempFolder::write("twice.csv", "name,lon,lat,spinup,scenario\n"
                                   "p,13.25,55.75,7,3\n"
                                   "q,13.4,55.9,7,3\n");
    const CliRun run = run_cli({"--batch", "twice.csv"}, temp.path());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> p = file_lines("p.txt");
    const std::vector<std::string> q = file_lines("q.txt");
    ASSERT_EQ(p.size(), 19u);
    // Everything after the creation line is the same, year rows included.
    EXPECT_EQ(std::vector<std::string>(p.begin() + 1, p.end()),
              std::vector<std::string>(q.begin() + 1, q.end()));
}

TEST(CliProgram, ValuesComeBeforeTheLookupAndTheNameAfterIt) {
    // At a sea cell: a bad value is still reported as such, a bad name is not reached.
    TempFolder temp;
    CliRun run = run_cli({"--lon", "-0.5", "--lat", "2", "--spinup", "10001"}, temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "skyfetch-cli: Number of spinup years must be in the range 0-10000\n");
    run = run_cli({"--lon", "-0.5", "--lat", "2", "--output", ".txt"}, temp.path());
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "skyfetch-cli: (0.5\u00B0W, 2\u00B0N) not land or not found in climate "
                       "database\n");
    run = run_cli({"--help"}, temp.path());
    EXPECT_NE(run.out.find("Values are checked before the location\nis looked up, the output "
                           "name after it.\n"),
              std::string::npos)
        << run.out;
}

TEST(CliProgram, HelpAndVersion) {
    TempFolder temp;
    CliRun run = run_cli({"--help"}, temp.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("skyfetch-cli --batch SITES.csv [--output-dir DIR] [--force]"),
              std::string::npos);
    run = run_cli({"--version"}, temp.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "skyfetch-cli Version 2008-11-03\n"
                       "Climate data: CRU CL 1.0, the 1961-1990 mean year (the same year ten "
                       "times)\n");
    run = run_cli({}, temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
}

TEST(CliProgram, NamesAreJudgedByTheFilesOwnName) {
    // Folders before the name may be "." and ".."; the name itself may not start with a
    // dot or hold control characters, which no message sends to the terminal raw.
    TempFolder temp;
    fs::create_directory("sub");
    const std::string at[] = {"--lon", "13.25", "--lat", "55.75", "--output"};
    auto run_with = [&](const std::string& output, const std::string& folder) {
        return run_cli({at[0], at[1], at[2], at[3], at[4], output}, folder);
    };
    EXPECT_EQ(run_with("./x.txt", temp.path()).status, 0);
    EXPECT_EQ(run_with("../y.txt", temp.path() + "/sub").status, 0);
    EXPECT_TRUE(fs::is_regular_file("x.txt") && fs::is_regular_file("y.txt"));
    const CliRun hidden = run_with("sub/.x.txt", temp.path());
    EXPECT_EQ(hidden.status, 2);
    EXPECT_EQ(hidden.err, "skyfetch-cli: Please provide a valid name for the output file\n");
    const CliRun escape = run_with("a\x1b[31m.txt", temp.path());
    EXPECT_EQ(escape.status, 2);
    EXPECT_EQ(escape.err, "skyfetch-cli: the output name \"a\\x1b[31m.txt\" contains a control "
                          "character\n");
    const CliRun value = run_cli({"--lon", "1\x1b", "--lat", "2"}, temp.path());
    EXPECT_EQ(value.err.find('\x1b'), std::string::npos) << value.err;

    test::write_text("sites.csv", "name,lon,lat\n\"  \",13.25,55.75\n");
    const CliRun blank = run_cli({"--batch", "sites.csv"}, temp.path());
    EXPECT_EQ(blank.status, 2);
    EXPECT_EQ(blank.err, "skyfetch-cli: line 2: the name is empty\n");
}

} // namespace
} // namespace skyfetch
