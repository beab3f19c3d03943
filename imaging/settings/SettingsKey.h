#pragma once

#include "SettingsRecord.h"

#include <QVector>

// One line of the settings file: its key, the field it fills and the rules for its value.
// The table of these, in file order, drives the defaults, loading and saving.
struct SettingsKey {
    enum Use { ReadWrite, WriteOnly, ReadOnly };

    const char* name;
    int SettingsRecord::*number; // null for a text key
    QString SettingsRecord::*text;
    int min;
    int max;
    int defaultValue;
    Use use;
    int fileOffset;  // the file holds the field plus this
    int matchLength; // characters that identify the key at the start of a line

    bool readable() const { return use != WriteOnly; }
    bool writable() const { return use != ReadOnly; }

    // The keys of the settings file, in the order in which it is written.
    static const QVector<SettingsKey>& settingsFileKeys();
    // The site keys read from the polar-alignment program's file.
    static const QVector<SettingsKey>& axiloFileKeys();
};
