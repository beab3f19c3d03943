#include "CameraLibraries.h"

namespace {

struct Installed {
    PlayerOneLibrary absentPlayerOne;
    AsiLibrary absentAsi;
    SvbonyLibrary absentSvbony;
    CanonLibrary absentCanon;
    PlayerOneLibrary* playerOne = &absentPlayerOne;
    AsiLibrary* asi = &absentAsi;
    SvbonyLibrary* svbony = &absentSvbony;
    CanonLibrary* canon = &absentCanon;
    CameraLibraries::UvcFactory uvc = UvcCapture::createVideoCapture;
};

Installed& installed() {
    static Installed* libraries = new Installed; // used by worker threads until the end
    return *libraries;
}

} // namespace

PlayerOneLibrary& CameraLibraries::playerOne() {
    return *installed().playerOne;
}

AsiLibrary& CameraLibraries::asi() {
    return *installed().asi;
}

SvbonyLibrary& CameraLibraries::svbony() {
    return *installed().svbony;
}

CanonLibrary& CameraLibraries::canon() {
    return *installed().canon;
}

std::unique_ptr<UvcCapture> CameraLibraries::createUvcCapture() {
    return installed().uvc();
}

void CameraLibraries::install(PlayerOneLibrary* playerOne, AsiLibrary* asi, SvbonyLibrary* svbony,
                              CanonLibrary* canon, UvcFactory uvc) {
    Installed& i = installed();
    if (playerOne)
        i.playerOne = playerOne;
    if (asi)
        i.asi = asi;
    if (svbony)
        i.svbony = svbony;
    if (canon)
        i.canon = canon;
    if (uvc)
        i.uvc = std::move(uvc);
}

void CameraLibraries::reset() {
    Installed& i = installed();
    i.playerOne = &i.absentPlayerOne;
    i.asi = &i.absentAsi;
    i.svbony = &i.absentSvbony;
    i.canon = &i.absentCanon;
    i.uvc = UvcCapture::createVideoCapture;
}
