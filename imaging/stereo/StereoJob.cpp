#include "StereoJob.h"

#include "StarlessRun.h"
#include "StereoSource.h"
#include "TiffFile.h"

#include <random>

StereoJob::StereoJob(const Input& input)
    : worker([this, input] { ended = run(input); }) {}

StereoJob::~StereoJob() {
    stop();
}

StereoJob::Outcome StereoJob::run(const Input& input) {
    const cv::Mat starless = StarlessRun::result(input.size);
    if (starless.empty())
        return Outcome::Failed;
    const cv::Mat source = StereoSource::read(input.source, 8, input.rotation);
    if (source.size() != input.size)
        return Outcome::Failed; // the reader has said why
    std::mt19937 random(input.seed);
    const cv::Mat stereo = StereoCompose::compose(source, starless, input.options, random,
                                                  [this](int done, int total) {
                                                      doneCount = done;
                                                      blobCount = total;
                                                      return !stopRequested;
                                                  });
    if (stereo.empty())
        return stopRequested ? Outcome::Stopped : Outcome::Failed;
    cv::Mat samples;
    stereo.convertTo(samples, CV_16U, 257);
    ShootingData data = input.data;
    // Three channels of colour, whatever the source was.
    if (data.model.isEmpty())
        data.model = "C";
    data.model[0] = 'C';
    return writeTiff(input.output, samples, data) == 1 ? Outcome::Written : Outcome::Failed;
}
