#include "dialog/Launcher.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace skyfetch {

void DesktopLauncher::OpenInSpreadsheet(const std::string& path) {
    const QString file = QString::fromStdString(path);
    const struct {
        const char* program;
        QStringList options;
    } spreadsheets[] = {{"libreoffice", {"--calc"}}, {"localc", {}}, {"gnumeric", {}}};
    for (const auto& candidate : spreadsheets) {
        const QString program = QStandardPaths::findExecutable(candidate.program);
        if (!program.isEmpty()) {
            QProcess::startDetached(program, QStringList(candidate.options) << file);
            return;
        }
    }
    QProcess::startDetached("xdg-open", {file});
}

void DesktopLauncher::ExploreFolder(const std::string& folder) {
    QProcess::startDetached("xdg-open", {QString::fromStdString(folder)});
}

} // namespace skyfetch
