#pragma once

#include <string>

struct PwProperties {
    std::string name;
    int handle = 0;
    int positionCount = 0;
    std::string serialNumber;
};

// The calls the program makes into the Player One filter-wheel library, with its published
// error codes. This base class is the library that is not there: it lists no wheel and every
// call fails; the simulator and a run-time binding override it.
class PlayerOneWheelLibrary {
public:
    enum Error {
        Ok = 0,
        InvalidIndex = 1,
        InvalidHandle = 2,
        InvalidArgument = 3,
        NotOpened = 4,
        NotFound = 5,
        IsMoving = 6,
        Pointer = 7,
        OperationFailed = 8,
        FirmwareError = 9,
    };

    virtual ~PlayerOneWheelLibrary() = default;

    virtual int getPWCount() { return 0; }
    virtual int getPWProperties(int, PwProperties*) { return InvalidIndex; }
    virtual std::string getPWErrorString(int error);
    virtual int openPW(int) { return InvalidHandle; }
    // IsMoving while the wheel turns.
    virtual int getCurrentPosition(int, int*) { return InvalidHandle; }
    virtual int gotoPosition(int, int) { return InvalidHandle; }
};
