#include "CameraLabel.h"

#include "CameraDevice.h"

QString cameraLabelText(const CameraDevice& camera, bool noCamera) {
    if (noCamera)
        return "No Camera";
    const QString name =
        camera.sensorName.isEmpty() ? camera.name : camera.name + ',' + camera.sensorName;
    if (!camera.isColor)
        return QString("%1(Mono) width=%2 height=%3")
            .arg(name)
            .arg(camera.width)
            .arg(camera.height);
    return QString("%1(Color) width=%2 height=%3, bayer=%4")
        .arg(name)
        .arg(camera.width)
        .arg(camera.height)
        .arg(camera.bayerPattern);
}
