#include "SimObservatory.h"

#include "AccessoryLibraries.h"
#include "CameraLibraries.h"
#include "Clock.h"
#include "DebugLog.h"
#include "SimAsiLibrary.h"
#include "SimCamera.h"
#include "SimCanonLibrary.h"
#include "SimEafLibrary.h"
#include "SimEfwLibrary.h"
#include "SimFilterWheel.h"
#include "SimFocuser.h"
#include "SimGamepad.h"
#include "SimMountController.h"
#include "SimPlayerOneLibrary.h"
#include "SimPlayerOneWheelLibrary.h"
#include "SimPolarScope.h"
#include "SimShutterAdapter.h"
#include "SimSvbonyLibrary.h"
#include "SimUvcCapture.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

constexpr double degree = 3.14159265358979323846 / 180;
constexpr double arcsecPerRadian = 206264.806;

// The camera behind the guide scope, and the polar scope's.
const char* const guideCameraKey = "ASI120MM";
const char* const polarCameraKey = "POLAR";

// The mount's errors that guiding corrects.
constexpr double periodicErrorArcsec = 10;
constexpr double periodicErrorSeconds = 480;
constexpr double decDriftArcsecPerSecond = 0.04;

// The filter wheels' slots.
constexpr int efwSlots = 8;
constexpr int playerOneWheelSlots = 7;

