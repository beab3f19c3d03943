#pragma once

#include "SimDeepSky.h"

#include <cstdint>
#include <opencv2/core.hpp>
#include <vector>

struct StarCatalog;

// What the simulated sensor looks at.
enum class SimScene { Sky, CapOn, FlatPanel };

// The optics and the sky in front of the simulated camera.
struct SimOptics {
    double pointingRa = 83.82;  // degrees, centre of the sensor
    double pointingDec = -5.39; // degrees
    double focalLengthMm = 400;
    double rotationDeg = 0; // position angle of the sensor's up direction, east of north
    bool mirrored = false;  // a mirror in the light path: the frame flipped left to right
    double seeingFwhmArcsec = 2.5;
    double defocus = 0;                 // 0 in focus; the blur grows with it (pixels of extra FWHM)
    double skyElectronsPerSecond = 2.0; // background per pixel
    double vignetting = 0.25;           // fraction of light lost in the corners
    double flatElectronsPerSecond = 4000; // flat-panel illumination per pixel
    double starlight = 1; // share of the stars' light that reaches the sensor: 0 under clouds
    bool deepSky = true;  // nebulae and galaxies drawn; off for a field of stars alone
    // The field as it lands on the sensor, after the projection: turned by fieldTurnDeg about
    // the sensor centre (clockwise on the frame, rows running down), then moved by
    // (fieldShiftX, fieldShiftY) pixels. A drifting or rotating field between frames.
    double fieldShiftX = 0;
    double fieldShiftY = 0;
    double fieldTurnDeg = 0;
    // Trailing from a guiding error: each star's light spread evenly along trailPx pixels
    // centred on its place, at trailAngleDeg from the rows (clockwise), its flux kept.
    double trailPx = 0;
    double trailAngleDeg = 0;
};

// One sensor model: geometry and noise.
struct SimSensor {
    int width = 0; // full sensor size in pixels
    int height = 0;
    double pixelSizeUm = 3.76;
    bool isColor = false;
    int bayerPattern = 0; // 2x2 layout from the top-left: 0 RGGB, 1 BGGR, 2 GRBG, 3 GBRG
    double readNoiseElectrons = 2.0;
    double darkElectronsAt0C = 0.02; // per pixel per second; doubles every 6 degrees
    double fullWellElectrons = 50000;
    std::uint32_t seed = 1; // fixes the hot pixels of this sensor
};

// One exposure request. The frame covers the region (x, y, width, height) of the full sensor,
// given in binned pixels; a binned pixel sums bin x bin sensor pixels. A width or height of 0
// reaches to the sensor's edge; a region is cut to the sensor, so the frame can be smaller.
struct SimExposure {
    SimScene scene = SimScene::Sky;
    double seconds = 1.0;
    double electronsPerAdu = 1.0; // from the gain: higher gain, fewer electrons per step
    int offsetAdu = 0;            // black level, in 16-bit ADU
    double sensorTempC = 20;
    int x = 0, y = 0, width = 0, height = 0;
    int bin = 1;
    bool bits16 = true;            // CV_16UC1 when true, else CV_8UC1 (the high byte)
    std::uint64_t frameNumber = 0; // seeds the noise of this frame
};

// Renders raw frames (one sample per pixel, Bayer mosaic for colour sensors) of the real
// catalogue stars around the pointing, and of the nebulae and galaxies it is given as smooth
// elliptical light. A star of magnitude m gives 10^(0.4 (15 - m)) electrons per second before
// vignetting; on a colour sensor the R and B filters pass 0.85 and 0.70 of what G passes, for
// stars, sky and flat panel alike.
class SkyRenderer {
public:
    explicit SkyRenderer(const StarCatalog& catalog,
                         const std::vector<SimDeepSkyObject>& deepSky = {});

    // A frame of `into` when that has the frame's size and type (the camera's own buffer, so
    // a frame costs no copy), else a new one.
    cv::Mat render(const SimSensor& sensor, const SimOptics& optics, const SimExposure& exposure,
                   cv::Mat into = cv::Mat()) const;

    // Where a sky position falls on the full, unbinned sensor (pixel centres at integers, the
    // sensor centre at ((width - 1) / 2, (height - 1) / 2)); false when it lies behind the
    // camera. Tangent-plane projection about the pointing. At rotation 0 the frame shows the
    // sky as a camera does, with rows top to bottom: north up (towards row 0) and east left
    // (towards column 0). A positive rotation turns the sensor's up direction from north
    // towards east: at 90 degrees east is up and north to the right. Mirrored, the frame is
    // then flipped left to right: at rotation 0 east is right.
    static bool project(const SimSensor& sensor, const SimOptics& optics, double ra, double dec,
                        double* x, double* y);

private:
    // A catalogue star ready to draw: unit vector, brightness and colour.
    struct Star {
        double v[3];
        float electronsPerSecond;
        float rgb[3]; // relative flux in R, G, B, mean 1
    };
    std::vector<Star> stars;
    float brightest = 0; // electrons per second of the brightest star

    // A deep-sky object's light ready to draw: an elliptical Gaussian on the sky. An object is
    // a wide, faint glow and a narrow, brighter one at its centre.
    struct Glow {
        double v[3];       // centre
        double major[3];   // unit vector along the major axis, tangent to the sky
        double minor[3];   // and along the minor one
        double sigmaMajor; // radians
        double sigmaMinor; // radians
        double reach;      // radians from the centre that its light is drawn to
        double magnitude;  // of the whole object
        double share;      // of the object's light in this glow
        double skyShare;   // how far its brightness follows the sky's scale, 0..1
        float rgb[3];      // relative flux in R, G, B, mean 1
    };
    std::vector<Glow> glows;
};
