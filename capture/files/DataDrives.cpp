#include "DataDrives.h"

#include "DataFolder.h"
#include "HostPath.h"
#include "SettingsRecord.h"

QStringList DataDrives::scanDrives(SettingsRecord& settings) {
    QStringList drives;
    for (QChar letter : HostPath::existingDrives('C', 'M')) {
        if (drives.size() == maxButtons)
            break;
        drives << QString(letter);
    }
    if (currentIndex(drives, settings) < 0)
        settings.drive = 'C';
    return drives;
}

int DataDrives::currentIndex(const QStringList& drives, const SettingsRecord& settings) {
    return drives.indexOf(QString(QChar(settings.drive).toUpper()));
}

void DataDrives::selectDrive(QChar letter, SettingsRecord& settings, DataFolder& folder) {
    settings.drive = letter.toUpper().unicode();
    folder.scanDataFolder();
}
