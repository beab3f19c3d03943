#include "StarCatalog.h"

#include "CatalogLine.h"
#include "DebugLog.h"
#include "HostPath.h"
#include "KeyValueText.h"

#include <QFile>
#include <functional>

namespace {

// Lines are read into buffers of these sizes; a longer line arrives in pieces.
constexpr int shortLine = 49;
constexpr int nameLine = 79;
constexpr int listLine = 99;

// Beyond this a catalogue file is not ours; the rest of it is left unread.
constexpr int maxEntries = 2000000;

using LineReader = std::function<void(const QByteArray& line)>;

// Calls `read` for every line of the file; false when the file does not open.
bool forEachLine(const QString& programFolder, const char* fileName, int bufferSize,
                 const LineReader& read) {
    QFile file(HostPath::toHost(programFolder + '\\' + fileName));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray line;
    for (int n = 0; n < maxEntries && KeyValueText::readPiece(file, &line, bufferSize); ++n)
        read(line);
    return true;
}

bool readStars(const QString& folder, StarCatalog& catalog) {
    return forEachLine(folder, "starData2.txt", shortLine, [&](const QByteArray& text) {
        CatalogLine line(text);
        CatalogStar star;
        if (!line.integer(&star.hip) || !line.real(&star.ra) || !line.real(&star.dec) ||
            !line.real(&star.vmag) || !line.real(&star.bvCol))
            return;
        if (star.bvCol != StarCatalog::noColourIndex && (star.bvCol >= 2.0 || star.bvCol <= -1.0))
            debugLog("[%d] hip=%d ra=%.2f dec=%.2f vmag=%.2f bvCol=%.3f", catalog.stars.size(),
                     star.hip, star.ra, star.dec, star.vmag, star.bvCol);
        catalog.stars.append(star);
    });
}

bool readConstellationLines(const QString& folder, StarCatalog& catalog) {
    return forEachLine(folder, "hipConsteLineData.txt", shortLine, [&](const QByteArray& text) {
        CatalogLine line(text);
        ConstellationLine segment;
        if (!line.real(&segment.ra1) || !line.real(&segment.dec1) || !line.real(&segment.ra2) ||
            !line.real(&segment.dec2))
            return;
        if ((segment.ra1 == 0 && segment.ra2 == 0) || (segment.dec1 == 0 && segment.dec2 == 0))
            return;
        catalog.constellationLines.append(segment);
    });
}

bool readConstellationNames(const QString& folder, StarCatalog& catalog) {
    return forEachLine(folder, "consteNamePosData.txt", nameLine, [&](const QByteArray& text) {
        CatalogLine line(text);
        ConstellationName name;
        name.present = line.real(&name.ra) && line.real(&name.dec);
        if (!name.present)
            return;
        name.name = QString::fromUtf8(line.upTo(','));
        name.secondName = QString::fromLatin1(line.lettersAndSpaces());
        catalog.constellationNames.append(name);
    });
}

bool readStarNames(const QString& folder, StarCatalog& catalog) {
    return forEachLine(folder, "hipNameData.txt", nameLine, [&](const QByteArray& text) {
        CatalogLine line(text);
        StarName star;
        if (!line.integer(&star.hip))
            return;
        star.name = QString::fromUtf8(line.rest());
        catalog.starNames.append(star);
    });
}

bool readPositions(const QString& folder, const char* fileName, int bufferSize,
                   QVector<SkyPosition>& positions) {
    return forEachLine(folder, fileName, bufferSize, [&](const QByteArray& text) {
        CatalogLine line(text);
        SkyPosition position;
        if (line.real(&position.ra) && line.real(&position.dec))
            positions.append(position);
    });
}

// Line n holds object n; a line without both numbers leaves the object absent.
bool readNumbered(const QString& folder, const char* fileName, int count,
                  QVector<CatalogObject>& objects) {
    objects.fill(CatalogObject{}, count);
    int n = 0;
    return forEachLine(folder, fileName, shortLine, [&](const QByteArray& text) {
        if (n >= count)
            return;
        CatalogLine line(text);
        CatalogObject& object = objects[n++];
        object.present = line.real(&object.ra) && line.real(&object.dec);
        if (!object.present)
            object = CatalogObject{};
    });
}

bool readMilkyWay(const QString& folder, StarCatalog& catalog) {
    return forEachLine(folder, "milkyway.txt", shortLine, [&](const QByteArray& text) {
        CatalogLine line(text);
        MilkyWayPoint point;
        double hours = 0;
        if (!line.real(&hours) || !line.real(&point.dec) || !line.integer(&point.level))
            return;
        point.ra = hours * 15;
        catalog.milkyWay.append(point);
    });
}

// A list of numbers ended by 0; a missing file leaves the list empty.
void readNumberList(const QString& folder, const char* fileName, QVector<int>& numbers) {
    bool ended = false;
    forEachLine(folder, fileName, listLine, [&](const QByteArray& text) {
        int number = 0;
        if (ended || !CatalogLine(text).integer(&number))
            return;
        if (number == 0)
            ended = true;
        else
            numbers.append(number);
    });
}

QString spriteFileName(int row, int column) {
    static const char* const colours[] = {"red", "orange", "yellow", "white", "cyan", "blue"};
    const bool withPix = column == StarCatalog::Red || column == StarCatalog::White;
    return QString("%1%2%3.jpg")
        .arg(colours[column])
        .arg(StarCatalog::spriteSizes[row])
        .arg(withPix ? "pix" : "");
}

void readSprites(const QString& folder, StarCatalog& catalog) {
    for (int row = 0; row < StarCatalog::spriteRows; ++row) {
        for (int column = 0; column < StarCatalog::spriteColumns; ++column) {
            const QString path = folder + "\\StarImage\\" + spriteFileName(row, column);
            QImage sprite(HostPath::toHost(path));
            if (sprite.isNull()) {
                debugLog("file read error %s", qPrintable(path));
                continue;
            }
            catalog.sprites[row][column] = sprite.convertToFormat(QImage::Format_RGB32);
        }
    }
}

struct CatalogueFile {
    const char* failure;
    std::function<bool(const QString&, StarCatalog&)> read;
};

} // namespace

