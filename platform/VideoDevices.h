#pragma once

#include <QStringList>

// The names of the system's video capture devices, in the index order OpenCV opens them by.
// An index without a device has an empty name, so the positions stay those indices.
class VideoDevices {
public:
    static QStringList names();
};
