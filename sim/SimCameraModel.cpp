#include "SimCameraModel.h"

#include <QStringList>

const QVector<SimCameraModel>& SimCameraModel::all() {
    using M = SimCameraModel;
    static const QVector<SimCameraModel> models = {
        {"ASI294MC", M::Asi, "ZWO ASI294MC Pro", "", 4144, 2822, 4.63, true, 0, true, 570, 8},
        {"ASI2600MC", M::Asi, "ZWO ASI2600MC Pro", "", 6248, 4176, 3.76, true, 0, true, 700, 50},
        {"ASI183MM", M::Asi, "ZWO ASI183MM Pro", "", 5496, 3672, 2.4, false, 0, true, 450, 10},
        {"ASI294MM", M::Asi, "ZWO ASI294MM Pro", "", 8288, 5644, 2.315, false, 0, true, 570, 8},
        {"ASI120MM", M::Asi, "ZWO ASI120MM Mini", "", 1280, 960, 3.75, false, 0, false, 100, 5},
        {"POSEIDONC", M::PlayerOne, "Poseidon-C PRO", "IMX571", 6252, 4176, 3.76, true, 0, true,
         600, 20},
        {"APOLLOM", M::PlayerOne, "Apollo-M MAX", "IMX432", 1608, 1104, 9.0, false, 0, false, 500,
         10},
        {"SV605CC", M::Svbony, "SVBONY SV605CC", "", 3008, 3008, 3.76, true, 0, true, 720, 10},
        {"SV305", M::Svbony, "SVBONY SV305", "", 1920, 1080, 2.9, true, 2, false, 720, 10},
        {"USB", M::Usb, "USB Camera", "", 1920, 1080, 2.9, true, 0, false, 100, 0},
        {"POLAR", M::Usb, "HD USB Camera", "", 1280, 960, 3.375, true, 0, false, 255, 0},
        {"EOS6D", M::Canon, "Canon EOS 6D", "", 5472, 3648, 6.54, true, 0, false, 0, 0},
    };
    return models;
}

namespace {

bool named(const SimCameraModel& model, const QString& key) {
    return key.trimmed().compare(model.key, Qt::CaseInsensitive) == 0;
}

} // namespace

const SimCameraModel* SimCameraModel::withKey(const QString& key) {
    for (const SimCameraModel& model : all()) {
        if (named(model, key))
            return &model;
    }
    return nullptr;
}

SimSensor SimCameraModel::sensor() const {
    SimSensor sensor;
    sensor.width = width;
    sensor.height = height;
    sensor.pixelSizeUm = pixelSizeUm;
    sensor.isColor = isColor;
    sensor.bayerPattern = bayerPattern;
    return sensor;
}

QVector<SimCameraModel> SimCameraModel::connected() {
    QString keys = qEnvironmentVariable("VESPERIX_SIM_CAMERAS", "ASI294MC,ASI120MM,USB,POLAR");
    QVector<SimCameraModel> chosen;
    for (const QString& key : keys.split(',', Qt::SkipEmptyParts)) {
        for (const SimCameraModel& model : all()) {
            if (named(model, key))
                chosen.append(model);
        }
    }
    return chosen;
}
