#include "graph/GraphFonts.h"

#include <QFontMetrics>

#include <algorithm>

namespace skyfetch {

GraphFonts MakeGraphFonts(int clientHeight) {
    const int cell = std::max(clientHeight / 10, 1);
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    // The requested height is the character cell (ascent + descent), not the em size:
    // take the largest pixel size whose cell still fits.
    int pixels = cell;
    font.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(font).height() > cell) {
        --pixels;
        font.setPixelSize(pixels);
    }
    GraphFonts fonts;
    fonts.horizontal = {font, 0};
    fonts.upward = {font, 900};
    fonts.downward = {font, 2700};
    return fonts;
}

} // namespace skyfetch
