#pragma once

#include "PlayerOneWheelLibrary.h"

class SimFilterWheel;

// The Player One wheel library over a simulated wheel (handle 0), or over none. Once the
// wheel is unplugged the library lists none and every call answers NotFound.
class SimPlayerOneWheelLibrary : public PlayerOneWheelLibrary {
public:
    explicit SimPlayerOneWheelLibrary(SimFilterWheel* wheel);

    int getPWCount() override;
    int getPWProperties(int index, PwProperties* properties) override;
    int openPW(int handle) override;
    int getCurrentPosition(int handle, int* position) override;
    int gotoPosition(int handle, int position) override;

private:
    // Counts the call; Ok when it reaches the wheel, else the library's answer.
    int reach(int handle);

    SimFilterWheel* wheel;
};
