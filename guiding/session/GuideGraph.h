#pragma once

#include <QImage>
#include <QSize>

// The strip chart of the guide error: one column per plotted pair, the x value in red and the
// y value in green (or the other way round), on black with a white left edge and centre line.
// At the right edge it restarts at the left, clearing the left half first; after that the right
// half is cleared when the column comes within 10 of the middle, so there is always a gap ahead
// of the newest column.
class GuideGraph {
public:
    // Scales: pixels of the graph per pixel of error.
    static constexpr int calibrationScale = 3;
    static constexpr int guidingScale = 16;

    explicit GuideGraph(QSize size = QSize(1, 1));

    // An empty graph of the given size.
    void reset(QSize size);
    // Draws one column: y = H/2 - trunc(v x scale), kept within 0..H-2, joined to the previous
    // column's point. `swapColours` draws vx green and vy red.
    void plot(double vx, double vy, int scale, bool swapColours);

    const QImage& image() const { return picture; }
    int column() const { return col; }

private:
    void clearHalf(bool left);
    int rowOf(double v, int scale) const;

    QImage picture;
    int col = 0;
    int previousX = 0;
    int previousY = 0;
    bool wrapped = false;
};
