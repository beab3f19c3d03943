#pragma once

#include "LibraryValues.h"
#include "PlayerOneWheelLibrary.h"
#include "SharedLibrary.h"

#include <memory>

// The Player One filter-wheel library (PlayerOnePW), loaded at run time. Installed only when
// present(): the library was found and exports every function the program calls.
class PlayerOneWheelBinding : public PlayerOneWheelLibrary {
public:
    PlayerOneWheelBinding();
    ~PlayerOneWheelBinding() override;

    bool present() const { return functions != nullptr; }

    int getPWCount() override;
    int getPWProperties(int index, PwProperties* properties) override;
    std::string getPWErrorString(int error) override;
    int openPW(int handle) override;
    int getCurrentPosition(int handle, int* position) override;
    int gotoPosition(int handle, int position) override;

private:
    struct Functions;

    SharedLibrary library;
    LibraryValues values;
    std::unique_ptr<Functions> functions;
};
