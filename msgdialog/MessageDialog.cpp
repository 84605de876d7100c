#include "msgdialog/MessageDialog.h"

#include "msgdialog/MessageLayout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace skyfetch {
namespace {

constexpr int kBorder = 1;

// Measures with the dialog's four fonts.
class FontMeasurer : public TextMeasurer {
public:
    explicit FontMeasurer(const CMessageDialog& dialog) : m_dialog(dialog) {}

    const QFont& Font(MessageFont font) const {
        switch (font) {
        case MessageFont::Bold:
            return m_dialog.m_fontBold;
        case MessageFont::Large:
            return m_dialog.m_fontLarge;
        case MessageFont::Fixed:
            return m_dialog.m_fontFixed;
        case MessageFont::Normal:
            break;
        }
        return m_dialog.m_fontNormal;
    }

    TextExtent Extent(MessageFont font, std::string_view text) const override {
        const QFontMetrics metrics(Font(font));
        const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        return {metrics.horizontalAdvance(s), metrics.height()};
    }

private:
    const CMessageDialog& m_dialog;
};

} // namespace

CMessageDialog::CMessageDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setModal(true);
    // The dialog itself holds the focus when it opens, so that the confirm key closes it
    // without pressing a button. It can take the focus but is no stop of the Tab cycle,
    // which goes round the buttons only.
    setFocusPolicy(Qt::ClickFocus);
    CreateFonts();
}

void CMessageDialog::CreateFonts() {
    // 9 points as a character height, in pixels of this screen.
    const int pixels = std::max(1, static_cast<int>(std::lround(9.0 * logicalDpiY() / 72.0)));
    m_fontNormal = QGuiApplication::font();
    m_fontNormal.setStyleHint(QFont::SansSerif);
    m_fontNormal.setPixelSize(pixels);
    m_fontNormal.setWeight(QFont::Normal);
    m_fontNormal.setItalic(false);
    m_fontNormal.setUnderline(false);
    m_fontNormal.setStrikeOut(false);
    m_fontBold = m_fontNormal;
    m_fontBold.setWeight(QFont::Bold);
    m_fontLarge = m_fontBold;
    m_fontLarge.setPixelSize(static_cast<int>(pixels * 1.3));
    m_fontFixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_fontFixed.setPixelSize(pixels);
    m_fontFixed.setWeight(QFont::Normal);
}

int CMessageDialog::exec() {
    CreateFonts();
    // Buttons belong to one run of the dialog; the first paint makes them.
    qDeleteAll(findChildren<QPushButton*>(Qt::FindDirectChildrenOnly));
    for (MessageItem& item : m_items)
        item.button = nullptr;
    m_result = 0;
    resize(std::max(m_width, 1), std::max(m_height, 1));
    FitHeight(); // the window is hidden, so no size event comes before it is shown
    // The buttons only come into being at the first paint. When the window is activated
    // after that, the focus goes back to the widget that had it, this dialog, instead of
    // the first button in the Tab order.
    setFocus(Qt::OtherFocusReason);
    return QDialog::exec();
}

bool CMessageDialog::FitHeight() {
    const QRect client = ClientRect();
    const FontMeasurer measurer(*this);
    const int needed = FittingClientHeight(measurer, client.width(), m_items);
    if (client.height() == needed)
        return true;
    resize(width(), height() + needed - client.height());
    return false;
}

void CMessageDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // A change of height brings another size event, which then repaints.
    if (FitHeight())
        update();
}

void CMessageDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect client = ClientRect();
    painter.fillRect(client, Qt::white);

    const FontMeasurer measurer(*this);
    MessageLayout layout(measurer, client.width());
    layout.Run(m_items);

    painter.setPen(Qt::black);
    painter.translate(client.topLeft());
    for (const MessageTextCommand& t : layout.Texts()) {
        const QFont& font = measurer.Font(t.font);
        const QFontMetrics metrics(font);
        const QString text = QString::fromStdString(t.text);
        const int w = metrics.horizontalAdvance(text);
        const int left = t.align < 0 ? t.x : t.align == 0 ? t.x - w / 2 : t.x - w;
        painter.setFont(font);
        painter.drawText(QPoint(left, t.bottom - metrics.descent()), text);
    }
    for (size_t index : layout.ButtonOrder())
        PlaceButton(m_items[index]);
}

void CMessageDialog::PlaceButton(MessageItem& item) {
    const QRect place(item.rect.left + kBorder, item.rect.top + kBorder, item.rect.Width(),
                      item.rect.Height());
    if (item.button != nullptr) {
        if (item.button->geometry() != place)
            item.button->setGeometry(place);
        return;
    }
    auto* button = new QPushButton(QString::fromStdString(item.text), this);
    button->setObjectName(QString::number(item.id));
    button->setFont(m_fontNormal);
    button->setGeometry(place);
    const int id = item.id;
    connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    button->show();
    item.button = button;
}

bool CMessageDialog::OnCommand(int id) {
    for (size_t i = 0; i < m_items.size(); ++i) {
        const MessageItem& item = m_items[i];
        if (item.kind == ItemButton && id == kFirstMessageButtonId + static_cast<int>(i)) {
            m_result = item.result;
            done(QDialog::Accepted);
            return true;
        }
    }
    return false;
}

void CMessageDialog::keyPressEvent(QKeyEvent* event) {
    // Enter confirms the dialog like an OK key when no button takes it.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        const auto* focused = qobject_cast<QPushButton*>(focusWidget());
        if (focused == nullptr) {
            done(QDialog::Accepted);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

} // namespace skyfetch
