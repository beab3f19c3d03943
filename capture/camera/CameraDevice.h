#pragma once

#include "UvcCapture.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

class QMutex;
struct SettingsRecord;

// The vendor-neutral camera: one object for the main camera, one for the guide camera. Every
// operation is one switch on `vendor`. Library failures go to the debug log only.
class CameraDevice {
public:
    enum Vendor { PlayerOne = 0, Asi = 1, Svbony = 2, Uvc = 3, Canon = 4 };

    // `stateMutex` guards the SVBONY snap-pending flag, shared with the capture state. The
    // camera tables are read from `appDir`; the `pixSize` setting is the pixel size fallback.
    CameraDevice(QMutex& stateMutex, const QString& appDir, const SettingsRecord& settings);
    ~CameraDevice();

    int offset = 0;
    int width = 0;
    int height = 0;
    QString name;
    QString sensorName;
    bool isColor = false;
    bool hasCooler = false;
    int bayerPattern = 0;
    std::unique_ptr<UvcCapture> uvc;
    double pixelSizeUm = 0;
    int cameraId = 0;
    int vendorCode = 0;
    int gainMin = 0;
    int gainMax = 0;
    int exposureUs = 0;
    int frameWaitMs = 0;

    int vendor() const { return vendorCode; }

    // Opening: fills the fields above in the libraries' call order.
    void openPlayerOne(int index);
    void openAsi(int cameraId);
    void openSvbony(int index);
    void openUvc(int index);
    // Pixel size from the program folder's camera table, else the `pixSize` fallback.
    void loadPixelSize();

    // Settings.
    void setExposureUs(int us);
    void setExposureIndex(int index);
    void setGain(int step);
    void setFormat(int width, int height, int bin, int bits);
    void setTargetTemperature(int celsius);
    void coolerOn();
    void coolerOff();
    int getTemperature();

    // Acquisition.
    void startSnap();
    void stopSnap();
    void startVideo();
    void stopVideo();
    bool isExposing();
    bool getSnapData(std::uint8_t* buffer, long bytes);
    bool getVideoData(std::uint8_t* buffer, long bytes);

    // The SVBONY long exposure is read by its own thread: one blocking read into the snap
    // buffer (at most svbonySnapWaitMs), then the pending flag clears. False when the read
    // failed and the flag stays set.
    bool readSvbonySnap();
    bool svbonySnapIsPending() const;
    static constexpr int svbonySnapWaitMs = 100000;

    // The exposure of an index of the exposure table (0..13), in microseconds.
    static int exposureTableUs(int index);

private:
    void setPlayerOneConfigAroundVideo(int config, long value);
    void setCooler(bool on);
    void logPlayerOneError(const char* format, int error);
    void logAsiControls();
    void readSvbonyControls();

    QMutex& stateMutex;
    const QString appDir;
    const SettingsRecord& settings;
    bool svbonySnapPending = false;
    QByteArray svbonySnapBuffer;
};
