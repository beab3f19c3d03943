#include "ShownFile.h"

#include "BayerPattern.h"
#include "FileTimes.h"
#include "HostPath.h"
#include "InfoPanelTexts.h"
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
    shown.ok = true;
    const QByteArray& model = shown.data.model;
    shown.isColor = BayerPattern::isColour(model);
    // The display indexes its demosaic table with this digit; a damaged model reads as BG.
    shown.bayer = BayerPattern::fromModel(model);
    screenPicture(samples, shown.isColor, stretched, shown.image8);
    // Files of older versions, and damaged ones, carry no time of their own.
    const QDateTime taken = shown.data.capturedAt();
    shown.date = infoPanelDate(taken.isValid() ? taken : FileTimes::creationTime(host));
    return shown;
}
