#include "BitWriter.h"

#include <stdexcept>

namespace skyfetch::databuild {

void BitWriter::put(std::uint32_t value, int bits) {
    if (bits < 1 || bits > 32)
        throw std::out_of_range("bit width out of range");
    if (bits < 32 && (value >> bits) != 0)
        throw std::out_of_range("value does not fit its bit width");
    pending_ = (pending_ << bits) | value;
    pending_bits_ += bits;
    while (pending_bits_ >= 8) {
        pending_bits_ -= 8;
        bytes_.push_back(static_cast<std::uint8_t>(pending_ >> pending_bits_));
    }
    pending_ &= (std::uint64_t{1} << pending_bits_) - 1;
}

std::vector<std::uint8_t> BitWriter::bytes() const {
    std::vector<std::uint8_t> out = bytes_;
    if (pending_bits_ > 0)
        out.push_back(static_cast<std::uint8_t>(pending_ << (8 - pending_bits_)));
    return out;
}

} // namespace skyfetch::databuild
