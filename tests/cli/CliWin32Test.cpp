// skyfetch-cli on Windows: text files with CR LF, the names Windows refuses, names taken
// in any case of letters, wide names, a held output folder and Ctrl-C.
#include "CliFiles.h"
#include "ProcessRun.h"
#include "RunCli.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace skyfetch {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::CliRunOptions;
using test::entries;
using test::fs_path;
using test::run_cli;
using test::TempFolder;

const std::vector<std::string> kLund = {"--lon", "13.25", "--lat", "55.75"};

std::vector<std::string> lund_and(std::vector<std::string> more) {
    more.insert(more.begin(), kLund.begin(), kLund.end());
    return more;
}

TEST(CliWin32, TheDriverFileIsATextFileWithCrLf) {
    TempFolder temp;
    ASSERT_EQ(run_cli(lund_and({"--output", "crlf.txt"}), temp.path()).status, 0);
    const std::string text = test::read_text("crlf.txt");
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; ++at, ++lines)
        ASSERT_EQ(text[at - 1], '\r') << "line " << lines + 1;
    EXPECT_EQ(lines, 9u + 1000u + 100u);
}

TEST(CliWin32, NamesWindowsRefusesAreBadInput) {
    TempFolder temp;
    const char* names[] = {"CON", "aux.txt", "LPT1.log", "a<b.txt", "a|b.txt", "name.", "name "};
    for (const char* name : names) {
        const CliRun run = run_cli(lund_and({"--output", name}), temp.path());
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_EQ(run.err.rfind(std::string("skyfetch-cli: the output name \"") + name + "\"", 0),
                  0u)
            << run.err;
    }
    test::write_text("sites.csv",
                     "name,lon,lat\nnul,13.25,55.75\na?b,13.25,55.75\nok,13.25,55.75\n");
    const CliRun batch = run_cli({"--batch", "sites.csv"}, temp.path());
    EXPECT_EQ(batch.status, 2);
    EXPECT_EQ(batch.err,
              "skyfetch-cli: line 2: the name \"nul\" is reserved on Windows for a device\n"
              "skyfetch-cli: line 3: the name \"a?b\" contains \"?\", which Windows does not "
              "allow in a file name\n");
    EXPECT_EQ(entries(temp.path()), (std::set<std::string>{"ok.txt", "sites.csv"}));
}

TEST(CliWin32, ANameIsTakenInAnyCaseOfLetters) {
    TempFolder temp;
    TempFolder::write("climate.txt", "mine");
    const CliRun run = run_cli(lund_and({"--output", "CLIMATE.TXT"}), temp.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "skyfetch-cli: CLIMATE.TXT already exists (use --force to replace it)\n");
    EXPECT_EQ(run_cli(kLund, temp.path()).status, 0); // the default name: climate0.txt
    EXPECT_EQ(entries(temp.path()), (std::set<std::string>{"climate.txt", "climate0.txt"}));
    EXPECT_EQ(test::read_text("climate.txt"), "mine");
}

TEST(CliWin32, WideNamesOfFilesAndFolders) {
    TempFolder temp;
    const std::string folder = "Daten_\u00c4";
    const std::string name = "Lund_\u00c5_\u5317\u4eac";
    fs::create_directory(fs_path(folder));
    const CliRun single =
        run_cli(lund_and({"--output", folder + "\\" + name + ".txt"}), temp.path());
    EXPECT_EQ(single.status, 0) << single.err;
    EXPECT_EQ(single.out, "Environmental driver data have been written to the file " + name +
                              ".txt in the folder " + folder + ".\n");
    test::write_text(fs_path(folder + "\\sites.csv"), "name,lon,lat\n" + name + "2,13.25,55.75\n");
    const CliRun batch =
        run_cli({"--batch", "sites.csv", "--output-dir", "."}, temp.path() + "\\" + folder);
    EXPECT_EQ(batch.status, 0) << batch.err;
    EXPECT_EQ(entries(folder), (std::set<std::string>{name + ".txt", name + "2.txt", "sites.csv"}));
}

// The folder a batch writes into is held: it cannot be renamed meanwhile, and every file
// lands in it.
TEST(CliWin32, ABatchHoldsItsOutputFolder) {
    TempFolder temp;
    test::write_text("sites.csv", test::sites(300, 2000));
    std::error_code renamed;
    CliRunOptions options;
    options.when = test::files_in_out(2);
    options.act = [&renamed](int) { fs::rename("out", "moved", renamed); };
    const CliRun run =
        run_cli({"--batch", "sites.csv", "--output-dir", "out", "--quiet"}, temp.path(), options);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(renamed) << "renamed while the batch wrote into it";
    EXPECT_EQ(entries("out").size(), 300u);
    EXPECT_EQ(test::temporaries("out"), 0);
}

// Ctrl-C in the batch's console: complete files under their names, no temporary file.
// (Wine delivers Ctrl-C to another console, not Ctrl-Break: the handler's answer to each
// event is checked in putil's TemporaryFilesWin32Test.)
TEST(CliWin32, CtrlCLeavesOnlyWholeFiles) {
    TempFolder temp;
    test::write_text("sites.csv", test::sites(400, 2000));
    CliRunOptions options;
    options.newConsole = true;
    options.when = test::files_in_out(2);
    options.act = [](int pid) { test::send_ctrl_c(static_cast<unsigned long>(pid)); };
    const CliRun run =
        run_cli({"--batch", "sites.csv", "--output-dir", "out"}, temp.path(), options);
    EXPECT_NE(run.status, 137) << "Ctrl-C did not end the batch";
    const std::set<std::string> left = entries("out");
    EXPECT_LT(left.size(), 400u) << "the batch ended before Ctrl-C";
    for (const std::string& name : left) {
        ASSERT_EQ(name.rfind(".skyfetch-", 0), std::string::npos) << name;
        EXPECT_EQ(test::file_lines("out\\" + name).size(), 9u + 2010u) << name;
    }
}

} // namespace
} // namespace skyfetch
