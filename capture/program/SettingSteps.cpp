#include "SettingSteps.h"

#include "SettingsRecord.h"

const std::vector<SettingStep>& settingSteps() {
    // "+10 while below 90" and "-10 while 10 or more" are the same range as the single steps.
    static const std::vector<SettingStep> steps = {
        {"pushButton_10", &SettingsRecord::timRep, 1, 0, 99},
        {"pushButton_17", &SettingsRecord::timRep, -1, 0, 99},
        {"pushButton_8", &SettingsRecord::timRep, 10, 0, 99},
        {"pushButton_9", &SettingsRecord::timRep, -10, 0, 99},
        {"pushButton_12", &SettingsRecord::timMin, 1, 0, 99},
        {"pushButton_19", &SettingsRecord::timMin, -1, 0, 99},
        {"pushButton_11", &SettingsRecord::timMin, 10, 0, 99},
        {"pushButton_18", &SettingsRecord::timMin, -10, 0, 99},
        {"pushButton_14", &SettingsRecord::timSec, 1, 0, 59},
        {"pushButton_21", &SettingsRecord::timSec, -1, 0, 59},
        {"pushButton_13", &SettingsRecord::timSec, 10, 0, 59},
        {"pushButton_20", &SettingsRecord::timSec, -10, 0, 59},
        {"pushButton_16", &SettingsRecord::timInt, 1, 0, 99},
        {"pushButton_23", &SettingsRecord::timInt, -1, 0, 99},
        {"pushButton_15", &SettingsRecord::timInt, 10, 0, 99},
        {"pushButton_22", &SettingsRecord::timInt, -10, 0, 99},
        {"pushButton_24", &SettingsRecord::gain, 1, 0, 25},
        {"pushButton_25", &SettingsRecord::gain, -1, 0, 25},
        {"pushButton_2", &SettingsRecord::lgain, 1, 0, 25},
        {"pushButton_3", &SettingsRecord::lgain, -1, 0, 25},
        {"pushButton_4", &SettingsRecord::lexposure, 1, 0, 12},
        {"pushButton_5", &SettingsRecord::lexposure, -1, 0, 12},
        {"pushButton_63", &SettingsRecord::temp, 1, -99, 99},
        {"pushButton_64", &SettingsRecord::temp, -1, -99, 99},
        {"pushButton_66", &SettingsRecord::slowC, 1, 0, 99},
        {"pushButton_65", &SettingsRecord::slowC, -1, 0, 99},
        {"pushButton_68", &SettingsRecord::slowW, 1, 0, 99},
        {"pushButton_67", &SettingsRecord::slowW, -1, 0, 99},
    };
    return steps;
}

bool applyStep(SettingsRecord& settings, const SettingStep& step) {
    int& value = settings.*step.field;
    const int next = value + step.delta;
    // Only the side the step moves towards is tested, so a value loaded out of range can still
    // be stepped back into it.
    if (step.delta > 0 ? next > step.max : next < step.min)
        return false;
    value = next;
    return true;
}
