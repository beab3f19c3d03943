#pragma once

#include <string>

struct EafInfo {
    int id = 0;
    std::string name;
    int maxStep = 0;
};

// The calls the program makes into the ZWO EAF focuser library, with its published error
// codes. This base class is the library that is not there: it lists no focuser and every call
// fails; the simulator and a run-time binding override it.
class EafLibrary {
public:
    enum Error {
        Success = 0,
        InvalidIndex = 1,
        InvalidId = 2,
        InvalidValue = 3,
        Removed = 4,
        Moving = 5,
        ErrorState = 6,
        GeneralError = 7,
        NotSupported = 8,
        Closed = 9,
    };

    virtual ~EafLibrary() = default;

    virtual int getNum() { return 0; }
    virtual int getId(int, int*) { return InvalidIndex; }
    virtual int getProperty(int, EafInfo*) { return InvalidId; }
    virtual int open(int) { return InvalidId; }
    virtual int getTemp(int, float*) { return InvalidId; }
    virtual int getPosition(int, int*) { return InvalidId; }
    // The library's own spelling of the call is EAFResetPostion.
    virtual int resetPosition(int, int) { return InvalidId; }
    virtual int isMoving(int, bool*, bool*) { return InvalidId; }
    // Targets 0 to the focuser's MaxStep; others are refused with InvalidValue.
    virtual int move(int, int) { return InvalidId; }
    virtual int stop(int) { return InvalidId; }
};
