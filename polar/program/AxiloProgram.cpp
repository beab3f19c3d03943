#include "AxiloProgram.h"

#include "AxiloPrompt.h"
#include "Clock.h"
#include "DebugLog.h"
#include "PoleTarget.h"
#include "PreviewPicture.h"
#include "PreviewWindow.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <opencv2/imgproc.hpp>

namespace {

// How long a pass without a frame waits for the user.
constexpr int idleWaitMs = 50;
constexpr int blobCrossHalfLength = 16;

void tellUser(const QString& text) {
    AxiloPrompt::showMessage(text);
}

void waitForUser() {
    QEventLoop wait;
    QTimer::singleShot(int(Clock::realMs(idleWaitMs)), &wait, &QEventLoop::quit);
    wait.exec();
}

} // namespace

AxiloProgram::AxiloProgram(const QString& programFolder)
    : programFolder(programFolder)
    , preview(std::make_unique<PreviewWindow>(record))
    , pointDetector(tellUser)
    , poleSearch(tellUser)
    , black(PreviewPicture::height, PreviewPicture::width, CV_8UC1, cv::Scalar(0)) {
    connect(preview.get(), &PreviewWindow::pointPressed, this, &AxiloProgram::takePoint);
    connect(preview.get(), &PreviewWindow::clearPressed, this, [this] { points.dropLast(); });
    connect(preview.get(), &PreviewWindow::zoomPressed, this,
            [this] { zoom = PreviewPicture::nextZoomLevel(zoom, 1, axisCentre()); });
    connect(preview.get(), &PreviewWindow::widePressed, this,
            [this] { zoom = PreviewPicture::nextZoomLevel(zoom, -1, axisCentre()); });
    connect(preview.get(), &PreviewWindow::centreClearPressed, this, &AxiloProgram::clearCentre);
    connect(preview.get(), &PreviewWindow::gainChanged, this, &AxiloProgram::changeGain);
    connect(preview.get(), &PreviewWindow::quitPressed, this, &AxiloProgram::requestQuit);
}

AxiloProgram::~AxiloProgram() = default;

void AxiloProgram::start() {
    record.ensurePath();
    record.load();
    preview->showSite();
    preview->show();
    camera.start(programFolder);
}

int AxiloProgram::run() {
    while (!quitting)
        mainLoopPass();
    return 0;
}

void AxiloProgram::mainLoopPass() {
    QCoreApplication::processEvents();
    if (quitting)
        return;
    preview->showDateTime(Clock::currentDateTime());
    if (camera.usable() && !busy && camera.read(frame) && fold.fold(frame)) {
        showFrame(fold.grey(), fold.threshold());
        return;
    }
    // No camera, or no frame from it: the reticle on black, and the user is answered while
    // the pass waits instead of spinning.
    showFrame(black, 0);
    waitForUser();
}

QPoint AxiloProgram::axisCentre() const {
    return QPoint(record.cenX / 2, record.cenY / 2);
}

void AxiloProgram::showFrame(const cv::Mat& grey, int threshold) {
    const QDateTime now = Clock::currentDateTime();
    PreviewPicture::Reticle reticle;
    reticle.zoomLevel = zoom;
    reticle.axisCentre = axisCentre();
    for (const QPoint& point : points.points())
        reticle.points << point / 2;
    reticle.ringRadius = PoleTarget::ringRadius(now.date().year(), record.focalI, record.focalF);
    reticle.target = QPointF(reticle.axisCentre) +
                     PoleTarget::apparentTargetOffset(
                         now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                         now.time().minute(), now.time().second(), record.long1, record.long2,
                         record.longWE != 0, record.time, record.focalI, record.focalF);
    // Without a frame the picture changes only with the reticle: drawn again, it would cost
    // a waiting program its share of a core.
    const bool noFrame = grey.data == black.data;
    if (noFrame && shownOnBlack && shownOnBlack->drawsLike(reticle))
        return;
    shownOnBlack = noFrame ? std::optional(reticle) : std::nullopt;
    poleSearch.search(grey, threshold, reticle.target);
    preview->showStarOffset(poleSearch.offset());
    if (const auto star = poleSearch.star())
        reticle.star = star->toPoint();
    preview->showPicture(PreviewPicture::draw(grey, reticle));
    preview->showPatch(poleSearch.magnifiedPatch());
}

void AxiloProgram::takePoint() {
    if (points.hasCentre()) {
        points.clear();
        return;
    }
    if (points.wantsStar()) {
        takeStar();
        return;
    }
    const PoleTarget::AxisCentre centre = points.computeCentre();
    if (centre.outcome == PoleTarget::Outcome::Taken) {
        record.cenX = centre.centre.x();
        record.cenY = centre.centre.y();
    }
}

void AxiloProgram::takeStar() {
    if (!camera.read(frame) || !fold.fold(frame)) {
        debugLog("No star");
        tellUser(QStringLiteral("No star"));
        return;
    }
    const cv::Mat& grey = fold.grey();
    debugLog("Limit = %d", fold.threshold());
    pointDetector.searchFrame(grey, fold.threshold(),
                              cv::Point(axisCentre().x(), axisCentre().y()));
    const std::vector<StarBlob>& blobs = pointDetector.blobs();
    if (blobs.empty()) {
        debugLog("No star");
        tellUser(QStringLiteral("No star"));
        return;
    }
    cv::Mat picture;
    cv::cvtColor(grey, picture, cv::COLOR_GRAY2BGR);
    for (int i = 0; i < int(blobs.size()); ++i) {
        const bool chosen = i == pointDetector.chosen();
        PreviewPicture::drawCross(picture, QPointF(blobs[i].centroidX(), blobs[i].centroidY()),
                                  blobCrossHalfLength,
                                  chosen ? cv::Scalar(0, 255, 0) : cv::Scalar(0, 0, 255));
    }
    preview->showPicture(picture);
    if (pointDetector.chosen() < 0) {
        debugLog("Cannot select star");
        tellUser(QStringLiteral("Cannot select star"));
        return;
    }
    const StarBlob& star = blobs[size_t(pointDetector.chosen())];
    points.add(QPoint(qRound(star.centroidX() * 2), qRound(star.centroidY() * 2)));
}

void AxiloProgram::clearCentre() {
    if (!AxiloPrompt::ask(QStringLiteral("Warnning"), QStringLiteral("Clear Origin")))
        return;
    record.cenX = 640;
    record.cenY = 480;
}

void AxiloProgram::changeGain(int step) {
    busy = true;
    camera.reopenWithGain(step);
    busy = false;
}

void AxiloProgram::requestQuit() {
    record.save();
    quitting = true;
}
