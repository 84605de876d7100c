#pragma once

// Whole files as text for tests: reading back what the program wrote, and preparing
// files for it to find. Plain C++, so any test may use it.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace skyfetch::test {

// The file's bytes exactly (empty when it cannot be read).
inline std::string read_text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Replaces the file's content with text, byte for byte, making its folder first.
inline void write_text(const std::filesystem::path& path, const std::string& text) {
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace skyfetch::test
