#include "climate/Spinup.h"

#include "putil/FatalMessage.h"

#include <initializer_list>
#include <new>

namespace skyfetch {

Spinup_data::Spinup_data(int years) : m_years(years) {
    m_data = new (std::nothrow) double[static_cast<std::size_t>(years) * 12]();
    if (!m_data)
        fatal_exit("Spinup_data::Spinup_data: out of memory");
    m_allocated = true;
}

Spinup_data::~Spinup_data() {
    if (m_allocated)
        delete[] m_data;
}

void Spinup_data::set_data(const double* source, int first_year) {
    for (int y = 0; y < m_years; ++y)
        for (int m = 0; m < 12; ++m)
            m_data[12 * y + m] = source[12 * (y + first_year) + m];
}

double& Spinup_data::month_value(int m) {
    return m_data[12 * m_currentYear + m];
}

void Spinup_data::next_year() {
    m_currentYear = (m_currentYear + 1 == m_years) ? 0 : m_currentYear + 1;
}

bool linear_regression(const double* x, const double* y, int n, double& intercept, double& slope) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (int i = 0; i < n; ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    const double d = n * sxx - sx * sx;
    if (d == 0.0) {
        intercept = n > 0 ? sy / n : 0.0;
        slope = 0.0;
        return false;
    }
    intercept = (sxx * sy - sx * sxy) / d;
    slope = (n * sxy - sx * sy) / d;
    return true;
}

void Spinup_data::detrend_data() {
    double* means = new (std::nothrow) double[m_years];
    double* years = new (std::nothrow) double[m_years];
    if (!means || !years)
        fatal_exit("Spinup_driver::detrend_data: out of memory");
    for (int y = 0; y < m_years; ++y) {
        double sum = 0.0;
        for (int m = 0; m < 12; ++m)
            sum += m_data[12 * y + m];
        means[y] = sum / 12.0;
        years[y] = y;
    }
    double intercept = 0.0, slope = 0.0;
    linear_regression(years, means, m_years, intercept, slope);
    // Only the slope is removed: year 0 keeps its values.
    for (int y = 0; y < m_years; ++y)
        for (int m = 0; m < 12; ++m)
            m_data[12 * y + m] -= y * slope;
    delete[] means;
    delete[] years;
}

void SpinupSet::fill(const CellRecord& record) {
    temperature.set_data(record.mtemp, 0);
    precipitation.set_data(record.mprec, 0);
    sunshine.set_data(record.msun, 0);
    raindays.set_data(record.mwet, 0);
    temperature.detrend_data();
}

void SpinupSet::prepare(const CellRecord& record) {
    reset();
    fill(record);
}

void SpinupSet::reset() {
    temperature.reset();
    precipitation.reset();
    sunshine.reset();
    raindays.reset();
}

void SpinupSet::next_year() {
    temperature.next_year();
    precipitation.next_year();
    sunshine.next_year();
    raindays.next_year();
}

namespace {
// Built before main() like the rest of the program's static state.
SpinupSet g_initialisation;
SpinupSet g_scenario;
} // namespace

SpinupSet& initialisation_set() {
    return g_initialisation;
}
SpinupSet& scenario_set() {
    return g_scenario;
}

void prepare_spinup_sets(const CellRecord& record) {
    for (SpinupSet* set : {&g_initialisation, &g_scenario})
        set->prepare(record);
}

} // namespace skyfetch
