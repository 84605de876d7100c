#pragma once

#include <QFont>

namespace skyfetch {

// One of the graph's fonts: the typeface plus the direction its text runs in, as an
// angle in tenths of a degree counter-clockwise from the x axis (0, 900 or 2700).
struct GraphFont {
    QFont font;
    int escapement = 0;
};

// The graph's three fonts. They belong to the main dialog, which makes them once, when
// it initialises, from the graph's client height at that moment; they all share one
// size, so the text does not follow later resizes.
struct GraphFonts {
    GraphFont horizontal; // tick labels, month letters, "Month", "Not land!"
    GraphFont upward;     // text running bottom to top: "Temperature (°C)"
    GraphFont downward;   // text running top to bottom: "Precipitation (mm)"
};

// Makes the three fonts: "Arial" (or the metric-compatible face the system substitutes)
// whose full cell, ascent plus descent, is clientHeight / 10 pixels.
GraphFonts MakeGraphFonts(int clientHeight);

} // namespace skyfetch
