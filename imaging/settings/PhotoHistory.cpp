#include "PhotoHistory.h"

#include "AtomicFile.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "SettingsFolder.h"

#include <QFile>
#include <cmath>

namespace {

QString historyFile() {
    return SettingsFolder::file("phtohist.txt");
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// One field: blanks and tabs, an optional '-', integer digits, an optional '.' and fraction
// digits; no exponent. A field without digits is 0, and so is one too long to be finite.
double parseField(const QByteArray& line, int* at) {
    int i = *at;
    while (i < line.size() && (line.at(i) == ' ' || line.at(i) == '\t'))
        ++i;
    const bool negative = i < line.size() && line.at(i) == '-';
    if (negative)
        ++i;
    double value = 0;
    for (; i < line.size() && isDigit(line.at(i)); ++i)
        value = value * 10 + (line.at(i) - '0');
    if (i < line.size() && line.at(i) == '.') {
        double scale = 0.1;
        for (++i; i < line.size() && isDigit(line.at(i)); ++i, scale /= 10)
            value += (line.at(i) - '0') * scale;
    }
    *at = i;
    if (!std::isfinite(value))
        return 0;
    return negative ? -value : value;
}

// A line is read up to a sane length; the rest of an overlong line is skipped.
QByteArray readBoundedLine(QFile& file) {
    constexpr qint64 maxLine = 1024;
    const QByteArray line = file.readLine(maxLine);
    if (!line.endsWith('\n')) {
        while (!file.atEnd() && !file.readLine(maxLine).endsWith('\n')) {
        }
    }
    return line;
}

PhotoHistoryEntry parseLine(const QByteArray& line) {
    PhotoHistoryEntry entry{};
    int at = 0;
    for (double& field : entry)
        field = parseField(line, &at);
    return entry;
}

} // namespace

std::optional<PhotoHistoryEntry> PhotoHistory::entry(int index) const {
    if (index < 0 || index >= count())
        return std::nullopt;
    return entries.at(index);
}

void PhotoHistory::add(double ra, double dec, double widthAngle, double heightAngle,
                       double rotation) {
    if (count() >= capacity)
        entries.removeFirst();
    entries.append({ra, dec, widthAngle, heightAngle, rotation});
    save();
}

void PhotoHistory::clear() {
    entries.clear();
    save();
}

void PhotoHistory::removeFirst() {
    if (entries.isEmpty())
        return;
    entries.removeFirst();
    save();
}

void PhotoHistory::removeLast() {
    if (!entries.isEmpty())
        entries.removeLast();
}

void PhotoHistory::load() {
    QFile file(HostPath::toHost(historyFile()));
    if (!file.open(QIODevice::ReadOnly)) {
        debugLog("file open error photolist");
        return;
    }
    entries.clear();
    while (!file.atEnd()) {
        if (count() >= capacity)
            entries.removeFirst();
        entries.append(parseLine(readBoundedLine(file)));
    }
    for (const PhotoHistoryEntry& e : qAsConst(entries))
        debugLog("%f %f %f %f %f", e[0], e[1], e[2], e[3], e[4]);
}

void PhotoHistory::save() const {
    SettingsFolder::ensure();
    QByteArray content;
    for (const PhotoHistoryEntry& e : entries)
        content += QString::asprintf("%f %f %f %f %f\n", e[0], e[1], e[2], e[3], e[4]).toUtf8();
    if (AtomicFile::write(HostPath::toHost(historyFile()), content) != AtomicFile::Written)
        debugLog("cannot create file photolist");
}
