#pragma once

#include "GamepadQuery.h"

#include <QMutex>
#include <QVector>

// A controller on a script: each poll takes the next queued step, a state the hand makes
// (handed out as a new packet) or the cable pulled out or put back; once the queue is
// drained it answers with the last state and its packet number again.
class SimGamepad : public GamepadQuery {
public:
    // At rest.
    explicit SimGamepad(bool pluggedIn = true);

    bool getState(int controller, GamepadState* state) override;

    void play(const GamepadState& state);
    void play(const QVector<GamepadState>& states);
    // Put back, it answers with the state it held.
    void setPluggedIn(bool pluggedIn);
    // Every queued step has been taken by a poll.
    bool drained() const;

private:
    struct Step {
        bool pluggedIn = true;
        bool newState = false;
        GamepadState state;
    };

    mutable QMutex mutex;
    QVector<Step> queue;
    bool pluggedIn;       // now
    bool queuedPlug;      // after the queue
    GamepadState current; // what it answers
    std::uint32_t packet = 0;
};
