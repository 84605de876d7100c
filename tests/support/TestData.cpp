#include "TestData.h"

#include <fstream>
#include <iterator>

namespace skyfetch::test {

std::string built_data_dir() {
    return SKYFETCH_TEST_DATA_DIR;
}

std::vector<unsigned char> read_file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<unsigned char>& built_climate_archive() {
    static const std::vector<unsigned char> bytes =
        read_file_bytes(built_data_dir() + "/climate-archive.bin");
    return bytes;
}

const std::vector<unsigned char>& built_globe_data() {
    static const std::vector<unsigned char> bytes =
        read_file_bytes(built_data_dir() + "/globe-data.bin");
    return bytes;
}

bool register_built_resources() {
    const auto& archive = built_climate_archive();
    const auto& globe = built_globe_data();
    static const std::vector<unsigned char> source =
        read_file_bytes(built_data_dir() + "/climate-source.txt");
    if (archive.empty() || globe.empty() || source.empty())
        return false;
    register_resource(ResourceId::ClimateArchive, {archive.data(), archive.size()});
    register_resource(ResourceId::GlobeData, {globe.data(), globe.size()});
    register_resource(ResourceId::ClimateSource, {source.data(), source.size()});
    return true;
}

} // namespace skyfetch::test
