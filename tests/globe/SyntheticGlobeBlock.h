#pragma once

#include "globe/GlobeData.h"

#include <cstddef>
#include <random>
#include <vector>

namespace skyfetch::test {

// A globe data block laid out as the program carries it, with a chosen map and mask.
class SyntheticGlobeBlock {
public:
    explicit SyntheticGlobeBlock(unsigned seed = 1) : m_bytes(CGlobeData::kBlockBytes, 0) {
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> byte(0, 255);
        for (std::size_t i = CGlobeData::kMapOffset; i < CGlobeData::kTextureBytes; ++i)
            m_bytes[i] = static_cast<unsigned char>(byte(random));
    }

    // Byte k (0 blue, 1 green, 2 red) of map pixel (row, column).
    unsigned char& Map(int row, int column, int k) {
        return m_bytes[CGlobeData::kMapOffset + row * CGlobeData::kMapRowBytes + column * 3 + k];
    }
    unsigned char& Mask(int column, int row) {
        return m_bytes[CGlobeData::kTextureBytes + column * CGlobeData::kRows + row];
    }
    void SetAllLand() {
        for (int c = 0; c < CGlobeData::kColumns; ++c)
            for (int r = 0; r < CGlobeData::kRows; ++r)
                Mask(c, r) = 1;
    }
    ByteBlock Block() const { return {m_bytes.data(), m_bytes.size()}; }
    std::vector<unsigned char>& Bytes() { return m_bytes; }

private:
    std::vector<unsigned char> m_bytes;
};

// Registers a block as the globe data for the life of the object.
class RegisteredGlobeBlock {
public:
    explicit RegisteredGlobeBlock(ByteBlock block) {
        register_resource(ResourceId::GlobeData, block);
    }
    ~RegisteredGlobeBlock() { register_resource(ResourceId::GlobeData, {}); }
    RegisteredGlobeBlock(const RegisteredGlobeBlock&) = delete;
    RegisteredGlobeBlock& operator=(const RegisteredGlobeBlock&) = delete;
};

} // namespace skyfetch::test
