// Compositing without the window: stars found on drawn star fields, frames aligned on them
// (shifted, turned, with grown stars, without enough stars), the running mean with its undo,
// and the names of the composite's files.
#include "CompositeAccumulator.h"
#include "CompositeNames.h"
#include "CompositeSession.h"
#include "CompositeStarDetector.h"
#include "CompositeView.h"
#include "FrameAligner.h"
#include "HostPath.h"
#include "LogRecorder.h"
#include "SettingsRecord.h"
#include "TestDrives.h"
#include "TiffFile.h"
#include "UserPrompt.h"

#include <QtTest>
#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace {

// A point turned by `angle` radians about `centre` and then shifted.
cv::Point2d moved(cv::Point2d p, cv::Point2d centre, double angle, cv::Point2d shift) {
    const double c = std::cos(angle), s = std::sin(angle);
    const cv::Point2d d = p - centre;
    return centre + cv::Point2d(c * d.x - s * d.y, s * d.x + c * d.y) + shift;
}

cv::Point2d warped(const cv::Mat& m, cv::Point2d p) {
    return {m.at<double>(0, 0) * p.x + m.at<double>(0, 1) * p.y + m.at<double>(0, 2),
            m.at<double>(1, 0) * p.x + m.at<double>(1, 1) * p.y + m.at<double>(1, 2)};
}

// Star positions on a jittered grid, `margin` pixels clear of the edges.
std::vector<cv::Point2d> starPositions(cv::Size size, int spacing, int margin, uint64_t seed) {
    cv::RNG rng(seed);
    std::vector<cv::Point2d> stars;
    for (int y = margin; y + margin <= size.height; y += spacing)
        for (int x = margin; x + margin <= size.width; x += spacing)
            stars.emplace_back(x + rng.uniform(-0.3, 0.3) * spacing,
                               y + rng.uniform(-0.3, 0.3) * spacing);
    return stars;
}

// Gaussian stars of a few sizes on a noisy sky, as a 16-bit frame.
cv::Mat starField(cv::Size size, const std::vector<cv::Point2d>& stars, uint64_t seed) {
    cv::Mat sky(size, CV_32F);
    cv::RNG rng(seed);
    rng.fill(sky, cv::RNG::NORMAL, 2000, 150);
    for (size_t i = 0; i < stars.size(); ++i) {
        const double peak = 20000 + 5000 * (i % 5), sigma = 1.6 + 0.15 * (i % 4);
        const cv::Point2d& p = stars[i];
        for (int y = int(p.y) - 8; y <= int(p.y) + 8; ++y)
            for (int x = int(p.x) - 8; x <= int(p.x) + 8; ++x)
                if (x >= 0 && y >= 0 && x < size.width && y < size.height)
                    sky.at<float>(y, x) +=
                        float(peak * std::exp(-((x - p.x) * (x - p.x) + (y - p.y) * (y - p.y)) /
                                              (2 * sigma * sigma)));
    }
    cv::Mat frame;
    sky.convertTo(frame, CV_16U);
    return frame;
}

// A star list as the detector gives it, for frames of `size`.
std::vector<StarEntry> starList(const std::vector<cv::Point2d>& points, int area, cv::Size size) {
    std::vector<StarEntry> stars;
    for (const cv::Point2d& p : points) {
        const double dx = p.x - size.width / 2, dy = p.y - size.height / 2;
        stars.push_back({area, dx * dx + dy * dy, p.x, p.y, -1});
    }
    std::stable_sort(stars.begin(), stars.end(), [](const StarEntry& a, const StarEntry& b) {
        return a.distance2 < b.distance2;
    });
    return stars;
}

cv::Mat filled(int channels, const QVector<int>& values) {
    cv::Mat image(5, 37, CV_16UC(channels));
    image.setTo(cv::Scalar(values.value(0), values.value(1), values.value(2)));
    return image;
}

} // namespace

