#pragma once

#include "DropInObservatory.h"

#include <algorithm>
#include <cstring>
#include <string>

// A name written into a maker's fixed character field, cut to fit and ended there; with the
// fault "unterminated-name" the field is filled to its end instead.
template <std::size_t size> void copyDropInName(char (&field)[size], const std::string& text) {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
    if (dropInFault("unterminated-name"))
        std::memset(field, 'X', size);
}
