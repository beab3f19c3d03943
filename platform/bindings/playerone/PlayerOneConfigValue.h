#pragma once

#include "PlayerOneApi.h"
#include "PlayerOneLibrary.h"

// A setting's value between the program's PoaConfigValue and the library's union, which holds
// it in the one member the setting's type names.
namespace poa {

inline ConfigValue toRecord(ValueType type, const PoaConfigValue& value) {
    ConfigValue out{};
    switch (type) {
    case ValInt:
        out.intValue = value.intValue;
        break;
    case ValFloat:
        out.floatValue = value.floatValue;
        break;
    case ValBool:
        out.boolValue = value.boolValue ? 1 : 0;
        break;
    }
    return out;
}

inline PoaConfigValue fromRecord(ValueType type, const ConfigValue& value) {
    PoaConfigValue out;
    switch (type) {
    case ValInt:
        out.intValue = value.intValue;
        break;
    case ValFloat:
        out.floatValue = value.floatValue;
        break;
    case ValBool:
        out.boolValue = value.boolValue != 0;
        break;
    }
    return out;
}

} // namespace poa
