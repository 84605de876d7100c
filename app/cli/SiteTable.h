#pragma once

#include "app/cli/CliArguments.h"

#include <istream>
#include <string>
#include <vector>

namespace skyfetch {

// One usable row of a batch file.
struct Site {
    int line = 0;     // line number in the file (the header is line 1)
    std::string name; // the driver file is <name>.txt in the output folder
    double lon = 0.0; // signed decimal degrees
    double lat = 0.0;
    RunParameters parameters;
};

// A row that cannot be used, with the reason.
struct SiteError {
    int line = 0;
    std::string reason;
};

// The rows of a batch file in file order, each either a site or an error.
struct SiteRow {
    bool ok = false;
    Site site;
    SiteError error;
};

struct SiteTable {
    bool ok = false;   // false: the header is unusable and no row was read
    std::string error; // why, when not ok
    std::vector<SiteRow> rows;
};

// Reads a CSV file whose header names the columns name, lon and lat and any of
// spinup, scenario, temp_change, precip_change and co2_change, in any order. Fields may
// be quoted ("a, b", a doubled quote standing for one); a quoted field may span lines, and
// a quote inside an unquoted field or text after a closing quote makes the row unusable.
// Blanks around fields are ignored; empty lines are skipped; an empty optional field takes
// the default. A row is numbered by the line it starts on. Each row is checked on its own: numbers,
// ranges and the name (no folder part, no leading dot, no control characters; the same name twice
// is refused the second time), so that a bad row does not stop the others.
SiteTable ReadSiteTable(std::istream& in);

// Empty when the name can be used as a file name inside the output folder, else why not.
std::string CheckSiteName(const std::string& name);

} // namespace skyfetch
