#include "Screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace {

QString screenshotFile(const QString& name) {
    const QString folder = qEnvironmentVariable("VESPERIX_SCREENSHOTS");
    if (folder.isEmpty())
        return QString();
    QDir().mkpath(folder);
    return folder + '/' + name + ".png";
}

} // namespace

void saveScreenshot(QWidget* widget, const QString& name) {
    const QString file = screenshotFile(name);
    if (!file.isEmpty())
        widget->grab().save(file);
}

void saveScreenshot(const QImage& image, const QString& name) {
    const QString file = screenshotFile(name);
    if (!file.isEmpty())
        image.save(file);
}
