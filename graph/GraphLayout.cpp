#include "graph/GraphLayout.h"

namespace skyfetch {

GraphLayout LayoutGraph(int width, int height, int initialWidth) {
    GraphLayout g;
    const int extra = width - initialWidth;
    g.labelOffset = static_cast<int>(0.2 * height + extra / 10);
    if (0.25 * height < g.labelOffset)
        g.labelOffset = static_cast<int>(0.25 * height);
    g.xLeft = extra / 3 + 52;
    g.barWidth = (width - 2 * g.xLeft - 3) / 12;
    g.xRight = g.xLeft + (g.barWidth + 1) * 12 + 2;
    // Moving by a quarter of the excess (not half) leaves more room for the left labels.
    g.shift = (g.xLeft + g.xRight - width) / 4;
    g.xLeft -= g.shift;
    g.xRight -= g.shift;
    g.yBase = height - 38;
    g.plotHeight = height - 53;
    return g;
}

} // namespace skyfetch
