#include "PreviewStretch.h"

#include <QtTest>

Q_DECLARE_METATYPE(cv::Mat)

namespace {

constexpr double full16 = 65535;

// A sky frame: noise around a background at `background` of full scale, with a few
// saturated stars.
cv::Mat sky(int width, int height, int depth, double background) {
    const double full = depth == CV_8U ? 255 : full16;
    cv::Mat noise(height, width, CV_32F);
    cv::theRNG().state = 42;
    cv::randn(noise, background * full, std::max(1.0, 0.004 * full));
    for (int i = 0; i < 20; ++i)
        noise(cv::Rect(30 + i * 17, 40 + i * 9, 5, 5)).setTo(full);
    cv::Mat frame;
    noise.convertTo(frame, depth);
    return frame;
}

cv::Mat flat(int depth, int value) {
    return cv::Mat(300, 400, depth, cv::Scalar(value));
}

// A Bayer mosaic whose red sites are far brighter than the rest, large enough that the
// statistics take a subsample.
cv::Mat brightRedMosaic() {
    cv::Mat mosaic = sky(2072, 1411, CV_16U, 0.02);
    for (int y = 0; y < mosaic.rows; y += 2) {
        for (int x = 0; x < mosaic.cols; x += 2)
            mosaic.at<std::uint16_t>(y, x) = 30000;
    }
    return mosaic;
}

int medianOf(const cv::Mat& bytes) {
    std::vector<uchar> values(bytes.begin<uchar>(), bytes.end<uchar>());
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

} // namespace

class TestPreviewStretch : public QObject {
    Q_OBJECT
private slots:
    void backgroundLandsNearAQuarter_data();
    void backgroundLandsNearAQuarter();
    void mosaicSitesShowTheSameSky();
};

void TestPreviewStretch::backgroundLandsNearAQuarter_data() {
    QTest::addColumn<cv::Mat>("frame");
    QTest::addColumn<int>("lowestMedian");
    QTest::addColumn<int>("highestMedian");
    QTest::addColumn<bool>("stars");
    QTest::newRow("faint sky at 2 %") << sky(400, 300, CV_16U, 0.02) << 56 << 72 << true;
    QTest::newRow("8-bit live frame") << sky(400, 300, CV_8U, 0.02) << 48 << 80 << true;
    // Three quarters of the samples are background: the median must find them.
    QTest::newRow("mosaic with bright red sites") << brightRedMosaic() << 48 << 80 << true;
    QTest::newRow("flat frame") << flat(CV_16U, 1000) << 56 << 72 << false;
    QTest::newRow("8-bit flat frame") << flat(CV_8U, 7) << 56 << 72 << false;
    QTest::newRow("all zero") << flat(CV_16U, 0) << 0 << 0 << false;
    QTest::newRow("saturated") << flat(CV_16U, 65535) << 255 << 255 << false;
}

void TestPreviewStretch::backgroundLandsNearAQuarter() {
    QFETCH(cv::Mat, frame);
    QFETCH(int, lowestMedian);
    QFETCH(int, highestMedian);
    QFETCH(bool, stars);
    cv::Mat shown;
    PreviewStretch(frame, false).apply(frame, shown);
    QCOMPARE(shown.size(), frame.size());
    QCOMPARE(shown.type(), CV_8UC1);
    const int median = medianOf(shown);
    QVERIFY2(median >= lowestMedian && median <= highestMedian,
             qPrintable(QString::number(median)));
    if (stars) {
        double brightest = 0;
        cv::minMaxLoc(shown, nullptr, &brightest);
        QCOMPARE(brightest, 255.0);
    }
}

// A colour sensor's green sites see more of the sky than its red and blue ones: each site is
// stretched on its own, so the sky shows grey rather than green.
void TestPreviewStretch::mosaicSitesShowTheSameSky() {
    const double siteLevels[4] = {0.02, 0.06, 0.06, 0.03};
    cv::Mat mosaic(1411, 2072, CV_16U);
    for (int site = 0; site < 4; ++site) {
        const cv::Mat part = sky(mosaic.cols / 2, mosaic.rows / 2, CV_16U, siteLevels[site]);
        for (int y = site >> 1, row = 0; row < part.rows; y += 2, ++row) {
            for (int x = site & 1, column = 0; column < part.cols; x += 2, ++column)
                mosaic.at<std::uint16_t>(y, x) = part.at<std::uint16_t>(row, column);
        }
    }
    cv::Mat shown;
    PreviewStretch(mosaic, true).apply(mosaic, shown);
    for (int site = 0; site < 4; ++site) {
        cv::Mat siteBytes(shown.rows / 2, shown.cols / 2, CV_8U);
        for (int y = 0; y < siteBytes.rows; ++y) {
            for (int x = 0; x < siteBytes.cols; ++x)
                siteBytes.at<uchar>(y, x) =
                    shown.at<uchar>(2 * y + (site >> 1), 2 * x + (site & 1));
        }
        const int median = medianOf(siteBytes);
        QVERIFY2(median >= 56 && median <= 72,
                 qPrintable(QString("site %1: %2").arg(site).arg(median)));
    }
}

QTEST_GUILESS_MAIN(TestPreviewStretch)
#include "tst_previewstretch.moc"
