#pragma once

#include "GotoMath.h"

#include <QString>
#include <functional>

class MountControl;
class PositionUpdate;
struct ProcessState;

// What the goto window does with the mount: sync on an object, go to it, stop, the HOME
// procedure with its pier-side question, the way back to HOME and the declination-direction
// check. An action that finds the mount busy is kept and run again by the main loop.
class GotoActions {
public:
    GotoActions(ProcessState& state, PositionUpdate& positions);

    // The window's state as the actions use it.
    double globalLst = 0; // local sidereal time, degrees
    double centerRa = 0, centerDec = 0;
    double pickedRa = 0, pickedDec = 0;
    bool pickedValid = false;
    double scopeRa = 0, scopeDec = 0;
    double targetRa = 0, targetDec = 0;
    bool deferNorth = false, deferSync = false, deferGoto = false, deferStop = false,
         deferHomeGoto = false, deferToHome = false;

    // The window opens on the sync point, or on the meridian at the equator when there is none.
    void open();
    void computeLst();

    void sync();
    void gotoObject();
    void stop();
    void homeGoto(bool deferred = false);
    void toHome();
    void northCheck();
    // "+" sets decDir 0, "-" sets 1.
    void setDecDir(int decDir);
    void zenith();
    // Keeps the scope position as the sync point and in the settings file.
    void close();
    // The pointing changed: the window's copy follows.
    void followPointing();
    // The main loop's step: the kept actions in their fixed order.
    void serveDeferred();

    // The pier-side question: the sentence, and whether the object is east of the meridian;
    // answers 0 (cancel), 1 (east of the pier) or 2 (west).
    std::function<int(const QString& sentence, bool east)> askPierSide;
    // The chart and the marks on it; the marks alone, when only the telescope moved.
    std::function<void()> redraw;
    std::function<void()> refreshMarks;

private:
    GotoMath::Position object();
    bool settleBeforeMoving(MountControl& mount);
    void move(MountControl& mount, GotoMath::Position from, GotoMath::Position to, bool fromHome);
    MountControl* freeMount(bool& deferFlag);

    ProcessState& state;
    PositionUpdate& positions;
};
