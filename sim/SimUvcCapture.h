#pragma once

#include "SimCamera.h"
#include "UvcCapture.h"

#include <QMap>
#include <QVector>

// A simulated USB video camera behind the capture interface: colour frames of the sky,
// 8 bits per channel, blue-green-red.
class SimUvcCapture : public UvcCapture {
public:
    explicit SimUvcCapture(QVector<SimCamera*> usbCameras);

    bool open(int index) override;
    bool isOpened() const override;
    void release() override;
    bool set(int property, double value) override;
    double get(int property) const override;
    bool grab() override;
    bool read(cv::Mat& frame) override;

private:
    QVector<SimCamera*> cameras;
    SimCamera* opened = nullptr;
    QMap<int, double> properties;
};
