#include "OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace skyfetch::databuild {

bool write_file_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes,
                          std::string& error) {
    const std::string temp = path + ".part";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        error = "cannot create " + temp + ": " + std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int saved = errno;
    ok = std::fflush(f) == 0 && ok;
    if (!ok)
        saved = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        std::remove(temp.c_str());
        error = "cannot write " + path + ": " + std::strerror(saved);
    }
    return ok;
}

} // namespace skyfetch::databuild
