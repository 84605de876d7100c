// A batch of driver files against copying its own output: skyfetch-cli --batch writes N
// files, then `cp -r` and `sync` copy the finished folder, both timed in the same run on
// the same disk. The ratio tells how far the batch is from what the disk allows.
//
//   batch_bench [--work DIR] [--runs R]
//
// DIR (default: the current folder) holds the outputs, removed afterwards.
#include "climate/ClimateArchive.h"
#include "resources/EmbeddedData.h"
#include "resources/Resource.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace skyfetch;

namespace {

struct Case {
    const char* name;
    int sites;
    int spinup;
    int scenario;
};

// Centres of random land cells, from the archive's own index.
std::vector<std::pair<double, double>> land_cells(int count, unsigned seed) {
    std::vector<std::pair<double, double>> cells;
    const ByteBlock block = find_resource(ResourceId::ClimateArchive);
    const std::size_t cell = kArchiveRecordSize + kArchiveIndexEntrySize;
    const std::size_t n = (block.size - kArchiveHeaderSize) / cell;
    const unsigned char* index = block.data + kArchiveHeaderSize + kArchiveRecordSize * n;
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::size_t> pick(0, n - 1);
    for (int i = 0; i < count; ++i) {
        const unsigned char* e = index + kArchiveIndexEntrySize * pick(rng);
        const unsigned key = (unsigned{e[0]} << 16) | (unsigned{e[1]} << 8) | e[2];
        cells.emplace_back((key >> 9) * 0.5 - 180.0 + 0.25, (key & 511) * 0.5 - 90.0 + 0.25);
    }
    return cells;
}

// Wall-clock seconds of a command, its output thrown away; exits on failure.
double timed(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    std::vector<std::string> args = command;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::fflush(stdout); // or the child would print what is still buffered here
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "batch_bench: %s failed (status %d)\n", command[0].c_str(), status);
        std::exit(1);
    }
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    register_embedded_resources();
    fs::path work = fs::current_path();
    int runs = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--work")
            work = argv[i + 1];
        else if (option == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    const fs::path root = work / ("skyfetch-batch-bench-" + std::to_string(getpid()));
    fs::create_directories(root);
    std::printf("Target: a batch within 2 times cp -r + sync of its own output "
                "(%u cores, work folder %s, median of %d)\n",
                std::thread::hardware_concurrency(), work.c_str(), runs);

    const Case cases[] = {{"default protocol (1000 + 100 years)", 2000, 1000, 100},
                          {"short protocol (100 + 100 years)", 20000, 100, 100}};
    for (const Case& c : cases) {
        const fs::path sites = root / "sites.csv";
        {
            std::ofstream out(sites);
            out << "name,lon,lat,spinup,scenario\n";
            int i = 0;
            for (const auto& [lon, lat] : land_cells(c.sites, 2008))
                out << "site" << i++ << "," << lon << "," << lat << "," << c.spinup << ","
                    << c.scenario << "\n";
        }
        // The batch and the copy each follow the removal of as many files as they write,
        // after a sync and a pause, so that neither pays for the other's clean-up (a file
        // system with online discard settles freed blocks for a while after a removal).
        const std::vector<std::string> runBatch = {SKYFETCH_CLI, "--batch", sites.string(),
                                                   "--output-dir", (root / "out").string(),
                                                   "--quiet"};
        auto settle = [] {
            timed({"sync"});
            std::this_thread::sleep_for(std::chrono::seconds(2));
        };
        fs::remove_all(root / "out");
        timed(runBatch);
        std::vector<double> batch, copy;
        std::uintmax_t bytes = 0;
        for (const auto& entry : fs::directory_iterator(root / "out"))
            bytes += entry.file_size();
        for (int r = 0; r < runs; ++r) {
            fs::remove_all(root / "copy");
            settle();
            const double cp = timed({"cp", "-r", (root / "out").string(), (root / "copy").string()});
            copy.push_back(cp + timed({"sync"}));
            fs::remove_all(root / "out");
            settle();
            batch.push_back(timed(runBatch));
        }
        fs::remove_all(root / "copy");
        const double b = median(batch);
        const double k = median(copy);
        std::printf("%6d files, %s, %.0f MB: batch %.2f s, cp -r + sync %.2f s, ratio %.2f\n",
                    c.sites, c.name, bytes / 1e6, b, k, b / k);
        std::fflush(stdout);
    }
    fs::remove_all(root);
    return 0;
}
