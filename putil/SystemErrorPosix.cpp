#include "putil/SystemError.h"

#include <cstring>

namespace skyfetch {

std::string system_error_text(int error) {
    return std::strerror(error);
}

} // namespace skyfetch
