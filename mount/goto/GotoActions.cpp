#include "GotoActions.h"

#include "Clock.h"
#include "DebugLog.h"
#include "GotoTimerThread.h"
#include "MountControl.h"
#include "PositionUpdate.h"
#include "ProcessState.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "SkyTime.h"
#include "UserPrompt.h"

#include <QDateTime>

namespace {

constexpr double gotoRate = 800;

} // namespace

GotoActions::GotoActions(ProcessState& processState, PositionUpdate& positionUpdate)
    : state(processState)
    , positions(positionUpdate) {}

void GotoActions::open() {
    computeLst();
    const bool none = state.syncPointRa == 0 && state.syncPointDec == 0;
    centerRa = none ? globalLst : state.syncPointRa;
    centerDec = none ? 0 : state.syncPointDec;
    scopeRa = state.syncPointRa;
    scopeDec = state.syncPointDec;
    targetRa = targetDec = 0;
    pickedValid = false;
    debugLog("syncPointRa = %f syncPointDec = %f", state.syncPointRa, state.syncPointDec);
    debugLog("baseRa = %f baseDec = %f", scopeRa, scopeDec);
    debugLog("centerRa = %f centerDec = %f", centerRa, centerDec);
    if (redraw)
        redraw();
    debugLog("BaseRa = %f BaseDec = %f", scopeRa, scopeDec);
}

void GotoActions::computeLst() {
    const QDateTime now = Clock::currentDateTime();
    const SettingsRecord& s = *state.settings;
    SkyTime::Site site;
    site.longitude = s.long1;
    site.west = s.longWE == 1;
    site.latitude = s.lati1;
    site.timeZone = s.timeD;
    globalLst = SkyTime::siderealHours(now.date().year(), now.date().month(), now.date().day(),
                                       now.time().hour(), now.time().minute(), site) *
                15;
}

GotoMath::Position GotoActions::object() {
    if (pickedValid) {
        pickedValid = false;
        return {pickedRa, pickedDec};
    }
    return {centerRa, centerDec};
}

MountControl* GotoActions::freeMount(bool& deferFlag) {
    MountControl* mount = state.mount;
    if (!mount)
        return nullptr;
    deferFlag = mount->isBusy();
    return deferFlag ? nullptr : mount;
}

void GotoActions::followPointing() {
    scopeRa = state.syncPointRa;
    scopeDec = state.syncPointDec;
    if (refreshMarks)
        refreshMarks();
}

void GotoActions::sync() {
    MountControl* mount = freeMount(deferSync);
    if (!mount)
        return;
    const GotoMath::Position p = object();
    state.syncPointRa = scopeRa = mount->baseRa = p.ra;
    state.syncPointDec = scopeDec = mount->baseDec = p.dec;
    targetRa = targetDec = 0;
    mount->resetPosition(0);
    mount->resetPosition(1);
    if (mount->gotoTimer())
        mount->gotoTimer()->zero();
    if (redraw)
        redraw();
}

bool GotoActions::settleBeforeMoving(MountControl& mount) {
    // A move from a running goto or slew would start from where the last update saw it, half
    // a second old, and its stop brakes it further: stop it, then read where it stands.
    const auto moving = [](int s) {
        return s == MountControl::GotoRunning || s == MountControl::SlewRunning;
    };
    if (!moving(mount.raState) && !moving(mount.decState))
        return true;
    mount.stopAxis(0);
    mount.stopAxis(1);
    if (!mount.waitAxisStopped(0) || !mount.waitAxisStopped(1) || !positions.update(mount))
        return false;
    scopeRa = state.syncPointRa;
    scopeDec = state.syncPointDec;
    return true;
}

void GotoActions::move(MountControl& mount, GotoMath::Position from, GotoMath::Position to,
                       bool fromHome) {
    for (const GotoMath::Move& m : GotoMath::moves(from, to, fromHome))
        mount.gotoAxisDegrees(m.axis, gotoRate, m.dir, m.degrees);
}

void GotoActions::gotoObject() {
    MountControl* mount = freeMount(deferGoto);
    if (!mount)
        return;
    GotoMath::Position target = object();
    if (state.digitalCameraMode) {
        const SettingsRecord& s = *state.settings;
        target = GotoMath::digitalCameraTarget(target, s.digiOffRa, s.digiOffDec, s.decDir);
    }
    targetRa = target.ra;
    targetDec = target.dec;
    if (redraw)
        redraw();
    MountControl::Conversation talking(*mount);
    if (!settleBeforeMoving(*mount)) {
        debugLog("goto abandoned: the mount did not stop");
        return;
    }
    move(*mount, {scopeRa, scopeDec}, target, false);
}

