#pragma once

#include "SimCallLog.h"
#include "SimCameraModel.h"
#include "SkyRenderer.h"
#include "StarCatalog.h"

#include <QString>
#include <QVector>
#include <memory>

class SimCamera;
class SimPlayerOneLibrary;
class SimAsiLibrary;
class SimSvbonyLibrary;
class SimCanonLibrary;
class SimShutterAdapter;
class SimMountController;

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
    // Plugs in the mount's motor controller on a serial port of its own.
    void installMountController();
    SimMountController* mountController() { return mount.get(); }

    SimCallLog& callLog() { return calls; }
    const QVector<SimCamera*>& cameras() const { return cameraList; }
    const StarCatalog& catalog() const { return sky; }
    const SkyRenderer& renderer() const { return skyRenderer; }
    SimOptics& optics() { return currentOptics; }

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
};