class TestStacking : public QObject {
    Q_OBJECT
private slots:
    void alignsShiftedAndTurnedFrames_data();
    void alignsShiftedAndTurnedFrames();
    void starSizesAgainstTheCondition_data();
    void starSizesAgainstTheCondition();
    void framesWithoutEnoughMatches_data();
    void framesWithoutEnoughMatches();
    void crowdedFieldsKeepTheCentralStars_data();
    void crowdedFieldsKeepTheCentralStars();
    void weightedMean_data();
    void weightedMean();
    void takeBackUndoesOnlyAStackedFrame();
    void names_data();
    void names();
    void colourTwins_data();
    void colourTwins();
    void compositeOfTheDataFolder();
};

void TestStacking::alignsShiftedAndTurnedFrames_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPointF>("shift");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QString>("precLine");
    QTest::newRow("shifted (+12, -7)")
        << QSize(320, 240) << QPointF(12, -7) << 0.0 << 30 << "Prec shiftX = 12.0, shiftY = -7.0";
    // Wide, so that a wrong turn shows as pixels at the edges.
    QTest::newRow("shifted (40, -25), turned 0.3 degrees")
        << QSize(1600, 1000) << QPointF(40, -25) << 0.3 << 100 << QString();
    QTest::newRow("shifted (-18, 30), turned -1 degree")
        << QSize(640, 480) << QPointF(-18, 30) << -1.0 << 40 << QString();
}

void TestStacking::alignsShiftedAndTurnedFrames() {
    QFETCH(QSize, size);
    QFETCH(QPointF, shift);
    QFETCH(double, degrees);
    QFETCH(int, spacing);
    QFETCH(QString, precLine);
    const cv::Size frameSize(size.width(), size.height());
    const cv::Point2d centre(size.width() / 2, size.height() / 2);
    const double angle = degrees * M_PI / 180;
    const std::vector<cv::Point2d> truth = starPositions(frameSize, spacing, 60, 7);
    std::vector<cv::Point2d> turned;
    for (const cv::Point2d& p : truth)
        turned.push_back(moved(p, centre, angle, {shift.x(), shift.y()}));
    const cv::Mat baseFrame = starField(frameSize, truth, 1);
    const cv::Mat frame = starField(frameSize, turned, 2);

    LogRecorder log;
    const std::vector<StarEntry> base = CompositeStarDetector::detectStars(baseFrame);
    std::vector<StarEntry> current = CompositeStarDetector::detectStars(frame);
    QVERIFY(current.size() > truth.size() * 9 / 10);
    const FrameAlignment alignment = FrameAligner::align(base, current, frameSize, 1);
    QCOMPARE(alignment.outcome, FrameAlignment::Aligned);
    QVERIFY(!log.lines().filter("Match End").isEmpty());
    if (!precLine.isEmpty())
        QVERIFY2(log.contains(precLine), qPrintable(log.lines().join('\n')));
    QVERIFY(std::fabs(alignment.angle - angle) < 2e-4);
    double worst = 0;
    for (size_t i = 0; i < truth.size(); ++i)
        worst = std::max(worst, cv::norm(warped(alignment.warp, turned[i]) - truth[i]));
    QVERIFY2(worst <= 0.1, qPrintable(QString::number(worst)));

    // The frame warped by OpenCV lies on the base: its stars, found again, on the base's.
    const std::vector<StarEntry> onBase = CompositeStarDetector::detectStars(
        FrameAligner::warpOntoBase(frame, alignment.warp, frameSize));
    cv::Point2d offset;
    int pairs = 0;
    for (const StarEntry& star : onBase) {
        for (const StarEntry& b : base) {
            if (std::hypot(star.x - b.x, star.y - b.y) < 3) {
                offset += cv::Point2d(star.x - b.x, star.y - b.y);
                ++pairs;
            }
        }
    }
    QVERIFY(pairs > int(base.size()) * 8 / 10);
    QVERIFY(cv::norm(offset / pairs) < 0.1);
}

void TestStacking::starSizesAgainstTheCondition_data() {
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("compCond");
    QTest::addColumn<int>("outcome");
    // The base's stars have 20 pixels.
    QTest::newRow("1.4 times, loose") << 28 << 0 << int(FrameAlignment::Aligned);
    QTest::newRow("1.4 times, standard") << 28 << 1 << int(FrameAlignment::SizeMismatch);
    QTest::newRow("1.4 times, strict") << 28 << 2 << int(FrameAlignment::SizeMismatch);
    QTest::newRow("0.8 times, standard") << 16 << 1 << int(FrameAlignment::Aligned);
    QTest::newRow("0.8 times, strict") << 16 << 2 << int(FrameAlignment::SizeMismatch);
    QTest::newRow("same size, strict") << 20 << 2 << int(FrameAlignment::Aligned);
}

