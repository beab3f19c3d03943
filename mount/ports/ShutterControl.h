#pragma once

#include "ProcessState.h"

// What the shutter action needs of the USB shutter adapter; the port dialog provides it.
class ShutterAdapter {
public:
    virtual ~ShutterAdapter() = default;
    virtual bool isShutterFound() const = 0;
    // Looks for the adapter among the ports and opens it when found.
    virtual void findShutterAdapter() = 0;
    // Opens (true) or closes (false) the camera's shutter.
    virtual void setShutter(bool open) = 0;
};

// True when the adapter is there, searching for it again when it was not found before;
// without one, even then, the user is told.
bool shutterAdapterReady(ShutterAdapter& adapter);

// The shooting button in digital-camera mode: opens the shutter when idle or after a series
// (state becomes exposing), closes it while exposing (state becomes idle), otherwise does
// nothing. Without an adapter, even after searching again, the user is told. True when the
// shutter was opened or closed.
bool snapShutter(ShutterAdapter& adapter, ProcessState& state = processState());