// VESPERIX_SIM_ACCESSORIES: the connected focuser and filter wheels by key.
bool accessoryConnected(const char* key) {
    const QString keys = qEnvironmentVariable("VESPERIX_SIM_ACCESSORIES", "EAF,PW");
    for (const QString& k : keys.split(',', Qt::SkipEmptyParts)) {
        if (k.trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// An exposure's pointing is the mean of its pointing at least this often.
constexpr std::int64_t pointingSampleMs = 25;
constexpr int mostPointingSamples = 64;

void unitVector(double ra, double dec, double v[3]) {
    v[0] = std::cos(dec * degree) * std::cos(ra * degree);
    v[1] = std::cos(dec * degree) * std::sin(ra * degree);
    v[2] = std::sin(dec * degree);
}

void toRaDec(const double v[3], double* ra, double* dec) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(length > 0))
        return;
    *dec = std::asin(std::clamp(v[2] / length, -1.0, 1.0)) / degree;
    *ra = std::atan2(v[1], v[0]) / degree;
    if (*ra < 0)
        *ra += 360;
}

// The pointing moved on the sky by small angles (degrees) east and north, along a great
// circle.
void moveOnSky(double* ra, double* dec, double eastDeg, double northDeg) {
    const double r = std::hypot(eastDeg, northDeg) * degree;
    if (!(r > 0))
        return;
    const double a = *ra * degree, d = *dec * degree;
    const double east[3] = {-std::sin(a), std::cos(a), 0};
    const double north[3] = {-std::sin(d) * std::cos(a), -std::sin(d) * std::sin(a), std::cos(d)};
    double p[3];
    unitVector(*ra, *dec, p);
    const double e = eastDeg * degree / r, n = northDeg * degree / r;
    double v[3];
    for (int i = 0; i < 3; ++i)
        v[i] = std::cos(r) * p[i] + std::sin(r) * (e * east[i] + n * north[i]);
    toRaDec(v, ra, dec);
}

std::uint64_t mix64(std::uint64_t z) {
    z += 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// Two standard normal deviates drawn from `key` alone (Box-Muller).
void normalPair(std::uint64_t key, double* a, double* b) {
    const std::uint64_t u = mix64(key), v = mix64(u);
    const double u1 = (double(u >> 11) + 1) / 9007199254740993.0; // (0, 1]
    const double u2 = double(v >> 11) / 9007199254740992.0;
    const double radius = std::sqrt(-2 * std::log(u1));
    *a = radius * std::cos(2 * 3.14159265358979323846 * u2);
    *b = radius * std::sin(2 * 3.14159265358979323846 * u2);
}

// VESPERIX_SIM_POLAR: the mount's misalignment in minutes of arc, up and east, then
// optionally the RA angle in degrees and the RA axis' turn in degrees a minute,
// comma-separated.
void applyPolarVariable(SimPolarScope& scope) {
    const QString text = qEnvironmentVariable("VESPERIX_SIM_POLAR").trimmed();
    if (text.isEmpty())
        return;
    const QStringList parts = text.split(',');
    double values[4] = {0, 0, 0, 0};
    bool ok = parts.size() >= 2 && parts.size() <= 4;
    for (int i = 0; ok && i < parts.size(); ++i)
        values[i] = parts.at(i).trimmed().toDouble(&ok);
    if (!ok) {
        debugLog("VESPERIX_SIM_POLAR ignored: %s", qPrintable(text));
        return;
    }
    scope.setMisalignment(values[0], values[1]);
    scope.setRaAngle(values[2]);
    scope.setRaTurn(values[3]);
}

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
    , skyRenderer(sky, loadDeepSky(programFolder, sky)) {
    QStringList dslrs;
    // Camera IDs as the libraries give them: from 0, SVBONY's from 1.
    int nextId[5] = {0, 0, 1, 0, 0};
    for (const SimCameraModel& model : models) {
        if (model.vendor == SimCameraModel::Canon) {
            dslrs << model.name;
            continue;
        }
        const int index = cameraList.size();
        cameraList << new SimCamera(
            model, nextId[model.vendor]++, skyRenderer,
            [this, index](std::int64_t fromMs, std::int64_t toMs, std::uint64_t frameNumber) {
                return exposureOptics(*cameraList.at(index), fromMs, toMs, frameNumber);
            });
        cameraList.last()->setScene(initialScene());
        if (!guide && QByteArray(model.key) == guideCameraKey)
            guide = cameraList.last();
        if (!polarCam && QByteArray(model.key) == polarCameraKey)
            polarCam = cameraList.last();
    }
    polar = std::make_unique<SimPolarScope>(sky, SimCameraModel::withKey(polarCameraKey)->sensor());
    applyPolarVariable(*polar);
    playerOne = std::make_unique<SimPlayerOneLibrary>(
        ofVendor(cameraList, SimCameraModel::PlayerOne), calls);
    asi = std::make_unique<SimAsiLibrary>(ofVendor(cameraList, SimCameraModel::Asi), calls);
    svbony =
        std::make_unique<SimSvbonyLibrary>(ofVendor(cameraList, SimCameraModel::Svbony), calls);
    canon = std::make_unique<SimCanonLibrary>(dslrs);
    if (accessoryConnected("EAF"))
        focuserDevice = std::make_unique<SimFocuser>();
    if (accessoryConnected("EFW"))
        efw = std::make_unique<SimFilterWheel>(efwSlots);
    if (accessoryConnected("PW"))
        playerOneWheelDevice = std::make_unique<SimFilterWheel>(playerOneWheelSlots);
    eafLibrary = std::make_unique<SimEafLibrary>(focuserDevice.get());
    efwLibrary = std::make_unique<SimEfwLibrary>(efw.get());
    playerOneWheelLibrary = std::make_unique<SimPlayerOneWheelLibrary>(playerOneWheelDevice.get());
}

SimObservatory::~SimObservatory() {
    if (gamepad && &GamepadQuery::instance() == gamepad.get())
        GamepadQuery::install(nullptr);
    qDeleteAll(cameraList);
}

bool SimObservatory::enabled() {
    const QByteArray value = qgetenv("VESPERIX_SIM");
    return !value.isEmpty() && value != "0";
}

SimLibraries SimObservatory::libraries() const {
    return {playerOne.get(),
            asi.get(),
            svbony.get(),
            canon.get(),
            eafLibrary.get(),
            efwLibrary.get(),
            playerOneWheelLibrary.get()};
}

void SimObservatory::installCameraLibraries() {
    const QVector<SimCamera*> usb = ofVendor(cameraList, SimCameraModel::Usb);
    CameraLibraries::install(playerOne.get(), asi.get(), svbony.get(), canon.get(), [usb, this] {
        return std::make_unique<SimUvcCapture>(usb, polarCam, *polar);
    });
}

void SimObservatory::installAccessoryLibraries() {
    AccessoryLibraries::install(eafLibrary.get(), efwLibrary.get(), playerOneWheelLibrary.get());
}

void SimObservatory::installShutterAdapter() {
    if (!shutter && qEnvironmentVariable("VESPERIX_SIM_SHUTTER") != "0")
        shutter = std::make_unique<SimShutterAdapter>();
}

void SimObservatory::installMountController() {
    if (mount)
        return;
    mount = std::make_unique<SimMountController>();
    const std::int64_t now = Clock::nowMs();
    setGuidingErrors(guidingErrors);
    mount->mount().turnTo(currentOptics.pointingRa, currentOptics.pointingDec, 1, now);
    // The RA motor's power-on period, 620, is the sidereal rate.
    mount->core().take(":J1", now);
    carrier = &mount->mount();
}

void SimObservatory::installGamepad() {
    if (gamepad || qEnvironmentVariable("VESPERIX_SIM_GAMEPAD") != "1")
        return;
    gamepad = std::make_unique<SimGamepad>();
    GamepadQuery::install(gamepad.get());
}

void SimObservatory::setGuidingErrors(bool on) {
    guidingErrors = on;
    if (!mount)
        return;
    mount->mount().setPeriodicError(on ? periodicErrorArcsec : 0, periodicErrorSeconds);
    mount->mount().setDrift(0, on ? decDriftArcsecPerSecond * 60 : 0);
}

SimOptics SimObservatory::mountOptics(std::int64_t clockMs, int* pierSide) const {
    SimOptics optics = currentOptics;
    *pierSide = 1;
    if (const SimEquatorialMount* carried = carrier) {
        const SimPointing pointing = carried->pointing(clockMs);
        optics.pointingRa = pointing.ra;
        optics.pointingDec = pointing.dec;
        *pierSide = pointing.pierSide;
    }
    return optics;
}

SimOptics SimObservatory::opticsAt(std::int64_t clockMs) const {
    int side = 1;
    SimOptics optics = mountOptics(clockMs, &side);
    if (side == 2)
        optics.rotationDeg += 180;
    return optics;
}

SimGuideScope SimObservatory::guideScope() const {
    std::lock_guard<std::mutex> lock(skyMutex);
    return scope;
}

void SimObservatory::setGuideScope(const SimGuideScope& guideScope) {
    std::lock_guard<std::mutex> lock(skyMutex);
    scope = guideScope;
}

SimOptics SimObservatory::guideOpticsAt(std::int64_t clockMs) const {
    int side = 1;
    SimOptics optics = mountOptics(clockMs, &side);
    const SimGuideScope guideScope = this->guideScope();
    // West of the pier the tube, and the guide scope on it, are turned half a turn.
    const double turned = side == 2 ? -1 : 1;
    moveOnSky(&optics.pointingRa, &optics.pointingDec, turned * guideScope.offsetEastDeg,
              turned * guideScope.offsetNorthDeg);
    optics.focalLengthMm = guideScope.focalLengthMm;
    optics.rotationDeg = guideScope.rotationDeg + (side == 2 ? 180 : 0);
    optics.mirrored = guideScope.mirrored;
    optics.seeingFwhmArcsec = guideScope.starFwhmArcsec;
    return optics;
}

SimOptics SimObservatory::exposureOptics(const SimCamera& camera, std::int64_t fromMs,
                                         std::int64_t toMs, std::uint64_t frameNumber) const {
    const bool guided = &camera == guide;
    const auto at = [&](std::int64_t clockMs) {
        return guided ? guideOpticsAt(clockMs) : opticsAt(clockMs);
    };
    toMs = std::max(toMs, fromMs);
    const std::int64_t span = toMs - fromMs;
    SimOptics optics = at(fromMs + span / 2);
    if (carrier && span > 0) {
        // A mount that moves during the exposure smears the stars about their mean position.
        const int samples =
            int(std::clamp<std::int64_t>(span / pointingSampleMs, 1, mostPointingSamples));
        double sum[3] = {0, 0, 0};
        for (int i = 0; i < samples; ++i) {
            const SimOptics sample = at(fromMs + span * (2 * i + 1) / (2 * samples));
            double v[3];
            unitVector(sample.pointingRa, sample.pointingDec, v);
            for (int k = 0; k < 3; ++k)
                sum[k] += v[k];
        }
        toRaDec(sum, &optics.pointingRa, &optics.pointingDec);
    }

    SimClouds sky;
    double sigma;
    std::uint64_t seed;
    {
        std::lock_guard<std::mutex> lock(skyMutex);
        sky = clouds;
        sigma = tipTiltArcsec;
        seed = tipTiltSeed;
        if (!guided) {
            const int k = exposuresDrifted[&camera]++;
            optics.fieldShiftX = fieldMove.dx + k * fieldDrift.dx;
            optics.fieldShiftY = fieldMove.dy + k * fieldDrift.dy;
            optics.fieldTurnDeg = fieldMove.turnDeg + k * fieldDrift.turnDeg;
            optics.trailPx = trailPx;
            optics.trailAngleDeg = trailAngleDeg;
        }
    }
    sigma /= std::sqrt(std::max(1.0, double(span) / 1000));
    if (sigma > 0) {
        const std::uint64_t cameraKey =
            std::uint64_t(camera.model.vendor) << 8 | std::uint64_t(std::uint8_t(camera.cameraId));
        double east, north;
        normalPair(mix64(seed) ^ mix64(cameraKey << 48 ^ frameNumber), &east, &north);
        moveOnSky(&optics.pointingRa, &optics.pointingDec, sigma * east / 3600,
                  sigma * north / 3600);
    }
    if (focuserDevice && !guided)
        optics.defocus += focuserDevice->defocusPixels(fromMs + span / 2, camera.model.pixelSizeUm);
    if (sky == SimClouds::Everywhere || (sky == SimClouds::OverGuideScope && guided))
        optics.starlight = 0;
    return optics;
}

void SimObservatory::setTipTilt(double sigmaArcsec, std::uint64_t seed) {
    std::lock_guard<std::mutex> lock(skyMutex);
    tipTiltArcsec = std::isfinite(sigmaArcsec) ? std::max(0.0, sigmaArcsec) : 0;
    tipTiltSeed = seed;
}

void SimObservatory::setClouds(SimClouds sky) {
    std::lock_guard<std::mutex> lock(skyMutex);
    clouds = sky;
}

void SimObservatory::setFieldMove(const SimFieldMove& move) {
    std::lock_guard<std::mutex> lock(skyMutex);
    fieldMove = move;
}

void SimObservatory::setFieldDrift(const SimFieldMove& perExposure) {
    std::lock_guard<std::mutex> lock(skyMutex);
    fieldDrift = perExposure;
    exposuresDrifted.clear();
}

void SimObservatory::setTrail(double px, double angleDeg) {
    std::lock_guard<std::mutex> lock(skyMutex);
    trailPx = std::isfinite(px) ? std::max(0.0, px) : 0;
    trailAngleDeg = std::isfinite(angleDeg) ? angleDeg : 0;
}

void SimObservatory::resetTrackingError(std::int64_t clockMs) {
    if (mount)
        mount->mount().setTrackingReference(clockMs);
}

SimGuideError SimObservatory::trackingError(std::int64_t clockMs) const {
    SimGuideError error;
    const SimEquatorialMount* carried = carrier;
    if (!carried)
        return error;
    const SimTrackingError sky = carried->trackingError(clockMs);
    error.raArcsec = sky.raArcsec;
    error.decArcsec = sky.decArcsec;
    const SimOptics optics = guideOpticsAt(clockMs);
    const double pixelUm =
        guide ? guide->model.pixelSizeUm : SimCameraModel::withKey(guideCameraKey)->pixelSizeUm;
    const int bin = guide ? guide->binning() : 2;
    const double arcsecPerPixel = arcsecPerRadian * pixelUm * bin / (1000 * optics.focalLengthMm);
    // The stars move against the tube: a tube east of where it should be has the stars west,
    // which is to the right on a frame with north up.
    const double c = std::cos(optics.rotationDeg * degree),
                 s = std::sin(optics.rotationDeg * degree);
    const double flip = optics.mirrored ? -1 : 1;
    error.x = flip * (sky.raArcsec * c - sky.decArcsec * s) / arcsecPerPixel;
    error.y = (sky.raArcsec * s + sky.decArcsec * c) / arcsecPerPixel;
    return error;
}
