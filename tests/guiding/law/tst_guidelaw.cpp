// The guide law and the guide session: the sensitivity ladder, the correction law, the moving
// average, Auto mode, and calibration, guiding and dithering driven against a small star model
// in which each pulse moves the star along its direction, turned by the camera's angle.
#include "DitherPattern.h"
#include "GuideErrorStats.h"
#include "GuideLaw.h"
#include "GuideMovingAverage.h"
#include "GuidePulseSink.h"
#include "GuideSession.h"
#include "LogRecorder.h"
#include "SettingsRecord.h"

#include <QRegularExpression>
#include <QtTest>
#include <cmath>

namespace {

// A star in the guide image that the mount moves.
struct StarModel : GuidePulseSink {
    double x = 300;
    double y = 200;
    double angle = 0; // degrees, the image turned against the sky
    bool mirrored = false;
    double pxPerUnit = 0.005; // calStep 1000 at factor 2 moves 4 px
    QString deaf;             // letters the mount ignores
    QString sent;             // every pulse letter, in order
    QStringList pulses;       // this frame's pulses, "E20"

    void guidePulse(char letter, int amount) override {
        sent += letter;
        pulses << QString("%1%2").arg(letter).arg(amount);
        if (deaf.contains(letter))
            return;
        // Unturned: East moves the star right, North up.
        double vx = letter == 'E' ? 1 : letter == 'W' ? -1 : 0;
        double vy = letter == 'S' ? 1 : letter == 'N' ? -1 : 0;
        if (mirrored)
            vx = -vx;
        const double a = angle * M_PI / 180;
        x += (vx * std::cos(a) - vy * std::sin(a)) * amount * pxPerUnit;
        y += (vx * std::sin(a) + vy * std::cos(a)) * amount * pxPerUnit;
    }

    GuideStar measure(const GuideSession& session) const {
        const double dx = x - (session.lockX() + 8);
        const double dy = y - (session.lockY() + 8);
        if (std::fabs(dx) >= 8 || std::fabs(dy) >= 8)
            return GuideStar::none();
        return GuideStar::at(dx, dy);
    }
};

SettingsRecord guideSettings() {
    SettingsRecord s;
    s.setDefaults();
    s.modeRa = 1; // Fix, so that Auto leaves the sensitivities alone
    s.modeDec = 1;
    s.senceRa = 10;
    s.senceDec = 10;
    s.thresRa = 0;
    s.thresDec = 0;
    s.gpower = 4;
    s.calStep = 1000;
    s.diff = 0;
    s.movAveN = 1;
    s.gexposure = 10; // 1 s
    s.dither = 1;
    s.dithPix = 4;
    s.stabR = 5;
    s.stabC = 3;
    s.guidePort = 0;
    s.dirRight = 'W';
    s.dirLeft = 'E';
    s.dirUpper = 'N';
    s.dirLower = 'S';
    return s;
}

QString letters(const SettingsRecord& s) {
    return QString("%1%2%3%4")
        .arg(QChar(s.dirRight))
        .arg(QChar(s.dirLeft))
        .arg(QChar(s.dirUpper))
        .arg(QChar(s.dirLower));
}

// Searching, then the star of the model as the only candidate, then Running.
void lockOn(GuideSession& session, const StarModel& star) {
    session.takeCandidates({QPoint(int(star.x) - 8, int(star.y) - 8)}, 0);
    session.select();
}

// Frames until the guider is free again (at most `limit`), counting those spent settling.
int runUntilFree(GuideSession& session, StarModel& star, SettingsRecord& s, int limit = 200) {
    int settlingFrames = 0;
    for (int i = 0; i < limit && session.isGuiderBusy(); ++i) {
        settlingFrames += session.isSettling();
        session.processFrame(star.measure(session), s);
    }
    return settlingFrames;
}

} // namespace

class TestGuideLaw : public QObject {
    Q_OBJECT
private slots:
    void init() { DitherPattern::ditherPatternIndex = 0; }
    void ladder_data();
    void ladder();
    void correctionLaw_data();
    void correctionLaw();
    void guidingPulses_data();
    void guidingPulses();
    void movingAverage_data();
    void movingAverage();
    void autoSensitivity_data();
    void autoSensitivity();
    void calibration_data();
    void calibration();
    void calibrationFailure_data();
    void calibrationFailure();
    void dither_data();
    void dither();
    void ditherGuards_data();
    void ditherGuards();
    void settleTimeout();
};

