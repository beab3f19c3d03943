// Renders the star sprites and the recommended-object lists with their pictures.
// Usage: make_sky_pictures <data folder>
#include "JpegFile.h"
#include "ShowpieceList.h"
#include "StarCatalog.h"
#include "StarSprite.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

namespace {

struct SpriteColour {
    const char* fileStem;
    QColor colour;
};

// Column order of the sprite table; white and red carry "pix" in their names.
const SpriteColour spriteColours[] = {
    {"redpix", QColor(255, 110, 90)},  {"orange", QColor(255, 180, 110)},
    {"yellow", QColor(255, 240, 160)}, {"whitepix", QColor(255, 255, 255)},
    {"cyan", QColor(170, 235, 255)},   {"blue", QColor(140, 170, 255)},
};

bool writeSprites(const QString& folder) {
    QDir().mkpath(folder);
    for (const SpriteColour& c : spriteColours) {
        for (int size : StarCatalog::spriteSizes) {
            QString stem = c.fileStem;
            const bool withPix = stem.endsWith("pix");
            if (withPix)
                stem.chop(3);
            const QString name =
                QString("%1%2%3.jpg").arg(stem).arg(size).arg(withPix ? "pix" : "");
            if (!writeFullChromaJpeg(renderStarSprite(size, c.colour), folder + '/' + name, 95))
                return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sky_pictures <data folder>\n");
        return 2;
    }
    const QString data = QDir(argv[1]).absolutePath();
    if (!writeSprites(data + "/StarImage"))
        return 1;
    const StarCatalog catalog = loadCatalogs(data);
    QDir().mkpath(data + "/PNG");
    for (const ShowpieceList& list : showpieceLists()) {
        if (!writeShowpieceList(list, catalog, data + "/PNG"))
            return 1;
    }
    return 0;
}
