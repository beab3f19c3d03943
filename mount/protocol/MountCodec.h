#pragma once

#include <QByteArray>
#include <cstdint>

// The numbers of the mount controller's serial protocol. A 24-bit value travels as six
// upper-case hexadecimal digits, least significant byte first, each byte high nibble first:
// 0x123456 is "563412", the position centre 0x800000 is "000080".
namespace MountCodec {

constexpr std::uint32_t positionCentre = 0x800000;

QByteArray encode24(std::uint32_t value);

// The decoders take exactly the digits their command returns, in either case; anything else
// (a short or long reply, a byte that is not a hexadecimal digit) is refused with false and
// leaves `value` alone.
bool decode24(const QByteArray& digits, std::uint32_t* value);
bool decode8(const QByteArray& digits, std::uint32_t* value);

// An axis status (":f" reply, three digits d0 d1 d2 combined as d0 << 8 | d1 << 4 | d2).
struct AxisStatus {
    bool gotoMode = false;  // bit 8 clear
    bool highSpeed = false; // bit 10
    bool reverse = false;   // bit 9
    bool initDone = false;  // bit 0
    bool running = false;   // bit 4
};
bool decodeStatus(const QByteArray& digits, AxisStatus* status);

} // namespace MountCodec
