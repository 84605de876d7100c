#pragma once

#include "resources/Resource.h"

#include <atomic>
#include <cstddef>
#include <future>
#include <vector>

namespace skyfetch {

// The globe's colour map and land mask, carried by the program as one block of bytes:
// zero padding, the 720 x 360 map (blue, green, red; southernmost row first) ending at
// the size of a 1024 x 1024 x 3 texture, then the mask, column by column.
class CGlobeData {
public:
    static constexpr int kTextureSize = 1024;
    static constexpr std::size_t kTextureBytes = 1024 * 1024 * 3;
    static constexpr int kColumns = 720;
    static constexpr int kRows = 360;
    static constexpr std::size_t kMapOffset = kTextureBytes - kColumns * kRows * 3;
    static constexpr std::size_t kMapRowBytes = kColumns * 3;
    static constexpr std::size_t kMaskBytes = kColumns * kRows;
    static constexpr std::size_t kBlockBytes = kTextureBytes + kMaskBytes;

    // Only locates the block; the bytes are taken over by Prepare.
    explicit CGlobeData(ResourceId id = ResourceId::GlobeData);

    // Copies n bytes from the read position and advances it. Past the end of the block
    // nothing is read: the rest of the buffer is zeroed. Returns the bytes copied.
    std::size_t ReadBytes(unsigned char* buffer, std::size_t n);

    // Takes over the map and the mask and enlarges the map to the 1024 x 1024 texture.
    // Only the first successful call does the work; later calls leave the prepared
    // texture as it is. False when the block is missing or shorter than its layout.
    bool Prepare();
    // Starts the work of Prepare on a thread of its own, so that the enlargement runs
    // while the window is being built; Prepare then waits for it. Does nothing once
    // prepared or started.
    void PrepareInBackground();

    // Area-weighted enlargement of the 720 x 360 map inside the texture buffer to
    // 1024 x 1024 pixels.
    void Resample();

    // The texture buffer: 1024 rows of 3,072 bytes (blue, green, red), south first.
    const unsigned char* GetTextureBuffer() const { return m_textureBuffer.data(); }
    bool IsPrepared() const { return m_prepared.load(); }

    // Whether cell (column, row) of the 0.5-degree grid has climate data. Any cell
    // outside the grid is not land. Before Prepare the mask is read from the block.
    bool IsLandCell(int column, int row) const;

private:
    ByteBlock Block();
    bool PrepareNow();

    ResourceId m_resourceId;
    ByteBlock m_block;
    std::size_t m_readPosition = 0;
    std::vector<unsigned char> m_textureBuffer;
    std::vector<unsigned char> m_landMask;
    std::atomic<bool> m_prepared{false};
    std::future<bool> m_background;
};

} // namespace skyfetch
