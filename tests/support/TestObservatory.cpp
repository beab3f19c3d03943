#include "TestObservatory.h"

#include "AccessoryLibraries.h"
#include "CameraLibraries.h"

namespace {

QVector<SimCameraModel> modelsNamed(const QStringList& keys) {
    QVector<SimCameraModel> chosen;
    for (const QString& key : keys) {
        for (const SimCameraModel& model : SimCameraModel::all()) {
            if (key == model.key)
                chosen << model;
        }
    }
    return chosen;
}

} // namespace

TestObservatory::TestObservatory(const QStringList& cameraKeys)
    : observatory(std::make_unique<SimObservatory>(programFolder(), modelsNamed(cameraKeys))) {
    observatory->installCameraLibraries();
    observatory->installAccessoryLibraries();
    observatory->callLog().setRecording(true);
}

TestObservatory::~TestObservatory() {
    CameraLibraries::reset();
    AccessoryLibraries::reset();
}

QString TestObservatory::programFolder() {
    return qEnvironmentVariable("VESPERIX_BIN_DIR");
}
