#include "FrameAligner.h"

#include "DebugLog.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace FrameAligner {

namespace {

double squaredDistance(double ax, double ay, double bx, double by) {
    return (ax - bx) * (ax - bx) + (ay - by) * (ay - by);
}

// Phase 1: a central star of the frame taken for a central star of the base gives a shift;
// it holds when more than half of the frame's stars then have a base star within 10 px.
bool matchByCentralStars(const std::vector<StarEntry>& base, std::vector<StarEntry>& current) {
    const int baseThird = int(base.size()) / 3, currentThird = int(current.size()) / 3;
    for (int k = 0; k < baseThird; ++k) {
        for (int j = 0; j < currentThird; ++j) {
            const double sx = current[j].x - base[k].x, sy = current[j].y - base[k].y;
            int matched = 0;
            for (StarEntry& star : current) {
                double best = 100000;
                int nearest = -1;
                for (int b = 0; b < int(base.size()); ++b) {
                    const double d =
                        squaredDistance(star.x - sx, star.y - sy, base[b].x, base[b].y);
                    if (d < best) {
                        best = d;
                        nearest = b;
                    }
                }
                star.match = best < 100 ? nearest : -1;
                matched += star.match >= 0;
            }
            if (matched * 2 > int(current.size())) {
                debugLog("Match End k=%d j=%d", k, j);
                return true;
            }
        }
    }
    return false;
}

bool similarArea(int area, int baseArea, double low, double high) {
    return low * baseArea < area && area < high * baseArea;
}

// Phase 2: one of the ten central stars of the frame against each base star of a similar size
// within 100 px; the shift holds when more than 70 % of the frame's stars land within 1 px of a
// base star of a similar size.
bool matchByNearStars(const std::vector<StarEntry>& base, std::vector<StarEntry>& current) {
    debugLog("No Match 1");
    const int n = int(current.size());
    for (int i = 0; i < std::min(10, n); ++i) {
        for (const StarEntry& candidate : base) {
            if (squaredDistance(current[i].x, current[i].y, candidate.x, candidate.y) >= 10000 ||
                !similarArea(current[i].area, candidate.area, 0.8, 1.2))
                continue;
            const double dx = candidate.x - current[i].x, dy = candidate.y - current[i].y;
            int matched = 0;
            for (StarEntry& star : current) {
                star.match = -1;
                for (int b = 0; b < int(base.size()); ++b) {
                    if (std::fabs(star.x + dx - base[b].x) < 1.0 &&
                        std::fabs(star.y + dy - base[b].y) < 1.0 &&
                        similarArea(star.area, base[b].area, 0.7, 1.5)) {
                        star.match = b;
                        ++matched;
                        break;
                    }
                }
            }
            if (matched * 10 > n * 7) {
                debugLog("**********Match(shiftX = %.1f shiftY = %.1f)*************", dx, dy);
                return true;
            }
        }
    }
    debugLog("**********No Match*************");
    return false;
}

struct SizeLimits {
    double low, high;
};
constexpr SizeLimits sizeLimits[] = {{0.6, 1.5}, {0.7, 1.3}, {0.9, 1.1}};

} // namespace

namespace {

FrameAlignment alignAsTaken(const std::vector<StarEntry>& base, std::vector<StarEntry>& current,
                            cv::Size frameSize, int compCond);

} // namespace

// A frame taken after a meridian flip shows the field turned half a turn, which neither phase
// of the search can match: it is tried again with its stars turned back about the centre.
FrameAlignment align(const std::vector<StarEntry>& base, std::vector<StarEntry>& current,
                     cv::Size frameSize, int compCond) {
    FrameAlignment result = alignAsTaken(base, current, frameSize, compCond);
    if (result.outcome != FrameAlignment::NoMatch || current.empty())
        return result;
    const double cx = frameSize.width / 2, cy = frameSize.height / 2;
    std::vector<StarEntry> turned = current;
    for (StarEntry& star : turned) {
        star.x = 2 * cx - star.x;
        star.y = 2 * cy - star.y;
    }
    debugLog("trying the frame turned half a turn");
    FrameAlignment flipped = alignAsTaken(base, turned, frameSize, compCond);
    if (flipped.outcome == FrameAlignment::NoMatch)
        return result;
    for (std::size_t i = 0; i < current.size(); ++i)
        current[i].match = turned[i].match;
    if (flipped.outcome == FrameAlignment::Aligned) {
        // The fitted warp after the half turn p -> 2c - p.
        const cv::Matx23d w(flipped.warp);
        flipped.warp = (cv::Mat_<double>(2, 3) << -w(0, 0), -w(0, 1),
                        w(0, 0) * 2 * cx + w(0, 1) * 2 * cy + w(0, 2), -w(1, 0), -w(1, 1),
                        w(1, 0) * 2 * cx + w(1, 1) * 2 * cy + w(1, 2));
        flipped.angle += flipped.angle > 0 ? -M_PI : M_PI;
    }
    return flipped;
}

