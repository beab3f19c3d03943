#include "TouchLabel.h"

#include <QGestureEvent>
#include <QMouseEvent>
#include <QPinchGesture>
#include <QTouchEvent>
#include <QWheelEvent>

TouchLabel::TouchLabel(QWidget* parent)
    : QLabel(parent) {
    setAttribute(Qt::WA_AcceptTouchEvents);
}

void TouchLabel::acceptPinch() {
    grabGesture(Qt::PinchGesture);
}

void TouchLabel::press(QPoint at) {
    down = true;
    last = at;
    emit pressed(at);
}

void TouchLabel::move(QPoint at) {
    if (!down)
        return;
    last = at;
    emit moved(at);
}

void TouchLabel::release(QPoint at) {
    if (!down)
        return;
    down = false;
    last = at;
    emit released(at);
}

bool TouchLabel::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: {
        touchSeen = true;
        const auto* touch = static_cast<QTouchEvent*>(event);
        // The first finger leads; the others belong to a gesture.
        const QPoint at =
            touch->touchPoints().isEmpty() ? last : touch->touchPoints().first().pos().toPoint();
        if (event->type() == QEvent::TouchBegin)
            press(at);
        else if (event->type() == QEvent::TouchUpdate)
            move(at);
        else
            release(at);
        event->accept();
        return true;
    }
    case QEvent::TouchCancel:
        touchSeen = true;
        release(last);
        event->accept();
        return true;
    case QEvent::Gesture: {
        touchSeen = true;
        auto* gestures = static_cast<QGestureEvent*>(event);
        if (auto* pinch = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture))) {
            emit pinched(pinch->totalScaleFactor(), pinch->state() == Qt::GestureFinished ||
                                                        pinch->state() == Qt::GestureCanceled);
            gestures->accept(pinch);
        }
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        if (touchSeen)
            return true;
        const QPoint at = static_cast<QMouseEvent*>(event)->pos();
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick)
            press(at);
        else if (event->type() == QEvent::MouseMove)
            move(at);
        else
            release(at);
        return true;
    }
    case QEvent::Wheel:
        emit wheelTurned(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    default:
        return QLabel::event(event);
    }
}
