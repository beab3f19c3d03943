#pragma once

#include "SimObservatory.h"

#include <QStringList>
#include <memory>

// A simulated observatory with the named camera models (keys of SimCameraModel), built from
// the shipped catalogues and installed in place of the camera libraries for one test.
class TestObservatory {
public:
    explicit TestObservatory(const QStringList& cameraKeys);
    ~TestObservatory();
    TestObservatory(const TestObservatory&) = delete;
    TestObservatory& operator=(const TestObservatory&) = delete;

    SimObservatory& sim() { return *observatory; }
    QStringList calls() const { return observatory->callLog().calls(); }
    void clearCalls() { observatory->callLog().clear(); }

    // The folder beside the programs, with the catalogues and camera tables.
    static QString programFolder();

private:
    std::unique_ptr<SimObservatory> observatory;
};
