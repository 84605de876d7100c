#include "ChildProcess.h"
#include "ProcessRun.h"

#include <map>

namespace skyfetch::test {
namespace {

std::map<std::string, ChildRole>& roles() {
    static std::map<std::string, ChildRole> table;
    return table;
}

} // namespace

ChildRoleEntry::ChildRoleEntry(const char* name, ChildRole role) {
    roles()[name] = role;
}

ChildRole find_child_role(const std::string& name) {
    const auto found = roles().find(name);
    return found == roles().end() ? nullptr : found->second;
}

ChildOutcome run_child(const std::string& role, const std::vector<std::string>& args) {
    std::vector<std::string> all{"--child", role};
    all.insert(all.end(), args.begin(), args.end());
    const ProcessRun run = run_process(this_program(), all);
    return {static_cast<int>(run.status), run.out, run.err, static_cast<long>(run.pid)};
}

} // namespace skyfetch::test
