#pragma once

#include "graph/ClimateGraphData.h"
#include "graph/GraphFonts.h"

#include <QString>

class QImage;
class QMimeData;

namespace skyfetch {

// The clipboard type of the chart as a Windows enhanced metafile (the bytes of an .emf
// file). On Windows the clipboard offers it to other programs as CF_ENHMETAFILE, the
// vector picture word processors and spreadsheets paste.
inline const QString kMetafileMimeType = QStringLiteral("image/x-emf");

// Adds to a copy's clipboard data what the platform's programs look for beyond the SVG
// and the image Qt already offers. Windows: the chart as an enhanced metafile recorded
// with GDI from the geometry DrawGraph paints (the fonts of `fonts` at the same size,
// turned by their escapement), under kMetafileMimeType, which the clipboard hands out as
// CF_ENHMETAFILE; and `image` as PNG ("image/png"), handed out in the clipboard format
// "PNG" (Qt offers opaque images as bitmaps only there). Linux: nothing; Qt offers the
// image as image/png itself.
void AddPlatformClipboardFormats(QMimeData& data, const ClimateGraphData& graph,
                                 const GraphFonts& fonts, int width, int height, int initialWidth,
                                 const QImage& image);

} // namespace skyfetch
