#include "driver/DriverFileWriter.h"

#include "driver/TextModeSink.h"

#include "driver/NumberFormat.h"
#include "putil/BlockString.h"
#include "putil/Timestamp.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace skyfetch {
namespace {

constexpr int kMonths = 12;
constexpr int kValuesPerRow = 4 * kMonths;
// Longest row: the phase letter, two counters and 48 numbers, each with its tab.
constexpr std::size_t kRowMax = (kValuesPerRow + 2) * (kNumberTextMax + 1) + 8;
constexpr std::size_t kBufferSize = 256 * 1024;

// Collects the file in a large buffer and hands it to the sink in big pieces.
class TextBuffer {
public:
    explicit TextBuffer(OutputSink& sink) : m_sink(sink), m_buffer(new char[kBufferSize]) {}

    // A place for up to kRowMax bytes; call done() with the end of what was written.
    char* room() {
        if (kBufferSize - m_used < kRowMax)
            flush();
        return m_buffer.get() + m_used;
    }
    void done(char* end) { m_used = static_cast<std::size_t>(end - m_buffer.get()); }

    void append(const char* text, std::size_t size) {
        if (size > kBufferSize - m_used)
            flush();
        if (size > kBufferSize) {
            m_ok = m_ok && m_sink.write(text, size);
            return;
        }
        std::memcpy(m_buffer.get() + m_used, text, size);
        m_used += size;
    }
    void append(const std::string& text) { append(text.data(), text.size()); }