void TestStacking::starSizesAgainstTheCondition() {
    QFETCH(int, area);
    QFETCH(int, compCond);
    QFETCH(int, outcome);
    const cv::Size size(400, 300);
    const std::vector<cv::Point2d> points = starPositions(size, 50, 30, 3);
    std::vector<cv::Point2d> shifted;
    for (const cv::Point2d& p : points)
        shifted.push_back(p + cv::Point2d(5, 3));
    std::vector<StarEntry> current = starList(shifted, area, size);
    LogRecorder log;
    const FrameAlignment alignment =
        FrameAligner::align(starList(points, 20, size), current, size, compCond);
    QCOMPARE(int(alignment.outcome), outcome);
    QCOMPARE(log.contains("sizxe mismatch"), outcome == FrameAlignment::SizeMismatch);
    QCOMPARE(alignment.warp.empty(), outcome != FrameAlignment::Aligned);
}

void TestStacking::framesWithoutEnoughMatches_data() {
    QTest::addColumn<int>("currentStars");
    QTest::addColumn<int>("seed");
    // The same seed as the base's draws the same field, shifted by (5, 3).
    QTest::newRow("two stars: matched, yet too few to fix a turn") << 2 << 3;
    QTest::newRow("no stars") << 0 << 3;
    QTest::newRow("another field") << 1000 << 4;
}

void TestStacking::framesWithoutEnoughMatches() {
    QFETCH(int, currentStars);
    QFETCH(int, seed);
    const cv::Size size(400, 300);
    std::vector<cv::Point2d> points = starPositions(size, 50, 30, seed);
    points.resize(std::min(points.size(), size_t(currentStars)));
    for (cv::Point2d& p : points)
        p += cv::Point2d(5, 3);
    std::vector<StarEntry> current = starList(points, 20, size);
    const std::vector<StarEntry> base = starList(starPositions(size, 50, 30, 3), 20, size);
    const FrameAlignment alignment = FrameAligner::align(base, current, size, 1);
    QCOMPARE(alignment.outcome, FrameAlignment::NoMatch);
    QVERIFY(alignment.warp.empty());

    // A frame of sky alone gives no stars to align on.
    std::vector<StarEntry> none = CompositeStarDetector::detectStars(starField(size, {}, 5));
    QCOMPARE(FrameAligner::align(base, none, size, 1).outcome, FrameAlignment::NoMatch);
}

void TestStacking::crowdedFieldsKeepTheCentralStars_data() {
    QTest::addColumn<int>("blobs");
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("smallest");
    QTest::addColumn<QString>("lastSelection");
    QTest::newRow("150 blobs: all") << 150 << 150 << 4 << "select minSize=4 no=150";
    QTest::newRow("250 blobs: the small ones go") << 250 << 199 << 23 << "select minSize=23 no=199";
    QTest::newRow("400 blobs: the 200 central ones of 30 pixels or more")
        << 400 << 200 << 30 << "select minSize=30 no=291";
}

