#include "resources/Resource.h"

namespace skyfetch {
namespace {
ByteBlock g_climateArchive;
ByteBlock g_globeData;
ByteBlock g_climateSource;

ByteBlock& slot(ResourceId id) {
    switch (id) {
    case ResourceId::ClimateArchive:
        return g_climateArchive;
    case ResourceId::GlobeData:
        return g_globeData;
    case ResourceId::ClimateSource:
        break;
    }
    return g_climateSource;
}
} // namespace

void register_resource(ResourceId id, ByteBlock block) {
    slot(id) = block.empty() ? ByteBlock{} : block;
}

ByteBlock find_resource(ResourceId id) {
    if (id != ResourceId::ClimateArchive && id != ResourceId::GlobeData &&
        id != ResourceId::ClimateSource)
        return {};
    return slot(id);
}

std::string climate_source_text() {
    const ByteBlock block = find_resource(ResourceId::ClimateSource);
    std::string text;
    if (!block.empty())
        text.assign(reinterpret_cast<const char*>(block.data), block.size);
    // One line of printable text; anything else in the block is not shown.
    const auto end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.erase(end);
    return text.empty() ? "unknown" : text;
}

} // namespace skyfetch
