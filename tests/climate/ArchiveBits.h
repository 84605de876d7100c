#pragma once

// Test-side packing and unpacking of archive records, written independently of the
// reader: values are put into and taken from the big-endian bit string front to back,
// the way the layout is described, not from the end as the reader does.

#include "climate/CellRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace skyfetch::test {

inline constexpr std::size_t kRecordBytes = 556;
inline constexpr std::size_t kEntryBytes = 7;
inline constexpr std::size_t kHeaderBytes = 764;

// Raw (stored) values of one record.
struct RawRecord {
    unsigned soilcode = 0;
    std::array<unsigned, kMonthsPerRecord> mtemp{};
    std::array<unsigned, kMonthsPerRecord> mprec{};
    std::array<unsigned, kMonthsPerRecord> msun{};
    std::array<unsigned, kMonthsPerRecord> mwet{};
};

class ForwardBitWriter {
public:
    explicit ForwardBitWriter(unsigned char* out) : m_out(out) {}
    void put(unsigned value, int bits) {
        for (int b = bits - 1; b >= 0; --b, ++m_pos)
            if ((value >> b) & 1u)
                m_out[m_pos / 8] |= static_cast<unsigned char>(0x80u >> (m_pos % 8));
    }
    std::size_t position() const { return m_pos; }

private:
    unsigned char* m_out;
    std::size_t m_pos = 0;
};

class ForwardBitReader {
public:
    explicit ForwardBitReader(const unsigned char* in) : m_in(in) {}
    unsigned get(int bits) {
        unsigned v = 0;
        for (int b = 0; b < bits; ++b, ++m_pos)
            v = (v << 1) | ((m_in[m_pos / 8] >> (7 - m_pos % 8)) & 1u);
        return v;
    }

private:
    const unsigned char* m_in;
    std::size_t m_pos = 0;
};

// Four zero bits, the soil code in 4 bits, then 120 values each of mtemp (10 bits),
// mprec (14), msun (7) and mwet (6), most significant first.
inline void pack_record(const RawRecord& r, unsigned char* out) {
    for (std::size_t i = 0; i < kRecordBytes; ++i)
        out[i] = 0;
    ForwardBitWriter w(out);
    w.put(0, 4);
    w.put(r.soilcode, 4);
    for (unsigned v : r.mtemp)
        w.put(v, 10);
    for (unsigned v : r.mprec)
        w.put(v, 14);
    for (unsigned v : r.msun)
        w.put(v, 7);
    for (unsigned v : r.mwet)
        w.put(v, 6);
}

inline RawRecord unpack_record(const unsigned char* in, unsigned* padding = nullptr) {
    RawRecord r;
    ForwardBitReader rd(in);
    const unsigned pad = rd.get(4);
    if (padding)
        *padding = pad;
    r.soilcode = rd.get(4);
    for (unsigned& v : r.mtemp)
        v = rd.get(10);
    for (unsigned& v : r.mprec)
        v = rd.get(14);
    for (unsigned& v : r.msun)
        v = rd.get(7);
    for (unsigned& v : r.mwet)
        v = rd.get(6);
    return r;
}

// Decoded degrees Celsius of a raw temperature, on the 0.1-degree grid from -50.
inline double temperature_of(unsigned raw) {
    return (static_cast<int>(raw) - 500) / 10.0;
}

inline std::uint32_t read_be(const unsigned char* p, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}

} // namespace skyfetch::test
