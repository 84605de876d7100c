// skyfetch-cli started, stopped and fed as a careless or hostile user would: closed pipes,
// runs ended outright, and names that are too long, taken or the batch's own table (the
// POSIX cases are in CliHardeningPosixTest.cpp).
#include "CliFiles.h"
#include "RunCli.h"
#include "SystemText.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace skyfetch {
namespace {

using test::CliRun;
using test::CliRunOptions;
using test::entries;
using test::files_in_out;
using test::kSeparator;
using test::read_text;
using test::run_cli;
using test::sites;
using test::TempFolder;
using test::temporaries;
using test::without_date;
using test::write_text;
namespace fs = std::filesystem;

TEST(CliStreams, AClosedPipeIsALostReport) {
    // A reader that went away is a lost report (5), whatever the rows did, and the summary
    // goes to standard error. It neither ends the program by a signal nor leaves a
    // temporary file.
    TempFolder temp;
    write_text("sites.csv", sites(3) + "sea,-0.5,2,20,10\n");
    CliRunOptions pipe;
    pipe.stdoutBrokenPipe = true;
    const CliRun lost = run_cli({"--batch", "sites.csv", "--output-dir", "out"}, temp.path(), pipe);
    EXPECT_EQ(lost.status, 5);
    EXPECT_NE(lost.err.find("skyfetch-cli: line 5: "), std::string::npos) << lost.err;
    EXPECT_NE(lost.err.find(
                  "skyfetch-cli: could not write to standard output: " + test::closed_pipe_text() +
                  "\n"
                  "skyfetch-cli: 3 driver files written to out, 1 row failed\n"),
              std::string::npos)
        << lost.err;
    EXPECT_EQ(entries("out"), (std::set<std::string>{"s0.txt", "s1.txt", "s2.txt"}));
}

TEST(CliSignals, AKilledRunsFilesAreRemovedByTheNextRunThere) {
    // An outright end (SIGKILL, TerminateProcess) leaves the temporary files in flight; the
    // next run writing into the folder, a single file or a batch, removes them, as their
    // process is gone.
    TempFolder temp;
    write_text("sites.csv", sites(400, 2000));
    for (const bool batchAfter : {false, true}) {
        fs::remove_all("out");
        CliRunOptions killed;
        killed.when = files_in_out(2);
        killed.act = test::end_outright;
        run_cli({"--batch", "sites.csv", "--output-dir", "out"}, temp.path(), killed);
        ASSERT_GT(temporaries("out"), 0);
        const CliRun next =
            batchAfter ? run_cli({"--batch", "sites.csv", "--output-dir", "out", "--force"},
                                 temp.path())
                       : run_cli({"--lon", "13.25", "--lat", "55.75", "--output", "out/one.txt"},
                                 temp.path());
        EXPECT_EQ(next.status, 0) << next.err;
        EXPECT_EQ(temporaries("out"), 0);
    }
}

TEST(CliNames, DefaultNamesAreClaimedAndNeverReplaced) {
    TempFolder temp;
    write_text("climate.txt", "mine");
    for (int i = 0; i < 100; ++i)
        write_text("climate" + std::to_string(i) + ".txt", "mine");
    const std::string none = "skyfetch-cli: no free default name: climate.txt and climate0.txt "
                             "to climate99.txt all exist; name the file with --output\n";
    for (const bool force : {false, true}) {
        std::vector<std::string> args{"--lon", "13.25", "--lat", "55.75"};
        if (force)
            args.push_back("--force");
        const CliRun run = run_cli(args, temp.path());
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, none);
    }
    EXPECT_EQ(read_text("climate.txt"), "mine");
    fs::remove("climate57.txt");
    EXPECT_EQ(run_cli({"--lon", "13.25", "--lat", "55.75"}, temp.path()).status, 0);
    EXPECT_NE(read_text("climate57.txt"), "mine");
}

TEST(CliNames, ABatchNeverReplacesTheTableItReads) {
    TempFolder temp;
    fs::create_directory("out");
    const std::string table = "name,lon,lat\nsites,13.25,55.75\ncopy,13.25,55.75\na,13.25,55.75\n";
    write_text("out/sites.txt", table);
    fs::create_hard_link("out/sites.txt", "out/copy.txt");
    const CliRun run =
        run_cli({"--batch", "out/sites.txt", "--output-dir", "out", "--force"}, temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "skyfetch-cli: line 2: out" + kSeparator +
                           "sites.txt is the batch file being read\n" +
                           "skyfetch-cli: line 3: out" + kSeparator +
                           "copy.txt is the batch file being read\n");
    EXPECT_EQ(read_text("out/sites.txt"), table);
    EXPECT_TRUE(fs::exists("out/a.txt"));
}

TEST(CliNames, Longitude180IsTheMeridianOf180West) {
    TempFolder temp;
    write_text("sites.csv", "name,lon,lat\neast,180,66.25\n");
    ASSERT_EQ(run_cli({"--lon", "-180", "--lat", "66.25", "--output", "west.txt"}, temp.path()).status,
              0);
    const CliRun single = run_cli({"--lon", "180", "--lat", "66.25", "--output", "e.txt"}, temp.path());
    EXPECT_EQ(single.status, 0) << single.err;
    EXPECT_EQ(run_cli({"--batch", "sites.csv"}, temp.path()).status, 0);
    for (const char* name : {"e.txt", "east.txt"})
        EXPECT_EQ(without_date(read_text(name)), without_date(read_text("west.txt"))) << name;
}

TEST(CliNames, MessagesSayWhatIsWrongWithAName) {
    TempFolder temp;
    fs::create_directory("folder");
    const std::string longName(300, 'n');
    const std::string cut = std::string(200, 'n') + "...";
    const std::string tooLong = test::name_too_long_text();
    write_text("sites.csv", "name,lon,lat\n" + longName + ",13.25,55.75\n");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } runs[] = {
        {{"--lon", "13.25", "--lat", "55.75", "--output", longName},
         2,
         "skyfetch-cli: " + cut + ": " + tooLong + "\n"},
        {{"--lon", "13.25", "--lat", "55.75", "--output", std::string(100000, 'n')},
         2,
         "skyfetch-cli: " + cut + ": " + tooLong + "\n"},
        {{"--batch", "sites.csv", "--output-dir", "out"},
         2,
         "skyfetch-cli: line 2: out" + kSeparator + std::string(196, 'n') + "...: " + tooLong +
             "\n"},
        {{"--batch", "folder"}, 2, "skyfetch-cli: cannot read folder: it is a folder\n"},
        {{"--lon", "13.25", "--lat", "55.75", "--output", "gone/a\u202Eb\xC2\x9B.txt"},
         4,
         "skyfetch-cli: Could not open gone/a\\u202eb\\u009b.txt for output: " +
             test::no_such_file_text() + "\n"},
    };
    for (const auto& run : runs) {
        const CliRun result = run_cli(run.args, temp.path());
        EXPECT_EQ(result.status, run.status) << run.err;
        EXPECT_EQ(result.err, run.err);
    }
}

} // namespace
} // namespace skyfetch
