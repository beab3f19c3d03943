#pragma once

#include "DropInName.h"

// A simulated control's caps written into the ASI or SVBONY library's record, which the two
// makers lay out alike.
template <typename Caps, typename Record> void putControlCaps(const Caps& caps, Record* record) {
    *record = Record{};
    copyDropInName(record->Name, caps.name);
    copyDropInName(record->Description, caps.description);
    record->MaxValue = caps.maxValue;
    record->MinValue = caps.minValue;
    record->DefaultValue = caps.defaultValue;
    record->IsAutoSupported = caps.isAutoSupported;
    record->IsWritable = caps.isWritable;
    record->ControlType = caps.controlType;
}
