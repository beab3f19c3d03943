#include "Screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

void saveScreenshot(QWidget* widget, const QString& name) {
    const QString folder = qEnvironmentVariable("VESPERIX_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget->grab().save(folder + '/' + name + ".png");
}
