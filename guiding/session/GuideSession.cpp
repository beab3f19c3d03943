#include "GuideSession.h"

#include "CameraDevice.h"
#include "Clock.h"
#include "DebugLog.h"
#include "DitherPattern.h"
#include "GuideDirections.h"
#include "GuideLaw.h"
#include "GuidePulseSink.h"
#include "SettingsRecord.h"

#include <algorithm>
#include <cmath>

namespace {

const int modeOff = 2;
const int modeAuto = 0;

// Calibration phases: 0 South, 1 North, 3 East, 2 West, run in the order 0, 1, 3, 2.
const char phaseLetter[4] = {'S', 'N', 'W', 'E'};
const char* const phaseName[4] = {"South", "North", "West", "East"};
const int nextPhase[4] = {1, 3, -1, 2};
const int eastPhase = 3;
const int southPhase = 0;
const double degreesPerRadian = 57.29577951308232;

bool axisGuided(int sensitivity, int mode) {
    return sensitivity != 0 && mode != modeOff;
}

bool decGuided(const SettingsRecord& s) {
    return axisGuided(s.senceDec, s.modeDec);
}

bool eastWestOnX(const SettingsRecord& s) {
    return s.dirRight == 'W' || s.dirRight == 'E';
}

// The unguided axis's box follows the star once it is more than 2 px off.
void follow(int& lock, double offset) {
    if (std::fabs(offset) > 2.0)
        lock = int(std::trunc(lock + offset));
}

} // namespace

GuideSession::GuideSession(GuidePulseSink& sink, QSize imageSize, QSize graphSize)
    : sink(sink)
    , now(&Clock::nowMs)
    , imageSize(imageSize)
    , chart(graphSize) {}

void GuideSession::setImageSize(QSize size) {
    imageSize = size;
    setLock(lockPos.x(), lockPos.y());
}

void GuideSession::setClock(std::function<std::int64_t()> nowMs) {
    now = std::move(nowMs);
}

void GuideSession::setLock(int x, int y) {
    // The box stays inside the guide image, however far the star wanders.
    lockPos.setX(std::clamp(x, 0, std::max(0, imageSize.width() - boxSize)));
    lockPos.setY(std::clamp(y, 0, std::max(0, imageSize.height() - boxSize)));
}

void GuideSession::moveLock(double dx, double dy) {
    setLock(lockPos.x() + int(std::trunc(dx)), lockPos.y() + int(std::trunc(dy)));
}

void GuideSession::endDither() {
    ditherActive = false;
    ditherMoved = false;
    settling = false;
    settleCount = 0;
}

void GuideSession::reset(SettingsRecord& s, bool clearLetters) {
    if (clearLetters)
        GuideDirections::clear(s);
    endDither();
    average.clear();
    stats.reset(GuideErrorStats::windowLength(s.gexposure));
    prevOffsetX = prevOffsetY = 0;
    if (s.modeRa == modeAuto)
        s.senceRa = 10;
    if (s.modeDec == modeAuto)
        s.senceDec = 10;
    // Decided once, after Auto's reset, so that every phase agrees about the Dec axis.
    calibrateDec = decGuided(s);
    phase = calibrateDec ? southPhase : eastPhase;
    std::fill(calibrationCount, calibrationCount + 4, 0);
    phaseRequests = 0;
    starlessFrames = 0;
}

void GuideSession::startCalibration(SettingsRecord& settings) {
    guideState = Searching;
    calibrating = true;
    reset(settings, true);
}

GuideSession::Start GuideSession::startGuiding(SettingsRecord& settings) {
    if (!GuideDirections::complete(settings)) {
        startCalibration(settings);
        return Start::Calibrating;
    }
    guideState = Searching;
    calibrating = false;
    reset(settings, false);
    return Start::Guiding;
}

void GuideSession::stop() {
    guideState = Idle;
    calibrating = false;
    candidateBoxes.clear();
    endDither();
}

bool GuideSession::takeCandidates(const QVector<QPoint>& boxes, int chosen) {
    if (guideState != Searching)
        return false;
    if (boxes.isEmpty()) {
        stop();
        return false;
    }
    candidateBoxes = boxes;
    candidate = std::clamp(chosen, 0, int(boxes.size()) - 1);
    guideState = Choosing;
    lockToCandidate();
    return true;
}

void GuideSession::lockToCandidate() {
    const QPoint box = candidateBoxes.value(candidate);
    setLock(box.x(), box.y());
    origin = lockPos;
}

void GuideSession::nextCandidate() {
    if (guideState != Choosing)
        return;
    candidate = (candidate + 1) % candidateBoxes.size();
    lockToCandidate();
}

void GuideSession::previousCandidate() {
    if (guideState != Choosing)
        return;
    candidate = (candidate + candidateBoxes.size() - 1) % candidateBoxes.size();
    lockToCandidate();
}

void GuideSession::select() {
    if (guideState == Choosing)
        guideState = Running;
}

