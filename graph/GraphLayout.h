#pragma once

namespace skyfetch {

// Where the plot sits in a drawing area of width W and height H (pixels, y downwards).
// W0 is the graph's width at its first paint: when the window is widened the plot moves
// right and the axis titles move outwards with the extra width instead of the plot
// simply stretching.
struct GraphLayout {
    int labelOffset = 0; // distance of the axis titles from the axes
    int xLeft = 0;       // x of the temperature axis
    int barWidth = 0;    // width of one month's bar (slots are barWidth + 1 apart)
    int xRight = 0;      // x of the precipitation axis
    int shift = 0;       // how far both axes were moved left to balance the plot
    int yBase = 0;       // y of the month axis (the plot's bottom)
    int plotHeight = 0;  // height shared by both value axes
};

GraphLayout LayoutGraph(int width, int height, int initialWidth);

} // namespace skyfetch
