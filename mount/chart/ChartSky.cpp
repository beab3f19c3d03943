#include "ChartSky.h"

#include "StarCatalog.h"

#include <algorithm>

namespace {

void addObjects(std::vector<ChartSky::Object>& objects, const QVector<CatalogObject>& list,
                ChartSky::Kind kind, const QVector<int>& famous) {
    for (int i = 0; i < list.size(); ++i) {
        const CatalogObject& object = list.at(i);
        if (!object.present)
            continue;
        objects.push_back({SkyVector::of(object.ra, object.dec), object.ra, object.dec, kind, i + 1,
                           famous.contains(i + 1)});
    }
}

} // namespace

ChartSky::ChartSky(const StarCatalog& catalog) {
    stars.reserve(std::size_t(catalog.stars.size()));
    for (const CatalogStar& star : catalog.stars)
        stars.push_back({SkyVector::of(star.ra, star.dec), star.ra, star.dec, float(star.vmag),
                         colourColumn(star.bvCol)});
    std::stable_sort(stars.begin(), stars.end(),
                     [](const Star& a, const Star& b) { return a.vmag < b.vmag; });

    for (const ConstellationLine& line : catalog.constellationLines)
        lines.push_back({SkyVector::of(line.ra1, line.dec1), SkyVector::of(line.ra2, line.dec2)});
    for (const ConstellationName& name : catalog.constellationNames)
        constellationNames.push_back({SkyVector::of(name.ra, name.dec), name.name, true});
    const int named = std::min(catalog.starNames.size(), catalog.starNamePositions.size());
    for (int i = 0; i < named; ++i) {
        const SkyPosition& at = catalog.starNamePositions.at(i);
        const QString& name = catalog.starNames.at(i).name;
        starNames.push_back({SkyVector::of(at.ra, at.dec), name, StarCatalog::isFamousName(name)});
    }

    addObjects(objects, catalog.messier, Kind::Messier, {});
    addObjects(objects, catalog.ngc, Kind::Ngc, catalog.ngcLib);
    addObjects(objects, catalog.ic, Kind::Ic, catalog.icLib);

    for (const MilkyWayPoint& point : catalog.milkyWay) {
        const int g = point.level / 2;
        if (g > 5)
            milkyWay.push_back({SkyVector::of(point.ra, point.dec), std::min(g, 255)});
    }

    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 6; ++column) {
            const QImage image =
                catalog.sprites[row][column].convertToFormat(QImage::Format_BGR888);
            if (!image.isNull())
                sprites[row][column] = cv::Mat(image.height(), image.width(), CV_8UC3,
                                               const_cast<uchar*>(image.constBits()),
                                               std::size_t(image.bytesPerLine()))
                                           .clone();
        }
}

int ChartSky::starsUpTo(double vmag) const {
    return int(std::upper_bound(stars.begin(), stars.end(), vmag,
                                [](double limit, const Star& star) { return limit < star.vmag; }) -
               stars.begin());
}

int ChartSky::colourColumn(double bvCol) {
    if (bvCol == StarCatalog::noColourIndex)
        return StarCatalog::White;
    if (bvCol > 1.3)
        return StarCatalog::Red;
    if (bvCol > 0.8)
        return StarCatalog::Orange;
    if (bvCol > 0.5)
        return StarCatalog::Yellow;
    if (bvCol > -0.1)
        return StarCatalog::Cyan;
    return StarCatalog::Blue;
}
