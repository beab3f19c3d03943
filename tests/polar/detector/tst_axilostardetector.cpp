#include "AxiloStarDetector.h"
#include "FrameFold.h"

#include <QtTest>
#include <cstdint>

namespace {

using Bgr = cv::Vec3b;

constexpr int threshold = 50;
constexpr int lit = 100;

// A blob of `size` pixels of one value: rows of 20 from (x, y), the last one shorter.
void paintBlob(cv::Mat& image, int x, int y, int size) {
    for (int i = 0; i < size; ++i)
        image.at<std::uint8_t>(y + i / 20, x + i % 20) = lit;
}

// A plus sign of five pixels, its centroid at (x, y).
void paintPlus(cv::Mat& image, int x, int y) {
    for (const cv::Point d :
         {cv::Point(0, -1), cv::Point(-1, 0), cv::Point(0, 0), cv::Point(1, 0), cv::Point(0, 1)})
        image.at<std::uint8_t>(y + d.y, x + d.x) = lit;
}

// A blob as the whole-frame tests place it: its top-left corner and size.
struct Placed {
    int x, y, size;
};

} // namespace

Q_DECLARE_METATYPE(Bgr)
Q_DECLARE_METATYPE(QVector<QPoint>)
Q_DECLARE_METATYPE(std::vector<Placed>)

class TestAxiloStarDetector : public QObject {
    Q_OBJECT

private slots:
    void foldsTwoByTwoPixelsIntoOne_data() {
        QTest::addColumn<Bgr>("topLeft");
        QTest::addColumn<Bgr>("topRight");
        QTest::addColumn<Bgr>("bottomLeft");
        QTest::addColumn<Bgr>("bottomRight");
        QTest::addColumn<int>("grey");

        QTest::newRow("104 / 3, truncated")
            << Bgr(10, 20, 30) << Bgr(1, 2, 3) << Bgr(4, 5, 6) << Bgr(7, 8, 8) << 34;
        QTest::newRow("200 + 100 saturates per byte")
            << Bgr(200, 0, 0) << Bgr(100, 0, 0) << Bgr() << Bgr() << 85;
        QTest::newRow("sum 768 saturates the result")
            << Bgr(128, 128, 128) << Bgr() << Bgr(128, 128, 128) << Bgr() << 255;
        QTest::newRow("all white")
            << Bgr::all(255) << Bgr::all(255) << Bgr::all(255) << Bgr::all(255) << 255;
    }
    void foldsTwoByTwoPixelsIntoOne() {
        QFETCH(Bgr, topLeft);
        QFETCH(Bgr, topRight);
        QFETCH(Bgr, bottomLeft);
        QFETCH(Bgr, bottomRight);
        QFETCH(int, grey);
        cv::Mat frame = cv::Mat::zeros(960, 1280, CV_8UC3);
        const int x = 2 * 17, y = 2 * 5; // a lane inside the second vector of its row
        frame.at<Bgr>(y, x) = topLeft;
        frame.at<Bgr>(y, x + 1) = topRight;
        frame.at<Bgr>(y + 1, x) = bottomLeft;
        frame.at<Bgr>(y + 1, x + 1) = bottomRight;
        FrameFold fold;
        QVERIFY(fold.fold(frame));
        QCOMPARE(fold.grey().size(), cv::Size(640, 480));
        QCOMPARE(int(fold.grey().at<std::uint8_t>(5, 17)), grey);
        QCOMPARE(cv::countNonZero(fold.grey()), grey ? 1 : 0);
    }

    // Against the sample deviation, {0, 10} would give 33 and {0, 0, 0, 12} 27.
    void thresholdUsesThePopulationDeviation_data() {
        QTest::addColumn<QVector<int>>("pixels");
        QTest::addColumn<int>("expected");
        QTest::newRow("0 10: 5 + 4 x 5") << QVector<int>{0, 10} << 25;
        QTest::newRow("0 0 0 12: 3 + 4 x 5.196") << QVector<int>{0, 0, 0, 12} << 23;
        QTest::newRow("flat") << QVector<int>{7, 7, 7} << 7;
    }
    void thresholdUsesThePopulationDeviation() {
        QFETCH(QVector<int>, pixels);
        QFETCH(int, expected);
        cv::Mat grey(1, pixels.size(), CV_8UC1);
        for (int i = 0; i < pixels.size(); ++i)
            grey.at<std::uint8_t>(0, i) = std::uint8_t(pixels[i]);
        QCOMPARE(FrameFold::threshold(grey), expected);
    }

    // The first pixel listed is the first in raster order.
    void blobsOfFourPixelsAreDropped_data() {
        QTest::addColumn<QVector<QPoint>>("pixels");
        QTest::addColumn<int>("kept");
        QTest::newRow("4 in a row") << QVector<QPoint>{{3, 4}, {4, 4}, {5, 4}, {6, 4}} << 0;
        QTest::newRow("5 in a row") << QVector<QPoint>{{3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 4}} << 5;
        QTest::newRow("two arms joined below")
            << QVector<QPoint>{{3, 4}, {5, 4}, {3, 5}, {4, 5}, {5, 5}} << 5;
        QTest::newRow("three arms joined below, the first pixel in the last")
            << QVector<QPoint>{{7, 3}, {3, 4}, {5, 4}, {7, 4}, {3, 5},
                               {4, 5}, {5, 5}, {6, 5}, {7, 5}}
            << 9;
    }
    void blobsOfFourPixelsAreDropped() {
        QFETCH(QVector<QPoint>, pixels);
        QFETCH(int, kept);
        cv::Mat grey = cv::Mat::zeros(32, 32, CV_8UC1);
        double sumX = 0, sumY = 0;
        for (const QPoint& p : pixels) {
            grey.at<std::uint8_t>(p.y(), p.x()) = lit;
            sumX += p.x();
            sumY += p.y();
        }
        AxiloStarDetector detector({});
        QVERIFY(detector.searchBox(grey, threshold));
        QCOMPARE(int(detector.blobs().size()), kept ? 1 : 0);
        QCOMPARE(detector.chosen(), kept ? 0 : -1);
        if (!kept)
            return;
        const StarBlob& blob = detector.blobs().front();
        QCOMPARE(blob.pixelCount, kept);
        QCOMPARE(blob.brightnessSum, std::int64_t(kept * lit));
        QCOMPARE(QPoint(blob.firstX, blob.firstY), pixels.front());
        QCOMPARE(blob.centroidX(), sumX / kept);
        QCOMPARE(blob.centroidY(), sumY / kept);
    }

