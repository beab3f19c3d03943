#pragma once

#include "ChildProcess.h"

#include <QString>
#include <opencv2/core.hpp>

// One run of StarNet++, the outside program that takes the stars out of a picture: the
// picture handed over in its folder, the command file that runs it there without holding up
// the program, and the starless picture it leaves beside it.
class StarlessRun {
public:
    static const QString folder;
    static const QString program;
    static const QString commandFile;
    static const QString original; // the picture handed over
    static const QString starless; // the picture StarNet++ writes

    // Whether StarNet++ is installed, as the command file will find it.
    static bool installed();

    // Writes the picture (16-bit blue, green, red) and the command file, the last run's
    // pictures deleted first so that nothing of it is taken for this one. False, with
    // "file open error make3d" logged, when a file cannot be written. Any thread may do it.
    static bool prepare(const cv::Mat& picture);
    // Runs the command file without waiting for it.
    void start();
    bool running();
    // Ends StarNet++ and whatever it started, nothing else.
    void abort();

    // The starless picture, 8-bit blue, green, red, once the run has ended; empty, with
    // "bak-file read error" logged, when it is missing, unreadable or not of `size`.
    static cv::Mat result(cv::Size size);

private:
    ChildProcess process;
};
