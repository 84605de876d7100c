#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace skyfetch::test {

// A fresh folder under the system's temporary folder that becomes the current
// directory for the lifetime of the object (the rules work relative to it).
class TempFolder {
public:
    TempFolder() : m_previous(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "skyfetch-rules-XXXXXX");
        m_path = mkdtemp(pattern.data());
        std::filesystem::current_path(m_path);
    }
    ~TempFolder() {
        std::filesystem::current_path(m_previous);
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }

    static void write(const std::string& name, const std::string& content) {
        std::ofstream(name, std::ios::binary) << content;
    }

private:
    std::filesystem::path m_previous;
    std::string m_path;
};

} // namespace skyfetch::test