void GuideSession::sendPulse(char letter, int amount, GuideFrameResult& result) {
    int axis, dir;
    // A pulse of no length would hold the changed rate until someone ends it: send none.
    if (amount <= 0 || !GuideLaw::pulseTarget(letter, &axis, &dir))
        return;
    sink.guidePulse(letter, amount);
    result.pulses.append({letter, amount});
}

GuideFrameResult GuideSession::processFrame(const GuideStar& measured, SettingsRecord& settings) {
    GuideFrameResult result;
    if (guideState != Running)
        return result;
    GuideStar star = measured;
    if (star.found) {
        const double x = lockPos.x() + boxSize / 2 + star.dx;
        const double y = lockPos.y() + boxSize / 2 + star.dy;
        if (x < 0 || y < 0 || x >= imageSize.width() || y >= imageSize.height())
            star = GuideStar::none();
    }
    if (calibrating)
        calibrationStep(star, settings, result);
    else
        guidingStep(star, settings, result);
    return result;
}

void GuideSession::calibrationStep(const GuideStar& star, SettingsRecord& s, GuideFrameResult& r) {
    if (!star.found) {
        if (++starlessFrames >= calibrationStarlessLimit) {
            debugLog("calibration failed: no star for %d frames while moving %s",
                     calibrationStarlessLimit, phaseName[phase]);
            failCalibration(r);
        }
        return;
    }
    starlessFrames = 0;
    moveLock(star.dx, star.dy);
    const int mx = lockPos.x() - origin.x();
    const int my = lockPos.y() - origin.y();
    chart.plot(mx, my, GuideGraph::calibrationScale, false);
    r.graphChanged = true;

    if (std::abs(mx) > 16 || std::abs(my) > 16) {
        endCalibrationPhase(s, r, mx, my);
        return;
    }
    if (phaseRequests >= calibrationPulseLimit) {
        debugLog("calibration failed: %s moved the star %.1f px in %d pulses", phaseName[phase],
                 std::hypot(mx, my), calibrationPulseLimit);
        failCalibration(r);
        return;
    }
    double factor = 2.0;
    int count = 4;
    if (std::abs(mx) > 14 || std::abs(my) > 14)
        factor = 0.5, count = 1;
    else if (std::abs(mx) > 12 || std::abs(my) > 12)
        factor = 1.0, count = 2;
    if (phaseRequests++ == 0)
        phaseStartMs = now();
    calibrationCount[phase] += count;
    sendPulse(phaseLetter[phase], GuideLaw::calibrationPulseAmount(s.calStep, factor), r);
}

void GuideSession::endCalibrationPhase(SettingsRecord& s, GuideFrameResult& r, int mx, int my) {
    origin = lockPos;
    const char letter = phaseLetter[phase];
    GuideDirections::assign(s, mx, my, letter);
    if (!calibrateDec) {
        // Without Dec the perpendicular letters come from the mirrored East and West vectors.
        if (letter == 'E')
            GuideDirections::assign(s, my, mx, 'S');
        else if (letter == 'W')
            GuideDirections::assign(s, my, mx, 'N');
    }
    r.directionsChanged = true;

    // The counters' log lines as they have always read: after East the line says West.
    static const char* const countLine[4] = {"calibCountSouth=%d", "calibCountNorth=%d",
                                             "calibCountEast=%d", "calibCountWest=%d"};
    debugLog(countLine[phase], calibrationCount[phase]);
    const double seconds = (now() - phaseStartMs) / 1000.0;
    const double pixels = std::hypot(mx, my);
    // Angle of the star's movement in the image: 0 right, 90 down.
    debugLog("calibration %s: %.1f px in %.1f s, %.2f px/s, angle %.1f deg", phaseName[phase],
             pixels, seconds, seconds > 0 ? pixels / seconds : 0.0,
             std::atan2(double(my), double(mx)) * degreesPerRadian);

    phaseRequests = 0;
    starlessFrames = 0;
    phase = nextPhase[phase];
    if (phase >= 0)
        return;

    if (s.guidePort) {
        s.st4calNS = (calibrationCount[1] + calibrationCount[0]) / 4;
        s.st4calWE = (calibrationCount[3] + calibrationCount[2]) / 4;
    }
    if (GuideDirections::complete(s)) {
        calibrating = false;
        r.event = GuideFrameResult::GuidingStarted;
    } else {
        debugLog("calibration failed: the directions are not four different ones");
        failCalibration(r);
    }
}

void GuideSession::failCalibration(GuideFrameResult& r) {
    stop();
    phase = southPhase;
    r.event = GuideFrameResult::CalibrationFailed;
}

bool GuideSession::settleTimedOut(const SettingsRecord& s) const {
    const std::int64_t exposureMs = CameraDevice::exposureTableUs(s.gexposure) / 1000;
    return now() - ditherStartMs > settleTimeoutMs + (s.stabC + 1) * exposureMs;
}

