#pragma once

#include "GuideErrorStats.h"
#include "GuideGraph.h"
#include "GuideMovingAverage.h"

#include <QPoint>
#include <QSize>
#include <QVector>
#include <cstdint>
#include <functional>

class GuidePulseSink;
struct SettingsRecord;

// The guide star as measured in the 16 x 16 guide box of one frame: its offset from the box
// centre (8, 8) in pixels, or no star.
struct GuideStar {
    bool found = false;
    double dx = 0;
    double dy = 0;

    static GuideStar none() { return {}; }
    static GuideStar at(double dx, double dy) { return {true, dx, dy}; }
};

struct GuidePulse {
    char letter;
    int amount;
};

// What one frame changed, for the window to show.
struct GuideFrameResult {
    enum Event {
        NoEvent,
        GuidingStarted,    // calibration ended with four good letters; guiding runs from now
        CalibrationFailed, // back in Idle: show "キャリブレーション失敗"
        Settled,           // a dither has settled; the series may go on
        SettleTimedOut, // a dither gave up settling ("dither settle timeout"); the series may go on
    };
    Event event = NoEvent;
    QVector<GuidePulse> pulses;      // pulses handed to the sink this frame
    bool graphChanged = false;       // a column was plotted
    bool sensitivityChanged = false; // Auto mode changed `senceRa`/`senceDec`: refresh the labels
    bool directionsChanged = false;  // a direction letter changed: refresh the four labels
};

// The autoguider without its window: choosing the guide star, calibrating the four mount
// directions against the image, guiding, dithering and settling, and the graph.
//
// The window owns one session and calls it from its slots and once per processed guide frame:
//   "キャリブレーション": startCalibration() in Idle, else stop();
//   "ガイド": startGuiding() (it calibrates first while the letters are not four distinct ones);
//   "停止", "キャンセル", "終了": stop();
//   after the whole-frame search in Searching: takeCandidates();
//   "前候補" / "次候補": previousCandidate() / nextCandidate(); "選択": select();
//   each frame in Running: measure the star in the box at lockX(), lockY() and call
//   processFrame() with it; then draw the box at the (possibly moved) lock position and show
//   graph().image() when the result says the graph changed.
// The capture side calls startDither() after each exposure and waits while isGuiderBusy().
//
// Settings are read afresh on every call, so a change in the window or the parameter dialog
// applies from the next frame. The session writes `dirRight`, `dirLeft`, `dirUpper`,
// `dirLower`, `senceRa`, `senceDec` and, with `guidePort` set, `st4calNS`/`st4calWE`.
// Everything runs on the thread that owns the window.
class GuideSession {
public:
    enum GuideState { Idle = 0, Searching = 1, Choosing = 2, Running = 3 };
    enum class Start { Guiding, Calibrating };

    // Calibration gives up on a direction after this many pulses without 16 px of movement,
    // or after this many frames in a row without the star.
    static constexpr int calibrationPulseLimit = 60;
    static constexpr int calibrationStarlessLimit = 10;
    // A dither gives up settling after this much clock time plus `stabC` + 1 guide exposures.
    static constexpr std::int64_t settleTimeoutMs = 60000;
    static constexpr int boxSize = 16;

    // `imageSize` is the guide image's, `graphSize` the graph label's.
    GuideSession(GuidePulseSink& sink, QSize imageSize, QSize graphSize);

    void setImageSize(QSize size);
    // The clock that times calibration speeds and the settle timeout; Clock::nowMs by default.
    void setClock(std::function<std::int64_t()> nowMs);

    // Idle -> Searching with calibration to follow; all four letters become '-'.
    void startCalibration(SettingsRecord& settings);
    // Idle -> Searching with guiding to follow, keeping the letters when they are four distinct
    // ones of N, S, E, W; otherwise it starts a calibration and says so.
    Start startGuiding(SettingsRecord& settings);
    // Back to Idle from anywhere; a dither in progress is dropped, so the series is free.
    void stop();

    // The whole-frame search's stars as their guide-box corners, and the detector's choice.
    // None: back to Idle and false (the window shows "ガイド星が見つかりません.").
    bool takeCandidates(const QVector<QPoint>& boxes, int chosen);
    void nextCandidate();
    void previousCandidate();
    // "選択": Choosing -> Running, guiding or calibrating from the chosen star.
    void select();

    // One processed guide frame in Running (ignored in other states).
    GuideFrameResult processFrame(const GuideStar& star, SettingsRecord& settings);

    // After an exposure of the main camera: starts a dither when guiding (not calibrating) with
    // `dither` on; otherwise does nothing.
    void startDither(const SettingsRecord& settings);
    // True while guiding and a dither is moving or settling.
    bool isGuiderBusy() const;

    GuideState state() const { return guideState; }
    bool isCalibrating() const { return calibrating; }
    bool isDithering() const { return ditherActive; }
    bool isSettling() const { return settling; }
    int lockX() const { return lockPos.x(); }
    int lockY() const { return lockPos.y(); }
    int calibrationPhase() const { return phase; }
    int candidateIndex() const { return candidate; }
    const QVector<QPoint>& candidates() const { return candidateBoxes; }
    const GuideGraph& graph() const { return chart; }

private:
    void reset(SettingsRecord& settings, bool clearLetters);
    void endDither();
    void setLock(int x, int y);
    void moveLock(double dx, double dy);
    void lockToCandidate();
    void sendPulse(char letter, int amount, GuideFrameResult& result);
    void calibrationStep(const GuideStar& star, SettingsRecord& settings, GuideFrameResult& r);
    void endCalibrationPhase(SettingsRecord& settings, GuideFrameResult& r, int mx, int my);
    void failCalibration(GuideFrameResult& r);
    void guidingStep(const GuideStar& star, SettingsRecord& settings, GuideFrameResult& r);
    void ditherStep(const GuideStar& star, const SettingsRecord& settings, GuideFrameResult& r);
    bool settleTimedOut(const SettingsRecord& settings) const;

    GuidePulseSink& sink;
    std::function<std::int64_t()> now;
    QSize imageSize;
    GuideGraph chart;

    GuideState guideState = Idle;
    bool calibrating = false;
    QVector<QPoint> candidateBoxes;
    int candidate = 0;
    QPoint lockPos;
    QPoint origin;
    double prevOffsetX = 0;
    double prevOffsetY = 0;
    GuideMovingAverage average;
    GuideErrorStats stats;

    // Calibration: the phase (0 South, 1 North, 3 East, 2 West), whether Dec is calibrated,
    // the pulse counters by phase, and this phase's requests, starless frames and start time.
    int phase = 0;
    bool calibrateDec = true;
    int calibrationCount[4] = {};
    int phaseRequests = 0;
    int starlessFrames = 0;
    std::int64_t phaseStartMs = 0;

    bool ditherActive = false;
    bool ditherMoved = false;
    bool settling = false;
    int settleCount = 0;
    std::int64_t ditherStartMs = 0;
};
