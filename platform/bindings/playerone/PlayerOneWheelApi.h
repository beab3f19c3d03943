#pragma once

// The part of the Player One filter-wheel library's published C interface (PlayerOnePW) that
// the program calls, declared from the maker's documentation: the record it passes, with its
// published layout checked below, and the functions' types. The binding and the simulator's
// drop-in library both build on this.

#include <cstddef>

namespace pw {

using ErrorCode = int; // PWErrors

struct Properties { // PWProperties
    char Name[64];
    int Handle;
    int PositionCount;
    char SN[32];
    char Reserved[32];
};

// The same on Linux, macOS and Windows.
static_assert(offsetof(Properties, Handle) == 64 && offsetof(Properties, PositionCount) == 68);
static_assert(offsetof(Properties, SN) == 72 && sizeof(Properties) == 136);

extern "C" {
using GetPWCount = int();
using GetPWProperties = ErrorCode(int index, Properties* properties);
using GetPWErrorString = const char*(ErrorCode error);
using OpenPW = ErrorCode(int handle);
using GetCurrentPosition = ErrorCode(int handle, int* position);
using GotoPosition = ErrorCode(int handle, int position);
}

} // namespace pw