void GuideSession::guidingStep(const GuideStar& star, SettingsRecord& s, GuideFrameResult& r) {
    if ((ditherActive || settling) && settleTimedOut(s)) {
        debugLog("dither settle timeout");
        endDither();
        r.event = GuideFrameResult::SettleTimedOut;
    }
    if (!star.found)
        return;
    if (ditherActive) {
        ditherStep(star, s, r);
        return;
    }

    const bool xDec = GuideDirections::xIsDec(s);
    const int thresX = xDec ? s.thresDec : s.thresRa;
    const int thresY = xDec ? s.thresRa : s.thresDec;

    // A jump of more than a pixel in one frame is taken for seeing, not for the mount.
    const double usedX = std::fabs(star.dx - prevOffsetX) > 1.0 ? prevOffsetX : star.dx;
    const double usedY = std::fabs(star.dy - prevOffsetY) > 1.0 ? prevOffsetY : star.dy;
    average.push(usedX, usedY, s.movAveN, thresX / 10.0, thresY / 10.0);
    const double ax = average.averageX();
    const double ay = average.averageY();
    r.sensitivityChanged = stats.add(ax, ay, s, !xDec);

    const double w = s.diff / 10.0;
    const double cx = stats.useRawX() ? usedX : (1 - w) * usedX + w * ax;
    const double cy = stats.useRawY() ? usedY : (1 - w) * usedY + w * ay;
    prevOffsetX = star.dx;
    prevOffsetY = star.dy;

    const bool raGuided = axisGuided(s.senceRa, s.modeRa);
    const bool decOn = decGuided(s);
    const int senseX = xDec ? (decOn ? s.senceDec : 0) : (raGuided ? s.senceRa : 0);
    const int senseY = xDec ? (raGuided ? s.senceRa : 0) : (decOn ? s.senceDec : 0);
    const GuideLaw::Correction lawX = GuideLaw::correction(cx, senseX, thresX);
    if (lawX.amount != 0)
        sendPulse(char(lawX.positive ? s.dirLeft : s.dirRight),
                  GuideLaw::guidePulseAmount(lawX.amount, s.gpower), r);
    const GuideLaw::Correction lawY = GuideLaw::correction(cy, senseY, thresY);
    if (lawY.amount != 0 && !s.guidePort)
        sendPulse(char(lawY.positive ? s.dirUpper : s.dirLower),
                  GuideLaw::guidePulseAmount(lawY.amount, s.gpower), r);

    // An axis that is not guided lets the box follow the star instead.
    int x = lockPos.x(), y = lockPos.y();
    const bool raOnX = eastWestOnX(s);
    if (!decOn) {
        if (raOnX)
            follow(y, cy), prevOffsetY = 0;
        else
            follow(x, cx), prevOffsetX = 0;
    }
    if (!raGuided) {
        if (raOnX)
            follow(x, cx), prevOffsetX = 0;
        else
            follow(y, cy), prevOffsetY = 0;
    }
    setLock(x, y);

    if (settling && std::fabs(prevOffsetX) < s.stabR / 10.0 &&
        std::fabs(prevOffsetY) < s.stabR / 10.0) {
        if (++settleCount > s.stabC) {
            settleCount = 0;
            settling = false;
            r.event = GuideFrameResult::Settled;
        }
    }
    chart.plot(ax, ay, GuideGraph::guidingScale, !raOnX);
    r.graphChanged = true;
}

void GuideSession::ditherStep(const GuideStar& star, const SettingsRecord& s, GuideFrameResult& r) {
    moveLock(star.dx, star.dy);
    if (!ditherMoved) {
        prevOffsetX = star.dx;
        prevOffsetY = star.dy;
        const int mx = std::abs(lockPos.x() - origin.x());
        const int my = std::abs(lockPos.y() - origin.y());
        if (mx > s.dithPix || my > s.dithPix) {
            DitherPattern::advance();
            ditherMoved = true;
        } else {
            const char letter = decGuided(s) ? DitherPattern::currentLetter() : 'W';
            double factor = 2.0;
            if (mx > s.dithPix - 2 || my > s.dithPix - 2)
                factor = 0.5;
            else if (mx > s.dithPix - 4 || my > s.dithPix - 4)
                factor = 1.0;
            sendPulse(letter, GuideLaw::calibrationPulseAmount(s.calStep, factor), r);
        }
    } else if (std::fabs(star.dx) < 1.0 && std::fabs(star.dy) < 1.0) {
        ditherActive = false;
        settleCount = 0;
        settling = true;
    }
    chart.plot(star.dx, star.dy, GuideGraph::guidingScale, !eastWestOnX(s));
    r.graphChanged = true;
}

void GuideSession::startDither(const SettingsRecord& settings) {
    if (guideState != Running || calibrating || settings.dither != 1)
        return;
    origin = lockPos;
    ditherActive = true;
    ditherMoved = false;
    settling = false;
    settleCount = 0;
    ditherStartMs = now();
}

bool GuideSession::isGuiderBusy() const {
    return guideState == Running && !calibrating && (ditherActive || settling);
}
