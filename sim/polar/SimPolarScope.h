#pragma once

#include "SimEquatorialMount.h"
#include "SkyRenderer.h"

#include <QSize>
#include <cstdint>
#include <mutex>
#include <opencv2/core.hpp>
#include <vector>

struct StarCatalog;

// One frame of the polar scope's camera: when it was exposed, how long, with which gain (the
// video camera's own steps, 100 at start-up) and at which size.
struct SimPolarExposure {
    std::int64_t clockMs = 0; // the middle of the exposure
    double seconds = 0.25;
    double gain = 100;
    int width = 0;
    int height = 0;
    std::uint64_t seed = 1; // of the frame's noise
};

// The polar scope: a small colour video camera behind a 25 mm lens, fixed to the mount's RA
// axis and looking along it at the sky round the celestial pole. The sky is computed as
// vectors in the local horizon frame, so the pole itself is no special case: each star at its
// apparent place of date and its hour angle from the simulator's own sidereal time, the RA
// axis the pole tilted by the mount's misalignment, the camera's picture a tangent-plane
// projection about that axis. At RA angle 0 up on the frame (towards row 0) is towards the
// zenith and east is to the right. Safe to use from several threads.
class SimPolarScope {
public:
    static constexpr double focalLengthMm = 25;

    SimPolarScope(const StarCatalog& catalog, const SimSensor& sensor);

    // How far the RA axis points off the celestial pole, in minutes of arc on the sky: up
    // (towards the zenith) and east. Both 0 (the default): the mount is aligned.
    void setMisalignment(double altitudeArcmin, double azimuthArcmin);
    // Where the RA axis lands, in the polar program's full-frame pixels: twice its folded
    // picture's, whose pixel centres are at integers (so a sensor pixel's centre is at .5);
    // (700, 440) by default.
    void setAxisPixel(double x, double y);
    // The mount's RA axis turned by this many degrees, the camera with it. Positive is the way
    // the sky turns (westwards, as tracking turns the axis): the picture turns clockwise about
    // the axis pixel, so the stars stand still on it while the RA angle grows with their hour
    // angle.
    void setRaAngle(double degrees);
    // The RA axis turning on by itself from now on at this rate, from the angle it has now, so
    // that a user at the simulator can take the axis centre's three points; 0 stops it.
    void setRaTurn(double degreesPerMinute);
    void setSite(const SimSite& site);
    SimSite site() const;
    // A camera that delivers frames of this size whatever was asked (fault injection); an
    // empty size switches back.
    void forceFrameSize(const QSize& size);

    // The size the camera delivers when `requested` was asked.
    QSize frameSize(const QSize& requested) const;
    // Where a star of the J2000 catalogues is seen at clock time `clockMs` on the full frame;
    // false when it lies behind the camera.
    bool project(double raJ2000, double decJ2000, std::int64_t clockMs, double* x, double* y) const;
    // A colour frame (8 bits, blue-green-red) of the field, the full sensor's view scaled to
    // the exposure's size: a dark sky with noise and the stars of the catalogue, a few pixels
    // wide, brighter with exposure and gain.
    cv::Mat render(const SimPolarExposure& exposure) const;

private:
    struct Settings {
        double altitudeArcmin = 0;
        double azimuthArcmin = 0;
        double axisX = 700;
        double axisY = 440;
        double raAngleDeg = 0; // at turnSinceMs
        double turnDegPerMinute = 0;
        std::int64_t turnSinceMs = 0;
        SimSite site;
        QSize forcedSize;
    };
    // The picture's geometry at one instant: the equator of date to the local horizon frame,
    // then the camera's axis and its right and up directions in that frame.
    struct View;
    struct Star {
        double v[3]; // J2000 unit vector
        double vmag;
    };

    Settings settings() const;
    static double raAngleAt(const Settings& s, std::int64_t clockMs);
    View viewAt(std::int64_t clockMs) const;
    bool place(const View& view, const double j2000[3], double* x, double* y) const;

    const SimSensor sensor;
    const double pixelsPerRadian;
    std::vector<Star> nearPole; // the stars the field can reach, picked once
    mutable std::mutex mutex;   // guards what follows
    Settings current;
};
