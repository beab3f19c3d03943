#include "DetectionThreshold.h"
#include "LogRecorder.h"
#include "StarSpotDetector.h"

#include <QtTest>
#include <cstdint>

// Lets the detector's allocation fail with std::bad_alloc in a sanitizer build too, as it does
// in a normal one, instead of the sanitizer stopping the test.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

// Sets one pixel; pixels off the image are left out.
void paint(cv::Mat& image, int x, int y, int value) {
    if (x >= 0 && y >= 0 && x < image.cols && y < image.rows)
        image.at<std::uint8_t>(y, x) = std::uint8_t(value);
}

// A spot of `size` pixels of one value: rows of 10 from (x, y), the last one shorter.
void paintSpot(cv::Mat& image, int x, int y, int size, int value) {
    for (int i = 0; i < size; ++i)
        paint(image, x + i % 10, y + i / 10, value);
}

// A plus sign of five pixels around (x, y).
void paintPlus(cv::Mat& image, int x, int y, int value) {
    for (const cv::Point d :
         {cv::Point(0, -1), cv::Point(-1, 0), cv::Point(0, 0), cv::Point(1, 0), cv::Point(0, 1)})
        paint(image, x + d.x, y + d.y, value);
}

QStringList selectLines(const LogRecorder& log) {
    return log.lines().filter(" select star no ");
}

} // namespace

class TestStarSpotDetector : public QObject {
    Q_OBJECT

private slots:
    void spotsOfFewerThanFivePixelsAreDropped() {
        cv::Mat image = cv::Mat::zeros(60, 80, CV_8UC1);
        image(cv::Rect(10, 10, 2, 2)).setTo(200);
        paintSpot(image, 30, 10, 4, 200);
        paintPlus(image, 50, 40, 100);
        StarSpotDetector detector(image);
        QVERIFY(detector.isValid());
        QCOMPARE(detector.findStars(50, true), 1);
        QCOMPARE(detector.starPixelCount(0), 5);
        QCOMPARE(detector.starX(0), 50.0);
        QCOMPARE(detector.starY(0), 40.0);
    }

    // A staircase: label 3 (its left flank) merges into 2, and 2 into 1, on the same row. The
    // pixels of label 3 are counted in record 2, which is no root, and so are lost.
    void mergesFollowOneStepOnly() {
        cv::Mat image = cv::Mat::zeros(30, 40, CV_8UC1);
        const cv::Point label1[] = {{20, 10}, {20, 11}, {20, 12}};
        const cv::Point label2[] = {{19, 11}, {19, 12}};
        const cv::Point label3[] = {{18, 12}, {18, 13}, {18, 14}};
        for (const cv::Point p : label1)
            paint(image, p.x, p.y, 100);
        for (const cv::Point p : label2)
            paint(image, p.x, p.y, 60);
        for (const cv::Point p : label3)
            paint(image, p.x, p.y, 250);
        StarSpotDetector detector(image);
        QCOMPARE(detector.findStars(10, true), 1);
        QCOMPARE(detector.starPixelCount(0), 5);
        const double sum = 3 * 100 + 2 * 60;
        QCOMPARE(detector.starX(0), (100 * 20 * 3 + 60 * 19 * 2) / sum);
        QCOMPARE(detector.starY(0), (100 * (10 + 11 + 12) + 60 * (11 + 12)) / sum);
    }

    void preferredStarKeepsClearOfTheEdges_data() {
        QTest::addColumn<QPoint>("centre");
        QTest::addColumn<bool>("chosen");
        // A 200 x 150 frame.
        QTest::newRow("x 29") << QPoint(29, 70) << false;
        QTest::newRow("x 30") << QPoint(30, 70) << true;
        QTest::newRow("x 170") << QPoint(170, 70) << true;
        QTest::newRow("x 171") << QPoint(171, 70) << false;
        QTest::newRow("y 29") << QPoint(100, 29) << false;
        QTest::newRow("y 30") << QPoint(100, 30) << true;
        QTest::newRow("y 120") << QPoint(100, 120) << true;
        QTest::newRow("y 121") << QPoint(100, 121) << false;
    }
    void preferredStarKeepsClearOfTheEdges() {
        QFETCH(QPoint, centre);
        QFETCH(bool, chosen);
        cv::Mat image = cv::Mat::zeros(150, 200, CV_8UC1);
        image(cv::Rect(centre.x() - 2, centre.y() - 2, 5, 5)).setTo(150);
        StarSpotDetector detector(image);
        QCOMPARE(detector.findStars(20, false), 1);
        QCOMPARE(detector.chosen(), chosen ? 0 : -1);
        QCOMPARE(detector.chosenPixelCount(), chosen ? 25 : 0);
    }

