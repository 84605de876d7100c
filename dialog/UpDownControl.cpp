#include "dialog/UpDownControl.h"

#include <QKeyEvent>

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace skyfetch {
namespace {

// Delays of a held arrow: the first repetition, then each further one.
constexpr int kFirstRepeatMs = 500;
constexpr int kRepeatMs = 100;

} // namespace

CUpDown::CUpDown(QWidget* parent) : QWidget(parent) {
    const auto defaults = DefaultUpDownAcceleration();
    m_accel.assign(defaults.begin(), defaults.end());

    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_up, m_down}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(false);
    }
    connect(m_up, &QToolButton::pressed, this, [this] { StartHold(+1); });
    connect(m_down, &QToolButton::pressed, this, [this] { StartHold(-1); });
    connect(m_up, &QToolButton::released, this, &CUpDown::StopHold);
    connect(m_down, &QToolButton::released, this, &CUpDown::StopHold);
    connect(&m_repeat, &QTimer::timeout, this, &CUpDown::Repeat);
    setFocusPolicy(Qt::NoFocus);
}

void CUpDown::SetBuddy(QLineEdit* buddy) {
    if (m_buddy)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (m_buddy)
        m_buddy->installEventFilter(this);
}

void CUpDown::SetRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
}

void CUpDown::TakeUpBuddyValue() {
    if (!m_buddy)
        return;
    if (const auto typed = BuddyInteger(m_buddy->text().trimmed().toStdString()))
        m_position =
            std::clamp(*typed, std::min(m_minimum, m_maximum), std::max(m_minimum, m_maximum));
}

void CUpDown::Step(int direction, double heldSeconds) {
    TakeUpBuddyValue();
    int delta = direction * AccelerationIncrement(m_accel, heldSeconds);
    if (m_maximum < m_minimum) // a reversed range counts the other way
        delta = -delta;
    bool veto = false;
    m_stepping = true;
    emit positionAboutToChange(m_position, delta, &veto);
    m_stepping = false;
    if (veto)
        return;
    const int next = SteppedPosition(m_position, delta, m_minimum, m_maximum);
    if (next == m_position)
        return;
    m_position = next;
    if (!m_buddy)
        return;
    // Setting a buddy's text always counts as a change, also when the text happens to be
    // the same: the location fields replace the spin's integer in their change handler.
    const QString text = QString::number(m_position);
    if (m_buddy->text() == text)
        emit m_buddy->textChanged(text);
    else
        m_buddy->setText(text);
}

void CUpDown::StartHold(int direction) {
    m_direction = direction;
    m_held.start();
    // A message shown by the receiver of the first step blocks the window and ends the
    // hold at once; so the timer runs before that step, not after it.
    if (QWidget* top = window(); top != this)
        top->installEventFilter(this);
    m_repeat.start(kFirstRepeatMs);
    Step(direction, 0.0);
}

void CUpDown::StopHold() {
    m_repeat.stop();
    m_direction = 0;
    if (QWidget* top = window(); top != this)
        top->removeEventFilter(this);
}

void CUpDown::Repeat() {
    if (m_direction == 0)
        return;
    // A tick that arrives while a step is still being handled comes from a nested event
    // loop (a modal window): the user can no longer be holding the arrow for this window.
    if (m_stepping) {
        ReleaseArrows();
        return;
    }
    m_repeat.setInterval(kRepeatMs);
    Step(m_direction, m_held.elapsed() / 1000.0);
}

void CUpDown::ReleaseArrows() {
    StopHold();
    // The release of the mouse button goes to the modal window, not to the arrow.
    m_up->setDown(false);
    m_down->setDown(false);
}

bool CUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window() && watched != this && event->type() == QEvent::WindowBlocked &&
        m_direction != 0)
        ReleaseArrows();
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            if (!key->isAutoRepeat() || !m_keyHeld.isValid())
                m_keyHeld.start();
            Step(key->key() == Qt::Key_Up ? +1 : -1,
                 key->isAutoRepeat() ? m_keyHeld.elapsed() / 1000.0 : 0.0);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CUpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int upHeight = height() / 2;
    m_up->setGeometry(0, 0, width(), upHeight);
    m_down->setGeometry(0, upHeight, width(), height() - upHeight);
}

} // namespace skyfetch
