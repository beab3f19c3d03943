#pragma once

// One bright spot of the star-spot detector: a label's record while labelling, a star's
// once the spots are compacted. A plain record, so that a table of them costs nothing to
// allocate: the detector fills each one when its label starts.
struct StarSpot {
    int root;           // the label this one was merged into; its own index for a root
    int firstX, firstY; // first pixel met in raster order
    int pixelCount;
    int brightnessSum;   // sum of the pixel values
    double sumXI, sumYI; // sums of value * x and value * y
};
