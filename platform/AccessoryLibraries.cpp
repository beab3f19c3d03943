#include "AccessoryLibraries.h"

namespace {

struct Installed {
    EafLibrary absentEaf;
    EfwLibrary absentEfw;
    PlayerOneWheelLibrary absentPlayerOneWheel;
    EafLibrary* eaf = &absentEaf;
    EfwLibrary* efw = &absentEfw;
    PlayerOneWheelLibrary* playerOneWheel = &absentPlayerOneWheel;
};

Installed& installed() {
    static Installed* libraries = new Installed; // reached until the end of the process
    return *libraries;
}

} // namespace

EafLibrary& AccessoryLibraries::eaf() {
    return *installed().eaf;
}

EfwLibrary& AccessoryLibraries::efw() {
    return *installed().efw;
}

PlayerOneWheelLibrary& AccessoryLibraries::playerOneWheel() {
    return *installed().playerOneWheel;
}

void AccessoryLibraries::install(EafLibrary* eaf, EfwLibrary* efw,
                                 PlayerOneWheelLibrary* playerOneWheel) {
    Installed& i = installed();
    if (eaf)
        i.eaf = eaf;
    if (efw)
        i.efw = efw;
    if (playerOneWheel)
        i.playerOneWheel = playerOneWheel;
}

void AccessoryLibraries::reset() {
    Installed& i = installed();
    i.eaf = &i.absentEaf;
    i.efw = &i.absentEfw;
    i.playerOneWheel = &i.absentPlayerOneWheel;
}
