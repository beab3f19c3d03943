#pragma once

// The bindings to the makers' libraries, put in place of the absent ones at start-up when the
// simulated observatory is off. A library that is missing, or lacks a function the program
// calls, stays absent: its maker's devices are not listed. Made once, they stay for the run.
class DeviceBindings {
public:
    static void installCameraLibraries();
    static void installAccessoryLibraries();
};