    void brightStarNearTheEdgeIsNeverChosen() {
        cv::Mat image = cv::Mat::zeros(240, 320, CV_8UC1);
        paintSpot(image, 16, 100, 45, 250); // centroid 20 px from the left edge
        {
            StarSpotDetector detector(image);
            QCOMPARE(detector.findStars(20, false), 1);
            QCOMPARE(detector.chosen(), -1);
        }
        paintSpot(image, 150, 150, 20, 60);
        StarSpotDetector detector(image);
        LogRecorder log;
        QCOMPARE(detector.findStars(20, false), 2);
        QCOMPARE(detector.starPixelCount(0), 45);
        QCOMPARE(detector.chosen(), 1);
        QCOMPARE(detector.chosenPixelCount(), 20);
        QCOMPARE(selectLines(log), QStringList{"3 select star no 1"});
    }

    // Stars given as (size, mean brightness), painted left to right in that order.
    void preferredStarBySizeBand_data() {
        QTest::addColumn<QVector<QPoint>>("stars");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("logged");
        using S = QVector<QPoint>;
        QTest::newRow("40 before a brighter 100")
            << S{{100, 200}, {40, 100}} << 1 << "3 select star no 1";
        QTest::newRow("100 alone, by the last search")
            << S{{100, 200}} << 0 << "6 select star no 0";
        QTest::newRow("30..60 before 15..30")
            << S{{20, 250}, {50, 240}, {10, 100}, {5, 90}} << 1 << "3 select star no 1";
        QTest::newRow("15..30 before 60..80")
            << S{{70, 250}, {20, 240}, {10, 100}, {8, 90}} << 1 << "3 select star no 1";
        QTest::newRow("60..80 before 3..15")
            << S{{10, 250}, {70, 240}, {5, 100}, {6, 90}} << 1 << "3 select star no 1";
        QTest::newRow("3..15 in the brighter half before the rest")
            << S{{10, 250}, {40, 100}} << 0 << "2 select star no 0";
        QTest::newRow("the rest when the brighter half has none")
            << S{{200, 250}, {40, 100}} << 1 << "3 select star no 1";
        QTest::newRow("the rest searched by band too")
            << S{{200, 250}, {300, 240}, {12, 100}, {70, 90}} << 3 << "3 select star no 3";
        QTest::newRow("ordered by mean brightness")
            << S{{40, 90}, {200, 250}} << 1 << "3 select star no 1";
        QTest::newRow("equal means keep their order")
            << S{{20, 200}, {50, 200}} << 0 << "3 select star no 0";
        QTest::newRow("80 in the 60..80 band") << S{{80, 200}} << 0 << "3 select star no 0";
        QTest::newRow("260 by the last search") << S{{260, 200}} << 0 << "6 select star no 0";
        QTest::newRow("261 never") << S{{261, 200}} << -1 << "";
    }
    void preferredStarBySizeBand() {
        QFETCH(QVector<QPoint>, stars);
        QFETCH(int, chosen);
        QFETCH(QString, logged);
        cv::Mat image = cv::Mat::zeros(300, 400, CV_8UC1);
        for (int i = 0; i < stars.size(); ++i)
            paintSpot(image, 60 + 30 * i, 100, stars[i].x(), stars[i].y());
        StarSpotDetector detector(image);
        LogRecorder log;
        QCOMPARE(detector.findStars(30, false), stars.size());
        QVERIFY(log.contains(QString("labelNo=%1").arg(stars.size())));
        QCOMPARE(detector.chosen(), chosen);
        QCOMPARE(selectLines(log), logged.isEmpty() ? QStringList() : QStringList{logged});

        std::stable_sort(stars.begin(), stars.end(),
                         [](const QPoint& a, const QPoint& b) { return a.y() > b.y(); });
        for (int i = 0; i < stars.size(); ++i)
            QCOMPARE(detector.starPixelCount(i), stars[i].x());
        if (chosen >= 0) {
            QCOMPARE(detector.chosenPixelCount(), stars[chosen].x());
            QCOMPARE(detector.chosenX(), detector.starX(chosen));
            QCOMPARE(detector.chosenBoxY(), detector.starY(chosen) - 8);
        }
    }

