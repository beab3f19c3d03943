#pragma once

#include "LibraryValues.h"
#include "PlayerOneLibrary.h"
#include "SharedLibrary.h"

#include <QMutex>
#include <map>
#include <memory>
#include <string>

// The Player One camera library (PlayerOneCamera), loaded at run time. Installed only when
// present(): the library was found and exports every function the program calls.
class PlayerOneBinding : public PlayerOneLibrary {
public:
    PlayerOneBinding();
    ~PlayerOneBinding() override;

    bool present() const { return functions != nullptr; }

    int getCameraCount() override;
    int getCameraProperties(int index, PoaCameraProperties* properties) override;
    int openCamera(int id) override;
    int initCamera(int id) override;
    int getConfigsCount(int id, int* count) override;
    int getConfigAttributes(int id, int index, PoaConfigAttributes* attributes) override;
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
    struct Functions;

    SharedLibrary library;
    LibraryValues values;
    std::unique_ptr<Functions> functions;
    // The library's error texts, copied once per code and kept, so each pointer handed out
    // stays valid however many are in use at once.
    QMutex errorTextsMutex;
    std::map<int, std::string> errorTexts;
};
