#pragma once

#include <string_view>

namespace skyfetch {

// Receiver of developer diagnostics (header fields of image files, error causes). The
// user never sees these lines; tests install a sink to read them.
class DebugTrace {
public:
    virtual ~DebugTrace() = default;
    virtual void write(std::string_view text) = 0;
};

// Installs the sink (not owned); nullptr restores the default, which writes to standard
// error only when the environment variable SKYFETCH_DEBUG_TRACE is set.
void set_debug_trace(DebugTrace* sink);

// Formats like printf and hands the text to the installed sink.
void debug_trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace skyfetch
