#include "FileTimes.h"

#include <QFileInfo>

QDateTime FileTimes::creationTime(const QString& hostPath) {
#ifdef Q_OS_WIN
    return QFileInfo(hostPath).birthTime();
#else
    return QFileInfo(hostPath).lastModified();
#endif
}
