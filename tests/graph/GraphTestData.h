#pragma once

// The climatologies the graph tests lay out, draw and copy.

#include "graph/ClimateGraphData.h"

namespace skyfetch::test {

// An alpine cell: temperatures -12.3 to 18.7 degrees (axis -20 to 20), precipitation up
// to 101 mm (axis 0 to 150).
inline constexpr double kAlpineTemperature[12] = {-12.3, -10, -4, 2, 8,  13,
                                                  18.7,  17,  11, 4, -3, -9};
inline constexpr double kAlpinePrecipitation[12] = {80, 70, 90, 101, 95, 60,
                                                    40, 55, 75, 88,  92, 85};

// A cell with data whose monthly means are these.
inline ClimateGraphData MakeGraphData(const double (&temperature)[12],
                                      const double (&precipitation)[12]) {
    ClimateGraphData d;
    d.m_hasData = 1;
    for (int i = 0; i < 12; ++i) {
        d.m_temperature[i] = temperature[i];
        d.m_precipitation[i] = precipitation[i];
    }
    return d;
}

} // namespace skyfetch::test
