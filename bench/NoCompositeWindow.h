#pragma once

#include "CompositeView.h"

#include <QStringList>

// The composite without its window: the report kept, everything shown dropped.
struct NoCompositeWindow : CompositeView {
    QStringList lines;
    void showComposite(const QString&, int) override {}
    void showImage(const cv::Mat&) override {}
    void appendReport(const QString& line) override { lines << line; }
    void setReport(const QStringList& report) override { lines = report; }
    QStringList report() const override { return lines; }
    RetouchValues retouch() const override { return {}; }
    void setUnsaved(bool) override {}
};