bool StarCatalog::isFamousName(const QString& name) {
    const QByteArray bytes = name.toUtf8();
    if (bytes.isEmpty())
        return false;
    const char first = bytes.at(0);
    return !((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z'));
}

const CatalogObject* StarCatalog::object(const QVector<CatalogObject>& list, int n) {
    if (n < 1 || n > list.size() || !list.at(n - 1).present)
        return nullptr;
    return &list.at(n - 1);
}

StarCatalog loadCatalogs(const QString& programFolder) {
    using S = StarCatalog;
    const CatalogueFile files[] = {
        {"file open error 1", readStars},
        {"file open error 1-10", readConstellationLines},
        {"file open error 3", readConstellationNames},
        {"file open error 4", readStarNames},
        {"file open error 4r",
         [](const QString& f, S& c) {
             return readPositions(f, "hipStarNameData.txt", nameLine, c.starNamePositions);
         }},
        {"file open error 5",
         [](const QString& f, S& c) {
             return readNumbered(f, "messierData.txt", S::messierCount, c.messier);
         }},
        {"file open error 6",
         [](const QString& f, S& c) { return readNumbered(f, "ngcData.txt", S::ngcCount, c.ngc); }},
        {"file open error 7",
         [](const QString& f, S& c) { return readNumbered(f, "icData.txt", S::icCount, c.ic); }},
        {"file open error 7", readMilkyWay},
    };

    StarCatalog catalog;
    catalog.stars.reserve(90000);
    catalog.milkyWay.reserve(130000);
    for (const CatalogueFile& file : files) {
        if (!file.read(programFolder, catalog)) {
            debugLog("%s", file.failure);
            return catalog;
        }
    }
    readNumberList(programFolder, "ngcLib.txt", catalog.ngcLib);
    readNumberList(programFolder, "icLib.txt.txt", catalog.icLib);
    readSprites(programFolder, catalog);
    return catalog;
}
