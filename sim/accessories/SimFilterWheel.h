#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

// A simulated filter wheel with `positions` slots (0-based). It turns the shortest way round,
// half a second of the project's clock per slot passed, and reports no position meanwhile.
// Faults: stuck (turning and never arriving) and removed (unplugged).
class SimFilterWheel {
public:
    static constexpr std::int64_t msPerSlot = 500;

    enum class Turn { Started, OutOfRange, Busy };

    explicit SimFilterWheel(int positions);

    int positions() const { return positionCount; }
    // The slot it stands at, or -1 while it turns.
    int position(std::int64_t clockMs);
    Turn turnTo(int slot, std::int64_t clockMs);

    // Hooks for tests. A stuck wheel that stands still starts turning to its next slot.
    void setStuck(bool stuck);
    void setRemoved(bool removed);
    bool removed() const { return unplugged; }
    // Calls the program made into the wheel's library.
    int callCount() const { return calls; }
    void countCall() { ++calls; }

private:
    void settle(std::int64_t clockMs);

    const int positionCount;
    std::mutex mutex;
    int standing = 0;
    int target = 0;
    bool turning = false;
    bool stuck = false;
    std::int64_t arrivalMs = 0;
    std::atomic<bool> unplugged{false};
    std::atomic<int> calls{0};
};
