#include "graph/ChartFile.h"

#include <gtest/gtest.h>

namespace skyfetch {
namespace {

TEST(ChartFile, TheExtensionChoosesTheFormatAndSvgIsAddedOtherwise) {
    const struct {
        const char* path;
        ChartFormat format;
        const char* saved;
    } cases[] = {
        {"/home/me/chart.svg", ChartFormat::Svg, "/home/me/chart.svg"},
        {"chart.PNG", ChartFormat::Png, "chart.PNG"},
        {"a.b/chart.pdf", ChartFormat::Pdf, "a.b/chart.pdf"},
        {"chart", ChartFormat::None, "chart.svg"},
        {"chart.txt", ChartFormat::None, "chart.txt.svg"},
        {"charts.png/plot", ChartFormat::None, "charts.png/plot.svg"}, // a folder's dot
        {"chart.svg.bak", ChartFormat::None, "chart.svg.bak.svg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ChartFormatOf(c.path), c.format);
        EXPECT_EQ(ChartFileName(c.path), c.saved);
    }
}

} // namespace
} // namespace skyfetch
