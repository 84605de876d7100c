#include "SoilTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace skyfetch::databuild {

int texture_class(double sand, double clay) {
    if (clay > 0.35)
        return kFine;
    if (clay < 0.18 && sand > 0.65)
        return kCoarse;
    return kMedium;
}

int texture_set_code(unsigned class_bits) {
    // Index: bit 0 coarse, bit 1 medium, bit 2 fine.
    static constexpr int kCodes[8] = {0, 1, 2, 4, 3, 5, 6, 7};
    return kCodes[class_bits & 7u];
}

bool is_histosol(int soil_unit) {
    return soil_unit >= 61 && soil_unit <= 63;
}

TextureCodeMap::TextureCodeMap() : codes_(static_cast<std::size_t>(kColumns) * kRows, 0) {}

TextureCodeMap::TextureCodeMap(const TextureGrid& grid) : TextureCodeMap() {
    // Each half-degree cell holds the grid cells whose centres lie inside it; for the
    // 0.25-degree grid these are the four at a quarter and three quarters of its width.
    const int per_side = std::max(1, static_cast<int>(std::lround(0.5 / grid.step)));
    for (int lat = 0; lat < kRows; ++lat) {
        for (int lon = 0; lon < kColumns; ++lon) {
            unsigned bits = 0;
            for (int j = 0; j < per_side; ++j) {
                const double y = -90.0 + 0.5 * lat + (j + 0.5) * 0.5 / per_side;
                const long row = std::lround((y - grid.lat0) / grid.step);
                if (row < 0 || row >= grid.rows)
                    continue;
                for (int i = 0; i < per_side; ++i) {
                    const double x = -180.0 + 0.5 * lon + (i + 0.5) * 0.5 / per_side;
                    const long column = std::lround((x - grid.lon0) / grid.step);
                    if (column < 0 || column >= grid.columns)
                        continue;
                    if (!grid.has(static_cast<int>(column), static_cast<int>(row)))
                        continue;
                    const std::size_t k = static_cast<std::size_t>(row) * grid.columns + column;
                    bits |= 1u << (texture_class(grid.sand[k], grid.clay[k]) - 1);
                }
            }
            set_code(lon, lat, texture_set_code(bits));
        }
    }
}

int TextureCodeMap::nearest_code(int lon_index, int lat_index) const {
    // Haversine: a = sin^2(dlat/2) + cos(lat1) cos(lat2) sin^2(dlon/2) grows with the
    // distance, so comparing a is enough. Both factors come from tables indexed by whole
    // half-degree steps, which makes mirror-image cells (same latitude, same longitude
    // difference east and west) exactly equally near, so the tie rule decides between them.
    static const auto tables = [] {
        struct Tables {
            double half_dlat[kRows]; // sin^2(dlat/2) for |dlat| = k half degrees
            double half_dlon[kColumns / 2 + 1];
            double cos_lat[kRows]; // cosine of the centre latitude of row k
        } t{};
        const double rad = std::numbers::pi / 180.0;
        for (int k = 0; k < kRows; ++k) {
            const double s = std::sin(0.25 * k * rad);
            t.half_dlat[k] = s * s;
            t.cos_lat[k] = std::cos((-89.75 + 0.5 * k) * rad);
        }
        for (int k = 0; k <= kColumns / 2; ++k) {
            const double s = std::sin(0.25 * k * rad);
            t.half_dlon[k] = s * s;
        }
        return t;
    }();

    int best = 0;
    double best_a = 2.0; // larger than any haversine value
    // Ascending key order: longitude index outer, latitude inner; only a strictly nearer
    // cell replaces the best, so ties keep the lower key.
    for (int lon = 0; lon < kColumns; ++lon) {
        int dlon = std::abs(lon - lon_index);
        if (dlon > kColumns / 2)
            dlon = kColumns - dlon;
        const double w = tables.cos_lat[lat_index] * tables.half_dlon[dlon];
        for (int lat = 0; lat < kRows; ++lat) {
            const int c = code(lon, lat);
            if (c == 0)
                continue;
            const double a = tables.half_dlat[std::abs(lat - lat_index)] + w * tables.cos_lat[lat];
            if (a < best_a) {
                best_a = a;
                best = c;
            }
        }
    }
    return best;
}

} // namespace skyfetch::databuild
