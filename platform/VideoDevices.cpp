#include "VideoDevices.h"

#include <QDir>
#include <QFile>
#include <QMap>

QStringList VideoDevices::names() {
    QStringList names;
#ifndef Q_OS_WIN
    // Device index N is /dev/videoN; its name is in sysfs.
    const QString root = qEnvironmentVariable("VESPERIX_SYSFS_VIDEO", "/sys/class/video4linux");
    QMap<int, QString> byIndex;
    for (const QString& node : QDir(root).entryList({"video*"}, QDir::Dirs | QDir::System)) {
        bool ok = false;
        const int index = node.mid(5).toInt(&ok);
        if (!ok || index < 0 || index > 255)
            continue;
        QFile nameFile(root + '/' + node + "/name");
        if (nameFile.open(QIODevice::ReadOnly))
            byIndex[index] = QString::fromUtf8(nameFile.readLine()).trimmed();
    }
    const int count = byIndex.isEmpty() ? 0 : byIndex.lastKey() + 1;
    for (int i = 0; i < count; ++i)
        names << byIndex.value(i);
#endif
    return names;
}
