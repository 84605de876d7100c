#include "graph/GraphGeometry.h"

#include "GraphTestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>

namespace skyfetch {
namespace {

using test::kAlpinePrecipitation;
using test::kAlpineTemperature;
using test::MakeGraphData;

// ---------------------------------------------------------------------------------------
// Layout

struct LayoutCase {
    int width, height, initialWidth;
    int labelOffset, xLeft, barWidth, xRight, yBase, plotHeight;
};

// Worked by hand: at the first width, after widening by 60 (titles move out by 6, the plot
// moves right by 20, bars grow), and after widening by 120 (title offset capped at H / 4).
const LayoutCase kLayouts[] = {
    {180, 130, 180, 26, 50, 6, 136, 92, 77},
    {240, 130, 180, 32, 72, 7, 170, 92, 77},
    {300, 130, 180, 32, 91, 9, 213, 92, 77},
    {191, 100, 191, 20, 50, 7, 148, 62, 47},
};

// Lays out the case's area and checks the horizontal part: the title offset, the plot's
// edges and the bar width.
GraphLayout ExpectHorizontalLayout(const LayoutCase& c) {
    const GraphLayout l = LayoutGraph(c.width, c.height, c.initialWidth);
    EXPECT_EQ(l.labelOffset, c.labelOffset);
    EXPECT_EQ(l.xLeft, c.xLeft);
    EXPECT_EQ(l.barWidth, c.barWidth);
    EXPECT_EQ(l.xRight, c.xRight);
    return l;
}

TEST(GraphLayout, WorkedExamples) {
    for (const LayoutCase& c : kLayouts) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " W0=" << c.initialWidth);
        const GraphLayout l = ExpectHorizontalLayout(c);
        EXPECT_EQ(l.yBase, c.yBase);
        EXPECT_EQ(l.plotHeight, c.plotHeight);
    }
}

TEST(GraphLayout, AtFirstWidthThePlotIsBalancedAndFits) {
    // Worked by hand for W = W0, H = 130: bw = (W - 107) / 12, xR = 66 + 12 bw before the
    // shift, which is (118 + 12 bw - W) / 4.
    const LayoutCase cases[] = {
        {120, 130, 120, 26, 50, 1, 76, 92, 77},   {130, 130, 130, 26, 52, 1, 78, 92, 77},
        {200, 130, 200, 26, 52, 7, 150, 92, 77},  {251, 130, 251, 26, 50, 12, 208, 92, 77},
        {400, 130, 400, 26, 51, 24, 353, 92, 77},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.width);
        ExpectHorizontalLayout(c);
    }
    // Every first width: the plot lies inside the area, its left margin (room for the
    // temperature labels) 50 to 52 pixels and at most 7 pixels wider than the right one.
    for (int w = 120; w <= 400; ++w) {
        SCOPED_TRACE(w);
        const GraphLayout l = LayoutGraph(w, 130, w);
        EXPECT_EQ(l.labelOffset, 26);
        const int leftMargin = l.xLeft;
        const int rightMargin = w - l.xRight;
        EXPECT_GE(leftMargin, 50);
        EXPECT_LE(leftMargin, 52);
        EXPECT_GE(leftMargin - rightMargin, 0);
        EXPECT_LE(leftMargin - rightMargin, 7);
        // The bars take the width between margins of 52: one more pixel each would not fit.
        EXPECT_LE(12 * l.barWidth, w - 2 * 52 - 3);
        EXPECT_GT(12 * (l.barWidth + 1), w - 2 * 52 - 3);
    }
}

