#include "FocuserControl.h"

#include "Clock.h"
#include "DebugLog.h"
#include "EafLibrary.h"
#include "SettingsRecord.h"

#include <algorithm>

namespace {

const int stepChoices[] = {5, 10, 50, 100, 50000};

} // namespace

FocuserControl::FocuserControl(EafLibrary& library, SettingsRecord& record)
    : eaf(library)
    , settings(record) {}

bool FocuserControl::open() {
    const int count = eaf.getNum();
    if (count <= 0) {
        debugLog("no focuser connected");
        return false;
    }
    debugLog("attached focuser");
    for (int index = 0; index < count; ++index) {
        int id = 0;
        EafInfo info;
        if (eaf.getId(index, &id) == EafLibrary::Success)
            eaf.getProperty(id, &info);
        debugLog("index %d: %s", index, info.name.c_str());
        if (index == 0) {
            eafId = id;
            maxStep = info.maxStep;
        }
    }
    debugLog("eafId = %d", eafId);
    if (eaf.open(eafId) != EafLibrary::Success) {
        debugLog("EAF open error");
    } else {
        float temperature = 0;
        eaf.getTemp(eafId, &temperature);
        debugLog("EAF temperatur=%g", double(temperature));
        EafInfo info;
        if (eaf.getProperty(eafId, &info) == EafLibrary::Success && info.maxStep > 0)
            maxStep = info.maxStep;
        debugLog("EAF Max step: %d", maxStep);
        eaf.getPosition(eafId, &position);
        debugLog("EAF current position: %d", position);
    }
    commandDone("EAFResetPostion", eaf.resetPosition(eafId, origin));
    readPosition();
    debugLog("EAF current position: %d", position);
    return true;
}

int FocuserControl::stepSize() const {
    const int choice = std::clamp(settings.eafPos, 0, 4);
    return stepChoices[choice] * (settings.eafx100 == 1 ? 100 : 1);
}

void FocuserControl::in() {
    move(-1);
}

void FocuserControl::out() {
    move(+1);
}

void FocuserControl::move(int outward) {
    bool isMoving = false;
    bool handControl = false;
    if (eaf.isMoving(eafId, &isMoving, &handControl) == EafLibrary::Success && isMoving) {
        commandDone("EAFStop", eaf.stop(eafId));
        moving = false;
        readPosition();
        return;
    }
    int from = 0;
    if (!commandDone("EAFGetPosition", eaf.getPosition(eafId, &from)))
        return;
    // With the direction sense "-" the focuser turns the other way for the same button.
    const int sense = settings.eafRev == 1 ? -1 : 1;
    int target = from + outward * sense * stepSize();
    // The library refuses a target beyond its range and would leave the focuser where it is.
    target = std::max(target, 0);
    if (maxStep > 0)
        target = std::min(target, maxStep);
    if (commandDone("EAFMove", eaf.move(eafId, target)))
        moving = true;
    readDue = true;
}

void FocuserControl::reset() {
    debugLog("EAF Reset");
    commandDone("EAFResetPostion", eaf.resetPosition(eafId, origin));
    moving = false;
    readPosition();
}

void FocuserControl::step() {
    const std::int64_t now = Clock::nowMs();
    const int interval = moving ? movingPollMs : restingPollMs;
    if (!readDue && now - lastReadMs < interval)
        return;
    readDue = false;
    lastReadMs = now;
    if (moving) {
        bool isMoving = true;
        bool handControl = false;
        if (!pollDone("EAFIsMoving", eaf.isMoving(eafId, &isMoving, &handControl)))
            return;
        moving = isMoving;
    }
    int at = 0;
    if (!pollDone("EAFGetPosition", eaf.getPosition(eafId, &at)))
        return;
    showPosition(at);
}

void FocuserControl::readPosition() {
    lastReadMs = Clock::nowMs();
    int at = 0;
    readDue = !commandDone("EAFGetPosition", eaf.getPosition(eafId, &at));
    if (!readDue)
        showPosition(at);
}

void FocuserControl::showPosition(int at) {
    position = at;
    count = settings.eafRev == 1 ? origin - position : position - origin;
}

bool FocuserControl::commandDone(const char* call, int result) {
    if (result == EafLibrary::Success)
        return true;
    debugLog("%s error %d", call, result);
    return false;
}

bool FocuserControl::pollDone(const char* call, int result) {
    if (result == EafLibrary::Success) {
        pollFailure = 0;
        return true;
    }
    if (result != pollFailure)
        debugLog("%s error %d", call, result);
    pollFailure = result;
    return false;
}
