#include "FileShootingData.h"

#include "LocalText.h"

ShootingData fileShootingData(char kind, const ShootingValues& values) {
    ShootingData data;
    data.exposureNumerator = values.exposureNumerator;
    data.exposureDenominator = values.exposureDenominator;
    data.gain = values.gain;
    data.offset = values.offset;
    data.model = QByteArray(1, values.isColor ? 'C' : 'M') + QByteArray::number(values.bayer) +
                 LocalText::encode(values.cameraName);
    data.setCapturedAt(values.start);
    if (kind == 'M') {
        data.frameCount = 1;
        data.correctionFlags = (values.darkOn ? ShootingData::DarkSubtracted : 0) |
                               (values.flatOn ? ShootingData::FlatApplied : 0);
    } else {
        data.frameCount = values.accumulatedCount;
        data.correctionFlags = 0;
    }
    return data;
}
