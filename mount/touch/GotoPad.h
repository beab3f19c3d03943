#pragma once

// What the controller asks of the goto window in one main-loop pass. Counts add up the
// presses (and the left stick's polls) since the last pass; positive is right, down and in.
struct GotoPad {
    int dpadX = 0, dpadY = 0;   // D-pad presses
    int stickX = 0, stickY = 0; // polls with the left stick pushed
    int zoomSteps = 0;          // right thumb in, left thumb out
    bool close = false;         // left shoulder
    bool plateSolve = false;    // right shoulder

    bool any() const {
        return dpadX || dpadY || stickX || stickY || zoomSteps || close || plateSolve;
    }
};
