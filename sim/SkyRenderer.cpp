#include "SkyRenderer.h"

#include "StarCatalog.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace {

constexpr double degree = 3.14159265358979323846 / 180;
constexpr double arcsecPerRadian = 206264.806;
constexpr double fwhmPerSigma = 2.3548200450309493;

// A star of this magnitude gives one electron per second: a mag-8 star then gives ~630 e/s
// (far above sky and read noise in 1 s at 400 mm), a mag-0 star saturates within 0.2 s.
constexpr double zeroPointMagnitude = 15;

// Raw response of the colour filters, relative to green.
constexpr float filterResponse[3] = {0.85f, 1.0f, 0.70f};
enum Channel { R, G, B };
// Filter of each site of the 2x2 cell, indexed by (y & 1) * 2 + (x & 1) of the full sensor.
constexpr int bayerSites[4][4] = {{R, G, G, B}, {B, G, G, R}, {G, R, B, G}, {G, B, R, G}};

// Hot pixels: their share of the sensor and their dark current at 0 °C (log-uniform).
constexpr double hotPixelFraction = 1e-4;
constexpr double hotDarkMin = 2, hotDarkMax = 50;

// A star is drawn out to where its light falls below this many electrons per pixel.
constexpr double psfCutElectrons = 0.01;

// Below this mean, shot noise is drawn from the Poisson law; above it the Gaussian is close.
constexpr float poissonLimit = 20;

// Deep-sky light keeps its contrast with the sky: a surface brightness of darkSkyMagnitude per
// square arcsecond, a dark site's sky, gives as much light per pixel as the simulated sky does
// by default. Against the stars that makes it brighter than it is (the simulated sky is brighter
// than a dark site's against stars of their true brightness), which is how it looks in long
// exposures. An object of a few arcminutes is seen against the stars rather than the sky: its
// light moves from the one scale to the other, halfway at liftHalfSizeArcmin.
constexpr double darkSkyMagnitude = 21.5;
constexpr double liftHalfSizeArcmin = 2;
// The catalogue size spans the wide glow to two deviations each side; the central glow is
// coreScale as wide and carries coreShare of the light.
constexpr double coreShare = 0.3;
constexpr double coreScale = 0.4;
// A glow is drawn out to this many deviations, or to where it falls below psfCutElectrons.
constexpr double glowReachSigmas = 3.5;