void TestGuideLaw::ladder_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("steps");
    QTest::newRow("10 up") << 10 << true << "15 20 30";
    QTest::newRow("9 up") << 9 << true << "10 15";
    QTest::newRow("20 down") << 20 << false << "15 10 9";
    QTest::newRow("390 is the top") << 390 << true << "390";
    QTest::newRow("0 is the bottom") << 0 << false << "0";
}

void TestGuideLaw::ladder() {
    QFETCH(int, start);
    QFETCH(bool, up);
    QFETCH(QString, steps);
    QStringList got;
    int v = start;
    for (int i = 0; i < steps.split(' ').size(); ++i) {
        v = up ? GuideLaw::sensitivityStepUp(v) : GuideLaw::sensitivityStepDown(v);
        got << QString::number(v);
    }
    QCOMPARE(got.join(' '), steps);
}

void TestGuideLaw::correctionLaw_data() {
    QTest::addColumn<double>("offset");
    QTest::addColumn<int>("sensitivity");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("gpower");
    QTest::addColumn<double>("u");
    QTest::addColumn<QString>("pulse"); // side and guide pulse amount, "" for none
    QTest::newRow("0.05 px inside 0.1 px") << 0.05 << 10 << 1 << 4 << 0.0 << "";
    QTest::newRow("15 px is clamped to 4") << 15.0 << 10 << 0 << 4 << 800.0 << "left 160";
    QTest::newRow("1.5 px at 1.0") << 1.5 << 10 << 0 << 4 << 100.0 << "left 20";
    QTest::newRow("-15 px at 3.9, x100") << -15.0 << 390 << 0 << 8 << -800.0 << "right 624000";
    QTest::newRow("axis off") << 5.0 << 0 << 0 << 4 << 0.0 << "";
}

void TestGuideLaw::correctionLaw() {
    QFETCH(double, offset);
    QFETCH(int, sensitivity);
    QFETCH(int, threshold);
    QFETCH(int, gpower);
    QFETCH(double, u);
    QFETCH(QString, pulse);
    const GuideLaw::Correction c = GuideLaw::correction(offset, sensitivity, threshold);
    QCOMPARE(c.u, u);
    const QString got = c.amount == 0 ? QString()
                                      : QString("%1 %2")
                                            .arg(c.positive ? "left" : "right")
                                            .arg(GuideLaw::guidePulseAmount(c.amount, gpower));
    QCOMPARE(got, pulse);

    // The calibration and dither pulse amount at both ends of `calStep`.
    QCOMPARE(GuideLaw::calibrationPulseAmount(100, 0.5), 20);
    QCOMPARE(GuideLaw::calibrationPulseAmount(3000, 1.0), 1200);
    QCOMPARE(GuideLaw::calibrationPulseAmount(9900, 2.0), 7920);
}

void TestGuideLaw::guidingPulses_data() {
    QTest::addColumn<QString>("offsets"); // one "dx,dy" per frame
    QTest::addColumn<int>("sensitivity");
    QTest::addColumn<int>("gpower");
    QTest::addColumn<int>("guidePort");
    QTest::addColumn<QString>("pulses"); // per frame, "-" for none
    // At 3.9 a pulse of 100 means 0.2 px was used, 830 means 1.6 px.
    QTest::newRow("a jump of 1.3 px is replaced by the previous offset")
        << "0.2,0 1.5,0 1.6,0" << 390 << 4 << 0 << "E100 E100 E830";
    QTest::newRow("left of the centre: dirRight") << "-0.9,0" << 10 << 4 << 0 << "W10";
    QTest::newRow("y too, toward dirUpper") << "0.9,0.9" << 10 << 4 << 0 << "E10+N10";
    QTest::newRow("no y with guidePort") << "0.9,0.9" << 10 << 4 << 1 << "E10";
    QTest::newRow("a pulse truncated to 0 is not sent") << "0.9,0" << 10 << 0 << 0 << "-";
}

void TestGuideLaw::guidingPulses() {
    QFETCH(QString, offsets);
    QFETCH(int, sensitivity);
    QFETCH(int, gpower);
    QFETCH(int, guidePort);
    QFETCH(QString, pulses);
    SettingsRecord s = guideSettings();
    s.senceRa = s.senceDec = sensitivity;
    s.gpower = gpower;
    s.guidePort = guidePort;
    StarModel star;
    star.pxPerUnit = 0; // the star stays where the offsets say
    GuideSession session(star, QSize(640, 480), QSize(200, 100));
    QCOMPARE(session.startGuiding(s), GuideSession::Start::Guiding);
    lockOn(session, star);
    QStringList got;
    for (const QString& frame : offsets.split(' ')) {
        star.pulses.clear();
        const QStringList d = frame.split(',');
        session.processFrame(GuideStar::at(d[0].toDouble(), d[1].toDouble()), s);
        got << (star.pulses.isEmpty() ? "-" : star.pulses.join('+'));
    }
    QCOMPARE(got.join(' '), pulses);
}

