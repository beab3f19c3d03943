#pragma once

#include "EafLibrary.h"

class SimFocuser;

// The focuser library over the simulated focuser (ID 0), or over none. Every call is counted
// on the focuser; once it is unplugged the library lists none and every call answers Removed.
class SimEafLibrary : public EafLibrary {
public:
    explicit SimEafLibrary(SimFocuser* focuser);

    int getNum() override;
    int getId(int index, int* id) override;
    int getProperty(int id, EafInfo* info) override;
    int open(int id) override;
    int getTemp(int id, float* temperature) override;
    int getPosition(int id, int* position) override;
    int resetPosition(int id, int position) override;
    int isMoving(int id, bool* moving, bool* handControl) override;
    int move(int id, int position) override;
    int stop(int id) override;

private:
    // Counts the call; Success when it reaches the focuser, else the library's answer.
    int reach(int id);

    SimFocuser* focuser;
};
