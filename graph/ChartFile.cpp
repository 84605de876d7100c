#include "graph/ChartFile.h"

#include "putil/FileSystem.h"

#include <algorithm>
#include <cctype>

namespace skyfetch {

ChartFormat ChartFormatOf(const std::string& path) {
    const std::size_t slash = last_separator(path);
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return ChartFormat::None;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension == "svg")
        return ChartFormat::Svg;
    if (extension == "png")
        return ChartFormat::Png;
    if (extension == "pdf")
        return ChartFormat::Pdf;
    return ChartFormat::None;
}

std::string ChartFileName(const std::string& path) {
    return ChartFormatOf(path) == ChartFormat::None ? path + ".svg" : path;
}

} // namespace skyfetch
