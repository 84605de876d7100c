#include "putil/Fail.h"
#include "putil/BlockString.h"
#include "putil/OutputFolder.h"
#include "putil/Platform.h"

#include "ChildProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

namespace skyfetch {
namespace {

using Args = std::vector<std::string>;

// What the message looks like in a standard stream (a text stream on Windows).
const std::string kMessage = std::string("Error in PUTIL library: out of memory") + kTextLineEnd;

const test::ChildRoleEntry kFailAfterOutput("fail-after-output", [](const Args&) -> int {
    std::fputs("earlier output\n", stdout); // buffered output still reaches the file
    fail();
});

const test::ChildRoleEntry kHugeBlockString("huge-block-string", [](const Args&) -> int {
    BlockString s;
    s[static_cast<std::size_t>(1) << 40] = 'x';
    return 0;
});

// Another thread is still at work: no exit handler may run under it, and no writer will
// be destroyed, so the files in flight are removed before the end.
const test::ChildRoleEntry kFailOnWorker("fail-on-worker", [](const Args& args) -> int {
    OutputFolder place;
    OutputFile temporary;
    std::string name;
    int ticket = -1;
    if (place.open(args.at(0)) != 0 || place.create_temporary(name, temporary, ticket) != 0)
        return 1;
    std::atexit([] { std::fputs("exit handler ran\n", stderr); });
    std::thread busy([] {
        std::mutex never;
        std::unique_lock<std::mutex> lock(never);
        std::condition_variable().wait(lock, [] { return false; });
    });
    std::thread([] { fail(); }).join();
    return 0;
});

TEST(Fail, PrintsOnBothStreamsAndExitsWith99) {
    const test::ChildOutcome outcome = test::run_child("fail-after-output");
    EXPECT_EQ(outcome.status, 99);
    EXPECT_EQ(outcome.out, std::string("earlier output") + kTextLineEnd + kMessage);
    EXPECT_EQ(outcome.err, kMessage);
}

TEST(Fail, ABufferTooLargeForTheBlockCountEndsThroughFail) {
    const test::ChildOutcome outcome = test::run_child("huge-block-string");
    EXPECT_EQ(outcome.status, 99);
    EXPECT_EQ(outcome.out, kMessage);
    EXPECT_EQ(outcome.err, kMessage);
}

TEST(Fail, OnAWorkerThreadItEndsAtOnceWithoutTemporaryFiles) {
    const std::string folder = test::make_temp_folder("skyfetch-fail-");
    const test::ChildOutcome outcome = test::run_child("fail-on-worker", {folder});
    EXPECT_EQ(outcome.status, 99);
    EXPECT_EQ(outcome.err, kMessage);
    std::error_code notEmpty;
    EXPECT_TRUE(std::filesystem::remove(test::fs_path(folder), notEmpty))
        << "the temporary file is still there";
}

} // namespace
} // namespace skyfetch
