// The stereo picture of a 6248 x 4176 colour star field and its starless sky, beside the
// part of it no composition can do without: labelling the same star mask and laying the
// starless sky over two full-frame views.
#include "BenchData.h"
#include "StereoCompose.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace {

constexpr int width = 6248, height = 4176, starCount = 4000;

// A smooth sky: a gradient and a few broad glows of nebulosity.
cv::Mat smoothSky() {
    cv::Mat coarse(height / 64, width / 64, CV_8UC3);
    const cv::Point2f glows[] = {{20, 15}, {60, 40}, {80, 20}};
    for (int y = 0; y < coarse.rows; ++y)
        for (int x = 0; x < coarse.cols; ++x) {
            double light = 20 + 15.0 * x / coarse.cols;
            for (const cv::Point2f& glow : glows)
                light +=
                    60 *
                    std::exp(-((x - glow.x) * (x - glow.x) + (y - glow.y) * (y - glow.y)) / 200.0);
            coarse.at<cv::Vec3b>(y, x) =
                cv::Vec3b(cv::saturate_cast<uchar>(light * 0.8),
                          cv::saturate_cast<uchar>(light * 0.9), cv::saturate_cast<uchar>(light));
        }
    cv::Mat sky;
    cv::resize(coarse, sky, cv::Size(width, height), 0, 0, cv::INTER_CUBIC);
    return sky;
}

// Gaussian stars of many brightnesses and widths, faint ones below the star threshold.
cv::Mat starField(const cv::Mat& sky) {
    cv::Mat field = sky.clone();
    cv::RNG rng(7);
    for (int i = 0; i < starCount; ++i) {
        const double cx = rng.uniform(0.0, double(width)), cy = rng.uniform(0.0, double(height));
        const double sigma = rng.uniform(0.8, 3.5), peak = rng.uniform(40.0, 400.0);
        const cv::Vec3d tint(rng.uniform(0.7, 1.0), rng.uniform(0.8, 1.0), rng.uniform(0.7, 1.0));
        const int reach = int(std::ceil(4 * sigma));
        for (int y = std::max(0, int(cy) - reach); y <= std::min(height - 1, int(cy) + reach); ++y)
            for (int x = std::max(0, int(cx) - reach); x <= std::min(width - 1, int(cx) + reach);
                 ++x) {
                const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                const double light = peak * std::exp(-d2 / (2 * sigma * sigma));
                cv::Vec3b& p = field.at<cv::Vec3b>(y, x);
                for (int c = 0; c < 3; ++c)
                    p[c] = cv::saturate_cast<uchar>(p[c] + light * tint[c]);
            }
    }
    return field;
}

struct Frames {
    cv::Mat starless = smoothSky();
    cv::Mat source = starField(starless);
    cv::Mat mask;
    Frames() {
        cv::Mat stars, grey;
        cv::subtract(source, starless, stars);
        cv::cvtColor(stars, grey, cv::COLOR_BGR2GRAY);
        cv::threshold(grey, mask, 100, 255, cv::THRESH_BINARY);
    }
};

const Frames& frames() {
    static const Frames f;
    return f;
}

void BM_Compose3D(benchmark::State& state) {
    const Frames& f = frames();
    const StereoCompose::Options options;
    std::mt19937 random(1);
    int blobs = 0;
    for (auto _ : state) {
        const cv::Mat composed =
            StereoCompose::compose(f.source, f.starless, options, random, [&](int, int total) {
                blobs = total;
                return true;
            });
        benchmark::DoNotOptimize(composed.data);
    }
    // CSV output wants the same counters on every figure.
    state.counters["blobs"] = blobs;
}

// Like the composition, which returns a new picture, each run makes its labels and views
// afresh: the fresh memory of a frame costs as much as labelling it.
void BM_Compose3D_Baseline(benchmark::State& state) {
    const Frames& f = frames();
    const cv::Mat black(f.source.size(), CV_8UC3, cv::Scalar::all(0));
    int blobs = 0;
    for (auto _ : state) {
        cv::Mat labels, stats, centroids, viewA, viewB;
        blobs = cv::connectedComponentsWithStats(f.mask, labels, stats, centroids, 8, CV_32S) - 1;
        cv::add(black, f.starless, viewA);
        cv::add(black, f.starless, viewB);
        benchmark::DoNotOptimize(viewA.data);
        benchmark::DoNotOptimize(viewB.data);
        benchmark::ClobberMemory();
    }
    state.counters["blobs"] = blobs;
}

} // namespace

BENCHMARK(BM_Compose3D)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Compose3D_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    // One composition takes about half a second: a few are averaged.
    return runBenchmarks(argc, argv, 3);
}
