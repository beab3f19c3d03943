#include "PlayerOneWheelLibrary.h"

// The texts are the names of the maker's error codes, which is what its library gives.
std::string PlayerOneWheelLibrary::getPWErrorString(int error) {
    static const char* const names[] = {
        "PW_OK",
        "PW_ERROR_INVALID_INDEX",
        "PW_ERROR_INVALID_HANDLE",
        "PW_ERROR_INVALID_ARGU",
        "PW_ERROR_NOT_OPENED",
        "PW_ERROR_NOT_FOUND",
        "PW_ERROR_IS_MOVING",
        "PW_ERROR_POINTER",
        "PW_ERROR_OPERATION_FAILED",
        "PW_ERROR_FIRMWARE_ERROR",
    };
    if (error < Ok || error > FirmwareError)
        return "PW_ERROR_UNKNOWN";
    return names[error];
}
