#include "putil/Fail.h"
#include "putil/BlockString.h"
#include "putil/OutputFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

namespace skyfetch {
namespace {

struct ChildOutcome {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

std::string read_all(int fd) {
    std::string text;
    char buffer[256];
    lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    return text;
}

// Runs `body` in a child process with its standard streams caught in files.
template <typename Body> ChildOutcome run_in_child(Body body) {
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    ChildOutcome outcome;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(out), STDOUT_FILENO);
        dup2(fileno(err), STDERR_FILENO);
        body();
        std::_Exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        outcome.exitStatus = WEXITSTATUS(status);
    outcome.out = read_all(fileno(out));
    outcome.err = read_all(fileno(err));
    std::fclose(out);
    std::fclose(err);
    return outcome;
}

const char kMessage[] = "Error in PUTIL library: out of memory\n";

TEST(Fail, PrintsOnBothStreamsAndExitsWith99) {
    const ChildOutcome outcome = run_in_child([] {
        std::fputs("earlier output\n", stdout); // buffered output still reaches the file
        fail();
    });
    EXPECT_EQ(outcome.exitStatus, 99);
    EXPECT_EQ(outcome.out, std::string("earlier output\n") + kMessage);
    EXPECT_EQ(outcome.err, kMessage);
}

TEST(Fail, ABufferTooLargeForTheBlockCountEndsThroughFail) {
    const ChildOutcome outcome = run_in_child([] {
        BlockString s;
        s[static_cast<std::size_t>(1) << 40] = 'x';
    });
    EXPECT_EQ(outcome.exitStatus, 99);
    EXPECT_EQ(outcome.out, kMessage);
    EXPECT_EQ(outcome.err, kMessage);
}

TEST(Fail, OnAWorkerThreadItEndsAtOnceWithoutTemporaryFiles) {
    // Another thread is still at work: no exit handler may run under it, and no writer
    // will be destroyed, so the files in flight are removed before the end.
    char folder[] = "/tmp/skyfetch-fail-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const ChildOutcome outcome = run_in_child([&folder] {
        OutputFolder place;
        OutputFile temporary;
        std::string name;
        int ticket = -1;
        if (place.open(folder) != 0 || place.create_temporary(name, temporary, ticket) != 0)
            std::_Exit(1);
        std::atexit([] { std::fputs("exit handler ran\n", stderr); });
        std::thread busy([] { pause(); });
        std::thread([] { fail(); }).join();
    });
    EXPECT_EQ(outcome.exitStatus, 99);
    EXPECT_EQ(outcome.err, kMessage);
    EXPECT_EQ(rmdir(folder), 0) << "the temporary file is still there";
}

} // namespace
} // namespace skyfetch
