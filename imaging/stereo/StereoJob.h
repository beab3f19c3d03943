#pragma once

#include "AsideWork.h"
#include "ShootingData.h"
#include "StereoCompose.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <opencv2/core.hpp>

// What the 3D conversion does once StarNet++ has ended, on a thread of its own so that the
// program goes on meanwhile: the starless picture and the source read at 8 bits, the stereo
// picture composed from them and written as a 16-bit file. The composition can be stopped.
class StereoJob {
public:
    struct Input {
        QString source; // Windows paths
        QString output;
        int rotation = 0;  // the main view's quarter turns, as the source went to StarNet++
        cv::Size size;     // of the turned source, which the starless picture must have
        ShootingData data; // the source's, for the output
        StereoCompose::Options options;
        std::uint32_t seed = 0; // of the random depths
    };
    enum class Outcome { Running, Written, Stopped, Failed };

    explicit StereoJob(const Input& input);
    ~StereoJob(); // stops the composition and waits for it
    StereoJob(const StereoJob&) = delete;
    StereoJob& operator=(const StereoJob&) = delete;

    void stop() { stopRequested = true; }
    Outcome outcome() const { return worker.done() ? ended : Outcome::Running; }
    // Stars composed so far, of the blobs found; 0 of 0 until the composition begins.
    int done() const { return doneCount; }
    int total() const { return blobCount; }

private:
    Outcome run(const Input& input);

    std::atomic<bool> stopRequested{false};
    std::atomic<int> doneCount{0};
    std::atomic<int> blobCount{0};
    Outcome ended = Outcome::Running; // read once the work is done
    AsideWork worker;
};
