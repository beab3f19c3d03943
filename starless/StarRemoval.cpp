#include "StarRemoval.h"

#include <algorithm>
#include <cstdint>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace {

// Deviation of the softening Gaussian, in pixels: enough to round off the disc's steps.
constexpr double softening = 1.0;

} // namespace

StarRemoval::StarRemoval(int radius)
    : radius(std::max(1, radius)) {}

cv::Mat StarRemoval::starless(const cv::Mat& image) const {
    CV_Assert(image.type() == CV_16UC3);
    const cv::Mat disc =
        cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(2 * radius + 1, 2 * radius + 1));
    cv::Mat opened;
    cv::morphologyEx(image, opened, cv::MORPH_OPEN, disc, cv::Point(-1, -1), 1,
                     cv::BORDER_REPLICATE);
    cv::add(opened, levelTaken(image, opened), opened);
    cv::GaussianBlur(opened, opened, cv::Size(), softening, softening, cv::BORDER_REPLICATE);
    return opened;
}

cv::Mat StarRemoval::levelTaken(const cv::Mat& image, const cv::Mat& opened) const {
    const int tile = 4 * radius;
    const cv::Size grid((image.cols + tile - 1) / tile, (image.rows + tile - 1) / tile);
    cv::Mat medians(grid, CV_16UC3);
    cv::parallel_for_(cv::Range(0, grid.height), [&](const cv::Range& rows) {
        std::vector<std::uint16_t> taken[3];
        for (int ty = rows.start; ty < rows.end; ++ty) {
            for (int tx = 0; tx < grid.width; ++tx) {
                const cv::Rect box = cv::Rect(tx * tile, ty * tile, tile, tile) &
                                     cv::Rect(0, 0, image.cols, image.rows);
                for (auto& t : taken)
                    t.clear();
                for (int y = box.y; y < box.br().y; ++y) {
                    const auto* in = image.ptr<cv::Vec3w>(y);
                    const auto* out = opened.ptr<cv::Vec3w>(y);
                    for (int x = box.x; x < box.br().x; ++x) {
                        for (int c = 0; c < 3; ++c)
                            taken[c].push_back(std::uint16_t(in[x][c] - out[x][c]));
                    }
                }
                for (int c = 0; c < 3; ++c) {
                    auto middle = taken[c].begin() + std::ptrdiff_t(taken[c].size() / 2);
                    std::nth_element(taken[c].begin(), middle, taken[c].end());
                    medians.at<cv::Vec3w>(ty, tx)[c] = *middle;
                }
            }
        }
    });
    cv::Mat spread;
    cv::resize(medians, spread, image.size(), 0, 0, cv::INTER_LINEAR);
    return spread;
}

cv::Mat StarRemoval::toColour16(const cv::Mat& image, std::string* error) {
    if (image.empty()) {
        *error = "not a picture";
        return cv::Mat();
    }
    cv::Mat samples;
    if (image.depth() == CV_16U)
        samples = image;
    else if (image.depth() == CV_8U)
        image.convertTo(samples, CV_16U, 257);
    else {
        *error = "samples neither 8 nor 16 bits";
        return cv::Mat();
    }
    cv::Mat colour;
    switch (samples.channels()) {
    case 1:
        cv::cvtColor(samples, colour, cv::COLOR_GRAY2BGR);
        break;
    case 3:
        colour = samples;
        break;
    case 4:
        cv::cvtColor(samples, colour, cv::COLOR_BGRA2BGR);
        break;
    default:
        *error = "neither grey nor colour";
        return cv::Mat();
    }
    return colour;
}
