#include "graph/ClipboardFormats.h"

namespace skyfetch {

void AddPlatformClipboardFormats(QMimeData&, const ClimateGraphData&, const GraphFonts&, int, int,
                                 int, const QImage&) {}

} // namespace skyfetch