void GotoActions::stop() {
    MountControl* mount = freeMount(deferStop);
    if (!mount)
        return;
    debugLog("stop");
    mount->stopAxis(0);
    mount->stopAxis(1);
}

void GotoActions::homeGoto(bool deferred) {
    if (!state.mount)
        return;
    if (!deferred) {
        computeLst();
        // Asked of the object the goto will take, the shorter way round the sky.
        const GotoMath::Position p = pickedValid ? GotoMath::Position{pickedRa, pickedDec}
                                                 : GotoMath::Position{centerRa, centerDec};
        const double east = GotoMath::eastOfMeridian(p.ra, globalLst);
        const int answer =
            askPierSide ? askPierSide(GotoMath::meridianSentence(east), east > 0) : 0;
        // Cancel leaves the pier side as it was: it steers every later Dec move.
        if (answer != 1 && answer != 2)
            return;
        state.pierSide = answer;
    }
    MountControl* mount = freeMount(deferHomeGoto);
    if (!mount)
        return;
    const GotoMath::Position target = object();
    targetRa = target.ra;
    targetDec = target.dec;
    MountControl::Conversation talking(*mount);
    if (!mount->initMount()) {
        // Its reference is gone with it: a move now would start from nowhere.
        debugLog("HOME goto abandoned: the mount could not be initialised");
        UserPrompt::showMessage(QStringLiteral("赤道儀との接続ができません."));
        return;
    }
    if (mount->gotoTimer())
        mount->gotoTimer()->zero();
    const GotoMath::Position home = GotoMath::home(globalLst, state.pierSide);
    state.syncPointRa = scopeRa = mount->baseRa = home.ra;
    state.syncPointDec = scopeDec = mount->baseDec = home.dec;
    centerRa = target.ra;
    centerDec = target.dec;
    if (redraw)
        redraw();
    debugLog("targetRa = %f globalLst = %f targetDec = %f", target.ra, globalLst, target.dec);
    debugLog("RaDif = %f, DecDif = %f", GotoMath::signedRaDifference(target.ra, home.ra),
             target.dec - home.dec);
    move(*mount, home, target, true);
}

void GotoActions::toHome() {
    if (state.pierSide != 1 && state.pierSide != 2) {
        UserPrompt::showMessage(QStringLiteral("HOMEからのGOTOをしていないので無効です"));
        return;
    }
    MountControl* mount = freeMount(deferToHome);
    if (!mount)
        return;
    computeLst();
    const GotoMath::Position home = GotoMath::home(globalLst, state.pierSide);
    pickedValid = false;
    if (redraw)
        redraw();
    MountControl::Conversation talking(*mount);
    if (!settleBeforeMoving(*mount)) {
        debugLog("HOME return abandoned: the mount did not stop");
        return;
    }
    debugLog("targetRa = %f globalLst = %f targetDec = %f", home.ra, globalLst, home.dec);
    debugLog("RaDif = %f, DecDif = %f", GotoMath::signedRaDifference(home.ra, scopeRa),
             home.dec - scopeDec);
    move(*mount, {scopeRa, scopeDec}, home, false);
}

void GotoActions::northCheck() {
    MountControl* mount = freeMount(deferNorth);
    if (mount)
        mount->gotoAxisDegrees(1, gotoRate, 0, 10.0);
}

void GotoActions::setDecDir(int decDir) {
    state.settings->decDir = decDir;
}

void GotoActions::zenith() {
    computeLst();
    centerRa = pickedRa = globalLst;
    centerDec = pickedDec = state.settings->lati1;
    pickedValid = true;
    if (redraw)
        redraw();
}

void GotoActions::close() {
    state.syncPointRa = scopeRa;
    state.syncPointDec = scopeDec;
    state.settings->setBaseDegrees(scopeRa, scopeDec);
    saveSettings(*state.settings);
}

void GotoActions::serveDeferred() {
    if (!state.mount || state.mount->isBusy())
        return;
    if (deferSync)
        sync();
    if (deferNorth)
        northCheck();
    if (deferGoto)
        gotoObject();
    if (deferStop)
        stop();
    if (deferHomeGoto)
        homeGoto(true);
    if (deferToHome)
        toHome();
}
