#include "MountControl.h"

#include "Clock.h"
#include "DebugLog.h"
#include "GotoTimerThread.h"
#include "GuidePulseTimer.h"
#include "SettingsRecord.h"

#include <cmath>

namespace {

// How long an axis may take to come to a stand after a stop command.
constexpr std::int64_t stopWaitMs = 10000;

// What an initialisation step keeps of its reply.
enum class Keep { Nothing, BoardVersion, CountsPerRev, TimerFreq, HighSpeedRatio, Position };

struct InitStep {
    const char* command;
    int axis;
    Keep keep;
    bool mustAnswer; // ":F" is sent for its effect; its answer does not count
};

// The controller's initialisation, one transaction each, in order.
const InitStep initSteps[] = {
    {":e1\r", 0, Keep::BoardVersion, true},   {":F1\r", 0, Keep::Nothing, false},
    {":F2\r", 1, Keep::Nothing, false},       {":a1\r", 0, Keep::CountsPerRev, true},
    {":a2\r", 1, Keep::CountsPerRev, true},   {":b1\r", 0, Keep::TimerFreq, true},
    {":b2\r", 1, Keep::TimerFreq, true},      {":g1\r", 0, Keep::HighSpeedRatio, true},
    {":g2\r", 1, Keep::HighSpeedRatio, true}, {":s1\r", 0, Keep::Nothing, true},
    {":s2\r", 1, Keep::Nothing, true},        {":V232\r", 1, Keep::Nothing, true},
    {":q1010000\r", 0, Keep::Nothing, true},  {":O10\r", 0, Keep::Nothing, true},
    {":K1\r", 0, Keep::Nothing, true},        {":K2\r", 1, Keep::Nothing, true},
    {":f1\r", 0, Keep::Nothing, true},        {":f2\r", 1, Keep::Nothing, true},
    {":E1000080\r", 0, Keep::Nothing, true},  {":E2000080\r", 1, Keep::Nothing, true},
    {":j1\r", 0, Keep::Position, true},       {":j2\r", 1, Keep::Position, true},
};

char channel(int axis) {
    return axis == 0 ? '1' : '2';
}

QByteArray command(char letter, int axis, const QByteArray& data = QByteArray()) {
    return QByteArray(1, ':') + letter + channel(axis) + data + '\r';
}

QByteArray printable(const QByteArray& command) {
    return command.endsWith('\r') ? command.chopped(1) : command;
}

} // namespace

MountControl::MountControl(MountChannel& mountChannel, const SettingsRecord& settingsRecord,
                           const double& ra, const double& dec, const int& side)
    : baseRa(ra)
    , baseDec(dec)
    , channel(mountChannel)
    , settings(settingsRecord)
    , pointingRa(ra)
    , pointingDec(dec)
    , pierSide(side) {}

MountControl::~MountControl() = default;

bool MountControl::send(const QByteArray& text, MountReply* reply) {
    MountReply own;
    MountReply* r = reply ? reply : &own;
    if (!channel.sendCommand(text, r))
        return false;
    // A refusal of a command whose answer means nothing is only noted.
    if (r->refused && !reply)
        debugLog("Mount refused %s: !%s", printable(text).constData(), r->data.constData());
    return true;
}

bool MountControl::sendValue(const QByteArray& text, std::uint32_t* value, int digits) {
    MountReply reply;
    if (!send(text, &reply))
        return false;
    std::uint32_t v = 0;
    const bool ok = !reply.refused && (digits == 6   ? MountCodec::decode24(reply.data, &v)
                                       : digits == 2 ? MountCodec::decode8(reply.data, &v)
                                                     : false);
    if (!ok) {
        debugLog("Mount reply to %s is no number: %s%s", printable(text).constData(),
                 reply.refused ? "!" : "=", reply.data.constData());
        return false;
    }
    *value = v;
    return true;
}

