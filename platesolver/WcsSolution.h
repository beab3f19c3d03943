#pragma once

#include <QString>

// The solution solve-field writes: a FITS header with a tangent-plane projection. Its pixel
// coordinates start at 1 and count columns from the left and rows from the top of the picture,
// as the picture is stored. The SIP distortion terms are left aside: they vanish at the
// reference pixel, and the reference pixel is asked to be the picture's centre.
class WcsSolution {
public:
    // False when the file cannot be read or lacks one of the keys used here.
    bool read(const QString& path);

    // Degrees wrapped into [low, low + 360).
    static double wrapped(double degrees, double low);

    double ra = 0; // degrees, of the picture's centre, in [0, 360)
    double dec = 0;
    double scale = 0; // arcseconds per pixel
    int fovW = 0;     // arcminutes across the picture's width, rounded
    int fovH = 0;
    // Position angle (degrees east of north) of the picture's downward direction, in
    // [-180, 180): -180 with north up, -90 with east up.
    double imageRote = 0;
};
