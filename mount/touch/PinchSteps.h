#pragma once

// A pinch as zoom steps: one in each time the total scale factor has grown by more than a
// tenth since the last step, one out each time it has shrunk by as much; the next gesture
// starts again from 1.0.
class PinchSteps {
public:
    static constexpr double step = 0.1;

    // +1 in, -1 out, 0 nothing, for the gesture's factor now.
    int follow(double totalScaleFactor, bool finished) {
        int zoom = 0;
        if (totalScaleFactor > last + step)
            zoom = 1;
        else if (totalScaleFactor < last - step)
            zoom = -1;
        if (zoom)
            last = totalScaleFactor;
        if (finished)
            last = 1.0;
        return zoom;
    }

private:
    double last = 1.0;
};
