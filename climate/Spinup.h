#pragma once

#include "climate/CellRecord.h"

namespace skyfetch {

// Ten years of one monthly variable held as a ring with a current year: the driver
// file writer reads the current year's twelve months and moves on, wrapping from the
// last year back to the first, so any number of years can be produced from the record.
class Spinup_data {
public:
    explicit Spinup_data(int years);
    ~Spinup_data();
    Spinup_data(const Spinup_data&) = delete;
    Spinup_data& operator=(const Spinup_data&) = delete;

    // storage[12y + m] = source[12(y + first_year) + m]; the current year is kept.
    void set_data(const double* source, int first_year);
    // Month m (0 = January) of the current year.
    double& month_value(int m);
    void next_year();
    // Removes the linear trend of the annual means (least squares), keeping the
    // level of the first year: year y is shifted by -y * slope.
    void detrend_data();
    // Back to data year 0. Needed whenever more than one file is written per process.
    void reset() { m_currentYear = 0; }

    int years() const { return m_years; }
    int current_year() const { return m_currentYear; }
    const double* data() const { return m_data; }

private:
    int m_years;
    bool m_allocated = false;
    double* m_data = nullptr;
    int m_currentYear = 0;
};

// Least-squares line through (x[i], y[i]); returns false when the x values do not
// determine a line (fewer than two distinct values).
bool linear_regression(const double* x, const double* y, int n, double& intercept, double& slope);

// One ring per variable; the writer advances all four together.
struct SpinupSet {
    Spinup_data temperature{kDataYears};
    Spinup_data precipitation{kDataYears};
    Spinup_data sunshine{kDataYears};
    Spinup_data raindays{kDataYears};

    // Fills the four rings from the record (first data year 0) and detrends the
    // temperatures. The current year is left as it is; call reset() first to start
    // a new file at data year 0.
    void fill(const CellRecord& record);
    // reset() and fill(): the set ready for a new file.
    void prepare(const CellRecord& record);
    void reset();
    void next_year();
};

// The two sets the program keeps for its whole run: the initialisation (spin-up)
// phase and the scenario phase each cycle through the record on their own.
SpinupSet& initialisation_set();
SpinupSet& scenario_set();

// Readies both sets for a new file: back to data year 0, filled from the record and
// detrended, so that every file starts alike however many were written before.
void prepare_spinup_sets(const CellRecord& record);

} // namespace skyfetch
