// The finger on the live view and on the goto chart, on the simulated observatory: a drag on
// the live picture moves the telescope so that the star under the finger follows it, for
// each turn of the camera and of the view, at the equator and high up; with sync by touch
// the chart follows the finger instead and the mount stays; and the goto chart goes back to
// where it was after a drag and back, across RA 0 and over the pole. The sky of 2024-03-20
// 21:00 at 139 degrees east, 38 north.
#include "Clock.h"
#include "E2eFrames.h"
#include "E2eMount.h"
#include "E2eProgram.h"
#include "Goto.h"
#include "ImageDisplay.h"
#include "LiveChartOverlay.h"
#include "MainProgram.h"
#include "MainWindow.h"
#include "MountControl.h"
#include "ProcessState.h"
#include "Screenshot.h"
#include "SettingsRecord.h"
#include "SimEquatorialMount.h"
#include "SimMountController.h"
#include "SimObservatory.h"
#include "SkyChart.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QtTest>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace {

E2eProgram::Options observingNight() {
    E2eProgram::Options options;
    options.clockScale = 20;
    options.clockStart = QDateTime(QDate(2024, 3, 20), QTime(21, 0));
    return options;
}

QTouchDevice* touchScreen() {
    static QTouchDevice* device = QTest::createTouchDevice();
    return device;
}

// One finger from `from` to `to` in a few steps, in the widget's pixels.
void drag(QWidget* widget, QPoint from, QPoint to) {
    constexpr int steps = 8;
    QTest::touchEvent(widget, touchScreen()).press(0, from, widget);
    for (int i = 1; i <= steps; ++i)
        QTest::touchEvent(widget, touchScreen()).move(0, from + (to - from) * i / steps, widget);
    QTest::touchEvent(widget, touchScreen()).release(0, to, widget);
}

// A live view with the stars large enough for the star-spot detector, the mount connected
// and the telescope turned by hand onto a field and synced there.
struct LiveSession {
    E2eProgram e2e{observingNight()};
    ImageDisplay::LivePicture picture;
    bool drawOverlay = false;

    bool start() {
        MainProgram& program = e2e.program();
        program.sim()->setGuidingErrors(false);
        program.sim()->optics().seeingFwhmArcsec = 30;
        e2e.settings().lexposure = 12; // 4 s
        e2e.settings().lgain = 25;
        e2e.state().liveStretch = true;
        ImageDisplay& display = program.display();
        const auto overlay = display.chartOverlay;
        display.chartOverlay = [this, overlay](cv::Mat& canvas,
                                               const ImageDisplay::LivePicture& live) {
            picture = live;
            if (drawOverlay)
                overlay(canvas, live);
        };
        return connectMount(e2e) && e2e.press("pushButton_7") && frames(2);
    }
    bool frames(int count) {
        const int until = e2e.program().display().frameNumber() + count;
        return e2e.runUntil([&] { return e2e.program().display().frameNumber() >= until; }, 30000);
    }
    SimEquatorialMount& truth() { return controller(e2e).mount(); }
    void pointAt(double ra, double dec) {
        truth().turnTo(ra, dec, 1);
        const SimPointing p = truth().pointing(Clock::nowMs());
        e2e.state().syncPointRa = p.ra;
        e2e.state().syncPointDec = p.dec;
        e2e.state().mount->requestRebase();
    }
    void turn(int cameraTurns, int displayTurns) {
        MainProgram& program = e2e.program();
        program.sim()->optics().rotationDeg = -90.0 * cameraTurns;
        ViewState& view = program.display().view();
        // As a plate solve of the turned camera leaves them.
        view.cameraRotation = cameraTurns;
        e2e.state().imageRote = 180 - 90.0 * cameraTurns;
        view.displayRotation = displayTurns;
        program.display().setDisplayGeometry(program.capture().liveWidth(),
                                             program.capture().liveHeight());
        program.capture().updateFieldOfView();
    }
    bool settle() { return settleMount(e2e); }
    // The clear label over the picture that takes the finger.
    QWidget* view() { return e2e.window().findChild<QLabel*>("touchPanelLabel"); }
    // Where a canvas pixel shows on the view: the picture's label lies right under it.
    QPoint onLabel(cv::Point2d canvasPoint) {
        auto* label = e2e.window().findChild<QLabel*>("viewLabel");
        const QPixmap shown = label->pixmap(Qt::ReturnByValue);
        const QRect placed = QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                                 shown.size(), label->contentsRect());
        const double scale = double(shown.width()) / ImageDisplay::canvasWidth;
        return placed.topLeft() +
               QPoint(qRound(canvasPoint.x * scale), qRound(canvasPoint.y * scale));
    }
    std::vector<cv::Point2d> stars() {
        return canvasStars(e2e.program().display().canvas(), picture.onCanvas);
    }
};

