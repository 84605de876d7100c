#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skyfetch::databuild {

// Writes `bytes` to a temporary file beside `path` and renames it over `path` only when
// every write and the close succeeded, so that a failed run never leaves a truncated block
// that a later build would take as up to date. On failure the temporary file is removed,
// an existing `path` is left as it was and `error` says why.
bool write_file_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes,
                          std::string& error);

} // namespace skyfetch::databuild
