#include "globe/GlobeData.h"

#include "SyntheticGlobeBlock.h"
#include "TestData.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace skyfetch {
namespace {

using test::RegisteredGlobeBlock;
using test::SyntheticGlobeBlock;

// Byte k of texture pixel (row, column) after Prepare.
int texel(const CGlobeData& data, int row, int column, int k) {
    return data.GetTextureBuffer()[row * 3072 + column * 3 + k];
}

std::vector<unsigned char> prepared_texture(SyntheticGlobeBlock& block) {
    RegisteredGlobeBlock registered(block.Block());
    CGlobeData data;
    EXPECT_TRUE(data.Prepare());
    return {data.GetTextureBuffer(), data.GetTextureBuffer() + CGlobeData::kTextureBytes};
}

TEST(GlobeResample, AreaWeights) {
    SyntheticGlobeBlock block(3);
    RegisteredGlobeBlock registered(block.Block());
    CGlobeData data;
    ASSERT_TRUE(data.Prepare());
    const double column0Share = 0.296875 / 0.703125; // of destination column 1
    const double row0Share = 0.296875 / 0.3515625;   // of destination row 2
    for (int k = 0; k < 3; ++k) {
        // Pixel (0, 0) is source pixel (0, 0) itself.
        EXPECT_EQ(texel(data, 0, 0, k), block.Map(0, 0, k));
        // Destination rows 0 and 1 lie inside source row 0.
        EXPECT_EQ(texel(data, 1, 0, k), block.Map(0, 0, k));
        EXPECT_EQ(texel(data, 0, 1, k), static_cast<int>(block.Map(0, 0, k) * column0Share +
                                                         block.Map(0, 1, k) * (1 - column0Share)));
        EXPECT_EQ(texel(data, 2, 0, k), static_cast<int>(block.Map(0, 0, k) * row0Share +
                                                         block.Map(1, 0, k) * (1 - row0Share)));
    }
    EXPECT_NEAR(column0Share, 0.4222, 1e-4);
    EXPECT_NEAR(row0Share, 0.8444, 1e-4);
}

TEST(GlobeResample, EdgesTakeNothingFromTheWrappedNeighbours) {
    SyntheticGlobeBlock plain(5);
    SyntheticGlobeBlock changed(5);
    // The wrapped neighbours of the last column and the last row.
    for (int r = 0; r < CGlobeData::kRows; ++r)
        for (int k = 0; k < 3; ++k)
            changed.Map(r, 0, k) ^= 0xFF;
    for (int c = 0; c < CGlobeData::kColumns; ++c)
        for (int k = 0; k < 3; ++k)
            changed.Map(0, c, k) ^= 0xFF;
    const auto a = prepared_texture(plain);
    const auto b = prepared_texture(changed);
    int differing = 0;
    for (int row = 0; row < 1024; ++row) {
        for (int column = 0; column < 1024; ++column) {
            const std::size_t at = row * 3072 + column * 3;
            const bool same = a[at] == b[at] && a[at + 1] == b[at + 1] && a[at + 2] == b[at + 2];
            if (column == 1023 && row > 2) {
                EXPECT_TRUE(same) << "column 1023, row " << row;
            }
            if (row >= 1022 && column > 1) {
                EXPECT_TRUE(same) << "row " << row << ", column " << column;
            }
            differing += !same;
        }
    }
    EXPECT_GT(differing, 3000); // the change did reach the pixels that read those cells
}

TEST(GlobeResample, SecondPrepareReadsNothingMore) {
    SyntheticGlobeBlock block(9);
    block.Mask(100, 200) = 1;
    RegisteredGlobeBlock registered(block.Block());
    CGlobeData data;
    ASSERT_TRUE(data.Prepare());
    const std::vector<unsigned char> first(data.GetTextureBuffer(),
                                           data.GetTextureBuffer() + CGlobeData::kTextureBytes);
    EXPECT_TRUE(data.Prepare());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), data.GetTextureBuffer()));
    EXPECT_TRUE(data.IsLandCell(100, 200));
    // The read position stands at the end of the block.
    unsigned char probe[16];
    std::fill(std::begin(probe), std::end(probe), 0xAA);
    EXPECT_EQ(data.ReadBytes(probe, sizeof probe), 0u);
    for (unsigned char b : probe)
        EXPECT_EQ(b, 0);
}

