// The desktop launcher on Linux, run against a PATH of one folder of small scripts
// (FakePath.h): programs found on PATH and started by the program itself.
#include "dialog/Launcher.h"
#include "putil/ProgramStart.h"

#include "FakePath.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

using namespace skyfetch;

namespace {
using namespace std::chrono_literals;
using test::FakePath;
using test::Script;
} // namespace

TEST(DesktopLauncher, TriesTheProgramsInTurnUntilOneTakesTheRequest) {
    const std::string file = "/data/run 1/climate file.txt";
    const std::string folder = "/data/run 1";
    using Calls = std::vector<std::vector<std::string>>;
    const struct {
        const char* name;
        bool explore;
        std::vector<std::pair<std::string, Script>> scripts;
        bool taken;
        Calls calls; // what each script that should have run was given
        std::vector<std::string> notRun;
    } cases[] = {
        {"no program", false, {}, false, {}, {}},
        {"libreoffice",
         false,
         {{"libreoffice", Script::Succeeds}, {"xdg-open", Script::Succeeds}},
         true,
         {{"libreoffice", "--calc", file}},
         {"xdg-open"}},
        {"failing libreoffice, then xdg-open",
         false,
         {{"libreoffice", Script::Fails},
          {"localc", Script::NotExecutable},
          {"xdg-open", Script::Succeeds}},
         true,
         {{"libreoffice", "--calc", file}, {"xdg-open", file}},
         {"localc"}},
        {"gnumeric",
         false,
         {{"gnumeric", Script::Succeeds}, {"xdg-open", Script::Succeeds}},
         true,
         {{"gnumeric", file}},
         {"xdg-open"}},
        {"only a failing xdg-open",
         false,
         {{"xdg-open", Script::Fails}},
         false,
         {{"xdg-open", file}},
         {}},
        {"folder, no program",
         true,
         {{"libreoffice", Script::Succeeds}},
         false,
         {},
         {"libreoffice"}},
        {"folder", true, {{"xdg-open", Script::Succeeds}}, true, {{"xdg-open", folder}}, {}},
        {"folder, failing xdg-open",
         true,
         {{"xdg-open", Script::Fails}},
         false,
         {{"xdg-open", folder}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FakePath path(c.scripts);
        // A generous wait: every script here ends at once, and the wait ends with it.
        DesktopLauncher launcher(60s);
        EXPECT_EQ(c.explore ? launcher.ExploreFolder(folder) : launcher.OpenInSpreadsheet(file),
                  c.taken);
        for (const std::vector<std::string>& call : c.calls)
            EXPECT_EQ(path.Run(call[0]), call);
        for (const std::string& name : c.notRun)
            EXPECT_TRUE(path.Run(name).empty()) << name;
    }
}

TEST(DesktopLauncher, AProgramStillRunningAfterTheWaitHasTheRequest) {
    const FakePath path({{"xdg-open", Script::WaitsForRelease}});
    // The script cannot end before it is released, so the short wait always runs out.
    DesktopLauncher launcher(50ms);
    EXPECT_TRUE(launcher.ExploreFolder("/tmp"));
    path.Release();
    EXPECT_EQ(path.Run("xdg-open"), (std::vector<std::string>{"xdg-open", "/tmp"}));
}

TEST(DesktopLauncher, RelativePathsReachTheProgramAbsolute) {
    // Relative to the current directory, names that would read as options.
    const test::TempFolder work;
    const std::string here = std::filesystem::current_path().string();
    const FakePath path({{"libreoffice", Script::Succeeds}, {"xdg-open", Script::Succeeds}});
    DesktopLauncher launcher(60s);
    EXPECT_TRUE(launcher.OpenInSpreadsheet("-x/climate.txt"));
    EXPECT_EQ(path.Run("libreoffice"),
              (std::vector<std::string>{"libreoffice", "--calc", here + "/-x/climate.txt"}));
    EXPECT_TRUE(launcher.ExploreFolder("-x"));
    EXPECT_EQ(path.Run("xdg-open"), (std::vector<std::string>{"xdg-open", here + "/-x"}));
}

TEST(DesktopLauncher, FindsOnlyExecutableFilesOnPath) {
    const FakePath path({{"viewer", Script::Succeeds}, {"notes", Script::NotExecutable}});
    const std::string folder = std::getenv("PATH");
    EXPECT_EQ(FindOnPath("viewer"), folder + "/viewer");
    EXPECT_EQ(FindOnPath("notes"), "");
    EXPECT_EQ(FindOnPath("absent"), "");
    EXPECT_EQ(FindOnPath(folder + "/viewer"), folder + "/viewer");
    EXPECT_EQ(StartProgram({"absent"}, 60s), StartOutcome::NotFound);
    EXPECT_EQ(StartProgram({"viewer", "x"}, 60s), StartOutcome::Started);
}
