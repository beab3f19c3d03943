#include "SimMountCore.h"

#include "SimMountHex.h"

#include <algorithm>
#include <cmath>

namespace {

const std::uint32_t boardVersion = 0x030202;
// Steps per worm turn: a 141-tooth worm wheel.
const std::uint32_t wormSteps = SimMountCore::countsPerRevolution / 141;
const std::uint32_t extendedFeatures = 0;
// Gotos at high speed run at this fixed rate; every start and stop ramps over about a second.
const double highSpeedGotoDegreesPerSecond = 3.4;
const double rampSeconds = 1.0;
const std::size_t keptRateChanges = 100000;

enum ErrorCode { UnknownCommand = 0, WrongLength = 1, MotorRunning = 2, BadCharacter = 3 };

struct CommandShape {
    char letter;
    int dataDigits;
    bool bothChannels; // accepts channel "3" for both axes at once
};

const CommandShape commandShapes[] = {
    {'e', 0, false}, {'a', 0, false}, {'b', 0, false}, {'g', 0, false}, {'s', 0, false},
    {'f', 0, false}, {'j', 0, false}, {'q', 6, false}, {'F', 0, true},  {'K', 0, true},
    {'J', 0, true},  {'E', 6, false}, {'G', 2, false}, {'I', 6, false}, {'H', 6, false},
    {'O', 1, false}, {'V', 2, false},
};

const CommandShape* shapeOf(char letter) {
    for (const CommandShape& shape : commandShapes) {
        if (shape.letter == letter)
            return &shape;
    }
    return nullptr;
}

QByteArray ok(const QByteArray& data = QByteArray()) {
    return '=' + data + '\r';
}

QByteArray error(ErrorCode code) {
    return '!' + QByteArray::number(int(code)) + '\r';
}

} // namespace

QByteArray SimMountCore::take(const QByteArray& command, std::int64_t nowMs) {
    if (command.size() < 2 || command[0] != ':')
        return error(UnknownCommand);
    const CommandShape* shape = shapeOf(command[1]);
    if (!shape)
        return error(UnknownCommand);
    if (command.size() != 3 + shape->dataDigits)
        return error(WrongLength);
    const char channel = command[2];
    const bool both = channel == '3' && shape->bothChannels;
    if (channel != '1' && channel != '2' && !both)
        return error(UnknownCommand);
    const QByteArray data = command.mid(3);
    std::uint32_t value = 0;
    const bool read = data.size() == 6 ? SimMountHex::decode24(data, &value)
                                       : SimMountHex::decodeDigits(data, &value);
    if (!read)
        return error(BadCharacter);

    std::lock_guard<std::mutex> lock(mutex);
    if (both) {
        answer(shape->letter, axes[0], value, nowMs);
        return answer(shape->letter, axes[1], value, nowMs);
    }
    return answer(shape->letter, axes[channel - '1'], value, nowMs);
}

QByteArray SimMountCore::answer(char letter, Axis& axis, std::uint32_t value, std::int64_t nowMs) {
    switch (letter) {
    case 'e':
        return ok(SimMountHex::encode24(boardVersion));
    case 'a':
        return ok(SimMountHex::encode24(countsPerRevolution));
    case 'b':
        return ok(SimMountHex::encode24(timerFrequency));
    case 'g':
        return ok(SimMountHex::encode8(highSpeedRatio));
    case 's':
        return ok(SimMountHex::encode24(wormSteps));
    case 'q':
        return ok(SimMountHex::encode24(extendedFeatures));
    case 'f':
        return ok(SimMountHex::encodeStatus(statusBits(axis, nowMs)));
    case 'j':
        return ok(SimMountHex::encode24(wrapped(position(axis, nowMs))));
    case 'F':
        axis.initDone = true;
        break;
    case 'K':
        stop(axis, nowMs);
        break;
    case 'J':
        start(axis, nowMs);
        break;
    case 'E':
        setCount(axis, value, nowMs);
        break;
    case 'G': {
        if (moving(axis, nowMs))
            return error(MotorRunning);
        // Mode digit: bit 0 set for a slew; "0" and "3" are the high-speed modes. Only bit 0
        // of the direction digit is the direction.
        const std::uint32_t mode = value >> 4 & 3;
        axis.gotoMode = (mode & 1) == 0;
        axis.highSpeed = mode == 0 || mode == 3;
        axis.reverse = (value & 1) != 0;
        break;
    }
    case 'I':
        changePeriod(axis, value, nowMs);
        break;
    case 'H':
        axis.increment = value;
        break;
    default: // 'O' (auxiliary output) and 'V' are taken and change nothing here
        break;
    }
    return ok();
}

void SimMountCore::start(Axis& axis, std::int64_t nowMs) {
    if (moving(axis, nowMs))
        return;
    const double here = position(axis, nowMs);
    double speed = 0;
    if (axis.gotoMode) {
        speed = axis.highSpeed ? highSpeedGotoDegreesPerSecond * countsPerRevolution / 360
                               : periodSpeed(axis);
        axis.acceleration = speed / rampSeconds;
        axis.path = SimAxisMotion::move(axis.increment, speed, axis.acceleration);
        axis.motion = Motion::Goto;
        // A goto lands on whole steps from the count it started at.
        axis.startPosition = std::floor(here);
    } else {
        speed = slewSpeed(axis);
        axis.acceleration = speed / rampSeconds;
        // Only the high-speed slew ramps up; tracking starts at its rate.
        axis.path = SimAxisMotion::slew(axis.highSpeed ? 0 : speed, speed, axis.acceleration);
        axis.motion = Motion::Slew;
        axis.startPosition = here;
    }
    axis.startMs = nowMs;
    axis.sign = axis.reverse ? -1 : 1;
    record(axis, axis.sign * speed, nowMs);
}