TEST(GraphLayout, WideningMovesThePlotAndTitlesOutwards) {
    // Worked by hand for W0 = 180, H = 130: xL = (W - 180) / 3 + 52 before the shift,
    // title offset 26 + (W - 180) / 10, capped at 32.
    const LayoutCase cases[] = {
        {181, 130, 180, 26, 50, 6, 136, 92, 77},   {200, 130, 180, 28, 58, 6, 144, 92, 77},
        {270, 130, 180, 32, 81, 8, 191, 92, 77},   {360, 130, 180, 32, 110, 11, 256, 92, 77},
        {540, 130, 180, 32, 170, 16, 376, 92, 77},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.width);
        ExpectHorizontalLayout(c);
    }

    const int w0 = 180;
    const GraphLayout first = LayoutGraph(w0, 130, w0);
    GraphLayout previous = first;
    for (int w = w0 + 1; w <= 3 * w0; ++w) {
        SCOPED_TRACE(w);
        const GraphLayout l = LayoutGraph(w, 130, w0);
        // The bars widen with the window (a pixel's wobble aside, as the axis steps right).
        EXPECT_GE(l.barWidth, first.barWidth);
        EXPECT_GE(l.barWidth, previous.barWidth - 1);
        EXPECT_GE(l.barWidth, (w - w0) / 36 + first.barWidth - 1);
        EXPECT_GE(l.labelOffset, previous.labelOffset);
        EXPECT_LE(l.labelOffset, 130 / 4);
        // The plot moves right: its left axis never goes back by more than the balancing
        // shift's wobble, and it stays inside the area.
        EXPECT_GE(l.xLeft, previous.xLeft - 2);
        EXPECT_GE(l.xLeft, first.xLeft);
        EXPECT_LE(l.xRight, w);
        previous = l;
    }
}

// ---------------------------------------------------------------------------------------
// Axes and labels

std::vector<std::string> Labels(const std::vector<GraphTick>& ticks) {
    std::vector<std::string> out;
    for (const GraphTick& t : ticks)
        out.push_back(t.label);
    return out;
}

struct AxisLabelCase {
    const char* name;
    double precipitationMax;
    std::vector<std::string> labels;
};

TEST(GraphGeometry, PrecipitationAxisLabels) {
    const AxisLabelCase cases[] = {
        {"all zero", 0, {"0", "0.0002", "0.0004", "0.0006", "0.0008", "0.001"}},
        {"maximum 250", 250, {"0", "50", "100", "150", "200", "250"}},
        {"maximum 101", 101, {"0", "50", "100", "150"}},
        {"maximum exactly 100", 100, {"0", "20", "40", "60", "80", "100"}},
    };
    for (const AxisLabelCase& c : cases) {
        SCOPED_TRACE(c.name);
        double p[12];
        for (int i = 0; i < 12; ++i)
            p[i] = c.precipitationMax * (i % 4) / 3.0; // the maximum in months 4, 8 and 12
        const GraphGeometry g =
            ComputeGraphGeometry(MakeGraphData(kAlpineTemperature, p), 180, 130, 180);
        EXPECT_EQ(Labels(g.rightTicks), c.labels);
        EXPECT_EQ(g.precipitationLabels, static_cast<int>(c.labels.size()));
    }
}

