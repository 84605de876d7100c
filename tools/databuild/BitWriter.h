#pragma once

#include <cstdint>
#include <vector>

namespace skyfetch::databuild {

// Appends values to a big-endian bit string: each value most significant bit first,
// the first bit written is the top bit of the first byte.
class BitWriter {
public:
    // Appends the low `bits` bits of `value` (1..32). Throws std::out_of_range when the
    // value does not fit, so a value outside its field can never spill into the next one.
    void put(std::uint32_t value, int bits);

    std::size_t bit_count() const { return bytes_.size() * 8 + pending_bits_; }

    // The bit string as bytes; a partly filled last byte is padded with zero bits.
    std::vector<std::uint8_t> bytes() const;

private:
    std::vector<std::uint8_t> bytes_; // whole bytes
    std::uint64_t pending_ = 0;       // the last pending_bits_ (< 8) bits written
    int pending_bits_ = 0;
};

} // namespace skyfetch::databuild
