#include "TestDrives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestDrives::TestDrives()
    : previous(qgetenv("VESPERIX_DRIVES")) {
    qputenv("VESPERIX_DRIVES", dir.path().toLocal8Bit());
}

TestDrives::~TestDrives() {
    if (previous.isEmpty())
        qunsetenv("VESPERIX_DRIVES");
    else
        qputenv("VESPERIX_DRIVES", previous);
}

QString TestDrives::settingsFile(const QString& name) const {
    return dir.path() + "/C/OrlentVesperixIni/" + name;
}

void TestDrives::writeSettingsFile(const QString& name, const QByteArray& content) const {
    const QString path = settingsFile(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

QByteArray TestDrives::readSettingsFile(const QString& name) const {
    QFile file(settingsFile(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
