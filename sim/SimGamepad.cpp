#include "SimGamepad.h"

SimGamepad::SimGamepad(bool plugged)
    : pluggedIn(plugged)
    , queuedPlug(plugged) {}

bool SimGamepad::getState(int controller, GamepadState* state) {
    QMutexLocker lock(&mutex);
    if (!queue.isEmpty()) {
        const Step next = queue.takeFirst();
        pluggedIn = next.pluggedIn;
        if (next.newState) {
            current = next.state;
            current.packetNumber = ++packet;
        }
    }
    if (!pluggedIn || controller != 0)
        return false;
    *state = current;
    return true;
}

void SimGamepad::play(const GamepadState& state) {
    play(QVector<GamepadState>{state});
}

void SimGamepad::play(const QVector<GamepadState>& states) {
    QMutexLocker lock(&mutex);
    for (const GamepadState& state : states)
        queue.append({queuedPlug, true, state});
}

void SimGamepad::setPluggedIn(bool plugged) {
    QMutexLocker lock(&mutex);
    queuedPlug = plugged;
    queue.append({plugged, false, GamepadState()});
}

bool SimGamepad::drained() const {
    QMutexLocker lock(&mutex);
    return queue.isEmpty();
}
