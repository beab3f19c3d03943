#include "GuideGraph.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

GuideGraph::GuideGraph(QSize size) {
    reset(size);
}

void GuideGraph::reset(QSize size) {
    picture = QImage(size.expandedTo(QSize(2, 2)), QImage::Format_RGB32);
    picture.fill(Qt::black);
    clearHalf(true);
    clearHalf(false);
    col = 0;
    wrapped = false;
}

void GuideGraph::clearHalf(bool left) {
    const int w = picture.width();
    const int h = picture.height();
    const int from = left ? 0 : w / 2;
    const int to = left ? w / 2 : w;
    QPainter p(&picture);
    p.fillRect(from, 0, to - from, h, Qt::black);
    p.setPen(Qt::white);
    p.drawLine(from, h / 2, to - 1, h / 2);
    if (left)
        p.drawLine(0, 0, 0, h - 1);
}

int GuideGraph::rowOf(double v, int scale) const {
    const int h = picture.height();
    return std::clamp(h / 2 - int(std::trunc(v * scale)), 0, h - 2);
}

void GuideGraph::plot(double vx, double vy, int scale, bool swapColours) {
    const int x = rowOf(vx, scale);
    const int y = rowOf(vy, scale);
    {
        QPainter p(&picture);
        const QColor xColour = swapColours ? Qt::green : Qt::red;
        const QColor yColour = swapColours ? Qt::red : Qt::green;
        if (col == 0) {
            p.setPen(xColour);
            p.drawPoint(0, x);
            p.setPen(yColour);
            p.drawPoint(0, y);
        } else {
            p.setPen(xColour);
            p.drawLine(col - 1, previousX, col, x);
            p.setPen(yColour);
            p.drawLine(col - 1, previousY, col, y);
        }
    }
    previousX = x;
    previousY = y;
    ++col;
    const int w = picture.width();
    if (col >= w) {
        clearHalf(true);
        col = 0;
        wrapped = true;
    } else if (wrapped && col == w / 2 - 10) {
        clearHalf(false);
    }
}