TEST(GraphGeometry, TemperatureAxisLabels) {
    const double cold[12] = {-12.3, -10, -4, 2, 8, 13, 18.7, 17, 11, 4, -3, -9};
    const double warm[12] = {20, 21, 23, 25, 27, 28, 28, 27.5, 26, 24, 22, 20.5};
    const double flat[12] = {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
    const GraphGeometry gc =
        ComputeGraphGeometry(MakeGraphData(cold, kAlpinePrecipitation), 180, 130, 180);
    EXPECT_EQ(Labels(gc.leftTicks), (std::vector<std::string>{"-20", "-10", "0", "10", "20"}));
    const GraphGeometry gw =
        ComputeGraphGeometry(MakeGraphData(warm, kAlpinePrecipitation), 180, 130, 180);
    EXPECT_EQ(Labels(gw.leftTicks), (std::vector<std::string>{"20", "22", "24", "26", "28"}));
    const GraphGeometry gf =
        ComputeGraphGeometry(MakeGraphData(flat, kAlpinePrecipitation), 180, 130, 180);
    EXPECT_EQ(Labels(gf.leftTicks),
              (std::vector<std::string>{"4.999", "4.9992", "4.9994", "4.9996", "4.9998", "5"}));
}

TEST(GraphGeometry, LabelsArePrintedLikePercentGInTheCLocale) {
    // Under a decimal-comma locale, where the system has one, the point stays.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR"})
        if (std::setlocale(LC_NUMERIC, name) != nullptr)
            break;
    EXPECT_EQ(FormatAxisLabel(0.0004), "0.0004");
    EXPECT_EQ(FormatAxisLabel(-12.5), "-12.5");
    EXPECT_EQ(FormatAxisLabel(150), "150");
    EXPECT_EQ(FormatAxisLabel(1234567), "1.23457e+06");
    EXPECT_EQ(FormatAxisLabel(0.00001), "1e-05");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(GraphGeometry, TicksSpanThePlotHeightOnBothAxes) {
    const GraphGeometry g = ComputeGraphGeometry(
        MakeGraphData(kAlpineTemperature, kAlpinePrecipitation), 180, 130, 180);
    const GraphLayout& l = g.layout;
    ASSERT_GE(g.rightTicks.size(), 2u);
    ASSERT_GE(g.leftTicks.size(), 2u);
    EXPECT_EQ(g.rightTicks.front().y, l.yBase);
    EXPECT_EQ(g.rightTicks.back().y, g.yTop);
    EXPECT_NEAR(g.yTop, l.yBase - l.plotHeight, 1);
    EXPECT_NEAR(g.leftTicks.front().y, l.yBase, 1);
    EXPECT_NEAR(g.leftTicks.back().y, g.yTop, 1);
    for (size_t i = 1; i < g.rightTicks.size(); ++i)
        EXPECT_LT(g.rightTicks[i].y, g.rightTicks[i - 1].y);
    // The frame: left axis, month axis, right axis.
    EXPECT_EQ(g.frame[0].x, l.xLeft);
    EXPECT_EQ(g.frame[0].y, g.yTop);
    EXPECT_EQ(g.frame[2].x, l.xRight);
    EXPECT_EQ(g.frame[2].y, l.yBase);
    EXPECT_EQ(g.yMiddle, g.yTop + (l.yBase - g.yTop) / 2);
    EXPECT_EQ(g.precipitationTitle.x, l.xRight + l.labelOffset);
    EXPECT_EQ(g.temperatureTitle.x, static_cast<int>(l.xLeft - 1.1 * l.labelOffset));
}

TEST(GraphGeometry, AxisTitlesStandClearOfTheWidestLabel) {
    // Labels 7 pixels a character, titles reaching 3 pixels towards their axis. At a
    // height of 130 the layout puts the titles 26 (right) and 28.6 (left) pixels out.
    GraphTextSize text;
    text.labelWidth = [](const std::string& label) { return 7 * int(label.size()); };
    text.titleDescent = 3;
    const double wet[12] = {120, 180, 250, 210, 90, 60, 40, 55, 75, 88, 92, 85};
    const double dry[12] = {10, 20, 40, 30, 10, 5, 0, 5, 10, 20, 30, 35};
    const double warm[12] = {20, 21, 23, 25, 27, 28, 28, 27.5, 26, 24, 22, 20.5};
    const struct {
        const char* name;
        const double* temperature;
        const double* precipitation;
        int height;
        int rightOffset; // title baseline from the right axis
        int leftOffset;  // from the left axis, rounded as the layout rounds it
    } cases[] = {
        // "250" and "-20" are 21 wide: 6 + 21 + 2 + 3 = 32 from the axis.
        {"three-digit precipitation, negative temperatures", kAlpineTemperature, wet, 130, 32,
         32},
        // "40" and "28" are 14 wide: 6 + 14 + 2 + 3 = 25, inside the layout's offsets.
        {"two-digit labels", warm, dry, 130, 26, 29},
        // A taller graph puts its titles far enough out by itself (offset 0.2 H = 60).
        {"tall graph", kAlpineTemperature, wet, 300, 60, 66},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double t[12], p[12];
        std::copy(c.temperature, c.temperature + 12, t);
        std::copy(c.precipitation, c.precipitation + 12, p);
        const GraphGeometry g = ComputeGraphGeometry(MakeGraphData(t, p), 180, c.height, 180, text);
        const GraphLayout& l = g.layout;
        EXPECT_EQ(g.precipitationTitle.x - l.xRight, c.rightOffset);
        EXPECT_EQ(l.xLeft - g.temperatureTitle.x, c.leftOffset);
        // No label reaches into the gap before its title.
        for (const GraphTick& tick : g.rightTicks)
            EXPECT_LE(l.xRight + 6 + text.labelWidth(tick.label) + kTitleGap,
                      g.precipitationTitle.x - text.titleDescent)
                << tick.label;
        for (const GraphTick& tick : g.leftTicks)
            EXPECT_GE(l.xLeft - 6 - text.labelWidth(tick.label) - kTitleGap,
                      g.temperatureTitle.x + text.titleDescent)
                << tick.label;
    }
}

// ---------------------------------------------------------------------------------------
// Bars, month slots and the temperature line

void CheckBarsAndLine(const GraphGeometry& g, const ClimateGraphData& d) {
    const GraphLayout& l = g.layout;
    const double aP = g.precipitationAxis.maximum;
    const double t0 = g.temperatureAxis.minimum;
    const double t1 = g.temperatureAxis.maximum;
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(testing::Message() << "month " << i);
        const GraphRect& bar = g.bars[i];
        // Each bar fills its slot between two month ticks, with a pixel gap on either side
        // of the tick.
        EXPECT_EQ(bar.left, g.monthTicks[i] + 1);
        EXPECT_EQ(bar.right, g.monthTicks[i + 1]);
        EXPECT_EQ(bar.right - bar.left, l.barWidth);
        EXPECT_EQ(bar.bottom, l.yBase);
        const double expected = d.m_precipitation[i] / aP * l.plotHeight;
        EXPECT_NEAR(bar.bottom - bar.top, expected, 1.0);

        // The line's point sits at the centre of the month's slot.
        const double centre = (g.monthTicks[i] + g.monthTicks[i + 1]) / 2.0;
        EXPECT_NEAR(g.line[i].x, centre, 1.0);
        const double height = (d.m_temperature[i] - t0) / (t1 - t0) * l.plotHeight;
        EXPECT_NEAR(l.yBase - g.line[i].y, height, 1.0);

        // The month letter sits under the slot.
        EXPECT_GT(g.monthLetters[i].x, g.monthTicks[i]);
        EXPECT_LT(g.monthLetters[i].x, g.monthTicks[i + 1]);
        EXPECT_EQ(g.monthLetters[i].y, l.yBase + 6);
    }
}

TEST(GraphGeometry, BarsAndLineFollowTheValuesAtFirstWidthAndAfterWidening) {
    const ClimateGraphData d = MakeGraphData(kAlpineTemperature, kAlpinePrecipitation);
    for (int w : {180, 200, 260, 400}) {
        SCOPED_TRACE(w);
        const GraphGeometry g = ComputeGraphGeometry(d, w, 130, 180);
        ASSERT_TRUE(g.hasData);
        EXPECT_EQ(g.monthTicks[0], g.layout.xLeft + 1);
        EXPECT_EQ(g.monthTitle.x, (g.layout.xLeft + g.layout.xRight) / 2);
        CheckBarsAndLine(g, d);
    }
}

TEST(GraphGeometry, FlatSeriesDrawZeroBarsAndATopLine) {
    const double flat[12] = {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
    const double dry[12] = {};
    const ClimateGraphData d = MakeGraphData(flat, dry);
    const GraphGeometry g = ComputeGraphGeometry(d, 180, 130, 180);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(g.bars[i].top, g.bars[i].bottom) << i;
        EXPECT_NEAR(g.line[i].y, g.yTop, 1) << i;
    }
    CheckBarsAndLine(g, d);
}

TEST(GraphGeometry, WithoutDataOnlyTheClearIsLaidOut) {
    ClimateGraphData d = MakeGraphData(kAlpineTemperature, kAlpinePrecipitation);
    d.m_hasData = 0;
    const GraphGeometry g = ComputeGraphGeometry(d, 180, 130, 180);
    EXPECT_FALSE(g.hasData);
    EXPECT_TRUE(g.rightTicks.empty());
    EXPECT_TRUE(g.leftTicks.empty());
    EXPECT_EQ(g.clear.left, 2);
    EXPECT_EQ(g.clear.top, 2);
    EXPECT_EQ(g.clear.right, 180);
    EXPECT_EQ(g.clear.bottom, 130);
}

} // namespace
} // namespace skyfetch
