#pragma once

#include <QString>

struct ShootingData;

// What the capture shows in the main window, so the capture logic runs without widgets.
class CaptureScreen {
public:
    virtual ~CaptureScreen() = default;
    // The window mode: 0 idle, 1 live view, 2 capturing, 3 viewing the last image.
    virtual void setMode(int mode) = 0;
    virtual void showTimeText(const QString& text) = 0;
    virtual void showFileName(const QString& text) = 0;
    // The shooting data of the frame just put on screen, for the info panel.
    virtual void showShootingInfo(const ShootingData& data, const QString& date) = 0;
    // The names of the master dark and flat, after a series has made one.
    virtual void showMasterNames(const QString& dark, const QString& flat) = 0;
    // The sensor temperature of a cooled camera.
    virtual void showTemperature(int celsius) = 0;
};