void TestGuideLaw::movingAverage_data() {
    QTest::addColumn<QString>("pushes"); // "length:value"
    QTest::addColumn<double>("deadBand");
    QTest::addColumn<QString>("averages");
    QTest::newRow("3 of 1..4") << "3:1 3:2 3:3 3:4" << 0.0 << "0.333 1.000 2.000 3.000";
    QTest::newRow("inside the dead band the sum restarts")
        << "3:1 3:0.2 3:1" << 0.5 << "0.333 0.000 0.333";
    QTest::newRow("a new length starts afresh") << "3:1 3:2 50:5" << 0.0 << "0.333 1.000 0.100";
    QStringList longPushes, longAverages;
    for (int i = 1; i <= 120; ++i) {
        longPushes << "99:1";
        longAverages << QString::number(std::min(i, 99) / 99.0, 'f', 3);
    }
    QTest::newRow("99 values round the ring")
        << longPushes.join(' ') << 0.0 << longAverages.join(' ');
}

void TestGuideLaw::movingAverage() {
    QFETCH(QString, pushes);
    QFETCH(double, deadBand);
    QFETCH(QString, averages);
    GuideMovingAverage average;
    QStringList got;
    for (const QString& push : pushes.split(' ')) {
        const QStringList p = push.split(':');
        average.push(p[1].toDouble(), -p[1].toDouble(), p[0].toInt(), deadBand, deadBand);
        QCOMPARE(average.averageY(), -average.averageX());
        got << QString::number(average.averageX(), 'f', 3);
    }
    QCOMPARE(got.join(' '), averages);
}

void TestGuideLaw::autoSensitivity_data() {
    QTest::addColumn<QString>("windows"); // windows of three samples, split by "|"
    QTest::addColumn<bool>("raOnY");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("expected");
    QTest::newRow("centred but noisy: down") << "0.3 -0.3 0" << false << 80 << 70;
    QTest::newRow("down stops at 1") << "0.3 -0.3 0" << false << 1 << 1;
    QTest::newRow("steady offset: up") << "0.5 0.5 0.5" << false << 80 << 90;
    QTest::newRow("RA on the y axis: up") << "0.5 0.5 0.5" << true << 80 << 90;
    QTest::newRow("shrinking by 0.5 px: the second up is refused")
        << "1 1 1|0.5 0.5 0.5" << false << 80 << 90;
    QTest::newRow("shrinking by 0.1 px: up twice")
        << "0.6 0.6 0.6|0.5 0.5 0.5" << false << 80 << 100;
    QTest::newRow("wild: back to 10") << "3 -1 1" << false << 80 << 10;
}

void TestGuideLaw::autoSensitivity() {
    QFETCH(QString, windows);
    QFETCH(bool, raOnY);
    QFETCH(int, start);
    QFETCH(int, expected);
    SettingsRecord s = guideSettings();
    s.modeRa = 0;  // Auto
    s.modeDec = 2; // OFF: its sensitivity must stay
    s.senceRa = start;
    s.senceDec = 80;
    LogRecorder log;
    GuideErrorStats stats;
    stats.reset(GuideErrorStats::windowLength(12));
    QVERIFY(!stats.useRawX());
    for (const QString& window : windows.split('|'))
        for (const QString& sample : window.split(' ', Qt::SkipEmptyParts)) {
            const double v = sample.toDouble();
            raOnY ? stats.add(0, v, s, false) : stats.add(v, 0, s, true);
        }
    QCOMPARE(s.senceRa, expected);
    QCOMPARE(s.senceDec, 80);
    QVERIFY(stats.useRawX() && stats.useRawY()); // set by every completed window
    if (QTest::currentDataTag() == QByteArray("steady offset: up"))
        QVERIFY(log.contains("avgX=0.500000, avgY=0.000000, fraX=0.000000, fraY=0.000000"));
}

