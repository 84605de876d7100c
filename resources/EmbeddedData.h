#pragma once

namespace skyfetch {

// Registers the climate archive, the globe data and the climate source line linked into
// this executable
// (see Resource.h). Called once at the start of main().
void register_embedded_resources();

} // namespace skyfetch
