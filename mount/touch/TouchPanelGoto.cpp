#include "TouchPanelGoto.h"

#include <cstdlib>

TouchPanelGoto::TouchPanelGoto(QWidget* parent)
    : TouchLabel(parent) {
    acceptPinch();
    connect(this, &TouchLabel::pressed, this, [this](QPoint at) { pressedAt = lastAt = at; });
    connect(this, &TouchLabel::moved, this, [this](QPoint at) {
        const double dx = (lastAt.x() - at.x()) * panPerPixelX;
        const double dy = (lastAt.y() - at.y()) * panPerPixelY;
        lastAt = at;
        if (dx != 0 || dy != 0)
            emit pan(dx, dy);
    });
    connect(this, &TouchLabel::released, this, [this](QPoint at) {
        if (std::abs(at.x() - pressedAt.x()) <= tapSlack &&
            std::abs(at.y() - pressedAt.y()) <= tapSlack)
            emit tapped(at);
    });
    connect(this, &TouchLabel::pinched, this, &TouchPanelGoto::followPinch);
    connect(this, &TouchLabel::wheelTurned, this, [this](int angleY) {
        if (angleY > 0)
            emit zoomIn();
        else
            emit zoomOut();
    });
}

void TouchPanelGoto::followPinch(double totalScaleFactor, bool finished) {
    const int zoom = pinch.follow(totalScaleFactor, finished);
    if (zoom > 0)
        emit zoomIn();
    else if (zoom < 0)
        emit zoomOut();
}
