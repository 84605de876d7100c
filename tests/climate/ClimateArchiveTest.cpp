#include "climate/ClimateArchive.h"

#include "ArchiveBits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace skyfetch {
namespace {

using test::kEntryBytes;
using test::kHeaderBytes;
using test::kRecordBytes;
using test::RawRecord;

// The header the data builder generated for this build (bytes 0 to 759).
const unsigned char kBuiltHeader[760] = {
#include "climate/ExpectedHeader.inc"
};

// A complete archive built in memory: header, records in shuffled order, sorted index.
struct SyntheticArchive {
    std::vector<unsigned char> bytes;
    std::vector<std::uint32_t> keys;   // ascending
    std::vector<RawRecord> cells;      // cells[i] belongs to keys[i]
    std::vector<std::uint32_t> record; // record[i]: record number of entry i

    std::size_t n() const { return keys.size(); }
    std::size_t index_offset() const { return kHeaderBytes + kRecordBytes * n(); }

    void install() { register_resource(ResourceId::ClimateArchive, {bytes.data(), bytes.size()}); }
};

RawRecord random_cell(std::mt19937& rng) {
    auto draw = [&rng](unsigned hi) { return std::uniform_int_distribution<unsigned>(0, hi)(rng); };
    RawRecord r;
    r.soilcode = draw(12);
    for (int k = 0; k < kMonthsPerRecord; ++k) {
        r.mtemp[k] = draw(1000);
        r.mprec[k] = draw(9999);
        r.msun[k] = draw(100);
        r.mwet[k] = draw(31);
    }
    return r;
}

std::uint32_t key_of(unsigned lonIndex, unsigned latIndex) {
    return lonIndex * 512 + latIndex;
}

// n distinct land keys on the 720 x 360 grid (keys with latitude index >= 360 do not
// exist on the grid and are never drawn).
SyntheticArchive make_archive(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::set<std::uint32_t> chosen;
    while (chosen.size() < n) {
        const unsigned lon = std::uniform_int_distribution<unsigned>(0, 719)(rng);
        const unsigned lat = std::uniform_int_distribution<unsigned>(0, 359)(rng);
        chosen.insert(key_of(lon, lat));
    }
    SyntheticArchive a;
    a.keys.assign(chosen.begin(), chosen.end());
    for (std::size_t i = 0; i < n; ++i)
        a.cells.push_back(random_cell(rng));
    a.record.resize(n);
    std::iota(a.record.begin(), a.record.end(), 0u);
    std::shuffle(a.record.begin(), a.record.end(), rng);

    a.bytes.assign(kHeaderBytes + n * (kRecordBytes + kEntryBytes), 0);
    std::memcpy(a.bytes.data(), kBuiltHeader, sizeof kBuiltHeader);
    for (std::size_t i = 0; i < n; ++i) {
        test::pack_record(a.cells[i], a.bytes.data() + kHeaderBytes + kRecordBytes * a.record[i]);
        unsigned char* e = a.bytes.data() + a.index_offset() + kEntryBytes * i;
        const std::uint32_t k = a.keys[i];
        const std::uint32_t r = a.record[i];
        const unsigned char entry[7] = {
            static_cast<unsigned char>(k >> 16), static_cast<unsigned char>(k >> 8),
            static_cast<unsigned char>(k),       static_cast<unsigned char>(r >> 24),
            static_cast<unsigned char>(r >> 16), static_cast<unsigned char>(r >> 8),
            static_cast<unsigned char>(r)};
        std::memcpy(e, entry, 7);
    }
    return a;
}

double corner_lon(std::uint32_t key) {
    return static_cast<double>(key / 512) * 0.5 - 180.0;
}
double corner_lat(std::uint32_t key) {
    return static_cast<double>(key % 512) * 0.5 - 90.0;
}

int probe_bound(std::size_t n) {
    int log2ceil = 0;
    while ((std::size_t{1} << log2ceil) < n)
        ++log2ceil;
    return log2ceil + 1;
}

void expect_cell(const RawRecord& raw, const CellRecord& got) {
    EXPECT_EQ(got.soilcode, static_cast<double>(raw.soilcode));
    for (int k = 0; k < kMonthsPerRecord; ++k) {
        ASSERT_NEAR(got.mtemp[k], test::temperature_of(raw.mtemp[k]), 1e-9) << "month " << k;
        ASSERT_EQ(got.mprec[k], static_cast<double>(raw.mprec[k])) << "month " << k;
        ASSERT_EQ(got.msun[k], static_cast<double>(raw.msun[k])) << "month " << k;
        ASSERT_EQ(got.mwet[k], static_cast<double>(raw.mwet[k])) << "month " << k;
    }
}

class ClimateArchiveTest : public ::testing::Test {
protected:
    void TearDown() override { register_resource(ResourceId::ClimateArchive, {}); }
};

// Looks every key up and a missing key in every gap of the index (below the first,
// between neighbours, above the last, and longitude 180).
void check_search(SyntheticArchive& a) {
    a.install();
    const int bound = probe_bound(a.n());
    for (std::size_t i = 0; i < a.n(); ++i) {
        ClimateArchive archive;
        ASSERT_TRUE(archive.open());
        CellRecord rec;
        rec.lon = corner_lon(a.keys[i]);
        rec.lat = corner_lat(a.keys[i]);
        ASSERT_TRUE(archive.lookup(rec)) << "N=" << a.n() << " entry " << i;
        EXPECT_LE(archive.last_probe_count(), bound) << "N=" << a.n() << " entry " << i;
        EXPECT_EQ(rec.lon, corner_lon(a.keys[i]));
        EXPECT_EQ(rec.lat, corner_lat(a.keys[i]));
        expect_cell(a.cells[i], rec);
    }

    const std::set<std::uint32_t> present(a.keys.begin(), a.keys.end());
    std::vector<std::uint32_t> missing = {key_of(720, 100), key_of(720, 0)};
    for (std::uint32_t k : a.keys) {
        for (std::uint32_t m : {k - 1, k + 1})
            if (m % 512 < 360 && m / 512 < 720 && !present.count(m))
                missing.push_back(m);
    }
    if (!present.count(0))
        missing.push_back(0);
    for (std::uint32_t k : missing) {
        ClimateArchive archive;
        ASSERT_TRUE(archive.open());
        CellRecord rec;
        rec.lon = corner_lon(k);
        rec.lat = corner_lat(k);
        rec.soilcode = -7.0;
        rec.mprec[5] = -3.0;
        EXPECT_FALSE(archive.lookup(rec)) << "N=" << a.n() << " key " << k;
        EXPECT_GE(archive.last_probe_count(), 1);
        EXPECT_LE(archive.last_probe_count(), bound) << "N=" << a.n() << " key " << k;
        // Nothing is written into a record that was not found.
        EXPECT_EQ(rec.soilcode, -7.0);
        EXPECT_EQ(rec.mprec[5], -3.0);
    }
}

TEST_F(ClimateArchiveTest, EveryKeyFoundAndMissingKeysEndWithinBound) {
    for (std::size_t n : {1u,  2u,  3u,  4u,  5u,  7u,   8u,   9u,   15u,   16u,
                          17u, 31u, 32u, 33u, 64u, 100u, 127u, 128u, 1000u, 1024u}) {
        SyntheticArchive a = make_archive(n, static_cast<unsigned>(n) * 7919u);
        check_search(a);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(ClimateArchiveTest, FirstAndLastEntriesAreReachable) {
    // Keys at the very ends of the grid, so the search has to clamp into the index.
    SyntheticArchive a = make_archive(16, 99);
    a.keys.front() = key_of(0, 0);
    a.keys.back() = key_of(719, 359);
    std::sort(a.keys.begin(), a.keys.end());
    a.keys.erase(std::unique(a.keys.begin(), a.keys.end()), a.keys.end());
    ASSERT_EQ(a.keys.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint32_t k = a.keys[i];
        unsigned char* e = a.bytes.data() + a.index_offset() + kEntryBytes * i;
        e[0] = static_cast<unsigned char>(k >> 16);
        e[1] = static_cast<unsigned char>(k >> 8);
        e[2] = static_cast<unsigned char>(k);
    }
    check_search(a);
}

TEST_F(ClimateArchiveTest, RecordsAreReachedThroughTheIndex) {
    SyntheticArchive a = make_archive(50, 5);
    a.install();
    ClimateArchive archive;
    ASSERT_TRUE(archive.open());
    EXPECT_EQ(archive.record_count(), 50u);
    for (std::int32_t i : {0, 1, 17, 49, 3, 0}) {
        ASSERT_TRUE(archive.read_index_entry(i));
        EXPECT_EQ(test::read_be(archive.index_entry().data(), 3), a.keys[i]);
        EXPECT_EQ(archive.current_record_number(), a.record[i]);
        ASSERT_TRUE(archive.read_current_record());
        EXPECT_EQ(0, std::memcmp(archive.record_buffer(),
                                 a.bytes.data() + kHeaderBytes + kRecordBytes * a.record[i],
                                 kRecordBytes));
    }
    EXPECT_FALSE(archive.read_index_entry(50));
    EXPECT_FALSE(archive.read_index_entry(-1));
}

TEST_F(ClimateArchiveTest, DamagedIndexDoesNotLeadPastTheArchive) {
    SyntheticArchive a = make_archive(8, 11);
    // Entry 3 claims a record beyond the last one.
    unsigned char* e = a.bytes.data() + a.index_offset() + kEntryBytes * 3;
    e[3] = 0x7F;
    a.install();
    ClimateArchive archive;
    ASSERT_TRUE(archive.open());
    CellRecord rec;
    rec.lon = corner_lon(a.keys[3]);
    rec.lat = corner_lat(a.keys[3]);
    EXPECT_FALSE(archive.lookup(rec));
    rec.lon = corner_lon(a.keys[4]);
    rec.lat = corner_lat(a.keys[4]);
    EXPECT_TRUE(archive.lookup(rec));
}

TEST_F(ClimateArchiveTest, CornersOffTheGridAreNotFound) {
    // Longitude index 1 with latitude index 68 has the key 580; a latitude index of 580
    // (latitude 200) must not spill into the longitude bits and find that cell.
    SyntheticArchive a = make_archive(4, 3);
    a.keys = {key_of(0, 10), key_of(1, 68), key_of(2, 5), key_of(300, 300)};
    for (std::size_t i = 0; i < 4; ++i) {
        unsigned char* e = a.bytes.data() + a.index_offset() + kEntryBytes * i;
        e[0] = static_cast<unsigned char>(a.keys[i] >> 16);
        e[1] = static_cast<unsigned char>(a.keys[i] >> 8);
        e[2] = static_cast<unsigned char>(a.keys[i]);
    }
    a.install();
    const double nan = std::nan("");
    const struct {
        double lon, lat;
        bool found;
    } cases[] = {
        {-179.5, -56.0, true},   // the real cell with key 580
        {-180.0, 200.0, false},  // latitude index 580
        {-180.0, -85.0, true},   // key 10
        {-181.0, -85.0, false},  // longitude index -1
        {-180.4, -85.0, true},   // rounds to longitude index 0
        {332.0, -85.0, false},   // longitude index 1024
        {nan, -85.0, false},     //
        {-180.0, nan, false},    //
        {INFINITY, 0.0, false},  //
        {-INFINITY, 0.0, false}, //
    };
    for (const auto& c : cases) {
        ClimateArchive archive;
        ASSERT_TRUE(archive.open());
        CellRecord rec;
        rec.lon = c.lon;
        rec.lat = c.lat;
        EXPECT_EQ(archive.lookup(rec), c.found) << c.lon << ", " << c.lat;
    }
}

TEST_F(ClimateArchiveTest, CursorDecodeEqualsTakeBits) {
    SyntheticArchive a = make_archive(20, 21);
    a.install();
    for (std::int32_t i = 0; i < 20; ++i) {
        ClimateArchive archive;
        ASSERT_TRUE(archive.open());
        CellRecord rec;
        rec.lon = corner_lon(a.keys[i]);
        rec.lat = corner_lat(a.keys[i]);
        ASSERT_TRUE(archive.lookup(rec));

        unsigned char buf[kRecordBytes];
        std::memcpy(buf, archive.record_buffer(), kRecordBytes);
        const struct {
            const double* values;
            int bits;
            double scale, offset;
        } fields[] = {{rec.mwet, 6, 1.0, 0.0},
                      {rec.msun, 7, 1.0, 0.0},
                      {rec.mprec, 14, 1.0, 0.0},
                      {rec.mtemp, 10, 0.1, -50.0}};
        for (const auto& f : fields)
            for (int k = kMonthsPerRecord - 1; k >= 0; --k)
                ASSERT_EQ(f.values[k],
                          ClimateArchive::take_bits(buf, kRecordBytes, f.bits, f.scale, f.offset));
        EXPECT_EQ(rec.soilcode, ClimateArchive::take_bits(buf, kRecordBytes, 4, 1.0, 0.0));
        // Only the zero padding is left.
        for (unsigned char b : buf)
            ASSERT_EQ(b, 0);
    }
}

// --- Opening: size and header checks -------------------------------------------------

struct OpenOutcome {
    bool opened;
    std::string out;
};

OpenOutcome try_open(ClimateArchive& archive) {
    testing::internal::CaptureStdout();
    const bool ok = archive.open();
    return {ok, testing::internal::GetCapturedStdout()};
}

const char* const kIncompatible = "Format incompatible with this version of climglobal.h\n";

TEST_F(ClimateArchiveTest, EveryComparedHeaderByteMatters) {
    SyntheticArchive a = make_archive(3, 1);
    a.install();
    for (std::size_t i = 0; i < 764; ++i) {
        const unsigned char saved = a.bytes[i];
        a.bytes[i] ^= 0x01;
        ClimateArchive archive;
        const OpenOutcome o = try_open(archive);
        if (i < 760) {
            EXPECT_FALSE(o.opened) << "byte " << i;
            EXPECT_EQ(o.out, kIncompatible) << "byte " << i;
            EXPECT_FALSE(archive.is_open());
            CellRecord rec;
            rec.lon = corner_lon(a.keys[0]);
            rec.lat = corner_lat(a.keys[0]);
            EXPECT_FALSE(archive.lookup(rec));
        } else {
            EXPECT_TRUE(o.opened) << "byte " << i;
            EXPECT_EQ(o.out, "");
        }
        a.bytes[i] = saved;
    }
}

TEST_F(ClimateArchiveTest, FillerAfterTextIsCompared) {
    // The first text field (the longitude minimum) starts at 14; its NUL is followed by
    // filler that carries no meaning but is still part of the header.
    const unsigned char* nul =
        static_cast<const unsigned char*>(std::memchr(kBuiltHeader + 14, 0, 32));
    ASSERT_NE(nul, nullptr);
    const std::size_t filler = static_cast<std::size_t>(nul - kBuiltHeader) + 1;
    ASSERT_LT(filler, 46u);
    SyntheticArchive a = make_archive(2, 2);
    a.bytes[filler] = static_cast<unsigned char>(a.bytes[filler] + 1);
    a.install();
    ClimateArchive archive;
    EXPECT_FALSE(try_open(archive).opened);
}

TEST_F(ClimateArchiveTest, SizeMustBeHeaderPlusWholeCells) {
    SyntheticArchive a = make_archive(5, 4);
    const std::size_t full = a.bytes.size();
    for (std::size_t size : {full - 1, full + 1, full - 563 + 7, std::size_t{764},
                             std::size_t{764 + 562}, std::size_t{100}, std::size_t{1}}) {
        register_resource(ResourceId::ClimateArchive, {a.bytes.data(), size});
        ClimateArchive archive;
        const OpenOutcome o = try_open(archive);
        EXPECT_FALSE(o.opened) << size;
        EXPECT_EQ(o.out, kIncompatible) << size;
        EXPECT_FALSE(archive.is_open());
    }
    // Fewer cells than written is still a valid archive, of its own size.
    register_resource(ResourceId::ClimateArchive, {a.bytes.data(), full - 563});
    ClimateArchive archive;
    EXPECT_TRUE(try_open(archive).opened);
    EXPECT_EQ(archive.record_count(), 4u);
}

TEST_F(ClimateArchiveTest, MissingArchiveRefusedSilently) {
    register_resource(ResourceId::ClimateArchive, {});
    ClimateArchive archive;
    const OpenOutcome o = try_open(archive);
    EXPECT_FALSE(o.opened);
    EXPECT_EQ(o.out, "");
    CellRecord rec;
    EXPECT_FALSE(archive.lookup(rec));
    EXPECT_EQ(archive.last_probe_count(), 0);
    EXPECT_FALSE(lookup_cell(0.0, 0.0, rec));
}

TEST_F(ClimateArchiveTest, CloseReleasesAndReopenWorks) {
    SyntheticArchive a = make_archive(10, 8);
    a.install();
    ClimateArchive archive;
    ASSERT_TRUE(archive.open());
    ASSERT_TRUE(archive.open()); // a second open lets go of the first
    CellRecord rec;
    rec.lon = corner_lon(a.keys[7]);
    rec.lat = corner_lat(a.keys[7]);
    EXPECT_TRUE(archive.lookup(rec));
    archive.close();
    EXPECT_FALSE(archive.is_open());
    EXPECT_FALSE(archive.lookup(rec));
    ASSERT_TRUE(archive.open());
    EXPECT_TRUE(archive.lookup(rec));

    CellRecord viaHelper;
    EXPECT_TRUE(lookup_cell(corner_lon(a.keys[7]), corner_lat(a.keys[7]), viaHelper));
    EXPECT_EQ(viaHelper.lon, corner_lon(a.keys[7]));
    expect_cell(a.cells[7], viaHelper);
}

// --- The key and bit helpers ---------------------------------------------------------

std::uint32_t as_uint(const GridIndex& g) {
    return test::read_be(g.data(), 4);
}

TEST(MakeIndex, GridIndexWithHalfAddedBeforeTruncation) {
    const struct {
        double value, origin;
        std::uint32_t index;
    } cases[] = {
        {-180.0, -180.0, 0},          {179.5, -180.0, 719},
        {180.0, -180.0, 720},         {13.0, -180.0, 386},
        {55.5, -90.0, 291},           {-90.0, -90.0, 0},
        {13.0 - 1e-9, -180.0, 386},   {13.0 + 1e-9, -180.0, 386},
        {13.2, -180.0, 386},          {13.25, -180.0, 387},
        {-180.3, -180.0, 0},          {-181.0, -180.0, 0xFFFFFFFFu},
        {1e300, -180.0, 0xFFFFFFFFu}, {std::nan(""), -90.0, 0xFFFFFFFFu},
    };
    for (const auto& c : cases)
        EXPECT_EQ(as_uint(ClimateArchive::make_index(c.value, c.origin, 0.5)), c.index) << c.value;

    // Corners reached by summing steps carry rounding error and still land on the grid.
    double lon = -180.0;
    for (int i = 0; i <= 720; ++i, lon += 0.5) {
        double viaTenths = -180.0;
        for (int k = 0; k < i * 5; ++k)
            viaTenths += 0.1;
        ASSERT_EQ(as_uint(ClimateArchive::make_index(viaTenths, -180.0, 0.5)),
                  static_cast<std::uint32_t>(i));
        ASSERT_EQ(as_uint(ClimateArchive::make_index(lon, -180.0, 0.5)),
                  static_cast<std::uint32_t>(i));
    }
}

TEST(AppendBits, KeyIsLongitudeAboveLatitude) {
    ArchiveKey key{};
    ClimateArchive::append_bits(key, {0, 0, 0x01, 0x82}, 10); // 386
    ClimateArchive::append_bits(key, {0, 0, 0x01, 0x23}, 9);  // 291
    EXPECT_EQ(test::read_be(key.data(), 3), 386u * 512 + 291);

    // Only the low ceil(bits / 8) bytes of the index take part.
    ArchiveKey k2{};
    ClimateArchive::append_bits(k2, {0xAB, 0x01, 0x23, 0x45}, 9);
    EXPECT_EQ(test::read_be(k2.data(), 3), 0x2345u);
    ArchiveKey k3{};
    ClimateArchive::append_bits(k3, {0xAB, 0x01, 0x23, 0x45}, 17);
    EXPECT_EQ(test::read_be(k3.data(), 3), 0x012345u);

    // Bits shifted out of the top of the 3-byte key are lost.
    ArchiveKey k4{0xFF, 0xFF, 0xFF};
    ClimateArchive::append_bits(k4, {0, 0, 0, 0x0F}, 8);
    EXPECT_EQ(test::read_be(k4.data(), 3), 0xFFFF0Fu);
}

TEST(TakeBits, MatchesBitStringModel) {
    // Model: the buffer as a string of bits, most significant first. Taking n bits reads
    // the last n as a number and moves the string right, zeros entering at the front.
    std::mt19937 rng(1234);
    for (std::size_t length :
         {std::size_t{1}, std::size_t{4}, std::size_t{5}, std::size_t{13}, kRecordBytes}) {
        std::vector<unsigned char> buf(length);
        for (auto& b : buf)
            b = static_cast<unsigned char>(rng());
        std::vector<int> model;
        for (unsigned char b : buf)
            for (int i = 7; i >= 0; --i)
                model.push_back((b >> i) & 1);

        for (int step = 0; step < 200; ++step) {
            const int bits = std::uniform_int_distribution<int>(1, 32)(rng);
            // Bits beyond the front of the buffer read as zero.
            const std::size_t taken = std::min<std::size_t>(bits, model.size());
            std::uint64_t expect = 0;
            for (std::size_t i = model.size() - taken; i < model.size(); ++i)
                expect = (expect << 1) | static_cast<unsigned>(model[i]);
            const double got = ClimateArchive::take_bits(buf.data(), length, bits, 1.0, 0.0);
            ASSERT_EQ(got, static_cast<double>(expect)) << "length " << length << " step " << step;

            model.insert(model.begin(), taken, 0);
            model.resize(length * 8);
            for (std::size_t i = 0; i < length; ++i) {
                unsigned v = 0;
                for (int j = 0; j < 8; ++j)
                    v = (v << 1) | static_cast<unsigned>(model[8 * i + j]);
                ASSERT_EQ(buf[i], v) << "length " << length << " step " << step << " byte " << i;
            }
        }
    }
}

TEST(TakeBits, ScaleAndOffset) {
    unsigned char buf[3] = {0xAA, 0x01, 0xEB}; // low 10 bits: 0x1EB = 491
    EXPECT_NEAR(ClimateArchive::take_bits(buf, 3, 10, 0.1, -50.0), -0.9, 1e-12);
    EXPECT_EQ(buf[0], 0x00);
    EXPECT_EQ(buf[1], 0x2A);
    EXPECT_EQ(buf[2], 0x80);
}

} // namespace
} // namespace skyfetch
