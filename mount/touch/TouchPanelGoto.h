#pragma once

#include "PinchSteps.h"
#include "TouchLabel.h"

// The goto window's chart under the finger: a drag pans it, a tap picks what lies there, a
// pinch or the wheel zooms it. It only tells the window what was asked for.
class TouchPanelGoto : public TouchLabel {
    Q_OBJECT
public:
    explicit TouchPanelGoto(QWidget* parent = nullptr);

    // A drag of one label pixel pans the chart by this many chart pixels, across and down.
    static constexpr double panPerPixelX = 0.5818181818181818;
    static constexpr double panPerPixelY = 0.75;
    // A release this close to its press (in x and in y) is a tap, not a drag.
    static constexpr int tapSlack = 5;

signals:
    void zoomIn();
    void zoomOut();
    // The chart's new centre lies this far from the old one, in chart pixels.
    void pan(double dx, double dy);
    void tapped(QPoint at);

private:
    void followPinch(double totalScaleFactor, bool finished);

    QPoint pressedAt;
    QPoint lastAt;
    PinchSteps pinch;
};
