#pragma once

#include "EfwLibrary.h"

class SimFilterWheel;

// The EFW library over a simulated wheel (ID 0), or over none. Once the wheel is unplugged
// the library lists none and every call answers Removed.
class SimEfwLibrary : public EfwLibrary {
public:
    explicit SimEfwLibrary(SimFilterWheel* wheel);

    int getNum() override;
    int getId(int index, int* id) override;
    int getProperty(int id, EfwInfo* info) override;
    int open(int id) override;
    int getPosition(int id, int* position) override;
    int setPosition(int id, int position) override;

private:
    // Counts the call; Success when it reaches the wheel, else the library's answer.
    int reach(int id);

    SimFilterWheel* wheel;
};
