#pragma once

// The part of the ZWO EAF focuser library's published interface (EAF_focuser) that the program
// calls, declared from the maker's documentation: the record it fills, with its published
// layout checked below, and the functions' types. The binding and the simulator's drop-in
// library both build on this.

#include <cstddef>

namespace eaf {

using ErrorCode = int; // EAF_ERROR_CODE

struct Info { // EAF_INFO
    int ID;
    char Name[64];
    int MaxStep; // the highest position a move may go to
};

// The same on every system the library ships for.
static_assert(offsetof(Info, Name) == 4 && offsetof(Info, MaxStep) == 68);
static_assert(sizeof(Info) == 72);
// The library is written in C++ and takes C++ bools.
static_assert(sizeof(bool) == 1);

extern "C" {
using GetNum = int();
using GetID = ErrorCode(int index, int* id);
using GetProperty = ErrorCode(int id, Info* info);
using Open = ErrorCode(int id);
using GetTemp = ErrorCode(int id, float* temperature);
using GetPosition = ErrorCode(int id, int* step);
using ResetPostion = ErrorCode(int id, int step); // the maker's spelling
using IsMoving = ErrorCode(int id, bool* moving, bool* handControl);
using Move = ErrorCode(int id, int step);
using Stop = ErrorCode(int id);
}

} // namespace eaf
