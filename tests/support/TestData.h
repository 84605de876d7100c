#pragma once

#include "resources/Resource.h"

#include <string>
#include <vector>

namespace skyfetch::test {

// Folder of the blocks the data builder wrote for this build.
std::string built_data_dir();

// The whole content of a file (empty when it cannot be read).
std::vector<unsigned char> read_file_bytes(const std::string& path);

// Reads the built climate archive, globe data and climate source line once per process
// and registers
// them as the program's resources, as the executables do with their embedded copies.
// Returns false (and registers nothing) when a file is missing.
bool register_built_resources();

// The bytes behind the registered blocks (loaded on first use).
const std::vector<unsigned char>& built_climate_archive();
const std::vector<unsigned char>& built_globe_data();

} // namespace skyfetch::test
