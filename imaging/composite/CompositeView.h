#pragma once

#include "Retouch.h"

#include <QString>
#include <QStringList>
#include <opencv2/core.hpp>

// What the running composite shows of itself and reads back: the composite window, or a
// recorder in tests.
class CompositeView {
public:
    virtual ~CompositeView() = default;

    // The base's name and the number of frames in the composite.
    virtual void showComposite(const QString& baseName, int frameCount) = 0;
    // The composite itself: 16 bits, one channel (mono) or blue-green-red.
    virtual void showImage(const cv::Mat& composite) = 0;

    // The report: one line per event ("新規:…", "追加:…", "マッチせず1:…", "ガイドエラー:…",
    // "削除:…"), newest last.
    virtual void appendReport(const QString& line) = 0;
    virtual void setReport(const QStringList& lines) = 0;
    virtual QStringList report() const = 0;

    // The colour balance and tone curve the processed copy of a saved composite gets.
    virtual RetouchValues retouch() const = 0;
    // Frames were stacked since the last save (true), or it was saved (false).
    virtual void setUnsaved(bool unsaved) = 0;
};
