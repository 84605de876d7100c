#include "dialog/ProgramIcon.h"

#include <QStyle>

namespace skyfetch {

QIcon ProgramIcon(const QStyle* style) {
    // The program's own icon once it is installed; a stock one when run from the build.
    QIcon icon = QIcon::fromTheme("org.skyfetch.Skyfetch");
    if (icon.isNull())
        icon =
            QIcon::fromTheme("applications-science", style->standardIcon(QStyle::SP_ComputerIcon));
    return icon;
}

} // namespace skyfetch
