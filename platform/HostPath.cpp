#include "HostPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace {

#ifndef Q_OS_WIN
bool hasDriveLetter(const QString& path) {
    return path.size() >= 2 && path.at(1) == ':' && path.at(0).isLetter() &&
           path.at(0).unicode() < 128;
}

QString driveFolder(QChar letter) {
    return HostPath::drivesRoot() + '/' + letter.toUpper();
}

// Resolves "." and ".." the way Windows does below a drive root: never above the root.
QStringList normalisedComponents(const QString& rest) {
    QStringList out;
    const QStringList parts = QString(rest).replace('\\', '/').split('/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out << part;
    }
    return out;
}
#endif

} // namespace

QString HostPath::drivesRoot() {
    const QByteArray fromEnv = qgetenv("VESPERIX_DRIVES");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(QString::fromLocal8Bit(fromEnv));
    return QDir::homePath() + "/.local/share/Vesperix/drives";
}

QString HostPath::fromHost(const QString& hostPath) {
    return QDir::toNativeSeparators(hostPath).replace('/', '\\');
}

#ifdef Q_OS_WIN

QString HostPath::toHost(const QString& windowsPath) {
    return windowsPath;
}

bool HostPath::driveExists(QChar letter) {
    return QFileInfo(QString(letter.toUpper()) + ":/").isDir();
}

#else

QString HostPath::toHost(const QString& windowsPath) {
    if (!hasDriveLetter(windowsPath))
        return QString(windowsPath).replace('\\', '/');
    const QChar letter = windowsPath.at(0).toUpper();
    const QString folder = driveFolder(letter);
    if (letter == 'C')
        QDir().mkpath(folder);
    const QStringList parts = normalisedComponents(windowsPath.mid(2));
    return parts.isEmpty() ? folder : folder + '/' + parts.join('/');
}

bool HostPath::driveExists(QChar letter) {
    if (letter.toUpper() == 'C')
        QDir().mkpath(driveFolder(letter));
    return QFileInfo(driveFolder(letter)).isDir();
}

#endif

QList<QChar> HostPath::existingDrives(QChar first, QChar last) {
    QList<QChar> drives;
    for (ushort c = first.toUpper().unicode(); c <= last.toUpper().unicode(); ++c) {
        if (driveExists(QChar(c)))
            drives << QChar(c);
    }
    return drives;
}
