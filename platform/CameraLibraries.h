#pragma once

#include "AsiLibrary.h"
#include "CanonLibrary.h"
#include "PlayerOneLibrary.h"
#include "SvbonyLibrary.h"
#include "UvcCapture.h"

#include <functional>
#include <memory>

// The camera libraries the program talks to. Until something is installed every vendor is
// absent and lists no camera; the simulated observatory (VESPERIX_SIM) or a test installs
// its own, and a binding to the makers' libraries would be installed here the same way.
class CameraLibraries {
public:
    using UvcFactory = std::function<std::unique_ptr<UvcCapture>()>;

    static PlayerOneLibrary& playerOne();
    static AsiLibrary& asi();
    static SvbonyLibrary& svbony();
    static CanonLibrary& canon();
    static std::unique_ptr<UvcCapture> createUvcCapture();

    // Installs libraries for the rest of the run; a null pointer or an empty factory keeps
    // the one in place. The caller keeps ownership.
    static void install(PlayerOneLibrary* playerOne, AsiLibrary* asi, SvbonyLibrary* svbony,
                        CanonLibrary* canon, UvcFactory uvc);
    // Back to absent libraries and the real video capture (tests).
    static void reset();
};
