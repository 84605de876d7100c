// skyfetch-cli started, stopped and fed as a careless or hostile user would: closed
// standard streams, closed pipes, file-size limits, signals, a folder moved away mid-run,
// no threads to be had, and names that are too long, taken or the batch's own table.
#include "RunCli.h"
#include "TempFolder.h"
#include "TextFiles.h"

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
using test::read_text;
using test::run_cli;
using test::TempFolder;
using test::write_text;
namespace fs = std::filesystem;

std::set<std::string> entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

int temporaries(const std::string& folder) {
    int count = 0;
    for (const std::string& name : entries(folder))
        count += name.rfind(".skyfetch-", 0) == 0;
    return count;
}

// Everything after the creation line.
std::string without_date(const std::string& text) {
    return text.substr(text.find('\n'));
}

std::string sites(int count, int spinup = 20) {
    std::string table = "name,lon,lat,spinup,scenario\n";
    for (int i = 0; i < count; ++i)
        table += "s" + std::to_string(i) + ",13.25,55.75," + std::to_string(spinup) + ",10\n";
    return table;
}

// True once the batch has put `count` files of its own under their names in out/.
std::function<bool()> files_in_out(int count) {
    return [count] {
        if (!fs::is_directory("out"))
            return false;
        return static_cast<int>(entries("out").size()) - temporaries("out") >= count;
    };
}

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
            EXPECT_NE(run.err.find("could not write to standard output: Bad file descriptor\n"),
                      std::string::npos)
                << run.err;
        }
    }
}

TEST(CliStreams, AClosedPipeAndAFileSizeLimitAreFailedWrites) {
    // A reader that went away is a lost report (5), whatever the rows did, and the summary
    // goes to standard error; a write beyond the file-size limit fails the file (4) and
    // leaves the old one. Neither ends the program by a signal or leaves a temporary file.
    TempFolder temp;
    write_text("sites.csv", sites(3) + "sea,-0.5,2,20,10\n");
    CliRunOptions pipe;
    pipe.stdoutBrokenPipe = true;
    const CliRun lost = run_cli({"--batch", "sites.csv", "--output-dir", "out"}, temp.path(), pipe);
    EXPECT_EQ(lost.status, 5);
    EXPECT_NE(lost.err.find("line 5: "), std::string::npos) << lost.err;
    EXPECT_NE(lost.err.find("skyfetch-cli: could not write to standard output: Broken pipe\n"
                            "3 driver files written to out, 1 row failed\n"),
              std::string::npos)
        << lost.err;
    EXPECT_EQ(entries("out"), (std::set<std::string>{"s0.txt", "s1.txt", "s2.txt"}));

    write_text("x.txt", "old");
    CliRunOptions limit;
    limit.fileSizeLimit = 50000;
    limit.keepXfszDefault = true;
    const CliRun full = run_cli({"--lon", "13.25", "--lat", "55.75", "--output", "x.txt", "--force"},
                                temp.path(), limit);
    EXPECT_EQ(full.status, 4);
    EXPECT_EQ(full.err, "Could not write x.txt: File too large\n");
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

TEST(CliSignals, AKilledRunsFilesAreRemovedByTheNextRunThere) {
    // SIGKILL leaves the temporary files in flight; the next run writing into the folder,
    // a single file or a batch, removes them, as their process is gone.
    TempFolder temp;
    write_text("sites.csv", sites(400, 2000));
    for (const bool batchAfter : {false, true}) {
        fs::remove_all("out");
        run_cli({"--batch", "sites.csv", "--output-dir", "out"}, temp.path(), 0, {},
                files_in_out(2), SIGKILL);
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
    EXPECT_EQ(run.err, "line 2: out/sites.txt is the batch file being read\n"
                       "line 3: out/copy.txt is the batch file being read\n");
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
    write_text("sites.csv", "name,lon,lat\n" + longName + ",13.25,55.75\n");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;
    } runs[] = {
        {{"--lon", "13.25", "--lat", "55.75", "--output", longName}, 2,
         cut + ": File name too long\n"},
        {{"--lon", "13.25", "--lat", "55.75", "--output", std::string(100000, 'n')}, 2,
         cut + ": File name too long\n"},
        {{"--batch", "sites.csv", "--output-dir", "out"}, 2,
         "line 2: out/" + std::string(196, 'n') + "...: File name too long\n"},
        {{"--batch", "folder"}, 2, "skyfetch-cli: cannot read folder: it is a folder\n"},
        {{"--lon", "13.25", "--lat", "55.75", "--output", "gone/a\u202Eb\xC2\x9B.txt"}, 4,
         "Could not open gone/a\\u202eb\\u009b.txt for output: No such file or directory\n"},
    };
    for (const auto& run : runs) {
        const CliRun result = run_cli(run.args, temp.path());
        EXPECT_EQ(result.status, run.status) << run.err;
        EXPECT_EQ(result.err, run.err);
    }
}

} // namespace
} // namespace skyfetch
