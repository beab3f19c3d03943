#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

struct SettingsRecord;

// The frames of the data folder on the data drive ("X:\VesperixData") that playback steps
// through, and the counter that numbers new files. The UI thread and the file writer share
// the one instance, so every member is guarded by its own mutex.
class DataFolder {
public:
    explicit DataFolder(SettingsRecord& settings);

    // Reads the folder of the current data drive afresh, creating it when it is missing.
    // The list is in name order, which for the zero-padded numbers is the order of taking.
    void scanDataFolder();
    QString folder() const; // "X:\VesperixData"

    // Appends a file name (no folder) and makes it current.
    void addFile(const QString& name);
    // The same for a file written anew under a name the list may hold: listed once.
    void addFileOnce(const QString& name);

    // Windows-form paths; empty when there is no such entry.
    QString currentPath() const;
    QString pathAt(int index) const;
    QString currentName() const;
    int currentIndex() const; // -1 when the list is empty
    int count() const;
    QStringList files() const;

    // Step through the list, wrapping at both ends.
    void nextFile();
    void previousFile();

    // Deletes the current file and its colour twin. False when there was nothing to delete or
    // the file could not be removed; the entry then stays.
    bool deleteCurrent();

    int lastNumber() const;
    // Reserves the number of the next file. The second form also gives the folder the number
    // belongs to, read under the same lock, so a drive change cannot come in between.
    int takeNextNumber();
    int takeNextNumber(QString& numberFolder);

    // The colour twin of a frame's path: the last "M" of the file name as "C"; empty when the
    // name has none.
    static QString colourTwinPath(const QString& path);

private:
    QString folderOfDrive() const;
    QString pathOf(int index) const; // caller holds the lock

    SettingsRecord& settings;
    mutable QMutex mutex;
    QString dataFolder;
    QStringList names;
    int current = -1;
    int last = 0;
};
