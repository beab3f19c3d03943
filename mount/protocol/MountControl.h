#pragma once

#include "MountChannel.h"
#include "MountCodec.h"
#include "MountRates.h"

#include <QByteArray>
#include <cstdint>
#include <memory>

class GotoTimerThread;
class GuidePulseTimer;
struct SettingsRecord;

// The one mount while it is connected: the controller's parameters, the axes' states, the
// requests deferred while it is busy, and every operation the goto window, the manual
// controls and the autoguider call. Axis 0 is right ascension (channel "1"), axis 1
// declination (channel "2"). All of it runs on the UI thread.
class MountControl {
public:
    enum AxisState { Idle = 0, GotoRunning = 1, PulseRunning = 2, SlewRunning = 4 };

    // `pointingRa`, `pointingDec` (degrees) and `pierSide` are the program's, read when needed.
    MountControl(MountChannel& channel, const SettingsRecord& settings, const double& pointingRa,
                 const double& pointingDec, const int& pierSide);
    ~MountControl();
    MountControl(const MountControl&) = delete;
    MountControl& operator=(const MountControl&) = delete;

    // The initialisation sequence, then tracking. False, with nothing of the controller kept,
    // when a step finds no answer or an answer that is not a number of its kind.
    bool initMount();

    bool readAxisStatus(int axis, MountCodec::AxisStatus* status);
    // Steps from the centre; false when the position could not be read.
    bool readAxisPosition(int axis, std::int32_t* steps);
    bool resetPosition(int axis);
    bool stopAxis(int axis);
    // Polls until the axis stands; false when a poll goes unanswered or it still runs after
    // ten seconds of the clock.
    bool waitAxisStopped(int axis);
    bool setStepPeriod(int axis, double rate);
    bool setMotionMode(int axis, bool gotoMove, double rate, int dir);
    bool startTracking();
    bool slewAxis(int axis, double rate, int dir);
    bool gotoAxisDegrees(int axis, double rate, int dir, double degrees);
    double stepsToDegrees(int axis, std::int32_t steps) const;
    void guidePulseRa(int dir, std::uint32_t amount);
    void guidePulseDec(int dir, std::uint32_t amount);
    // The end of a guide pulse: RA back at the tracking rate, Dec stopped. The axis is free
    // again even when the controller did not answer.
    void endGuidePulseRa();
    void endGuidePulseDec();
    bool decReversed() const;

    // For callers that may come while another conversation waits (the manual controls, the
    // touch panel): done now when the mount is free, else kept for servePendingRequests(). A
    // stop is kept too while a move of its axis is kept, so that it comes after that move; a
    // new move drops a stop still kept for its axis.
    void requestSlew(int axis, double rate, int dir);
    void requestGoto(int axis, double rate, int dir, double degrees);
    void requestStop(int axis);
    void requestReset();
    void requestRebase();
    // The main loop's step: the kept requests in their fixed order, while the mount is free.
    void servePendingRequests();

    // Raised for every conversation with the controller.
    bool isBusy() const { return busy > 0; }

    int raState = Idle;
    int decState = Idle;
    std::uint32_t raRawPosition = 0;
    std::uint32_t decRawPosition = 0;
    double baseRa = 0; // degrees: where the zero position pointed at goto-timer tick 0
    double baseDec = 0;
    bool guiding = false;
    std::uint32_t boardVersion = 0;
    MountRates::AxisParameters axes[2];
    bool initialized = false;
    GotoTimerThread* gotoTimer() const { return timer.get(); }
    // The autoguider's tick source, while it runs.
    GuidePulseTimer* guideTimer = nullptr;

    // Requests kept while busy.
    int pendingRaDir = 0, pendingDecDir = 0;
    double pendingRaRate = 0, pendingDecRate = 0;
    double pendingRaDegrees = 0, pendingDecDegrees = 0;
    bool pendingRaSlew = false, pendingDecSlew = false, pendingRaGoto = false,
         pendingDecGoto = false, pendingRaStop = false, pendingDecStop = false,
         pendingReset = false, pendingRebase = false;

    // Holds the mount busy over several operations that belong together (a position update).
    class Conversation {
    public:
        explicit Conversation(MountControl& mount)
            : mount(mount) {
            ++mount.busy;
        }
        ~Conversation() { --mount.busy; }
        Conversation(const Conversation&) = delete;
        Conversation& operator=(const Conversation&) = delete;

    private:
        MountControl& mount;
    };

private:
    bool send(const QByteArray& command, MountReply* reply = nullptr);
    bool sendValue(const QByteArray& command, std::uint32_t* value, int digits);
    bool stopFirst(int axis);
    bool startMotion(int axis);
    void rebase();

    MountChannel& channel;
    const SettingsRecord& settings;
    const double& pointingRa;
    const double& pointingDec;
    const int& pierSide;
    int busy = 0;
    int decPulses = 0; // Dec pulses so far, for the log
    std::unique_ptr<GotoTimerThread> timer;
};
