#include "dialog/ProgramIcon.h"

namespace skyfetch {

QIcon ProgramIcon(const QStyle*) {
    return {};
}

} // namespace skyfetch
