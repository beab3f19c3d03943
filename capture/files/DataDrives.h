#pragma once

#include <QChar>
#include <QStringList>

class DataFolder;
struct SettingsRecord;

// The drives the data folder may live on: the letters C to M that exist, one per drive
// button of the main window.
class DataDrives {
public:
    static constexpr int maxButtons = 6;

    // The existing drives in letter order, at most maxButtons of them. When the data drive is
    // not among them it falls back to C.
    static QStringList scanDrives(SettingsRecord& settings);

    // The position of the data drive in a scan's list (its button is the red one), or -1.
    static int currentIndex(const QStringList& drives, const SettingsRecord& settings);

    // Makes `letter` the data drive and reads its data folder.
    static void selectDrive(QChar letter, SettingsRecord& settings, DataFolder& folder);
};
