#pragma once

#include "CameraEntry.h"

#include <QVector>

// The cameras found by the enumerations, at most 20; further ones are ignored.
class CameraEntryList {
public:
    static constexpr int capacity = 20;

    void addCamera(const CameraEntry& entry);
    int count() const { return entries.size(); }
    const CameraEntry& at(int index) const { return entries.at(index); }
    void clear() { entries.clear(); }

    // "ZWO(0) ZWO ASI294MC Pro(Color) width=4144 height=2822"
    static QString rowText(const CameraEntry& entry);
    static const char* vendorLabel(int vendor);

private:
    QVector<CameraEntry> entries;
};
