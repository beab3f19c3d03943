#pragma once

#include "EfwLibrary.h"
#include "LibraryValues.h"
#include "SharedLibrary.h"

#include <memory>

// The ZWO EFW filter-wheel library (EFW_filter), loaded at run time. Installed only when
// present(): the library was found and exports every function the program calls.
class EfwBinding : public EfwLibrary {
public:
    EfwBinding();
    ~EfwBinding() override;

    bool present() const { return functions != nullptr; }

    int getNum() override;
    int getId(int index, int* id) override;
    int getProperty(int id, EfwInfo* info) override;
    int open(int id) override;
    int getPosition(int id, int* position) override;
    int setPosition(int id, int position) override;

private:
    struct Functions;

    SharedLibrary library;
    LibraryValues values;
    std::unique_ptr<Functions> functions;
};