    // The blobs of each row, nearest the axis centre (320, 240) first.
    void wholeFrameChoosesBySizeBand_data() {
        QTest::addColumn<std::vector<Placed>>("blobs");
        QTest::addColumn<int>("chosen"); // index into blobs, -1 for none
        QTest::newRow("5..250 before a nearer 300")
            << std::vector<Placed>{{320, 240, 300}, {100, 100, 20}} << 1;
        QTest::newRow("250 is in the first band")
            << std::vector<Placed>{{320, 240, 300}, {100, 100, 250}} << 1;
        QTest::newRow("only 250..1000: the nearest")
            << std::vector<Placed>{{320, 240, 1200}, {250, 200, 600}, {100, 100, 300}} << 1;
        QTest::newRow("none in either band") << std::vector<Placed>{{320, 240, 1200}} << -1;
        QTest::newRow("a nearer blob at the edge skipped")
            << std::vector<Placed>{{320, 476, 20}, {100, 100, 20}} << 1;
    }
    void wholeFrameChoosesBySizeBand() {
        QFETCH(std::vector<Placed>, blobs);
        QFETCH(int, chosen);
        cv::Mat grey = cv::Mat::zeros(480, 640, CV_8UC1);
        for (const Placed& b : blobs)
            paintBlob(grey, b.x, b.y, b.size);
        AxiloStarDetector detector({});
        QVERIFY(detector.searchFrame(grey, threshold, {320, 240}));
        QCOMPARE(detector.blobs().size(), blobs.size());
        if (chosen < 0) {
            QCOMPARE(detector.chosen(), -1);
            return;
        }
        QVERIFY(detector.chosen() >= 0);
        const StarBlob& blob = detector.blobs()[std::size_t(detector.chosen())];
        QCOMPARE(QPoint(blob.firstX, blob.firstY),
                 QPoint(blobs[std::size_t(chosen)].x, blobs[std::size_t(chosen)].y));
    }

    void wholeFrameKeepsClearOfTheEdges_data() {
        QTest::addColumn<QPoint>("centroid");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("x 9") << QPoint(9, 240) << false;
        QTest::newRow("x 10") << QPoint(10, 240) << true;
        QTest::newRow("x 630") << QPoint(630, 240) << true;
        QTest::newRow("x 631") << QPoint(631, 240) << false;
        QTest::newRow("y 9") << QPoint(320, 9) << false;
        QTest::newRow("y 471") << QPoint(320, 471) << false;
    }
    void wholeFrameKeepsClearOfTheEdges() {
        QFETCH(QPoint, centroid);
        QFETCH(bool, chosen);
        cv::Mat grey = cv::Mat::zeros(480, 640, CV_8UC1);
        paintPlus(grey, centroid.x(), centroid.y());
        AxiloStarDetector detector({});
        QVERIFY(detector.searchFrame(grey, threshold, {320, 240}));
        QCOMPARE(int(detector.blobs().size()), 1);
        QCOMPARE(detector.chosen(), chosen ? 0 : -1);
    }

    // Single bright pixels on a checkerboard each take a label of their own; a star after them
    // takes the last one.
    void tooManyLabelsGiveNoResult_data() {
        QTest::addColumn<int>("labels");
        QTest::addColumn<bool>("overflow");
        QTest::newRow("5000") << 5000 << false;
        QTest::newRow("5001") << 5001 << true;
    }
    void tooManyLabelsGiveNoResult() {
        QFETCH(int, labels);
        QFETCH(bool, overflow);
        cv::Mat grey = cv::Mat::zeros(480, 640, CV_8UC1);
        for (int i = 0; i < labels - 1; ++i)
            grey.at<std::uint8_t>(2 * (i / 320), 2 * (i % 320)) = lit;
        paintBlob(grey, 300, 300, 20);
        QStringList shown;
        AxiloStarDetector detector([&shown](const QString& text) { shown << text; });
        QCOMPARE(detector.searchFrame(grey, threshold, {320, 240}), !overflow);
        QCOMPARE(shown, overflow ? QStringList{"Label overflow"} : QStringList{});
        QCOMPARE(int(detector.blobs().size()), overflow ? 0 : 1);
        QCOMPARE(detector.chosen(), overflow ? -1 : 0);

        // The next search starts afresh.
        cv::Mat star = cv::Mat::zeros(32, 32, CV_8UC1);
        paintPlus(star, 16, 16);
        QVERIFY(detector.searchBox(star, threshold));
        QCOMPARE(int(detector.blobs().size()), 1);
        QCOMPARE(detector.blobs().front().pixelCount, 5);
    }
};

QTEST_GUILESS_MAIN(TestAxiloStarDetector)
#include "tst_axilostardetector.moc"