void SimMountCore::stop(Axis& axis, std::int64_t nowMs) {
    if (!moving(axis, nowMs) || axis.motion == Motion::Braking)
        return;
    if (axis.motion == Motion::Slew && !axis.highSpeed) {
        // A low-speed slew stops at once, as it starts: a guide pulse ends where it is ended.
        follow(axis, SimAxisMotion(), Motion::Braking, nowMs);
        record(axis, 0, nowMs);
        return;
    }
    const double t = seconds(axis, nowMs);
    const double speed = axis.path.speed(t);
    // A goto already slowing down to its end keeps its landing.
    const double brakeSteps = speed * speed / (2 * axis.acceleration);
    if (axis.motion == Motion::Goto && brakeSteps >= axis.path.remaining(t) - 1)
        return;
    follow(axis, SimAxisMotion::brake(speed, axis.acceleration), Motion::Braking, nowMs);
    record(axis, 0, nowMs);
}

void SimMountCore::changePeriod(Axis& axis, std::uint32_t period, std::int64_t nowMs) {
    axis.period = period;
    // A slew takes a new period at once (guide pulses depend on it); a goto or a stop runs on.
    if (!moving(axis, nowMs) || axis.motion != Motion::Slew)
        return;
    const double speed = slewSpeed(axis);
    axis.acceleration = speed / rampSeconds;
    follow(axis, SimAxisMotion::slew(speed, speed, axis.acceleration), Motion::Slew, nowMs);
    record(axis, axis.sign * speed, nowMs);
}

void SimMountCore::setCount(Axis& axis, std::uint32_t value, std::int64_t nowMs) {
    // Shifting the origin leaves a motion in progress, and a goto's landing, as they are.
    const double shift = double(value) - std::floor(position(axis, nowMs));
    axis.startPosition += shift;
    axis.relabelled += shift;
}

void SimMountCore::record(const Axis& axis, double speed, std::int64_t nowMs) {
    changes.push_back({nowMs, int(&axis - axes), speed});
    if (changes.size() > keptRateChanges)
        changes.pop_front();
}

std::vector<SimMountCore::RateChange> SimMountCore::rateChanges() const {
    std::lock_guard<std::mutex> lock(mutex);
    return std::vector<RateChange>(changes.begin(), changes.end());
}

void SimMountCore::clearRateChanges() {
    std::lock_guard<std::mutex> lock(mutex);
    changes.clear();
}

void SimMountCore::follow(Axis& axis, SimAxisMotion path, Motion motion, std::int64_t nowMs) {
    axis.startPosition = position(axis, nowMs);
    axis.startMs = nowMs;
    axis.path = path;
    axis.motion = motion;
}

std::uint32_t SimMountCore::count(int axis, std::int64_t nowMs) const {
    std::lock_guard<std::mutex> lock(mutex);
    return wrapped(position(axes[axis], nowMs));
}

bool SimMountCore::running(int axis, std::int64_t nowMs) const {
    std::lock_guard<std::mutex> lock(mutex);
    return moving(axes[axis], nowMs);
}

double SimMountCore::degrees(int axis, std::int64_t nowMs) const {
    const std::int64_t steps = std::int64_t(count(axis, nowMs)) - centre;
    return double(steps) * 360.0 / countsPerRevolution;
}

double SimMountCore::motorSteps(int axis, std::int64_t nowMs) const {
    std::lock_guard<std::mutex> lock(mutex);
    return position(axes[axis], nowMs) - axes[axis].relabelled - centre;
}

double SimMountCore::seconds(const Axis& axis, std::int64_t nowMs) {
    return std::max<std::int64_t>(nowMs - axis.startMs, 0) / 1000.0;
}

double SimMountCore::position(const Axis& axis, std::int64_t nowMs) {
    return axis.startPosition + axis.sign * axis.path.distance(seconds(axis, nowMs));
}

bool SimMountCore::moving(const Axis& axis, std::int64_t nowMs) {
    return axis.path.moving(seconds(axis, nowMs));
}

std::uint32_t SimMountCore::wrapped(double position) {
    return std::uint32_t(std::int64_t(std::floor(position))) & 0xFFFFFF;
}

double SimMountCore::periodSpeed(const Axis& axis) {
    // A period of 0 would be an endless speed: taken as the shortest there is.
    return double(timerFrequency) / std::max<std::uint32_t>(axis.period, 1);
}

double SimMountCore::slewSpeed(const Axis& axis) {
    return axis.highSpeed ? periodSpeed(axis) * highSpeedRatio : periodSpeed(axis);
}

std::uint32_t SimMountCore::statusBits(const Axis& axis, std::int64_t nowMs) {
    std::uint32_t bits = 0;
    if (axis.initDone)
        bits |= 1 << 0;
    if (moving(axis, nowMs))
        bits |= 1 << 4;
    if (!axis.gotoMode)
        bits |= 1 << 8;
    if (axis.reverse)
        bits |= 1 << 9;
    if (axis.highSpeed)
        bits |= 1 << 10;
    return bits;
}
