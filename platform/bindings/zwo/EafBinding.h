#pragma once

#include "EafLibrary.h"
#include "LibraryValues.h"
#include "SharedLibrary.h"

#include <memory>

// The ZWO EAF focuser library (EAF_focuser), loaded at run time. Installed only when present():
// the library was found and exports every function the program calls.
class EafBinding : public EafLibrary {
public:
    EafBinding();
    ~EafBinding() override;

    bool present() const { return functions != nullptr; }

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
    struct Functions;

    SharedLibrary library;
    LibraryValues values;
    std::unique_ptr<Functions> functions;
};
