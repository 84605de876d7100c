#pragma once

#include "graph/ClimateGraphData.h"
#include "graph/GraphLayout.h"
#include "graph/ScaleAxis.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace skyfetch {

struct GraphPoint {
    int x = 0;
    int y = 0;
};

// A filled area: left and top inclusive, right and bottom exclusive.
struct GraphRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// One labelled tick of a value axis.
struct GraphTick {
    int y = 0;
    std::string label;
};

// Everything the climatology graph draws, in drawing-area pixels (y downwards), so that
// the painting code only has to turn it into lines, rectangles and text. Text anchors
// name the point the text is aligned on.
struct GraphGeometry {
    int width = 0;
    int height = 0;
    GraphLayout layout;
    GraphRect clear; // cleared with white before anything else

    // Without data only the clear is drawn; the rest below is then left empty.
    bool hasData = false;

    AxisScale precipitationAxis;
    int precipitationLabels = 0;     // number of labelled ticks on the right axis
    float precipitationSpacing = 0;  // pixels between them
    int yTop = 0;                    // top of the plot
    int yMiddle = 0;                 // vertical centre of the plot, for the axis titles
    std::array<GraphPoint, 4> frame; // polyline: left axis, month axis, right axis
    // Right axis ticks run from (xRight, y) to (xRight + 4, y); their labels start at
    // (xRight + 6, y + 3) on the baseline.
    std::vector<GraphTick> rightTicks;
    // Centre of the baseline; the text runs downwards, its descenders towards the axis.
    GraphPoint precipitationTitle;

    // Month ticks run from (x, yBase) down to (x, height - 34).
    std::array<int, 13> monthTicks{};
    std::array<GraphPoint, 12> monthLetters; // top centre of each letter
    GraphPoint monthTitle;                   // top centre of "Month"
    std::array<GraphRect, 12> bars;

    AxisScale temperatureAxis;
    int temperatureLabels = 0;
    float temperatureSpacing = 0;
    // Left axis ticks run from (xLeft, y) to (xLeft - 4, y); their labels end at
    // (xLeft - 6, y + 3) on the baseline.
    std::vector<GraphTick> leftTicks;
    // Centre of the baseline; the text runs upwards, its descenders towards the axis.
    GraphPoint temperatureTitle;
    std::array<GraphPoint, 12> line;
};

inline constexpr char kMonthLetters[] = "JFMAMJJASOND";

// What the layout needs to know of the fonts, measured by the painting side: how wide the
// tick labels are written, and how far the rotated axis titles reach from their baseline
// towards the axis (the font's descent: both titles turn their descenders to the plot).
struct GraphTextSize {
    std::function<int(const std::string&)> labelWidth; // empty: labels taken as 0 wide
    int titleDescent = 0;
};

// Pixels kept free between the widest tick label and an axis title.
inline constexpr int kTitleGap = 2;

// Lays out the graph of `data` in a width x height area; initialWidth is the width at
// the graph's first paint. Each axis title stands where the layout puts it
// (labelOffset from the axis), or further out when the widest label of its axis would
// reach it there.
GraphGeometry ComputeGraphGeometry(const ClimateGraphData& data, int width, int height,
                                   int initialWidth, const GraphTextSize& text = {});

// An axis label as "%g" prints it in the C locale, whatever the user's locale.
std::string FormatAxisLabel(double value);

} // namespace skyfetch
