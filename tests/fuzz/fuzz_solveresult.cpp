// libFuzzer target: whatever a solver leaves in result.txt, the reader ends without a fault
// and passes on only a sound solution.
#include "PlateSolveFiles.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const PlateSolveFiles::Result result =
        PlateSolveFiles::readResult(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    if (result.failure < 0 || result.failure > 8)
        std::abort();
    if (result.failure == 0 && !(result.ra >= 0 && result.ra < 360 && result.dec >= -90 &&
                                 result.dec <= 90 && result.fovW > 0 && result.fovH > 0 &&
                                 result.imageScale > 0 && std::isfinite(result.imageRote)))
        std::abort();
    const int turns = PlateSolveFiles::cameraRotationFor(result.imageRote, 0);
    if (turns < 0 || turns > 3)
        std::abort();
    return 0;
}
