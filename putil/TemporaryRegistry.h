#pragma once

// The platform side of TemporaryFiles.h, for the implementations in this folder only.

#include <cstdint>
#include <string>

namespace skyfetch::temporaries {

// Counts a creation in progress while it lives, so that a cleanup that begins meanwhile
// waits for the file to be registered. allowed() is false once a cleanup has begun: the
// file must not be created then.
class Creation {
public:
    Creation();
    ~Creation();
    Creation(const Creation&) = delete;
    Creation& operator=(const Creation&) = delete;
    bool allowed() const { return m_allowed; }

private:
    bool m_allowed;
};

// Registers a name before its file is created: POSIX takes the folder's descriptor and
// the name in it, Windows the file's full path (folder unused). The ticket, or -1 when
// every place is taken (the file is then not cleaned up on a signal).
int add(std::intptr_t folder, const std::string& name);

// Who made a temporary file: the machine, the process number and the process's start.
struct Owner {
    std::uint32_t host = 0;
    long pid = 0;
    std::uint64_t start = 0;
};
const Owner& this_process();
// True when the owner, a process on this machine, has ended.
bool has_ended(const Owner& owner);
// A tag of a machine name (FNV-1a).
std::uint32_t host_tag(const std::string& machineName);

// Reads ".skyfetch-<host>-<pid>-<start>-<random>.tmp".
bool parse_name(const std::string& name, Owner& owner);
// Random letters for a name.
std::string random_letters();

} // namespace skyfetch::temporaries
