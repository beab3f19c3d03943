#pragma once

#include <QDateTime>
#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <opencv2/core.hpp>
#include <optional>

namespace Ui {
class preview;
}
struct AxiloSettings;
class CameraDialog;
class TimeSetDialog;
class LocateDialog;
class FocalDialog;

// The polar scope's window: the picture at the left, the search patch, the clock, the site
// and the star's offset from its target at the right, and the buttons. The dialogs edit the
// settings record directly; each is made once and raised again while it is open.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindow(AxiloSettings& settings, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    void showPicture(const cv::Mat& bgr);
    void showPatch(const cv::Mat& bgr);
    void showDateTime(const QDateTime& local);
    void showSite();
    // The pole star's offset from its target in display pixels, x right and y up; hidden
    // when no star was found.
    void showStarOffset(const std::optional<QPointF>& offset);

signals:
    void pointPressed();
    void clearPressed();
    void zoomPressed();
    void widePressed();
    void centreClearPressed();
    void gainChanged(int step);
    // "Quit", or the window closed from its title bar: both end the program.
    void quitPressed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void openCameraDialog();
    void openTimeDialog();
    void openLocateDialog();
    void openFocalDialog();
    void toggleDayNight();
    void fitTexts();

    Ui::preview* ui;
    AxiloSettings& settings;
    QPointer<CameraDialog> cameraDialog;
    QPointer<TimeSetDialog> timeDialog;
    QPointer<LocateDialog> locateDialog;
    QPointer<FocalDialog> focalDialog;
};
