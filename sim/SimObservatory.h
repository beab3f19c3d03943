#pragma once

#include "SimCallLog.h"
#include "SimCameraModel.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"

#include <QMap>
#include <QString>
#include <QVector>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class SimCamera;
class SimPlayerOneLibrary;
class SimAsiLibrary;
class SimSvbonyLibrary;
class SimCanonLibrary;
class SimShutterAdapter;
class SimGamepad;
class SimMountController;
class SimEquatorialMount;
class SimPolarScope;
class SimFocuser;
class SimFilterWheel;
class SimEafLibrary;
class SimEfwLibrary;
class SimPlayerOneWheelLibrary;
class AsiLibrary;
class CanonLibrary;
class EafLibrary;
class EfwLibrary;
class PlayerOneLibrary;
class PlayerOneWheelLibrary;
class SvbonyLibrary;

// The simulated makers' libraries of one observatory.
struct SimLibraries {
    PlayerOneLibrary* playerOne;
    AsiLibrary* asi;
    SvbonyLibrary* svbony;
    CanonLibrary* canon;
    EafLibrary* eaf;
    EfwLibrary* efw;
    PlayerOneWheelLibrary* playerOneWheel;
};

// The guide scope, riding on the mount beside the main telescope, with the guide camera.
struct SimGuideScope {
    double focalLengthMm = 400;
    // Where it points from the main telescope's pointing, on the sky, with the tube east of the
    // pier; west of it the tube is turned over and the offset with it.
    double offsetNorthDeg = 0;
    double offsetEastDeg = 0;
    double rotationDeg = 0; // as SimOptics: the guide camera's up direction, east of north
    bool mirrored = false;  // a diagonal in the guide scope
    // A small refractor's stars: seeing, its own optics and a focus that is rarely perfect
    // spread a star over a few pixels, which the guider needs to centre it.
    double starFwhmArcsec = 12;
};

// A move of the main camera's field on its sensor (see SimOptics): pixels and degrees.
struct SimFieldMove {
    double dx = 0;
    double dy = 0;
    double turnDeg = 0;
};

// Clouds in front of the telescopes: their frames show the sky background and no star.
enum class SimClouds { Clear, OverGuideScope, Everywhere };

// The truth of guiding at one clock time: the tracking error on the sky (see
// SimTrackingError), and where it has moved a star on the guide camera's frame, in the frame's
// (binned) pixels along its columns (x) and rows (y).
struct SimGuideError {
    double raArcsec = 0;
    double decArcsec = 0;
    double x = 0;
    double y = 0;
};

// The simulated observatory: the sky of the shipped catalogues and the simulated devices,
// which all see the same sky. Installing it puts its camera libraries in place of the
// makers' for the rest of the run.
class SimObservatory {
public:
    SimObservatory(const QString& programFolder, const QVector<SimCameraModel>& models);
    ~SimObservatory();

    // True when VESPERIX_SIM asks for the simulated observatory.
    static bool enabled();
    // What the cameras look at from the start: the sky, or with VESPERIX_SIM_SCENE "cap" the
    // inside of the lens cap (for darks) or "flat" a flat panel.
    static SimScene initialScene();

    // The simulated libraries, which the install calls put in place of the makers' and the
    // drop-in device libraries export under the makers' names.
    SimLibraries libraries() const;
    void installCameraLibraries();
    // Puts the focuser and filter-wheel libraries in place, over the accessories that
    // VESPERIX_SIM_ACCESSORIES connects (comma-separated EAF, EFW, PW; default EAF,PW).
    void installAccessoryLibraries();
    // The connected accessories, or null. The focuser drives the main cameras' focus.
    SimFocuser* focuser() const { return focuserDevice.get(); }
    SimFilterWheel* efwWheel() const { return efw.get(); }
    SimFilterWheel* playerOneWheel() const { return playerOneWheelDevice.get(); }
    // Plugs in the simulated shutter adapter: a serial port with the adapter's USB
    // identifiers that records what the program sends it. With VESPERIX_SIM_SHUTTER=0 it
    // stays unplugged.
    void installShutterAdapter();
    SimShutterAdapter* shutterAdapter() { return shutter.get(); }
    // Plugs in the mount's motor controller on a serial port of its own. The telescope rides
    // on that mount from then on: the user has turned it by hand onto the field of optics(),
    // tube east of the pier, and switched it on tracking.
    void installMountController();
    SimMountController* mountController() { return mount.get(); }
    // With VESPERIX_SIM_GAMEPAD=1, plugs in a controller at rest (which answers, so the
    // program polls it as it would a real one).
    void installGamepad();
    // The mount's periodic error (10" on the RA axis over 480 s) and Dec drift (0.04"/s), on
    // from the mount's installation so that guiding has something to correct; switched off
    // (before or after the installation), the mount tracks perfectly.
    void setGuidingErrors(bool on);