bool MountControl::initMount() {
    Conversation talking(*this);
    pendingRaSlew = pendingDecSlew = pendingRaGoto = pendingDecGoto = false;
    pendingRaStop = pendingDecStop = pendingReset = false;
    // Gathered apart and kept only when every step has answered as it should.
    std::uint32_t version = 0, raw[2] = {0, 0};
    MountRates::AxisParameters found[2];
    for (const InitStep& step : initSteps) {
        std::uint32_t value = 0;
        const QByteArray text(step.command);
        bool ok = true;
        switch (step.keep) {
        case Keep::Nothing:
            ok = send(text) || !step.mustAnswer;
            break;
        case Keep::HighSpeedRatio:
            ok = sendValue(text, &found[step.axis].highSpeedRatio, 2);
            break;
        default:
            ok = sendValue(text, &value, 6);
            break;
        }
        if (!ok)
            return false;
        if (step.keep == Keep::BoardVersion)
            version = value;
        else if (step.keep == Keep::CountsPerRev)
            found[step.axis].countsPerRev = value;
        else if (step.keep == Keep::TimerFreq)
            found[step.axis].timerFreq = value;
        else if (step.keep == Keep::Position)
            raw[step.axis] = value;
    }
    for (const MountRates::AxisParameters& axis : found) {
        if (axis.countsPerRev == 0 || axis.timerFreq == 0) {
            debugLog("Mount reports %u counts per turn at %u Hz: no rate can be set",
                     unsigned(axis.countsPerRev), unsigned(axis.timerFreq));
            return false;
        }
    }
    boardVersion = version;
    axes[0] = found[0];
    axes[1] = found[1];
    raRawPosition = raw[0];
    decRawPosition = raw[1];
    initialized = true;
    // One timer for the object's life: a second initialisation starts it at tick 0 again.
    if (!timer) {
        timer = std::make_unique<GotoTimerThread>();
        timer->start();
    } else {
        timer->zero();
    }
    if (startTracking())
        return true;
    // A mount that does not track is no mount to keep.
    boardVersion = 0;
    axes[0] = axes[1] = MountRates::AxisParameters();
    raRawPosition = decRawPosition = 0;
    initialized = false;
    timer.reset();
    return false;
}

bool MountControl::readAxisStatus(int axis, MountCodec::AxisStatus* status) {
    Conversation talking(*this);
    MountReply reply;
    if (!send(command('f', axis), &reply))
        return false;
    if (reply.refused || !MountCodec::decodeStatus(reply.data, status)) {
        debugLog("Mount status of axis %d unreadable: %s", axis, reply.data.constData());
        return false;
    }
    return true;
}

bool MountControl::readAxisPosition(int axis, std::int32_t* steps) {
    Conversation talking(*this);
    std::uint32_t raw = 0;
    if (!sendValue(command('j', axis), &raw, 6))
        return false;
    (axis == 0 ? raRawPosition : decRawPosition) = raw;
    *steps = std::int32_t(raw) - std::int32_t(MountCodec::positionCentre);
    return true;
}

bool MountControl::resetPosition(int axis) {
    Conversation talking(*this);
    debugLog("reset position");
    return send(command('E', axis, MountCodec::encode24(MountCodec::positionCentre)));
}

bool MountControl::stopAxis(int axis) {
    Conversation talking(*this);
    return send(command('K', axis));
}

bool MountControl::waitAxisStopped(int axis) {
    Conversation talking(*this);
    const std::int64_t giveUp = Clock::nowMs() + stopWaitMs;
    for (;;) {
        MountCodec::AxisStatus status;
        if (!readAxisStatus(axis, &status)) {
            debugLog("Axis %d: no status while waiting for it to stop", axis);
            return false;
        }
        if (!status.running)
            break;
        if (Clock::nowMs() >= giveUp) {
            debugLog("Axis %d still running %d s after its stop", axis, int(stopWaitMs / 1000));
            return false;
        }
    }
    (axis == 0 ? raState : decState) = Idle;
    return true;
}

bool MountControl::stopFirst(int axis) {
    MountCodec::AxisStatus status;
    if (!readAxisStatus(axis, &status))
        return false;
    if (!status.running)
        return true;
    return stopAxis(axis) && waitAxisStopped(axis);
}

