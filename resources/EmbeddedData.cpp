#include "resources/EmbeddedData.h"

#include "resources/Resource.h"

// Symbols defined by EmbeddedData.S around the .incbin'd files.
extern "C" {
extern const unsigned char skyfetch_climate_archive_begin[];
extern const unsigned char skyfetch_climate_archive_end[];
extern const unsigned char skyfetch_globe_data_begin[];
extern const unsigned char skyfetch_globe_data_end[];
extern const unsigned char skyfetch_climate_source_begin[];
extern const unsigned char skyfetch_climate_source_end[];
}

namespace skyfetch {

void register_embedded_resources() {
    register_resource(ResourceId::ClimateArchive,
                      {skyfetch_climate_archive_begin,
                       static_cast<std::size_t>(skyfetch_climate_archive_end -
                                                skyfetch_climate_archive_begin)});
    register_resource(ResourceId::GlobeData,
                      {skyfetch_globe_data_begin,
                       static_cast<std::size_t>(skyfetch_globe_data_end -
                                                skyfetch_globe_data_begin)});
    register_resource(ResourceId::ClimateSource,
                      {skyfetch_climate_source_begin,
                       static_cast<std::size_t>(skyfetch_climate_source_end -
                                                skyfetch_climate_source_begin)});
}

} // namespace skyfetch
