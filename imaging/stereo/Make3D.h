#pragma once

#include "ShootingData.h"
#include "StarlessRun.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class AsideWork;
class Conv3DDialog;
class DataFolder;
class MessageDialog;
class StereoJob;
class QWidget;
struct SettingsRecord;

// "3D化": a stored frame of the data folder made into a stereo file beside it. StarNet++ takes
// the stars out of the frame, the stars are given depths and composed into two views over the
// starless sky, and the result is listed in the data folder. Nothing here holds up the
// program: the files are read and written aside, StarNet++ is watched from a timer, and the
// box ("解析中") shows while a conversion is under way; closing it ("中断") ends it.
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
    enum class Phase { Idle, Preparing, Starless, Composing };

    void chosen();
    void prepare();
    void watch();
    void watchPreparing();
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
    // Written by the preparation aside, read once it is done.
    ShootingData sourceData;
    cv::Size size;
    bool prepared = false;
    std::unique_ptr<AsideWork> preparing;
    StarlessRun starless;
    std::unique_ptr<StereoJob> job;
};