bool MountControl::setStepPeriod(int axis, double rate) {
    Conversation talking(*this);
    const std::uint32_t period = MountRates::stepPeriod(axes[0], rate);
    return send(command('I', axis, MountCodec::encode24(period)));
}

bool MountControl::setMotionMode(int axis, bool gotoMove, double rate, int dir) {
    Conversation talking(*this);
    std::uint32_t period = MountRates::stepPeriod(axes[0], rate);
    const bool high = MountRates::isHighSpeed(period);
    if (high)
        period = MountRates::highSpeedPeriod(axes[0], rate);
    const QByteArray mode =
        QByteArray(1, MountRates::modeDigit(gotoMove, high)) + char('0' + (dir ? 1 : 0));
    if (!send(command('G', axis, mode)))
        return false;
    return gotoMove || send(command('I', axis, MountCodec::encode24(period)));
}

bool MountControl::startMotion(int axis) {
    return send(command('J', axis));
}

bool MountControl::startTracking() {
    Conversation talking(*this);
    if (!stopFirst(0) || !setMotionMode(0, false, 1.0, 0) || !startMotion(0))
        return false;
    debugLog("Tracking start");
    return true;
}

bool MountControl::slewAxis(int axis, double rate, int dir) {
    Conversation talking(*this);
    if (!stopFirst(axis))
        return false;
    if (axis == 1 && decReversed())
        dir = !dir;
    if (!setMotionMode(axis, false, rate, dir))
        return false;
    (axis == 0 ? raState : decState) = SlewRunning;
    return startMotion(axis);
}

bool MountControl::gotoAxisDegrees(int axis, double rate, int dir, double degrees) {
    if (!std::isfinite(degrees) || std::fabs(degrees) > 360) {
        debugLog("Goto of %f degrees on axis %d refused", degrees, axis);
        return false;
    }
    Conversation talking(*this);
    if (!stopFirst(axis))
        return false;
    if (degrees < 0)
        dir = !dir;
    if (axis == 1 && decReversed())
        dir = !dir;
    const bool high = MountRates::isHighSpeed(MountRates::stepPeriod(axes[0], rate));
    const QByteArray mode = QByteArray(1, MountRates::modeDigit(true, high)) + char('0' + dir);
    if (!send(command('G', axis, mode)))
        return false;
    const std::uint32_t steps = MountRates::stepsForDegrees(axes[axis].countsPerRev, degrees);
    debugLog("axis=%d step=%d degree=%.f", axis, int(steps), std::fabs(degrees));
    if (!send(command('H', axis, MountCodec::encode24(steps))))
        return false;
    (axis == 0 ? raState : decState) = GotoRunning;
    return startMotion(axis);
}

double MountControl::stepsToDegrees(int axis, std::int32_t steps) const {
    const std::uint32_t counts = axes[axis == 0 ? 0 : 1].countsPerRev;
    return counts ? steps * 360.0 / counts : 0;
}

void MountControl::guidePulseRa(int dir, std::uint32_t amount) {
    if (raState != Idle)
        return;
    if (!guideTimer) {
        debugLog("RA guide pulse without the guide timer");
        return;
    }
    Conversation talking(*this);
    const bool zorvan = settings.zorvanV2 != 0;
    // The pulse's time runs from the speed change, which the controller makes as it takes the
    // ":I"; its reply and the ":J" after it take line time that belongs to the pulse.
    const std::uint32_t ticks = MountRates::guideTicks(amount, zorvan);
    guideTimer->armRa(ticks);
    debugLog("Guide pulse RA %d for %u ticks", dir, ticks);
    // Only the speed changes: the axis keeps its tracking mode and direction.
    setStepPeriod(0, MountRates::raGuideRate(settings.gspeed, dir, zorvan));
    startMotion(0);
    raState = PulseRunning;
}