TEST(GlobeResample, ShortOrMissingBlockIsNotPrepared) {
    register_resource(ResourceId::GlobeData, {});
    {
        CGlobeData data; // nothing registered
        EXPECT_FALSE(data.Prepare());
        EXPECT_FALSE(data.IsLandCell(654, 94));
    }
    SyntheticGlobeBlock block;
    block.Bytes().resize(CGlobeData::kBlockBytes - 1);
    RegisteredGlobeBlock registered(block.Block());
    CGlobeData data;
    EXPECT_FALSE(data.Prepare());
    EXPECT_FALSE(data.IsPrepared());
    EXPECT_FALSE(data.IsLandCell(719, 359));
}

TEST(GlobeResample, ReadBytesStopsAtTheEnd) {
    std::vector<unsigned char> bytes = {1, 2, 3, 4, 5};
    register_resource(ResourceId::GlobeData, {bytes.data(), bytes.size()});
    CGlobeData data;
    unsigned char buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(data.ReadBytes(buffer, 3), 3u);
    EXPECT_EQ(buffer[2], 3);
    EXPECT_EQ(buffer[3], 9);
    EXPECT_EQ(data.ReadBytes(buffer, 4), 2u);
    EXPECT_EQ(buffer[0], 4);
    EXPECT_EQ(buffer[1], 5);
    EXPECT_EQ(buffer[2], 0);
    EXPECT_EQ(buffer[3], 0);
    register_resource(ResourceId::GlobeData, {});
}

TEST(GlobeLandMask, OutsideTheGridIsNotLand) {
    SyntheticGlobeBlock block;
    block.SetAllLand();
    RegisteredGlobeBlock registered(block.Block());
    CGlobeData data;
    // Before Prepare the mask is read from the block, afterwards from the copy.
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(data.IsLandCell(0, 0));
        EXPECT_TRUE(data.IsLandCell(719, 359));
        EXPECT_FALSE(data.IsLandCell(-1, 10));
        EXPECT_FALSE(data.IsLandCell(720, 10));
        EXPECT_FALSE(data.IsLandCell(10, -1));
        EXPECT_FALSE(data.IsLandCell(10, 360));
        ASSERT_TRUE(data.Prepare());
    }
}

// The cells of the built climate archive, from its index: each entry's first three
// bytes are the key column * 512 + row, big-endian.
std::set<int> archive_cells() {
    const auto& archive = test::built_climate_archive();
    constexpr std::size_t kHeader = 764, kRecord = 556, kEntry = 7;
    std::set<int> cells;
    if (archive.size() <= kHeader)
        return cells;
    const std::size_t n = (archive.size() - kHeader) / (kRecord + kEntry);
    EXPECT_EQ(kHeader + n * (kRecord + kEntry), archive.size());
    const unsigned char* index = archive.data() + kHeader + n * kRecord;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char* e = index + i * kEntry;
        const int key = e[0] << 16 | e[1] << 8 | e[2];
        cells.insert((key >> 9) * CGlobeData::kRows + (key & 511));
    }
    EXPECT_EQ(cells.size(), n);
    return cells;
}

TEST(GlobeLandMask, AgreesWithTheClimateArchive) {
    ASSERT_TRUE(test::register_built_resources());
    const std::set<int> cells = archive_cells();
    ASSERT_GT(cells.size(), 50000u);
    CGlobeData data;
    ASSERT_TRUE(data.Prepare());
    std::size_t land = 0;
    for (int c = 0; c < CGlobeData::kColumns; ++c) {
        for (int r = 0; r < CGlobeData::kRows; ++r) {
            const bool inArchive = cells.count(c * CGlobeData::kRows + r) > 0;
            ASSERT_EQ(data.IsLandCell(c, r), inArchive) << "cell " << c << "," << r;
            land += inArchive;
        }
    }
    EXPECT_EQ(land, cells.size());
    EXPECT_TRUE(data.IsLandCell(654, 94)); // 147.25 E, 42.75 S
    EXPECT_FALSE(data.IsLandCell(0, 0));
    for (int c = 0; c < CGlobeData::kColumns; ++c) {
        EXPECT_FALSE(data.IsLandCell(c, 0));
        EXPECT_FALSE(data.IsLandCell(c, 359));
    }
    register_resource(ResourceId::GlobeData, {});
}

} // namespace
} // namespace skyfetch
