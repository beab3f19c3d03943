#include "RecommendList.h"

#include "DebugLog.h"
#include "HostPath.h"

#include <QFile>
#include <cmath>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the numeric fields of a line from left to right.
class Fields {
public:
    Fields(const QByteArray& line, int start)
        : text(line)
        , at(start) {}

    char peek() const { return at < text.size() ? text.at(at) : '\0'; }
    void skip() { ++at; }
    void skipBlanks() {
        while (peek() == ' ' || peek() == '\t')
            ++at;
    }

    // Digits, a fraction after a point where allowed, then one separator character.
    bool number(double* value, bool withFraction) {
        bool any = false;
        double v = 0;
        for (; isDigit(peek()); ++at, any = true)
            v = v * 10 + (peek() - '0');
        if (withFraction && peek() == '.') {
            ++at;
            double scale = 0.1;
            for (; isDigit(peek()); ++at, any = true, scale /= 10)
                v += (peek() - '0') * scale;
        }
        // A run of digits too long to be finite is no number.
        if (!any || !std::isfinite(v))
            return false;
        if (at < text.size())
            ++at;
        *value = v;
        return true;
    }

private:
    const QByteArray& text;
    int at;
};

} // namespace

const char* RecommendList::fileName(List list) {
    switch (list) {
    case Winter:
        return "winterList.txt";
    case Summer:
        return "summerList.txt";
    case Autumn:
        return "autumList.txt";
    case Galaxy:
        break;
    }
    return "galaxyList.txt";
}

RecommendList::List RecommendList::seasonOf(int month) {
    if (month >= 4 && month <= 8)
        return Summer;
    if (month >= 9 && month <= 11)
        return Autumn;
    return Winter;
}

std::optional<RecommendRow> RecommendList::parseLine(const QByteArray& line) {
    const int comma = line.indexOf(',');
    if (comma <= 0)
        return std::nullopt;
    Fields fields(line, comma + 1);
    fields.skipBlanks();
    double hours = 0, minutes = 0, seconds = 0;
    if (!fields.number(&hours, false) || !fields.number(&minutes, false) ||
        !fields.number(&seconds, true))
        return std::nullopt;
    double sign = 1;
    if (fields.peek() == '-' || fields.peek() == '+') {
        sign = fields.peek() == '-' ? -1 : 1;
        fields.skip();
    }
    double degrees = 0, arcMinutes = 0, arcSeconds = 0;
    if (!fields.number(&degrees, false) || !fields.number(&arcMinutes, false) ||
        !fields.number(&arcSeconds, true))
        return std::nullopt;
    RecommendRow row;
    row.picture = QString::fromUtf8(line.left(comma));
    row.ra = hours * 15 + minutes * 15 / 60 + seconds * 15 / 3600;
    row.dec = sign * (degrees + arcMinutes / 60 + arcSeconds / 3600);
    return row;
}

QVector<RecommendRow> RecommendList::load(const QString& programFolder, List list) {
    QFile file(HostPath::toHost(programFolder + "\\PNG\\" + fileName(list)));
    if (!file.open(QIODevice::ReadOnly)) {
        debugLog("file open error 1");
        return {};
    }
    QVector<RecommendRow> rows;
    while (!file.atEnd()) {
        if (const std::optional<RecommendRow> row = parseLine(file.readLine()))
            rows.append(*row);
    }
    return rows;
}

QString RecommendList::picturePath(const QString& programFolder, const QString& picture) {
    return HostPath::toHost(programFolder + "\\PNG\\" + picture);
}
