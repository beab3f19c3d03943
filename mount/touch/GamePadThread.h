#pragma once

#include <QThread>
#include <atomic>

class Gamepad;

// Polls controller 0 every 100 ms and latches what it reports for the main loop.
class GamePadThread : public QThread {
public:
    explicit GamePadThread(Gamepad& gamepad);
    void requestStop() { stopping = true; }

protected:
    void run() override;

private:
    Gamepad& gamepad;
    std::atomic<bool> stopping{false};
};
