#include "climate/ClimateArchive.h"

#include "ArchiveBits.h"
#include "TestData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace skyfetch {
namespace {

using test::kEntryBytes;
using test::kHeaderBytes;
using test::kRecordBytes;

class ClimateDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::register_built_resources())
            << "built data missing in " << test::built_data_dir();
        const auto& bytes = test::built_climate_archive();
        ASSERT_GT(bytes.size(), kHeaderBytes);
        ASSERT_EQ((bytes.size() - kHeaderBytes) % (kRecordBytes + kEntryBytes), 0u);
        n = (bytes.size() - kHeaderBytes) / (kRecordBytes + kEntryBytes);
        archive = bytes.data();
        index = archive + kHeaderBytes + kRecordBytes * n;
        while ((std::size_t{1} << (bound - 1)) < n)
            ++bound;
    }

    std::uint32_t key(std::size_t i) const { return test::read_be(index + kEntryBytes * i, 3); }
    std::uint32_t record_number(std::size_t i) const {
        return test::read_be(index + kEntryBytes * i + 3, 4);
    }

    std::size_t n = 0;
    const unsigned char* archive = nullptr;
    const unsigned char* index = nullptr;
    int bound = 1; // ceil(log2 n) + 1
};

double corner_lon(std::uint32_t key) {
    return static_cast<double>(key / 512) * 0.5 - 180.0;
}
double corner_lat(std::uint32_t key) {
    return static_cast<double>(key % 512) * 0.5 - 90.0;
}

TEST_F(ClimateDataTest, EveryCellFoundWithTheValuesItsEntryPointsTo) {
    int maxProbes = 0;
    std::vector<bool> recordSeen(n, false);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t k = key(i);
        if (i > 0) {
            ASSERT_LT(key(i - 1), k) << "index not strictly ascending at " << i;
        }
        const std::uint32_t r = record_number(i);
        ASSERT_LT(r, n);
        ASSERT_FALSE(recordSeen[r]) << "record " << r << " used twice";
        recordSeen[r] = true;

        unsigned padding = 1;
        const test::RawRecord raw =
            test::unpack_record(archive + kHeaderBytes + kRecordBytes * r, &padding);
        ASSERT_EQ(padding, 0u) << "entry " << i;

        ClimateArchive reader;
        ASSERT_TRUE(reader.open());
        CellRecord rec;
        rec.lon = corner_lon(k);
        rec.lat = corner_lat(k);
        ASSERT_TRUE(reader.lookup(rec))
            << "entry " << i << " (" << rec.lon << ", " << rec.lat << ")";
        maxProbes = std::max(maxProbes, reader.last_probe_count());
        reader.close();

        ASSERT_EQ(rec.soilcode, static_cast<double>(raw.soilcode)) << "entry " << i;
        for (int m = 0; m < kMonthsPerRecord; ++m) {
            ASSERT_NEAR(rec.mtemp[m], test::temperature_of(raw.mtemp[m]), 1e-9) << i << "/" << m;
            ASSERT_EQ(rec.mprec[m], static_cast<double>(raw.mprec[m])) << i << "/" << m;
            ASSERT_EQ(rec.msun[m], static_cast<double>(raw.msun[m])) << i << "/" << m;
            ASSERT_EQ(rec.mwet[m], static_cast<double>(raw.mwet[m])) << i << "/" << m;
        }
    }
    EXPECT_LE(maxProbes, bound);
    std::printf("climate archive: %zu cells found, at most %d probes (bound %d)\n", n, maxProbes,
                bound);
    RecordProperty("cells", static_cast<int>(n));
    RecordProperty("max_probes", maxProbes);
}

TEST_F(ClimateDataTest, CellsOutsideTheIndexEndWithinBound) {
    std::vector<bool> present(720 * 512 + 512, false);
    for (std::size_t i = 0; i < n; ++i)
        present[key(i)] = true;

    int missing = 0;
    int maxProbes = 0;
    // Longitude index 720 is longitude 180, the eastern edge of the grid.
    for (unsigned lon = 0; lon <= 720; ++lon) {
        for (unsigned lat = 0; lat < 360; ++lat) {
            const std::uint32_t k = lon * 512 + lat;
            if (present[k])
                continue;
            ClimateArchive reader;
            ASSERT_TRUE(reader.open());
            CellRecord rec;
            rec.lon = corner_lon(k);
            rec.lat = corner_lat(k);
            ASSERT_FALSE(reader.lookup(rec)) << rec.lon << ", " << rec.lat;
            ASSERT_LE(reader.last_probe_count(), bound) << rec.lon << ", " << rec.lat;
            maxProbes = std::max(maxProbes, reader.last_probe_count());
            ++missing;
        }
    }
    EXPECT_EQ(static_cast<std::size_t>(missing) + n, 721u * 360u);
    std::printf("%d grid cells not in the archive, at most %d probes\n", missing, maxProbes);
}

