#include "BayerPattern.h"

#include <opencv2/imgproc.hpp>

bool BayerPattern::isColour(const QByteArray& model) {
    return model.startsWith('C');
}

int BayerPattern::fromModel(const QByteArray& model) {
    const int digit = model.size() > 1 ? model.at(1) - '0' : 0;
    return digit >= 0 && digit <= 3 ? digit : 0;
}

int BayerPattern::demosaicCode(int bayer) {
    static const int codes[] = {cv::COLOR_BayerBG2BGR, cv::COLOR_BayerRG2BGR, cv::COLOR_BayerGB2BGR,
                                cv::COLOR_BayerGR2BGR};
    return codes[bayer >= 0 && bayer <= 3 ? bayer : 0];
}