// The brightest spot of the softened picture within `reach` pixels of the point: a star the
// detector may miss on a noisy frame still stands out there when nothing brighter is near.
cv::Point2d brightestNear(const cv::Mat& canvas, cv::Point2d at, int reach) {
    const cv::Rect area =
        cv::Rect(cvRound(at.x) - reach, cvRound(at.y) - reach, 2 * reach + 1, 2 * reach + 1) &
        cv::Rect(0, 0, canvas.cols, canvas.rows);
    cv::Mat grey;
    cv::cvtColor(canvas(area), grey, cv::COLOR_BGR2GRAY);
    cv::GaussianBlur(grey, grey, cv::Size(5, 5), 1.5);
    cv::Point peak;
    cv::minMaxLoc(grey, nullptr, nullptr, nullptr, &peak);
    return cv::Point2d(area.x + peak.x, area.y + peak.y);
}

// Of the brightest stars, the one with no other near it that lies nearest where a drag across
// the picture's centre would start: the drag then spans the middle of the field.
bool pickStar(const std::vector<cv::Point2d>& stars, const cv::Rect& picture, cv::Point2d offset,
              cv::Point2d* chosen) {
    const cv::Rect inner(picture.x + 20, picture.y + 20, picture.width - 40, picture.height - 40);
    const cv::Point2d ideal =
        cv::Point2d(picture.x + picture.width / 2.0, picture.y + picture.height / 2.0) - offset / 2;
    constexpr std::size_t brightest = 8;
    double best = 1e9;
    for (std::size_t i = 0; i < std::min(brightest, stars.size()); ++i) {
        const cv::Point2d& star = stars[i];
        if (!inner.contains(cv::Point(star)) || !inner.contains(cv::Point(star + offset)))
            continue;
        int neighbours = 0;
        for (const cv::Point2d& other : stars)
            neighbours += cv::norm(other - star) < 20;
        if (neighbours == 1 && cv::norm(star - ideal) < best) {
            best = cv::norm(star - ideal);
            *chosen = star;
        }
    }
    return best < 1e9;
}

const cv::Point2d dragBy(150, -80);

} // namespace

class TestTouchMove : public QObject {
    Q_OBJECT
private slots:
    void dragMovesTheStar();
    void syncByTouch();
    void chartDragAndBack();
};

void TestTouchMove::dragMovesTheStar() {
    LiveSession s;
    QVERIFY(s.start());
    const struct {
        double ra, dec;
        int cameraTurns, displayTurns;
    } cases[] = {{135, 0, 0, 0},  {135, 0, 1, 2},  {135, 0, 2, 3},  {135, 0, 3, 1},
                 {150, 60, 0, 0}, {150, 60, 1, 2}, {150, 60, 2, 3}, {150, 60, 3, 1}};
    for (const auto& c : cases) {
        const QString name =
            QString("Dec %1, camera %2, view %3").arg(c.dec).arg(c.cameraTurns).arg(c.displayTurns);
        s.pointAt(c.ra, c.dec);
        s.turn(c.cameraTurns, c.displayTurns);
        QVERIFY2(s.frames(3), qPrintable(name));
        // A faint star may be missed on one frame and found on the next.
        cv::Point2d star;
        bool picked = false;
        for (int frame = 0; frame < 3 && !picked; ++frame)
            picked = pickStar(s.stars(), s.picture.onCanvas, dragBy, &star) || !s.frames(1);
        QVERIFY2(picked, qPrintable(name));

        drag(s.view(), s.onLabel(star), s.onLabel(star + dragBy));
        QVERIFY2(!s.e2e.log.lines().filter("deltaX=").isEmpty(), qPrintable(name));
        QVERIFY2(s.settle(), qPrintable(name));
        QVERIFY2(s.frames(3), qPrintable(name));
        const cv::Point2d landed =
            brightestNear(s.e2e.program().display().canvas(), star + dragBy, 15);
        const double off = cv::norm(landed - (star + dragBy));
        qInfo("%s: %.1f px", qPrintable(name), off);
        QVERIFY2(off <= 5, qPrintable(QString("%1: the star lands %2 px off").arg(name).arg(off)));
    }
}

