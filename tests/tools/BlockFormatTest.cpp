// Byte layout of records, index and globe block, the source file readers, the colour map
// averaging and the replacing file write, on small hand-made inputs.
#include "BitWriter.h"
#include "ClimateArchiveWriter.h"
#include "ColourMap.h"
#include "CruReader.h"
#include "GlobeBlock.h"
#include "OutputFile.h"
#include "TextFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace skyfetch::databuild {
namespace {

// Reads a big-endian bit string, most significant bit first.
std::uint32_t bits_at(const std::vector<std::uint8_t>& bytes, std::size_t first, int count) {
    std::uint32_t v = 0;
    for (int i = 0; i < count; ++i) {
        const std::size_t b = first + static_cast<std::size_t>(i);
        v = (v << 1) | ((bytes.at(b / 8) >> (7 - b % 8)) & 1u);
    }
    return v;
}

TEST(BitWriter, MostSignificantBitFirstAcrossBytes) {
    BitWriter w;
    w.put(0, 4);
    w.put(0xB, 4);
    w.put(0x3FF, 10);
    w.put(0x2AAA, 14);
    w.put(5, 3);
    EXPECT_EQ(w.bit_count(), 35u);
    const auto bytes = w.bytes();
    ASSERT_EQ(bytes.size(), 5u);
    EXPECT_EQ(bytes[0], 0x0B);
    EXPECT_EQ(bits_at(bytes, 8, 10), 0x3FFu);
    EXPECT_EQ(bits_at(bytes, 18, 14), 0x2AAAu);
    EXPECT_EQ(bits_at(bytes, 32, 3), 5u);
    EXPECT_EQ(bytes[4] & 0x1F, 0); // padding of the last byte
    EXPECT_THROW(w.put(16, 4), std::out_of_range);
    EXPECT_THROW(w.put(1, 0), std::out_of_range);
}

ArchiveCell sample_cell(int lon, int lat, int seed) {
    ArchiveCell c;
    c.lon_index = lon;
    c.lat_index = lat;
    c.soilcode = 1 + seed % 8;
    for (int k = 0; k < kRecordMonths; ++k) {
        c.mtemp[k] = static_cast<std::uint16_t>((seed * 37 + k * 83) % 1001);
        c.mprec[k] = static_cast<std::uint16_t>((seed * 911 + k * 1237) % 10000);
        c.msun[k] = static_cast<std::uint16_t>((seed * 7 + k * 13) % 101);
        c.mwet[k] = static_cast<std::uint16_t>((seed + k * 5) % 29);
    }
    return c;
}

TEST(EncodeRecord, FieldOrderWidthsAndTenYears) {
    ArchiveCell c = sample_cell(1, 2, 3);
    c.mtemp[119] = 1000; // largest values in the first and last month
    c.mprec[0] = 9999;
    c.mwet[119] = 31;
    const auto r = encode_record(c);
    ASSERT_EQ(r.size(), kRecordSize);
    EXPECT_EQ(bits_at(r, 0, 4), 0u);
    EXPECT_EQ(bits_at(r, 4, 4), static_cast<unsigned>(c.soilcode));
    std::size_t pos = 8;
    const std::pair<const MonthlyRaw*, int> fields[] = {
        {&c.mtemp, 10}, {&c.mprec, 14}, {&c.msun, 7}, {&c.mwet, 6}};
    for (const auto& [values, width] : fields) {
        for (int k = 0; k < 120; ++k) {
            ASSERT_EQ(bits_at(r, pos, width), (*values)[k]) << "value " << k;
            pos += static_cast<std::size_t>(width);
        }
    }
    EXPECT_EQ(pos, kRecordSize * 8); // the last mwet ends on the record's last bit
}

TEST(EncodeRecord, RefusesValuesOutsideTheirFields) {
    const ArchiveCell ok = sample_cell(0, 0, 1);
    EXPECT_NO_THROW(encode_record(ok));
    ArchiveCell c = ok;
    c.mtemp[64] = 1001;
    EXPECT_THROW(encode_record(c), std::invalid_argument);
    c = ok;
    c.mprec[0] = 10000;
    EXPECT_THROW(encode_record(c), std::invalid_argument);
    c = ok;
    c.msun[2] = 101;
    EXPECT_THROW(encode_record(c), std::invalid_argument);
    c = ok;
    c.mwet[2] = 32;
    EXPECT_THROW(encode_record(c), std::invalid_argument);
    c = ok;
    c.soilcode = 13;
    EXPECT_THROW(encode_record(c), std::invalid_argument);
}

TEST(BuildClimateArchive, RecordsInGivenOrderIndexByKey) {
    // Given north to south as the source runs, so key order differs from record order.
    const std::vector<ArchiveCell> cells = {sample_cell(386, 291, 1), sample_cell(0, 200, 2),
                                            sample_cell(386, 100, 3), sample_cell(719, 68, 4)};
    const auto a = build_climate_archive(cells);
    const std::size_t n = cells.size();
    ASSERT_EQ(a.size(), 764 + n * (kRecordSize + kIndexEntrySize));
    EXPECT_EQ(a[0], 1);                // format number
    EXPECT_EQ(a[1] * 256 + a[2], 764); // header length
    for (std::size_t r = 0; r < n; ++r) {
        const auto record = encode_record(cells[r]);
        EXPECT_TRUE(std::equal(record.begin(), record.end(), a.begin() + 764 + 556 * r))
            << "record " << r;
    }
    const std::size_t index = 764 + n * kRecordSize;
    const int expected_keys[] = {0 * 512 + 200, 386 * 512 + 100, 386 * 512 + 291, 719 * 512 + 68};
    const unsigned expected_records[] = {1, 2, 0, 3};
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* e = a.data() + index + 7 * i;
        EXPECT_EQ((e[0] << 16) | (e[1] << 8) | e[2], expected_keys[i]) << "entry " << i;
        const unsigned rec = (unsigned{e[3]} << 24) | (e[4] << 16) | (e[5] << 8) | e[6];
        EXPECT_EQ(rec, expected_records[i]) << "entry " << i;
    }
}

