#include "dialog/MessageBoxPrompt.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

namespace skyfetch {
namespace {

// QMessageBox wraps its text at about 500 pixels, on top of the text's own line breaks;
// a text laid out in lines of its own then ends with a lone word on a line. The label is
// made as wide as the text's widest line (up to three quarters of the screen), so that
// only the text's own breaks remain. The box sizes itself around its label.
void KeepLinesWhole(QMessageBox& box) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label == nullptr)
        return;
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString& line : label->text().split('\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    // Around the text: the label's margins and indent, and a pixel to spare, as the
    // label lays its text out in fractional widths.
    const QMargins margins = label->contentsMargins();
    const int around = margins.left() + margins.right() + 2 * label->margin() +
                       std::max(label->indent(), 0) + 1;
    const QScreen* screen = box.screen();
    const int limit = screen ? screen->availableGeometry().width() * 3 / 4 : 1000;
    label->setMinimumWidth(std::min(widest + around, limit));
}

} // namespace

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
    KeepLinesWhole(box);
    const int answer = box.exec();
    if (buttons == PromptButtons::Ok)
        return PromptAnswer::Ok;
    return answer == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
}

} // namespace skyfetch
