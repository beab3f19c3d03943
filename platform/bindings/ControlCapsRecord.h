#pragma once

#include "LibraryValues.h"

// The ASI and SVBONY libraries describe a camera control with the same record: its name and
// description in fixed fields, its range, its flags and its type. This takes either maker's
// record into the program's caps of that maker; false, with a log line, for a name without end.
template <typename Record, typename Caps>
bool takeControlCaps(const Record& read, const LibraryValues& values, Caps* caps) {
    if (!values.text(read.Name, sizeof read.Name, &caps->name) ||
        !values.text(read.Description, sizeof read.Description, &caps->description))
        return false;
    caps->maxValue = read.MaxValue;
    caps->minValue = read.MinValue;
    caps->defaultValue = read.DefaultValue;
    caps->isAutoSupported = read.IsAutoSupported != 0;
    caps->isWritable = read.IsWritable != 0;
    caps->controlType = read.ControlType;
    return true;
}
