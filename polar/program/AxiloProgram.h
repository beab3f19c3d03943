#pragma once

#include "AxiloCamera.h"
#include "AxiloSettings.h"
#include "AxiloStarDetector.h"
#include "FrameFold.h"
#include "PoleStarSearch.h"
#include "PreviewPicture.h"
#include "StarPoints.h"

#include <QObject>
#include <QString>
#include <memory>
#include <opencv2/core.hpp>
#include <optional>

class PreviewWindow;

// The polar-alignment program: start-up, then one pass of the main loop after another until
// the user quits. Each pass shows the clock, reads a frame, finds the pole star near where it
// belongs and draws the picture with the axis centre, the ring and the target.
class AxiloProgram : public QObject {
    Q_OBJECT
public:
    // `programFolder`: the Windows form of the folder the program and uvc_camera are in.
    explicit AxiloProgram(const QString& programFolder);
    ~AxiloProgram() override;

    // Loads the settings, shows the window and opens the camera.
    void start();
    // One pass of the main loop. With a camera it waits for the next frame; without one it
    // waits for the user for about 50 ms, so an idle program costs nothing.
    void mainLoopPass();
    // Passes until the user quits; the program's exit status.
    int run();
    // "Quit": the settings are written and the loop ends after this pass.
    void requestQuit();

    bool quitRequested() const { return quitting; }
    PreviewWindow& window() { return *preview; }
    const AxiloSettings& settings() const { return record; }
    int zoomLevel() const { return zoom; }
    const StarPoints& starPoints() const { return points; }

private:
    void showFrame(const cv::Mat& grey, int threshold);
    QPoint axisCentre() const; // display pixels
    void takePoint();
    void takeStar();
    void clearCentre();
    void changeGain(int step);

    const QString programFolder;
    AxiloSettings record;
    std::unique_ptr<PreviewWindow> preview;
    AxiloCamera camera;
    FrameFold fold;
    AxiloStarDetector pointDetector;
    PoleStarSearch poleSearch;
    StarPoints points;
    cv::Mat frame;
    cv::Mat black;
    std::optional<PreviewPicture::Reticle> shownOnBlack; // the reticle last drawn on black
    int zoom = 1;
    bool busy = false; // the camera is being reopened
    bool quitting = false;
};
