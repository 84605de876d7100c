#include "app/cli/CliTool.h"

#include "app/cli/BatchRun.h"
#include "app/cli/CliMessage.h"
#include "app/cli/SiteCell.h"

#include "climate/CellRecord.h"
#include "climate/ClimateArchive.h"
#include "climate/Spinup.h"
#include "rules/LocationRules.h"
#include "rules/NumberText.h"
#include "rules/OutputFileCheck.h"
#include "rules/OutputName.h"
#include "driver/DriverFileWriter.h"
#include "driver/TextModeSink.h"
#include "driver/NumberFormat.h"
#include "driver/ParameterRules.h"
#include "putil/FileSystem.h"
#include "putil/OutputFolder.h"
#include "putil/SystemError.h"
#include "resources/Version.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace skyfetch {

namespace {

// The driver file's own "%0.1f" and "%0.0f" texts, in any locale.
std::string fixed(double value, int decimals) {
    char buffer[kNumberTextMax];
    char* end = decimals == 0 ? format_fixed0(buffer, value) : format_fixed1(buffer, value);
    return std::string(buffer, end);
}

std::string padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string hemisphere_text(double signedValue, const char* positive, const char* negative) {
    const Magnitude m = SplitSigned(signedValue);
    return FormatG(m.value) + "\u00B0" + (m.flag ? negative : positive);
}

} // namespace

MonthlyMeans ComputeMonthlyMeans(const CellRecord& record) {
    MonthlyMeans means;
    for (int m = 0; m < 12; ++m) {
        for (int y = 0; y < kDataYears; ++y) {
            means.temperature[m] += record.mtemp[12 * y + m];
            means.precipitation[m] += record.mprec[12 * y + m];
            means.sunshine[m] += record.msun[12 * y + m];
            means.raindays[m] += record.mwet[12 * y + m];
        }
        means.temperature[m] /= kDataYears;
        means.precipitation[m] /= kDataYears;
        means.sunshine[m] /= kDataYears;
        means.raindays[m] /= kDataYears;
    }
    return means;
}

int CliTool::run(const std::vector<std::string>& args) {
    const ParsedArguments parsed = ParseArguments(args);
    if (!parsed.ok) {
        m_err << CliMessage(parsed.error);
        if (parsed.showUsage)
            m_err << UsageText();
        return kExitBadInput;
    }
    const CliArguments& arguments = parsed.arguments;
    switch (arguments.mode) {
    case CliMode::Help:
        m_out << HelpText();
        return kExitOk;
    case CliMode::Version:
        m_out << "skyfetch-cli " << VersionText() << "\n"
              << "Climate data: " << climate_source_text() << "\n";
        return kExitOk;
    case CliMode::Climatology:
        return climatology(arguments);
    case CliMode::Batch:
        return batch(arguments);
    case CliMode::Generate:
        break;
    }
    return generate(arguments);
}

bool CliTool::find_cell(double lon, double lat, CellRecord& record) {
    std::string notFound;
    if (LookUpSite(lon, lat, record, notFound))
        return true;
    m_err << CliMessage(notFound);
    return false;
}

int CliTool::write_file(const std::string& path, bool force, const RunParameters& parameters,
                        const CellRecord& record, const std::vector<std::string>& names) {
    // Every file starts at data year 0, however many files this process has written.
    prepare_spinup_sets(record);
    SafeFileWriter file;
    // A pipe or device named on the command line is written into, as a plain write would.
    WriteResult result = file.open(path, force ? ExistingFile::Replace : ExistingFile::Keep,
                                   SpecialTargets::WriteInPlace, Printable(path));
    TextModeSink text(file);
    if (result && !write_driver_file(text, FileParameters(parameters, record), record,
                                     initialisation_set(), scenario_set()))
        result = file.result();
    std::string claimed = path;
    if (result)
        result = names.empty() ? file.commit() : file.commit_to_first_free(names, claimed);
    if (result.ok()) {
        m_written = claimed;
        return kExitOk;
    }
    file.discard();
    if (result.failure != WriteFailure::Exists) {
        m_err << CliMessage(result.error);
        return kExitWriteFailed;
    }
    // The name was free when checked and taken while the file was written: --force
    // replaces a named file, never one of the default names.
    m_err << CliMessage(names.empty() ? result.error + kForceHint : NoFreeNameMessage(names));
    return kExitBadInput;
}

std::string CliTool::NoFreeNameMessage(const std::vector<std::string>& names) {
    return "no free default name: " + Printable(names.front()) + " and " + Printable(names[1]) +
           " to " + Printable(names.back()) + " all exist; name the file with --output";
}