void TestStacking::crowdedFieldsKeepTheCentralStars() {
    QFETCH(int, blobs);
    QFETCH(int, kept);
    QFETCH(int, smallest);
    QFETCH(QString, lastSelection);
    // Blobs of 4 to 99 pixels in rows of 10, one per 50 px cell, in a shuffled order of cells.
    cv::Mat image(1000, 1000, CV_16UC1, cv::Scalar(0));
    cv::RNG rng(11);
    std::vector<int> cells(400);
    for (int i = 0; i < 400; ++i)
        cells[i] = i;
    cv::randShuffle(cells, 1, &rng);
    std::vector<StarEntry> drawn;
    for (int i = 0; i < blobs; ++i) {
        const int area = 4 + i * 37 % 96;
        const int x0 = cells[i] % 20 * 50 + rng.uniform(5, 35);
        const int y0 = cells[i] / 20 * 50 + rng.uniform(5, 35);
        double sx = 0, sy = 0;
        for (int k = 0; k < area; ++k) {
            image.at<uint16_t>(y0 + k / 10, x0 + k % 10) = 65535;
            sx += x0 + k % 10;
            sy += y0 + k / 10;
        }
        const double x = sx / area, y = sy / area;
        drawn.push_back({area, (x - 500) * (x - 500) + (y - 500) * (y - 500), x, y, -1});
    }
    LogRecorder log;
    const std::vector<StarEntry> stars = CompositeStarDetector::detectStars(image);
    QCOMPARE(log.lines().filter("select minSize=").last(), lastSelection);

    std::vector<StarEntry> expected;
    std::copy_if(drawn.begin(), drawn.end(), std::back_inserter(expected),
                 [smallest](const StarEntry& s) { return s.area >= smallest; });
    std::sort(expected.begin(), expected.end(),
              [](const StarEntry& a, const StarEntry& b) { return a.distance2 < b.distance2; });
    QCOMPARE(int(stars.size()), kept);
    for (int i = 0; i < kept; ++i) {
        QCOMPARE(stars[i].area, expected[i].area);
        QVERIFY(std::fabs(stars[i].x - expected[i].x) < 1e-9);
        QVERIFY(std::fabs(stars[i].y - expected[i].y) < 1e-9);
    }
}

void TestStacking::weightedMean_data() {
    QTest::addColumn<int>("channels");
    QTest::addColumn<QVector<int>>("base");
    QTest::addColumn<int>("baseCount");
    QTest::addColumn<QVector<int>>("frame");
    QTest::addColumn<int>("frameCount");
    QTest::addColumn<QVector<int>>("expected");
    QTest::addColumn<int>("expectedCount");
    using V = QVector<int>;
    QTest::newRow("5 + 1") << 1 << V{1000} << 5 << V{2000} << 1 << V{1166} << 6;
    QTest::newRow("truncated, not rounded") << 1 << V{0} << 2 << V{5} << 1 << V{1} << 3;
    QTest::newRow("exact quotients") << 1 << V{65534} << 1 << V{65532} << 1 << V{65533} << 2;
    QTest::newRow("colour channels apart")
        << 3 << V{100, 40000, 65535} << 3 << V{200, 0, 65535} << 2 << V{140, 24000, 65535} << 5;
    QTest::newRow("big counts stay at 65535")
        << 1 << V{65535} << 40000 << V{65535} << 50000 << V{65535} << 90000;
    QTest::newRow("big counts, just under the top")
        << 1 << V{65535} << 1000000 << V{0} << 1 << V{65534} << 1000001;
    QTest::newRow("counts of 0 count as 1") << 1 << V{100} << 0 << V{301} << 0 << V{200} << 2;
}

void TestStacking::weightedMean() {
    QFETCH(int, channels);
    QFETCH(QVector<int>, base);
    QFETCH(int, baseCount);
    QFETCH(QVector<int>, frame);
    QFETCH(int, frameCount);
    QFETCH(QVector<int>, expected);
    QFETCH(int, expectedCount);
    LogRecorder log;
    CompositeAccumulator composite;
    QVERIFY(composite.start(filled(channels, base), baseCount));
    QVERIFY(composite.add(filled(channels, frame), frameCount));
    QCOMPARE(composite.count(), expectedCount);
    QCOMPARE(cv::norm(composite.image(), filled(channels, expected), cv::NORM_INF), 0.0);
    QVERIFY(log.contains(
        QString::asprintf("Composite %d + %d", std::max(baseCount, 1), std::max(frameCount, 1))));
}

