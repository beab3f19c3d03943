// Draws the icons of the main window's rotate button: a white curved arrow on transparent,
// turned one quarter further for each of the four display rotations.
// Usage: make_button_icons <data folder>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int iconSize = 48;

QImage rotateIcon(int quarterTurns) {
    QImage icon(iconSize, iconSize, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(iconSize / 2.0, iconSize / 2.0);
    p.rotate(90.0 * quarterTurns);
    const double radius = 15;
    // Three quarters of a circle, clockwise from the left to the top, then the head.
    p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-radius, -radius, 2 * radius, 2 * radius), 180 * 16, -270 * 16);
    QPainterPath head;
    head.moveTo(0, -radius - 8);
    head.lineTo(9, -radius);
    head.lineTo(0, -radius + 8);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(head);
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_button_icons <data folder>\n");
        return 2;
    }
    const QString folder = QDir(argv[1]).absolutePath() + "/PNG";
    QDir().mkpath(folder);
    for (int turns = 0; turns < 4; ++turns) {
        const QString name = folder + QString("/rotate%1.png").arg(turns + 1);
        if (!rotateIcon(turns).save(name, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
