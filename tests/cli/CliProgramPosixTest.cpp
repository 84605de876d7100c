// Runs the built skyfetch-cli on what only POSIX has: named pipes, devices, symbolic
// links, signals and file-size limits.
#include "CliFiles.h"
#include "RunCli.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

namespace skyfetch {
namespace {

using test::CliRun;
using test::entries;
using test::lines_of;
using test::read_text;
using test::run_cli;
using test::TempFolder;
namespace fs = std::filesystem;

TEST(CliProgram, AFileSizeLimitLeavesNothingBehind) {
    TempFolder temp;
    CliRun run;
    // A file-size limit makes the write fail midway: the old file stays as it was and
    // no temporary file is left.
    const std::string old = "an older driver file\n";
    TempFolder::write("run.txt", old);
    run = run_cli({"--lon", "13.25", "--lat", "55.75", "--output", "run.txt", "--force"},
                  temp.path(), 4096);
    EXPECT_EQ(run.status, 4) << run.err;
    EXPECT_NE(run.err.find("run.txt"), std::string::npos) << run.err;
    EXPECT_EQ(read_text("run.txt"), old);
    EXPECT_EQ(entries(temp.path()), std::set<std::string>{"run.txt"});

    // The same limit without an old file: no file at all.
    run = run_cli({"--lon", "13.25", "--lat", "55.75"}, temp.path(), 4096);
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(entries(temp.path()), std::set<std::string>{"run.txt"});
}

TEST(CliProgram, AFailedStandardOutputIsAFailure) {
    // /dev/full refuses every write, as a full disk or a closed pipe would.
    // Where standard output is the output, it could not be written (4); where a driver
    // file was written and only the report of it was lost, the status says so (5) and the
    // report goes to standard error.
    TempFolder temp;
    const std::string lost = "skyfetch-cli: could not write to standard output: No space left "
                             "on device\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } runs[] = {
        {{"--climatology", "--lon", "13.25", "--lat", "55.75"}, 4, lost},
        {{"--help"}, 4, lost},
        {{"--version"}, 4, lost},
        {{"--lon", "13.25", "--lat", "55.75", "--output", "x.txt"},
         5,
         lost +
             "skyfetch-cli: Environmental driver data have been written to the file x.txt in "
             "the folder " +
             temp.path() + ".\n"},
    };
    for (const auto& run : runs) {
        const CliRun result = run_cli(run.args, temp.path(), 0, "/dev/full");
        EXPECT_EQ(result.status, run.status) << run.args[0];
        EXPECT_EQ(result.err, run.err) << run.args[0];
    }
    EXPECT_EQ(entries(temp.path()), std::set<std::string>{"x.txt"});
    // Nothing lost when nothing was meant for standard output: the status stays the run's.
    const CliRun sea =
        run_cli({"--climatology", "--lon", "-0.5", "--lat", "2"}, temp.path(), 0, "/dev/full");
    EXPECT_EQ(sea.status, 3);
    EXPECT_EQ(sea.err,
              "skyfetch-cli: (0.5\u00B0W, 2\u00B0N) not land or not found in climate database\n");
}

TEST(CliProgram, SpecialFilesAreNeitherOpenedNorWritten) {
    // Telling whether a name is taken must never open it: a pipe nobody writes would hold
    // the run forever. A name that is taken by anything but a regular file is refused.
    TempFolder temp;
    ASSERT_EQ(mkfifo("p.txt", 0666), 0);
    ASSERT_EQ(mkfifo("climate.txt", 0666), 0);
    fs::create_directory("somefolder");
    const std::vector<std::string> at = {"--lon", "13.25", "--lat", "55.75"};
    auto with = [&at](std::vector<std::string> more) {
        more.insert(more.begin(), at.begin(), at.end());
        return more;
    };
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } runs[] = {
        {with({"--output", "p.txt"}), 2,
         "skyfetch-cli: p.txt is a named pipe, not a regular file\n"},
        {with({"--output", "p.txt", "--force"}), 2,
         "skyfetch-cli: p.txt is a named pipe, not a regular file\n"},
        {with({"--output", "somefolder"}), 2,
         "skyfetch-cli: somefolder is a folder, not a regular file\n"},
        {with({"--output", "/dev/null", "--force"}), 2,
         "skyfetch-cli: /dev/null is a device, not a regular file\n"},
        {with({}), 0, ""}, // climate.txt is taken: climate0.txt
    };
    for (const auto& run : runs) {
        const CliRun result = run_cli(run.args, temp.path());
        EXPECT_EQ(result.status, run.status) << run.args.back();
        EXPECT_EQ(result.err, run.err) << run.args.back();
    }
    EXPECT_EQ(entries(temp.path()),
              (std::set<std::string>{"p.txt", "climate.txt", "climate0.txt", "somefolder"}));

