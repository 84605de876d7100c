#pragma once

// What the driver file's tests and its benchmark share: a sink that keeps the bytes in
// memory, and splitting the written text into lines and fields.

#include "driver/OutputSink.h"

#include <cstddef>
#include <string>
#include <vector>

namespace skyfetch::test {

// Collects everything written to it; never refuses.
class StringSink : public OutputSink {
public:
    bool write(const char* data, std::size_t size) override {
        text.append(data, size);
        return true;
    }
    std::string text;
};

// The parts of text between separators, empty ones included: "a\tb\t" gives a, b and "".
inline std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos;
         start = at + separator.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}
inline std::vector<std::string> split(const std::string& text, char separator) {
    return split(text, std::string(1, separator));
}

} // namespace skyfetch::test
