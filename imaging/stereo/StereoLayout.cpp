#include "StereoLayout.h"

#include "StereoCompose.h"

#include <opencv2/imgproc.hpp>

namespace {
const cv::Vec3b allChannels(1, 1, 1);
}

StereoLayout::StereoLayout(cv::Size viewSize, int format)
    : format(format) {
    const int width = viewSize.width, height = viewSize.height;
    switch (format) {
    case StereoCompose::HalfSideBySide: // full views, one above the other, squeezed at the end
        memory.create(2 * height, width, CV_8UC3);
        a = {memory(cv::Rect(0, 0, width, height)), allChannels};
        b = {memory(cv::Rect(0, height, width, height)), allChannels};
        break;
    case StereoCompose::Anaglyph:
        memory.create(height, width, CV_8UC3);
        a = {memory, cv::Vec3b(0, 0, 1)}; // red, channel 2
        b = {memory, cv::Vec3b(1, 1, 0)}; // green and blue
        break;
    default:
        memory.create(height, 2 * width, CV_8UC3);
        a = {memory(cv::Rect(0, 0, width, height)), allChannels};
        b = {memory(cv::Rect(width, 0, width, height)), allChannels};
    }
}

cv::Mat StereoLayout::labelRoom() {
    const cv::Size size = a.picture.size();
    if (memory.total() * memory.elemSize() < size.area() * sizeof(int))
        return {};
    return cv::Mat(size, CV_32S, memory.data);
}

void StereoLayout::layOutSky(const cv::Mat& starless) {
    sky = starless;
    starless.copyTo(a.picture);
    if (b.picture.data != a.picture.data)
        starless.copyTo(b.picture);
}

void StereoLayout::View::draw(const cv::Vec3b& starLight, int y, int x, const cv::Mat& sky) {
    cv::Vec3b& to = picture.ptr<cv::Vec3b>(y)[x];
    const cv::Vec3b& under = sky.ptr<cv::Vec3b>(y)[x];
    for (int c = 0; c < 3; ++c)
        if (channels[c])
            to[c] = cv::saturate_cast<uchar>(under[c] + starLight[c]);
}

cv::Mat StereoLayout::finish() {
    if (format != StereoCompose::HalfSideBySide)
        return memory;
    // An odd width leaves its last column black rather than changing the picture's width.
    const int width = a.picture.cols, height = a.picture.rows;
    const cv::Size half(width / 2, height);
    cv::Mat composed(height, width, CV_8UC3, cv::Scalar::all(0));
    cv::Mat left = composed(cv::Rect(0, 0, half.width, height));
    cv::Mat right = composed(cv::Rect(half.width, 0, half.width, height));
    cv::resize(a.picture, left, half, 0, 0, cv::INTER_LINEAR);
    cv::resize(b.picture, right, half, 0, 0, cv::INTER_LINEAR);
    return composed;
}