std::uint64_t mix64(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// splitmix64: fast, and every row gets a stream of its own whatever thread renders it.
struct Random {
    std::uint64_t state;
    explicit Random(std::uint64_t seed)
        : state(seed) {}
    std::uint64_t next() {
        state += 0x9e3779b97f4a7c15ULL;
        return mix64(state);
    }
};

double normalCdf(double x) {
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

// Inverse normal CDF sampled at 4096 steps of probability, read with linear interpolation.
struct GaussTable {
    static constexpr int bits = 12;
    static constexpr int size = 1 << bits;
    float value[size + 1];
    GaussTable() {
        const double tail = 4.6;
        value[0] = float(-tail);
        value[size] = float(tail);
        for (int i = 1; i < size; ++i) {
            const double p = double(i) / size;
            double lo = -tail, hi = tail;
            for (int k = 0; k < 48; ++k) {
                const double mid = 0.5 * (lo + hi);
                (normalCdf(mid) < p ? lo : hi) = mid;
            }
            value[i] = float(0.5 * (lo + hi));
        }
    }
    // A standard normal deviate from 32 random bits.
    float operator()(std::uint32_t u) const {
        const std::uint32_t i = u >> (32 - bits);
        const float f = float(u & ((1u << (32 - bits)) - 1)) * (1.0f / (1u << (32 - bits)));
        return value[i] + f * (value[i + 1] - value[i]);
    }
};

// Cumulative Poisson laws for means on a grid of 1/32 electron up to poissonLimit, with a guide
// table per law so that a draw takes one look-up and rarely a step. A mean between two grid
// points takes one of them at random, in proportion, which keeps the mean.
struct PoissonTable {
    static constexpr int steps = 32;
    static constexpr int means = int(poissonLimit) * steps + 1;
    static constexpr int counts = 64; // P(k >= 63) is below 1e-12 at the largest mean
    static constexpr int guideBits = 8;
    float cdf[means][counts];
    std::uint8_t guide[means][1 << guideBits]; // the count at the start of each slice of u
    PoissonTable() {
        for (int i = 0; i < means; ++i) {
            const double mean = double(i) / steps;
            double p = std::exp(-mean), cumulative = p;
            cdf[i][0] = float(cumulative);
            for (int k = 1; k < counts - 1; ++k) {
                p *= mean / k;
                cumulative += p;
                cdf[i][k] = float(std::min(cumulative, 1.0));
            }
            cdf[i][counts - 1] = 2; // above any deviate: ends the walk
            int k = 0;
            for (int j = 0; j < (1 << guideBits); ++j) {
                const float u = float(j) / (1 << guideBits);
                while (u >= cdf[i][k])
                    ++k;
                guide[i][j] = std::uint8_t(k);
            }
        }
    }
    // A Poisson count of mean `mean` (below poissonLimit) from 32 random bits.
    int operator()(float mean, std::uint32_t bits) const {
        const float scaled = mean * steps;
        int i = int(scaled);
        if (float(bits >> 24) * (1.0f / 256) < scaled - float(i))
            ++i;
        i = std::min(i, means - 1);
        const std::uint32_t u24 = bits & 0xffffff;
        const float u = float(u24) * (1.0f / (1u << 24));
        const float* f = cdf[i];
        int k = guide[i][u24 >> (24 - guideBits)];
        while (u >= f[k])
            ++k;
        return k;
    }
};

const GaussTable& gaussTable() {
    static const GaussTable table;
    return table;
}

const PoissonTable& poissonTable() {
    static const PoissonTable table;
    return table;
}

// Electrons read from a pixel of mean `mean`: shot noise and read noise of deviation `read`.
inline float sampleElectrons(float mean, float read, std::uint64_t bits, const GaussTable& gauss,
                             const PoissonTable& poisson) {
    const float g = gauss(std::uint32_t(bits));
    if (mean >= poissonLimit)
        return mean + std::sqrt(mean + read * read) * g;
    return float(poisson(mean, std::uint32_t(bits >> 32))) + read * g;
}

// The tangent plane of the pointing, in sensor pixels.
double finiteOr(double value, double fallback) {
    return std::isfinite(value) ? value : fallback;
}

struct Plate {
    double pointing[3], east[3], north[3];
    double centreX, centreY;
    double pixelsPerRadian;
    double cosRot, sinRot;
    double flip;                             // -1 mirrored
    double cosTurn, sinTurn, shiftX, shiftY; // the field's move on the sensor
    bool valid;

    Plate(const SimSensor& sensor, const SimOptics& optics) {
        const double ra = optics.pointingRa * degree, dec = optics.pointingDec * degree;
        pointing[0] = std::cos(dec) * std::cos(ra);
        pointing[1] = std::cos(dec) * std::sin(ra);
        pointing[2] = std::sin(dec);
        east[0] = -std::sin(ra);
        east[1] = std::cos(ra);
        east[2] = 0;
        north[0] = -std::sin(dec) * std::cos(ra);
        north[1] = -std::sin(dec) * std::sin(ra);
        north[2] = std::cos(dec);
        centreX = (sensor.width - 1) / 2.0;
        centreY = (sensor.height - 1) / 2.0;
        // 206.265 * pixel / focal arcsec per pixel, i.e. 1000 * focal / pixel per radian.
        pixelsPerRadian = 1000 * optics.focalLengthMm / sensor.pixelSizeUm;
        cosRot = std::cos(optics.rotationDeg * degree);
        sinRot = std::sin(optics.rotationDeg * degree);
        flip = optics.mirrored ? -1 : 1;
        cosTurn = std::cos(finiteOr(optics.fieldTurnDeg, 0) * degree);
        sinTurn = std::sin(finiteOr(optics.fieldTurnDeg, 0) * degree);
        shiftX = finiteOr(optics.fieldShiftX, 0);
        shiftY = finiteOr(optics.fieldShiftY, 0);
        valid = std::isfinite(pixelsPerRadian) && pixelsPerRadian > 0 &&
                std::isfinite(pointing[0] + pointing[1] + pointing[2]) &&
                std::isfinite(cosRot + sinRot);
    }

    bool toPixel(const double v[3], double* x, double* y) const {
        const double c = dot(v, pointing);
        if (!valid || !(c > 1e-9))
            return false;
        const double xi = dot(v, east) / c, eta = dot(v, north) / c;
        // Right is west at rotation 0, up is north; both turn with the sensor, and a mirror
        // swaps left and right after the turn.
        const double u = flip * pixelsPerRadian * (-xi * cosRot + eta * sinRot);
        const double w = -pixelsPerRadian * (xi * sinRot + eta * cosRot);
        *x = centreX + u * cosTurn - w * sinTurn + shiftX;
        *y = centreY + u * sinTurn + w * cosTurn + shiftY;
        return true;
    }

    static double dot(const double a[3], const double b[3]) {
        return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    }
};

void unitVector(double ra, double dec, double v[3]) {
    v[0] = std::cos(dec * degree) * std::cos(ra * degree);
    v[1] = std::cos(dec * degree) * std::sin(ra * degree);
    v[2] = std::sin(dec * degree);
}

// Relative R, G, B flux (mean 1) of a blackbody at the star's temperature, against a 6500 K
// white.
void colourWeights(double bv, float rgb[3]) {
    if (bv == StarCatalog::noColourIndex || !std::isfinite(bv)) {
        rgb[0] = rgb[1] = rgb[2] = 1;
        return;
    }
    bv = std::clamp(bv, -0.4, 2.0);
    const double t = 4600 * (1 / (0.92 * bv + 1.7) + 1 / (0.92 * bv + 0.62));
    const double wavelengthNm[3] = {610, 535, 465};
    const auto planck = [](double nm, double kelvin) {
        return 1 / (std::pow(nm, 5) * std::expm1(1.4388e7 / (nm * kelvin)));
    };
    double w[3], sum = 0;
    for (int c = 0; c < 3; ++c) {
        w[c] = planck(wavelengthNm[c], t) / planck(wavelengthNm[c], 6500);
        sum += w[c];
    }
    for (int c = 0; c < 3; ++c)
        rgb[c] = float(3 * w[c] / sum);
}

struct HotPixel {
    std::int64_t index; // y * width + x on the full sensor
    float electronsPerSecondAt0C;
    bool operator<(const HotPixel& o) const { return index < o.index; }
};

// The same set for every frame of a sensor: drawn from its seed and size only.
std::vector<HotPixel> hotPixelsOf(const SimSensor& sensor) {
    const std::int64_t pixels = std::int64_t(sensor.width) * sensor.height;
    const std::int64_t count = std::llround(double(pixels) * hotPixelFraction);
    std::vector<HotPixel> hot;
    hot.reserve(std::size_t(count));
    Random random(
        mix64(sensor.seed ^ 0x686f74706978656cULL) ^
        mix64((std::uint64_t(std::uint32_t(sensor.width)) << 32) | std::uint32_t(sensor.height)));
    for (std::int64_t i = 0; i < count; ++i) {
        const std::uint64_t r = random.next();
        const std::int64_t x = std::int64_t(((r >> 32) * std::uint64_t(sensor.width)) >> 32);
        const std::int64_t y =
            std::int64_t(((r & 0xffffffffULL) * std::uint64_t(sensor.height)) >> 32);
        const double u = double(random.next() >> 11) * (1.0 / (1ULL << 53));
        hot.push_back(
            {y * sensor.width + x, float(hotDarkMin * std::pow(hotDarkMax / hotDarkMin, u))});
    }
    std::sort(hot.begin(), hot.end());
    return hot;
}

// One star's light on the region: separable pixel fractions times the flux of each site.
struct Stamp {
    int x0, x1, y0, y1; // inclusive, full-sensor pixels
    int fxOffset, fyOffset;
    float electrons[4]; // total electrons seen through each site of the 2x2 cell
};

// Fractions of a unit Gaussian of centre c falling in pixels first..last.
void pixelFractions(double c, double sigma, int first, int last, std::vector<float>& out) {
    const double scale = 1 / (sigma * std::sqrt(2.0));
    double lower = std::erf((first - 0.5 - c) * scale);
    for (int i = first; i <= last; ++i) {
        const double upper = std::erf((i + 0.5 - c) * scale);
        out.push_back(float(0.5 * (upper - lower)));
        lower = upper;
    }
}

// One glow's light on the region: an elliptical Gaussian exp(-q / 2) in full-sensor pixels,
// q = qxx dx^2 + 2 qxy dx dy + qyy dy^2 about its centre, drawn where q < qLimit.
struct GlowStamp {
    double cx, cy;
    double qxx, qxy, qyy, qLimit;
    int y0, y1;         // inclusive rows of the region that it reaches
    float electrons[4]; // at its centre, through each site of the 2x2 cell
};

// Everything a frame needs, worked out before its rows are rendered in parallel. Region
// coordinates are full-sensor pixels; columns and rows are those of the (binned) frame.
struct FrameJob {
    int width = 0, height = 0, bin = 1;
    int x0 = 0, y0 = 0;  // full-sensor origin of the region
    int sensorWidth = 0; // full-sensor pixels per region row
    std::int64_t sensorRowLength = 0;
    std::uint64_t firstRow = 0, firstColumn = 0; // binned, for the noise streams
    double centreY = 0, falloff = 0;

    float light = 0, dark = 0; // electrons per pixel over the exposure
    float response[4] = {1, 1, 1, 1};
    std::vector<float> columnFalloff;                   // per region column
    std::vector<float> cellResponse[2], cellFalloff[2]; // per frame column, by row parity

    std::vector<Stamp> stamps;
    std::vector<float> fractions;
    std::vector<int> rowStart, rowStamps; // stamps touching each frame row
    std::vector<HotPixel> hot;
    float hotFactor = 0;
    std::vector<GlowStamp> glowStamps;
    bool glowsSafe = true; // no pixel of background and glows together can reach full well

    float fullWell = 1, safeMean = 0, read = 0, aduScale = 1, offset = 0;
    bool backgroundSafe = true; // no sensor pixel of plain background can reach full well
    std::uint64_t seed = 0;
    bool bits16 = true;

    void prepareBackground() {
        columnFalloff.resize(std::size_t(sensorWidth));
        for (int i = 0; i < sensorWidth; ++i) {
            const double dx = x0 + i - (sensorRowLength - 1) / 2.0;
            columnFalloff[std::size_t(i)] = float(falloff * dx * dx);
        }
        for (int py = 0; py < 2; ++py) {
            cellResponse[py].assign(std::size_t(width), 0.0f);
            cellFalloff[py].assign(std::size_t(width), 0.0f);
            for (int i = 0; i < sensorWidth; ++i) {
                const float r = response[py * 2 + ((x0 + i) & 1)];
                cellResponse[py][std::size_t(i / bin)] += r;
                cellFalloff[py][std::size_t(i / bin)] += r * columnFalloff[std::size_t(i)];
            }
        }
        float brightestSite = 0;
        for (const float r : response)
            brightestSite = std::max(brightestSite, r);
        backgroundSafe = light * brightestSite + dark < safeMean;
    }

    void prepareGlows() {
        float brightest =
            light * std::max({response[0], response[1], response[2], response[3]}) + dark;
        for (const GlowStamp& g : glowStamps)
            brightest += *std::max_element(g.electrons, g.electrons + 4);
        glowsSafe = brightest < safeMean;
    }

    void indexStamps() {
        rowStart.assign(std::size_t(height) + 1, 0);
        for (const Stamp& s : stamps) {
            for (int r = (s.y0 - y0) / bin; r <= (s.y1 - y0) / bin; ++r)
                ++rowStart[std::size_t(r) + 1];
        }
        for (int r = 0; r < height; ++r)
            rowStart[std::size_t(r) + 1] += rowStart[std::size_t(r)];
        rowStamps.resize(std::size_t(rowStart.back()));
        std::vector<int> fill(rowStart.begin(), rowStart.end() - 1);
        for (int i = 0; i < int(stamps.size()); ++i) {
            const Stamp& s = stamps[std::size_t(i)];
            for (int r = (s.y0 - y0) / bin; r <= (s.y1 - y0) / bin; ++r)
                rowStamps[std::size_t(fill[std::size_t(r)]++)] = i;
        }
    }

    float rowLight(int y) const {
        const double dy = y - centreY;
        return float(1 - falloff * dy * dy);
    }

    void renderRows(cv::Mat& frame, const cv::Range& rows) const {
        const GaussTable& gauss = gaussTable();
        const PoissonTable& poisson = poissonTable();
        const std::size_t stride = std::size_t(sensorWidth);
        // Light of stars, hot pixels and glows per sensor pixel, and the columns that have any;
        // the rest of a row is plain background, summed per binned pixel in closed form. A
        // column lit by glows alone that cannot reach full well adds their light to that sum.
        const std::size_t columns = std::size_t(width);
        std::vector<float> background(columns), extra(stride * std::size_t(bin), 0.0f);
        std::vector<std::uint8_t> dirty(columns, 0), lit(columns, 0);
        std::vector<float> means(std::size_t(bin) * std::size_t(bin));
        const float binnedRead = read * float(bin);

        for (int row = rows.start; row < rows.end; ++row) {
            std::fill(background.begin(), background.end(), float(bin * bin) * dark);
            for (int dy = 0; dy < bin; ++dy) {
                const int y = y0 + row * bin + dy;
                const float rl = rowLight(y);
                const float* r = cellResponse[y & 1].data();
                const float* f = cellFalloff[y & 1].data();
                for (int col = 0; col < width; ++col)
                    background[std::size_t(col)] += light * (r[col] * rl - f[col]);
                addHotPixels(y, extra.data() + std::size_t(dy) * stride, dirty.data());
                addGlows(y, rl, extra.data() + std::size_t(dy) * stride,
                         glowsSafe ? lit.data() : dirty.data());
            }
            addStars(row, extra.data(), dirty.data());

            Random random(mix64(seed ^ (firstRow + std::uint64_t(row))) + firstColumn);
            std::uint16_t* out16 = bits16 ? frame.ptr<std::uint16_t>(row) : nullptr;
            std::uint8_t* out8 = bits16 ? nullptr : frame.ptr<std::uint8_t>(row);
            for (int col = 0; col < width; ++col) {
                float electrons;
                if (!dirty[std::size_t(col)] && backgroundSafe) {
                    float mean = background[std::size_t(col)];
                    if (lit[std::size_t(col)]) {
                        lit[std::size_t(col)] = 0;
                        for (int dy = 0; dy < bin; ++dy) {
                            float* e = extra.data() + std::size_t(dy) * stride +
                                       std::size_t(col) * std::size_t(bin);
                            for (int dx = 0; dx < bin; ++dx) {
                                mean += e[dx];
                                e[dx] = 0;
                            }
                        }
                    }
                    electrons = sampleElectrons(mean, binnedRead, random.next(), gauss, poisson);
                } else {
                    dirty[std::size_t(col)] = 0;
                    lit[std::size_t(col)] = 0;
                    // Every sensor pixel of this binned one, taking its extra light back out.
                    float sum = 0, peak = 0;
                    for (int dy = 0; dy < bin; ++dy) {
                        const int y = y0 + row * bin + dy;
                        const float rl = rowLight(y);
                        for (int dx = 0; dx < bin; ++dx) {
                            const std::size_t i =
                                std::size_t(col) * std::size_t(bin) + std::size_t(dx);
                            float& e = extra[std::size_t(dy) * stride + i];
                            const float m = light * response[(y & 1) * 2 + ((x0 + int(i)) & 1)] *
                                                (rl - columnFalloff[i]) +
                                            dark + e;
                            e = 0;
                            means[std::size_t(dy * bin + dx)] = m;
                            sum += m;
                            peak = std::max(peak, m);
                        }
                    }
                    if (peak < safeMean) {
                        electrons = sampleElectrons(sum, binnedRead, random.next(), gauss, poisson);
                    } else {
                        // Near saturation each sensor pixel fills, and clips, on its own.
                        electrons = 0;
                        for (const float m : means)
                            electrons += std::min(
                                fullWell, sampleElectrons(m, read, random.next(), gauss, poisson));
                    }
                }
                const float adu = std::clamp(electrons * aduScale + offset, 0.0f, 65535.0f);
                const auto value = std::uint16_t(adu + 0.5f);
                if (out16)
                    out16[col] = value;
                else
                    out8[col] = std::uint8_t(value >> 8);
            }
        }
    }

    void addHotPixels(int y, float* line, std::uint8_t* dirty) const {
        const std::int64_t first = std::int64_t(y) * sensorRowLength + x0;
        for (auto h = std::lower_bound(hot.begin(), hot.end(), HotPixel{first, 0});
             h != hot.end() && h->index < first + sensorWidth; ++h) {
            line[h->index - first] += h->electronsPerSecondAt0C * hotFactor;
            dirty[(h->index - first) / bin] = 1;
        }
    }

    // The Gaussian along a row is exp of a quadratic in x, so each next pixel takes two
    // multiplications: the value by the step, the step by a constant ratio. `marked` flags
    // the columns it reaches.
    void addGlows(int y, float rl, float* line, std::uint8_t* marked) const {
        for (const GlowStamp& g : glowStamps) {
            if (y < g.y0 || y > g.y1)
                continue;
            const double dy = y - g.cy;
            const double b = g.qxy * dy;
            const double disc = b * b - g.qxx * (g.qyy * dy * dy - g.qLimit);
            if (!(disc > 0))
                continue;
            const double root = std::sqrt(disc);
            const int first = std::max(x0, int(std::ceil(g.cx + (-b - root) / g.qxx)));
            const int last =
                std::min(x0 + sensorWidth - 1, int(std::floor(g.cx + (-b + root) / g.qxx)));
            if (first > last)
                continue;
            const double dx = first - g.cx;
            double value = std::exp(-0.5 * (g.qxx * dx * dx + 2 * b * dx + g.qyy * dy * dy));
            double step = std::exp(-0.5 * (g.qxx * (2 * dx + 1) + 2 * b));
            const double stepRatio = std::exp(-g.qxx);
            const float site[2] = {g.electrons[(y & 1) * 2 + (first & 1)],
                                   g.electrons[(y & 1) * 2 + ((first & 1) ^ 1)]};
            float* out = line + (first - x0);
            const float* fall = columnFalloff.data() + (first - x0);
            for (int i = 0; i <= last - first; ++i) {
                out[i] += float(value) * site[i & 1] * (rl - fall[i]);
                value *= step;
                step *= stepRatio;
            }
            std::fill(marked + (first - x0) / bin, marked + (last - x0) / bin + 1, std::uint8_t(1));
        }
    }

    void addStars(int row, float* lines, std::uint8_t* dirty) const {
        for (int k = rowStart[std::size_t(row)]; k < rowStart[std::size_t(row) + 1]; ++k) {
            const Stamp& s = stamps[std::size_t(rowStamps[std::size_t(k)])];
            const float* fx = fractions.data() + s.fxOffset;
            const int parity = s.x0 & 1;
            for (int dy = 0; dy < bin; ++dy) {
                const int y = y0 + row * bin + dy;
                if (y < s.y0 || y > s.y1)
                    continue;
                const float fy = fractions[std::size_t(s.fyOffset + y - s.y0)];
                const float site[2] = {s.electrons[(y & 1) * 2 + parity] * fy,
                                       s.electrons[(y & 1) * 2 + (parity ^ 1)] * fy};
                float* out =
                    lines + std::size_t(dy) * std::size_t(sensorWidth) + std::size_t(s.x0 - x0);
                for (int i = 0; i <= s.x1 - s.x0; ++i)
                    out[i] += site[i & 1] * fx[i];
            }
            std::fill(dirty + (s.x0 - x0) / bin, dirty + (s.x1 - x0) / bin + 1, std::uint8_t(1));
        }
    }
};

// The stars whose light reaches the region; a template, to take the renderer's own list.
template <class Stars>
void addStamps(const Stars& stars, float brightest, const Plate& plate, const SimOptics& optics,
               const SimSensor& sensor, double seconds, FrameJob& job) {
    const double seeingPixels =
        finiteOr(optics.seeingFwhmArcsec, 0) * plate.pixelsPerRadian / arcsecPerRadian;
    const double defocus = finiteOr(optics.defocus, 0);
    const double sigma = std::clamp(
        std::sqrt(seeingPixels * seeingPixels + defocus * defocus) / fwhmPerSigma, 0.1, 1e4);
    // How far a star's light reaches before it falls below psfCutElectrons per pixel.
    const auto reach = [&](double electrons) {
        const double peak = electrons / (2 * 3.14159265358979323846 * sigma * sigma);
        const double r =
            peak > psfCutElectrons ? sigma * std::sqrt(2 * std::log(peak / psfCutElectrons)) : 0;
        return std::max(r, 3 * sigma) + 1;
    };
    const int xLast = job.x0 + job.sensorWidth - 1, yLast = job.y0 + job.height * job.bin - 1;
    // The cheap test: angular distance from the pointing to the farthest corner of the region,
    // widened by the reach of the brightest star; d pixels off centre lie atan(d / scale) away.
    double farthest = 0;
    for (const double cx : {job.x0 - 0.5, xLast + 0.5}) {
        for (const double cy : {job.y0 - 0.5, yLast + 0.5})
            farthest = std::max(farthest, std::hypot(cx - plate.centreX, cy - plate.centreY));
    }
    // A field moved on the sensor or trailed brings in stars from that much farther out.
    farthest += std::hypot(plate.shiftX, plate.shiftY) +
                std::clamp(finiteOr(optics.trailPx, 0), 0.0, 1000.0) / 2;
    const double tanReach = (farthest + reach(double(brightest) * seconds)) / plate.pixelsPerRadian;
    const double cosLimit = 1 / std::sqrt(1 + tanReach * tanReach);

    const int* sites = bayerSites[std::clamp(sensor.bayerPattern, 0, 3)];
    const double starlight = std::clamp(finiteOr(optics.starlight, 1), 0.0, 1.0);
    const double trail = std::clamp(finiteOr(optics.trailPx, 0), 0.0, 1000.0);
    const double trailCos = std::cos(finiteOr(optics.trailAngleDeg, 0) * degree);
    const double trailSin = std::sin(finiteOr(optics.trailAngleDeg, 0) * degree);
    for (const auto& star : stars) {
        if (Plate::dot(star.v, plate.pointing) < cosLimit)
            continue;
        double px, py;
        if (!plate.toPixel(star.v, &px, &py))
            continue;
        // A trailed star is drawn as images half a pixel apart along its trail.
        const int images = trail > 0 ? int(std::ceil(trail / 0.5)) + 1 : 1;
        const double electrons =
            double(star.electronsPerSecond) * seconds * starlight / double(images);
        const double r = reach(electrons);
        for (int k = 0; k < images; ++k) {
            const double along = images > 1 ? trail * (double(k) / (images - 1) - 0.5) : 0;
            const double ix = px + along * trailCos, iy = py + along * trailSin;
            if (ix + r < job.x0 || ix - r > xLast || iy + r < job.y0 || iy - r > yLast)
                continue;
            Stamp s;
            s.x0 = std::max(job.x0, int(std::floor(ix - r)));
            s.x1 = std::min(xLast, int(std::ceil(ix + r)));
            s.y0 = std::max(job.y0, int(std::floor(iy - r)));
            s.y1 = std::min(yLast, int(std::ceil(iy + r)));
            s.fxOffset = int(job.fractions.size());
            pixelFractions(ix, sigma, s.x0, s.x1, job.fractions);
            s.fyOffset = int(job.fractions.size());
            pixelFractions(iy, sigma, s.y0, s.y1, job.fractions);
            const double dx = ix - plate.centreX, dy = iy - plate.centreY;
            const double seen = electrons * std::max(0.0, 1 - job.falloff * (dx * dx + dy * dy));
            for (int i = 0; i < 4; ++i)
                s.electrons[i] =
                    float(seen * job.response[i] * (sensor.isColor ? star.rgb[sites[i]] : 1.0f));
            job.stamps.push_back(s);
        }
    }
}

// The glows whose light reaches the region, as stamps in full-sensor pixels: each glow's axes
// projected at its centre and widened by the seeing, as the stars are.
template <class Glows>
void addGlowStamps(const Glows& glows, const Plate& plate, const SimOptics& optics,
                   const SimSensor& sensor, double seconds, FrameJob& job) {
    const double seeingPixels =
        finiteOr(optics.seeingFwhmArcsec, 0) * plate.pixelsPerRadian / arcsecPerRadian;
    const double defocus = finiteOr(optics.defocus, 0);
    const double blur = std::clamp(
        std::sqrt(seeingPixels * seeingPixels + defocus * defocus) / fwhmPerSigma, 0.5, 1e4);
    const int xLast = job.x0 + job.sensorWidth - 1, yLast = job.y0 + job.height * job.bin - 1;
    double farthest = 0;
    for (const double cx : {job.x0 - 0.5, xLast + 0.5}) {
        for (const double cy : {job.y0 - 0.5, yLast + 0.5})
            farthest = std::max(farthest, std::hypot(cx - plate.centreX, cy - plate.centreY));
    }
    farthest += std::hypot(plate.shiftX, plate.shiftY) + blur * glowReachSigmas;
    const double regionAngle = std::atan(farthest / plate.pixelsPerRadian);

    const int* sites = bayerSites[std::clamp(sensor.bayerPattern, 0, 3)];
    const double light = std::clamp(finiteOr(optics.starlight, 1), 0.0, 1.0) * seconds;
    // How many magnitudes the sky's scale lifts extended light above the stars' at this
    // pixel scale.
    const double arcsecPerPixel = arcsecPerRadian / plate.pixelsPerRadian;
    const double skyLift =
        darkSkyMagnitude - zeroPointMagnitude +
        2.5 * std::log10(SimOptics().skyElectronsPerSecond / (arcsecPerPixel * arcsecPerPixel));
    for (const auto& glow : glows) {
        const double cosine = std::clamp(Plate::dot(glow.v, plate.pointing), -1.0, 1.0);
        if (std::acos(cosine) > regionAngle + glow.reach)
            continue;
        // The pixels of the centre and of one deviation along each axis.
        double cx, cy, ax, ay, bx, by;
        double along[3], across[3];
        for (int i = 0; i < 3; ++i) {
            along[i] = glow.v[i] + std::tan(glow.sigmaMajor) * glow.major[i];
            across[i] = glow.v[i] + std::tan(glow.sigmaMinor) * glow.minor[i];
        }
        const double normAlong = std::sqrt(Plate::dot(along, along));
        const double normAcross = std::sqrt(Plate::dot(across, across));
        for (int i = 0; i < 3; ++i) {
            along[i] /= normAlong;
            across[i] /= normAcross;
        }
        if (!plate.toPixel(glow.v, &cx, &cy) || !plate.toPixel(along, &ax, &ay) ||
            !plate.toPixel(across, &bx, &by))
            continue;
        ax -= cx, ay -= cy, bx -= cx, by -= cy;
        // Covariance of the glow on the sensor, and its inverse.
        const double sxx = ax * ax + bx * bx + blur * blur;
        const double sxy = ax * ay + bx * by;
        const double syy = ay * ay + by * by + blur * blur;
        const double det = sxx * syy - sxy * sxy;
        if (!(det > 0) || !std::isfinite(det))
            continue;
        GlowStamp g;
        g.cx = cx;
        g.cy = cy;
        g.qxx = syy / det;
        g.qxy = -sxy / det;
        g.qyy = sxx / det;
        const double dx = cx - plate.centreX, dy = cy - plate.centreY;
        const double electronsPerSecond =
            glow.share *
            std::pow(10.0, 0.4 * (zeroPointMagnitude + glow.skyShare * skyLift - glow.magnitude));
        // Drawn out to where it fades below psfCutElectrons after the vignetting at its centre;
        // each pixel takes its own vignetting.
        const double centre =
            electronsPerSecond * light / (2 * 3.14159265358979323846 * std::sqrt(det));
        const double peak = centre * std::max(0.0, 1 - job.falloff * (dx * dx + dy * dy));
        if (!(peak > psfCutElectrons))
            continue;
        g.qLimit =
            std::min(glowReachSigmas * glowReachSigmas, 2 * std::log(peak / psfCutElectrons));
        const double halfWidth = std::sqrt(g.qLimit * sxx), halfHeight = std::sqrt(g.qLimit * syy);
        if (cx + halfWidth < job.x0 || cx - halfWidth > xLast || cy + halfHeight < job.y0 ||
            cy - halfHeight > yLast)
            continue;
        g.y0 = std::max(job.y0, int(std::floor(cy - halfHeight)));
        g.y1 = std::min(yLast, int(std::ceil(cy + halfHeight)));
        for (int i = 0; i < 4; ++i)
            g.electrons[i] =
                float(centre * job.response[i] * (sensor.isColor ? glow.rgb[sites[i]] : 1.0f));
        job.glowStamps.push_back(g);
    }
}

} // namespace

SkyRenderer::SkyRenderer(const StarCatalog& catalog, const std::vector<SimDeepSkyObject>& deepSky) {
    stars.reserve(std::size_t(catalog.stars.size()));
    for (const CatalogStar& s : catalog.stars) {
        Star star;
        unitVector(s.ra, s.dec, star.v);
        star.electronsPerSecond = float(std::pow(10.0, 0.4 * (zeroPointMagnitude - s.vmag)));
        if (!std::isfinite(star.electronsPerSecond) ||
            !std::isfinite(star.v[0] + star.v[1] + star.v[2]))
            continue;
        colourWeights(s.bvCol, star.rgb);
        brightest = std::max(brightest, star.electronsPerSecond);
        stars.push_back(star);
    }

    constexpr double arcmin = degree / 60;
    for (const SimDeepSkyObject& object : deepSky) {
        const double size = std::sqrt(object.majorArcmin * object.minorArcmin);
        if (!std::isfinite(object.magnitude) || !std::isfinite(object.ra + object.dec) ||
            !(object.minorArcmin > 0) || !(object.majorArcmin < 60 * 180))
            continue;
        Glow glow;
        glow.magnitude = object.magnitude;
        glow.skyShare = size / (size + liftHalfSizeArcmin);
        unitVector(object.ra, object.dec, glow.v);
        const double ra = object.ra * degree, dec = object.dec * degree;
        const double north[3] = {-std::sin(dec) * std::cos(ra), -std::sin(dec) * std::sin(ra),
                                 std::cos(dec)};
        const double east[3] = {-std::sin(ra), std::cos(ra), 0};
        const double pa = object.positionAngleDeg * degree;
        for (int i = 0; i < 3; ++i) {
            glow.major[i] = std::cos(pa) * north[i] + std::sin(pa) * east[i];
            glow.minor[i] = -std::sin(pa) * north[i] + std::cos(pa) * east[i];
        }
        switch (object.light) {
        case SimDeepSkyObject::Emission: // hydrogen's red line above all
            glow.rgb[0] = 1.9f, glow.rgb[1] = 0.65f, glow.rgb[2] = 0.45f;
            break;
        case SimDeepSkyObject::Reflection: // the starlight it scatters, bluer
            glow.rgb[0] = 0.65f, glow.rgb[1] = 0.95f, glow.rgb[2] = 1.4f;
            break;
        case SimDeepSkyObject::Galaxy: // old stars, yellowish
            colourWeights(0.9, glow.rgb);
            break;
        }
        const std::pair<double, double> parts[] = {{1 - coreShare, 1.0}, {coreShare, coreScale}};
        for (const auto& [share, scale] : parts) {
            glow.sigmaMajor = object.majorArcmin * arcmin / 4 * scale;
            glow.sigmaMinor = std::min(object.minorArcmin, object.majorArcmin) * arcmin / 4 * scale;
            glow.reach = glowReachSigmas * glow.sigmaMajor;
            glow.share = share;
            glows.push_back(glow);
        }
    }
}

bool SkyRenderer::project(const SimSensor& sensor, const SimOptics& optics, double ra, double dec,
                          double* x, double* y) {
    double v[3];
    unitVector(ra, dec, v);
    return Plate(sensor, optics).toPixel(v, x, y);
}

cv::Mat SkyRenderer::render(const SimSensor& sensor, const SimOptics& optics,
                            const SimExposure& exposure, cv::Mat into) const {
    FrameJob job;
    job.bin = std::max(1, exposure.bin);
    const int bin = job.bin;
    const int binnedWidth = sensor.width / bin, binnedHeight = sensor.height / bin;
    if (binnedWidth < 1 || binnedHeight < 1)
        return cv::Mat();
    // The requested region, cut to the sensor.
    const std::int64_t rx0 = std::max(0, exposure.x), ry0 = std::max(0, exposure.y);
    const std::int64_t rx1 =
        exposure.width > 0
            ? std::min<std::int64_t>(binnedWidth, std::int64_t(exposure.x) + exposure.width)
            : binnedWidth;
    const std::int64_t ry1 =
        exposure.height > 0
            ? std::min<std::int64_t>(binnedHeight, std::int64_t(exposure.y) + exposure.height)
            : binnedHeight;
    if (rx1 <= rx0 || ry1 <= ry0)
        return cv::Mat();
    job.width = int(rx1 - rx0);
    job.height = int(ry1 - ry0);
    job.x0 = int(rx0) * bin;
    job.y0 = int(ry0) * bin;
    job.sensorWidth = job.width * bin;
    job.sensorRowLength = sensor.width;
    job.firstRow = std::uint64_t(ry0);
    job.firstColumn = std::uint64_t(rx0);

    const double seconds = std::clamp(finiteOr(exposure.seconds, 0), 0.0, 1e7);
    const double electronsPerAdu =
        exposure.electronsPerAdu > 0 && std::isfinite(exposure.electronsPerAdu)
            ? exposure.electronsPerAdu
            : 1.0;
    const double tempFactor =
        std::exp2(std::clamp(finiteOr(exposure.sensorTempC, 0), -200.0, 200.0) / 6);
    job.dark = float(std::max(0.0, finiteOr(sensor.darkElectronsAt0C, 0)) * tempFactor * seconds);
    job.fullWell = float(std::clamp(finiteOr(sensor.fullWellElectrons, 1), 1.0, 1e9));
    job.read = float(std::clamp(finiteOr(sensor.readNoiseElectrons, 0), 0.0, 1e6));
    // A pixel whose mean stays below this cannot reach full well (6 sigma of shot noise), so a
    // binned pixel of such pixels is drawn at once.
    const double safeRoot = (std::sqrt(36 + 4 * double(job.fullWell)) - 6) / 2;
    job.safeMean = float(safeRoot * safeRoot * 0.999);
    job.aduScale = float(1 / electronsPerAdu);
    job.offset = float(exposure.offsetAdu);
    job.bits16 = exposure.bits16;
    job.seed = mix64(mix64(sensor.seed ^ 0x736b7972656e6465ULL) ^ exposure.frameNumber) ^
               (std::uint64_t(std::uint32_t(bin)) << 32);

    double lightRate = 0;
    if (exposure.scene == SimScene::Sky)
        lightRate = optics.skyElectronsPerSecond;
    else if (exposure.scene == SimScene::FlatPanel)
        lightRate = optics.flatElectronsPerSecond;
    job.light = float(std::clamp(finiteOr(lightRate, 0), 0.0, 1e9) * seconds);

    const int* sites = bayerSites[std::clamp(sensor.bayerPattern, 0, 3)];
    for (int i = 0; i < 4; ++i)
        job.response[i] = sensor.isColor ? filterResponse[sites[i]] : 1.0f;

    // Vignetting: a quadratic fall-off from the centre to (1 - vignetting) in the corners.
    const Plate plate(sensor, optics);
    const double cornerSq = plate.centreX * plate.centreX + plate.centreY * plate.centreY;
    job.falloff =
        cornerSq > 0 ? std::clamp(finiteOr(optics.vignetting, 0), 0.0, 1.0) / cornerSq : 0;
    job.centreY = plate.centreY;
    job.prepareBackground();

    if (exposure.scene == SimScene::Sky && plate.valid && seconds > 0 &&
        finiteOr(optics.starlight, 1) > 0)
        addStamps(stars, brightest, plate, optics, sensor, seconds, job);
    if (exposure.scene == SimScene::Sky && plate.valid && seconds > 0 && optics.deepSky)
        addGlowStamps(glows, plate, optics, sensor, seconds, job);
    job.prepareGlows();

    job.indexStamps();

    job.hot = hotPixelsOf(sensor);
    job.hotFactor = float(tempFactor * seconds);

    const int type = exposure.bits16 ? CV_16UC1 : CV_8UC1;
    cv::Mat frame = into.rows == job.height && into.cols == job.width && into.type() == type
                        ? into
                        : cv::Mat(job.height, job.width, type);
    // Threads of its own: OpenCV's pool runs one parallel loop at a time and runs any other
    // on the caller's thread alone, and the program's display uses that pool as frames arrive.
    const int workers = std::max(1, std::min(int(std::thread::hardware_concurrency()), 8));
    const int band = (job.height + workers - 1) / workers;
    std::vector<std::thread> threads;
    for (int first = band; first < job.height; first += band) {
        threads.emplace_back([&job, &frame, first, band] {
            job.renderRows(frame, cv::Range(first, std::min(job.height, first + band)));
        });
    }
    job.renderRows(frame, cv::Range(0, std::min(job.height, band)));
    for (std::thread& thread : threads)
        thread.join();
    return frame;
}
