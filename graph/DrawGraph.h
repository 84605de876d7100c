#pragma once

#include "graph/ClimateGraphData.h"
#include "graph/GraphFonts.h"

#include <QString>

class QPainter;

namespace skyfetch {

// Draws the climatology graph of `data` into the area (0, 0)-(width, height) of the
// painter's current coordinates: first the area from (2, 2) is cleared with white; with
// data there follow the axes with their ticks and labels, the rotated axis titles, the
// month letters and "Month", the blue precipitation bars and the red temperature line.
// initialWidth is the graph's width at its first paint (see GraphLayout). The painter
// may belong to a widget, an SVG generator or an image; its state is restored
// afterwards. A null painter draws nothing.
void DrawGraph(QPainter* painter, const ClimateGraphData& data, const GraphFonts& fonts, int width,
               int height, int initialWidth);

// Clears the area as DrawGraph does and writes `notice` (such as "Not land!") centred on
// it in the horizontal font, in place of the graph.
void DrawGraphNotice(QPainter* painter, const QString& notice, const GraphFonts& fonts, int width,
                     int height);

} // namespace skyfetch
