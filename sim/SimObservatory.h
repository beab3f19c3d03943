#pragma once

#include "SimCallLog.h"
#include "SimCameraModel.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"

#include <QString>
#include <QVector>
#include <atomic>
#include <cstdint>
#include <memory>

class SimCamera;
class SimPlayerOneLibrary;
class SimAsiLibrary;
class SimSvbonyLibrary;
class SimCanonLibrary;
class SimShutterAdapter;
class SimMountController;
class SimEquatorialMount;

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

    void installCameraLibraries();
    // Plugs in the simulated shutter adapter: a serial port with the adapter's USB
    // identifiers that records what the program sends it.
    void installShutterAdapter();
    SimShutterAdapter* shutterAdapter() { return shutter.get(); }
    // Plugs in the mount's motor controller on a serial port of its own. The telescope rides
    // on that mount from then on: the user has turned it by hand onto the field of optics(),
    // tube east of the pier, and switched it on tracking.
    void installMountController();
    SimMountController* mountController() { return mount.get(); }

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

private:
    StarCatalog sky;
    SkyRenderer skyRenderer;
    SimOptics currentOptics;
    SimCallLog calls;
    QVector<SimCamera*> cameraList;
    std::unique_ptr<SimPlayerOneLibrary> playerOne;
    std::unique_ptr<SimAsiLibrary> asi;
    std::unique_ptr<SimSvbonyLibrary> svbony;
    std::unique_ptr<SimCanonLibrary> canon;
    std::unique_ptr<SimShutterAdapter> shutter;
    std::unique_ptr<SimMountController> mount;
    std::atomic<const SimEquatorialMount*> carrier{nullptr}; // read by the camera threads
};
