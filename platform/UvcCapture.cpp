#include "UvcCapture.h"

#include <opencv2/videoio.hpp>

namespace {

class VideoCaptureDevice : public UvcCapture {
public:
    bool open(int index) override { return capture.open(index, cv::CAP_ANY); }
    bool isOpened() const override { return capture.isOpened(); }
    void release() override { capture.release(); }
    bool set(int property, double value) override { return capture.set(property, value); }
    double get(int property) const override { return capture.get(property); }
    bool grab() override { return capture.grab(); }
    bool read(cv::Mat& frame) override { return capture.read(frame); }

private:
    cv::VideoCapture capture;
};

} // namespace

std::unique_ptr<UvcCapture> UvcCapture::createVideoCapture() {
    return std::make_unique<VideoCaptureDevice>();
}
