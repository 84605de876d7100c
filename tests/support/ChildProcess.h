#pragma once

// Code a test runs in a child process of its own, registered under a name: on POSIX in a
// fork of the test, on Windows in the test program started again as
// "<program> --child NAME ARGS..." (its main is ChildMain.cpp). Standard output and
// error are caught, as the child wrote them.

#include <string>
#include <vector>

namespace skyfetch::test {

// A child's code: the arguments it was given, its exit status as the result.
using ChildRole = int (*)(const std::vector<std::string>& args);

// Registers a role; made at namespace scope in the test file that uses it.
struct ChildRoleEntry {
    ChildRoleEntry(const char* name, ChildRole role);
};

struct ChildOutcome {
    int status = -1; // the exit status (-1: not a normal exit on POSIX)
    std::string out;
    std::string err;
    long pid = 0; // the child's process number
};

ChildOutcome run_child(const std::string& role, const std::vector<std::string>& args = {});

// The role of that name, or nullptr.
ChildRole find_child_role(const std::string& name);

} // namespace skyfetch::test
