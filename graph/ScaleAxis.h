#pragma once

namespace skyfetch {

// The rounded range of one graph axis.
struct AxisScale {
    double minimum = 0; // axis minimum, a multiple of the major step
    double maximum = 0; // axis maximum, a multiple of the major step
    double scale = 0;   // 1 / (maximum - minimum)
    double major = 0;   // step between labelled ticks
    double minor = 0;   // step between unlabelled ticks (not drawn by the graph)
};

// Rounds the data range [minValue, maxValue] out to whole major steps.
// With fixedUnitSteps the major step is 1. Otherwise a preferredStep of 10 or more picks
// the step mantissa 0.2, 0.5, 1 or 2 so that the range spans at most five major steps;
// a smaller preferredStep is used as the mantissa (or a tenth of it when the range would
// get fewer than five steps). An empty range is widened to 0.001 so the axis never
// collapses. The graph calls it with fixedUnitSteps false and preferredStep 100.
AxisScale ScaleAxis(double minValue, double maxValue, bool fixedUnitSteps, double preferredStep);

} // namespace skyfetch
