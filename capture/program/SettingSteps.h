#pragma once

#include <vector>

struct SettingsRecord;

// One step button of the main window: the setting it changes, by how much, and the range the
// result has to stay in. A press that would leave the range does nothing.
struct SettingStep {
    const char* button; // object name in the main window's form
    int SettingsRecord::*field;
    int delta;
    int min;
    int max;
};

// The main window's step buttons.
const std::vector<SettingStep>& settingSteps();

// Applies the step; false (and the setting unchanged) when the result would leave the range.
bool applyStep(SettingsRecord& settings, const SettingStep& step);
