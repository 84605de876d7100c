#include "graph/GraphGeometry.h"

#include <algorithm>
#include <charconv>

namespace skyfetch {
namespace {

// Number of intervals between labelled ticks; at least one so that the spacing stays
// finite even for data no axis can hold (negative precipitation, say).
int Intervals(int labels) {
    return std::max(labels - 1, 1);
}

// The distance from the axis that a title's baseline needs to stay clear of its axis's
// labels, which start 6 pixels from the axis.
int ClearOfLabels(const std::vector<GraphTick>& ticks, const GraphTextSize& text) {
    int widest = 0;
    if (text.labelWidth)
        for (const GraphTick& tick : ticks)
            widest = std::max(widest, text.labelWidth(tick.label));
    return 6 + widest + kTitleGap + text.titleDescent;
}

} // namespace

std::string FormatAxisLabel(double value) {
    char buffer[32];
    // Same result as printf("%g") in the C locale: six significant digits, no trailing
    // zeros, exponent form for very large or small magnitudes.
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

GraphGeometry ComputeGraphGeometry(const ClimateGraphData& data, int width, int height,
                                   int initialWidth, const GraphTextSize& text) {
    GraphGeometry g;
    g.width = width;
    g.height = height;
    g.clear = {2, 2, width, height};
    g.layout = LayoutGraph(width, height, initialWidth);
    g.hasData = data.m_hasData != 0;
    if (!g.hasData)
        return g;

    const GraphLayout& l = g.layout;
    const int xL = l.xLeft;
    const int xR = l.xRight;
    const int yB = l.yBase;
    const int bw = l.barWidth;

    // Precipitation axis on the right, always from zero.
    double pMax = data.m_precipitation[0];
    for (int i = 1; i < 12; ++i)
        if (data.m_precipitation[i] > pMax)
            pMax = data.m_precipitation[i];
    g.precipitationAxis = ScaleAxis(0, pMax, false, 100);
    const double dP = g.precipitationAxis.major;
    const double aP = g.precipitationAxis.maximum;
    g.precipitationLabels = static_cast<int>(aP / dP + 1);
    const int nPi = Intervals(g.precipitationLabels);
    // The spacings are kept in single precision: tick positions are truncated from them.
    const float sP = static_cast<float>(l.plotHeight) / static_cast<float>(nPi);
    g.precipitationSpacing = sP;
    g.yTop = static_cast<int>(static_cast<float>(yB) - static_cast<float>(nPi) * sP);
    g.yMiddle = g.yTop + (yB - g.yTop) / 2;

    g.frame = {GraphPoint{xL, g.yTop}, GraphPoint{xL, yB}, GraphPoint{xR, yB},
               GraphPoint{xR, g.yTop}};

    for (int i = 0; i < g.precipitationLabels; ++i) {
        const int y = static_cast<int>(static_cast<float>(yB) - static_cast<float>(i) * sP);
        g.rightTicks.push_back({y, FormatAxisLabel(i * dP)});
    }
    g.precipitationTitle = {xR + std::max(l.labelOffset, ClearOfLabels(g.rightTicks, text)),
                            g.yMiddle};

    // Month axis: thirteen ticks bounding twelve slots, letters under the slots.
    for (int i = 0; i <= 12; ++i) {
        const int x = xL + i * (bw + 1) + 1;
        g.monthTicks[i] = x;
        if (i >= 1)
            g.monthLetters[i - 1] = {x - bw / 2, yB + 6};
    }
    g.monthTitle = {static_cast<int>(xL + (xR - xL) * 0.5), yB + 20};

    const double scaleP = 1 / aP;
    for (int i = 0; i < 12; ++i) {
        const int x = xL + i * (bw + 1) + 2;
        const int top = static_cast<int>(yB - scaleP * data.m_precipitation[i] * sP * nPi);
        g.bars[i] = {x, std::min(top, yB), x + bw, std::max(top, yB)};
    }

    // Temperature axis on the left, from its own rounded minimum.
    double tMin = data.m_temperature[0];
    double tMax = data.m_temperature[0];
    for (int i = 1; i < 12; ++i) {
        if (data.m_temperature[i] < tMin)
            tMin = data.m_temperature[i];
        if (data.m_temperature[i] > tMax)
            tMax = data.m_temperature[i];
    }
    g.temperatureAxis = ScaleAxis(tMin, tMax, false, 100);
    const double dT = g.temperatureAxis.major;
    const double aT0 = g.temperatureAxis.minimum;
    const double aT1 = g.temperatureAxis.maximum;
    const double scaleT = g.temperatureAxis.scale;
    g.temperatureLabels = static_cast<int>((aT1 - aT0) / dT + 0.0001) + 1;
    const int nTi = Intervals(g.temperatureLabels);
    const float sT = static_cast<float>(l.plotHeight) / static_cast<float>(nTi);
    g.temperatureSpacing = sT;

    for (int i = 0; i < g.temperatureLabels; ++i) {
        const int y = static_cast<int>(static_cast<float>(yB) - static_cast<float>(i) * sT - 0.5);
        g.leftTicks.push_back({y, FormatAxisLabel(i * dT + aT0)});
    }
    g.temperatureTitle = {std::min(static_cast<int>(xL - 1.1 * l.labelOffset),
                                   xL - ClearOfLabels(g.leftTicks, text)),
                          g.yMiddle};

    for (int i = 0; i < 12; ++i) {
        const int x = static_cast<int>(xL + 2 + (i + 0.5) * (bw + 1));
        const int y = static_cast<int>(yB - (data.m_temperature[i] - aT0) * scaleT * sT * nTi);
        g.line[i] = {x, y};
    }
    return g;
}

} // namespace skyfetch
