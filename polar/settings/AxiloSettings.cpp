#include "AxiloSettings.h"

#include "AtomicFile.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "KeyValueText.h"
#include "SettingsFolder.h"

#include <QFile>
#include <QVector>
#include <climits>
#include <cstring>

namespace {

using S = AxiloSettings;

// One line of the file: its key, the values it accepts and the field it fills, either of the
// record itself or of one of its stored sites.
struct Key {
    const char* name;
    int min;
    int max;
    int defaultValue;
    int S::*number;
    int site;
    int S::Site::*siteNumber;

    int& field(S& settings) const {
        return siteNumber ? settings.sites[site].*siteNumber : settings.*number;
    }
    int value(const S& settings) const {
        return siteNumber ? settings.sites[site].*siteNumber : settings.*number;
    }
};

// The key is spelled once, as the field name, so key and field cannot drift apart.
#define NUMBER(key, lo, hi, def)                                                                   \
    { #key, lo, hi, def, &S::key, 0, nullptr }
#define SITE_NUMBER(key, i, hi)                                                                    \
    { "p" #key "_" #i, 0, hi, 0, nullptr, i, &S::Site::key }
#define SITE(i)                                                                                    \
    SITE_NUMBER(long1, i, 359), SITE_NUMBER(long2, i, 59), SITE_NUMBER(lati1, i, 89),              \
        SITE_NUMBER(lati2, i, 59), SITE_NUMBER(longWE, i, 1)

// In the order in which the file is written.
const QVector<Key>& keys() {
    static const QVector<Key> table = {
        NUMBER(gain, 1, 10, 1),
        NUMBER(expo, 1, 5, 1),
        NUMBER(star, 1, 10, 1),
        NUMBER(long1, 0, 359, 139),
        NUMBER(long2, 0, 59, 0),
        NUMBER(lati1, 0, 89, 38),
        NUMBER(lati2, 0, 59, 0),
        SITE(0),
        SITE(1),
        SITE(2),
        SITE(3),
        NUMBER(gamma, 0, 10, 5),
        NUMBER(bright, 0, 10, 5),
        NUMBER(contrast, 0, 9, 3),
        NUMBER(flat, 1, 10, 1),
        NUMBER(cenX, 0, 1279, 640),
        NUMBER(cenY, 0, 959, 480),
        NUMBER(focalI, 0, 99, 25),
        NUMBER(focalF, 0, 99, 0),
        NUMBER(time, -24, 24, 9),
        // A flag, read in 0..1 as the main program reads it, so both programs agree on the side.
        NUMBER(longWE, 0, 1, 0),
    };
    return table;
}

#undef NUMBER
#undef SITE
#undef SITE_NUMBER

const Key* matchingKey(const QByteArray& line) {
    // The longest match wins, so a key that begins another never takes its lines.
    const Key* best = nullptr;
    for (const Key& key : keys()) {
        const int length = int(std::strlen(key.name));
        if (line.size() < length || std::strncmp(line.constData(), key.name, size_t(length)) != 0)
            continue;
        if (!best || length > int(std::strlen(best->name)))
            best = &key;
    }
    return best;
}

} // namespace

AxiloSettings::AxiloSettings() {
    setDefaults();
}

void AxiloSettings::setDefaults() {
    for (const Key& key : keys())
        key.field(*this) = key.defaultValue;
}

void AxiloSettings::ensurePath() {
    SettingsFolder::ensure();
    path = SettingsFolder::file("Axilo.ini");
}

void AxiloSettings::load() {
    QFile file(HostPath::toHost(path));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray line;
    while (KeyValueText::readPiece(file, &line)) {
        const Key* key = matchingKey(line);
        qint64 value = 0;
        if (!key || !KeyValueText::integerAfter(line, int(std::strlen(key->name)), &value))
            continue;
        debugLog("%s=%d", key->name, int(qBound<qint64>(INT_MIN, value, INT_MAX)));
        if (value >= key->min && value <= key->max)
            key->field(*this) = int(value);
    }
}

void AxiloSettings::save() const {
    QByteArray content;
    for (const Key& key : keys())
        content += key.name + QByteArray(" ") + QByteArray::number(key.value(*this)) + '\n';
    AtomicFile::writeLogged(HostPath::toHost(path), content);
}
