#pragma once

#include "SimCamera.h"
#include "UvcCapture.h"

#include <QMap>
#include <QVector>

class SimPolarScope;

// A simulated USB video camera behind the capture interface: colour frames of the sky,
// 8 bits per channel, blue-green-red. The polar scope's camera shows the field round the pole
// through `polarScope`, a video frame at a time at the pace of its exposure; the others show
// the sky renderer's field.
class SimUvcCapture : public UvcCapture {
public:
    SimUvcCapture(QVector<SimCamera*> usbCameras, SimCamera* polarCamera,
                  const SimPolarScope& polarScope);

    bool open(int index) override;
    bool isOpened() const override;
    void release() override;
    bool set(int property, double value) override;
    double get(int property) const override;
    bool grab() override;
    bool read(cv::Mat& frame) override;

private:
    bool readPolar(cv::Mat& frame);

    QVector<SimCamera*> cameras;
    SimCamera* const polarCamera;
    const SimPolarScope& polarScope;
    SimCamera* opened = nullptr;
    QMap<int, double> properties;
};
