#include "graph/ChartFile.h"

#include "putil/FileSystem.h"

#include <algorithm>
#include <cctype>
#include <cmath>

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

int ClipboardPictureScale(double devicePixelRatio) {
    if (!(devicePixelRatio <= 8.0)) // no ratio, or none a screen has
        return 2;
    return std::max(2, static_cast<int>(std::ceil(devicePixelRatio)));
}

int PictureDotsPerMeter(int scale) {
    return static_cast<int>(std::lround(scale * 96.0 / 0.0254));
}

} // namespace skyfetch
