#include "app/cli/SiteTable.h"

#include <map>
#include <set>

namespace skyfetch {

namespace {

const char* const kColumns[] = {"name",     "lon",         "lat",           "spinup",
                                "scenario", "temp_change", "precip_change", "co2_change"};

std::string trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Splits one line into fields; false when a quote is left open.
bool split_fields(const std::string& line, std::vector<std::string>& fields) {
    fields.clear();
    std::string field;
    bool quoted = false;
    bool wasQuoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"' && trim(field).empty()) {
            field.clear();
            quoted = true;
            wasQuoted = true;
        } else if (c == ',') {
            fields.push_back(wasQuoted ? field : trim(field));
            field.clear();
            wasQuoted = false;
        } else if (!(wasQuoted && (c == ' ' || c == '\t'))) {
            field += c;
        }
    }
    if (quoted)
        return false;
    fields.push_back(wasQuoted ? field : trim(field));
    return true;
}

bool read_line(std::istream& in, std::string& line) {
    if (!std::getline(in, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

bool blank(const std::string& line) {
    return trim(line).empty();
}

// Reads one decimal field; the reason names the column.
bool decimal_field(const std::string& column, const std::string& text, double& value,
                   std::string& reason) {
    if (ReadNumber(text, value) == NumberReading::NotANumber) {
        reason = column + ": \"" + text + "\" is not a number";
        return false;
    }
    return true;
}

bool integer_field(const std::string& column, const std::string& text, int& value,
                   std::string& reason) {
    if (!ReadInteger(text, value)) {
        reason = column + ": \"" + text + "\" is not a whole number";
        return false;
    }
    return true;
}

} // namespace

std::string CheckSiteName(const std::string& name) {
    if (name.empty())
        return "the name is empty";
    if (name[0] == '.')
        return "the name \"" + name + "\" starts with a dot";
    for (char c : name) {
        if (c == '/')
            return "the name \"" + name + "\" contains a folder separator";
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return "the name contains a control character";
    }
    return {};
}

SiteTable ReadSiteTable(std::istream& in) {
    SiteTable table;
    std::string line;
    int lineNumber = 0;
    std::vector<std::string> fields;

    // The header: the first line that is not blank.
    bool haveHeader = false;
    while (read_line(in, line)) {
        ++lineNumber;
        if (!blank(line)) {
            haveHeader = true;
            break;
        }
    }
    if (!haveHeader) {
        table.error = "the file has no header line (name,lon,lat)";
        return table;
    }
    if (lineNumber == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
        line.erase(0, 3); // a byte-order mark written by some spreadsheet programs
    if (!split_fields(line, fields)) {
        table.error = "line " + std::to_string(lineNumber) + ": unbalanced quotes in the header";
        return table;
    }
    std::map<std::string, std::size_t> column;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& name = fields[i];
        bool known = false;
        for (const char* c : kColumns)
            known = known || name == c;
        if (!known) {
            table.error = "line " + std::to_string(lineNumber) + ": unknown column \"" + name +
                          "\" (columns: name,lon,lat and optionally spinup,scenario," +
                          "temp_change,precip_change,co2_change)";
            return table;
        }
        if (!column.emplace(name, i).second) {
            table.error =
                "line " + std::to_string(lineNumber) + ": column \"" + name + "\" appears twice";
            return table;
        }
    }
    for (const char* required : {"name", "lon", "lat"}) {
        if (column.count(required) == 0) {
            table.error = "line " + std::to_string(lineNumber) +
                          ": the header lacks the column \"" + required +
                          "\" (name,lon,lat are required)";
            return table;
        }
    }
    table.ok = true;

    std::set<std::string> names;
    while (read_line(in, line)) {
        ++lineNumber;
        if (blank(line))
            continue;
        SiteRow row;
        row.error.line = lineNumber;
        row.site.line = lineNumber;
        std::string& reason = row.error.reason;
        auto field = [&](const char* name) -> std::string {
            const auto it = column.find(name);
            return it == column.end() ? std::string() : fields[it->second];
        };
        Site& site = row.site;
        RunParameters& p = site.parameters;
        if (!split_fields(line, fields)) {
            reason = "unbalanced quotes";
        } else if (fields.size() != column.size()) {
            reason = "expected " + std::to_string(column.size()) + " fields, found " +
                     std::to_string(fields.size());
        } else {
            site.name = field("name");
            reason = CheckSiteName(site.name);
            if (reason.empty() && names.count(site.name) != 0)
                reason = "the name \"" + site.name + "\" is used by an earlier row";
            if (reason.empty() && decimal_field("lon", field("lon"), site.lon, reason) &&
                decimal_field("lat", field("lat"), site.lat, reason)) {
                reason = CheckLocationValue(true, site.lon);
                if (reason.empty())
                    reason = CheckLocationValue(false, site.lat);
            }
            const std::string spinup = field("spinup");
            const std::string scenario = field("scenario");
            const std::string temp = field("temp_change");
            const std::string precip = field("precip_change");
            const std::string co2 = field("co2_change");
            if (reason.empty() &&
                (spinup.empty() || integer_field("spinup", spinup, p.spinupYears, reason)) &&
                (scenario.empty() ||
                 integer_field("scenario", scenario, p.scenarioYears, reason)) &&
                (temp.empty() || decimal_field("temp_change", temp, p.tempChange, reason)) &&
                (precip.empty() ||
                 decimal_field("precip_change", precip, p.precipChange, reason)) &&
                (co2.empty() || decimal_field("co2_change", co2, p.co2Change, reason)))
                reason = CheckRunParameters(p);
            // A refused row still claims its name, so a later row cannot take it by
            // accident; the user fixes the first row and runs again.
            if (!site.name.empty())
                names.insert(site.name);
        }
        row.ok = reason.empty();
        table.rows.push_back(std::move(row));
    }
    return table;
}

} // namespace skyfetch
