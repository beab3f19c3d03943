#pragma once

#include <QString>
#include <cstddef>
#include <string>

// What a maker's library hands back is checked before the program relies on it: a count or a
// size out of range, or a name that does not end inside its field, is refused with a log line
// and never used to size anything.
class LibraryValues {
public:
    // The largest sensor side taken; today's largest sensors are under 15000 pixels.
    static constexpr long largestSide = 32768;
    // The most positions taken for a filter wheel, well above any wheel made today.
    static constexpr int mostPositions = 32;

    explicit LibraryValues(const QString& libraryName)
        : library(libraryName) {}

    // A device count; a negative one counts as none.
    int count(int devices) const;
    // A sensor or image size of 1 to largestSide pixels a side.
    bool size(long width, long height) const;
    // A filter wheel's position count of 0 to mostPositions.
    bool positionCount(int positions) const;
    // A name in a fixed field of `capacity` characters; false when it has no end there.
    bool text(const char* field, std::size_t capacity, std::string* out) const;

private:
    QString library;
};
