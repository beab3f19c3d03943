#include "Cooling.h"

#include "CameraDevice.h"
#include "SettingsRecord.h"
#include "TimerThread.h"

namespace Cooling {

void switchOn(CameraDevice* camera, const SettingsRecord& settings, TimerThread& timer) {
    if (!camera || !camera->hasCooler)
        return;
    const int target =
        settings.slowC != 0 ? camera->getTemperature() - settings.slowC : settings.temp;
    camera->setTargetTemperature(target);
    camera->coolerOn();
    timer.startSlowCool();
}

void switchOff(CameraDevice* camera, const SettingsRecord& settings, TimerThread& timer) {
    if (!camera || !camera->hasCooler)
        return;
    timer.startSlowWarm();
    if (settings.slowW == 0)
        camera->coolerOff();
}

void stop(CameraDevice* camera, TimerThread& timer) {
    if (!camera || !camera->hasCooler)
        return;
    camera->coolerOff();
    timer.stopRamps();
}

} // namespace Cooling