TEST(BuildClimateArchive, RefusesRepeatedKeysAndCellsOffTheGrid) {
    EXPECT_THROW(build_climate_archive({sample_cell(5, 5, 1), sample_cell(5, 5, 2)}),
                 std::invalid_argument);
    EXPECT_THROW(build_climate_archive({sample_cell(720, 5, 1)}), std::invalid_argument);
    EXPECT_THROW(build_climate_archive({sample_cell(5, 360, 1)}), std::invalid_argument);
}

TEST(GlobeBlock, PaddingMapAndColumnMajorMask) {
    std::vector<std::uint8_t> map(kColourMapSize);
    for (std::size_t i = 0; i < map.size(); ++i)
        map[i] = static_cast<std::uint8_t>(1 + i % 251);
    const auto block = build_globe_block(map, {{654, 94}, {0, 1}, {719, 359}});
    ASSERT_EQ(block.size(), 3'404'928u);
    EXPECT_EQ(kGlobePadding + kColourMapSize, 1024u * 1024u * 3u);
    EXPECT_TRUE(std::all_of(block.begin(), block.begin() + kGlobePadding,
                            [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::equal(map.begin(), map.end(), block.begin() + kGlobePadding));
    const std::uint8_t* mask = block.data() + kGlobePadding + kColourMapSize;
    EXPECT_EQ(mask[654 * 360 + 94], 1);
    EXPECT_EQ(mask[0 * 360 + 1], 1);
    EXPECT_EQ(mask[719 * 360 + 359], 1);
    EXPECT_EQ(mask[94 * 720 + 654], 0); // not row-major
    EXPECT_EQ(std::count(mask, mask + kLandMaskSize, 1), 3);
    EXPECT_THROW(build_globe_block(std::vector<std::uint8_t>(10), {}), std::invalid_argument);
    EXPECT_THROW(build_globe_block(map, {{720, 0}}), std::invalid_argument);
}

RgbImage image(int w, int h, const std::vector<std::uint8_t>& rgb) {
    RgbImage img;
    img.width = w;
    img.height = h;
    img.rgb = rgb;
    return img;
}

TEST(ColourMap, FractionalAreaWeights) {
    // Three pixels onto two: the first output takes pixel 0 whole and half of pixel 1.
    const auto out = average_to_bgr_map(image(3, 1, {0, 30, 3, 90, 60, 6, 255, 90, 9}), 2, 1);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[2], 30);  // red (0 + 45) / 1.5
    EXPECT_EQ(out[1], 40);  // green (30 + 30) / 1.5
    EXPECT_EQ(out[0], 4);   // blue (3 + 3) / 1.5
    EXPECT_EQ(out[5], 200); // red (45 + 255) / 1.5
    EXPECT_EQ(out[4], 80);  // green (30 + 90) / 1.5
    EXPECT_EQ(out[3], 8);   // blue (3 + 9) / 1.5
}

TEST(ColourMap, SouthernmostRowFirstAndRounding) {
    // The image's top row is the north; the map's row 0 the south.
    const auto flipped = average_to_bgr_map(image(1, 2, {10, 10, 10, 200, 200, 200}), 1, 2);
    EXPECT_EQ(flipped[0], 200);
    EXPECT_EQ(flipped[3], 10);
    // A mean of exactly one half rounds up.
    const auto half = average_to_bgr_map(image(2, 1, {0, 0, 0, 1, 1, 1}), 1, 1);
    EXPECT_EQ(half[0], 1);
    // The real proportions: 2048 x 1024 onto 720 x 360 keeps a uniform image uniform.
    const RgbImage flat = image(2048, 1024, std::vector<std::uint8_t>(2048 * 1024 * 3, 77));
    const auto map = average_to_bgr_map(flat, 720, 360);
    EXPECT_EQ(map.size(), kColourMapSize);
    EXPECT_TRUE(std::all_of(map.begin(), map.end(), [](std::uint8_t b) { return b == 77; }));
}

// Header, then 12 months of `rows` lines of `columns` five-character fields.
std::string cru_text(int columns, int rows, int (*value)(int, int, int)) {
    char head[200];
    std::snprintf(head, sizeof head,
                  "    grd_sz      xmin      ymin      xmax      ymax    n_cols    n_rows  "
                  "n_months\n      0.50      0.25    -89.75    359.75     89.75 %9d %9d        "
                  "12\n",
                  columns, rows);
    std::string text = head;
    for (int m = 0; m < 12; ++m)
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                char field[8];
                std::snprintf(field, sizeof field, "%5d", value(m, r, c));
                text += field;
            }
            text += '\n';
        }
    return text;
}

