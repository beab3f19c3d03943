#include "SimObservatory.h"

#include "CameraLibraries.h"
#include "Clock.h"
#include "SimAsiLibrary.h"
#include "SimCamera.h"
#include "SimCanonLibrary.h"
#include "SimMountController.h"
#include "SimPlayerOneLibrary.h"
#include "SimShutterAdapter.h"
#include "SimSvbonyLibrary.h"
#include "SimUvcCapture.h"

namespace {

QVector<SimCamera*> ofVendor(const QVector<SimCamera*>& cameras, SimCameraModel::Vendor vendor) {
    QVector<SimCamera*> chosen;
    for (SimCamera* c : cameras) {
        if (c->model.vendor == vendor)
            chosen << c;
    }
    return chosen;
}

} // namespace

SimScene SimObservatory::initialScene() {
    const QString scene = qEnvironmentVariable("VESPERIX_SIM_SCENE").trimmed().toLower();
    if (scene == "cap")
        return SimScene::CapOn;
    if (scene == "flat")
        return SimScene::FlatPanel;
    return SimScene::Sky;
}

SimObservatory::SimObservatory(const QString& programFolder, const QVector<SimCameraModel>& models)
    : sky(loadCatalogs(programFolder))
    , skyRenderer(sky) {
    QStringList dslrs;
    // Camera IDs as the libraries give them: from 0, SVBONY's from 1.
    int nextId[5] = {0, 0, 1, 0, 0};
    for (const SimCameraModel& model : models) {
        if (model.vendor == SimCameraModel::Canon) {
            dslrs << model.name;
            continue;
        }
        cameraList << new SimCamera(model, nextId[model.vendor]++, skyRenderer,
                                    [this](std::int64_t clockMs) { return opticsAt(clockMs); });
        cameraList.last()->setScene(initialScene());
    }
    playerOne = std::make_unique<SimPlayerOneLibrary>(
        ofVendor(cameraList, SimCameraModel::PlayerOne), calls);
    asi = std::make_unique<SimAsiLibrary>(ofVendor(cameraList, SimCameraModel::Asi), calls);
    svbony =
        std::make_unique<SimSvbonyLibrary>(ofVendor(cameraList, SimCameraModel::Svbony), calls);
    canon = std::make_unique<SimCanonLibrary>(dslrs);
}

SimObservatory::~SimObservatory() {
    qDeleteAll(cameraList);
}

bool SimObservatory::enabled() {
    const QByteArray value = qgetenv("VESPERIX_SIM");
    return !value.isEmpty() && value != "0";
}

void SimObservatory::installCameraLibraries() {
    const QVector<SimCamera*> usb = ofVendor(cameraList, SimCameraModel::Usb);
    CameraLibraries::install(playerOne.get(), asi.get(), svbony.get(), canon.get(),
                             [usb] { return std::make_unique<SimUvcCapture>(usb); });
}

void SimObservatory::installShutterAdapter() {
    if (!shutter)
        shutter = std::make_unique<SimShutterAdapter>();
}

void SimObservatory::installMountController() {
    if (mount)
        return;
    mount = std::make_unique<SimMountController>();
    const std::int64_t now = Clock::nowMs();
    mount->mount().turnTo(currentOptics.pointingRa, currentOptics.pointingDec, 1, now);
    // The RA motor's power-on period, 620, is the sidereal rate.
    mount->core().take(":J1", now);
    carrier = &mount->mount();
}

SimOptics SimObservatory::opticsAt(std::int64_t clockMs) const {
    SimOptics optics = currentOptics;
    if (const SimEquatorialMount* carried = carrier) {
        const SimPointing pointing = carried->pointing(clockMs);
        optics.pointingRa = pointing.ra;
        optics.pointingDec = pointing.dec;
        if (pointing.pierSide == 2)
            optics.rotationDeg += 180;
    }
    return optics;
}
