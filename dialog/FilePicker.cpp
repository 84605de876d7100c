#include "dialog/FilePicker.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

namespace skyfetch {

std::string QtFilePicker::BrowseForFile(const std::string& title, const std::string& path,
                                        const std::string& filter, FileDialogMode mode) {
    // Qt's dialogs take and give paths with '/'; the program writes the system's own
    // separator ('\' on Windows).
    const QString full = QDir::fromNativeSeparators(QString::fromStdString(path));
    const qsizetype slash = full.lastIndexOf('/');
    const QString folder = slash < 0 ? QString() : full.left(slash == 0 ? 1 : slash);
    const QString name = slash < 0 ? full : full.mid(slash + 1);

    // The pairs' descriptions carry their patterns in parentheses, as Qt's filters do.
    QStringList filters;
    QStringList patterns;
    const QStringList parts = QString::fromStdString(filter).split('\t');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty()) {
            filters << parts[i];
            patterns << parts[i + 1];
        }
    // The extension a name without one gets: that of the chosen filter's only pattern.
    const auto suffixOf = [filters, patterns](const QString& chosen) {
        const QString pattern = patterns.value(filters.indexOf(chosen));
        const bool single =
            pattern.count('*') == 1 && !pattern.contains(';') && !pattern.contains(' ');
        return single && pattern.startsWith("*.") ? pattern.mid(2) : QString();
    };

    QFileDialog dialog(m_parent, QString::fromStdString(title));
    dialog.setAcceptMode(mode == FileDialogMode::Save ? QFileDialog::AcceptSave
                                                      : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller asks before replacing: it may still add an extension to the name.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffixOf(filters.value(0)));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, suffixOf](const QString& chosen) { dialog.setDefaultSuffix(suffixOf(chosen)); });
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
}

} // namespace skyfetch
