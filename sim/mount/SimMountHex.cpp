#include "SimMountHex.h"

namespace {

const char digits[] = "0123456789ABCDEF";

QByteArray nibbles(std::uint32_t value, int count) {
    QByteArray text;
    for (int shift = 4 * (count - 1); shift >= 0; shift -= 4)
        text += digits[(value >> shift) & 0xF];
    return text;
}

} // namespace

namespace SimMountHex {

QByteArray encode24(std::uint32_t value) {
    return nibbles(value, 2) + nibbles(value >> 8, 2) + nibbles(value >> 16, 2);
}

QByteArray encode8(std::uint32_t value) {
    return nibbles(value, 2);
}

QByteArray encodeStatus(std::uint32_t bits) {
    return nibbles(bits, 3);
}

bool decodeDigits(const QByteArray& text, std::uint32_t* value) {
    std::uint32_t v = 0;
    for (const char c : text) {
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : -1;
        if (d < 0)
            return false;
        v = v << 4 | std::uint32_t(d);
    }
    *value = v;
    return true;
}

bool decode24(const QByteArray& text, std::uint32_t* value) {
    if (text.size() != 6)
        return false;
    return decodeDigits(text.mid(4, 2) + text.mid(2, 2) + text.mid(0, 2), value);
}

} // namespace SimMountHex
