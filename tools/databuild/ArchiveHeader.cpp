#include "ArchiveHeader.h"

#include <cstring>
#include <stdexcept>
#include <string_view>

namespace skyfetch::databuild {
namespace {

class HeaderWriter {
public:
    explicit HeaderWriter(std::array<std::uint8_t, kArchiveHeaderSize>& out) : out_(out) {}

    void u8(unsigned v) { put(v, 1); }
    void u16(unsigned v) { put(v, 2); }
    void u32(unsigned v) { put(v, 4); }

    // Length byte (counting the NUL), then the name and its NUL.
    void name(std::string_view s) {
        u8(static_cast<unsigned>(s.size() + 1));
        bytes(s);
        u8(0);
    }

    // 32 bytes: the text, its NUL, then filler that depends only on the offset.
    void text(std::string_view s) {
        const std::size_t start = pos_;
        bytes(s);
        u8(0);
        while (pos_ < start + 32) {
            out_.at(pos_) = static_cast<std::uint8_t>(1 + (pos_ * 151 + 89) % 255);
            ++pos_;
        }
    }

    void dimension(std::string_view n, std::string_view min, std::string_view max,
                   std::string_view step, unsigned bits) {
        name(n);
        text(min);
        text(max);
        text(step);
        u8(bits);
    }

    void field(std::string_view n, std::string_view min, std::string_view max,
               std::string_view step, unsigned bits, unsigned count) {
        dimension(n, min, max, step, bits);
        u32(count);
    }

    std::size_t position() const { return pos_; }

private:
    void put(unsigned v, int nbytes) {
        for (int i = nbytes - 1; i >= 0; --i)
            out_.at(pos_++) = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
    }
    void bytes(std::string_view s) {
        for (char c : s)
            out_.at(pos_++) = static_cast<std::uint8_t>(c);
    }

    std::array<std::uint8_t, kArchiveHeaderSize>& out_;
    std::size_t pos_ = 0;
};

} // namespace

std::array<std::uint8_t, kArchiveHeaderSize> make_archive_header() {
    std::array<std::uint8_t, kArchiveHeaderSize> h{};
    HeaderWriter w(h);
    w.u8(1);                        // format number
    w.u16(kArchiveHeaderSize);      // header length
    w.u32(7);                       // index entry length
    w.u16(2);                       // index dimensions
    w.dimension("lon", "-180", "180", "0.5", 10);
    w.dimension("lat", "-90", "90", "0.5", 9);
    w.u32(556);                     // data record length
    w.u16(5);                       // data fields
    w.field("soilcode", "0", "12", "1", 4, 1);
    w.field("mtemp", "-50", "50", "0.1", 10, 120);
    w.field("mprec", "0", "9999", "1", 14, 120);
    w.field("msun", "0", "100", "1", 7, 120);
    w.field("mwet", "0", "31", "1", 6, 120);
    if (w.position() != kComparedHeaderSize)
        throw std::logic_error("archive header layout does not end at byte 760");
    w.u32(0);                       // trailing word, not compared
    return h;
}

} // namespace skyfetch::databuild
