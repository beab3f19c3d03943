#pragma once

#include "EafLibrary.h"
#include "EfwLibrary.h"
#include "PlayerOneWheelLibrary.h"

// The focuser and filter-wheel libraries the program talks to, installed like the cameras'
// (CameraLibraries): absent until the simulated observatory, a test or a binding to the
// makers' libraries installs its own.
class AccessoryLibraries {
public:
    static EafLibrary& eaf();
    static EfwLibrary& efw();
    static PlayerOneWheelLibrary& playerOneWheel();

    // Installs libraries for the rest of the run; a null pointer keeps the one in place. The
    // caller keeps ownership.
    static void install(EafLibrary* eaf, EfwLibrary* efw, PlayerOneWheelLibrary* playerOneWheel);
    // Back to absent libraries (tests).
    static void reset();
};