void TestGuideLaw::calibration_data() {
    QTest::addColumn<double>("angle");
    QTest::addColumn<bool>("mirrored");
    QTest::addColumn<int>("modeDec");
    QTest::addColumn<QString>("expected"); // right, left, upper, lower
    QTest::addColumn<QString>("order");    // the letters pulsed, in order of first use
    QTest::newRow("0°") << 0.0 << false << 1 << "EWNS"
                        << "SNEW";
    QTest::newRow("20°") << 20.0 << false << 1 << "EWNS"
                         << "SNEW";
    QTest::newRow("90°") << 90.0 << false << 1 << "NSWE"
                         << "SNEW";
    QTest::newRow("200°") << 200.0 << false << 1 << "WESN"
                          << "SNEW";
    QTest::newRow("mirrored") << 0.0 << true << 1 << "WENS"
                              << "SNEW";
    QTest::newRow("Dec OFF: East and West only") << 0.0 << false << 2 << "EWNS"
                                                 << "EW";
}

void TestGuideLaw::calibration() {
    QFETCH(double, angle);
    QFETCH(bool, mirrored);
    QFETCH(int, modeDec);
    QFETCH(QString, expected);
    QFETCH(QString, order);
    SettingsRecord s = guideSettings();
    s.dirRight = s.dirLeft = s.dirUpper = s.dirLower = 'E'; // as stored by default
    s.modeDec = modeDec;
    s.guidePort = 1;
    StarModel star;
    star.angle = angle;
    star.mirrored = mirrored;
    std::int64_t now = 0;
    GuideSession session(star, QSize(640, 480), QSize(200, 100));
    session.setClock([&] { return now; });
    LogRecorder log;

    // "ガイド" does not trust four equal letters: it calibrates first.
    QCOMPARE(session.startGuiding(s), GuideSession::Start::Calibrating);
    QCOMPARE(letters(s), QString("----"));
    lockOn(session, star);
    GuideFrameResult result;
    for (int i = 0; i < 200 && session.isCalibrating(); ++i, now += 1000)
        result = session.processFrame(star.measure(session), s);
    QCOMPARE(result.event, GuideFrameResult::GuidingStarted);
    QCOMPARE(letters(s), expected);
    QString used;
    for (QChar c : star.sent)
        if (!used.contains(c))
            used += c;
    QCOMPARE(used, order);
    // The counters add 4, 2 or 1 per pulse of factor 2, 1 or 0.5 (800, 400 or 200 here).
    int counts[2] = {};
    for (const QString& p : star.pulses)
        counts[QString("NS").contains(p[0])] += p.mid(1).toInt() / 200;
    QCOMPARE(s.st4calWE, counts[0] / 4);
    QCOMPARE(s.st4calNS, counts[1] / 4);
    QVERIFY(s.st4calWE >= 8);

    // The East line gives the direction of the star's movement in the image.
    const QRegularExpression east("^calibration East: .* angle (-?[0-9.]+) deg$");
    double logged = 999;
    for (const QString& line : log.lines())
        if (east.match(line).hasMatch())
            logged = east.match(line).captured(1).toDouble();
    const double truth = mirrored ? 180 - angle : angle;
    QVERIFY2(std::fabs(std::remainder(logged - truth, 360)) < 5,
             qPrintable(QString::number(logged)));
}

void TestGuideLaw::calibrationFailure_data() {
    QTest::addColumn<QString>("deaf");
    QTest::addColumn<int>("startY");
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<QString>("pulses");
    QTest::newRow("Dec does not move the star")
        << "NS" << 200 << "calibration failed: South moved the star 0.0 px in 60 pulses"
        << QString(60, 'S');
    // South moves the star down; the box stops at the bottom edge and the star leaves it.
    QTest::newRow("the star leaves the image")
        << "" << 468 << "calibration failed: no star for 10 frames while moving South"
        << QString(3, 'S');
}

void TestGuideLaw::calibrationFailure() {
    QFETCH(QString, deaf);
    QFETCH(int, startY);
    QFETCH(QString, logLine);
    QFETCH(QString, pulses);
    SettingsRecord s = guideSettings();
    StarModel star;
    star.deaf = deaf;
    star.y = startY;
    GuideSession session(star, QSize(640, 480), QSize(200, 100));
    LogRecorder log;
    session.startCalibration(s);
    lockOn(session, star);
    GuideFrameResult result;
    for (int i = 0; i < 200 && session.state() == GuideSession::Running; ++i) {
        result = session.processFrame(star.measure(session), s);
        QVERIFY(session.lockY() >= 0 && session.lockY() <= 480 - 16);
    }
    QCOMPARE(result.event, GuideFrameResult::CalibrationFailed);
    QCOMPARE(session.state(), GuideSession::Idle);
    QVERIFY2(log.contains(logLine), qPrintable(log.lines().join('\n')));
    QCOMPARE(star.sent, pulses);
}