int CliTool::generate(const CliArguments& arguments) {
    CellRecord record;
    if (!find_cell(arguments.lon, arguments.lat, record))
        return kExitNotLand;

    // Without --output the file takes the first free one of the default names, claimed
    // when the file is complete and never replacing anything: two runs at once in one
    // folder get two names, and --force does not make a default name replace a file.
    if (!arguments.haveOutput) {
        const std::vector<std::string> names = UniqueNameCandidates(kDefaultOutputName, false);
        std::string name = names.front();
        MakeUniqueName(name, false);
        if (name_exists(name)) {
            m_err << CliMessage(NoFreeNameMessage(names));
            return kExitBadInput;
        }
        if (is_short_spinup(arguments.parameters.spinupYears))
            m_err << CliMessage(short_spinup_warning());
        const int status = write_file(name, false, arguments.parameters, record, names);
        return status == kExitOk ? report_written() : status;
    }

    const std::string& name = arguments.output;
    if (const std::string problem = CheckOutputPathName(name); !problem.empty()) {
        m_err << CliMessage(problem);
        return kExitBadInput;
    }
    if (HasControlCharacter(name)) {
        m_err << CliMessage("the output name \"" + Printable(name) +
                            "\" contains a control character");
        return kExitBadInput;
    }
    if (const std::string problem = PlatformNameProblem(StripFolder(name)); !problem.empty()) {
        m_err << CliMessage("the output name \"" + Printable(StripFolder(name)) + "\" " + problem);
        return kExitBadInput;
    }
    // The name given is followed through a symbolic link, but only to a regular file:
    // a folder, pipe or device is refused before anything is written.
    const TargetCheck target = CheckTarget(name, false);
    if (target.error != 0) {
        m_err << CliMessage(Printable(name) + ": " + system_error_text(target.error));
        return target.error == ENAMETOOLONG ? kExitBadInput : kExitWriteFailed;
    }
    if (!target.refusal.empty()) {
        m_err << CliMessage(Printable(name) + " " + target.refusal + ", not a regular file");
        return kExitBadInput;
    }
    if (!arguments.force && name_exists(name)) {
        m_err << CliMessage(Printable(name) + " already exists" + kForceHint);
        return kExitBadInput;
    }
    if (is_short_spinup(arguments.parameters.spinupYears))
        m_err << CliMessage(short_spinup_warning());

    const int status = write_file(name, arguments.force, arguments.parameters, record, {});
    return status == kExitOk ? report_written() : status;
}

int CliTool::report_written() {
    std::string file;
    std::string folder;
    SplitPath(m_written, file, folder);
    m_summary = "Environmental driver data have been written to the file " + Printable(file) +
                " in the folder " + Printable(folder) + ".";
    m_out << m_summary << "\n";
    return kExitOk;
}

int CliTool::climatology(const CliArguments& arguments) {
    CellRecord record;
    if (!find_cell(arguments.lon, arguments.lat, record))
        return kExitNotLand;
    const MonthlyMeans means = ComputeMonthlyMeans(record);
    static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    m_out << "Cell centre " << hemisphere_text(record.lon + 0.25, "E", "W") << ", "
          << hemisphere_text(record.lat + 0.25, "N", "S") << "\n"
          << "Soil code " << static_cast<int>(record.soilcode) << "\n"
          << "Month  Temperature (degC)  Precipitation (mm/month)  Sunshine (% clear sky)  "
             "Raindays/month\n";
    for (int m = 0; m < 12; ++m) {
        m_out << kMonths[m] << padded(fixed(means.temperature[m], 1), 20)
              << padded(fixed(means.precipitation[m], 0), 26)
              << padded(fixed(means.sunshine[m], 0), 24) << padded(fixed(means.raindays[m], 0), 16)
              << "\n";
    }
    return kExitOk;
}

int CliTool::batch(const CliArguments& arguments) {
    // The whole table is read first: the rows are checked before any file is written, and
    // the table's identity keeps a row from replacing the table itself.
    std::string text;
    FileIdentity tableFile;
    if (const int error = read_whole_file(arguments.batchFile, text, &tableFile); error != 0) {
        m_err << CliMessage(
            "cannot read " + Printable(arguments.batchFile) + ": " +
            (error == EISDIR ? std::string("it is a folder") : system_error_text(error)));
        return kExitBadInput;
    }
    std::istringstream in(text);
    const SiteTable table = ReadSiteTable(in);
    if (!table.ok) {
        m_err << CliMessage(Printable(arguments.batchFile) + ": " + table.error);
        return kExitBadInput;
    }

    const std::string path = arguments.outputDir.empty() ? "." : arguments.outputDir;
    const int made = make_folders(path);
    OutputFolder folder;
    if (const int opened = made != 0 ? made : folder.open(path); opened != 0) {
        m_err << CliMessage("Could not create the folder " + Printable(path) + ": " +
                            system_error_text(opened));
        return kExitWriteFailed;
    }
    folder.remove_stale_temporaries();

    BatchRun run(m_out, m_err);
    if (!arguments.quiet && m_progressTerminal)
        run.show_progress_on(m_progressTerminal);
    const int status = run.run(table, folder, arguments.force, tableFile);
    const int written = run.written();
    const int failed = run.failed();
    m_summary = std::to_string(written) + (written == 1 ? " driver file" : " driver files") +
                " written to " + Printable(path) + ", " + std::to_string(failed) +
                (failed == 1 ? " row" : " rows") + " failed";
    m_out << m_summary << "\n";
    return status;
}

} // namespace skyfetch
