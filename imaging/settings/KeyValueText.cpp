#include "KeyValueText.h"

#include <QIODevice>

namespace {

constexpr qint64 saturation = Q_INT64_C(1) << 40;

int skipBlanks(const QByteArray& line, int at) {
    while (at < line.size() && (line.at(at) == ' ' || line.at(at) == '\t'))
        ++at;
    return at;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool KeyValueText::readPiece(QIODevice& in, QByteArray* piece, int bufferSize) {
    piece->resize(bufferSize);
    const qint64 got = in.readLine(piece->data(), bufferSize);
    if (got <= 0) {
        piece->clear();
        return false;
    }
    piece->resize(int(got));
    const int nul = piece->indexOf('\0');
    if (nul >= 0)
        piece->truncate(nul);
    return true;
}

bool KeyValueText::readLine(QIODevice& in, QByteArray* line) {
    *line = in.readLine();
    if (line->isEmpty())
        return false;
    const int nul = line->indexOf('\0');
    if (nul >= 0)
        line->truncate(nul);
    return true;
}

bool KeyValueText::integerAfter(const QByteArray& line, int skip, qint64* value) {
    if (skip > line.size())
        return false;
    int at = skipBlanks(line, skip);
    const bool negative = at < line.size() && line.at(at) == '-';
    if (negative)
        ++at;
    if (at >= line.size() || !isDigit(line.at(at)))
        return false;
    qint64 number = 0;
    for (; at < line.size() && isDigit(line.at(at)); ++at) {
        if (number < saturation)
            number = number * 10 + (line.at(at) - '0');
    }
    *value = negative ? -number : number;
    return true;
}

QByteArray KeyValueText::textAfter(const QByteArray& line, int skip) {
    if (skip > line.size())
        return {};
    const int start = skipBlanks(line, skip);
    int end = start;
    while (end < line.size() && line.at(end) != '\r' && line.at(end) != '\n')
        ++end;
    return line.mid(start, end - start);
}
