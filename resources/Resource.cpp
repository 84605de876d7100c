#include "resources/Resource.h"

namespace skyfetch {
namespace {
ByteBlock g_climateArchive;
ByteBlock g_globeData;

ByteBlock& slot(ResourceId id) {
    return id == ResourceId::ClimateArchive ? g_climateArchive : g_globeData;
}
} // namespace

void register_resource(ResourceId id, ByteBlock block) {
    slot(id) = block.empty() ? ByteBlock{} : block;
}

ByteBlock find_resource(ResourceId id) {
    if (id != ResourceId::ClimateArchive && id != ResourceId::GlobeData)
        return {};
    return slot(id);
}

} // namespace skyfetch
