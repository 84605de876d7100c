// Invariants of the blocks this build wrote, read with a bit reader of its own and checked
// against the source climate files where the values can be traced back.
#include "TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::size_t kHeader = 764;
constexpr std::size_t kRecord = 556;
constexpr std::size_t kEntry = 7;
constexpr std::size_t kGlobeSize = 3'404'928;
constexpr std::size_t kMapOffset = 2'368'128;
constexpr std::size_t kMaskOffset = 3'145'728;
constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// One record decoded from its big-endian bit string, most significant bit first.
struct Decoded {
    unsigned padding = 0;
    unsigned soilcode = 0;
    std::array<unsigned, 120> mtemp{}, mprec{}, msun{}, mwet{};
};

Decoded decode(const unsigned char* record) {
    std::size_t bit = 0;
    const auto take = [&](int n) {
        unsigned v = 0;
        for (int i = 0; i < n; ++i, ++bit)
            v = (v << 1) | ((record[bit / 8] >> (7 - bit % 8)) & 1u);
        return v;
    };
    Decoded d;
    d.padding = take(4);
    d.soilcode = take(4);
    for (auto& v : d.mtemp)
        v = take(10);
    for (auto& v : d.mprec)
        v = take(14);
    for (auto& v : d.msun)
        v = take(7);
    for (auto& v : d.mwet)
        v = take(6);
    return d;
}

struct Entry {
    unsigned key;
    unsigned record;
};

class BuiltArchive : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const Bytes& a = skyfetch::test::built_climate_archive();
        if (a.size() > kHeader)
            n_ = (a.size() - kHeader) / (kRecord + kEntry);
        entries_.clear();
        for (std::size_t i = 0; i < n_; ++i) {
            const unsigned char* e = a.data() + kHeader + n_ * kRecord + i * kEntry;
            entries_.push_back(
                {(unsigned{e[0]} << 16) | (unsigned{e[1]} << 8) | e[2],
                 (unsigned{e[3]} << 24) | (unsigned{e[4]} << 16) | (unsigned{e[5]} << 8) | e[6]});
        }
    }

    static const Bytes& archive() { return skyfetch::test::built_climate_archive(); }

    // The decoded record of the cell with this south-west corner (degrees), via the index.
    static bool find(double lon, double lat, Decoded& out) {
        const unsigned key =
            static_cast<unsigned>(std::lround((lon + 180) * 2) * 512 + std::lround((lat + 90) * 2));
        const auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                                         [](const Entry& e, unsigned k) { return e.key < k; });
        if (it == entries_.end() || it->key != key)
            return false;
        out = decode(archive().data() + kHeader + it->record * kRecord);
        return true;
    }

    static inline std::size_t n_ = 0;
    static inline std::vector<Entry> entries_;
};

