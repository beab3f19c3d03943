// The stereo picture of a star field on synthetic scenes: squares of known area on a flat
// sky, whose shifts in the two views are worked out by hand.
#include "LogRecorder.h"
#include "StereoCompose.h"

#include <QtTest>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int width = 4000, height = 64; // a normal strength gives 20 px at this width
const cv::Scalar sky(10, 20, 30);
const cv::Scalar starColour(150, 170, 200); // grey 177: above the threshold
constexpr int dropped = -1;

struct Blob {
    cv::Rect square;
    int shift; // expected in each view, or dropped
};

// The largest star of the scenes (400 px), in a band of its own.
const Blob largest{{1000, 5, 20, 20}, 20};

cv::Mat flatSky() {
    return cv::Mat(height, width, CV_8UC3, sky);
}

cv::Mat scene(const QVector<Blob>& blobs) {
    cv::Mat image = flatSky();
    for (const Blob& blob : blobs) {
        cv::Mat star = image(blob.square);
        star += starColour;
    }
    return image;
}

// A view as it should come out: each kept square moved by `sign` × its shift, clipped.
cv::Mat view(const QVector<Blob>& blobs, int sign) {
    cv::Mat image = flatSky();
    for (const Blob& blob : blobs)
        if (blob.shift != dropped)
            cv::rectangle(image, blob.square + cv::Point(sign * blob.shift, 0), sky + starColour,
                          cv::FILLED);
    return image;
}

StereoCompose::Options options(int format, int depth = StereoCompose::BrighterNearer) {
    StereoCompose::Options chosen;
    chosen.format = format;
    chosen.depth = depth;
    chosen.strength = StereoCompose::Normal;
    return chosen;
}

cv::Mat compose(const cv::Mat& source, const StereoCompose::Options& chosen, unsigned seed = 1) {
    std::mt19937 random(seed);
    return StereoCompose::compose(source, flatSky(), chosen, random);
}

bool same(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// The pixels of a picture that are not the flat sky.
int starPixels(const cv::Mat& image) {
    cv::Mat sameAsSky;
    cv::inRange(image, sky, sky, sameAsSky);
    return int(image.total()) - cv::countNonZero(sameAsSky);
}

// Many stars of many sizes, so that two random depths cannot agree by chance, far enough
// apart and from the edges that no shift up to maxShift makes two meet or one leave.
cv::Mat crowdedScene() {
    QVector<Blob> blobs;
    for (int i = 0; i < 40; ++i)
        blobs.append({{50 + 95 * i, 5 + i % 3 * 20, 3 + i % 12, 3 + i % 12}, 0});
    return scene(blobs);
}

} // namespace

Q_DECLARE_METATYPE(QVector<Blob>)
Q_DECLARE_METATYPE(cv::Mat)

class TestMake3d : public QObject {
    Q_OBJECT
private slots:
    void largestShift_data();
    void largestShift();
    void starsMoveByArea_data();
    void starsMoveByArea();
    void backgroundIsNoStar();
    void formats_data();
    void formats();
    void randomDepthFollowsTheSeed_data();
    void randomDepthFollowsTheSeed();
    void mismatchedPicturesGiveNothing_data();
    void mismatchedPicturesGiveNothing();
    void stoppedGivesNothing();
};

void TestMake3d::largestShift_data() {
    QTest::addColumn<int>("pictureWidth");
    QTest::addColumn<int>("strength");
    QTest::addColumn<double>("expected");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("weak") << 4000 << int(StereoCompose::Weak) << 12.0 << "maxshift=12";
    QTest::newRow("normal") << 4000 << int(StereoCompose::Normal) << 20.0 << "maxshift=20";
    QTest::newRow("strong") << 4000 << int(StereoCompose::Strong) << 40.0 << "maxshift=40";
    QTest::newRow("fraction logged truncated")
        << 1999 << int(StereoCompose::Normal) << 9.995 << "maxshift=9";
}

