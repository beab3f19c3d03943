#include "CameraEntryList.h"

#include "DebugLog.h"

const char* CameraEntryList::vendorLabel(int vendor) {
    static const char* const labels[] = {"PlayerOne", "ZWO", "SVBONY", "ORLENT", "CANON"};
    return vendor >= 0 && vendor < 5 ? labels[vendor] : "";
}

QString CameraEntryList::rowText(const CameraEntry& e) {
    return QString::asprintf("%s(%d) %s(%s) width=%d height=%d", vendorLabel(e.vendor), e.cameraId,
                             e.name.toUtf8().constData(), e.isColor ? "Color" : "Mono", e.width,
                             e.height);
}

void CameraEntryList::addCamera(const CameraEntry& entry) {
    if (entries.size() >= capacity)
        return;
    entries.append(entry);
    debugLog("%s", rowText(entry).toUtf8().constData());
}
