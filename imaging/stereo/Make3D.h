#pragma once

#include "ShootingData.h"
#include "StarlessRun.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class Conv3DDialog;
class DataFolder;
class MessageDialog;
class StereoJob;
class QWidget;
struct SettingsRecord;

// "3D化": a stored frame of the data folder made into a stereo file beside it. StarNet++ takes
// the stars out of the frame, the stars are given depths and composed into two views over the
// starless sky, and the result is listed in the data folder. Nothing here holds up the
// program: StarNet++ is watched from a timer and the composition runs aside, while the box
// ("解析中") is the one token of a conversion; closing it ("中断") ends the conversion.
class Make3D : public QObject {
    Q_OBJECT
public:
    Make3D(SettingsRecord& settings, DataFolder& folder, const QString& appDir, QWidget& window);
    ~Make3D() override;

    // On a file of the data folder (Windows path), turned by the main view's quarter turns.
    void start(const QString& sourcePath, int rotation);
    bool inProgress() const;

    // The 3D file has been written and is the data folder's current file.
    std::function<void()> listed;

private:
    enum class Phase { Idle, Starless, Composing };

    void chosen();
    void startStarless();
    void watch();
    void watchStarless();
    void watchComposing();
    void list();
    void end();
    bool boxOpen() const;

    SettingsRecord& settings;
    DataFolder& folder;
    const QString appDir;
    QWidget& window;
    QPointer<Conv3DDialog> dialog;
    QPointer<MessageDialog> box;
    QTimer timer;
    Phase phase = Phase::Idle;
    QString source;
    QString output;
    int rotation = 0;
    ShootingData sourceData;
    cv::Size size;
    StarlessRun starless;
    std::unique_ptr<StereoJob> job;
};
