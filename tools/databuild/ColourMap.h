#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace skyfetch::databuild {

// An 8-bit RGB image, row 0 at the top, three bytes per pixel without row padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// Decodes a JPEG file (any colour space libjpeg can turn into RGB).
std::optional<RgbImage> read_jpeg(const std::string& path, std::string& error);

// Area average of an equirectangular image of the whole Earth (top row at the north pole,
// left edge at -180 longitude) onto a width x height grid:
// every output pixel is the mean of the image pixels it covers, each weighted by the exact
// fraction of its area inside, rounded to the nearest integer. The result is stored
// blue-green-red, row 0 southernmost, column 0 at -180, rows of width pixels.
std::vector<std::uint8_t> average_to_bgr_map(const RgbImage& image, int width, int height);

} // namespace skyfetch::databuild
