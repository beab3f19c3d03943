#pragma once

#include "SimObservatory.h"

// The simulated observatory behind the drop-in device libraries, which stand where the makers'
// libraries would and export their C functions. It lives in a shared library of its own that
// every drop-in links to, so that the drop-ins loaded into one process share one sky, and it is
// made on the first call: the cameras of VESPERIX_SIM_CAMERAS, the accessories of
// VESPERIX_SIM_ACCESSORIES, the sky of the catalogues in the folder above the drop-ins'. It logs
// to "DropInDevices.log" in the settings folder.
extern "C" SimObservatory* vxDropInObservatory();

// The simulated libraries of that observatory.
SimLibraries dropInLibraries();

// VESPERIX_DROPIN_FAULT: a fault a drop-in plays on demand, to try the program's checks of
// what a library returns ("zero-size", "wide", "negative-count", "unterminated-name",
// "null-error-text", and "out-of-range": a focuser's MaxStep of -1, a wheel of 1000 slots).
bool dropInFault(const char* name);
