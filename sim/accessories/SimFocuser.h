#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

// A simulated electronic focuser on the main telescope. The motor's physical position, which
// sets the focus, is kept apart from the position it reports: relabelling the reported
// position leaves the focus where it is. Moves run at a fixed speed on the project's clock.
// Safe from any thread (the camera threads read the focus).
class SimFocuser {
public:
    static constexpr int maxStep = 60000;
    static constexpr double stepsPerSecond = 800;
    static constexpr float temperature = 8.5f;

    // The reported scale: the position the focuser answers with, 0 to maxStep for a move.
    int reportedPosition(std::int64_t clockMs) const;
    // Makes the current position read `reported`; the focus does not move.
    void relabel(int reported, std::int64_t clockMs);
    // False, and nothing moves, for a target outside 0..maxStep.
    bool moveTo(int reported, std::int64_t clockMs);
    bool isMoving(std::int64_t clockMs) const;
    void stop(std::int64_t clockMs);

    // The extra star width on the main camera, in its pixels of `pixelSizeUm`: the blur
    // circle of the focus error, |physical - best| x microns per step / focal ratio.
    double defocusPixels(std::int64_t clockMs, double pixelSizeUm) const;

    // Hooks for tests.
    int physicalPosition() const;
    void setBestFocus(int physicalSteps);
    void setRemoved(bool removed);
    bool removed() const { return unplugged; }
    void setFocusScale(double micronsPerStep, double focalRatio);
    // Calls the program made into the focuser's library.
    int callCount() const { return calls; }
    void countCall() { ++calls; }

private:
    double physicalAt(std::int64_t clockMs) const;

    mutable std::mutex mutex;
    // A move from `from` towards `target` (physical steps) began at `startMs`.
    double from = 30000;
    double target = 30000;
    std::int64_t startMs = 0;
    int offset = 0; // reported - physical
    int bestFocus = 30000;
    double micronsPerStep = 1;
    double focalRatio = 5;
    std::atomic<bool> unplugged{false};
    std::atomic<int> calls{0};
};
