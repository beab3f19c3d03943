#pragma once

#include "CanonLibrary.h"

#include <QStringList>

// The DSLR library's camera listing over the simulated DSLRs.
class SimCanonLibrary : public CanonLibrary {
public:
    explicit SimCanonLibrary(QStringList cameraNames);

    int initializeSdk() override;
    int getCameraList(Handle* list) override;
    int getChildCount(Handle list, int* count) override;
    int getChildAtIndex(Handle list, int index, Handle* camera) override;
    int getDeviceInfo(Handle camera, CanonDeviceInfo* info) override;

private:
    QStringList names;
    bool initialised = false;
};
