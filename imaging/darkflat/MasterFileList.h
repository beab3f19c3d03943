#pragma once

#include <QString>
#include <QStringList>

struct SettingsRecord;

// The master frames of the data folder that can serve dark subtraction (names beginning
// with "D") or flat correction ("F"). Only ".tif" files are listed: the folder also holds
// other files (the plate-solving JPEG, copies made by other programs), and a master that is
// not one of our TIFF files would only be refused when the correction runs.
class MasterFileList {
public:
    enum Mode { Darks = 0, Flats = 1 };

    // The names, sorted ascending; empty when the folder is missing.
    static QStringList names(const SettingsRecord& settings, int mode);

    // The row showing `name`; the last row when no row does; -1 for an empty list.
    static int rowOf(const QStringList& names, const QString& name);
};
