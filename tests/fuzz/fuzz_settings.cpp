// libFuzzer target: any settings file, however hostile, loads without a fault and leaves
// every field inside its key's range.
#include "DebugLog.h"
#include "SettingsFile.h"
#include "SettingsKey.h"
#include "SettingsRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

QString settingsFolder()
{
    static QTemporaryDir* drives = [] {
        auto* dir = new QTemporaryDir;
        qputenv("VESPERIX_DRIVES", dir->path().toLocal8Bit());
        QDir().mkpath(dir->path() + "/C/OrlentVesperixIni");
        DebugLog::setStderrEcho(false);
        return dir;
    }();
    return drives->path() + "/C/OrlentVesperixIni/";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString folder = settingsFolder();
    // The first byte chooses which of the two files the input becomes.
    const bool axilo = size > 0 && (data[0] & 1);
    QFile file(folder + (axilo ? "Axilo.ini" : "Vesperix.ini"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    SettingsRecord record;
    record.setDefaults();
    ensureSettingsPath(record);
    loadSettings(record);
    for (const auto* keys : {&SettingsKey::settingsFileKeys(), &SettingsKey::axiloFileKeys()}) {
        for (const SettingsKey& key : *keys) {
            if (key.number && (record.*key.number < key.min || record.*key.number > key.max))
                std::abort();
        }
    }
    QFile::remove(file.fileName());
    return 0;
}
