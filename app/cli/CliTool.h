#pragma once

#include "app/cli/CliArguments.h"
#include "app/cli/SiteTable.h"
#include "driver/SafeFileWriter.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace skyfetch {

struct CellRecord;

// The command-line generator: the same checks, lookup and driver file as the window's
// "Generate file", without a window. Results go to `out`, messages to `err`; run()
// returns the exit status. The climate archive must have been registered as a resource.
class CliTool {
public:
    CliTool(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    // args are the arguments after the program name.
    int run(const std::vector<std::string>& args);

    // Where a batch shows its progress line (standard error, when it is a terminal);
    // none by default, and --quiet keeps it off.
    void set_progress_terminal(std::FILE* terminal) { m_progressTerminal = terminal; }

    // What the run wrote, as its last line on standard output said it ("3 driver files
    // written to out, 1 row failed"), for repeating on standard error when standard output
    // failed; empty when no driver file was asked for.
    const std::string& summary() const { return m_summary; }

private:
    int generate(const CliArguments& arguments);
    int climatology(const CliArguments& arguments);
    int batch(const CliArguments& arguments);

    // Looks the cell holding the signed location up; prints the not-found text and
    // returns false when it is not land.
    bool find_cell(double lon, double lat, CellRecord& record);
    // Writes one driver file from data year 0 at path, or with `names` onto the first of
    // them that is free; prints the failure and returns the exit status.
    int write_file(const std::string& path, bool force, const RunParameters& parameters,
                   const CellRecord& record, const std::vector<std::string>& names);
    // Prints where the file went.
    int report_written();
    static std::string NoFreeNameMessage(const std::vector<std::string>& names);

    std::ostream& m_out;
    std::ostream& m_err;
    std::string m_summary;
    std::string m_written; // the path of the file a single run wrote
    std::FILE* m_progressTerminal = nullptr;
};

// The twelve 10-year monthly means of a record, as the climatology shows them.
struct MonthlyMeans {
    double temperature[12] = {};
    double precipitation[12] = {};
    double sunshine[12] = {};
    double raindays[12] = {};
};
MonthlyMeans ComputeMonthlyMeans(const CellRecord& record);

} // namespace skyfetch