    void boxModeSortsBySizeKeepingTies() {
        cv::Mat image = cv::Mat::zeros(100, 200, CV_8UC1);
        const int sizes[] = {5, 12, 7, 12, 30};
        for (int i = 0; i < 5; ++i)
            paintSpot(image, 10 + 35 * i, 20, sizes[i], 100 + 30 * i);
        StarSpotDetector detector(image);
        LogRecorder log;
        QCOMPARE(detector.findStars(50, true), 5);
        const int order[] = {4, 1, 3, 2, 0}; // painted index of each star
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(detector.starPixelCount(i), sizes[order[i]]);
            QVERIFY(detector.starX(i) >= 10 + 35 * order[i] &&
                    detector.starX(i) < 20 + 35 * order[i]);
        }
        QCOMPARE(detector.chosen(), 0);
        QCOMPARE(detector.chosenPixelCount(), 30);
        QVERIFY(log.lines().filter("labelNo").isEmpty());
    }

    // A spot two columns wide at column c and rows r..r+2 of a 100 x 80 image; the columns'
    // values put its centroid at c + right / (left + right), r + 1.
    void starBoxIsRoundedAndClamped_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<QPoint>("box");
        QTest::newRow("half rounds up") << QPoint(50, 40) << 100 << 100 << QPoint(43, 33);
        QTest::newRow("below half rounds down") << QPoint(50, 40) << 101 << 99 << QPoint(42, 33);
        QTest::newRow("top-left clamped") << QPoint(2, 0) << 100 << 100 << QPoint(10, 10);
        QTest::newRow("right clamped, bottom at the limit")
            << QPoint(98, 77) << 100 << 100 << QPoint(90, 70);
        QTest::newRow("just inside the far limits")
            << QPoint(96, 74) << 100 << 100 << QPoint(89, 67);
    }
    void starBoxIsRoundedAndClamped() {
        QFETCH(QPoint, at);
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(QPoint, box);
        cv::Mat image = cv::Mat::zeros(80, 100, CV_8UC1);
        image(cv::Rect(at.x(), at.y(), 1, 3)).setTo(left);
        image(cv::Rect(at.x() + 1, at.y(), 1, 3)).setTo(right);
        StarSpotDetector detector(image);
        QCOMPARE(detector.findStars(10, true), 1);
        QCOMPARE(detector.starBoxX(0), box.x());
        QCOMPARE(detector.starBoxY(0), box.y());
        const double x = at.x() + double(right) / (left + right);
        QCOMPARE(detector.chosenBoxX(), x - 8);
        QCOMPARE(detector.chosenBoxY(), at.y() + 1 - 8.0);
    }

    void refinedThresholdNeedsMoreThanTenPixels() {
        cv::Mat image = cv::Mat::zeros(16, 16, CV_8UC1);
        StarSpotDetector none(image);
        QCOMPARE(none.findStars(51, true), 0);
        QCOMPARE(none.refinedThreshold(51), 51);

        paintSpot(image, 3, 4, 10, 200);
        StarSpotDetector ten(image);
        QCOMPARE(ten.findStars(51, true), 1);
        QCOMPARE(ten.refinedThreshold(51), 51);

        paint(image, 3, 5, 201); // 11 pixels, mean 2201 / 11 = 200 in integers
        StarSpotDetector eleven(image);
        QCOMPARE(eleven.findStars(51, true), 1);
        QCOMPARE(eleven.refinedThreshold(51), 125);
    }

    void thresholdIsStrict() {
        const cv::Mat image(48, 64, CV_8UC1, cv::Scalar(100));
        StarSpotDetector detector(image);
        for (const bool boxMode : {true, false}) {
            QCOMPARE(detector.findStars(100, boxMode), 0);
            QCOMPARE(detector.chosen(), -1);
            QCOMPARE(detector.chosenPixelCount(), 0);
            QCOMPARE(detector.chosenBoxX(), 0.0);
        }
        QCOMPARE(detector.findStars(99, true), 1);
        QCOMPARE(detector.starPixelCount(0), 48 * 64);
        QCOMPARE(detector.starX(0), 31.5);
        QCOMPARE(detector.starY(0), 23.5);

        // Black pixels carry no light to weigh a centroid with, whatever the threshold.
        StarSpotDetector black(cv::Mat::zeros(20, 20, CV_8UC1));
        QCOMPARE(black.findStars(-1, true), 0);
    }

    // A 10-pixel spot (a dim row over a bright one) is label 1; single pixels below take the
    // next labels. A record is left for label 4999, none for label 5000.
    void tooManyLabelsFindNothing_data() {
        QTest::addColumn<int>("singles");
        QTest::addColumn<int>("found");
        QTest::newRow("4999 labels") << 4998 << 1;
        QTest::newRow("5000 labels") << 4999 << 0;
    }
    void tooManyLabelsFindNothing() {
        QFETCH(int, singles);
        QFETCH(int, found);
        cv::Mat image = cv::Mat::zeros(210, 200, CV_8UC1);
        image(cv::Rect(0, 0, 5, 1)).setTo(50);
        image(cv::Rect(0, 1, 5, 1)).setTo(200);
        for (int i = 0; i < singles; ++i)
            paint(image, 2 * (i % 100), 4 + 2 * (i / 100), 50);
        StarSpotDetector detector(image);
        LogRecorder log;
        QCOMPARE(detector.findStars(40, true), found);
        QCOMPARE(log.contains("Too many stars"), found == 0);
        QCOMPARE(detector.chosen(), found ? 0 : -1);
        QCOMPARE(detector.starPixelCount(0), found ? 10 : 0);
        // The next search of the same detector starts from a clean label image, also after
        // one that gave up half way.
        QCOMPARE(detector.findStars(100, true), 1);
        QCOMPARE(detector.starPixelCount(0), 5);
        QCOMPARE(detector.starY(0), 1.0);
    }

    void regionOfALargerImage() {
        cv::Mat frame(200, 300, CV_8UC1, cv::Scalar(255));
        cv::Mat region = frame(cv::Rect(100, 50, 64, 48));
        QVERIFY(!region.isContinuous());
        region.setTo(0);
        paintPlus(region, 0, 20, 90);  // cut by the left edge: 4 pixels
        paintPlus(region, 63, 40, 90); // and by the right one
        paintPlus(region, 40, 30, 120);
        paintPlus(region, 20, 10, 150);
        StarSpotDetector detector(region);
        frame.setTo(0); // the detector works on its own copy
        QCOMPARE(detector.findStars(50, true), 2);
        QCOMPARE(detector.starPixelCount(0), 5);
        QCOMPARE(detector.starPixelCount(1), 5);
        QCOMPARE(QPointF(detector.starX(0), detector.starY(0)), QPointF(20, 10));
        QCOMPARE(QPointF(detector.starX(1), detector.starY(1)), QPointF(40, 30));
    }

    void unusableImagesFindNothing() {
        StarSpotDetector wide(cv::Mat(20, 20, CV_16UC1, cv::Scalar(1000)));
        QVERIFY(!wide.isValid());
        QCOMPARE(wide.findStars(10, true), 0);

        // A header far larger than any memory: its label image cannot be had, and its
        // pixels are never read.
        std::uint8_t pixels[16] = {};
        const cv::Mat huge(1 << 30, 1 << 30, CV_8UC1, pixels);
        LogRecorder log;
        StarSpotDetector detector(huge);
        QVERIFY(!detector.isValid());
        QCOMPARE(log.lines(), QStringList{"No Memory"});
        QCOMPARE(detector.findStars(10, false), 0);
        QCOMPARE(detector.chosen(), -1);
    }

    void thresholdIsMeanPlusFourDeviations_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<QVector<int>>("values"); // repeated over the image in raster order
        QTest::addColumn<int>("threshold");
        QTest::newRow("uniform") << 12 << 10 << QVector<int>{37} << 37;
        QTest::newRow("half 0, half 100") << 10 << 10 << QVector<int>{0, 100} << 250;
        // mean 2.55, deviation sqrt(650.25 - 6.5025) = 25.372: 104.04
        QTest::newRow("one bright pixel")
            << 10 << 10 << (QVector<int>{255} + QVector<int>(99, 0)) << 104;
        QTest::newRow("all bright") << 3 << 70000 << QVector<int>{255} << 255;
        QTest::newRow("empty") << 0 << 0 << QVector<int>{0} << 0;
    }
    void thresholdIsMeanPlusFourDeviations() {
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(QVector<int>, values);
        QFETCH(int, threshold);
        cv::Mat frame(rows + 2, cols + 3, CV_8UC1, cv::Scalar(255));
        cv::Mat image = frame(cv::Rect(1, 1, cols, rows)); // with a border that must not count
        for (int i = 0; i < rows * cols; ++i)
            image.at<std::uint8_t>(i / cols, i % cols) = std::uint8_t(values[i % values.size()]);
        QCOMPARE(detectionThreshold(image), threshold);
    }
};

QTEST_GUILESS_MAIN(TestStarSpotDetector)
#include "tst_starspotdetector.moc"
