// skyfetch-cli under what only POSIX has: closed standard streams, file-size limits,
// signals, a folder moved away and replaced by a link mid-run, no threads to be had.
#include "CliFiles.h"
#include "RunCli.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <unistd.h>

namespace skyfetch {
namespace {

using test::CliRun;
using test::CliRunOptions;
using test::entries;
using test::files_in_out;
using test::read_text;
using test::run_cli;
using test::sites;
using test::TempFolder;
using test::temporaries;
using test::without_date;
using test::write_text;
namespace fs = std::filesystem;

TEST(CliStreams, ClosedStandardStreamsNeverReachADriverFile) {
    // A closed standard stream is opened on the null device before anything else: the
    // list of files and the row messages are lost (and said to be), never written into a
    // driver file that took the stream's number.
    TempFolder temp;
    write_text("sites.csv", sites(3) + "sea,-0.5,2,20,10\n");
    ASSERT_EQ(run_cli({"--batch", "sites.csv", "--output-dir", "ref"}, temp.path()).status, 3);
    for (const bool closeStderr : {false, true}) {
        fs::remove_all("out");
        CliRunOptions options;
        options.closeStdin = options.closeStdout = true;
        options.closeStderr = closeStderr;
        const CliRun run =
            run_cli({"--batch", "sites.csv", "--output-dir", "out"}, temp.path(), options);
        EXPECT_EQ(run.status, 5) << run.err;
        EXPECT_EQ(entries("out"), entries("ref"));
        for (const std::string& name : entries("ref")) {
            EXPECT_EQ(without_date(read_text("out/" + name)),
                      without_date(read_text("ref/" + name)))
                << name;
        }
        if (!closeStderr) {
            EXPECT_NE(run.err.find("skyfetch-cli: could not write to standard output: Bad file "
                                   "descriptor\n"),
                      std::string::npos)
                << run.err;
        }
    }
}

TEST(CliStreams, AFileSizeLimitIsAFailedWrite) {
    // A write beyond the file-size limit fails the file (4) and leaves the old one; it
    // neither ends the program by a signal nor leaves a temporary file.
    TempFolder temp;
    write_text("x.txt", "old");
    CliRunOptions limit;
    limit.fileSizeLimit = 50000;
    limit.keepXfszDefault = true;
    const CliRun full = run_cli(
        {"--lon", "13.25", "--lat", "55.75", "--output", "x.txt", "--force"}, temp.path(), limit);
    EXPECT_EQ(full.status, 4);
    EXPECT_EQ(full.err, "skyfetch-cli: Could not write x.txt: File too large\n");
    EXPECT_EQ(read_text("x.txt"), "old");
    EXPECT_EQ(temporaries(temp.path()), 0);
}

TEST(CliSignals, EveryEndingSignalLeavesOnlyWholeFiles) {
    TempFolder temp;
    write_text("sites.csv", sites(400, 2000));
    for (const int signal : {SIGQUIT, SIGXCPU, SIGALRM, SIGUSR1, SIGUSR2, SIGPWR, SIGRTMIN + 3}) {
        fs::remove_all("out");
        const CliRun run = run_cli({"--batch", "sites.csv", "--output-dir", "out"}, temp.path(), 0,
                                   {}, files_in_out(2), signal);
        EXPECT_EQ(run.status, 128 + signal);
        EXPECT_LT(entries("out").size(), 400u) << "the batch ended before the signal";
        EXPECT_EQ(temporaries("out"), 0) << "signal " << signal;
    }
}

TEST(CliFolder, ABatchKeepsToTheFolderItOpened) {
    // Renamed mid-run and replaced by a link to another folder, the output folder still
    // receives every file, under its new name, and the other folder nothing.
    TempFolder temp;
    write_text("sites.csv", sites(300, 2000));
    fs::create_directory("elsewhere");
    CliRunOptions options;
    options.when = files_in_out(2);
    options.act = [](int) {
        fs::rename("out", "moved");
        fs::create_directory_symlink("elsewhere", "out");
    };
    const CliRun run =
        run_cli({"--batch", "sites.csv", "--output-dir", "out", "--quiet"}, temp.path(), options);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(entries("moved").size(), 300u);
    EXPECT_EQ(temporaries("moved"), 0);
    EXPECT_TRUE(entries("elsewhere").empty());
}

TEST(CliFolder, ABatchWithoutThreadsRunsOnItsOwnThread) {
    // A stack limit of 4 GB makes every new thread ask for a 4 GB stack, which a 1.5 GB
    // address space refuses: no worker starts, and the batch still writes every file.
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space: no limit fits";
#endif
    TempFolder temp;
    write_text("sites.csv", sites(40));
    CliRunOptions options;
    options.stackSize = 4L << 30;
    options.addressSpace = 3L << 29;
    const CliRun run =
        run_cli({"--batch", "sites.csv", "--output-dir", "out"}, temp.path(), options);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(entries("out").size(), 40u);
}

} // namespace
} // namespace skyfetch
