#pragma once

#include <string>

namespace skyfetch {

// The picture formats "Save chart as..." writes, chosen by the file's extension.
enum class ChartFormat { None, Svg, Png, Pdf };

// The format the name's extension asks for (".svg", ".png" or ".pdf", in any case), or
// None.
ChartFormat ChartFormatOf(const std::string& path);

// The name a chart is saved under: path itself when its extension names a format, else
// path with ".svg" added (the vector form, which loses nothing).
std::string ChartFileName(const std::string& path);

} // namespace skyfetch
