#include "TouchPanelLiveView.h"

#include "DebugLog.h"
#include "ViewState.h"

#include <QPixmap>
#include <QStyle>
#include <cstdlib>

TouchPanelLiveView::TouchPanelLiveView(QWidget* parent)
    : TouchLabel(parent) {
    acceptPinch();
    connect(this, &TouchLabel::pressed, this, [this](QPoint at) {
        pressedAt = lastAt = at;
        pinchedSincePress = false;
    });
    connect(this, &TouchLabel::moved, this, &TouchPanelLiveView::follow);
    connect(this, &TouchLabel::released, this, &TouchPanelLiveView::finish);
    connect(this, &TouchLabel::pinched, this, &TouchPanelLiveView::followPinch);
    connect(this, &TouchLabel::wheelTurned, this, [this](int angleY) {
        if (angleY > 0)
            emit zoomIn();
        else
            emit zoomOut();
    });
}

int TouchPanelLiveView::zoom() const {
    return viewState ? viewState->zoom : 1;
}

QPoint TouchPanelLiveView::toCanvas(QPoint at) const {
    const QPixmap shown = picture ? picture->pixmap(Qt::ReturnByValue) : QPixmap();
    if (shown.isNull() || shown.width() == 0)
        return at;
    const QPoint there = picture->mapFromGlobal(mapToGlobal(at));
    const QRect placed = QStyle::alignedRect(picture->layoutDirection(), picture->alignment(),
                                             shown.size(), picture->contentsRect());
    const double scale = double(canvasWidth) / shown.width();
    return QPoint(qRound((there.x() - placed.x()) * scale),
                  qRound((there.y() - placed.y()) * scale));
}

void TouchPanelLiveView::follow(QPoint at) {
    if (zoom() < 2)
        return;
    if (std::abs(at.x() - lastAt.x()) < panStep && std::abs(at.y() - lastAt.y()) < panStep)
        return;
    const QPoint step = toCanvas(lastAt) - toCanvas(at);
    lastAt = at;
    emit pan(step.x(), step.y());
}

void TouchPanelLiveView::finish(QPoint at) {
    const QPoint delta = toCanvas(pressedAt) - toCanvas(at);
    debugLog("deltaX=%d deltaY=%d", delta.x(), delta.y());
    const bool still = std::abs(at.x() - pressedAt.x()) <= tapSlack &&
                       std::abs(at.y() - pressedAt.y()) <= tapSlack;
    if (pinchedSincePress)
        return;
    if (zoom() >= 2) {
        if (still) {
            const QPoint point = toCanvas(at);
            emit focusPoint(point.x(), point.y());
        }
        return;
    }
    emit dragged(delta.x(), delta.y());
}

void TouchPanelLiveView::followPinch(double totalScaleFactor, bool finished) {
    debugLog("Gesture Event *****");
    pinchedSincePress = true;
    if (const int zoom = pinch.follow(totalScaleFactor, finished))
        pinchZoom = zoom;
    if (!finished)
        return;
    if (pinchZoom > 0)
        emit zoomIn();
    else if (pinchZoom < 0)
        emit zoomOut();
    pinchZoom = 0;
}
