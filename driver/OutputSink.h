#pragma once

#include <cstddef>

namespace skyfetch {

// Where the driver file writer puts its bytes: a file on disk, or memory in tests.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    // Takes all `size` bytes, or returns false; after a false every later call fails too.
    virtual bool write(const char* data, std::size_t size) = 0;
};

} // namespace skyfetch
