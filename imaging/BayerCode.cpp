#include "BayerCode.h"

#include <opencv2/imgproc.hpp>

int bayerConversionCode(int bayer) {
    static const int codes[] = {cv::COLOR_BayerBG2BGR, cv::COLOR_BayerRG2BGR, cv::COLOR_BayerGB2BGR,
                                cv::COLOR_BayerGR2BGR};
    return codes[bayer >= 0 && bayer <= 3 ? bayer : 0];
}
