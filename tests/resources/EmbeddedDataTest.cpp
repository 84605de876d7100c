#include "resources/EmbeddedData.h"

#include "resources/Resource.h"

#include "TestData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skyfetch {
namespace {

// The blocks linked into the executable are byte for byte the files the data builder
// wrote, whatever the object format (ELF on Linux, PE/COFF on Windows) does to sections.
TEST(EmbeddedDataTest, LinkedBlocksAreTheBuiltFiles) {
    register_embedded_resources();
    const struct {
        ResourceId id;
        const char* file;
    } blocks[] = {
        {ResourceId::ClimateArchive, "climate-archive.bin"},
        {ResourceId::GlobeData, "globe-data.bin"},
        {ResourceId::ClimateSource, "climate-source.txt"},
    };
    for (const auto& block : blocks) {
        SCOPED_TRACE(block.file);
        const std::vector<unsigned char> expected =
            test::read_file_bytes(test::built_data_dir() + "/" + block.file);
        ASSERT_FALSE(expected.empty()) << "not built: " << block.file;
        const ByteBlock linked = find_resource(block.id);
        ASSERT_EQ(linked.size, expected.size());
        EXPECT_EQ(std::vector<unsigned char>(linked.data, linked.data + linked.size), expected);
    }
}

} // namespace
} // namespace skyfetch
