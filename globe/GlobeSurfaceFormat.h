#pragma once

namespace skyfetch {

// Asks for the OpenGL contexts the globe draws with: version 2.1 with the compatibility
// profile (the globe uses fixed-function OpenGL and GLU), double-buffered RGBA with a
// depth and a stencil buffer. Call it before the QApplication object is created.
void configure_globe_surface_format();

} // namespace skyfetch
