#pragma once

#include <cstddef>

namespace skyfetch {

// The two read-only data blocks the program carries. The numbers are the
// identifiers under which the blocks have always been known.
enum class ResourceId : int { ClimateArchive = 138, GlobeData = 144 };

// A view of bytes owned elsewhere (linked into the executable, or a test's buffer).
struct ByteBlock {
    const unsigned char* data = nullptr;
    std::size_t size = 0;

    bool empty() const { return data == nullptr || size == 0; }
};

// Makes a block findable under its identifier. The executables register the blocks
// linked into them at start-up; tests register bytes they loaded themselves.
// Registering an empty block removes the entry.
void register_resource(ResourceId id, ByteBlock block);

// The block registered under the identifier, or an empty block.
ByteBlock find_resource(ResourceId id);

} // namespace skyfetch
