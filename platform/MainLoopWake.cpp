#include "MainLoopWake.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

void wakeMainLoop() {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    if (QAbstractEventDispatcher* dispatcher =
            QAbstractEventDispatcher::instance(application->thread()))
        dispatcher->wakeUp();
}
