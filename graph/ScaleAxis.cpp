#include "graph/ScaleAxis.h"

#include <cmath>

namespace skyfetch {

AxisScale ScaleAxis(double minValue, double maxValue, bool fixedUnitSteps, double preferredStep) {
    double range = maxValue - minValue;
    if (range == 0) {
        // A flat series still gets a drawable axis: widen it away from zero.
        range = 0.001;
        if (maxValue == 0)
            maxValue = minValue + 0.001;
        else
            minValue = maxValue - 0.001;
    }

    AxisScale axis;
    if (fixedUnitSteps) {
        axis.major = 1;
        axis.minor = range >= 5 ? 0 : 1;
    } else {
        const double power = std::pow(10.0, std::floor(std::log10(range)));
        const double mantissa = range / power;
        double step;
        if (preferredStep >= 10) {
            step = 0.2;
            if (mantissa / step > 5)
                step = 0.5;
            if (mantissa / step > 5)
                step = 1;
            if (mantissa / step > 5)
                step = 2;
        } else {
            step = preferredStep;
            if (mantissa / step < 5)
                step = preferredStep / 10;
        }
        double fraction;
        if (step == 0.3 || step == 0.5)
            fraction = 0.1;
        else if (step == 3 || step == 5)
            fraction = 1;
        else if (step == 1)
            fraction = 0.2;
        else
            fraction = step / 2;
        axis.major = step * power;
        axis.minor = fraction * power;
    }

    // The small offsets keep values that sit on a step (up to rounding noise) on it.
    axis.maximum = std::floor(maxValue / axis.major + 0.999999) * axis.major;
    axis.minimum = std::floor(minValue / axis.major + 0.000001) * axis.major;
    axis.scale = 1 / (axis.maximum - axis.minimum);
    return axis;
}

} // namespace skyfetch
