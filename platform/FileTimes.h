#pragma once

#include <QDateTime>
#include <QString>

// When a file was made. Windows keeps a creation time; elsewhere it is often missing or not
// kept by copies, so the time of the last change of its content stands in for it.
class FileTimes {
public:
    static QDateTime creationTime(const QString& hostPath);
};
