// The start-up choice on what only POSIX has: named pipes.
#include "app/StartupOutput.h"

#include "StartupFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace skyfetch;

namespace {

using test::Startup;

TEST_F(Startup, APipeUnderTheRememberedNameIsNeverOpened) {
    const fs::path runs = Folder("runs", {"site.txt"});
    ASSERT_EQ(::mkfifo((runs / "pipe.txt").c_str(), 0666), 0);
    std::string folder, name;
    Remember(runs.string(), "pipe.txt");
    EXPECT_FALSE(ReadLastOutput(folder, name));
}

} // namespace
