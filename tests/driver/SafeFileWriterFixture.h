#pragma once

// The safe writer's tests on every platform and on POSIX alone share a fresh folder per
// test and a plain cell to write.

#include "climate/ClimateArchive.h"
#include "climate/Spinup.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace skyfetch::test {

// A fresh folder per test, removed with its files afterwards.
class SafeFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir = make_temp_folder("skyfetch-safe-"); }
    void TearDown() override { std::filesystem::remove_all(fs_path(m_dir)); }

    std::string path(const std::string& name) const { return m_dir + "/" + name; }

    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(fs_path(m_dir)))
            found.insert(utf8_of(entry.path().filename()));
        return found;
    }

    static void put(const std::string& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }

    std::string m_dir;
};

inline CellRecord plain_record() {
    CellRecord r;
    r.soilcode = 3;
    for (int i = 0; i < kMonthsPerRecord; ++i) {
        r.mtemp[i] = -10.0 + i * 0.25;
        r.mprec[i] = 40.0 + i;
        r.msun[i] = 50.0;
        r.mwet[i] = 10.0;
    }
    return r;
}

inline void fill(SpinupSet& set, const CellRecord& r) {
    set.reset();
    set.temperature.set_data(r.mtemp, 0);
    set.precipitation.set_data(r.mprec, 0);
    set.sunshine.set_data(r.msun, 0);
    set.raindays.set_data(r.mwet, 0);
}

} // namespace skyfetch::test
