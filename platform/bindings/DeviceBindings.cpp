#include "DeviceBindings.h"

#include "AccessoryLibraries.h"
#include "AsiBinding.h"
#include "CameraLibraries.h"
#include "CanonBinding.h"
#include "EafBinding.h"
#include "EfwBinding.h"
#include "PlayerOneBinding.h"
#include "PlayerOneWheelBinding.h"
#include "SvbonyBinding.h"

namespace {

// Loaded once and kept to the end: the makers' threads may run in them until then.
template <typename Binding> Binding* loaded() {
    static Binding* binding = new Binding;
    return binding->present() ? binding : nullptr;
}

} // namespace

void DeviceBindings::installCameraLibraries() {
    CameraLibraries::install(loaded<PlayerOneBinding>(), loaded<AsiBinding>(),
                             loaded<SvbonyBinding>(), loaded<CanonBinding>(), {});
}

void DeviceBindings::installAccessoryLibraries() {
    AccessoryLibraries::install(loaded<EafBinding>(), loaded<EfwBinding>(),
                                loaded<PlayerOneWheelBinding>());
}
