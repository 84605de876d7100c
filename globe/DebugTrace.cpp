#include "globe/DebugTrace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace skyfetch {
namespace {

class StderrTrace : public DebugTrace {
public:
    StderrTrace() : m_enabled(std::getenv("SKYFETCH_DEBUG_TRACE") != nullptr) {}
    void write(std::string_view text) override {
        if (m_enabled)
            std::fwrite(text.data(), 1, text.size(), stderr);
    }

private:
    bool m_enabled;
};

DebugTrace& default_trace() {
    static StderrTrace trace;
    return trace;
}

DebugTrace* g_sink = nullptr;

} // namespace

void set_debug_trace(DebugTrace* sink) {
    g_sink = sink;
}

void debug_trace(const char* format, ...) {
    char small[256];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    DebugTrace& sink = g_sink ? *g_sink : default_trace();
    if (n < 0) {
        va_end(again);
        return;
    }
    if (static_cast<std::size_t>(n) < sizeof small) {
        va_end(again);
        sink.write(std::string_view(small, static_cast<std::size_t>(n)));
        return;
    }
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), format, again);
    va_end(again);
    sink.write(std::string_view(big.data(), static_cast<std::size_t>(n)));
}

} // namespace skyfetch
