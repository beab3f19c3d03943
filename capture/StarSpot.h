#pragma once

// One bright spot of the star-spot detector: a label's record while labelling, a star's
// once the spots are compacted.
struct StarSpot {
    int root = 0;               // the label this one was merged into; its own index for a root
    int firstX = 0, firstY = 0; // first pixel met in raster order
    int pixelCount = 0;
    int brightnessSum = 0;       // sum of the pixel values
    double sumXI = 0, sumYI = 0; // sums of value * x and value * y
};
