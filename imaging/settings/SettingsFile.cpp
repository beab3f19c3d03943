#include "SettingsFile.h"

#include "AtomicFile.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "KeyValueText.h"
#include "LocalText.h"
#include "SettingsFolder.h"
#include "SettingsKey.h"
#include "SettingsRecord.h"

#include <QFile>
#include <climits>
#include <cstring>

namespace {

const SettingsKey* matchingKey(const QVector<SettingsKey>& keys, const QByteArray& line) {
    // The longest match wins, so "centerX" is not taken for "center".
    const SettingsKey* best = nullptr;
    for (const SettingsKey& key : keys) {
        if (!key.readable() || line.size() < key.matchLength)
            continue;
        if (std::strncmp(line.constData(), key.name, size_t(key.matchLength)) != 0)
            continue;
        if (!best || key.matchLength > best->matchLength)
            best = &key;
    }
    return best;
}

int clampToInt(qint64 value) {
    return int(qBound<qint64>(INT_MIN, value, INT_MAX));
}

void applyLine(SettingsRecord& record, const SettingsKey& key, const QByteArray& line) {
    const int skip = int(std::strlen(key.name));
    if (key.text) {
        const QString text = LocalText::decode(KeyValueText::textAfter(line, skip));
        debugLog("%s=%s", key.name, text.toUtf8().constData());
        record.*key.text = text;
        return;
    }
    qint64 value = 0;
    if (!KeyValueText::integerAfter(line, skip, &value))
        return;
    debugLog("%s=%d", key.name, clampToInt(value));
    if (value >= key.min + key.fileOffset && value <= key.max + key.fileOffset)
        record.*key.number = int(value - key.fileOffset);
}

// Reads every line of a settings file; false when the file does not open.
bool readFile(const QString& windowsPath, const QVector<SettingsKey>& keys, SettingsRecord& record,
              bool resetLandAfterEachLine) {
    QFile file(HostPath::toHost(windowsPath));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray line;
    while (KeyValueText::readPiece(file, &line)) {
        if (const SettingsKey* key = matchingKey(keys, line))
            applyLine(record, *key, line);
        if (resetLandAfterEachLine)
            record.land = 0;
    }
    return true;
}

// A stored text must not break the one-line-per-key layout.
QByteArray firstLineOf(const QString& text) {
    QByteArray bytes = LocalText::encode(text);
    for (int i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\r' || bytes.at(i) == '\n') {
            bytes.truncate(i);
            break;
        }
    }
    return bytes;
}

QByteArray fileContent(const SettingsRecord& record) {
    QByteArray content;
    for (const SettingsKey& key : SettingsKey::settingsFileKeys()) {
        if (!key.writable())
            continue;
        content += key.name;
        content += ' ';
        if (key.text)
            content += firstLineOf(record.*key.text);
        else
            content += QByteArray::number(record.*key.number + key.fileOffset);
        content += '\n';
    }
    return content;
}

} // namespace

void loadObservingSite(SettingsRecord& record) {
    if (readFile(SettingsFolder::file("Axilo.ini"), SettingsKey::axiloFileKeys(), record, false))
        debugLog("long=%d, lati=%d longWE=%d", record.long1, record.lati1, record.longWE);
}

void ensureSettingsPath(SettingsRecord& record) {
    SettingsFolder::ensure();
    record.path = SettingsFolder::file("Vesperix.ini");
}

void loadSettings(SettingsRecord& record) {
    readFile(record.path, SettingsKey::settingsFileKeys(), record, true);
    loadObservingSite(record);
    record.movAveN = 5;
    record.diff = 5;
}

void saveSettings(const SettingsRecord& record) {
    AtomicFile::writeLogged(HostPath::toHost(record.path), fileContent(record));
}
