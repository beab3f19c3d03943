#pragma once

#include <QByteArray>

// What the model text of a frame says about its sensor: "C" (colour, raw Bayer) or "M" first,
// then the digit of the Bayer pattern (0 BG, 1 RG, 2 GB, 3 GR) that names the demosaic.
class BayerPattern {
public:
    static bool isColour(const QByteArray& model);
    // The Bayer digit of the model; 0 when it is missing or not a pattern we know.
    static int fromModel(const QByteArray& model);
    // OpenCV's conversion from the pattern to blue, green, red; unknown patterns as BG.
    static int demosaicCode(int bayer);
};
