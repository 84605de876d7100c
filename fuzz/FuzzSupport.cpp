#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <ftw.h>
#include <unistd.h>

namespace skyfetch::fuzz {

void invariant_failed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "\n==== INVARIANT FAILED: %s\n==== at %s:%d\n", condition, file, line);
    std::fflush(stderr);
    std::abort();
}

std::vector<std::string> split_on_nul(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> parts;
    if (size == 0)
        return parts;
    const char* text = reinterpret_cast<const char*>(data);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || text[i] == '\0') {
            parts.emplace_back(text + start, i - start);
            start = i + 1;
        }
    }
    return parts;
}

bool has_raw_control(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte < 0x20 && byte != '\n') || byte == 0x7f)
            return true;
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const auto third = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
        // C1 controls (U+0080-U+009F) and the bidirectional controls in UTF-8.
        if (byte == 0xC2 && next >= 0x80 && next <= 0x9F)
            return true;
        if (byte == 0xD8 && next == 0x9C)
            return true;
        if (byte == 0xE2 && next == 0x80 && (third == 0x8E || third == 0x8F ||
                                             (third >= 0xAA && third <= 0xAE)))
            return true;
        if (byte == 0xE2 && next == 0x81 && third >= 0xA6 && third <= 0xA9)
            return true;
    }
    return false;
}

namespace {

std::string g_scratch;

int remove_entry(const char* path, const struct stat*, int, struct FTW*) {
    std::remove(path);
    return 0;
}

void remove_scratch() {
    if (!g_scratch.empty())
        nftw(g_scratch.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

} // namespace

const std::string& scratch_folder() {
    if (g_scratch.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/skyfetch-fuzz-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (!mkdtemp(buffer.data())) {
            std::perror("skyfetch fuzz: cannot make the scratch folder");
            std::abort();
        }
        g_scratch = buffer.data();
        std::atexit(remove_scratch);
    }
    return g_scratch;
}

bool read_whole_file(const std::string& path, std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    content.clear();
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, n);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

void write_whole_file(const std::string& path, const std::string& content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool ok = file && std::fwrite(content.data(), 1, content.size(), file) == content.size();
    if (!file || std::fclose(file) != 0 || !ok) {
        std::fprintf(stderr, "skyfetch fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
}

std::vector<std::string> folder_entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

} // namespace skyfetch::fuzz
