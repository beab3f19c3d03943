// The display routine on a binned live frame (2072 x 1411) and on a full frame (6248 x 4176),
// 8-bit Bayer, beside OpenCV's demosaic of the same frame alone; and a 16-bit faint sky of the
// binned live size shown through the automatic stretch, beside the same frame shown by its
// high bytes.
#include "FrameOps.h"
#include "ImageDisplay.h"
#include "PreviewStretch.h"
#include "ProcessState.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace {

cv::Mat mosaic(int width, int height) {
    cv::Mat frame(height, width, CV_8UC1);
    cv::randu(frame, 0, 256);
    return frame;
}

void showFrames(benchmark::State& state, int width, int height) {
    const cv::Mat frame = mosaic(width, height);
    ProcessState process;
    ImageDisplay display(process);
    display.setDisplayGeometry(width, height);
    for (auto _ : state) {
        display.showImage(frame, true, 0);
        benchmark::DoNotOptimize(display.canvas().data);
        benchmark::ClobberMemory();
    }
}

// A 16-bit Bayer frame of a faint sky: a background from 1 to 5 % of full scale across the
// frame, noise, and stars up to saturation.
cv::Mat faintSky(int width, int height) {
    cv::Mat sky(height, width, CV_32F);
    cv::randn(sky, 0, 150);
    cv::Mat background(1, width, CV_32F);
    for (int x = 0; x < width; ++x)
        background.at<float>(x) = 655 + 2620.0f * x / width;
    sky += cv::repeat(background, height, 1);
    cv::RNG rng(7);
    for (int i = 0; i < 400; ++i) {
        const cv::Point centre(rng.uniform(0, width), rng.uniform(0, height));
        const double peak = 65535 * std::pow(rng.uniform(0.02, 1.0), 2);
        for (int r = 4; r >= 1; --r)
            cv::circle(sky, centre, r, peak / r, cv::FILLED);
    }
    cv::Mat frame;
    sky.convertTo(frame, CV_16U);
    return frame;
}

void showSky(benchmark::State& state, bool stretched) {
    const cv::Mat frame = faintSky(2072, 1411);
    ProcessState process;
    ImageDisplay display(process);
    display.setDisplayGeometry(frame.cols, frame.rows);
    cv::Mat frame8;
    for (auto _ : state) {
        screenPicture(frame, true, stretched, frame8);
        display.showImage(frame8, true, 0);
        benchmark::DoNotOptimize(display.canvas().data);
        benchmark::ClobberMemory();
    }
}

void demosaicFrames(benchmark::State& state, int width, int height) {
    const cv::Mat frame = mosaic(width, height);
    cv::Mat colour;
    for (auto _ : state) {
        cv::cvtColor(frame, colour, cv::COLOR_BayerBG2BGR);
        benchmark::DoNotOptimize(colour.data);
        benchmark::ClobberMemory();
    }
}

void BM_ShowLiveFrame(benchmark::State& state) {
    showFrames(state, 2072, 1411);
}
void BM_ShowLiveFrame_Baseline(benchmark::State& state) {
    demosaicFrames(state, 2072, 1411);
}
void BM_ShowLiveFrameStretched(benchmark::State& state) {
    showSky(state, true);
}
void BM_ShowLiveFrameStretched_Baseline(benchmark::State& state) {
    showSky(state, false);
}
void BM_ShowFullFrame(benchmark::State& state) {
    showFrames(state, 6248, 4176);
}
void BM_ShowFullFrame_Baseline(benchmark::State& state) {
    demosaicFrames(state, 6248, 4176);
}

} // namespace

BENCHMARK(BM_ShowLiveFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShowLiveFrame_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShowLiveFrameStretched)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShowLiveFrameStretched_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShowFullFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShowFullFrame_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