int sample_value(int m, int r, int c) {
    return (m + r + c) % 4 == 0 ? -9999 : m * 100 - r * 10 - c;
}

TEST(CruReader, FixedWidthFieldsMonthByMonth) {
    std::string error;
    const auto grid = parse_cru_text(cru_text(3, 2, sample_value), false, error);
    ASSERT_TRUE(grid.has_value()) << error;
    EXPECT_EQ(grid->columns(), 3);
    EXPECT_EQ(grid->rows(), 2);
    for (int m = 0; m < 12; ++m)
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) {
                const int v = sample_value(m, r, c);
                ASSERT_EQ(grid->has(m, r, c), v != -9999) << m << " " << r << " " << c;
                if (v != -9999) {
                    ASSERT_EQ(grid->at(m, r, c), v) << m << " " << r << " " << c;
                }
            }
    EXPECT_FALSE(grid->has(0, 0, 0));
    EXPECT_TRUE(grid->has(0, 0, 1));
}

TEST(CruReader, RefusesDamagedFiles) {
    std::string error;
    const std::string good = cru_text(3, 2, sample_value);
    // The small grid is not the global one the archive is keyed on.
    EXPECT_FALSE(parse_cru_text(good, true, error).has_value());
    // A line one character short (line 5: month 1, row 2).
    std::string shortened = good;
    std::size_t line5 = 0;
    for (int i = 0; i < 4; ++i)
        line5 = shortened.find('\n', line5) + 1;
    shortened.erase(line5, 1);
    EXPECT_FALSE(parse_cru_text(shortened, false, error).has_value());
    EXPECT_NE(error.find("line 5"), std::string::npos) << error;
    // A missing last line, a field that is not a number, text after the end.
    EXPECT_FALSE(parse_cru_text(good.substr(0, good.size() - 16), false, error).has_value());
    std::string garbled = good;
    garbled[good.find('\n', good.find('\n') + 1) + 3] = 'x';
    EXPECT_FALSE(parse_cru_text(garbled, false, error).has_value());
    EXPECT_FALSE(parse_cru_text(good + "    1\n", false, error).has_value());
    EXPECT_TRUE(parse_cru_text(good + "\n", false, error).has_value());
}

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("databuild-output-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
};

TEST_F(OutputFileTest, ReplacesTheWholeFile) {
    const auto path = dir_ / "block.bin";
    std::string error;
    ASSERT_TRUE(write_file_replacing(path.string(), {1, 2, 3, 4, 5}, error)) << error;
    ASSERT_TRUE(write_file_replacing(path.string(), {9, 8}, error)) << error;
    EXPECT_EQ(test::read_text(path), std::string("\x09\x08", 2));
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".part"));
}

TEST_F(OutputFileTest, FailureLeavesNothingBehindAndTheOldFileAlone) {
    std::string error;
    const auto missing = dir_ / "no-such-folder" / "block.bin";
    EXPECT_FALSE(write_file_replacing(missing.string(), {1, 2, 3}, error));
    EXPECT_NE(error.find("no-such-folder"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(missing.parent_path()));

    // The temporary name is taken by a folder, so the new content cannot be written.
    const auto path = dir_ / "block.bin";
    ASSERT_TRUE(write_file_replacing(path.string(), {7, 7, 7}, error)) << error;
    std::filesystem::create_directory(path.string() + ".part");
    EXPECT_FALSE(write_file_replacing(path.string(), {1}, error));
    EXPECT_EQ(test::read_text(path), std::string("\x07\x07\x07", 3));
}

} // namespace
} // namespace skyfetch::databuild
