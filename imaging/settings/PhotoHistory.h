#pragma once

#include <QVector>
#include <array>
#include <optional>

// One photographed sky field, drawn on the sky chart: right ascension and declination of the
// centre, the field angles along the image width and height, and the frame's rotation, all in
// degrees.
using PhotoHistoryEntry = std::array<double, 5>;

// The list of photographed fields in "C:\OrlentVesperixIni\phtohist.txt", oldest first, at
// most `capacity` entries. A full list drops its oldest entry when another is added, and a
// longer file keeps its newest entries.
class PhotoHistory {
public:
    static constexpr int capacity = 100;

    int count() const { return int(entries.size()); }
    std::optional<PhotoHistoryEntry> entry(int index) const;

    // These three save the file.
    void add(double ra, double dec, double widthAngle, double heightAngle, double rotation);
    void clear();
    void removeFirst();

    // Drops the newest entry in memory only; the file keeps it until the next save.
    void removeLast();

    void load();

private:
    void save() const;

    QVector<PhotoHistoryEntry> entries;
};