void TestTouchMove::syncByTouch() {
    LiveSession s;
    QVERIFY(s.start());
    s.pointAt(84, 0);
    s.drawOverlay = true;
    QVERIFY(s.frames(2));
    QVERIFY(s.e2e.press("pushButton_37"));
    QCOMPARE(s.e2e.window().findChild<QPushButton*>("pushButton_37")->styleSheet(),
             QString("color: red;"));
    saveScreenshot(&s.e2e.window(), "MainWindow sync by touch");
    // Where the chart puts a point of the sky before and after the drag.
    const double ra = s.e2e.state().syncPointRa + 0.3, dec = s.e2e.state().syncPointDec - 0.2;
    cv::Point2d before, after;
    QVERIFY(s.e2e.program().liveOverlay().projection().project(ra, dec, &before));
    const SimPointing pointed = s.truth().pointing(Clock::nowMs());
    controller(s.e2e).clearRecords();

    const cv::Point2d from(s.picture.onCanvas.x + s.picture.onCanvas.width / 3.0,
                           s.picture.onCanvas.y + s.picture.onCanvas.height / 2.0);
    drag(s.view(), s.onLabel(from), s.onLabel(from + dragBy));
    s.e2e.runFor(1500);
    QVERIFY(s.frames(2));
    QVERIFY(s.e2e.program().liveOverlay().projection().project(ra, dec, &after));
    const cv::Point2d moved = after - before;
    QVERIFY2(cv::norm(moved - dragBy) <= 3,
             qPrintable(QString("the chart moved by (%1, %2)").arg(moved.x).arg(moved.y)));
    for (const QString& command : controller(s.e2e).commands())
        QVERIFY2(!command.startsWith(":J") && !command.startsWith(":G"), qPrintable(command));
    // The telescope tracks on where it was: only the sky turns under it.
    const SimPointing now = s.truth().pointing(Clock::nowMs());
    QVERIFY(std::fabs(now.dec - pointed.dec) < 0.001);
    QVERIFY(s.e2e.log.contains("reset Position"));
}

void TestTouchMove::chartDragAndBack() {
    E2eProgram e2e(observingNight());
    QVERIFY(connectMount(e2e) && e2e.press("pushButton_58"));
    Goto* window = e2e.window().gotoWindowOpen();
    QVERIFY(window);
    QWidget* chart = window->findChild<QLabel*>("chartLabel");
    const struct {
        const char* name;
        double ra, dec;
        QPoint from, to;
        double raBeyond; // the centre's RA after the first drag lies within 30 degrees of this
        char viewBeyond;
    } cases[] = {{"across RA 0", 359.5, 0, {400, 320}, {600, 320}, 5, 'N'},
                 {"over the pole", 30, 88, {550, 200}, {550, 500}, 210, 'S'}};
    for (const auto& c : cases) {
        GotoActions& actions = window->actions();
        actions.centerRa = c.ra;
        actions.centerDec = c.dec;
        actions.redraw();
        drag(chart, c.from, c.to);
        QVERIFY2(std::fabs(std::remainder(actions.centerRa - c.raBeyond, 360)) < 30,
                 qPrintable(QString("%1: RA %2").arg(c.name).arg(actions.centerRa)));
        QCOMPARE(window->chart()->viewDirection(), c.viewBeyond);
        drag(chart, c.to, c.from);
        QVERIFY2(std::fabs(std::remainder(actions.centerRa - c.ra, 360)) *
                         std::cos(c.dec * M_PI / 180) <
                     0.01,
                 qPrintable(QString("%1: back at RA %2").arg(c.name).arg(actions.centerRa)));
        QVERIFY2(std::fabs(actions.centerDec - c.dec) < 0.01, c.name);
        QCOMPARE(window->chart()->viewDirection(), 'N');
    }
}

QTEST_MAIN(TestTouchMove)
#include "tst_touchmove.moc"
