#pragma once

#include "PlayerOneLibrary.h"

#include <QVector>

class SimCallLog;
class SimCamera;

// The Player One library over the simulated cameras of that maker.
class SimPlayerOneLibrary : public PlayerOneLibrary {
public:
    SimPlayerOneLibrary(QVector<SimCamera*> cameras, SimCallLog& log);

    int getCameraCount() override;
    int getCameraProperties(int index, PoaCameraProperties* out) override;
    int openCamera(int id) override;
    int initCamera(int id) override;
    int getConfigsCount(int id, int* count) override;
    int getConfigAttributes(int id, int index, PoaConfigAttributes* out) override;
    int getConfig(int id, int config, PoaConfigValue* value, bool* isAuto) override;
    int setConfig(int id, int config, PoaConfigValue value, bool isAuto) override;
    int getCameraState(int id, int* state) override;
    int startExposure(int id, bool singleFrame) override;
    int stopExposure(int id) override;
    int getImageStartPos(int id, int* x, int* y) override;
    int getImageSize(int id, int* width, int* height) override;
    int setImageSize(int id, int width, int height) override;
    int setImageBin(int id, int bin) override;
    int setImageFormat(int id, int format) override;
    int imageReady(int id, bool* ready) override;
    int getImageData(int id, std::uint8_t* buffer, long bytes, int timeoutMs) override;
    const char* getErrorString(int error) override;

private:
    SimCamera* camera(int id) const;

    QVector<SimCamera*> cameras;
    SimCallLog& log;
};
