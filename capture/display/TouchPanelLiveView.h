#pragma once

#include "PinchSteps.h"
#include "TouchLabel.h"

struct ViewState;

// The main view under the finger: a clear label over the one that shows the canvas, which
// reports in the canvas's pixels however that label scales it. Zoomed
// in (2 and more), a drag pans the picture and a tap sets the focus point; below that, a drag
// asks to move the telescope. A pinch or the wheel zooms.
class TouchPanelLiveView : public TouchLabel {
    Q_OBJECT
public:
    explicit TouchPanelLiveView(QWidget* parent = nullptr);
    void attach(const ViewState& view, const QLabel& canvasLabel) {
        viewState = &view;
        picture = &canvasLabel;
    }

    // A zoomed picture follows the finger in steps of this many screen pixels.
    static constexpr int panStep = 11;
    // A release this close to its press (in x and in y) leaves a zoomed view where it is.
    static constexpr int tapSlack = 3;
    static constexpr int canvasWidth = 1200;

signals:
    void zoomIn();
    void zoomOut();
    // The zoomed picture's centre moves by this many canvas pixels.
    void pan(int dx, int dy);
    void focusPoint(int x, int y);
    // A drag from the press to the release, taken as (press - release) in canvas pixels.
    void dragged(int dx, int dy);

private:
    QPoint toCanvas(QPoint at) const;
    int zoom() const;
    void followPinch(double totalScaleFactor, bool finished);
    void follow(QPoint at);
    void finish(QPoint at);

    const ViewState* viewState = nullptr;
    const QLabel* picture = nullptr;
    QPoint pressedAt;
    QPoint lastAt;
    PinchSteps pinch;
    int pinchZoom = 0;              // +1 in, -1 out, when the pinch finishes
    bool pinchedSincePress = false; // two fingers zoom: their release moves nothing
};
