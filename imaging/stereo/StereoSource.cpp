#include "StereoSource.h"

#include "BayerPattern.h"
#include "TiffFile.h"

#include <opencv2/imgproc.hpp>

namespace StereoSource {

namespace {

const char* const suffixes[] = {"_sbs", "_sbsh", "_ana"};

QString withoutTif(const QString& path) {
    return path.endsWith(".tif", Qt::CaseInsensitive) ? path.chopped(4) : path;
}

} // namespace

cv::Mat read(const QString& windowsPath, int depth, int rotation, ShootingData* data) {
    ShootingData stored;
    const cv::Mat image = readTiff(windowsPath, stored, depth);
    // The reader gives an empty or a 1 x 1 image for a file it refuses.
    if (image.total() <= 1)
        return cv::Mat();
    cv::Mat colour;
    if (image.channels() == 3)
        colour = image;
    else if (BayerPattern::isColour(stored.model))
        cv::cvtColor(image, colour,
                     BayerPattern::demosaicCode(BayerPattern::fromModel(stored.model)));
    else
        cv::cvtColor(image, colour, cv::COLOR_GRAY2BGR);
    static const int turns[] = {cv::ROTATE_90_CLOCKWISE, cv::ROTATE_180,
                                cv::ROTATE_90_COUNTERCLOCKWISE};
    const int quarterTurns = ((rotation % 4) + 4) % 4;
    if (quarterTurns != 0)
        cv::rotate(colour, colour, turns[quarterTurns - 1]);
    if (data)
        *data = stored;
    return colour;
}

QString outputPath(const QString& sourcePath, int format) {
    const int index = format >= 0 && format <= 2 ? format : 0;
    return withoutTif(sourcePath) + suffixes[index] + ".tif";
}

bool isOutputName(const QString& name) {
    const QString stem = withoutTif(name);
    for (const char* suffix : suffixes)
        if (stem.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace StereoSource
