#include "MountCodec.h"

namespace MountCodec {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The digits in the order they stand, as one number; false for any other byte.
bool hexValue(const QByteArray& digits, int count, std::uint32_t* value) {
    if (digits.size() != count)
        return false;
    std::uint32_t v = 0;
    for (char c : digits) {
        const int d = hexDigit(c);
        if (d < 0)
            return false;
        v = v << 4 | std::uint32_t(d);
    }
    *value = v;
    return true;
}

} // namespace

QByteArray encode24(std::uint32_t value) {
    static const char digits[] = "0123456789ABCDEF";
    QByteArray text(6, '0');
    for (int byte = 0; byte < 3; ++byte) {
        const std::uint32_t b = value >> (8 * byte);
        text[2 * byte] = digits[(b >> 4) & 0xF];
        text[2 * byte + 1] = digits[b & 0xF];
    }
    return text;
}

bool decode24(const QByteArray& digits, std::uint32_t* value) {
    std::uint32_t wire = 0;
    if (!hexValue(digits, 6, &wire))
        return false;
    // The bytes stand least significant first.
    *value = (wire >> 16 & 0xFF) | (wire & 0xFF00) | (wire & 0xFF) << 16;
    return true;
}

bool decode8(const QByteArray& digits, std::uint32_t* value) {
    return hexValue(digits, 2, value);
}

bool decodeStatus(const QByteArray& digits, AxisStatus* status) {
    std::uint32_t v = 0;
    if (!hexValue(digits, 3, &v))
        return false;
    status->running = v & 0x010;
    status->initDone = v & 0x001;
    status->gotoMode = !(v & 0x100);
    status->reverse = v & 0x200;
    status->highSpeed = v & 0x400;
    return true;
}

} // namespace MountCodec
