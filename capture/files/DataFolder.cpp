#include "DataFolder.h"

#include "DebugLog.h"
#include "HostPath.h"
#include "SettingsRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

DataFolder::DataFolder(SettingsRecord& settings)
    : settings(settings)
    , dataFolder(folderOfDrive()) {}

QString DataFolder::folderOfDrive() const {
    // A drive code that is no letter would make a relative path on the host; the data then
    // goes to drive C, where the drive scan would put it anyway.
    QChar letter = QChar(settings.drive).toUpper();
    if (letter < 'A' || letter > 'Z')
        letter = 'C';
    return QString(letter) + ":\\VesperixData";
}

void DataFolder::scanDataFolder() {
    QMutexLocker lock(&mutex);
    names.clear();
    last = 0;
    dataFolder = folderOfDrive();
    const QString host = HostPath::toHost(dataFolder);
    if (!QFileInfo(host).isDir()) {
        debugLog("Make Dir VesperixData");
        // Only the folder itself: a missing drive must not spring into being.
        QDir().mkdir(host);
    }
    const QStringList entries = QDir(host).entryList(QDir::Files, QDir::Name);
    for (const QString& entry : entries) {
        if ((entry.startsWith('M') || entry.contains('+')) && entry.endsWith(".tif"))
            names << entry;
        bool isNumber = false;
        const int number = entry.mid(1, 5).toInt(&isNumber);
        if (isNumber && number > last)
            last = number;
    }
    current = names.size() - 1;
}

QString DataFolder::folder() const {
    QMutexLocker lock(&mutex);
    return dataFolder;
}

void DataFolder::addFile(const QString& name) {
    QMutexLocker lock(&mutex);
    names << name;
    current = names.size() - 1;
}

void DataFolder::addFileOnce(const QString& name) {
    QMutexLocker lock(&mutex);
    names.removeAll(name);
    names << name;
    current = names.size() - 1;
}

QString DataFolder::pathOf(int index) const {
    if (index < 0 || index >= names.size())
        return QString();
    return dataFolder + '\\' + names.at(index);
}

QString DataFolder::currentPath() const {
    QMutexLocker lock(&mutex);
    return pathOf(current);
}

QString DataFolder::pathAt(int index) const {
    QMutexLocker lock(&mutex);
    return pathOf(index);
}

QString DataFolder::currentName() const {
    QMutexLocker lock(&mutex);
    return current >= 0 ? names.at(current) : QString();
}

int DataFolder::currentIndex() const {
    QMutexLocker lock(&mutex);
    return current;
}

int DataFolder::count() const {
    QMutexLocker lock(&mutex);
    return names.size();
}

QStringList DataFolder::files() const {
    QMutexLocker lock(&mutex);
    return names;
}

void DataFolder::nextFile() {
    QMutexLocker lock(&mutex);
    if (!names.isEmpty())
        current = (current + 1) % names.size();
}

void DataFolder::previousFile() {
    QMutexLocker lock(&mutex);
    if (!names.isEmpty())
        current = (current + names.size() - 1) % names.size();
}

QString DataFolder::colourTwinPath(const QString& path) {
    const int nameStart = path.lastIndexOf('\\') + 1;
    const int m = path.lastIndexOf('M');
    if (m < nameStart)
        return QString();
    QString twin = path;
    twin[m] = 'C';
    return twin;
}

bool DataFolder::deleteCurrent() {
    QMutexLocker lock(&mutex);
    if (current < 0)
        return false;
    const QString path = pathOf(current);
    const QString host = HostPath::toHost(path);
    if (QFileInfo::exists(host) && !QFile::remove(host))
        return false;
    names.removeAt(current);
    current = std::min(current, int(names.size()) - 1);
    const QString twin = colourTwinPath(path);
    if (!twin.isEmpty() && QFileInfo::exists(HostPath::toHost(twin)))
        QFile::remove(HostPath::toHost(twin));
    return true;
}

int DataFolder::lastNumber() const {
    QMutexLocker lock(&mutex);
    return last;
}

int DataFolder::takeNextNumber() {
    QMutexLocker lock(&mutex);
    return ++last;
}

int DataFolder::takeNextNumber(QString& numberFolder) {
    QMutexLocker lock(&mutex);
    numberFolder = dataFolder;
    return ++last;
}
