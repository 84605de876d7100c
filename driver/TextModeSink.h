#pragma once

#include "driver/OutputSink.h"

#include <string>

namespace skyfetch {

// Passes text on with its lines ended the way a text file on this platform ends them, as
// a file written in text mode does: "\r\n" for each "\n" on Windows, unchanged elsewhere.
class TextModeSink final : public OutputSink {
public:
    explicit TextModeSink(OutputSink& file) : m_file(file) {}
    bool write(const char* data, std::size_t size) override;

private:
    OutputSink& m_file;
    std::string m_converted;
};

} // namespace skyfetch
