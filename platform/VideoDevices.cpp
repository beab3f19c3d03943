#include "VideoDevices.h"

#include <QDir>
#include <QFile>
#include <QMap>

#ifdef Q_OS_WIN
#include <mfapi.h>
#include <mfidl.h>
#include <windows.h>

// OpenCV opens cameras on Windows through Media Foundation first, and its device index is the
// position in Media Foundation's list of video-capture sources.
QStringList VideoDevices::names() {
    QStringList names;
    const bool comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    if (FAILED(MFStartup(MF_VERSION))) {
        if (comStarted)
            CoUninitialize();
        return names;
    }
    IMFAttributes* attributes = nullptr;
    IMFActivate** devices = nullptr;
    UINT32 count = 0;
    if (SUCCEEDED(MFCreateAttributes(&attributes, 1)) &&
        SUCCEEDED(attributes->SetGUID(MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE,
                                      MF_DEVSOURCE_ATTRIBUTE_SOURCE_TYPE_VIDCAP_GUID)) &&
        SUCCEEDED(MFEnumDeviceSources(attributes, &devices, &count))) {
        for (UINT32 i = 0; i < count; ++i) {
            WCHAR* name = nullptr;
            UINT32 length = 0;
            if (SUCCEEDED(devices[i]->GetAllocatedString(MF_DEVSOURCE_ATTRIBUTE_FRIENDLY_NAME,
                                                         &name, &length))) {
                names << QString::fromWCharArray(name, int(length));
                CoTaskMemFree(name);
            } else {
                names << QString();
            }
            devices[i]->Release();
        }
        CoTaskMemFree(devices);
    }
    if (attributes)
        attributes->Release();
    MFShutdown();
    if (comStarted)
        CoUninitialize();
    return names;
}

#else

// Device index N is /dev/videoN; its name is in sysfs.
QStringList VideoDevices::names() {
    QStringList names;
    const QString root = qEnvironmentVariable("VESPERIX_SYSFS_VIDEO", "/sys/class/video4linux");
    QMap<int, QString> byIndex;
    for (const QString& node : QDir(root).entryList({"video*"}, QDir::Dirs | QDir::System)) {
        bool ok = false;
        const int index = node.mid(5).toInt(&ok);
        if (!ok || index < 0 || index > 255)
            continue;
        QFile nameFile(root + '/' + node + "/name");
        if (nameFile.open(QIODevice::ReadOnly))
            byIndex[index] = QString::fromUtf8(nameFile.readLine()).trimmed();
    }
    const int count = byIndex.isEmpty() ? 0 : byIndex.lastKey() + 1;
    for (int i = 0; i < count; ++i)
        names << byIndex.value(i);
    return names;
}

#endif
