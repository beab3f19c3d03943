#pragma once

#include <QString>
#include <functional>

// Where the capture hands over to windows that come and go: the autoguider, the composite
// window and plate solving. A hook that is not set stands for a window that is not open.
struct CaptureHooks {
    // Between the frames of a series.
    std::function<bool()> autoguiderOpen;
    std::function<bool()> isGuiderBusy;
    std::function<void()> startDither;

    // After each saved light frame with automatic compositing.
    std::function<bool()> compositeExists;
    // Creates and shows the composite window with this file as its first frame; false when
    // the frame could not be loaded (the window is forgotten again).
    std::function<bool(const QString& path)> compositeLoadFirst;
    std::function<void(const QString& path)> compositeAddFrame;
    std::function<void(const QString& text)> compositeTimeText;

    // After a plate-solve shot.
    std::function<void()> startPlateSolve;
    std::function<void()> closeSolveProgress;

    // When a light frame is handed to the writer: the filter position its name carries
    // (0-based), -1 without a filter wheel.
    std::function<int()> filterPosition;
};