TEST_F(BuiltArchive, SizeAndCellCount) {
    ASSERT_GT(archive().size(), kHeader);
    EXPECT_EQ((archive().size() - kHeader) % (kRecord + kEntry), 0u);
    EXPECT_EQ(n_, 67'420u);
    EXPECT_EQ(archive()[0], 1);
    EXPECT_EQ(archive()[1] * 256 + archive()[2], 764);
}

TEST_F(BuiltArchive, IndexSortedAndEveryRecordOnce) {
    ASSERT_EQ(entries_.size(), n_);
    std::vector<char> seen(n_, 0);
    std::size_t elsewhere = 0;
    unsigned min_lat = 511, max_lat = 0;
    for (std::size_t i = 0; i < n_; ++i) {
        if (i > 0) {
            ASSERT_LT(entries_[i - 1].key, entries_[i].key) << "entry " << i;
        }
        const unsigned lon = entries_[i].key >> 9, lat = entries_[i].key & 511;
        ASSERT_LT(lon, 720u);
        ASSERT_LT(lat, 360u);
        min_lat = std::min(min_lat, lat);
        max_lat = std::max(max_lat, lat);
        ASSERT_LT(entries_[i].record, n_);
        ASSERT_FALSE(seen[entries_[i].record]) << "record " << entries_[i].record << " twice";
        seen[entries_[i].record] = 1;
        elsewhere += entries_[i].record != i;
    }
    // Records run as the source lines do (north to south), the index by longitude first, so
    // only a reader that follows the index finds the right record.
    EXPECT_GT(elsewhere, n_ / 2);
    EXPECT_EQ(min_lat, 68u);
    EXPECT_EQ(max_lat, 347u);
}

TEST_F(BuiltArchive, EveryRecordWithinItsFields) {
    for (std::size_t r = 0; r < n_; ++r) {
        const Decoded d = decode(archive().data() + kHeader + r * kRecord);
        ASSERT_EQ(d.padding, 0u) << "record " << r;
        ASSERT_GE(d.soilcode, 1u) << "record " << r;
        ASSERT_LE(d.soilcode, 8u) << "record " << r;
        for (int k = 0; k < 120; ++k) {
            ASSERT_LE(d.mtemp[k], 1000u);
            ASSERT_LE(d.mprec[k], 9999u);
            ASSERT_LE(d.msun[k], 100u);
            ASSERT_LE(d.mwet[k], static_cast<unsigned>(kDays[k % 12])) << "record " << r;
            // Ten copies of the one mean year.
            if (k >= 12) {
                ASSERT_EQ(d.mtemp[k], d.mtemp[k - 12]);
                ASSERT_EQ(d.mprec[k], d.mprec[k - 12]);
                ASSERT_EQ(d.msun[k], d.msun[k - 12]);
                ASSERT_EQ(d.mwet[k], d.mwet[k - 12]);
            }
        }
    }
}

TEST_F(BuiltArchive, KnownCellOnTheSound) {
    // Corner 13.0 E 55.5 N (centre 13.25 E 55.75 N).
    Decoded d;
    ASSERT_TRUE(find(13.0, 55.5, d));
    const double temps[4] = {-0.9, -0.8, 1.8, 5.7};
    for (int m = 0; m < 4; ++m)
        EXPECT_NEAR(d.mtemp[m] * 0.1 - 50.0, temps[m], 1e-9) << "month " << m;
    EXPECT_EQ(d.mprec[0], 53u);
    EXPECT_EQ(d.mprec[1], 34u);
    EXPECT_EQ(d.mprec[2], 43u);
    // Sea, Antarctica and the longitude 180 itself are not cells.
    EXPECT_FALSE(find(-30.0, 40.0, d));
    EXPECT_FALSE(find(0.0, -80.0, d));
    EXPECT_FALSE(find(180.0, 65.0, d));
}

// Month `m` of a CRU .dat file: 360 rows (north first) of 720 values.
std::vector<int> read_cru_month(const std::string& name, int m) {
    std::ifstream in(std::string(SKYFETCH_TEST_CRU_DIR) + "/" + name);
    std::string line;
    for (int i = 0; i < 2 + 360 * m; ++i)
        std::getline(in, line);
    std::vector<int> values;
    for (int r = 0; r < 360 && std::getline(in, line); ++r)
        for (int c = 0; c < 720; ++c)
            values.push_back(std::stoi(line.substr(5 * static_cast<std::size_t>(c), 5)));
    return values;
}

TEST_F(BuiltArchive, CellsAreWhereTheSourceHasData) {
    // Every index key traced back to its source line and column: January temperature there
    // is present and is what the record holds (within the -50 degC floor).
    const std::vector<int> january = read_cru_month("ctmp6190.dat", 0);
    ASSERT_EQ(january.size(), 360u * 720u);
    std::size_t source_cells =
        std::count_if(january.begin(), january.end(), [](int v) { return v != -9999; });
    EXPECT_EQ(source_cells, n_);
    for (const Entry& e : entries_) {
        const int lon = static_cast<int>(e.key >> 9), lat = static_cast<int>(e.key & 511);
        const int column = (lon + 360) % 720; // source columns start at 0 E
        const int row = 359 - lat;            // source rows start in the north
        const int source = january[static_cast<std::size_t>(row) * 720 + column];
        ASSERT_NE(source, -9999) << "key " << e.key;
        const Decoded d = decode(archive().data() + kHeader + e.record * kRecord);
        ASSERT_EQ(static_cast<int>(d.mtemp[0]), std::max(0, source + 500)) << "key " << e.key;
    }
}

TEST_F(BuiltArchive, FilledAugustFromTheNeighbours) {
    // The cell with centre 48.25 E 26.25 N has no August precipitation in the source; the
    // archive holds the mean of its neighbours' August values converted to a monthly total.
    const std::vector<int> august = read_cru_month("cpre6190.dat", 7);
    const int row = static_cast<int>((89.75 - 26.25) / 0.5), column = static_cast<int>(48.25 / 0.5);
    ASSERT_EQ(august[static_cast<std::size_t>(row) * 720 + column], -9999);
    double sum = 0;
    int count = 0;
    for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) {
            const int v = august[static_cast<std::size_t>(row + dr) * 720 + column + dc];
            if ((dr != 0 || dc != 0) && v != -9999) {
                sum += v;
                ++count;
            }
        }
    ASSERT_GT(count, 0);
    const double mm = sum / count / 10.0 * 31; // tenths of mm/day -> mm in August
    Decoded d;
    ASSERT_TRUE(find(48.0, 26.0, d));
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(d.mprec[12 * y + 7], static_cast<unsigned>(std::round(mm))) << "year " << y;
    // The other months come straight from the source.
    const std::vector<int> july = read_cru_month("cpre6190.dat", 6);
    EXPECT_EQ(d.mprec[6], static_cast<unsigned>(std::round(
                              july[static_cast<std::size_t>(row) * 720 + column] * 31 / 10.0)));
}

