#include "putil/TemporaryFiles.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace skyfetch {
namespace {

// ".skyfetch-<host>-<pid>-<start>-<random>.tmp" with one of its parts replaced.
std::string with_part(const std::string& name, int part, const std::string& value) {
    std::size_t from = std::string(".skyfetch-").size();
    for (int i = 0; i < part; ++i)
        from = name.find('-', from) + 1;
    const std::size_t to = part == 3 ? name.size() - 4 : name.find('-', from);
    return name.substr(0, from) + value + name.substr(to);
}

const test::ChildRoleEntry kExit("exit", [](const std::vector<std::string>&) { return 0; });

TEST(TemporaryFiles, OnlyTheFilesOfEndedProcessesOnThisMachineAreStale) {
    const long child = test::run_child("exit").pid; // its number now belongs to nobody
    ASSERT_GT(child, 0);
    const std::string own = temporary_file_name();
    const struct {
        std::string name;
        bool stale;
    } rows[] = {
        {own, false},                                        // this process, still running
        {with_part(own, 1, std::to_string(child)), true},    // ended
        {with_part(own, 2, "1"), true},                      // our number, another start
        {with_part(with_part(own, 1, std::to_string(child)), 0, "00000000"), false}, // elsewhere
        {".skyfetch-0123456789.tmp", false},                 // no owner in the name
        {with_part(own, 3, "short"), false},
        {"climate.txt", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(is_stale_temporary_name(row.name), row.stale) << row.name;
}

} // namespace
} // namespace skyfetch
