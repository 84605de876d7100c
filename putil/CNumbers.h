#pragma once

namespace skyfetch {

// strtod() with the C rules ("13.25", never "13,25"), whatever locale a toolkit has set
// for the process.
double c_strtod(const char* text, char** end);

} // namespace skyfetch
