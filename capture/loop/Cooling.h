#pragma once

class CameraDevice;
class TimerThread;
struct SettingsRecord;

// The three cooling buttons. Each does nothing without a cooler.
namespace Cooling {

// ON: towards `temp`, in steps of `slowC` a minute when that is set, else at once.
void switchOn(CameraDevice* camera, const SettingsRecord& settings, TimerThread& timer);
// OFF: warms up in steps of `slowW` a minute when that is set, else switches off at once.
void switchOff(CameraDevice* camera, const SettingsRecord& settings, TimerThread& timer);
// Complete stop: off at once, no ramp left running.
void stop(CameraDevice* camera, TimerThread& timer);

} // namespace Cooling
