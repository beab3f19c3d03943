#include "LauncherSettings.h"

#include "AtomicFile.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "KeyValueText.h"
#include "LocalText.h"
#include "SettingsFolder.h"

#include <QFile>
#include <QVector>
#include <climits>
#include <cstring>

namespace {

using S = LauncherSettings;

// One line of the file: a number kept within its range, or one of the application paths.
struct Key {
    const char* name;
    int min;
    int max;
    int S::*number;
    int app; // the application slot of a text key, -1 for a number
};

// In the order in which the file is written.
const QVector<Key>& keys() {
    static const QVector<Key> table = {
        {"destDrive", 0, 256, &S::destDrive, -1},
        {"copyOption", 0, 100, &S::copyOption, -1},
        {"deleteOption", 0, 100, &S::deleteOption, -1},
        {"appName1", 0, 0, nullptr, 0},
        {"appName2", 0, 0, nullptr, 1},
        {"appName3", 0, 0, nullptr, 2},
        {"appName4", 0, 0, nullptr, 3},
        {"mode", 0, 1, &S::mode, -1},
    };
    return table;
}

const Key* matchingKey(const QByteArray& line) {
    for (const Key& key : keys()) {
        if (line.startsWith(key.name))
            return &key;
    }
    return nullptr;
}

void applyLine(S& settings, const Key& key, const QByteArray& line) {
    const int skip = int(std::strlen(key.name));
    if (key.app >= 0) {
        const QString text = LocalText::decode(KeyValueText::textAfter(line, skip));
        debugLog("%s=%s", key.name, text.toUtf8().constData());
        settings.appName[key.app] = text;
        return;
    }
    qint64 value = 0;
    if (!KeyValueText::integerAfter(line, skip, &value))
        return;
    debugLog("%s=%d", key.name, int(qBound<qint64>(INT_MIN, value, INT_MAX)));
    if (value >= key.min && value <= key.max)
        settings.*key.number = int(value);
}

QString settingsPath() {
    return HostPath::toHost(SettingsFolder::file("OrlentLaunch.ini"));
}

// The drive letter the main program keeps as a character code within 0..100; only C to Z
// name a drive the programs can use.
QChar driveLetter(int code) {
    return code >= 'C' && code <= 'Z' ? QChar(code) : QChar('C');
}

} // namespace

void LauncherSettings::load() {
    QFile file(settingsPath());
    if (!file.open(QIODevice::ReadOnly)) {
        debugLog("iniFile open error");
        return;
    }
    QByteArray line;
    while (KeyValueText::readLine(file, &line)) {
        if (const Key* key = matchingKey(line))
            applyLine(*this, *key, line);
    }
}

bool LauncherSettings::save() const {
    debugLog("init file write");
    QByteArray content;
    for (const Key& key : keys()) {
        content += key.name;
        content += ' ';
        if (key.app >= 0)
            content += LocalText::encode(appName[key.app]);
        else
            content += QByteArray::number(this->*key.number);
        content += '\n';
    }
    return AtomicFile::writeLogged(settingsPath(), content);
}

bool LauncherSettings::canStore(const QString& path) {
    if (path.contains('\r') || path.contains('\n'))
        return false;
    return LocalText::decode(LocalText::encode(path)) == path;
}

QChar LauncherSettings::dataDrive() {
    QFile file(HostPath::toHost(SettingsFolder::file("Vesperix.ini")));
    if (!file.open(QIODevice::ReadOnly))
        return 'C';
    int code = 'C';
    QByteArray line;
    while (KeyValueText::readLine(file, &line)) {
        qint64 value = 0;
        if (line.startsWith("drive") && KeyValueText::integerAfter(line, 5, &value) && value >= 0 &&
            value <= 100)
            code = int(value);
    }
    return driveLetter(code);
}