TEST_F(BuiltArchive, GlobeMaskMarksExactlyTheArchiveCells) {
    const Bytes& g = skyfetch::test::built_globe_data();
    ASSERT_EQ(g.size(), kGlobeSize);
    EXPECT_TRUE(
        std::all_of(g.begin(), g.begin() + kMapOffset, [](unsigned char b) { return b == 0; }));
    const unsigned char* mask = g.data() + kMaskOffset;
    EXPECT_EQ(static_cast<std::size_t>(std::count(mask, mask + 720 * 360, 1)), n_);
    EXPECT_EQ(static_cast<std::size_t>(std::count(mask, mask + 720 * 360, 0)), 720 * 360 - n_);
    for (const Entry& e : entries_)
        ASSERT_EQ(mask[(e.key >> 9) * 360 + (e.key & 511)], 1) << "key " << e.key;
    EXPECT_EQ(mask[654 * 360 + 94], 1); // 147.25 E 42.75 S, Tasmania
    for (int c = 0; c < 720; ++c) {
        EXPECT_EQ(mask[c * 360 + 0], 0);
        EXPECT_EQ(mask[c * 360 + 359], 0);
    }
}

TEST_F(BuiltArchive, ColourMapShowsLandAndSea) {
    // Sea is bluer than land on the Earth image; if the map were shifted or upside down the
    // mask's land would not be the less blue part.
    const Bytes& g = skyfetch::test::built_globe_data();
    ASSERT_EQ(g.size(), kGlobeSize);
    const unsigned char* map = g.data() + kMapOffset;
    const unsigned char* mask = g.data() + kMaskOffset;
    double blue_minus_red[2] = {0, 0};
    long count[2] = {0, 0};
    for (int r = 60; r < 300; ++r)
        for (int c = 0; c < 720; ++c) {
            const unsigned char* px = map + (static_cast<std::size_t>(r) * 720 + c) * 3;
            const int land = mask[c * 360 + r];
            blue_minus_red[land] += px[0] - px[2];
            ++count[land];
        }
    EXPECT_GT(blue_minus_red[0] / count[0], 20.0);
    EXPECT_LT(blue_minus_red[1] / count[1], 0.0);
}

} // namespace
