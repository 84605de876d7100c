#pragma once

#include <cstddef>
#include <string>

namespace skyfetch {

// The read-only data blocks the program carries. The first two numbers are the
// identifiers under which the blocks have always been known; the third block is one
// line of text naming the climate data in the archive and its years.
enum class ResourceId : int { ClimateArchive = 138, GlobeData = 144, ClimateSource = 150 };

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

// The climate source line ("CRU TS 4.07, 1991-2000"), or "unknown" when none is registered.
std::string climate_source_text();

} // namespace skyfetch
