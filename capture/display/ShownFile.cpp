#include "ShownFile.h"

#include "BayerPattern.h"
#include "FileTimes.h"
#include "HostPath.h"
#include "PreviewStretch.h"
#include "TiffFile.h"

#include <QFileInfo>

ShownFile readShownFile(const QString& windowsPath, bool stretched) {
    ShownFile shown;
    const QString host = HostPath::toHost(windowsPath);
    if (!QFileInfo(host).isFile())
        return shown;
    const cv::Mat samples = readTiff(windowsPath, shown.data);
    if (samples.empty())
        return shown;
    screenPicture(samples, stretched, shown.image8);
    shown.ok = true;
    const QByteArray& model = shown.data.model;
    shown.isColor = BayerPattern::isColour(model);
    // The display indexes its demosaic table with this digit; a damaged model reads as BG.
    shown.bayer = BayerPattern::fromModel(model);
    shown.date = FileTimes::creationTime(host).toString("yyyy/MM/dd hh:mm:ss");
    return shown;
}
