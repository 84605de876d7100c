#pragma once

#include "dialog/UpDownSteps.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <vector>

class QLineEdit;
class QToolButton;

namespace skyfetch {

// A spin control: two arrow buttons beside a buddy edit. It keeps its own position
// within a range; a click (or Up/Down in the buddy) moves it by a step that grows while
// the arrow is held (the acceleration table), after asking the receiver of
// positionAboutToChange, which may veto the move. A move writes the new position into
// the buddy as a plain integer. Before a step the spin takes up a whole number the user
// typed into the buddy (held within the range), so that an arrow continues from what
// the field shows; any other text (a decimal fraction, a location's cell centre) leaves
// the spin at its own position. A held arrow stops repeating as soon as a modal window
// (a message about the step) blocks the spin's window: it never steps on behind it.
class CUpDown : public QWidget {
    Q_OBJECT
public:
    explicit CUpDown(QWidget* parent = nullptr);

    // Arrow keys pressed in the buddy step the spin.
    void SetBuddy(QLineEdit* buddy);
    QLineEdit* Buddy() const { return m_buddy; }

    void SetRange(int minimum, int maximum);
    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }
    void SetPos(int position) { m_position = position; }
    int Pos() const { return m_position; }
    void SetAccel(std::vector<UpDownAccel> table) { m_accel = std::move(table); }
    const std::vector<UpDownAccel>& Accel() const { return m_accel; }

    // One step upwards (direction +1) or downwards (-1), as by an arrow held for
    // heldSeconds: the increment comes from the acceleration table.
    void Step(int direction, double heldSeconds = 0.0);

    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }
    // True while an arrow is held down and repeating.
    bool IsHeld() const { return m_direction != 0; }

signals:
    // Sent before every step with the current position and the proposed change. Set
    // *veto to keep the position (and the buddy's text) as they are.
    void positionAboutToChange(int position, int delta, bool* veto);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void TakeUpBuddyValue();
    void StartHold(int direction);
    void StopHold();
    void Repeat();
    void ReleaseArrows();

    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    QLineEdit* m_buddy = nullptr;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    std::vector<UpDownAccel> m_accel;
    QTimer m_repeat;
    QElapsedTimer m_held;
    int m_direction = 0;
    bool m_stepping = false; // inside Step, which may run a nested event loop
    QElapsedTimer m_keyHeld;
};

} // namespace skyfetch
