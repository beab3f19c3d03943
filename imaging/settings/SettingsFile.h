#pragma once

struct SettingsRecord;

// The settings file "C:\OrlentVesperixIni\Vesperix.ini": one key, a blank and a value a line.

// Makes sure the settings folder exists and sets the record's path to the settings file.
void ensureSettingsPath(SettingsRecord& record);

// Reads the settings file, then the site keys of the polar-alignment program's file, into the
// record. Missing files, unknown lines and values out of range leave the fields as they were.
// Afterwards `movAveN` and `diff` are 5, whatever the file says.
void loadSettings(SettingsRecord& record);

// The observing site (longitude, latitude, east or west, time zone) from the polar-alignment
// program's file, which that program rewrites whenever the user quits it.
void loadObservingSite(SettingsRecord& record);

// Rewrites the whole settings file. It is written beside the old one and renamed into place,
// so a failed save leaves the old file as it was.
void saveSettings(const SettingsRecord& record);