void TestStacking::takeBackUndoesOnlyAStackedFrame() {
    CompositeAccumulator composite;
    QVERIFY(!composite.takeBack());
    QVERIFY(composite.start(filled(3, {100, 200, 300}), 5));
    QVERIFY(!composite.takeBack());
    const cv::Mat base = composite.image(); // held as a window would hold what it shows
    QVERIFY(composite.add(filled(3, {700, 800, 900}), 1));
    QVERIFY(composite.add(filled(3, {1300, 1400, 1500}), 2));
    // A frame of another size is not stacked and leaves the undo level alone.
    QVERIFY(!composite.add(cv::Mat(5, 36, CV_16UC3, cv::Scalar(0)), 1));
    QCOMPARE(composite.count(), 8);
    QVERIFY(composite.takeBack());
    QCOMPARE(composite.count(), 6);
    QCOMPARE(cv::norm(composite.image(), filled(3, {200, 300, 400}), cv::NORM_INF), 0.0);
    QVERIFY(!composite.takeBack());
    QCOMPARE(composite.count(), 6);
    QCOMPARE(cv::norm(composite.image(), filled(3, {200, 300, 400}), cv::NORM_INF), 0.0);
    QCOMPARE(cv::norm(base, filled(3, {100, 200, 300}), cv::NORM_INF), 0.0);
}

void TestStacking::names_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("processed");
    QTest::addColumn<QString>("report");
    QTest::newRow("frame") << "M00012.tif" << 7 << "M00012+07.tif"
                           << "KM00012+07.tif"
                           << "RM00012+07.rpt";
    QTest::newRow("composite keeps its stem") << "M00012+05.tif" << 12 << "M00012+12.tif"
                                              << "KM00012+12.tif"
                                              << "RM00012+12.rpt";
    QTest::newRow("colour, three digits") << "C00003.tif" << 120 << "C00003+120.tif"
                                          << "KC00003+120.tif"
                                          << "RC00003+120.rpt";
}

void TestStacking::names() {
    QFETCH(QString, base);
    QFETCH(int, count);
    QFETCH(QString, saved);
    QFETCH(QString, processed);
    QFETCH(QString, report);
    QCOMPARE(CompositeNames::savedName(base, count), saved);
    QCOMPARE(CompositeNames::processedName(saved), processed);
    QCOMPARE(CompositeNames::reportName(saved), report);
}

void TestStacking::colourTwins_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("frame and its colour twin") << "M00003.tif"
                                               << "C00003.tif" << true;
    QTest::newRow("colour twin and its frame") << "C00003.tif"
                                               << "M00003.tif" << true;
    QTest::newRow("the same name") << "M00003+04.tif"
                                   << "M00003+04.tif" << true;
    QTest::newRow("another number") << "M00003.tif"
                                    << "C00004.tif" << false;
    QTest::newRow("a dark is no twin") << "D00003.tif"
                                       << "M00003.tif" << false;
}

void TestStacking::colourTwins() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(CompositeNames::sameFrame(a, b), same);
    QCOMPARE(CompositeNames::sameFrame(b, a), same);
}

namespace {

// What the window would show.
struct RecordedView : CompositeView {
    QString name;
    int count = 0;
    QStringList lines;
    bool unsaved = false;
    void showComposite(const QString& baseName, int frameCount) override {
        name = baseName;
        count = frameCount;
    }
    void showImage(const cv::Mat&) override {}
    void appendReport(const QString& line) override { lines << line; }
    void setReport(const QStringList& report) override { lines = report; }
    QStringList report() const override { return lines; }
    RetouchValues retouch() const override { return {}; }
    void setUnsaved(bool changed) override { unsaved = changed; }
};

} // namespace

