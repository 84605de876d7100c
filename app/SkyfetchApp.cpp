#include "app/SkyfetchApp.h"

#include "app/StartupOutput.h"
#include "dialog/SkyfetchDlg.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QStringList>

#include <optional>
#include <unistd.h>

namespace skyfetch {

bool CSkyfetchApp::InitInstance() {
    // The documents folder, when it exists, is where files go unless told otherwise.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty())
        (void)::chdir(documents.toLocal8Bit().constData());

    // Only the first plain argument counts (Qt has already taken its own options).
    std::optional<std::string> argument;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (!arguments[i].startsWith('-')) {
            argument = arguments[i].toLocal8Bit().toStdString();
            break;
        }

    CSkyfetchDlg dialog;
    dialog.m_outputName = ChooseOutput(argument);
    dialog.DoModal();
    return false;
}

} // namespace skyfetch
