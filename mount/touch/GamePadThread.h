#pragma once

#include <QThread>
#include <atomic>

class GamepadFlags;

// Polls controller 0 every 100 ms into the latch, and wakes the main loop when there is
// something for it to do.
class GamePadThread : public QThread {
public:
    static constexpr int pollMs = 100;

    explicit GamePadThread(GamepadFlags& flags);
    void requestStop() { stopping = true; }

protected:
    void run() override;

private:
    GamepadFlags& flags;
    std::atomic<bool> stopping{false};
};