    test::write_text("sites.csv", "name,lon,lat\np,13.25,55.75\nok,13.25,55.75\n");
    const CliRun batch = run_cli({"--batch", "sites.csv", "--force"}, temp.path());
    EXPECT_EQ(batch.status, 2);
    EXPECT_EQ(batch.err, "skyfetch-cli: line 2: ./p.txt is a named pipe, not a regular file in "
                         "the output folder\n");
    EXPECT_TRUE(fs::is_regular_file("ok.txt"));
}

TEST(CliProgram, ABatchNeverWritesOutsideItsOutputFolder) {
    TempFolder temp;
    fs::create_directories("out");
    fs::create_directories("outside");
    test::write_text("outside/victim.txt", "victim");
    fs::create_symlink("../outside/victim.txt", "out/a.txt");
    fs::create_symlink("../outside/created.txt", "out/b.txt");
    test::write_text("sites.csv", "name,lon,lat\na,13.25,55.75\nb,13.25,55.75\nc,13.25,55.75\n");
    const CliRun run =
        run_cli({"--batch", "sites.csv", "--output-dir", "out", "--force"}, temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "skyfetch-cli: line 2: out/a.txt is a symbolic link, not a regular file "
                       "in the output folder\nskyfetch-cli: line 3: out/b.txt is a symbolic "
                       "link, not a regular file in the output folder\n");
    EXPECT_EQ(read_text("outside/victim.txt"), "victim");
    EXPECT_EQ(entries("outside"), std::set<std::string>{"victim.txt"});
    EXPECT_TRUE(fs::is_symlink("out/a.txt"));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("out/c.txt")));
}

TEST(CliProgram, AnInterruptedBatchLeavesOnlyWholeFiles) {
    // Killed at some point of a long batch, it leaves complete files under their names
    // and no temporary file, whichever file it was writing.
    TempFolder temp;
    std::string sites = "name,lon,lat,spinup,scenario\n";
    for (int i = 0; i < 400; ++i)
        sites += "s" + std::to_string(i) + ",13.25,55.75,2000,100\n";
    test::write_text("sites.csv", sites);
    // The signal comes once a few files are in place, so it finds the batch amid its work.
    auto under_way = [] {
        if (!fs::is_directory("out"))
            return false;
        int done = 0;
        for (const std::string& name : entries("out"))
            done += name.rfind(".skyfetch-", 0) != 0;
        return done >= 2;
    };
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        fs::remove_all("out");
        const CliRun run = run_cli({"--batch", "sites.csv", "--output-dir", "out"}, temp.path(), 0,
                                   {}, under_way, signal);
        EXPECT_EQ(run.status, 128 + signal);
        ASSERT_TRUE(fs::is_directory("out"));
        const std::set<std::string> left = entries("out");
        EXPECT_GT(left.size(), 0u);
        EXPECT_LT(left.size(), 400u) << "the batch ended before the signal";
        for (const std::string& name : left) {
            ASSERT_EQ(name.rfind(".skyfetch-", 0), std::string::npos) << name;
            EXPECT_EQ(lines_of(read_text("out/" + name)).size(), 9u + 2100u) << name;
        }
    }
}

} // namespace
} // namespace skyfetch