void MountControl::guidePulseDec(int dir, std::uint32_t amount) {
    if (decState != Idle)
        return;
    if (!guideTimer) {
        debugLog("Dec guide pulse without the guide timer");
        return;
    }
    Conversation talking(*this);
    debugLog("Pass1");
    if (!stopFirst(1))
        return;
    debugLog("Pass2 %d", ++decPulses);
    if (decReversed())
        dir = !dir;
    send(command('G', 1, QByteArray("1") + char('0' + (dir ? 1 : 0))));
    setStepPeriod(1, MountRates::decGuideRate(settings.gspeed));
    // The axis sets off as the controller takes the ":J".
    const std::uint32_t ticks = MountRates::guideTicks(amount, settings.zorvanV2 != 0);
    guideTimer->armDec(ticks);
    debugLog("Guide pulse Dec %d for %u ticks", dir, ticks);
    startMotion(1);
    decState = PulseRunning;
}

void MountControl::endGuidePulseRa() {
    Conversation talking(*this);
    setStepPeriod(0, 1.0);
    startMotion(0);
    raState = Idle;
}

void MountControl::endGuidePulseDec() {
    stopAxis(1);
    decState = Idle;
}

bool MountControl::decReversed() const {
    const bool onAPierSide = pierSide == -1 || pierSide == 1;
    return onAPierSide ? settings.decDir != 0 : settings.decDir == 0;
}

void MountControl::requestSlew(int axis, double rate, int dir) {
    // A stop still kept for the axis belongs to an earlier move: served after this one, it
    // would end it.
    (axis == 0 ? pendingRaStop : pendingDecStop) = false;
    if (!isBusy()) {
        slewAxis(axis, rate, dir);
        return;
    }
    (axis == 0 ? pendingRaRate : pendingDecRate) = rate;
    (axis == 0 ? pendingRaDir : pendingDecDir) = dir;
    (axis == 0 ? pendingRaSlew : pendingDecSlew) = true;
}

void MountControl::requestGoto(int axis, double rate, int dir, double degrees) {
    (axis == 0 ? pendingRaStop : pendingDecStop) = false;
    if (!isBusy()) {
        gotoAxisDegrees(axis, rate, dir, degrees);
        return;
    }
    (axis == 0 ? pendingRaRate : pendingDecRate) = rate;
    (axis == 0 ? pendingRaDir : pendingDecDir) = dir;
    (axis == 0 ? pendingRaDegrees : pendingDecDegrees) = degrees;
    (axis == 0 ? pendingRaGoto : pendingDecGoto) = true;
}

void MountControl::requestStop(int axis) {
    // A stop must not overtake the move it ends while that move still waits for its turn: the
    // move would start after it and run on.
    const bool moveWaiting =
        axis == 0 ? pendingRaSlew || pendingRaGoto : pendingDecSlew || pendingDecGoto;
    if (!isBusy() && !moveWaiting)
        stopAxis(axis);
    else
        (axis == 0 ? pendingRaStop : pendingDecStop) = true;
}

void MountControl::requestReset() {
    if (isBusy()) {
        pendingReset = true;
        return;
    }
    resetPosition(0);
    resetPosition(1);
}

void MountControl::requestRebase() {
    if (isBusy())
        pendingRebase = true;
    else
        rebase();
}

void MountControl::rebase() {
    baseRa = pointingRa;
    baseDec = pointingDec;
    if (timer)
        timer->zero();
    resetPosition(0);
    resetPosition(1);
}

void MountControl::servePendingRequests() {
    // Each request is taken off before it is served: a slot that runs during its conversation
    // may keep a new one.
    const auto take = [this](bool& flag) {
        if (!flag || isBusy())
            return false;
        flag = false;
        return true;
    };
    if (take(pendingRaSlew))
        slewAxis(0, pendingRaRate, pendingRaDir);
    if (take(pendingDecSlew))
        slewAxis(1, pendingDecRate, pendingDecDir);
    if (take(pendingRaGoto))
        gotoAxisDegrees(0, pendingRaRate, pendingRaDir, pendingRaDegrees);
    if (take(pendingDecGoto))
        gotoAxisDegrees(1, pendingDecRate, pendingDecDir, pendingDecDegrees);
    if (take(pendingRaStop))
        stopAxis(0);
    if (take(pendingDecStop))
        stopAxis(1);
    if (take(pendingReset)) {
        resetPosition(0);
        resetPosition(1);
    }
    if (take(pendingRebase))
        rebase();
}
