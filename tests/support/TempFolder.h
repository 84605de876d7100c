#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace skyfetch::test {

// A UTF-8 path (the program's own strings) as std::filesystem takes it, and back: on
// Windows a plain std::string would be read in the system's code page.
inline std::filesystem::path fs_path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string utf8_of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A new, empty folder in `base` (the system's temporary folder unless given), named
// `prefix` and random letters; its path in UTF-8.
inline std::string make_temp_folder(const std::string& prefix,
                                    const std::filesystem::path& base = {}) {
    static std::mt19937_64 random(std::random_device{}());
    const std::filesystem::path in = base.empty() ? std::filesystem::temp_directory_path() : base;
    for (;;) {
        std::string name = prefix;
        for (int i = 0; i < 10; ++i)
            name += "abcdefghijklmnopqrstuvwxyz0123456789"[random() % 36];
        // create_directory is false when the name is taken: draw again.
        if (std::filesystem::create_directory(in / name))
            return utf8_of(in / name);
    }
}

// A fresh folder under the system's temporary folder that becomes the current
// directory for the lifetime of the object (the rules work relative to it).
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "skyfetch-rules-")
        : m_previous(std::filesystem::current_path()), m_path(make_temp_folder(prefix)) {
        std::filesystem::current_path(fs_path(m_path));
    }
    ~TempFolder() {
        std::filesystem::current_path(m_previous);
        std::error_code ignored;
        std::filesystem::remove_all(fs_path(m_path), ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path in UTF-8.
    const std::string& path() const { return m_path; }

    static void write(const std::string& name, const std::string& content) {
        std::ofstream(fs_path(name), std::ios::binary) << content;
    }

private:
    std::filesystem::path m_previous;
    std::string m_path;
};

} // namespace skyfetch::test