    bool flush() {
        if (m_used > 0)
            m_ok = m_ok && m_sink.write(m_buffer.get(), m_used);
        m_used = 0;
        return m_ok;
    }
    bool ok() const { return m_ok; }

private:
    OutputSink& m_sink;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    bool m_ok = true;
};

char* put(char* out, const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

char* put_tab(char* out) {
    *out++ = '\t';
    return out;
}

double at_least_one(double value) {
    return value < 1.0 ? 1.0 : value;
}

std::string header(const DriverFileParameters& p, const CellRecord& record) {
    std::string date = p.dateText;
    if (date.empty()) {
        BlockString now;
        timestamp(now);
        date = now.c_str();
    }
    std::string text = "[Environmental driver file for PHYTOMOD Education - Created by Skyfetch " +
                       p.versionText + " on " + date + "]\n\n";
    text += "This file is best viewed in a spreadsheet program like Excel (import as a file of "
            "type 'tab-delimited text')\n\n";
    text += "Lon\tLat\tSoilcode\tInit-Years\tHist-Years\tScen-Years\tTemp-Change-degC\t"
            "Prec-Change-%\tCO2-Change-%\n";

    char line[16 * kNumberTextMax];
    char* out = line;
    out = put_tab(format_general(out, p.cornerLon + 0.25));
    out = put_tab(format_general(out, p.cornerLat + 0.25));
    out = put_tab(format_int(out, static_cast<int>(record.soilcode)));
    out = put_tab(format_int(out, p.initYears));
    out = put_tab(format_int(out, 0)); // no historical rows
    out = put_tab(format_int(out, p.scenarioYears));
    out = put_tab(format_general(out, p.tempChange));
    out = put_tab(format_general(out, p.precipChange));
    out = format_general(out, p.co2Change);
    text.append(line, static_cast<std::size_t>(out - line));
    text += "\n\n";

    static const char kMonthNames[] = "Jan\tFeb\tMar\tApr\tMay\tJun\tJul\tAug\tSep\tOct\tNov\tDec";
    std::string gap(12, '\t');
    text += "\t\t\tTemperature (degC)" + gap + "Precipitation (mm/month)" + gap +
            "Sunshine (% clear sky)" + gap + "Raindays/month\n";
    text += "Phase\tYear\tCO2-ppm\t";
    for (int group = 0; group < 4; ++group) {
        text += kMonthNames;
        text += group < 3 ? "\t" : "\n";
    }
    return text;
}

// The 48 monthly values of the set's current year, each followed by a tab, then the line
// end. `change` is null for an initialisation row.
struct ScenarioChange {
    double f;
    double tempChange;
    double precipChange;
};

char* format_months(char* out, SpinupSet& set, const ScenarioChange* change) {
    for (int m = 0; m < kMonths; ++m) {
        double t = set.temperature.month_value(m);
        if (change)
            t = t + change->f * change->tempChange;
        out = put_tab(format_fixed1(out, t));
    }
    for (int m = 0; m < kMonths; ++m) {
        double p = set.precipitation.month_value(m);
        if (change)
            p = p + p * change->precipChange * 0.01 * change->f;
        out = put_tab(format_fixed0(out, at_least_one(p)));
    }
    for (int m = 0; m < kMonths; ++m)
        out = put_tab(format_fixed0(out, set.sunshine.month_value(m)));
    for (int m = 0; m < kMonths; ++m) {
        double w = set.raindays.month_value(m);
        if (change) {
            w = w + w * kRainDayChange * 0.01 * change->f;
            w = at_least_one(w);
            if (w > DAYS_IN_MONTH[m])
                w = DAYS_IN_MONTH[m];
        } else {
            w = at_least_one(w);
        }
        out = put_tab(format_fixed0(out, w));
    }
    *out++ = '\n';
    return out;
}

// Every ring of the set has the same length, so the rows repeat with that period.
int ring_period(SpinupSet& set) {
    const int n = set.temperature.years();
    if (set.precipitation.years() != n || set.sunshine.years() != n || set.raindays.years() != n)
        return 0;
    return n;
}

} // namespace

bool write_driver_file(OutputSink& sink, const DriverFileParameters& p, const CellRecord& record,
                       SpinupSet& initialisation, SpinupSet& scenario,
                       const DriverProgress& progress) {
    TextBuffer out(sink);
    out.append(header(p, record));

    const int initYears = p.initYears > 0 ? p.initYears : 0;
    const int scenarioYears = p.scenarioYears > 0 ? p.scenarioYears : 0;
    const int total = initYears + scenarioYears;
    int year = 0;

    // Initialisation rows differ from the row ten years earlier only in the year number,
    // so each of the ring's years is formatted once: "330\t", the 48 values, the line end.
    const int period = ring_period(initialisation);
    std::vector<std::string> bodies;
    for (int k = 0; k < initYears && out.ok(); ++k) {
        ++year;
        char* row = out.room();
        char* end = put(row, "I\t");
        end = put_tab(format_int(end, year));
        if (period > 0 && k >= period) {
            out.done(end);
            out.append(bodies[static_cast<std::size_t>(k % period)]);
        } else {
            char* body = end;
            end = put_tab(format_int(end, static_cast<int>(BASE_CO2)));
            end = format_months(end, initialisation, nullptr);
            if (period > 0)
                bodies.emplace_back(body, end);
            out.done(end);
        }
        initialisation.next_year();
        if (progress)
            progress(year, total);
    }

    for (int i = 0; i < scenarioYears && out.ok(); ++i) {
        ++year;
        const double f = static_cast<double>(i + 1) / scenarioYears;
        const double co2 = BASE_CO2 * p.co2Change * 0.01 * f + BASE_CO2;
        const ScenarioChange change{f, p.tempChange, p.precipChange};
        char* end = put(out.room(), "S\t");
        end = put_tab(format_int(end, year));
        end = put_tab(format_fixed0(end, co2));
        out.done(format_months(end, scenario, &change));
        scenario.next_year();
        if (progress)
            progress(year, total);
    }
    return out.flush();
}

WriteResult write_driver_file(const std::string& path, ExistingFile existing,
                              const DriverFileParameters& parameters, const CellRecord& record,
                              SpinupSet& initialisation, SpinupSet& scenario,
                              const DriverProgress& progress) {
    SafeFileWriter file;
    const WriteResult opened = file.open(path, existing);
    if (!opened)
        return opened;
    TextModeSink text(file);
    if (!write_driver_file(text, parameters, record, initialisation, scenario, progress)) {
        file.discard();
        return file.result();
    }
    return file.commit();
}

} // namespace skyfetch
