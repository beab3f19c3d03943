#pragma once

#include <QMutex>

// How the main view shows its image: rotation, scale into the canvas, zoom window and the
// focus point. Written by the UI thread; the touch panel's requests wait in the pending
// fields under viewMutex until the main loop applies them.
struct ViewState {
    int displayRotation = 0; // quarter turns clockwise chosen by the user
    int cameraRotation = 0;  // quarter turns of the camera on the sky, from plate solving
    int viewWidth = 0;       // image size after rotation
    int viewHeight = 0;
    double displayScale = 0; // canvas pixels per image pixel at zoom 1
    int scaledWidth = 0;
    int scaledHeight = 0;
    int viewCenterX = 0; // centre of the zoom window, in rotated image pixels
    int viewCenterY = 0;
    int zoom = 1;        // 1, 2, 4 ... 32
    int shrink = 1;      // 1, 2, 4 ... 16, live view only
    int focusPointX = 0; // canvas pixels
    int focusPointY = 0;
    bool focusPointSet = false;
    int minStarSize = noStarSize;
    bool displayIsColor = false;
    int displayBayer = 0;

    static constexpr int noStarSize = 10000;

    QMutex viewMutex;
    int pendingCenterX = 0;
    int pendingCenterY = 0;
    bool centerRequested = false;
    int requestedZoom = 0;   // 0: none
    int requestedShrink = 0; // 0: none
};
