#pragma once

class PhotoHistory;
struct SettingsRecord;

// The first steps of the main program, before any window exists: the record's defaults, the
// settings folder and its log file, the settings file and the photo history.
void loadStartUpSettings(SettingsRecord& settings, PhotoHistory& photoHistory);
