#pragma once

#include <string>

struct EfwInfo {
    int id = 0;
    std::string name;
    int slotNum = 0;
};

// The calls the program makes into the ZWO EFW filter-wheel library, with its published error
// codes. This base class is the library that is not there: it lists no wheel and every call
// fails; the simulator and a run-time binding override it.
class EfwLibrary {
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

    virtual ~EfwLibrary() = default;

    virtual int getNum() { return 0; }
    virtual int getId(int, int*) { return InvalidIndex; }
    // Moving while the wheel turns.
    virtual int getProperty(int, EfwInfo*) { return InvalidId; }
    // Older headers take an index here, newer ones an ID: callers pass getId(0)'s ID.
    virtual int open(int) { return InvalidId; }
    // -1 while the wheel turns.
    virtual int getPosition(int, int*) { return InvalidId; }
    virtual int setPosition(int, int) { return InvalidId; }
};
