#include "climate/ClimateArchive.h"

#include "climate/RecordBits.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace skyfetch {
namespace {

// The header of the archive this program was built with (bytes 0 to 759), written by
// the data builder alongside the archive itself.
const unsigned char kExpectedHeader[kArchiveComparedHeaderSize] = {
#include "climate/ExpectedHeader.inc"
};

constexpr std::size_t kArchiveCellSize = kArchiveRecordSize + kArchiveIndexEntrySize;

} // namespace

ClimateArchive::~ClimateArchive() {
    release();
}

void ClimateArchive::release() {
    // The bytes are linked into the program (or owned by a test); letting go of them
    // only means forgetting where they are.
    m_handle = nullptr;
    m_base = nullptr;
    m_cursor = nullptr;
    m_size = 0;
    m_recordCount = 0;
}

void ClimateArchive::close() {
    release();
}

bool ClimateArchive::open() {
    if (m_handle)
        release();

    const ByteBlock block = find_resource(ResourceId::ClimateArchive);
    if (block.empty())
        return false;

    // Only a header followed by a whole, non-zero number of cells (record plus index
    // entry each) can be searched without running past the end of the block.
    if (block.size < kArchiveHeaderSize + kArchiveCellSize ||
        (block.size - kArchiveHeaderSize) % kArchiveCellSize != 0 ||
        (block.size - kArchiveHeaderSize) / kArchiveCellSize > INT32_MAX) {
        std::fputs("Format incompatible with this version of climglobal.h\n", stdout);
        return false;
    }

    m_handle = block.data;
    m_base = block.data;
    m_cursor = block.data;
    m_size = block.size;
    m_recordCount =
        static_cast<std::uint32_t>((block.size - kArchiveHeaderSize) / kArchiveCellSize);

    std::unique_ptr<unsigned char[]> header(new (std::nothrow) unsigned char[kArchiveHeaderSize]);
    if (!header) {
        std::fputs("Out of memory\n", stdout);
        release();
        return false;
    }

    reset_cursor();
    read_bytes(header.get(), kArchiveHeaderSize);
    if (std::memcmp(header.get(), kExpectedHeader, kArchiveComparedHeaderSize) != 0) {
        std::fputs("Format incompatible with this version of climglobal.h\n", stdout);
        release();
        return false;
    }

    reset_cursor();
    advance_cursor(
        static_cast<std::ptrdiff_t>(kArchiveHeaderSize + kArchiveRecordSize * m_recordCount));
    m_nextEntry = 0;
    return true;
}

void ClimateArchive::read_bytes(unsigned char* buffer, std::size_t n) {
    std::memcpy(buffer, m_cursor, n);
    m_cursor += n;
}

bool ClimateArchive::read_index_entry(std::int32_t i) {
    if (!m_handle || i < 0 || static_cast<std::uint32_t>(i) >= m_recordCount)
        return false;
    // The cursor stands before entry m_nextEntry.
    advance_cursor(static_cast<std::ptrdiff_t>(i - m_nextEntry) *
                   static_cast<std::ptrdiff_t>(kArchiveIndexEntrySize));
    read_bytes(m_indexEntry.data(), kArchiveIndexEntrySize);
    m_currentRecord = (std::uint32_t{m_indexEntry[3]} << 24) |
                      (std::uint32_t{m_indexEntry[4]} << 16) |
                      (std::uint32_t{m_indexEntry[5]} << 8) | std::uint32_t{m_indexEntry[6]};
    m_nextEntry = i + 1;
    return true;
}

bool ClimateArchive::read_current_record() {
    if (!m_handle || m_currentRecord >= m_recordCount)
        return false;
    reset_cursor();
    advance_cursor(
        static_cast<std::ptrdiff_t>(kArchiveHeaderSize + kArchiveRecordSize * m_currentRecord));
    read_bytes(m_record, kArchiveRecordSize);
    reset_cursor();
    advance_cursor(static_cast<std::ptrdiff_t>(kArchiveHeaderSize +
                                               kArchiveRecordSize * m_recordCount +
                                               kArchiveIndexEntrySize * m_nextEntry));
    return true;
}

GridIndex ClimateArchive::make_index(double value, double origin, double step) {
    const double q = (value - origin) / step + 0.5;
    std::uint32_t v = 0xFFFFFFFFu;
    // Converting a value outside the int range (or NaN) would be undefined.
    if (q > -2147483649.0 && q < 2147483648.0)
        v = static_cast<std::uint32_t>(static_cast<std::int32_t>(q));
    return {static_cast<unsigned char>(v >> 24), static_cast<unsigned char>(v >> 16),
            static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)};
}

void ClimateArchive::append_bits(ArchiveKey& key, const GridIndex& index, int bits) {
    std::uint32_t k = (std::uint32_t{key[0]} << 16) | (std::uint32_t{key[1]} << 8) | key[2];
    k = bits >= 24 ? 0 : k << bits;
    const int nbytes = (bits + 7) / 8;
    for (int b = 0; b < nbytes && b < 4; ++b)
        k |= std::uint32_t{index[3 - b]} << (8 * b);
    key = {static_cast<unsigned char>(k >> 16), static_cast<unsigned char>(k >> 8),
           static_cast<unsigned char>(k)};
}

double ClimateArchive::take_bits(unsigned char* buffer, std::size_t length, int bits, double scale,
                                 double offset) {
    const double result = FieldCode{bits, scale, offset}.decode(TailBitReader(buffer, length).take(bits));
    const std::size_t whole = static_cast<std::size_t>(bits) / 8;
    const int rest = bits % 8;

    // Shift right: first by whole bytes, then by the remaining bits.
    if (whole >= length) {
        std::memset(buffer, 0, length);
        return result;
    }
    if (whole > 0) {
        std::memmove(buffer + whole, buffer, length - whole);
        std::memset(buffer, 0, whole);
    }
    if (rest != 0) {
        for (std::size_t i = length; i-- > 0;) {
            const unsigned above = i > 0 ? buffer[i - 1] : 0u;
            buffer[i] = static_cast<unsigned char>((buffer[i] >> rest) | (above << (8 - rest)));
        }
    }
    return result;
}

} // namespace skyfetch