    SimCallLog& callLog() { return calls; }
    const QVector<SimCamera*>& cameras() const { return cameraList; }
    const StarCatalog& catalog() const { return sky; }
    const SkyRenderer& renderer() const { return skyRenderer; }
    // The telescope's optics. Without a mount controller the cameras look at its pointing,
    // which stays where it is set; with one, the mount decides where they look.
    SimOptics& optics() { return currentOptics; }
    // What the cameras see through at clock time `clockMs`: the optics pointed where the mount
    // points then, turned half a turn with the tube west of the pier. Safe from any thread.
    SimOptics opticsAt(std::int64_t clockMs) const;

    // The polar scope on the mount's RA axis, with its camera (the first POLAR, or null): the
    // scope's hooks set the mount's misalignment, the camera's turn and its faults; the
    // camera's setSilent() stops its frames.
    SimPolarScope& polarScope() { return *polar; }
    SimCamera* polarCamera() const { return polarCam; }

    // The guide camera (the first ASI120MM) behind the guide scope, or null.
    SimCamera* guideCamera() const { return guide; }
    SimGuideScope guideScope() const;
    void setGuideScope(const SimGuideScope& scope);
    // What the guide camera sees through at clock time `clockMs`.
    SimOptics guideOpticsAt(std::int64_t clockMs) const;
    // The optics a frame of the camera exposed from `fromMs` to `toMs` is rendered through:
    // pointed at the mean of the pointing over the exposure, then shaken by the atmosphere's
    // tip-tilt of that frame, under the clouds of the moment.
    SimOptics exposureOptics(const SimCamera& camera, std::int64_t fromMs, std::int64_t toMs,
                             std::uint64_t frameNumber) const;
    // Tip-tilt: a random shift of each frame, `sigmaArcsec` (0.3 by default) per axis for
    // exposures up to a second, less for longer ones, which average it out; 0 turns it off.
    // The same seed gives the same shifts, camera by camera and frame by frame.
    void setTipTilt(double sigmaArcsec, std::uint64_t seed);
    void setClouds(SimClouds clouds);
    // The main cameras' field (not the guide camera's): moved and turned on the sensor, then
    // drifting by `perExposure` once more with each exposure from now on (the field rotation
    // of a mount set up off the pole), and trailed by a guiding error.
    void setFieldMove(const SimFieldMove& move);
    void setFieldDrift(const SimFieldMove& perExposure);
    void setTrail(double px, double angleDeg);

    // The truth tests judge guiding by: the tracking error from the mount's reference (set
    // when the tube was last turned by hand, or here), and the same on the guide frame.
    void resetTrackingError(std::int64_t clockMs);
    SimGuideError trackingError(std::int64_t clockMs) const;

private:
    SimOptics mountOptics(std::int64_t clockMs, int* pierSide) const;

    StarCatalog sky;
    SkyRenderer skyRenderer;
    SimOptics currentOptics;
    SimCallLog calls;
    QVector<SimCamera*> cameraList;
    std::unique_ptr<SimPlayerOneLibrary> playerOne;
    std::unique_ptr<SimAsiLibrary> asi;
    std::unique_ptr<SimSvbonyLibrary> svbony;
    std::unique_ptr<SimCanonLibrary> canon;
    std::unique_ptr<SimFocuser> focuserDevice;
    std::unique_ptr<SimFilterWheel> efw;
    std::unique_ptr<SimFilterWheel> playerOneWheelDevice;
    std::unique_ptr<SimEafLibrary> eafLibrary;
    std::unique_ptr<SimEfwLibrary> efwLibrary;
    std::unique_ptr<SimPlayerOneWheelLibrary> playerOneWheelLibrary;
    std::unique_ptr<SimShutterAdapter> shutter;
    std::unique_ptr<SimMountController> mount;
    std::unique_ptr<SimGamepad> gamepad;
    std::atomic<const SimEquatorialMount*> carrier{nullptr}; // read by the camera threads
    SimCamera* guide = nullptr;
    std::unique_ptr<SimPolarScope> polar;
    SimCamera* polarCam = nullptr;
    bool guidingErrors = true;

    mutable std::mutex skyMutex; // guards what follows, read by the camera threads
    SimGuideScope scope;
    SimClouds clouds = SimClouds::Clear;
    double tipTiltArcsec = 0.3;
    std::uint64_t tipTiltSeed = 1;
    SimFieldMove fieldMove;
    SimFieldMove fieldDrift;
    mutable QMap<const SimCamera*, int> exposuresDrifted; // each camera's, since the drift was set
    double trailPx = 0;
    double trailAngleDeg = 0;
};
