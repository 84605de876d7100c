#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace skyfetch {

// A file open for writing, through the system's own descriptor (POSIX) or handle (Win32).
// Every function returns 0 or the errno of the failure.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile(OutputFile&& other) noexcept : m_handle(other.m_handle) { other.m_handle = kNone; }
    OutputFile& operator=(OutputFile&& other) noexcept;

    bool is_open() const { return m_handle != kNone; }

    // Opens the pipe or device at path to write into it as it is. Never waits: a pipe that
    // nobody reads is refused with ENXIO. If the name turns out to be a regular file or a
    // folder after all (it changed since it was looked at), nothing is opened and
    // notSpecial is set: such a file must not be written in place.
    int open_special(const std::string& path, bool& notSpecial);

    // Writes all the bytes (a pipe's reader may be waited for).
    int write_all(const char* data, std::size_t size);
    // Makes the data written so far durable on disk.
    int sync_data();
    int close();

    // The descriptor or handle, for the implementation that made it.
    std::intptr_t native() const { return m_handle; }
    void adopt(std::intptr_t handle) { m_handle = handle; }

    static constexpr std::intptr_t kNone = -1;

private:
    std::intptr_t m_handle = kNone;
};

} // namespace skyfetch
