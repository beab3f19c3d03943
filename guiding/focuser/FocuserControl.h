#pragma once

#include <cstdint>

class EafLibrary;
struct SettingsRecord;

// The focuser behind the "EAF" dialog: opening it, moving it in or out by the chosen step,
// the relative counter and the polling of a move. The focuser's own position is set to
// `origin` on opening and on reset, so the counter starts at 0; with either direction sense
// "OUT" raises the counter and "IN" lowers it.
class FocuserControl {
public:
    static constexpr int origin = 30000;
    // A focuser at rest is read less often than one that moves.
    static constexpr int movingPollMs = 100;
    static constexpr int restingPollMs = 200;

    FocuserControl(EafLibrary& library, SettingsRecord& settings);

    // Lists and opens the focuser of index 0; false when none is attached. An open failure is
    // logged and the focuser is still used.
    bool open();
    void in();
    void out();
    void reset();
    // The main loop's step: reads the focuser when its poll time has come.
    void step();

    int counter() const { return count; }
    // The step of one press: the step choice, times 100 with the multiplier.
    int stepSize() const;

private:
    // +1 for "OUT", -1 for "IN".
    void move(int outward);
    void readPosition();
    void showPosition(int at);
    // One log line for a refused command.
    bool commandDone(const char* call, int result);
    // One log line for a failing poll, not one per poll while it keeps failing.
    bool pollDone(const char* call, int result);

    EafLibrary& eaf;
    SettingsRecord& settings;
    int eafId = 0;
    int maxStep = 0;
    int position = origin;
    int count = 0;
    bool moving = false;
    bool readDue = true;
    std::int64_t lastReadMs = 0;
    int pollFailure = 0;
};
