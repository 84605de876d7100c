#include "globe/GlobeData.h"

#include <algorithm>
#include <cstring>

namespace skyfetch {

CGlobeData::CGlobeData(ResourceId id)
    : m_resourceId(id), m_block(find_resource(id)), m_textureBuffer(kTextureBytes),
      m_landMask(kMaskBytes) {}

ByteBlock CGlobeData::Block() {
    // The one instance may be built before the program has registered its blocks.
    if (m_block.empty())
        m_block = find_resource(m_resourceId);
    return m_block;
}

std::size_t CGlobeData::ReadBytes(unsigned char* buffer, std::size_t n) {
    const ByteBlock block = Block();
    const std::size_t available =
        block.empty() || m_readPosition >= block.size ? 0 : block.size - m_readPosition;
    const std::size_t copied = std::min(n, available);
    if (copied)
        std::memcpy(buffer, block.data + m_readPosition, copied);
    std::memset(buffer + copied, 0, n - copied);
    m_readPosition += copied;
    return copied;
}

bool CGlobeData::Prepare() {
    if (m_prepared.load())
        return true;
    if (m_background.valid())
        return m_background.get();
    return PrepareNow();
}

void CGlobeData::PrepareInBackground() {
    if (m_prepared.load() || m_background.valid())
        return;
    // The block is located here, so that the thread never changes what IsLandCell reads.
    Block();
    m_background = std::async(std::launch::async, [this] { return PrepareNow(); });
}

bool CGlobeData::PrepareNow() {
    if (Block().size < kBlockBytes)
        return false;
    ReadBytes(m_textureBuffer.data(), kTextureBytes);
    ReadBytes(m_landMask.data(), kMaskBytes);
    Resample();
    m_prepared.store(true);
    return true;
}

void CGlobeData::Resample() {
    constexpr double sx = static_cast<double>(kColumns) / kTextureSize;
    constexpr double sy = static_cast<double>(kRows) / kTextureSize;
    constexpr std::size_t kDestRowBytes = kTextureSize * 3;

    // The weights depend on the column alone or the row alone.
    struct Share {
        int first;
        int next;
        double w0;
        double w1;
    };
    auto share = [](int index, double scale, int count) {
        const double v = index * scale;
        const int first = static_cast<int>(v);
        double w0 = (1 - (v - first)) / scale;
        if (w0 > 1)
            w0 = 1;
        // At the last column or row the neighbour wraps to 0; its weight is 0 there.
        return Share{first, first == count - 1 ? 0 : first + 1, w0, 1 - w0};
    };
    std::vector<Share> columns(kTextureSize);
    std::vector<Share> rows(kTextureSize);
    for (int i = 0; i < kTextureSize; ++i) {
        columns[i] = share(i, sx, kColumns);
        rows[i] = share(i, sy, kRows);
    }

    // Reading from a copy keeps the enlargement independent of the order of writing.
    const std::vector<unsigned char> source(m_textureBuffer.begin() + kMapOffset,
                                            m_textureBuffer.begin() + kTextureBytes);
    for (int a = 0; a < kTextureSize; ++a) {
        const Share& r = rows[a];
        const unsigned char* row0 = source.data() + r.first * kMapRowBytes;
        const unsigned char* row1 = source.data() + r.next * kMapRowBytes;
        unsigned char* out = m_textureBuffer.data() + a * kDestRowBytes;
        for (int c = 0; c < kTextureSize; ++c) {
            const Share& x = columns[c];
            const std::size_t l0 = x.first * 3u;
            const std::size_t l1 = x.next * 3u;
            for (int k = 0; k < 3; ++k) {
                const double value = row0[l0 + k] * x.w0 * r.w0 + row0[l1 + k] * x.w1 * r.w0 +
                                     row1[l1 + k] * x.w1 * r.w1 + row1[l0 + k] * x.w0 * r.w1;
                *out++ = static_cast<unsigned char>(std::min(value, 255.0));
            }
        }
    }
}

bool CGlobeData::IsLandCell(int column, int row) const {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return false;
    const std::size_t at = static_cast<std::size_t>(column) * kRows + row;
    if (m_prepared.load())
        return m_landMask[at] != 0;
    // The land test is also asked before the globe has drawn (or when it cannot draw).
    const ByteBlock block = m_block.empty() ? find_resource(m_resourceId) : m_block;
    return block.size >= kBlockBytes && block.data[kTextureBytes + at] != 0;
}

} // namespace skyfetch
