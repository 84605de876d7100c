#include "driver/DriverFileWriter.h"
#include "driver/TextModeSink.h"
#include "putil/Platform.h"

#include "DriverTestSupport.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace skyfetch {
namespace {

const char kDate[] = "Wed Jun  3 09:05:07 2009";

using test::split;
using test::StringSink;

// Takes `limit` bytes, then refuses.
class FailingSink : public OutputSink {
public:
    explicit FailingSink(std::size_t limit) : m_limit(limit) {}
    bool write(const char* data, std::size_t size) override {
        if (taken + size > m_limit)
            return false;
        taken += size;
        (void)data;
        return true;
    }
    std::size_t taken = 0;

private:
    std::size_t m_limit;
};

// A record whose values differ by variable, data year and month, so that any mix-up of
// year or month shows.
CellRecord varied_record() {
    CellRecord r;
    r.lon = 13.0;
    r.lat = 55.5;
    r.soilcode = 2;
    for (int y = 0; y < kDataYears; ++y)
        for (int m = 0; m < 12; ++m) {
            const int i = 12 * y + m;
            r.mtemp[i] = -5.0 + m * 1.3 + y * 0.01;
            r.mprec[i] = 20.0 + m * 3 + y;
            r.msun[i] = 30.0 + m + y;
            r.mwet[i] = 5.0 + m % 7 + y % 3;
        }
    return r;
}

// The sets as the writer expects them: filled from the record (without detrending, which
// the climate code owns) and at data year 0.
struct Sets {
    SpinupSet init;
    SpinupSet scen;
    explicit Sets(const CellRecord& r) {
        for (SpinupSet* set : {&init, &scen}) {
            set->reset();
            set->temperature.set_data(r.mtemp, 0);
            set->precipitation.set_data(r.mprec, 0);
            set->sunshine.set_data(r.msun, 0);
            set->raindays.set_data(r.mwet, 0);
        }
    }
};

DriverFileParameters parameters(int init, int scen, double dT = 0, double dP = 0, double dC = 0) {
    DriverFileParameters p;
    p.cornerLon = 13.0;
    p.cornerLat = 55.5;
    p.initYears = init;
    p.scenarioYears = scen;
    p.tempChange = dT;
    p.precipChange = dP;
    p.co2Change = dC;
    p.dateText = kDate;
    return p;
}

std::string write_to_string(const DriverFileParameters& p, const CellRecord& r) {
    Sets sets(r);
    StringSink sink;
    EXPECT_TRUE(write_driver_file(sink, p, r, sets.init, sets.scen));
    return sink.text;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines = split(text, '\n');
    EXPECT_EQ(lines.back(), ""); // the file ends with a line end
    lines.pop_back();
    return lines;
}

std::string printf_text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string printf_text(const char* format, ...) {
    char buffer[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

// The file as printf writes it, row by row, straight from the record's data years.
std::string reference_file(const DriverFileParameters& p, const CellRecord& r) {
    std::string s = printf_text("[Environmental driver file for PHYTOMOD Education - Created by "
                                "Skyfetch %s on %s]\n\n",
                                p.versionText.c_str(), p.dateText.c_str());
    s += "This file is best viewed in a spreadsheet program like Excel (import as a file of "
         "type 'tab-delimited text')\n\n";
    s += "Lon\tLat\tSoilcode\tInit-Years\tHist-Years\tScen-Years\tTemp-Change-degC\tPrec-Change-"
         "%\tCO2-Change-%\n";
    s += printf_text("%g\t%g\t%d\t%d\t%d\t%d\t%g\t%g\t%g\n\n", p.cornerLon + 0.25,
                     p.cornerLat + 0.25, static_cast<int>(r.soilcode), p.initYears, 0,
                     p.scenarioYears, p.tempChange, p.precipChange, p.co2Change);
    s += "\t\t\tTemperature (degC)\t\t\t\t\t\t\t\t\t\t\t\tPrecipitation (mm/month)\t\t\t\t\t\t\t\t"
         "\t\t\t\tSunshine (% clear sky)\t\t\t\t\t\t\t\t\t\t\t\tRaindays/month\n";
    s += "Phase\tYear\tCO2-ppm\tJan\tFeb\tMar\tApr\tMay\tJun\tJul\tAug\tSep\tOct\tNov\tDec\t";
    s += "Jan\tFeb\tMar\tApr\tMay\tJun\tJul\tAug\tSep\tOct\tNov\tDec\t";
    s += "Jan\tFeb\tMar\tApr\tMay\tJun\tJul\tAug\tSep\tOct\tNov\tDec\t";
    s += "Jan\tFeb\tMar\tApr\tMay\tJun\tJul\tAug\tSep\tOct\tNov\tDec\n";
    const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int year = 0;
    for (int k = 0; k < p.initYears; ++k) {
        const int d = 12 * (k % 10);
        s += printf_text("I\t%d\t%d\t", ++year, 330);
        for (int m = 0; m < 12; ++m)
            s += printf_text("%0.1f\t", r.mtemp[d + m]);
        for (int m = 0; m < 12; ++m)
            s += printf_text("%0.0f\t", r.mprec[d + m] < 1 ? 1.0 : r.mprec[d + m]);
        for (int m = 0; m < 12; ++m)
            s += printf_text("%0.0f\t", r.msun[d + m]);
        for (int m = 0; m < 12; ++m)
            s += printf_text("%0.0f\t", r.mwet[d + m] < 1 ? 1.0 : r.mwet[d + m]);
        s += "\n";
    }
    for (int i = 0; i < p.scenarioYears; ++i) {
        const int d = 12 * (i % 10);
        const double f = static_cast<double>(i + 1) / p.scenarioYears;
        s += printf_text("S\t%d\t%0.0f\t", ++year, 330 * p.co2Change * 0.01 * f + 330);
        for (int m = 0; m < 12; ++m)
            s += printf_text("%0.1f\t", r.mtemp[d + m] + f * p.tempChange);
        for (int m = 0; m < 12; ++m) {
            double v = r.mprec[d + m] + r.mprec[d + m] * p.precipChange * 0.01 * f;
            s += printf_text("%0.0f\t", v < 1 ? 1.0 : v);
        }
        for (int m = 0; m < 12; ++m)
            s += printf_text("%0.0f\t", r.msun[d + m]);
        for (int m = 0; m < 12; ++m) {
            double v = r.mwet[d + m];
            v = v < 1 ? 1.0 : v;
            s += printf_text("%0.0f\t", v > days[m] ? days[m] : v);
        }
        s += "\n";
    }
    return s;
}

TEST(DriverFileWriter, HeaderWithoutRows) {
    const CellRecord r = varied_record();
    const std::vector<std::string> lines = lines_of(write_to_string(parameters(0, 0), r));
    const std::string months = "Jan\tFeb\tMar\tApr\tMay\tJun\tJul\tAug\tSep\tOct\tNov\tDec";
    const std::string gap(12, '\t');
    const std::vector<std::string> expected = {
        "[Environmental driver file for PHYTOMOD Education - Created by Skyfetch Version "
        "2008-11-03 on Wed Jun  3 09:05:07 2009]",
        "",
        "This file is best viewed in a spreadsheet program like Excel (import as a file of type "
        "'tab-delimited text')",
        "",
        "Lon\tLat\tSoilcode\tInit-Years\tHist-Years\tScen-Years\tTemp-Change-degC\t"
        "Prec-Change-%\tCO2-Change-%",
        "13.25\t55.75\t2\t0\t0\t0\t0\t0\t0",
        "",
        "\t\t\tTemperature (degC)" + gap + "Precipitation (mm/month)" + gap +
            "Sunshine (% clear sky)" + gap + "Raindays/month",
        "Phase\tYear\tCO2-ppm\t" + months + "\t" + months + "\t" + months + "\t" + months,
    };
    EXPECT_EQ(lines, expected);
}

TEST(DriverFileWriter, TheDateDefaultsToNow) {
    const CellRecord r = varied_record();
    DriverFileParameters p = parameters(0, 0);
    p.dateText.clear();
    const std::string first = lines_of(write_to_string(p, r)).front();
    const std::string prefix = "[Environmental driver file for PHYTOMOD Education - Created by "
                               "Skyfetch Version 2008-11-03 on ";
    ASSERT_EQ(first.substr(0, prefix.size()), prefix);
    EXPECT_EQ(first.size(), prefix.size() + 24 + 1); // ctime text and the bracket
    EXPECT_EQ(first.back(), ']');
}

TEST(DriverFileWriter, LineSixReportsTheCellCentreAndSignedChanges) {
    CellRecord r = varied_record();
    r.soilcode = 7.9; // truncated
    DriverFileParameters p = parameters(5, 3, -2.5, -10, -100);
    p.cornerLon = -180.0;
    p.cornerLat = -0.5;
    EXPECT_EQ(lines_of(write_to_string(p, r))[5], "-179.75\t-0.25\t7\t5\t0\t3\t-2.5\t-10\t-100");
}

TEST(DriverFileWriter, RowsHaveFiftyOneTabTerminatedFields) {
    const CellRecord r = varied_record();
    const std::vector<std::string> lines =
        lines_of(write_to_string(parameters(23, 17, 1.5, 20, 50), r));
    ASSERT_EQ(lines.size(), 9u + 23 + 17);
    for (std::size_t i = 9; i < lines.size(); ++i) {
        const std::vector<std::string> fields = split(lines[i], '\t');
        ASSERT_EQ(fields.size(), 52u) << lines[i]; // 51 fields and the empty rest
        EXPECT_EQ(fields.back(), "");
        EXPECT_EQ(fields[0], i < 9 + 23 ? "I" : "S");
        EXPECT_EQ(fields[1], std::to_string(i - 8)); // one year counter over both phases
    }
}

TEST(DriverFileWriter, MatchesPrintfRowByRow) {
    // Values that are awkward for a formatter: exact halves, small negatives that round
    // to "-0", values below the lower limit of 1, and large numbers.
    std::mt19937 random(1103);
    std::uniform_int_distribution<int> pick(0, 11);
    const double awkward[] = {-0.04, -0.05, 0.05, 0.25,  2.5, 0.5,    0.49, -0.0,
                              0.0,   0.999, 1.5,  99.95, 1e6, -37.25, 3.45, 27.5};
    CellRecord r = varied_record();
    for (int i = 0; i < kMonthsPerRecord; ++i) {
        r.mtemp[i] = awkward[pick(random)] + (i % 5) * 0.1;
        r.mprec[i] = awkward[pick(random) + 4];
        r.msun[i] = awkward[pick(random) + 2] + 40;
        r.mwet[i] = awkward[pick(random) + 3] * 12;
    }
    const DriverFileParameters cases[] = {
        parameters(35, 23, 2.35, -17.5, 42.1),
        parameters(10, 10, -0.05, 0.5, -99.9),
        parameters(1, 1, 30, 1000, 1000),
        parameters(12, 7, 0, -100, -100),
        parameters(101, 0),
        parameters(0, 31, -30, -50, 7),
    };
    for (const DriverFileParameters& p : cases) {
        const std::string got = write_to_string(p, r);
        const std::string want = reference_file(p, r);
        ASSERT_EQ(got, want) << p.initYears << " + " << p.scenarioYears;
    }
}

TEST(DriverFileWriter, OneScenarioYearCarriesTheFullChange) {
    const CellRecord r = varied_record();
    struct Row {
        double co2Change;
        const char* co2;
    };
    const Row rows[] = {{0, "330"}, {100, "660"}, {-100, "0"}, {50, "495"}, {1000, "3630"}};
    for (const Row& row : rows) {
        const std::vector<std::string> lines =
            lines_of(write_to_string(parameters(0, 1, 3.0, 50, row.co2Change), r));
        ASSERT_EQ(lines.size(), 10u);
        const std::vector<std::string> f = split(lines[9], '\t');
        EXPECT_EQ(f[2], row.co2);
        EXPECT_EQ(f[3], printf_text("%0.1f", r.mtemp[0] + 3.0));  // January
        EXPECT_EQ(f[15], printf_text("%0.0f", r.mprec[0] * 1.5)); // +50 %
        EXPECT_EQ(f[27], printf_text("%0.0f", r.msun[0]));        // unchanged
    }
}

TEST(DriverFileWriter, TheLastScenarioYearReachesTheChange) {
    const CellRecord r = varied_record();
    const std::vector<std::string> lines =
        lines_of(write_to_string(parameters(3, 100, 0, 0, 100), r));
    EXPECT_EQ(split(lines[9 + 3], '\t')[2], "333");      // f = 1/100
    EXPECT_EQ(split(lines[9 + 3 + 99], '\t')[2], "660"); // f = 1
}

TEST(DriverFileWriter, LowerLimitsAndTheRainDayCap) {
    CellRecord r = varied_record();
    for (int y = 0; y < kDataYears; ++y) {
        r.mprec[12 * y + 3] = 0.0;
        r.mwet[12 * y + 3] = 0.2;
        r.mwet[12 * y + 1] = 31; // February
        r.mwet[12 * y + 0] = 40; // January
        r.mwet[12 * y + 8] = 30; // September, exactly its length
    }
    const std::vector<std::string> lines =
        lines_of(write_to_string(parameters(2, 1, 0, -100, 0), r)); // f = 1: all gone
    ASSERT_EQ(lines.size(), 12u);
    for (int row = 9; row < 12; ++row) {
        const bool scenario = row >= 11;
        const std::vector<std::string> f = split(lines[static_cast<std::size_t>(row)], '\t');
        for (int m = 0; m < 12; ++m) {
            const std::string prec = f[static_cast<std::size_t>(15 + m)];
            if (scenario || m == 3)
                EXPECT_EQ(prec, "1") << row << " " << m; // -100 % leaves 0, written as 1
            else
                EXPECT_NE(prec, "1");
        }
        EXPECT_EQ(f[39 + 3], "1");                    // April rain days below 1
        EXPECT_EQ(f[39 + 1], scenario ? "28" : "31"); // capped only in scenario rows
        EXPECT_EQ(f[39 + 0], scenario ? "31" : "40");
        EXPECT_EQ(f[39 + 8], "30");
    }
}

TEST(DriverFileWriter, PhasesCycleThroughTheTenDataYears) {
    const CellRecord r = varied_record();
    const std::vector<std::string> lines = lines_of(write_to_string(parameters(27, 12), r));
    const auto values = [&](int year) {
        std::vector<std::string> f = split(lines[static_cast<std::size_t>(8 + year)], '\t');
        return std::vector<std::string>(f.begin() + 3, f.end());
    };
    EXPECT_EQ(values(11), values(1));
    EXPECT_EQ(values(21), values(1));
    EXPECT_EQ(values(12), values(2));
    EXPECT_NE(values(2), values(1));
    // The scenario starts again at data year 0, although the initialisation stopped at 7;
    // without a change its values are those of the first year.
    EXPECT_EQ(values(28), values(1));
    EXPECT_EQ(values(29), values(2));
    EXPECT_EQ(values(38), values(1));
}

TEST(DriverFileWriter, AdvancesEachSetOncePerRowOfItsPhase) {
    const CellRecord r = varied_record();
    Sets sets(r);
    StringSink sink;
    ASSERT_TRUE(write_driver_file(sink, parameters(27, 13), r, sets.init, sets.scen));
    for (const Spinup_data* ring : {&sets.init.temperature, &sets.init.precipitation,
                                    &sets.init.sunshine, &sets.init.raindays})
        EXPECT_EQ(ring->current_year(), 7);
    for (const Spinup_data* ring : {&sets.scen.temperature, &sets.scen.precipitation,
                                    &sets.scen.sunshine, &sets.scen.raindays})
        EXPECT_EQ(ring->current_year(), 3);
}

TEST(DriverFileWriter, ReportsProgressAfterEveryRow) {
    const CellRecord r = varied_record();
    Sets sets(r);
    StringSink sink;
    std::vector<std::pair<int, int>> calls;
    ASSERT_TRUE(write_driver_file(sink, parameters(4, 3), r, sets.init, sets.scen,
                                  [&](int done, int total) { calls.emplace_back(done, total); }));
    const std::vector<std::pair<int, int>> expected = {{1, 7}, {2, 7}, {3, 7}, {4, 7},
                                                       {5, 7}, {6, 7}, {7, 7}};
    EXPECT_EQ(calls, expected);
}

TEST(DriverFileWriter, StopsWhenTheSinkRefuses) {
    const CellRecord r = varied_record();
    Sets sets(r);
    FailingSink sink(100000);
    int rows = 0;
    EXPECT_FALSE(write_driver_file(sink, parameters(5000, 5000), r, sets.init, sets.scen,
                                   [&](int done, int) { rows = done; }));
    EXPECT_LT(rows, 10000); // gave up well before the end
    EXPECT_LE(sink.taken, 100000u);
}

TEST(DriverFileWriter, ATextFileEndsItsLinesAsThePlatformDoes) {
    // Windows' text mode: every line end becomes CR LF, in whatever pieces it arrives;
    // elsewhere the bytes pass unchanged.
    test::StringSink file;
    TextModeSink text(file);
    ASSERT_TRUE(text.write("a\tb\n", 4));
    ASSERT_TRUE(text.write("\n", 1));
    ASSERT_TRUE(text.write("c", 1));
    const std::string end = kTextLineEnd;
    EXPECT_EQ(file.text, "a\tb" + end + end + "c");
}

} // namespace
} // namespace skyfetch
