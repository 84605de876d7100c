#include "app/cli/SiteTable.h"

#include "putil/FileSystem.h"
#include "rules/OutputName.h"

#include "rules/OutputFileCheck.h"

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

bool read_line(std::istream& in, std::string& line) {
    if (!std::getline(in, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// Splits the record that starts with `line` into fields, reading further lines while a
// quoted field is open (its line breaks belong to the field). lineNumber advances to the
// record's last line. Returns why the record cannot be used, or nothing.
std::string read_record(std::istream& in, std::string line, int& lineNumber,
                        std::vector<std::string>& fields) {
    enum class At { Unquoted, Quoted, AfterQuote };
    fields.clear();
    std::string field;
    At at = At::Unquoted;
    for (;;) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            switch (at) {
            case At::Quoted:
                if (c != '"') {
                    field += c;
                } else if (i + 1 < line.size() && line[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    at = At::AfterQuote;
                }
                break;
            case At::AfterQuote:
                if (c == ',') {
                    fields.push_back(field);
                    field.clear();
                    at = At::Unquoted;
                } else if (c != ' ' && c != '\t') {
                    return "text after the closing quote of a field";
                }
                break;
            case At::Unquoted:
                if (c == ',') {
                    fields.push_back(trim(field));
                    field.clear();
                } else if (c != '"') {
                    field += c;
                } else if (trim(field).empty()) {
                    field.clear();
                    at = At::Quoted;
                } else {
                    // Taken as text, it would end up in a file name; the writer of the
                    // file most likely meant a quoted field.
                    return "a quote inside an unquoted field (quote the whole field and "
                           "double the quote)";
                }
                break;
            }
        }
        if (at != At::Quoted)
            break;
        if (!read_line(in, line))
            return "the quote opened on this line is not closed by the end of the file";
        ++lineNumber;
        field += '\n';
    }
    fields.push_back(at == At::AfterQuote ? field : trim(field));
    return {};
}

bool blank(const std::string& line) {
    return trim(line).empty();
}

// Reads one decimal field; the reason names the column.
bool decimal_field(const std::string& column, const std::string& text, double& value,
                   std::string& reason) {
    if (ReadNumber(text, value) == NumberReading::NotANumber) {
        reason = column + ": \"" + Printable(text) + "\" is not a number";
        return false;
    }
    return true;
}

bool integer_field(const std::string& column, const std::string& text, int& value,
                   std::string& reason) {
    if (!ReadInteger(text, value)) {
        reason = column + ": \"" + Printable(text) + "\" is not a whole number";
        return false;
    }
    return true;
}

} // namespace

std::string CheckSiteName(const std::string& name) {
    // A name of blanks only would make a file called "  .txt": as good as none.
    if (trim(name).empty())
        return "the name is empty";
    if (HasControlCharacter(name))
        return "the name contains a control character";
    if (name[0] == '.')
        return "the name \"" + Printable(name) + "\" starts with a dot";
    if (last_separator(name) != std::string::npos)
        return "the name \"" + Printable(name) + "\" contains a folder separator";
    if (const std::string problem = PlatformNameProblem(name + ".txt"); !problem.empty())
        return "the name \"" + Printable(name) + "\" " + problem;
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
    const int headerLine = lineNumber;
    const std::string headerProblem = read_record(in, line, lineNumber, fields);
    if (!headerProblem.empty()) {
        table.error = "line " + std::to_string(headerLine) + " (header): " + headerProblem;
        return table;
    }
    std::map<std::string, std::size_t> column;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& name = fields[i];
        bool known = false;
        for (const char* c : kColumns)
            known = known || name == c;
        if (!known) {
            table.error = "line " + std::to_string(headerLine) + ": unknown column \"" +
                          Printable(name) +
                          "\" (columns: name,lon,lat and optionally spinup,scenario," +
                          "temp_change,precip_change,co2_change)";
            return table;
        }
        if (!column.emplace(name, i).second) {
            table.error =
                "line " + std::to_string(headerLine) + ": column \"" + name + "\" appears twice";
            return table;
        }
    }
    for (const char* required : {"name", "lon", "lat"}) {
        if (column.count(required) == 0) {
            table.error = "line " + std::to_string(headerLine) +
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
        reason = read_record(in, line, lineNumber, fields);
        auto field = [&](const char* name) -> std::string {
            const auto it = column.find(name);
            return it == column.end() ? std::string() : fields[it->second];
        };
        Site& site = row.site;
        RunParameters& p = site.parameters;
        if (!reason.empty()) {
            // The record could not be split; its fields are unknown.
        } else if (fields.size() != column.size()) {
            reason = "expected " + std::to_string(column.size()) + " fields, found " +
                     std::to_string(fields.size());
        } else {
            site.name = field("name");
            reason = CheckSiteName(site.name);
            if (reason.empty() && names.count(site.name) != 0)
                reason = "the name \"" + Printable(site.name) + "\" is used by an earlier row";
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
