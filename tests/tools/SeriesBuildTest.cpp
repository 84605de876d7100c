// The climate archive built from ten years of CRU TS-like netCDF files: which years are
// taken, the conversions, filled and left-out cells, refused folders, and a driver file
// written from the result.
#include "CruTsReader.h"
#include "DataBuilder.h"
#include "GldasReader.h"
#include "SeriesFiles.h"
#include "TextFiles.h"

#include "../driver/DriverTestSupport.h"
#include "climate/ClimateArchive.h"
#include "climate/Spinup.h"
#include "driver/DriverFileWriter.h"
#include "resources/Resource.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

namespace skyfetch::databuild {
namespace {

namespace fs = std::filesystem;

// A window of the half-degree grid: three rows of latitude (south first, as CRU TS
// stores them) and four columns of longitude, twelve cells.
const std::vector<double> kLats = {50.25, 50.75, 51.25};
const std::vector<double> kLons = {10.25, 10.75, 11.25, 11.75};
const char* const kVariableNames[] = {"tmp", "pre", "cld", "wet"};

// Roles of the cells, by (lat step, lon step):
//   (0,0) the cell the driver file is written for; (0,1) sea, no values at all;
//   (1,1) precipitation missing in June 1990;   (2,2) wet days missing all of 1987;
//   (2,3) wet days missing 1988 and January 1989, 13 months; (1,3) temperature only.
bool missing(const std::string& var, int y, int m, int i, int j) {
    if (i == 0 && j == 1)
        return true;
    if (i == 1 && j == 3)
        return var != "tmp";
    if (var == "pre" && i == 1 && j == 1)
        return y == 1990 && m == 5;
    if (var == "wet" && i == 2 && j == 2)
        return y == 1987;
    if (var == "wet" && i == 2 && j == 3)
        return y == 1988 || (y == 1989 && m == 0);
    return false;
}

// Temperature rises by exactly 1 degC a year; precipitation tells the year apart.
double source_value(const std::string& var, int y, int m, int i, int j) {
    if (missing(var, y, m, i, j))
        return NAN;
    if (var == "tmp")
        return -5.0 + (y - 1986) + 1.5 * m + 0.3 * i + 0.2 * j;
    if (var == "pre")
        return 10.0 * (y - 1980) + m + i + j + 0.4;
    if (var == "cld")
        return m % 2 == 0 ? 30.5 : 62.25;
    return m == 1 ? 29.6 : 10.5; // wet days: 29.6 in February does not fit a 28-day month
}

test::SeriesFileContent decade(const fs::path& dir, const std::string& var, int first_year) {
    fs::create_directories(dir);
    test::SeriesFileContent content;
    content.path = (dir / ("cru_ts4.07." + std::to_string(first_year) + "." +
                           std::to_string(first_year + 9) + "." + var + ".dat.nc"))
                       .string();
    content.variable = var;
    content.first_year = first_year;
    content.lats = kLats;
    content.lons = kLons;
    content.value = [var](int y, int m, int i, int j) { return source_value(var, y, m, i, j); };
    return content;
}

void write_decade(const fs::path& dir, const std::string& var, int first_year,
                  const std::string& units = "days since 1900-1-1",
                  std::vector<double> lats = kLats) {
    test::SeriesFileContent content = decade(dir, var, first_year);
    content.lats = std::move(lats);
    content.time_units = units;
    test::write_series_file(content);
}

// Two decades, 1981-1990 and 1991-2000, of the given variables.
void write_folder(const fs::path& dir, std::set<std::string> vars = {"tmp", "pre", "cld", "wet"}) {
    for (const std::string& v : vars)
        for (int decade : {1981, 1991})
            write_decade(dir, v, decade);
}

// Grid position of a window cell in the builder's layout, and its south-west corner.
int row_of(int i) {
    return 359 - static_cast<int>((kLats[i] + 90.0) / 0.5);
}
int column_of(int j) {
    return (static_cast<int>((kLons[j] + 180.0) / 0.5) + 360) % 720;
}
double corner_lon(int j) {
    return kLons[j] - 0.25;
}
double corner_lat(int i) {
    return kLats[i] - 0.25;
}

class SeriesBuild : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string pattern = (fs::temp_directory_path() / "skyfetch-series-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
        write_folder(root_ / "full");
        SourceFiles sources;
        sources.cru_ts_dir = (root_ / "full").string();
        sources.first_year = 1986;
        sources.gldas_file = SKYFETCH_TEST_GLDAS_FILE;
        sources.zobler_file = SKYFETCH_TEST_ZOBLER_FILE;
        sources.earth_image = SKYFETCH_TEST_EARTH_IMAGE;
        built_ = new std::optional<BuiltBlocks>(build_blocks(sources, build_error_));
    }
    static void TearDownTestSuite() {
        delete built_;
        built_ = nullptr;
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    void SetUp() override { ASSERT_TRUE(built_->has_value()) << build_error_; }
    void TearDown() override {
        register_resource(ResourceId::ClimateArchive, {});
        register_resource(ResourceId::ClimateSource, {});
    }

    const BuiltBlocks& built() const { return **built_; }
    void register_archive() const {
        register_resource(ResourceId::ClimateArchive,
                          {built().climate_archive.data(), built().climate_archive.size()});
    }
    static std::string refusal(const fs::path& dir, int first_year) {
        std::string error;
        EXPECT_FALSE(read_cru_ts(dir.string(), first_year, error).has_value()) << dir;
        return error;
    }

    static inline fs::path root_;
    static inline std::optional<BuiltBlocks>* built_ = nullptr;
    static inline std::string build_error_;
};

TEST(SeriesCalendar, TimeValuesToCalendarMonths) {
    int year = 0, month = 0;
    civil_month_of(0.0, 1900, 1, 1, year, month);
    EXPECT_EQ(year * 100 + month, 1900'00);
    civil_month_of(test::mid_month_days(1995, 11), 1900, 1, 1, year, month);
    EXPECT_EQ(year * 100 + month, 1995'11);
    civil_month_of(59.0, 1900, 1, 1, year, month); // 1900 is no leap year: 1 March
    EXPECT_EQ(year * 100 + month, 1900'02);
    civil_month_of(59.0, 2000, 1, 1, year, month); // 2000 is: 29 February
    EXPECT_EQ(year * 100 + month, 2000'01);
    civil_month_of(30.99, 1961, 1, 1, year, month); // fractions of a day do not count
    EXPECT_EQ(year * 100 + month, 1961'00);
    civil_month_of(-1.0, 1900, 1, 1, year, month);
    EXPECT_EQ(year * 100 + month, 1899'11);
}

TEST_F(SeriesBuild, ReadsTheNamedTenYearsAcrossTwoFiles) {
    std::string error;
    const auto data = read_cru_ts((root_ / "full").string(), 1986, error);
    ASSERT_TRUE(data.has_value()) << error;
    EXPECT_EQ(data->version, "4.07");
    EXPECT_EQ(data->files.size(), 8u); // both decades of all four variables
    ASSERT_EQ(data->grids.size(), 4u);
    for (int v = 0; v < 4; ++v) {
        const MonthlyGrid& g = data->grids[v];
        ASSERT_EQ(g.months(), 120);
        for (int k = 0; k < 120; ++k) {
            const double expected =
                static_cast<float>(source_value(kVariableNames[v], 1986 + k / 12, k % 12, 0, 0));
            ASSERT_EQ(g.at(k, row_of(0), column_of(0)), expected) << kVariableNames[v] << k;
        }
        EXPECT_FALSE(g.has(0, row_of(0), column_of(1))) << "the sea cell";
    }
    EXPECT_FALSE(data->grids[1].has(53, row_of(1), column_of(1))); // June 1990
    EXPECT_TRUE(data->grids[1].has(52, row_of(1), column_of(1)));
}

TEST_F(SeriesBuild, RefusesFoldersThatCannotGiveTheTenYears) {
    const fs::path full = root_ / "full";
    std::string error = refusal(full, 1992); // 1992-2001: no 2001
    EXPECT_NE(error.find("tmp for January 2001"), std::string::npos) << error;
    EXPECT_NE(error.find("January 1981 to December 2000"), std::string::npos) << error;
    error = refusal(full, 1975);
    EXPECT_NE(error.find("January 1975"), std::string::npos) << error;

    write_folder(root_ / "no-wet", {"tmp", "pre", "cld"});
    error = refusal(root_ / "no-wet", 1986);
    EXPECT_NE(error.find("variable wet"), std::string::npos) << error;

    write_folder(root_ / "twice");
    fs::copy_file(root_ / "twice" / "cru_ts4.07.1981.1990.pre.dat.nc",
                  root_ / "twice" / "cru_ts4.06.1981.1990.pre.dat.nc");
    error = refusal(root_ / "twice", 1986);
    EXPECT_NE(error.find("pre for January 1981 is in both"), std::string::npos) << error;

    test::write_text(root_ / "packed" / "cru_ts4.07.1981.1990.tmp.dat.nc.gz", "x");
    error = refusal(root_ / "packed", 1986);
    EXPECT_NE(error.find("gunzip"), std::string::npos) << error;

    write_decade(root_ / "hours", "tmp", 1981, "hours since 1900-1-1");
    EXPECT_NE(refusal(root_ / "hours", 1981).find("days since"), std::string::npos);

    write_decade(root_ / "off-grid", "tmp", 1981, "days since 1900-1-1", {50.2, 50.7, 51.2});
    EXPECT_NE(refusal(root_ / "off-grid", 1981).find("half-degree"), std::string::npos);

    test::write_text(root_ / "not-netcdf" / "notes.nc", "not a netCDF file");
    EXPECT_NE(refusal(root_ / "not-netcdf", 1981).find("notes.nc"), std::string::npos);
    EXPECT_NE(refusal(root_ / "absent", 1981).find("cannot read the folder"), std::string::npos);
    fs::create_directories(root_ / "empty");
    EXPECT_NE(refusal(root_ / "empty", 1981).find("no netCDF files"), std::string::npos);
}

// One decade of all four variables whose tmp file is changed as each case says: refused with
// a message naming that file, or read with every value as written.
TEST_F(SeriesBuild, ChecksTimesAxesAndAttributesOfEachFile) {
    struct Case {
        const char* name;
        std::function<void(test::SeriesFileContent&)> change;
        const char* refusal; // part of the message, or nullptr: read
    };
    const Case cases[] = {
        {"epoch-far-ahead", [](auto& c) { c.time_units = "days since 2000000000-1-1"; },
         "outside the years 1 to 9999"},
        {"time-far-ahead", [](auto& c) { c.extra_times = {9.0e7}; }, "outside the years 1 to 9999"},
        {"time-huge", [](auto& c) { c.extra_times = {-1.0e30}; }, "outside the years 1 to 9999"},
        {"lat-longer", [](auto& c) { c.extra_lats = 1; }, "coordinate variable lat"},
        {"two-missing-values",
         [](auto& c) {
             c.missing_values = {test::kSeriesFill, -9.0f};
         },
         nullptr},
    };
    for (const Case& k : cases) {
        const fs::path dir = root_ / "checked" / k.name;
        for (const char* var : {"pre", "cld", "wet"})
            write_decade(dir, var, 1981);
        test::SeriesFileContent tmp = decade(dir, "tmp", 1981);
        k.change(tmp);
        test::write_series_file(tmp);
        std::string error;
        const auto data = read_cru_ts(dir.string(), 1981, error);
        if (k.refusal) {
            EXPECT_FALSE(data.has_value()) << k.name;
            EXPECT_NE(error.find(tmp.path), std::string::npos) << k.name << ": " << error;
            EXPECT_NE(error.find(k.refusal), std::string::npos) << k.name << ": " << error;
            continue;
        }
        ASSERT_TRUE(data.has_value()) << k.name << ": " << error;
        for (int m = 0; m < 120; m += 7)
            EXPECT_EQ(data->grids[0].at(m, row_of(2), column_of(3)),
                      static_cast<float>(source_value("tmp", 1981 + m / 12, m % 12, 2, 3)))
                << k.name << " month " << m;
    }
}

TEST(SoilFractionFile, ReadsOnlyWhatItsAxesDescribe) {
    std::string pattern = (fs::temp_directory_path() / "skyfetch-soil-XXXXXX").string();
    const fs::path dir = mkdtemp(pattern.data());
    const auto sand = [](int i, int j) { return 0.1 * (i + 1) + 0.01 * j; };
    struct Case {
        const char* name;
        int format;
        nc_type type;
        bool north_first;
        std::vector<float> missing_values;
        std::size_t extra_lats, extra_lons;
        bool refused;
    };
    const Case cases[] = {
        {"classic", 0, NC_FLOAT, false, {}, 0, 0, false},
        {"netcdf4-double-north-first", NC_NETCDF4, NC_DOUBLE, true, {}, 0, 0, false},
        {"two-missing-values", NC_NETCDF4, NC_FLOAT, false, {-9999.0f, 0.32f}, 0, 0, false},
        {"netcdf4-lat-longer", NC_NETCDF4, NC_FLOAT, false, {}, 3, 0, true},
        {"classic-lat-longer", 0, NC_FLOAT, false, {}, 3, 0, true},
        {"classic-lon-longer", 0, NC_FLOAT, false, {}, 0, 5, true},
    };
    for (const Case& k : cases) {
        test::SoilFileContent file;
        file.path = (dir / (std::string(k.name) + ".nc")).string();
        file.format = k.format;
        file.type = k.type;
        file.lats = {10.125, 10.375, 10.625};
        if (k.north_first)
            std::reverse(file.lats.begin(), file.lats.end());
        file.lons = {20.125, 20.375, 20.625, 20.875};
        file.sand = sand;
        file.missing_values = k.missing_values;
        file.extra_lats = k.extra_lats;
        file.extra_lons = k.extra_lons;
        test::write_soil_file(file);
        std::string error;
        const auto grid = read_gldas_texture(file.path, error);
        if (k.refused) {
            EXPECT_FALSE(grid.has_value()) << k.name;
            EXPECT_NE(error.find(file.path + ": " + test::kSandName), std::string::npos)
                << k.name << ": " << error;
            continue;
        }
        ASSERT_TRUE(grid.has_value()) << k.name << ": " << error;
        ASSERT_EQ(grid->rows, 3);
        ASSERT_EQ(grid->columns, 4);
        EXPECT_EQ(grid->lat0, 10.125) << k.name;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 4; ++j) {
                const std::size_t at = static_cast<std::size_t>(k.north_first ? 2 - i : i) * 4 + j;
                const float expected = static_cast<float>(sand(i, j));
                const bool listed = expected == 0.32f && !k.missing_values.empty();
                EXPECT_EQ(grid->sand[at], listed ? -1.0f : expected) << k.name << i << j;
                EXPECT_EQ(grid->clay[at], static_cast<float>(1.0 - sand(i, j))) << k.name << i << j;
            }
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

TEST_F(SeriesBuild, CellsConversionsFillsAndLeftOutCells) {
    const BuildReport& r = built().report;
    EXPECT_EQ(built().source_text, "CRU TS 4.07, 1986-1995");
    EXPECT_EQ(r.first_year, 1986);
    EXPECT_EQ(r.cells, 9u); // twelve, less the sea and the two left out

    ASSERT_EQ(r.omitted.size(), 2u);
    EXPECT_EQ(r.omitted[0].source_row, row_of(2)); // the northern row comes first
    EXPECT_EQ(r.omitted[0].variable, Variable::WetDays);
    EXPECT_EQ(r.omitted[0].missing, 13);
    EXPECT_EQ(r.omitted[1].source_row, row_of(1));
    EXPECT_EQ(r.omitted[1].variable, Variable::Precipitation);
    EXPECT_EQ(r.omitted[1].missing, 120);

    // Twelve wet-day months of 1987, then June 1990's precipitation.
    ASSERT_EQ(r.fills.size(), 13u);
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(r.fills[k].variable, Variable::WetDays);
        EXPECT_EQ(r.fills[k].month, 12 + k);
    }
    const MonthFill& june = r.fills[12];
    EXPECT_EQ(june.month, 4 * 12 + 5);
    // Neighbours of (1,1) with a value: all but the sea cell.
    double sum = 0;
    const int around[7][2] = {{0, 0}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 1}, {2, 2}};
    for (const auto& n : around)
        sum += static_cast<float>(source_value("pre", 1990, 5, n[0], n[1]));
    EXPECT_EQ(june.neighbours, 7);
    EXPECT_NEAR(june.value, sum / 7, 1e-9);

    register_archive();
    int found = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) {
            CellRecord rec;
            const bool in = lookup_cell(corner_lon(j), corner_lat(i), rec);
            const bool expected = !(i == 0 && j == 1) && !(i == 2 && j == 3) && !(i == 1 && j == 3);
            EXPECT_EQ(in, expected) << i << " " << j;
            const unsigned char mask = built().globe_data.at(
                3'145'728 + static_cast<std::size_t>((corner_lon(j) + 180) * 2) * 360 +
                static_cast<std::size_t>((corner_lat(i) + 90) * 2));
            EXPECT_EQ(mask, expected ? 1 : 0) << "land mask " << i << " " << j;
            found += in ? 1 : 0;
            if (!in)
                continue;
            EXPECT_GE(rec.soilcode, 1);
            EXPECT_LE(rec.soilcode, 8);
            for (int k = 0; k < 120; ++k) {
                const int y = 1986 + k / 12, m = k % 12;
                EXPECT_NEAR(rec.mtemp[k], -5.0 + (y - 1986) + 1.5 * m + 0.3 * i + 0.2 * j, 1e-9);
                if (!(i == 1 && j == 1 && k == 53)) {
                    EXPECT_EQ(rec.mprec[k], 10 * (y - 1980) + m + i + j) << k;
                }
                EXPECT_EQ(rec.msun[k], m % 2 == 0 ? 69 : 38); // 100 - round(30.5), - round(62.25)
                EXPECT_EQ(rec.mwet[k], m == 1 ? 28 : 11);     // limited to 28; 10.5 rounds up
            }
            if (i == 1 && j == 1) {
                EXPECT_EQ(rec.mprec[53], std::round(sum / 7));
            }
        }
    EXPECT_EQ(found, 9);
    std::size_t land = 0;
    for (std::size_t b = 3'145'728; b < built().globe_data.size(); ++b)
        land += built().globe_data[b];
    EXPECT_EQ(land, 9u);
}

TEST_F(SeriesBuild, ProgramNamesTheSourceLine) {
    EXPECT_EQ(climate_source_text(), "unknown");
    const std::string line = built().source_text + "\r\nnot shown";
    register_resource(ResourceId::ClimateSource,
                      {reinterpret_cast<const unsigned char*>(line.data()), line.size()});
    EXPECT_EQ(climate_source_text(), "CRU TS 4.07, 1986-1995");
}

TEST_F(SeriesBuild, DriverFileCyclesThroughTenDetrendedYears) {
    register_archive();
    CellRecord rec;
    ASSERT_TRUE(lookup_cell(corner_lon(0), corner_lat(0), rec));
    prepare_spinup_sets(rec);
    DriverFileParameters p;
    p.cornerLon = corner_lon(0);
    p.cornerLat = corner_lat(0);
    p.initYears = 25;
    p.scenarioYears = 12;
    p.dateText = "Wed Dec  9 10:00:00 2026";
    test::StringSink sink;
    ASSERT_TRUE(write_driver_file(sink, p, rec, initialisation_set(), scenario_set()));
    std::vector<std::string> lines = test::split(sink.text, '\n');
    ASSERT_EQ(lines.size(), 9u + 25 + 12 + 1); // the last line end leaves an empty part

    std::set<std::string> years_seen;
    for (int row = 0; row < 25 + 12; ++row) {
        const auto f = test::split(lines[9 + row], '\t');
        ASSERT_GE(f.size(), 51u) << lines[9 + row];
        const bool init = row < 25;
        EXPECT_EQ(f[0], init ? "I" : "S");
        // Each phase starts at data year 0 and reads one data year per row.
        const int data_year = init ? row % 10 : (row - 25) % 10;
        std::string precipitation;
        for (int m = 0; m < 12; ++m) {
            // The trend of 1 degC a year is gone: every year has year 0's temperatures.
            EXPECT_NEAR(std::stod(f[3 + m]), -5.0 + 1.5 * m, 1e-9) << "row " << row;
            EXPECT_EQ(std::stoi(f[15 + m]), 10 * (data_year + 6) + m) << "row " << row;
            precipitation += f[15 + m] + " ";
        }
        years_seen.insert(precipitation);
    }
    EXPECT_EQ(years_seen.size(), 10u);
}

int run(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SeriesBuild, BuilderToolTakesTheSeriesFolder) {
    const fs::path out = root_ / "tool";
    fs::create_directories(out);
    const std::string sources = std::string(" --gldas ") + SKYFETCH_TEST_GLDAS_FILE + " --zobler " +
                                SKYFETCH_TEST_ZOBLER_FILE + " --earth-image " +
                                SKYFETCH_TEST_EARTH_IMAGE + " --archive " +
                                (out / "a.bin").string() + " --globe " + (out / "g.bin").string();
    const std::string tool = SKYFETCH_TEST_DATABUILD;
    const std::string folder = " --cru-ts-dir " + (root_ / "full").string();
    EXPECT_EQ(run(tool + folder + " --first-year 1986" + sources + " --source-text " +
                  (out / "source.txt").string()),
              0);
    EXPECT_EQ(test::read_text(out / "source.txt"), "CRU TS 4.07, 1986-1995");
    const std::string archive = test::read_text(out / "a.bin");
    EXPECT_TRUE(archive ==
                std::string(built().climate_archive.begin(), built().climate_archive.end()));

    EXPECT_EQ(run(tool + folder + " --first-year 1992" + sources), 1); // no 2001
    EXPECT_EQ(run(tool + folder + " --first-year 86x" + sources), 2);
    EXPECT_EQ(run(tool + folder + sources), 2); // no first year
    EXPECT_EQ(run(tool + folder + " --first-year 1986 --cru-dir /tmp" + sources), 2);
}

} // namespace
} // namespace skyfetch::databuild
