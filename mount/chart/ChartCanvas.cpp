#include "ChartCanvas.h"

#include "ChartProjection.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int textPixels = 14;
// The widest text the chart draws, to cull labels that cannot reach the picture.
constexpr double textReach = 400;

// A circle about (0, 0): rows of pixels from x0 to x1 inclusive.
struct Span {
    int y, x0, x1;
};

const std::vector<Span>& circleShape(int diameter, bool filled) {
    static std::map<std::pair<int, bool>, std::vector<Span>> shapes;
    static std::mutex lock;
    const std::lock_guard<std::mutex> guard(lock);
    std::vector<Span>& shape = shapes[{diameter, filled}];
    if (shape.empty()) {
        const int r = std::max(1, diameter / 2), side = 2 * r + 3;
        cv::Mat drawn(side, side, CV_8UC1, cv::Scalar(0));
        cv::circle(drawn, {r + 1, r + 1}, r, 255, filled ? cv::FILLED : 1, cv::LINE_8);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                if (!drawn.at<uchar>(y, x))
                    continue;
                int end = x;
                while (end + 1 < side && drawn.at<uchar>(y, end + 1))
                    ++end;
                shape.push_back({y - r - 1, x - r - 1, end - r - 1});
                x = end;
            }
    }
    return shape;
}

// A label's coverage (0..255) and where its baseline starts in it.
struct Label {
    cv::Mat coverage;
    cv::Point origin;
};

const Label& labelShape(const QString& text) {
    static QHash<QString, Label> labels;
    static std::mutex lock;
    const std::lock_guard<std::mutex> guard(lock);
    auto found = labels.find(text);
    if (found != labels.end())
        return *found;
    QFont font;
    font.setPixelSize(textPixels);
    const QFontMetrics metrics(font);
    const QRect bounds = metrics.boundingRect(text).adjusted(-1, -1, 1, 1);
    QImage drawn(std::max(1, bounds.width()), std::max(1, bounds.height()),
                 QImage::Format_Grayscale8);
    drawn.fill(0);
    {
        QPainter painter(&drawn);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPoint(-bounds.x(), -bounds.y()), text);
    }
    Label label;
    label.coverage = cv::Mat(drawn.height(), drawn.width(), CV_8UC1, drawn.bits(),
                             std::size_t(drawn.bytesPerLine()))
                         .clone();
    label.origin = {-bounds.x(), -bounds.y()};
    return *labels.insert(text, label);
}

} // namespace

ChartCanvas::ChartCanvas(cv::Mat& picture)
    : image(picture) {}

bool ChartCanvas::near(cv::Point2d point, double margin) const {
    return point.x > -margin && point.y > -margin && point.x < image.cols + margin &&
           point.y < image.rows + margin;
}

void ChartCanvas::line(cv::Point2d a, cv::Point2d b, const cv::Scalar& colour) {
    if (!clipToImage(a, b, image.size()))
        return;
    cv::line(image, cv::Point(cvRound(a.x), cvRound(a.y)), cv::Point(cvRound(b.x), cvRound(b.y)),
             colour, 1, cv::LINE_AA);
}

void ChartCanvas::rectangle(cv::Point2d topLeft, cv::Point2d bottomRight,
                            const cv::Scalar& colour) {
    if (!std::isfinite(topLeft.x) || !std::isfinite(topLeft.y) || !std::isfinite(bottomRight.x) ||
        !std::isfinite(bottomRight.y))
        return;
    // Edges beyond the picture are left out; those inside are cut to it. Written row by row:
    // far quicker than a general line for the few hundred pixels of a frame.
    const double reach = 4.0 * (image.cols + image.rows);
    const int left = cvRound(std::clamp(topLeft.x, -reach, reach));
    const int right = cvRound(std::clamp(bottomRight.x, -reach, reach));
    const int top = cvRound(std::clamp(topLeft.y, -reach, reach));
    const int bottom = cvRound(std::clamp(bottomRight.y, -reach, reach));
    const cv::Vec3b pen(cv::saturate_cast<uchar>(colour[0]), cv::saturate_cast<uchar>(colour[1]),
                        cv::saturate_cast<uchar>(colour[2]));
    const int x0 = std::max(left, 0), x1 = std::min(right, image.cols - 1);
    const int y0 = std::max(top, 0), y1 = std::min(bottom, image.rows - 1);
    for (const int y : {top, bottom}) {
        if (y < 0 || y >= image.rows)
            continue;
        cv::Vec3b* row = image.ptr<cv::Vec3b>(y);
        for (int x = x0; x <= x1; ++x)
            row[x] = pen;
    }
    for (const int x : {left, right})
        if (x >= 0 && x < image.cols)
            for (int y = y0; y <= y1; ++y)
                image.at<cv::Vec3b>(y, x) = pen;
}

void ChartCanvas::circle(cv::Point2d centre, int diameter, const cv::Scalar& colour, bool filled) {
    if (!near(centre, diameter))
        return;
    const cv::Vec3b pen(cv::saturate_cast<uchar>(colour[0]), cv::saturate_cast<uchar>(colour[1]),
                        cv::saturate_cast<uchar>(colour[2]));
    const int cx = cvRound(centre.x), cy = cvRound(centre.y);
    for (const Span& span : circleShape(diameter, filled)) {
        const int y = cy + span.y;
        const int x0 = std::max(0, cx + span.x0), x1 = std::min(image.cols - 1, cx + span.x1);
        if (y < 0 || y >= image.rows || x0 > x1)
            continue;
        cv::Vec3b* row = image.ptr<cv::Vec3b>(y);
        std::fill(row + x0, row + x1 + 1, pen);
    }
}

void ChartCanvas::sprite(const cv::Mat& sprite, cv::Point2d centre) {
    if (sprite.empty() || !near(centre, sprite.cols))
        return;
    const int left = cvRound(centre.x) - sprite.cols / 2, top = cvRound(centre.y) - sprite.rows / 2;
    const int x0 = std::max(0, -left), x1 = std::min(sprite.cols, image.cols - left);
    const int y0 = std::max(0, -top), y1 = std::min(sprite.rows, image.rows - top);
    for (int y = y0; y < y1; ++y) {
        const cv::Vec3b* from = sprite.ptr<cv::Vec3b>(y);
        cv::Vec3b* to = image.ptr<cv::Vec3b>(top + y) + left;
        for (int x = x0; x < x1; ++x) {
            const cv::Vec3b& p = from[x]; // blue, green, red
            if (p[2] > 5 && p[1] > 5 && p[0] > 20)
                to[x] = p;
        }
    }
}

void ChartCanvas::text(cv::Point2d at, const QString& text, const cv::Scalar& colour) {
    if (text.isEmpty() || !near(at, textReach))
        return;
    const Label& label = labelShape(text);
    const int left = cvRound(at.x) - label.origin.x, top = cvRound(at.y) - label.origin.y;
    const cv::Mat& coverage = label.coverage;
    const int x0 = std::max(0, -left), x1 = std::min(coverage.cols, image.cols - left);
    const int y0 = std::max(0, -top), y1 = std::min(coverage.rows, image.rows - top);
    for (int y = y0; y < y1; ++y) {
        const uchar* alpha = coverage.ptr<uchar>(y);
        cv::Vec3b* to = image.ptr<cv::Vec3b>(top + y) + left;
        for (int x = x0; x < x1; ++x) {
            const int a = alpha[x];
            if (a == 0)
                continue;
            for (int c = 0; c < 3; ++c)
                to[x][c] = uchar((to[x][c] * (255 - a) + int(colour[c]) * a + 127) / 255);
        }
    }
}
