#include "dialog/MessageBoxPrompt.h"

#include <QApplication>
#include <QMessageBox>

namespace skyfetch {

PromptAnswer MessageBoxPrompt::show(const std::string& text, PromptIcon icon,
                                    PromptButtons buttons) {
    QMessageBox::Icon boxIcon = QMessageBox::Warning;
    switch (icon) {
    case PromptIcon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case PromptIcon::Error:
        boxIcon = QMessageBox::Critical;
        break;
    case PromptIcon::Question:
        boxIcon = QMessageBox::Question;
        break;
    case PromptIcon::Information:
        boxIcon = QMessageBox::Information;
        break;
    }
    const QMessageBox::StandardButtons standard =
        buttons == PromptButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QMessageBox box(boxIcon, "Skyfetch", QString::fromStdString(text), standard,
                    QApplication::activeWindow());
    const int answer = box.exec();
    if (buttons == PromptButtons::Ok)
        return PromptAnswer::Ok;
    return answer == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
}

} // namespace skyfetch