namespace {

FrameAlignment alignAsTaken(const std::vector<StarEntry>& base, std::vector<StarEntry>& current,
                            cv::Size frameSize, int compCond) {
    FrameAlignment result;
    for (StarEntry& star : current)
        star.match = -1;
    if (!matchByCentralStars(base, current) && !matchByNearStars(base, current))
        return result;

    // Pairs whose sizes differ too much are false matches.
    int kept = 0;
    double sumX = 0, sumY = 0, baseSumX = 0, baseSumY = 0, areas = 0, baseAreas = 0;
    for (StarEntry& star : current) {
        if (star.match < 0)
            continue;
        const StarEntry& partner = base[star.match];
        const double ratio = double(star.area) / partner.area;
        if (ratio <= 0.7 || ratio >= 1.5) {
            star.match = -1;
            continue;
        }
        ++kept;
        sumX += star.x;
        sumY += star.y;
        baseSumX += partner.x;
        baseSumY += partner.y;
        areas += star.area;
        baseAreas += partner.area;
    }
    result.matchCount = kept;
    if (kept < minMatches) {
        debugLog("matchCount=%d too few to align", kept);
        return result;
    }
    debugLog("Prec shiftX = %.1f, shiftY = %.1f", (sumX - baseSumX) / kept,
             (sumY - baseSumY) / kept);
    const double cur = areas / kept, bas = baseAreas / kept;
    debugLog("matchCount=%d size avg cur=%.1f, bas=%.1f", kept, cur, bas);

    const SizeLimits& limits = sizeLimits[std::clamp(compCond, 0, 2)];
    if (cur > limits.high * bas || cur < limits.low * bas) {
        debugLog("sizxe mismatch");
        result.outcome = FrameAlignment::SizeMismatch;
        return result;
    }

    // Least squares turn and shift, base = R (current - centroid) + base centroid: the angle
    // comes from the cross-covariance of the pairs about their centroids.
    const double meanX = sumX / kept, meanY = sumY / kept;
    const double baseMeanX = baseSumX / kept, baseMeanY = baseSumY / kept;
    double dot = 0, cross = 0;
    for (const StarEntry& star : current) {
        if (star.match < 0)
            continue;
        const double px = star.x - meanX, py = star.y - meanY;
        const double qx = base[star.match].x - baseMeanX, qy = base[star.match].y - baseMeanY;
        dot += px * qx + py * qy;
        cross += px * qy - py * qx;
    }
    const double turn = std::atan2(cross, dot); // the base's stars against the frame's
    result.angle = -turn;
    debugLog("angleDiff=%.3f", result.angle);

    // getRotationMatrix2D about the centre turns by -angle in image coordinates, which is
    // +turn here; its translation is then set so that the frame's centroid lands on the base's,
    // the least-squares shift for this turn.
    const cv::Point2f centre(float(frameSize.width / 2), float(frameSize.height / 2));
    cv::Mat warp = cv::getRotationMatrix2D(centre, result.angle * 180 / M_PI, 1.0);
    const cv::Matx22d turnOnly(warp.at<double>(0, 0), warp.at<double>(0, 1), warp.at<double>(1, 0),
                               warp.at<double>(1, 1));
    const cv::Vec2d moved = turnOnly * cv::Vec2d(meanX, meanY);
    warp.at<double>(0, 2) = baseMeanX - moved[0];
    warp.at<double>(1, 2) = baseMeanY - moved[1];
    result.warp = warp;
    result.outcome = FrameAlignment::Aligned;
    return result;
}

} // namespace

cv::Mat warpOntoBase(const cv::Mat& frame, const cv::Mat& warp, cv::Size frameSize) {
    cv::Mat warped;
    if (frame.empty() || warp.rows != 2 || warp.cols != 3 || warp.type() != CV_64F)
        return warped;
    cv::warpAffine(frame, warped, warp, frameSize, cv::INTER_LINEAR, cv::BORDER_CONSTANT,
                   cv::Scalar());
    return warped;
}

} // namespace FrameAligner