void TestMake3d::largestShift() {
    QFETCH(int, pictureWidth);
    QFETCH(int, strength);
    QFETCH(double, expected);
    QFETCH(QString, logLine);
    QCOMPARE(StereoCompose::maxShift(pictureWidth, strength), expected);
    LogRecorder log;
    const cv::Mat black(1, pictureWidth, CV_8UC3, cv::Scalar::all(0));
    StereoCompose::Options chosen;
    chosen.strength = strength;
    std::mt19937 random(1);
    QVERIFY(!StereoCompose::compose(black, black, chosen, random).empty());
    QVERIFY(log.contains(logLine));
}

void TestMake3d::starsMoveByArea_data() {
    QTest::addColumn<QVector<Blob>>("blobs");
    QTest::addColumn<int>("depth");
    const int brighter = StereoCompose::BrighterNearer;
    QTest::newRow("largest star: maxShift") << QVector<Blob>{largest} << brighter;
    QTest::newRow("a quarter of its area: half")
        << QVector<Blob>{largest, {{2000, 30, 10, 10}, 10}} << brighter;
    QTest::newRow("2500 px stays") << QVector<Blob>{largest, {{2500, 10, 50, 50}, 0}} << brighter;
    QTest::newRow("2 px dropped") << QVector<Blob>{largest, {{2000, 40, 2, 1}, dropped}}
                                  << brighter;
    QTest::newRow("past the edges dropped")
        << QVector<Blob>{largest, {{3985, 30, 10, 10}, 10}, {{5, 30, 10, 10}, 10}} << brighter;
    QTest::newRow("only a galaxy core: no star to measure by")
        << QVector<Blob>{{{2500, 10, 50, 50}, 0}} << brighter;
    QTest::newRow("only specks: no star to measure by")
        << QVector<Blob>{{{2000, 40, 2, 1}, dropped}} << brighter;
    QTest::newRow("no blob: the starless sky") << QVector<Blob>{} << brighter;
    QTest::newRow("unknown depth method: by area")
        << QVector<Blob>{largest, {{2000, 30, 10, 10}, 10}} << 2;
}

void TestMake3d::starsMoveByArea() {
    QFETCH(QVector<Blob>, blobs);
    QFETCH(int, depth);
    const cv::Mat composed = compose(scene(blobs), options(StereoCompose::SideBySide, depth));
    QCOMPARE(composed.size(), cv::Size(2 * width, height));
    QVERIFY(same(composed(cv::Rect(0, 0, width, height)), view(blobs, +1)));
    QVERIFY(same(composed(cv::Rect(width, 0, width, height)), view(blobs, -1)));
}

void TestMake3d::backgroundIsNoStar() {
    // One row: the sky is a blob under 2001 px too, but no star. The star ends in the last
    // pixel, so it is read past the last whole eight.
    const int rowWidth = 2002; // strong: 20 px
    const cv::Mat starless(1, rowWidth, CV_8UC3, sky);
    cv::Mat source = starless.clone();
    cv::Mat star = source(cv::Rect(rowWidth - 100, 0, 100, 1));
    star += starColour;
    StereoCompose::Options chosen = options(StereoCompose::SideBySide);
    chosen.strength = StereoCompose::Strong;
    std::mt19937 random(1);
    const cv::Mat composed = StereoCompose::compose(source, starless, chosen, random);
    const cv::Mat viewB = composed(cv::Rect(rowWidth, 0, rowWidth, 1));
    const cv::Vec3b starPixel = source.at<cv::Vec3b>(0, rowWidth - 1);
    const cv::Vec3b skyPixel = starless.at<cv::Vec3b>(0, 0);
    QCOMPARE(composed.at<cv::Vec3b>(0, rowWidth - 80), starPixel);
    QCOMPARE(composed.at<cv::Vec3b>(0, rowWidth - 81), skyPixel);
    QCOMPARE(viewB.at<cv::Vec3b>(0, rowWidth - 120), starPixel);
    QCOMPARE(viewB.at<cv::Vec3b>(0, rowWidth - 21), starPixel);
    QCOMPARE(viewB.at<cv::Vec3b>(0, rowWidth - 20), skyPixel);
}

