// Star-spot searches on a simulated 640 x 480 guide frame, each beside OpenCV's 4-connected
// labelling with statistics of the same thresholded image. Both sides apply the threshold;
// over the whole frame both also compute it.
#include "BenchData.h"
#include "DebugLog.h"
#include "DetectionThreshold.h"
#include "SimCameraModel.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"
#include "StarSpotDetector.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace {

// The guide camera binned 2 x 2 behind an 800 mm telescope, on the Trapezium.
struct GuideFrames {
    cv::Mat frame;
    cv::Rect box;             // 16 x 16 around the preferred star
    int threshold = 0;        // of the frame, which the guider applies to the box
    int refinedThreshold = 0; // the box's second search

    GuideFrames() {
        DebugLog::setStderrEcho(false);
        cv::setNumThreads(1); // the detector runs on one thread; so does its baseline
        const StarCatalog catalog = loadCatalogs(catalogueFolder());
        const SimSensor sensor = SimCameraModel::withKey("ASI120MM")->sensor();
        SimOptics optics;
        optics.focalLengthMm = 800;
        optics.seeingFwhmArcsec = 3;
        SimExposure exposure;
        exposure.seconds = 4;
        exposure.electronsPerAdu = 0.05;
        exposure.offsetAdu = 16 * 256;
        exposure.bin = 2;
        exposure.bits16 = false;
        exposure.frameNumber = 1;
        frame = SkyRenderer(catalog).render(sensor, optics, exposure);
        threshold = detectionThreshold(frame);
        StarSpotDetector detector(frame);
        detector.findStars(threshold, false);
        box = cv::Rect(detector.starBoxX(detector.chosen()), detector.starBoxY(detector.chosen()),
                       16, 16);
        StarSpotDetector boxDetector(frame(box));
        boxDetector.findStars(threshold, true);
        refinedThreshold = boxDetector.refinedThreshold(threshold);
    }
};

const GuideFrames& frames() {
    static const GuideFrames f;
    return f;
}

// What OpenCV gives in the same place: 4-connected labels of the thresholded image with
// their statistics.
int openCvSpots(const cv::Mat& image, int threshold, cv::Mat& binary, cv::Mat& labels,
                cv::Mat& stats, cv::Mat& centroids) {
    cv::threshold(image, binary, threshold, 255, cv::THRESH_BINARY);
    return cv::connectedComponentsWithStats(binary, labels, stats, centroids, 4, CV_32S);
}

void BM_FindStarsFrame(benchmark::State& state) {
    const cv::Mat& frame = frames().frame;
    StarSpotDetector detector(frame);
    for (auto _ : state)
        benchmark::DoNotOptimize(detector.findStars(detectionThreshold(frame), false));
}

void BM_FindStarsFrame_Baseline(benchmark::State& state) {
    const cv::Mat& frame = frames().frame;
    cv::Mat binary, labels, stats, centroids;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            openCvSpots(frame, detectionThreshold(frame), binary, labels, stats, centroids));
}

// A detector made for each frame, as the guider's search does, against OpenCV with fresh
// outputs.
void BM_CreateAndFindStarsFrame(benchmark::State& state) {
    const cv::Mat& frame = frames().frame;
    for (auto _ : state) {
        StarSpotDetector detector(frame);
        benchmark::DoNotOptimize(detector.findStars(detectionThreshold(frame), false));
    }
}

void BM_CreateAndFindStarsFrame_Baseline(benchmark::State& state) {
    const cv::Mat& frame = frames().frame;
    for (auto _ : state) {
        cv::Mat binary, labels, stats, centroids;
        benchmark::DoNotOptimize(
            openCvSpots(frame, detectionThreshold(frame), binary, labels, stats, centroids));
    }
}

// The guide box: a detector made for each box and searched twice, the second time with the
// refined threshold.
void BM_FindStarsBox(benchmark::State& state) {
    const cv::Mat box = frames().frame(frames().box);
    const int threshold = frames().threshold;
    for (auto _ : state) {
        StarSpotDetector detector(box);
        detector.findStars(threshold, true);
        benchmark::DoNotOptimize(detector.findStars(detector.refinedThreshold(threshold), true));
    }
}

void BM_FindStarsBox_Baseline(benchmark::State& state) {
    const cv::Mat box = frames().frame(frames().box);
    for (auto _ : state) {
        cv::Mat binary, labels, stats, centroids;
        openCvSpots(box, frames().threshold, binary, labels, stats, centroids);
        benchmark::DoNotOptimize(
            openCvSpots(box, frames().refinedThreshold, binary, labels, stats, centroids));
    }
}

} // namespace

BENCHMARK(BM_FindStarsFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FindStarsFrame_Baseline)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_CreateAndFindStarsFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_CreateAndFindStarsFrame_Baseline)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FindStarsBox)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FindStarsBox_Baseline)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_MAIN();
