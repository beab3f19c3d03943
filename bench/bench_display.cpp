// The display routine on a binned live frame (2072 x 1411) and on a full frame (6248 x 4176),
// 8-bit Bayer, beside OpenCV's demosaic of the same frame alone.
#include "ImageDisplay.h"
#include "ProcessState.h"

#include <benchmark/benchmark.h>
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
void BM_ShowFullFrame(benchmark::State& state) {
    showFrames(state, 6248, 4176);
}
void BM_ShowFullFrame_Baseline(benchmark::State& state) {
    demosaicFrames(state, 6248, 4176);
}

} // namespace

BENCHMARK(BM_ShowLiveFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShowLiveFrame_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShowFullFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShowFullFrame_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
