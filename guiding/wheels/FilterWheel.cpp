#include "FilterWheel.h"

#include "AccessoryLibraries.h"
#include "Clock.h"
#include "DebugLog.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

constexpr int maxButtons = 9;
// How often the EFW's state is asked while it settles, in clock time.
constexpr int efwPollMs = 100;

std::string pwErrorText(int error) {
    return AccessoryLibraries::playerOneWheel().getPWErrorString(error);
}

} // namespace

void FilterWheel::initFilterWheel() {
    present = false;
    handle = 0;
    slotCount = 0;
    current = -1;
    if (showSlots)
        showSlots(0, 0);
    PlayerOneWheelLibrary& pw = AccessoryLibraries::playerOneWheel();
    const int count = pw.getPWCount();
    debugLog("PW count: %d\n", count);
    if (count > 0)
        initPlayerOne();
    else
        initEfw();
}

void FilterWheel::initPlayerOne() {
    PlayerOneWheelLibrary& pw = AccessoryLibraries::playerOneWheel();
    PwProperties properties;
    int error = pw.getPWProperties(0, &properties);
    if (error != PlayerOneWheelLibrary::Ok) {
        debugLog("get PW properties failed, error code: %s \n", pwErrorText(error).c_str());
        return;
    }
    debugLog("PW Handle: %d, PW name: %s \n", properties.handle, properties.name.c_str());
    debugLog("PW SN: %s \n PW Position Count: %d \n", properties.serialNumber.c_str(),
             properties.positionCount);
    error = pw.openPW(properties.handle);
    if (error != PlayerOneWheelLibrary::Ok) {
        debugLog("open PW failed, error code: %s", pwErrorText(error).c_str());
        return;
    }
    int position = -1;
    error = pw.getCurrentPosition(properties.handle, &position);
    if (error != PlayerOneWheelLibrary::Ok) {
        debugLog("get PW position failed, error code: %s", pwErrorText(error).c_str());
        position = -1;
    }
    debugLog("position=%d", position + 1);
    found(PlayerOne, properties.handle, properties.positionCount, position);
}

void FilterWheel::initEfw() {
    EfwLibrary& efw = AccessoryLibraries::efw();
    const int count = efw.getNum();
    if (count < 1)
        return;
    debugLog("EFW Exist %d", count);
    int id = -1;
    if (efw.getId(0, &id) != EfwLibrary::Success)
        id = -1;
    EfwInfo info;
    efw.getProperty(id, &info);
    debugLog("index 0: %s", info.name.c_str());
    if (id < 0 || efw.open(id) != EfwLibrary::Success || !waitForEfw(id)) {
        debugLog("EFW Open error");
        return;
    }
}

// Waits, within efwSettleMs of clock in all, until the wheel has stopped turning and knows its
// position; a stuck wheel must not hold up start-up.
bool FilterWheel::waitForEfw(int id) {
    EfwLibrary& efw = AccessoryLibraries::efw();
    const std::int64_t deadline = Clock::nowMs() + efwSettleMs;
    const auto wait = [deadline] {
        if (Clock::nowMs() >= deadline)
            return false;
        Clock::sleepMs(efwPollMs);
        return true;
    };
    EfwInfo info;
    for (;;) {
        const int error = efw.getProperty(id, &info);
        if (error == EfwLibrary::Success)
            break;
        if (error != EfwLibrary::Moving) {
            debugLog("EFW get property error code: %d", error);
            return false;
        }
        if (!wait())
            return false;
    }
    debugLog("%d slots: ", info.slotNum);
    int position = -1;
    for (;;) {
        const int error = efw.getPosition(id, &position);
        if (error == EfwLibrary::Success && position >= 0)
            break;
        if (error != EfwLibrary::Success && error != EfwLibrary::Moving) {
            debugLog("EFW get position error code: %d", error);
            return false;
        }
        if (!wait())
            return false;
    }
    debugLog("current position: %d", position + 1);
    found(Efw, id, info.slotNum, position);
    return true;
}

void FilterWheel::found(Kind wheelKind, int wheelHandle, int count, int position) {
    if (count < 1) {
        debugLog("filter wheel reports %d slots", count);
        return;
    }
    present = true;
    kind = wheelKind;
    handle = wheelHandle;
    slotCount = count;
    current = position;
    if (showSlots)
        showSlots(std::min(slotCount, maxButtons), position + 1);
}

int FilterWheel::getFilterPosition() {
    if (!present)
        return -1;
    int position = -1;
    if (kind == PlayerOne) {
        const int error =
            AccessoryLibraries::playerOneWheel().getCurrentPosition(handle, &position);
        if (error != PlayerOneWheelLibrary::Ok) {
            if (error != PlayerOneWheelLibrary::IsMoving)
                debugLog("get PW position failed, error code: %s", pwErrorText(error).c_str());
            return -1;
        }
    } else {
        const int error = AccessoryLibraries::efw().getPosition(handle, &position);
        if (error != EfwLibrary::Success) {
            if (error != EfwLibrary::Moving)
                debugLog("EFW get position error code: %d", error);
            return -1;
        }
    }
    if (position >= 0)
        current = position;
    return position;
}

void FilterWheel::setFilterPosition(int index) {
    if (!present || index < 0 || index >= std::min(slotCount, maxButtons))
        return;
    if (kind == PlayerOne) {
        const int error = AccessoryLibraries::playerOneWheel().gotoPosition(handle, index);
        if (error != PlayerOneWheelLibrary::Ok) {
            debugLog("PW goto position failed, error code: %s", pwErrorText(error).c_str());
            return;
        }
    } else {
        const int error = AccessoryLibraries::efw().setPosition(handle, index);
        if (error != EfwLibrary::Success) {
            debugLog("EFW set position error code: %d", error);
            return;
        }
    }
    current = index;
}
