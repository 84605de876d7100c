#include "ChildProcess.h"

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

} // namespace skyfetch::test