void TestMake3d::formats_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<cv::Mat>("expected");
    const cv::Mat a = view({largest}, +1), b = view({largest}, -1);
    cv::Mat sideBySide, halfA, halfB, halfSideBySide, anaglyph;
    cv::hconcat(a, b, sideBySide);
    cv::resize(a, halfA, cv::Size(width / 2, height), 0, 0, cv::INTER_LINEAR);
    cv::resize(b, halfB, cv::Size(width / 2, height), 0, 0, cv::INTER_LINEAR);
    cv::hconcat(halfA, halfB, halfSideBySide);
    std::vector<cv::Mat> channelsA, channelsB;
    cv::split(a, channelsA);
    cv::split(b, channelsB);
    cv::merge(std::vector<cv::Mat>{channelsB[0], channelsB[1], channelsA[2]}, anaglyph);
    QTest::newRow("side by side: 2W, A left") << int(StereoCompose::SideBySide) << sideBySide;
    QTest::newRow("half: W, halves") << int(StereoCompose::HalfSideBySide) << halfSideBySide;
    QTest::newRow("anaglyph: red from A") << int(StereoCompose::Anaglyph) << anaglyph;
}

void TestMake3d::formats() {
    QFETCH(int, format);
    QFETCH(cv::Mat, expected);
    QVERIFY(same(compose(scene({largest}), options(format)), expected));
}

void TestMake3d::randomDepthFollowsTheSeed_data() {
    QTest::addColumn<unsigned>("otherSeed");
    QTest::addColumn<bool>("alike");
    QTest::newRow("same seed, same picture") << 7u << true;
    QTest::newRow("other seed, other picture") << 8u << false;
}

void TestMake3d::randomDepthFollowsTheSeed() {
    QFETCH(unsigned, otherSeed);
    QFETCH(bool, alike);
    const cv::Mat source = crowdedScene();
    const auto randomDepth = options(StereoCompose::SideBySide, StereoCompose::Random);
    const cv::Mat first = compose(source, randomDepth, 7);
    const cv::Mat second = compose(source, randomDepth, otherSeed);
    QCOMPARE(same(first, second), alike);
    // Whatever the depths, every star stays whole in both views.
    QCOMPARE(starPixels(first(cv::Rect(0, 0, width, height))), starPixels(source));
    QCOMPARE(starPixels(first(cv::Rect(width, 0, width, height))), starPixels(source));
}

void TestMake3d::mismatchedPicturesGiveNothing_data() {
    QTest::addColumn<cv::Mat>("starless");
    QTest::newRow("other size") << cv::Mat(height, width - 1, CV_8UC3, sky);
    QTest::newRow("one channel") << cv::Mat(height, width, CV_8UC1, cv::Scalar(10));
    QTest::newRow("16 bits") << cv::Mat(height, width, CV_16UC3, sky);
    QTest::newRow("empty") << cv::Mat();
}

void TestMake3d::mismatchedPicturesGiveNothing() {
    QFETCH(cv::Mat, starless);
    LogRecorder log;
    std::mt19937 random(1);
    QVERIFY(StereoCompose::compose(scene({largest}), starless, options(0), random).empty());
    QVERIFY(log.contains("bak-file read error"));
}

void TestMake3d::stoppedGivesNothing() {
    std::mt19937 random(1);
    int calls = 0;
    const cv::Mat composed =
        StereoCompose::compose(scene({largest}), flatSky(), options(0), random, [&](int, int) {
            ++calls;
            return false;
        });
    QVERIFY(composed.empty());
    QCOMPARE(calls, 1);
}

QTEST_GUILESS_MAIN(TestMake3d)
#include "tst_make3d.moc"
