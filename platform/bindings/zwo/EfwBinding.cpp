#include "EfwBinding.h"

#include "EfwApi.h"

namespace {
// The maker's wheels have 5 to 8 slots; 64 is beyond any of them.
constexpr int mostSlots = 64;
} // namespace

struct EfwBinding::Functions {
    efw::GetNum* getNum;
    efw::GetID* getId;
    efw::GetProperty* getProperty;
    efw::Open* open;
    efw::GetPosition* getPosition;
    efw::SetPosition* setPosition;

    bool resolve(SharedLibrary& l) {
        return SharedLibrary::allFound({
            l.resolve(getNum, "EFWGetNum"),
            l.resolve(getId, "EFWGetID"),
            l.resolve(getProperty, "EFWGetProperty"),
            l.resolve(open, "EFWOpen"),
            l.resolve(getPosition, "EFWGetPosition"),
            l.resolve(setPosition, "EFWSetPosition"),
        });
    }
};

EfwBinding::EfwBinding()
    : library("EFW_filter.dll", "EFWFilter")
    , values(library.fileName())
    , functions(library.resolveAll<Functions>()) {}

EfwBinding::~EfwBinding() = default;

int EfwBinding::getNum() {
    return values.count(functions->getNum());
}

int EfwBinding::getId(int index, int* id) {
    return functions->getId(index, id);
}

int EfwBinding::getProperty(int id, EfwInfo* info) {
    efw::Info read{};
    const int error = functions->getProperty(id, &read);
    if (error != Success)
        return error;
    std::string name;
    if (!values.text(read.Name, sizeof read.Name, &name) ||
        !values.within("slot count", read.slotNum, 0, mostSlots))
        return GeneralError;
    info->id = read.ID;
    info->name = name;
    info->slotNum = read.slotNum;
    return Success;
}

int EfwBinding::open(int id) {
    return functions->open(id);
}

int EfwBinding::getPosition(int id, int* position) {
    return functions->getPosition(id, position);
}

int EfwBinding::setPosition(int id, int position) {
    return functions->setPosition(id, position);
}
