// libFuzzer target: whatever bytes come down the mount's line, the reply reader and the
// number decoders end without a fault, keep their bounds, and take a number only as the
// controller writes it.
#include "MountCodec.h"
#include "MountReplyReader.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

bool allHex(const QByteArray& digits) {
    for (char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MountReplyReader reader;
    for (size_t i = 0; i < size; ++i) {
        const MountReplyReader::State state = reader.take(char(data[i]));
        check(reader.reply().data.size() <= MountReplyReader::longestReply);
        if (state == MountReplyReader::State::Done || state == MountReplyReader::State::TooLong)
            break;
    }
    const QByteArray digits = reader.reply().data;
    std::uint32_t value = 0;
    if (MountCodec::decode24(digits, &value)) {
        check(digits.size() == 6 && allHex(digits) && value <= 0xFFFFFF);
        check(MountCodec::encode24(value) == digits.toUpper());
    }
    if (MountCodec::decode8(digits, &value))
        check(digits.size() == 2 && allHex(digits) && value <= 0xFF);
    MountCodec::AxisStatus status;
    if (MountCodec::decodeStatus(digits, &status))
        check(digits.size() == 3 && allHex(digits));
    return 0;
}