TEST_F(ClimateDataTest, SeaAntarcticaAndTheDateLineAreNotLand) {
    const struct {
        const char* what;
        double lon, lat;
    } cases[] = {
        {"Pacific", -150.0, 0.0},         {"Atlantic", -30.0, 30.0},
        {"Southern Ocean", 0.0, -60.0},   {"Antarctica", 0.0, -80.0},
        {"Antarctic coast", 30.0, -56.5}, {"South Pole", -180.0, -90.0},
        {"longitude 180", 180.0, 65.0},   {"longitude 180 south", 180.0, -17.0},
    };
    for (const auto& c : cases) {
        ClimateArchive reader;
        ASSERT_TRUE(reader.open());
        CellRecord rec;
        rec.lon = c.lon;
        rec.lat = c.lat;
        EXPECT_FALSE(reader.lookup(rec)) << c.what;
        EXPECT_LE(reader.last_probe_count(), bound) << c.what;
    }
    // No cell south of latitude index 68 (56 degrees south) is in the archive.
    for (std::size_t i = 0; i < n; ++i)
        ASSERT_GE(key(i) % 512, 68u);
}

TEST_F(ClimateDataTest, CellNearCopenhagen) {
    CellRecord rec;
    ASSERT_TRUE(lookup_cell(13.0, 55.5, rec));
    EXPECT_EQ(rec.lon, 13.0);
    EXPECT_EQ(rec.lat, 55.5);
    // Medium texture in the soil data, no organic soil unit.
    EXPECT_EQ(rec.soilcode, 2.0);
    std::printf("cell 13.0 E 55.5 N: soil code %g\n", rec.soilcode);

    const double temps[] = {-0.9, -0.8, 1.8, 5.7};
    for (int m = 0; m < 4; ++m)
        EXPECT_NEAR(rec.mtemp[m], temps[m], 1e-9) << "month " << m;
    const double precs[] = {53, 34, 43};
    for (int m = 0; m < 3; ++m)
        EXPECT_EQ(rec.mprec[m], precs[m]) << "month " << m;
    // The ten data years are copies of one mean year.
    for (int y = 1; y < kDataYears; ++y)
        for (int m = 0; m < 12; ++m) {
            EXPECT_EQ(rec.mtemp[12 * y + m], rec.mtemp[m]);
            EXPECT_EQ(rec.mwet[12 * y + m], rec.mwet[m]);
        }
}

TEST_F(ClimateDataTest, CornerWithRoundingErrorStillFound) {
    CellRecord exact;
    ASSERT_TRUE(lookup_cell(13.0, 55.5, exact));

    // The dialog's corner of a typed location, and corners that carry the error of
    // adding tenths or lie a hair below the grid line.
    const double dialogLon = std::trunc((13.25 + 180.0) * 2 + 0.000001) * 0.5 - 180.0;
    const double dialogLat = std::trunc((55.75 + 90.0) * 2 + 0.000001) * 0.5 - 90.0;
    double tenthsLon = 0.0;
    for (int i = 0; i < 130; ++i)
        tenthsLon += 0.1;
    double tenthsLat = 0.0;
    for (int i = 0; i < 555; ++i)
        tenthsLat += 0.1;
    ASSERT_NE(tenthsLat, 55.5);

    const struct {
        double lon, lat;
    } corners[] = {{dialogLon, dialogLat},
                   {tenthsLon, tenthsLat},
                   {13.0 - 4e-7, 55.5 + 4e-7},
                   {13.0 + 1e-9, 55.5 - 1e-9}};
    for (const auto& c : corners) {
        CellRecord rec;
        ASSERT_TRUE(lookup_cell(c.lon, c.lat, rec)) << c.lon << ", " << c.lat;
        EXPECT_EQ(rec.soilcode, exact.soilcode);
        for (int m = 0; m < kMonthsPerRecord; ++m)
            ASSERT_EQ(rec.mprec[m], exact.mprec[m]);
    }
}

} // namespace
} // namespace skyfetch
