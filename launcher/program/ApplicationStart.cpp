#include "ApplicationStart.h"

#include "ChildProcess.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "SettingsFolder.h"

#include <QFile>

QString ApplicationStart::commandFile(int number) {
    return SettingsFolder::file(QString("app%1.bat").arg(number));
}

bool ApplicationStart::start(int number, const QString& path) {
    const QString file = commandFile(number);
    QFile out(HostPath::toHost(file));
    const QByteArray line = ChildProcess::commandFileLine(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(line) != line.size()) {
        debugLog("file write error %s", qUtf8Printable(file));
        return false;
    }
    out.close();
    if (!ChildProcess::startCommandFileDetached(file)) {
        debugLog("start error %s", qUtf8Printable(file));
        return false;
    }
    return true;
}
