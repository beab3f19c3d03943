#include "CompositeFrameReader.h"

#include "BayerPattern.h"
#include "CompositeNames.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "TiffFile.h"

#include <QFileInfo>
#include <opencv2/imgproc.hpp>

CompositeFrameReader::CompositeFrameReader(const QString& dataFolder)
    : folder(dataFolder) {}

bool CompositeFrameReader::read(const QString& name, CompositeFrame& frame) const {
    QString file = name;
    const QString twin = CompositeNames::colourTwin(name);
    if (name.startsWith('M') && QFileInfo::exists(HostPath::toHost(folder + twin)))
        file = twin;
    ShootingData data;
    cv::Mat image = readTiff(folder + file, data);
    if (image.rows < 2 || image.cols < 2 || image.depth() != CV_16U) {
        debugLog("composite: %s cannot be read", file.toUtf8().constData());
        return false;
    }
    if (image.channels() == 1 && BayerPattern::isColour(data.model)) {
        cv::Mat colour;
        cv::cvtColor(image, colour,
                     BayerPattern::demosaicCode(BayerPattern::fromModel(data.model)));
        image = colour;
    }
    frame.name = file;
    frame.image = image;
    frame.data = data;
    if (image.channels() == 3)
        cv::cvtColor(image, frame.grey, cv::COLOR_BGR2GRAY);
    else
        frame.grey = image;
    return true;
}
