#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <optional>

// One showpiece object: its picture in the PNG folder and where it is (degrees).
struct RecommendRow {
    QString picture;
    double ra = 0;
    double dec = 0;
};

// The lists of showpiece objects in the PNG folder beside the program. A line is the
// picture's file name up to ",", optional spaces or tabs, then RA hours, minutes and seconds
// and Dec sign, degrees, minutes and seconds, each field followed by one separator character
// ("M42.png, 05 35 24.0 -05 27 00"); seconds may carry a fraction.
class RecommendList {
public:
    enum List { Winter, Summer, Autumn, Galaxy };

    static const char* fileName(List list);
    // The seasonal list for a month 1..12.
    static List seasonOf(int month);

    // Nothing for a line without a name, a "," or any of the six numbers.
    static std::optional<RecommendRow> parseLine(const QByteArray& line);
    // The rows of the list's lines that parse; an empty list when the file does not open.
    static QVector<RecommendRow> load(const QString& programFolder, List list);
    static QString picturePath(const QString& programFolder, const QString& picture);
};
