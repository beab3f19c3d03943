#pragma once

// The part of the ZWO EFW filter-wheel library's published interface (EFW_filter) that the
// program calls, declared from the maker's documentation: the record it fills, with its
// published layout checked below, and the functions' types. The binding and the simulator's
// drop-in library both build on this.

#include <cstddef>

namespace efw {

using ErrorCode = int; // EFW_ERROR_CODE

struct Info { // EFW_INFO
    int ID;
    char Name[64];
    int slotNum; // 0 until the wheel is open
};

// The same on every system the library ships for.
static_assert(offsetof(Info, Name) == 4 && offsetof(Info, slotNum) == 68);
static_assert(sizeof(Info) == 72);

extern "C" {
using GetNum = int();
using GetID = ErrorCode(int index, int* id);
using GetProperty = ErrorCode(int id, Info* info);
using Open = ErrorCode(int id);
using GetPosition = ErrorCode(int id, int* position); // -1 while the wheel turns
using SetPosition = ErrorCode(int id, int position);
}

} // namespace efw
