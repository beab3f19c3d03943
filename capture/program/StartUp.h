#pragma once

#include <QSize>
#include <QString>

class CameraDevice;
class PhotoHistory;
class QWidget;
struct SettingsRecord;

// The first steps of the main program, before any window exists: the record's defaults, the
// settings folder and its log file, the settings file and the photo history.
void loadStartUpSettings(SettingsRecord& settings, PhotoHistory& photoHistory);

// Lists the cameras of every vendor (the USB video camera only in digital-camera mode, the
// DSLRs always, after the emptiness test), lets the user choose when there are two or more,
// and opens the choice. Returns false when no camera could be offered, none was chosen or the
// choice did not open.
bool chooseAndOpenCamera(CameraDevice& camera, bool digitalCameraMode, const QString& appDir,
                         QWidget* parent);

// The main window fills a small desktop: one at most 1280 wide or 800 high.
bool opensFullScreen(QSize desktop);
