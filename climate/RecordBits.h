#pragma once

#include <cstddef>
#include <cstdint>

namespace skyfetch {

// How a data record packs one cell: a big-endian bit string holding, from its most
// significant end, the soil code and then 120 months (ten years, January first) each of
// temperature, precipitation, sunshine and rain days, zero-padded at the front to the
// record's size. Read from the least significant end, the last rain-day month comes
// out first.

// Width of a packed field and how its unsigned value becomes the quantity.
struct FieldCode {
    int bits;
    double scale;
    double offset;

    double decode(std::uint32_t raw) const { return static_cast<double>(raw) * scale + offset; }
};
inline constexpr FieldCode kSoilcodeField{4, 1.0, 0.0};
inline constexpr FieldCode kTemperatureField{10, 0.1, -50.0}; // degrees Celsius
inline constexpr FieldCode kPrecipitationField{14, 1.0, 0.0}; // mm per month
inline constexpr FieldCode kSunshineField{7, 1.0, 0.0};       // percent of clear sky
inline constexpr FieldCode kRainDaysField{6, 1.0, 0.0};       // days per month

// Reads a big-endian bit string from its least significant end without moving the
// bytes. Each value (at most 32 bits) is cut out of the five bytes that end with the
// byte holding its lowest bit; bits in front of the buffer read as zero.
class TailBitReader {
public:
    TailBitReader(const unsigned char* begin, std::size_t length)
        : m_begin(begin), m_length(length) {}

    std::uint32_t take(int bits) {
        const std::size_t skipped = m_position / 8;
        const unsigned shift = m_position % 8;
        m_position += static_cast<std::size_t>(bits);
        if (skipped >= m_length)
            return 0;
        const std::size_t last = m_length - 1 - skipped;
        std::uint64_t word = 0;
        if (last >= 4) {
            const unsigned char* p = m_begin + last - 4;
            word = (std::uint64_t{p[0]} << 32) | (std::uint64_t{p[1]} << 24) |
                   (std::uint64_t{p[2]} << 16) | (std::uint64_t{p[3]} << 8) | std::uint64_t{p[4]};
        } else {
            for (std::size_t k = 0; k <= last; ++k)
                word |= std::uint64_t{m_begin[last - k]} << (8 * k);
        }
        return static_cast<std::uint32_t>((word >> shift) & ((std::uint64_t{1} << bits) - 1));
    }

    // The next value of a field, decoded.
    double take(const FieldCode& code) { return code.decode(take(code.bits)); }

private:
    const unsigned char* m_begin;
    std::size_t m_length;
    std::size_t m_position = 0; // bits already taken from the end
};

} // namespace skyfetch
