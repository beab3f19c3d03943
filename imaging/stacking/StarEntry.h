#pragma once

// One star of a frame taking part in compositing.
struct StarEntry {
    int area = 0;         // pixels of its blob
    double distance2 = 0; // squared distance of the centroid from the image centre
    double x = 0;         // centroid
    double y = 0;
    int match = -1; // index of the matched base star, or -1
};
