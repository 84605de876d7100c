#include "putil/CNumbers.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace skyfetch {

double c_strtod(const char* text, char** end) {
    static const _locale_t locale = _create_locale(LC_ALL, "C");
    return locale ? _strtod_l(text, end, locale) : std::strtod(text, end);
}

} // namespace skyfetch
