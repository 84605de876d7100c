#include "climate/ClimateArchive.h"
#include "resources/EmbeddedData.h"
#include "resources/Resource.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace skyfetch;

struct Corner {
    double lon, lat;
};

// Random land cells, drawn from the archive's own index.
const std::vector<Corner>& land_corners() {
    static const std::vector<Corner> corners = [] {
        std::vector<Corner> out;
        const ByteBlock block = find_resource(ResourceId::ClimateArchive);
        const std::size_t cell = kArchiveRecordSize + kArchiveIndexEntrySize;
        if (block.size < kArchiveHeaderSize + cell)
            return out;
        const std::size_t n = (block.size - kArchiveHeaderSize) / cell;
        const unsigned char* index = block.data + kArchiveHeaderSize + kArchiveRecordSize * n;
        std::mt19937 rng(2008);
        std::uniform_int_distribution<std::size_t> pick(0, n - 1);
        for (int i = 0; i < 4096; ++i) {
            const unsigned char* e = index + kArchiveIndexEntrySize * pick(rng);
            const unsigned key = (unsigned{e[0]} << 16) | (unsigned{e[1]} << 8) | e[2];
            out.push_back({(key >> 9) * 0.5 - 180.0, (key & 511) * 0.5 - 90.0});
        }
        return out;
    }();
    return corners;
}

void BM_LookupRandomLandCell(benchmark::State& state) {
    const auto& corners = land_corners();
    if (corners.empty()) {
        state.SkipWithError("no climate archive linked in");
        return;
    }
    std::size_t i = 0;
    CellRecord record;
    for (auto _ : state) {
        const Corner& c = corners[i++ & 4095];
        record.lon = c.lon;
        record.lat = c.lat;
        ClimateArchive archive;
        const bool ok = archive.open() && archive.lookup(record);
        archive.close();
        if (!ok) {
            state.SkipWithError("land cell not found");
            return;
        }
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_LookupRandomLandCell);

} // namespace

int main(int argc, char** argv) {
    register_embedded_resources();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("Target: one lookup of a random land cell, open and close included, < 5 us\n");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
