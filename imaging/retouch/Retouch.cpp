#include "Retouch.h"

#include <algorithm>
#include <cmath>

namespace {

// 3 at level 0, 1 at 50, 1 / 2.96 at 99.
double levelGamma(int level) {
    if (level >= 50)
        return 1.0 / (2.0 * (level - 50) / 50.0 + 1.0);
    return 2.0 * (50 - level) / 50.0 + 1.0;
}

// The tone curve on a scale of 256 x unit (unit 256 for 16-bit samples, 1 for 8-bit), in
// integers, clamped to the scale.
int toneCurve(int v, const RetouchValues& r, int unit) {
    const int l0 = r.lowX * unit, l1 = r.lowY * unit, h0 = r.highX * unit, h1 = r.highY * unit;
    int out;
    if (v < l0)
        out = l1;
    else if (v < h0)
        out = l1 + (v - l0) * (r.highY - r.lowY) / (r.highX - r.lowX);
    else
        out = h1 + (v - h0) * (256 - r.highY) / (256 - r.highX);
    return std::clamp(out, 0, 256 * unit - 1);
}

template <typename T>
void lookUp(const cv::Mat& source, cv::Mat& target, const std::array<std::vector<uint16_t>, 3>& t) {
    const int channels = source.channels();
    for (int y = 0; y < source.rows; ++y) {
        const T* in = source.ptr<T>(y);
        T* out = target.ptr<T>(y);
        if (channels == 1) {
            const uint16_t* red = t[2].data();
            for (int x = 0; x < source.cols; ++x)
                out[x] = T(red[in[x]]);
            continue;
        }
        const uint16_t *b = t[0].data(), *g = t[1].data(), *r = t[2].data();
        for (int x = 0; x < source.cols * 3; x += 3) {
            out[x] = T(b[in[x]]);
            out[x + 1] = T(g[in[x + 1]]);
            out[x + 2] = T(r[in[x + 2]]);
        }
    }
}

} // namespace

Retouch::Retouch(const RetouchValues& v)
    : values(v) {
    values.rLevel = std::clamp(v.rLevel, 0, 99);
    values.gLevel = std::clamp(v.gLevel, 0, 99);
    values.bLevel = std::clamp(v.bLevel, 0, 99);
    // A curve whose points are out of order or off the scale would divide by zero or fold
    // back: the straight curve stands in for it.
    const auto onScale = [](int value) { return value >= 0 && value <= 255; };
    if (!onScale(v.lowX) || !onScale(v.lowY) || !onScale(v.highX) || !onScale(v.highY) ||
        v.lowX >= v.highX || v.lowY >= v.highY) {
        const RetouchValues straight;
        values.lowX = straight.lowX;
        values.lowY = straight.lowY;
        values.highX = straight.highX;
        values.highY = straight.highY;
    }
}

std::array<std::vector<uint16_t>, 3> Retouch::tables(int bits) const {
    const int scale = 1 << bits;
    const int unit = scale / 256;
    const int levels[3] = {values.bLevel, values.gLevel, values.rLevel};
    std::array<std::vector<uint16_t>, 3> result;
    for (int c = 0; c < 3; ++c) {
        const double g = levelGamma(levels[c]);
        result[c].resize(scale);
        for (int x = 0; x < scale; ++x) {
            const int v = int(std::pow(double(x) / scale, g) * scale);
            result[c][x] = uint16_t(toneCurve(v, values, unit));
        }
    }
    return result;
}

bool Retouch::apply(const cv::Mat& source, cv::Mat& target) const {
    const int type = source.type();
    if (type != CV_16UC1 && type != CV_16UC3 && type != CV_8UC1 && type != CV_8UC3)
        return false;
    target.create(source.size(), type);
    if (source.depth() == CV_16U)
        lookUp<uint16_t>(source, target, tables(16));
    else
        lookUp<uint8_t>(source, target, tables(8));
    return true;
}
