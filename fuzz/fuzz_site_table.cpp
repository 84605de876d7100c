// ReadSiteTable on the input as the text of a batch file.
//
// Every row the table accepts must be safe to write as <name>.txt into the output folder
// (a name that is not blank, has no folder part, no leading dot and no control character,
// and that no earlier accepted row has) with values in their ranges. Every refused row
// says why and points at a line of the file. For a file without quotes, where each line
// is one record, the rows must be exactly the non-blank lines after the header.

#include "FuzzSupport.h"

#include "app/cli/SiteTable.h"

#include <cmath>
#include <set>
#include <sstream>

using namespace skyfetch;

namespace {

bool within(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

bool blank(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

void check_site(const Site& site) {
    const std::string& name = site.name;
    FUZZ_CHECK(CheckSiteName(name).empty());
    FUZZ_CHECK(!blank(name));
    FUZZ_CHECK(name.find('/') == std::string::npos);
    FUZZ_CHECK(name[0] != '.');
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        FUZZ_CHECK(byte >= 0x20 && byte != 0x7f);
    }
    FUZZ_CHECK(within(site.lon, -180.0, 180.0));
    FUZZ_CHECK(within(site.lat, -90.0, 90.0));
    const RunParameters& p = site.parameters;
    FUZZ_CHECK(p.spinupYears >= 0 && p.spinupYears <= 10000);
    FUZZ_CHECK(p.scenarioYears >= 0 && p.scenarioYears <= 10000);
    FUZZ_CHECK(within(p.tempChange, -30.0, 30.0));
    FUZZ_CHECK(within(p.precipChange, -100.0, 1000.0));
    FUZZ_CHECK(within(p.co2Change, -100.0, 1000.0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    const SiteTable table = ReadSiteTable(in);

    FUZZ_CHECK(!fuzz::has_raw_control(table.error));
    if (!table.ok) {
        FUZZ_CHECK(!table.error.empty());
        FUZZ_CHECK(table.rows.empty());
        return 0;
    }

    const std::vector<std::string> lines = fuzz::lines_of(text);
    const int lineCount = static_cast<int>(lines.size());
    std::set<std::string> okNames;
    int previousLine = 1; // the header takes a line before any row
    for (const SiteRow& row : table.rows) {
        const int line = row.ok ? row.site.line : row.error.line;
        // Rows come in file order, each starting on a line after the previous record.
        FUZZ_CHECK(line > previousLine && line <= lineCount);
        FUZZ_CHECK(!blank(lines[static_cast<std::size_t>(line - 1)]));
        previousLine = line;
        if (row.ok) {
            FUZZ_CHECK(row.error.reason.empty());
            check_site(row.site);
            FUZZ_CHECK(okNames.insert(row.site.name).second);
        } else {
            FUZZ_CHECK(!row.error.reason.empty());
            FUZZ_CHECK(!fuzz::has_raw_control(row.error.reason));
        }
    }

    if (text.find('"') == std::string::npos) {
        // No quotes: every non-blank line after the header is one row, in order.
        std::size_t i = 0;
        while (i < lines.size() && blank(lines[i]))
            ++i;
        std::vector<int> expected;
        for (++i; i < lines.size(); ++i) {
            if (!blank(lines[i]))
                expected.push_back(static_cast<int>(i + 1));
        }
        FUZZ_CHECK(expected.size() == table.rows.size());
        for (std::size_t r = 0; r < expected.size(); ++r) {
            const SiteRow& row = table.rows[r];
            FUZZ_CHECK((row.ok ? row.site.line : row.error.line) == expected[r]);
        }
    }
    return 0;
}
