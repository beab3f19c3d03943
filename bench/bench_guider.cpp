// The autoguider's work on each 640 x 480 guide frame while guiding: the frame's threshold,
// the star in the guide box and the session's step, beside the mean and deviation of the same
// frame; and the picture the window shows, beside the frame's plain conversion to a QImage.
#include "DetectionThreshold.h"
#include "GuidePreview.h"
#include "GuidePulseSink.h"
#include "GuideSession.h"
#include "GuideStarMeasure.h"
#include "SettingsRecord.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int width = 640, height = 480;
constexpr int starX = 321, starY = 243;

// A guide frame: sky noise and one star near the centre.
const cv::Mat& guideFrame() {
    static const cv::Mat frame = [] {
        cv::Mat sky(height, width, CV_8UC1);
        cv::setRNGSeed(7);
        cv::randn(sky, 24, 3);
        cv::Mat star = cv::Mat::zeros(height, width, CV_8UC1);
        cv::circle(star, cv::Point(starX, starY), 2, cv::Scalar(200), cv::FILLED);
        cv::GaussianBlur(star, star, cv::Size(0, 0), 1.2);
        return cv::Mat(sky + star);
    }();
    return frame;
}

struct NoMount : GuidePulseSink {
    void guidePulse(char, int) override {}
};

void BM_GuideFrameStep(benchmark::State& state) {
    const cv::Mat& frame = guideFrame();
    NoMount mount;
    SettingsRecord settings;
    settings.dirRight = 'W';
    settings.dirLeft = 'E';
    settings.dirUpper = 'N';
    settings.dirLower = 'S';
    GuideSession session(mount, QSize(width, height), QSize(260, 128));
    session.setClock([] { return std::int64_t(0); });
    session.startGuiding(settings);
    const int half = GuideSession::boxSize / 2;
    session.takeCandidates({QPoint(starX - half, starY - half)}, 0);
    session.select();
    for (auto _ : state) {
        const int threshold = detectionThreshold(frame);
        const GuideStarMeasure measured =
            GuideStarMeasure::inBox(frame, session.lockX(), session.lockY(), threshold);
        benchmark::DoNotOptimize(session.processFrame(measured.star, settings));
    }
    if (session.state() != GuideSession::Running)
        state.SkipWithError("not guiding");
}

void BM_GuideFrameStep_Baseline(benchmark::State& state) {
    const cv::Mat& frame = guideFrame();
    for (auto _ : state) {
        cv::Scalar mean, deviation;
        cv::meanStdDev(frame, mean, deviation);
        benchmark::DoNotOptimize(deviation);
    }
}

void BM_GuidePreview(benchmark::State& state) {
    const cv::Mat& frame = guideFrame();
    for (auto _ : state) {
        QImage picture = GuidePreview::picture(frame, frame, 0);
        GuidePreview::drawBox(picture, starX - 8, starY - 8, Qt::red);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

void BM_GuidePreview_Baseline(benchmark::State& state) {
    const cv::Mat& frame = guideFrame();
    for (auto _ : state) {
        const QImage picture =
            QImage(frame.data, width, height, int(frame.step), QImage::Format_Grayscale8).copy();
        benchmark::DoNotOptimize(picture.constBits());
    }
}

} // namespace

BENCHMARK(BM_GuideFrameStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GuideFrameStep_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GuidePreview)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GuidePreview_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
