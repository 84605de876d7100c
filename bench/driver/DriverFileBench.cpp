// A 10,000 + 10,000-year driver file with a temperature change, written to a real file,
// against writing the same bytes with one fwrite (and, for scale, with one fprintf per
// number as a plain implementation would).
#include "climate/Spinup.h"
#include "driver/DriverFileWriter.h"
#include "tests/driver/DriverTestSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <unistd.h>

namespace {

using namespace skyfetch;
using skyfetch::test::StringSink;

constexpr int kInitYears = 10000;
constexpr int kScenarioYears = 10000;

// A cell with plausible values: temperatures with one decimal (detrended, so no longer
// round), precipitation, sunshine and rain days as whole numbers.
const CellRecord& bench_record() {
    static const CellRecord record = [] {
        CellRecord r;
        r.lon = 13.0;
        r.lat = 55.5;
        r.soilcode = 2;
        std::mt19937 random(55);
        std::uniform_int_distribution<int> tenths(-150, 250);
        std::uniform_int_distribution<int> prec(5, 180);
        std::uniform_int_distribution<int> sun(15, 85);
        std::uniform_int_distribution<int> wet(1, 25);
        for (int i = 0; i < kMonthsPerRecord; ++i) {
            r.mtemp[i] = tenths(random) / 10.0;
            r.mprec[i] = prec(random);
            r.msun[i] = sun(random);
            r.mwet[i] = wet(random);
        }
        return r;
    }();
    return record;
}

DriverFileParameters bench_parameters() {
    DriverFileParameters p;
    p.cornerLon = 13.0;
    p.cornerLat = 55.5;
    p.initYears = kInitYears;
    p.scenarioYears = kScenarioYears;
    p.tempChange = 2.5;
    p.dateText = "Wed Jun  3 09:05:07 2009";
    return p;
}

void prepare(SpinupSet& init, SpinupSet& scen) {
    for (SpinupSet* set : {&init, &scen}) {
        set->reset();
        set->fill(bench_record());
    }
}

const std::string& file_bytes() {
    static const std::string bytes = [] {
        SpinupSet init, scen;
        prepare(init, scen);
        StringSink sink;
        write_driver_file(sink, bench_parameters(), bench_record(), init, scen);
        return sink.text;
    }();
    return bytes;
}

std::string bench_path(const char* name) {
    return "/tmp/skyfetch-bench-" + std::to_string(getpid()) + "-" + name;
}

void BM_DriverFileToFile(benchmark::State& state) {
    const std::string path = bench_path("writer.txt");
    SpinupSet init, scen;
    for (auto _ : state) {
        prepare(init, scen);
        const WriteResult result = write_driver_file(
            path, ExistingFile::Replace, bench_parameters(), bench_record(), init, scen);
        if (!result) {
            state.SkipWithError(result.error.c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(file_bytes().size()));
    std::remove(path.c_str());
}

void BM_DriverFileToMemory(benchmark::State& state) {
    SpinupSet init, scen;
    StringSink sink;
    sink.text.reserve(file_bytes().size());
    for (auto _ : state) {
        prepare(init, scen);
        sink.text.clear();
        write_driver_file(sink, bench_parameters(), bench_record(), init, scen);
        benchmark::DoNotOptimize(sink.text.data());
    }
}

void write_once(const std::string& path, bool sync) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::fwrite(file_bytes().data(), 1, file_bytes().size(), file);
    if (sync) {
        std::fflush(file);
        fsync(fileno(file));
    }
    std::fclose(file);
}

void BM_SameBytesOneFwrite(benchmark::State& state) {
    const std::string path = bench_path("fwrite.txt");
    file_bytes();
    for (auto _ : state)
        write_once(path, false);
    std::remove(path.c_str());
}

void BM_SameBytesOneFwriteAndFsync(benchmark::State& state) {
    const std::string path = bench_path("fwrite-sync.txt");
    file_bytes();
    for (auto _ : state)
        write_once(path, true);
    std::remove(path.c_str());
}

// What one fprintf per number costs: the straightforward way to write the file.
void BM_PlainFprintf(benchmark::State& state) {
    const std::string path = bench_path("fprintf.txt");
    const DriverFileParameters p = bench_parameters();
    SpinupSet init, scen;
    for (auto _ : state) {
        prepare(init, scen);
        std::FILE* file = std::fopen(path.c_str(), "w");
        int year = 0;
        for (int k = 0; k < p.initYears; ++k) {
            std::fprintf(file, "I\t%d\t%d\t", ++year, 330);
            for (int m = 0; m < 12; ++m)
                std::fprintf(file, "%0.1f\t", init.temperature.month_value(m));
            for (int m = 0; m < 12; ++m)
                std::fprintf(file, "%0.0f\t", init.precipitation.month_value(m));
            for (int m = 0; m < 12; ++m)
                std::fprintf(file, "%0.0f\t", init.sunshine.month_value(m));
            for (int m = 0; m < 12; ++m)
                std::fprintf(file, "%0.0f\t", init.raindays.month_value(m));
            std::fprintf(file, "\n");
            init.next_year();
        }
        for (int i = 0; i < p.scenarioYears; ++i) {
            const double f = static_cast<double>(i + 1) / p.scenarioYears;
            std::fprintf(file, "S\t%d\t%0.0f\t", ++year, 330 * p.co2Change * 0.01 * f + 330);
            for (int m = 0; m < 12; ++m)
                std::fprintf(file, "%0.1f\t", scen.temperature.month_value(m) + f * p.tempChange);
            for (int m = 0; m < 12; ++m)
                std::fprintf(file, "%0.0f\t", scen.precipitation.month_value(m));
            for (int m = 0; m < 12; ++m)
                std::fprintf(file, "%0.0f\t", scen.sunshine.month_value(m));
            for (int m = 0; m < 12; ++m)
                std::fprintf(file, "%0.0f\t", scen.raindays.month_value(m));
            std::fprintf(file, "\n");
            scen.next_year();
        }
        std::fclose(file);
    }
    std::remove(path.c_str());
}

BENCHMARK(BM_DriverFileToFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DriverFileToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SameBytesOneFwrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SameBytesOneFwriteAndFsync)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainFprintf)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each benchmark's time per iteration so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto& t = reporter.times;
    const auto ratio = [&](const char* a, const char* b) {
        const auto x = t.find(a);
        const auto y = t.find(b);
        if (x == t.end() || y == t.end() || y->second <= 0)
            return;
        std::printf("%-22s / %-30s = %6.2fx\n", a, b, x->second / y->second);
    };
    std::printf("\nDriver file of %d + %d years, %zu bytes (times in ms per file):\n", kInitYears,
                kScenarioYears, file_bytes().size());
    for (const auto& [name, time] : t)
        std::printf("  %-30s %8.2f\n", name.c_str(), time);
    ratio("BM_DriverFileToFile", "BM_SameBytesOneFwrite");
    ratio("BM_DriverFileToFile", "BM_SameBytesOneFwriteAndFsync");
    ratio("BM_PlainFprintf", "BM_SameBytesOneFwrite");
    return 0;
}
