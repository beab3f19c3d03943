// Draws the example pictures of the 3D dialog, one per output format: a small star field
// as two views side by side, as two halves squeezed into one width, and as a red/cyan
// anaglyph. Brighter stars stand nearer, so they lie further apart between the views.
// Usage: make_stereo_pictures <data folder>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <QVector>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

constexpr int pictureWidth = 160, pictureHeight = 90;
constexpr double nearestShift = 4.0; // pixels of a full-size view, each way

struct Star {
    QPointF position;  // in a 1 x 1 field
    double brightness; // 0..1; also the nearness
};

// A fixed field: the generator's raw numbers are the same on every platform, unlike its
// distributions.
QVector<Star> starField() {
    std::mt19937 random(11);
    const auto unit = [&random] { return (random() % 100000) / 100000.0; };
    QVector<Star> stars;
    for (int i = 0; i < 45; ++i) {
        const double x = 0.04 + 0.92 * unit(), y = 0.06 + 0.88 * unit();
        stars.append({QPointF(x, y), std::pow(unit(), 2.5)});
    }
    return stars;
}

const QColor skyColour(6, 8, 22);

// The starless sky of a view: night blue with a glow of nebulosity, which stays in place.
void drawSky(QPainter& p, const QRectF& view, const QColor& nebula) {
    p.fillRect(view, skyColour);
    p.save();
    p.translate(view.topLeft());
    p.scale(view.width(), view.height()); // the glow is laid out in the 1 x 1 field
    QRadialGradient glow(QPointF(0.62, 0.45), 0.3);
    glow.setColorAt(0, nebula);
    glow.setColorAt(1, Qt::transparent);
    p.fillRect(QRectF(0, 0, 1, 1), glow);
    p.restore();
}

// The stars of one view: `side` +1 for the left view, -1 for the right; `squeeze` the
// horizontal scale of a half-width view.
void drawStars(QPainter& p, const QRectF& view, const QVector<Star>& stars, int side,
               const QColor& colour, double squeeze) {
    const double scale = view.height() / pictureHeight;
    for (const Star& star : stars) {
        // Stars shrink less than their view, so that the small views still show them.
        const double radius = (0.7 + 2.0 * star.brightness) * std::sqrt(scale);
        const QPointF centre(view.left() + star.position.x() * view.width() +
                                 side * nearestShift * star.brightness * scale * squeeze,
                             view.top() + star.position.y() * view.height());
        QRadialGradient light(centre, radius);
        light.setColorAt(0, colour);
        light.setColorAt(0.45, colour);
        light.setColorAt(1, Qt::transparent);
        p.setPen(Qt::NoPen);
        p.setBrush(light);
        p.save();
        p.translate(centre);
        p.scale(squeeze, 1.0);
        p.translate(-centre);
        p.drawEllipse(centre, radius, radius);
        p.restore();
    }
}

const QColor nebulaColour(150, 60, 110, 150);
const QColor frameColour(140, 150, 170);

void drawView(QPainter& p, const QRectF& view, const QVector<Star>& stars, int side,
              double squeeze) {
    p.save();
    p.setClipRect(view);
    drawSky(p, view, nebulaColour);
    drawStars(p, view, stars, side, Qt::white, squeeze);
    p.restore();
}

// Two full views side by side: a picture twice as wide as the field.
QImage sideBySide(const QVector<Star>& stars) {
    QImage picture(pictureWidth, pictureHeight, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const double viewWidth = pictureWidth / 2.0, viewHeight = viewWidth * 9 / 16;
    const double top = (pictureHeight - viewHeight) / 2;
    for (int side : {+1, -1}) {
        const QRectF view(side > 0 ? 0 : viewWidth, top, viewWidth, viewHeight);
        drawView(p, view, stars, side, 1.0);
        p.setPen(QPen(frameColour, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(view.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    return picture;
}

// Two views each squeezed to half the width: the picture keeps the field's size.
QImage halfSideBySide(const QVector<Star>& stars) {
    QImage picture(pictureWidth, pictureHeight, QImage::Format_RGB32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const double halfWidth = pictureWidth / 2.0;
    for (int side : {+1, -1}) {
        const QRectF view(side > 0 ? 0 : halfWidth, 0, halfWidth, pictureHeight);
        drawView(p, view, stars, side, 0.5);
        p.setPen(QPen(frameColour, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(view.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    return picture;
}

// One picture: the left view in red, the right in cyan; where they meet the star is white.
QImage anaglyph(const QVector<Star>& stars) {
    QImage picture(pictureWidth, pictureHeight, QImage::Format_RGB32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF view(0, 0, pictureWidth, pictureHeight);
    drawSky(p, view, QColor(110, 100, 110, 150));
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    drawStars(p, view, stars, +1, QColor(255, 0, 0), 1.0);
    drawStars(p, view, stars, -1, QColor(0, 255, 255), 1.0);
    return picture;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_stereo_pictures <data folder>\n");
        return 2;
    }
    const QString folder = QDir(argv[1]).absolutePath() + "/PNG";
    QDir().mkpath(folder);
    const QVector<Star> stars = starField();
    const struct {
        const char* name;
        QImage picture;
    } pictures[] = {{"make3d_sbs.png", sideBySide(stars)},
                    {"make3d_hsbs.png", halfSideBySide(stars)},
                    {"make3d_ana.png", anaglyph(stars)}};
    for (const auto& entry : pictures) {
        const QString name = folder + "/" + entry.name;
        if (!entry.picture.save(name, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
