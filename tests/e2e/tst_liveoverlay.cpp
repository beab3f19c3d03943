// The sky chart over the live picture on the simulated observatory: for each turn of the
// camera on the sky (known to the program as it would be from plate solving) and each turn the
// user gives the view, the chart's bright stars fall on the stars of the picture, and a
// photographed field of the current pointing outlines the picture's edges.
#include "CameraDevice.h"
#include "Clock.h"
#include "E2eFrames.h"
#include "E2eProgram.h"
#include "ImageDisplay.h"
#include "LiveChartOverlay.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "PhotoHistory.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SimObservatory.h"
#include "StarCatalog.h"

#include <QtTest>
#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace {

bool yellowish(const cv::Vec3b& p) {
    return p[2] > 120 && p[1] > 120 && p[0] < 90;
}

// A yellow pixel within `reach` pixels of the point across the edge (along `across`).
bool yellowNear(const cv::Mat& canvas, cv::Point2d at, cv::Point2d across, int reach) {
    for (int d = -reach; d <= reach; ++d) {
        const cv::Point p(cvRound(at.x + d * across.x), cvRound(at.y + d * across.y));
        if (p.inside(cv::Rect(0, 0, canvas.cols, canvas.rows)) &&
            yellowish(canvas.at<cv::Vec3b>(p)))
            return true;
    }
    return false;
}

double fieldAngle(int pixels, double pixelUm, int focalMm) {
    return 2 * std::atan(pixels * pixelUm / 1000 / (2.0 * focalMm)) * 180 / M_PI;
}

} // namespace

class TestLiveOverlay : public QObject {
    Q_OBJECT
private slots:
    void overlayOnTheSky();
};

void TestLiveOverlay::overlayOnTheSky() {
    E2eProgram e2e;
    MainProgram& program = e2e.program();
    ImageDisplay& display = program.display();
    ProcessState& state = e2e.state();
    state.photoHistory->clear();
    int shown = 0;
    const auto present = display.present;
    display.present = [&](const QImage& image) {
        ++shown;
        if (present)
            present(image);
    };
    ImageDisplay::LivePicture picture;
    const auto overlay = display.chartOverlay;
    display.chartOverlay = [&](cv::Mat& canvas, const ImageDisplay::LivePicture& live) {
        picture = live;
        overlay(canvas, live);
    };
    // Stars as large on the small live picture as the star-spot detector wants them.
    program.sim()->optics().seeingFwhmArcsec = 30;
    // The stars alone: the brightest of them sit in the nebula's glow.
    program.sim()->optics().deepSky = false;
    e2e.settings().lexposure = 10; // 1 s
    e2e.settings().lgain = 20;
    state.liveStretch = true;
    QVERIFY(e2e.press("pushButton_7"));
    QVERIFY(e2e.runUntil([&] { return shown >= 2; }, 20000));

    const struct { int cameraTurns, displayTurns; } views[] = {{0, 0}, {1, 2}, {2, 3}, {3, 1}};
    for (const auto& view : views) {
        const QString name =
            QString("camera %1, view %2").arg(view.cameraTurns).arg(view.displayTurns);
        program.sim()->optics().rotationDeg = -90.0 * view.cameraTurns;
        display.view().cameraRotation = view.cameraTurns;
        display.view().displayRotation = view.displayTurns;
        display.setDisplayGeometry(picture.frameSize.width, picture.frameSize.height);
        const SimOptics sky = program.sim()->opticsAt(Clock::nowMs());
        state.syncPointRa = sky.pointingRa;
        state.syncPointDec = sky.pointingDec;
        const int before = shown;
        QVERIFY(e2e.runUntil([&] { return shown >= before + 3; }, 20000));

        state.liveOverlayOn = false;
        display.redraw();
        const std::vector<cv::Point2d> found = canvasStars(display.canvas(), picture.onCanvas);
        state.liveOverlayOn = true;
        display.redraw();
        const ChartProjection& projection = program.liveOverlay().projection();

        // The five brightest catalogue stars well inside the picture.
        std::vector<std::pair<double, cv::Point2d>> bright;
        const cv::Rect inner(picture.onCanvas.x + 15, picture.onCanvas.y + 15,
                             picture.onCanvas.width - 30, picture.onCanvas.height - 30);
        for (const CatalogStar& star : program.sim()->catalog().stars) {
            cv::Point2d at;
            if (projection.project(star.ra, star.dec, &at) && inner.contains(cv::Point(at)))
                bright.push_back({star.vmag, at});
        }
        std::sort(bright.begin(), bright.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        QVERIFY2(bright.size() >= 5, qPrintable(name));
        for (std::size_t i = 0; i < 5; ++i) {
            double nearest = 1e9;
            for (const cv::Point2d& star : found)
                nearest = std::min(nearest, cv::norm(star - bright[i].second));
            QVERIFY2(nearest <= 3,
                     qPrintable(QString("%1: star %2 off by %3 px").arg(name).arg(i).arg(nearest)));
        }

        // The field being photographed, as a light series would record it.
        state.photoHistory->clear();
        const int focal = e2e.settings()._focal;
        state.photoHistory->add(sky.pointingRa, sky.pointingDec,
                                fieldAngle(state.camera->width, state.camera->pixelSizeUm, focal),
                                fieldAngle(state.camera->height, state.camera->pixelSizeUm, focal),
                                90.0 * view.cameraTurns);
        display.redraw();
        const cv::Rect r = picture.onCanvas;
        const cv::Point2d middles[][2] = {
            {{r.x + r.width / 2.0, double(r.y)}, {0, 1}},
            {{r.x + r.width / 2.0, double(r.y + r.height - 1)}, {0, 1}},
            {{double(r.x), r.y + r.height / 2.0}, {1, 0}},
            {{double(r.x + r.width - 1), r.y + r.height / 2.0}, {1, 0}}};
        for (const auto& [at, across] : middles)
            QVERIFY2(yellowNear(display.canvas(), at, across, 3), qPrintable(name));
        saveScreenshot(&e2e.window(), "LiveOverlay " + name);
    }

    // Zoomed in, or switched off: the picture alone.
    state.liveOverlayOn = false;
    display.redraw();
    const cv::Mat without = display.canvas().clone();
    state.liveOverlayOn = true;
    display.view().zoom = 2;
    display.redraw();
    const cv::Mat zoomed = display.canvas().clone();
    state.liveOverlayOn = false;
    display.redraw();
    QCOMPARE(cv::norm(zoomed, display.canvas(), cv::NORM_INF), 0.0);
    display.view().zoom = 1;
    display.redraw();
    QCOMPARE(cv::norm(without, display.canvas(), cv::NORM_INF), 0.0);
}

QTEST_MAIN(TestLiveOverlay)
#include "tst_liveoverlay.moc"
