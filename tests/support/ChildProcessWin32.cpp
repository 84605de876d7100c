#include "ChildProcess.h"
#include "ProcessRun.h"

namespace skyfetch::test {

ChildOutcome run_child(const std::string& role, const std::vector<std::string>& args) {
    std::vector<std::string> all{"--child", role};
    all.insert(all.end(), args.begin(), args.end());
    const ProcessRun run = run_process(this_program(), all);
    return {static_cast<int>(run.status), run.out, run.err, static_cast<long>(run.pid)};
}

} // namespace skyfetch::test
