#pragma once

#include <QIcon>

class QStyle;

namespace skyfetch {

// The icon the main window shows. On Linux the installed program's icon from the icon
// theme, else a stock one from style (run from the build tree). On Windows a null icon:
// the window then keeps the icon of the executable's own icon resource (IDI_ICON1), which
// Qt gives every window it creates.
QIcon ProgramIcon(const QStyle* style);

} // namespace skyfetch