void TestGuideLaw::dither_data() {
    QTest::addColumn<int>("modeDec");
    QTest::addColumn<int>("dithers");
    QTest::addColumn<int>("stabC");
    QTest::addColumn<QString>("letters"); // the first pulse of each dither
    QTest::newRow("the 50th dither starts the spiral again")
        << 1 << 50 << 3 << QString(DitherPattern::ditherPattern) + "S";
    QTest::newRow("Dec OFF: West only") << 2 << 3 << 1 << "WWW";
    QTest::newRow("settling counts stabC + 1 frames") << 1 << 1 << 7 << "S";
}

void TestGuideLaw::dither() {
    QFETCH(int, modeDec);
    QFETCH(int, dithers);
    QFETCH(int, stabC);
    QFETCH(QString, letters);
    SettingsRecord s = guideSettings();
    s.modeDec = modeDec;
    s.stabC = stabC;
    StarModel star;
    GuideSession session(star, QSize(640, 480), QSize(200, 100));
    session.startGuiding(s);
    lockOn(session, star);
    QString firsts;
    for (int i = 0; i < dithers; ++i) {
        const int x = session.lockX(), y = session.lockY();
        star.sent.clear();
        session.startDither(s);
        QVERIFY(session.isGuiderBusy());
        QCOMPARE(runUntilFree(session, star, s), stabC + 1);
        QVERIFY(!session.isGuiderBusy());
        firsts += star.sent.left(1);
        // Moved more than dithPix, and the star is where the box is.
        QVERIFY(std::max(std::abs(session.lockX() - x), std::abs(session.lockY() - y)) > 4);
        QVERIFY(star.measure(session).found);
    }
    QCOMPARE(firsts, letters);
}

void TestGuideLaw::ditherGuards_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("停止 mid-dither frees the series") << "stop";
    QTest::newRow("recalibration mid-dither frees the series") << "recalibrate";
    QTest::newRow("guiding again mid-dither starts clean") << "guide";
    QTest::newRow("no dither while calibrating") << "calibrating";
}

void TestGuideLaw::ditherGuards() {
    QFETCH(QString, action);
    SettingsRecord s = guideSettings();
    StarModel star;
    GuideSession session(star, QSize(640, 480), QSize(200, 100));
    if (action == "calibrating") {
        session.startCalibration(s);
        lockOn(session, star);
        session.startDither(s);
        QVERIFY(!session.isDithering() && !session.isGuiderBusy());
        session.processFrame(star.measure(session), s);
        QCOMPARE(star.sent, QString("S")); // calibration goes on from its own origin
        return;
    }
    session.startGuiding(s);
    lockOn(session, star);
    session.startDither(s);
    session.processFrame(star.measure(session), s);
    QVERIFY(session.isGuiderBusy());
    if (action == "stop")
        session.stop();
    else if (action == "recalibrate")
        session.startCalibration(s);
    else
        session.startGuiding(s);
    QVERIFY(!session.isGuiderBusy());
    QVERIFY(!session.isDithering() && !session.isSettling());
}

void TestGuideLaw::settleTimeout() {
    SettingsRecord s = guideSettings();
    s.gexposure = 12; // 4 s
    s.stabC = 5;
    StarModel star;
    std::int64_t now = 1000;
    GuideSession session(star, QSize(640, 480), QSize(200, 100));
    session.setClock([&] { return now; });
    LogRecorder log;
    session.startGuiding(s);
    lockOn(session, star);
    session.startDither(s);
    // Clouds: no star for as long as it takes.
    const std::int64_t limit = 60000 + (5 + 1) * 4000;
    now += limit;
    QCOMPARE(session.processFrame(GuideStar::none(), s).event, GuideFrameResult::NoEvent);
    QVERIFY(session.isGuiderBusy());
    now += 1;
    QCOMPARE(session.processFrame(GuideStar::none(), s).event, GuideFrameResult::SettleTimedOut);
    QVERIFY(!session.isGuiderBusy());
    QVERIFY(log.contains("dither settle timeout"));
}

QTEST_GUILESS_MAIN(TestGuideLaw)
#include "tst_guidelaw.moc"
