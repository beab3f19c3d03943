#pragma once

#include <QLabel>
#include <QPoint>

// A label that a finger or the mouse work alike, in the label's own pixels. Once a touch or a
// gesture has come, mouse events are ignored for good, so that the mouse events made up from a
// touch never act a second time. A touch the system cancels ends as a release where it was
// last seen: whatever its press started always gets its end.
class TouchLabel : public QLabel {
    Q_OBJECT
public:
    explicit TouchLabel(QWidget* parent = nullptr);

    // Pinch gestures come as pinched(); a pad has no use for them.
    void acceptPinch();
    // Where the pressed finger or button was seen last; false when none is down.
    bool isDown() const { return down; }

signals:
    void pressed(QPoint at);
    void moved(QPoint at);
    void released(QPoint at);
    // The pinch's total scale factor since it began; `finished` on its last event.
    void pinched(double totalScaleFactor, bool finished);
    // The wheel's vertical angle, positive away from the user.
    void wheelTurned(int angleY);

protected:
    bool event(QEvent* event) override;

private:
    void press(QPoint at);
    void move(QPoint at);
    void release(QPoint at);

    bool touchSeen = false;
    bool down = false;
    QPoint last;
};
