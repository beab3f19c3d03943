#pragma once

#include <QByteArray>
#include <cstdint>

// The motor controller's numbers on the wire. A 24-bit value is six hex digits, least
// significant byte first and each byte high nibble first, so 0x800000 reads "000080".
namespace SimMountHex {

QByteArray encode24(std::uint32_t value);
QByteArray encode8(std::uint32_t value);
// Three digits for bits 11..8, 7..4 and 3..0.
QByteArray encodeStatus(std::uint32_t bits);

// Reads hex digits of either case, most significant first; false on any other character.
bool decodeDigits(const QByteArray& digits, std::uint32_t* value);
// Reads six digits in the wire's byte order.
bool decode24(const QByteArray& digits, std::uint32_t* value);

} // namespace SimMountHex
