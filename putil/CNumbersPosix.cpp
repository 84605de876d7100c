#include "putil/CNumbers.h"

#include <cstdlib>
#include <locale.h>

namespace skyfetch {

double c_strtod(const char* text, char** end) {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale ? strtod_l(text, end, locale) : std::strtod(text, end);
}

} // namespace skyfetch
