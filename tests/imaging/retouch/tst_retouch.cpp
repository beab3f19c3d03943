// The composite's colour balance and tone curve on 16- and 8-bit samples, against worked
// examples.
#include "Retouch.h"

#include <QtTest>

Q_DECLARE_METATYPE(RetouchValues)

namespace {

RetouchValues levels(int r, int g, int b) {
    RetouchValues values;
    values.rLevel = r;
    values.gLevel = g;
    values.bLevel = b;
    return values;
}

RetouchValues curve(int lowX, int lowY, int highX, int highY) {
    RetouchValues values;
    values.lowX = lowX;
    values.lowY = lowY;
    values.highX = highX;
    values.highY = highY;
    return values;
}

} // namespace

class TestRetouch : public QObject {
    Q_OBJECT
private slots:
    void neutralLeavesEverySampleAlone_data();
    void neutralLeavesEverySampleAlone();
    void samples_data();
    void samples();
};

void TestRetouch::neutralLeavesEverySampleAlone_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<RetouchValues>("values");
    QTest::newRow("16-bit") << CV_16UC1 << RetouchValues();
    QTest::newRow("16-bit colour") << CV_16UC3 << RetouchValues();
    QTest::newRow("8-bit") << CV_8UC1 << RetouchValues();
    QTest::newRow("8-bit colour") << CV_8UC3 << RetouchValues();
    // Points out of order would divide by zero: the straight curve stands in.
    QTest::newRow("lowX at highX") << CV_16UC1 << curve(128, 0, 128, 255);
    QTest::newRow("lowY above highY") << CV_8UC3 << curve(0, 200, 255, 100);
}

void TestRetouch::neutralLeavesEverySampleAlone() {
    QFETCH(int, type);
    QFETCH(RetouchValues, values);
    // Every value the depth has, in one image.
    const int scale = CV_MAT_DEPTH(type) == CV_16U ? 65536 : 256;
    cv::Mat ramp(1, scale, CV_32S);
    for (int x = 0; x < scale; ++x)
        ramp.at<int>(x) = x;
    cv::Mat image;
    ramp.convertTo(image, CV_MAT_DEPTH(type));
    if (CV_MAT_CN(type) == 3)
        cv::merge(std::vector<cv::Mat>{image, image, image}, image);
    cv::Mat result;
    QVERIFY(Retouch(values).apply(image, result));
    QCOMPARE(cv::norm(result, image, cv::NORM_INF), 0.0);
}

void TestRetouch::samples_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<RetouchValues>("values");
    QTest::addColumn<int>("sample");
    QTest::addColumn<int>("channel"); // the one channel the values change
    QTest::addColumn<int>("expected");
    const RetouchValues steep = curve(64, 0, 192, 255);
    QTest::newRow("curve: at the low point") << CV_16UC1 << steep << 16384 << 0 << 0;
    QTest::newRow("curve: below the low point") << CV_16UC1 << steep << 100 << 0 << 0;
    QTest::newRow("curve: at the high point") << CV_16UC1 << steep << 49152 << 0 << 65280;
    QTest::newRow("curve: halfway") << CV_16UC1 << steep << 32768 << 0 << 32640;
    QTest::newRow("curve: top") << CV_16UC1 << steep << 65535 << 0 << 65535;
    QTest::newRow("curve: 8-bit") << CV_8UC1 << steep << 128 << 0 << 127;
    // Gamma 3 at level 0, 1 / 2.96 at level 99; one channel takes the red level.
    QTest::newRow("level 0: half") << CV_16UC1 << levels(0, 50, 50) << 32768 << 0 << 8192;
    QTest::newRow("level 0: three quarters")
        << CV_16UC1 << levels(0, 50, 50) << 49152 << 0 << 27648;
    QTest::newRow("level 0: 8-bit") << CV_8UC1 << levels(0, 50, 50) << 64 << 0 << 4;
    QTest::newRow("level 99: one") << CV_16UC1 << levels(99, 50, 50) << 1 << 0 << 1546;
    QTest::newRow("red 99") << CV_16UC3 << levels(99, 50, 50) << 32768 << 2 << 51853;
    QTest::newRow("green 99") << CV_16UC3 << levels(50, 99, 50) << 32768 << 1 << 51853;
    QTest::newRow("blue 99") << CV_16UC3 << levels(50, 50, 99) << 32768 << 0 << 51853;
    QTest::newRow("red 99, 8-bit") << CV_8UC3 << levels(99, 50, 50) << 128 << 2 << 202;
}

void TestRetouch::samples() {
    QFETCH(int, type);
    QFETCH(RetouchValues, values);
    QFETCH(int, sample);
    QFETCH(int, channel);
    QFETCH(int, expected);
    const cv::Mat image(3, 5, type, cv::Scalar::all(sample));
    cv::Mat result = image.clone();
    QVERIFY(Retouch(values).apply(result, result)); // in place
    cv::Scalar want = cv::Scalar::all(sample);
    want[channel] = expected;
    QCOMPARE(cv::norm(result, cv::Mat(3, 5, type, want), cv::NORM_INF), 0.0);
}

QTEST_GUILESS_MAIN(TestRetouch)
#include "tst_retouch.moc"
