#pragma once

#include <functional>

// The program's one filter wheel: a Player One wheel when there is one, else a ZWO EFW, found
// at start-up and again on request. Runs on the UI thread; the file writer never asks the
// wheel, it gets the position from namePosition() when a frame is handed over.
class FilterWheel {
public:
    enum Kind { PlayerOne = 0, Efw = 1 };

    // Looks for a wheel afresh: a wheel that is gone leaves no handle, buttons or suffix.
    void initFilterWheel();
    // The wheel's position now, 0-based; -1 without a wheel, while it turns or when it does not
    // answer.
    int getFilterPosition();
    // Turns the wheel to the position (0 to 8); without a wheel, or past its slots, nothing.
    void setFilterPosition(int index);

    // The position a light frame is named after: the last one set or read, so that a frame
    // handed over while the wheel turns gets the filter asked for. -1 without a wheel or
    // before any position is known.
    int namePosition() const { return present ? current : -1; }

    bool present = false;
    Kind kind = PlayerOne;
    int handle = 0; // the Player One wheel's handle or the EFW's id
    int slotCount = 0;
    int current = -1; // 0-based, the last position set or read

    // Shows the first `count` position buttons with the 1-based `current` one marked; a count
    // of 0 hides them all.
    std::function<void(int count, int current)> showSlots;

    // The longest the EFW may keep turning at start-up before it counts as stuck.
    static constexpr int efwSettleMs = 15000;

private:
    void initPlayerOne();
    void initEfw();
    bool waitForEfw(int id);
    void found(Kind wheelKind, int wheelHandle, int slotCount, int position);
};
