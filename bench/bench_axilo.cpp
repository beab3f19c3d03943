// The polar program's picture: the fold of a camera frame into the grey image with its
// threshold, the whole-frame star search, and a main-loop pass without its camera read (fold,
// pole-star search, picture, window), each beside the nearest OpenCV equivalent.
#include "AxiloSettings.h"
#include "AxiloStarDetector.h"
#include "FrameFold.h"
#include "PoleStarSearch.h"
#include "PreviewPicture.h"
#include "PreviewWindow.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int starCount = 50;

// A night sky: a noisy background and stars of a few pixels' spread, from a fixed seed.
cv::Mat sky(cv::Size size, int type, double starSigma) {
    cv::RNG rng(20250611);
    cv::Mat image(size, type);
    rng.fill(image, cv::RNG::NORMAL, cv::Scalar::all(24), cv::Scalar::all(4));
    for (int i = 0; i < starCount; ++i) {
        const cv::Point centre(rng.uniform(20, size.width - 20), rng.uniform(20, size.height - 20));
        const double peak = rng.uniform(80.0, 230.0);
        const int reach = int(3 * starSigma);
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const double light =
                    peak * std::exp(-(dx * dx + dy * dy) / (2 * starSigma * starSigma));
                const cv::Point p = centre + cv::Point(dx, dy);
                if (type == CV_8UC1)
                    image.at<std::uint8_t>(p) =
                        cv::saturate_cast<std::uint8_t>(image.at<std::uint8_t>(p) + light);
                else
                    image.at<cv::Vec3b>(p) +=
                        cv::Vec3b::all(cv::saturate_cast<std::uint8_t>(light));
            }
    }
    return image;
}

const cv::Mat& cameraFrame() {
    static const cv::Mat frame = [] {
        cv::setNumThreads(1); // the fold and the search run on one thread; so do the baselines
        return sky({FrameFold::frameWidth, FrameFold::frameHeight}, CV_8UC3, 2.5);
    }();
    return frame;
}

const cv::Mat& greySky() {
    static const cv::Mat grey = [] {
        cv::setNumThreads(1);
        return sky({640, 480}, CV_8UC1, 1.5);
    }();
    return grey;
}

void BM_AxiloFold(benchmark::State& state) {
    const cv::Mat& frame = cameraFrame();
    FrameFold fold;
    for (auto _ : state) {
        fold.fold(frame);
        benchmark::DoNotOptimize(fold.threshold());
    }
}

// What OpenCV needs for a grey image of half the size and its mean and deviation.
void foldBaseline(benchmark::State& state) {
    const cv::Mat& frame = cameraFrame();
    cv::Mat grey, small;
    cv::Scalar mean, deviation;
    for (auto _ : state) {
        cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
        cv::resize(grey, small, {640, 480}, 0, 0, cv::INTER_AREA);
        cv::meanStdDev(small, mean, deviation);
        benchmark::DoNotOptimize(int(mean[0] + 4 * deviation[0]));
    }
}

void BM_AxiloFold_Baseline(benchmark::State& state) {
    foldBaseline(state);
}

// Everything a main-loop pass does with a frame once it has been read.
void BM_AxiloPass(benchmark::State& state) {
    const cv::Mat& frame = cameraFrame();
    AxiloSettings settings;
    PreviewWindow window(settings);
    FrameFold fold;
    PoleStarSearch search({});
    PreviewPicture::Reticle reticle;
    reticle.axisCentre = QPoint(350, 220);
    reticle.ringRadius = 40;
    reticle.target = QPointF(351.4, 180.1);
    for (auto _ : state) {
        fold.fold(frame);
        search.search(fold.grey(), fold.threshold(), reticle.target);
        window.showStarOffset(search.offset());
        window.showPicture(PreviewPicture::draw(fold.grey(), reticle));
        window.showPatch(search.magnifiedPatch());
    }
}

// The pass may take three times the fold's baseline.
void BM_AxiloPass_Baseline(benchmark::State& state) {
    foldBaseline(state);
}

void BM_AxiloSearch(benchmark::State& state) {
    const cv::Mat& grey = greySky();
    const int threshold = FrameFold::threshold(grey);
    AxiloStarDetector detector({});
    for (auto _ : state) {
        detector.searchFrame(grey, threshold, {320, 240});
        benchmark::DoNotOptimize(detector.chosen());
    }
}

void BM_AxiloSearch_Baseline(benchmark::State& state) {
    const cv::Mat& grey = greySky();
    const int threshold = FrameFold::threshold(grey);
    cv::Mat binary, labels, stats, centroids;
    for (auto _ : state) {
        cv::threshold(grey, binary, threshold, 255, cv::THRESH_BINARY);
        benchmark::DoNotOptimize(
            cv::connectedComponentsWithStats(binary, labels, stats, centroids, 4, CV_32S));
    }
}

} // namespace

BENCHMARK(BM_AxiloFold)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_AxiloFold_Baseline)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_AxiloPass)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_AxiloPass_Baseline)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_AxiloSearch)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_AxiloSearch_Baseline)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char* argv[]) {
    QApplication app(argc, argv); // the pass shows its picture in the window
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
