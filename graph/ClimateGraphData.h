#pragma once

namespace skyfetch {

// What the climatology graph shows: the selected cell's twelve 10-year monthly means.
// The main dialog's update_climatology() writes it; the graph only reads it.
struct ClimateGraphData {
    int m_hasData = 0;              // nonzero when the arrays hold a found cell's climate
    double m_temperature[12] = {};  // degrees Celsius, January first
    double m_precipitation[12] = {}; // millimetres per month, January first
};

} // namespace skyfetch
