#include "FrameOps.h"

#include "AtomicFile.h"
#include "DebugLog.h"
#include "HostPath.h"

#include <QDir>
#include <QFileInfo>
#include <cstdint>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

void addBrightness(cv::Mat& frame, int offset) {
    if (frame.empty() || frame.depth() != CV_8U || offset == 0)
        return;
    cv::Mat bytes = frame.reshape(1);
    cv::add(bytes, cv::Scalar(offset), bytes);
}

cv::Mat highBytes(const cv::Mat& frame16) {
    cv::Mat out;
    highBytes(frame16, out);
    return out;
}

void highBytes(const cv::Mat& frame16, cv::Mat& out) {
    if (frame16.empty() || frame16.depth() != CV_16U) {
        out.release();
        return;
    }
    out.create(frame16.size(), CV_MAKETYPE(CV_8U, frame16.channels()));
    const int samples = frame16.cols * frame16.channels();
    for (int y = 0; y < frame16.rows; ++y) {
        const std::uint16_t* in = frame16.ptr<std::uint16_t>(y);
        std::uint8_t* o = out.ptr<std::uint8_t>(y);
        for (int i = 0; i < samples; ++i)
            o[i] = std::uint8_t(in[i] >> 8);
    }
}

void saveJpeg(const cv::Mat& frame8) {
    if (frame8.empty()) {
        debugLog("Data Empty saveJpeg");
        return;
    }
    const QString path = HostPath::toHost("C:\\VesperixData\\solve.jpg");
    QDir().mkpath(QFileInfo(path).path());
    // Encoded first and renamed into place, so the solver never reads half a picture.
    std::vector<uchar> jpeg;
    bool encoded = false;
    try {
        encoded = cv::imencode(".jpg", frame8, jpeg);
    } catch (const cv::Exception&) {
        encoded = false;
    }
    if (!encoded || AtomicFile::write(path, QByteArray(reinterpret_cast<const char*>(jpeg.data()),
                                                       int(jpeg.size()))) != AtomicFile::Written)
        debugLog("imwrite faile");
}