// A user's session with the data folder's frames: a base, a frame stacked, the refusals, a
// frame that does not align, a take-back, saving, and the saved composite as a new base.
void TestStacking::compositeOfTheDataFolder() {
    TestDrives drives;
    const QString folder = "C:\\VesperixData\\";
    QVERIFY(QDir().mkpath(HostPath::toHost(folder)));
    const cv::Size size(600, 400);
    const std::vector<cv::Point2d> stars = starPositions(size, 45, 30, 3);
    const auto movedBy = [&](cv::Point2d shift) {
        std::vector<cv::Point2d> out;
        for (const cv::Point2d& p : stars)
            out.push_back(p + shift);
        return out;
    };
    ShootingData mono;
    mono.model = "M0Simulated";
    QCOMPARE(writeTiff(folder + "M00001.tif", starField(size, stars, 1), mono), 1);
    QCOMPARE(writeTiff(folder + "M00002.tif", starField(size, movedBy({12, -7}), 2), mono), 1);
    QCOMPARE(writeTiff(folder + "M00003.tif", starField(size, {}, 3), mono), 1);
    QCOMPARE(writeTiff(folder + "M00005.tif", starField(size, movedBy({-5, 4}), 5), mono), 1);
    cv::Mat colour;
    cv::cvtColor(starField(size, stars, 4), colour, cv::COLOR_GRAY2BGR);
    ShootingData colourData;
    colourData.model = "C0Simulated";
    QCOMPARE(writeTiff(folder + "C00004.tif", colour, colourData), 1);

    QStringList messages;
    UserPrompt::setMessageHandler([&](const QString& text) { messages << text; });
    RecordedView view;
    SettingsRecord settings;
    settings.compCond = 1;
    CompositeSession session(view, settings, folder);
    QVERIFY(session.setCompositeBase("M00001.tif"));
    QCOMPARE(view.lines, QStringList{"新規:M00001.tif(1)"});
    QCOMPARE(session.addToComposite("M00002.tif"), CompositeSession::Addition::Stacked);
    QCOMPARE(view.count, 2);
    QVERIFY(view.unsaved);

    struct Refusal {
        QString file, message;
    };
    const Refusal refusals[] = {
        {"M00002.tif", "既にコンポジットされています"},
        {"C00001.tif", "既にコンポジットされています"},
        {"C00004.tif", "基準ファイルと画像サイズが異なります"},
        {"KM00001+02.tif", "画像処理されたファイルはコンポジットできません"},
        {"M00002_sbs.tif", "画像処理されたファイルはコンポジットできません"},
        {"M00002_sbsh.tif", "画像処理されたファイルはコンポジットできません"},
        {"M00002_ana.tif", "画像処理されたファイルはコンポジットできません"},
    };
    for (const Refusal& r : refusals) {
        messages.clear();
        QCOMPARE(session.addToComposite(r.file), CompositeSession::Addition::Refused);
        QCOMPARE(messages, QStringList{r.message});
    }
    QCOMPARE(session.addToComposite("M00003.tif"), CompositeSession::Addition::NotAligned);
    QCOMPARE(view.lines.last(), QString("マッチせず1:M00003.tif(1)"));

    // One frame back, only once; then it may come in again.
    QVERIFY(session.takeBack());
    QCOMPARE(view.count, 1);
    QCOMPARE(view.lines.last(), QString("削除:M00002.tif"));
    QVERIFY(!session.takeBack());
    QCOMPARE(session.addToComposite("M00002.tif"), CompositeSession::Addition::Stacked);

    // Saved with its processed copy and report.
    const CompositeSession::Saved saved = session.saveComposite();
    QCOMPARE(saved.composite, QString("M00001+02.tif"));
    QCOMPARE(saved.processed, QString("KM00001+02.tif"));
    QVERIFY(!view.unsaved);
    QFile report(HostPath::toHost(folder + "RM00001+02.rpt"));
    QVERIFY(report.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(report.readAll()), view.lines.join('\n') + '\n');
    ShootingData stored;
    QVERIFY(!readTiff(folder + saved.composite, stored).empty());
    QCOMPARE(stored.frameCount, 2);

    // The saved composite as a base: its report comes back; a failed save says so and keeps
    // the unsaved flag.
    const QStringList savedReport = view.lines;
    QVERIFY(session.setCompositeBase("M00001+02.tif"));
    QCOMPARE(view.lines, savedReport);
    QCOMPARE(view.count, 2);
    QCOMPARE(session.addToComposite("M00005.tif"), CompositeSession::Addition::Stacked);
    QVERIFY(QDir().mkpath(HostPath::toHost(folder + "M00001+03.tif"))); // in the way
    messages.clear();
    QVERIFY(session.saveComposite().composite.isEmpty());
    QCOMPARE(messages, QStringList{"保存できませんでした"});
    QVERIFY(view.unsaved);
    UserPrompt::setMessageHandler({});
}

QTEST_GUILESS_MAIN(TestStacking)
#include "tst_stacking.moc"
