#include "LibraryValues.h"

#include "DebugLog.h"

#include <cstring>

int LibraryValues::count(int devices) const {
    if (devices >= 0)
        return devices;
    debugLog("%s: device count %d refused", qPrintable(library), devices);
    return 0;
}

bool LibraryValues::size(long width, long height) const {
    if (width >= 1 && width <= largestSide && height >= 1 && height <= largestSide)
        return true;
    debugLog("%s: size %ldx%ld refused", qPrintable(library), width, height);
    return false;
}

bool LibraryValues::positionCount(int positions) const {
    if (positions >= 0 && positions <= mostPositions)
        return true;
    debugLog("%s: position count %d refused", qPrintable(library), positions);
    return false;
}

bool LibraryValues::text(const char* field, std::size_t capacity, std::string* out) const {
    const void* end = std::memchr(field, '\0', capacity);
    if (!end) {
        debugLog("%s: name without its end refused", qPrintable(library));
        return false;
    }
    out->assign(field, static_cast<const char*>(end) - field);
    return true;
}
