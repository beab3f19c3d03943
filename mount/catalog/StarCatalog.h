#pragma once

#include <QImage>
#include <QString>
#include <QVector>

// Angles are degrees: right ascension 0..360, declination -90..+90.

struct CatalogStar {
    int hip = 0;
    double ra = 0;
    double dec = 0;
    double vmag = 0;
    double bvCol = 0; // noColourIndex when the star has none
};

struct ConstellationLine {
    double ra1 = 0, ra2 = 0, dec1 = 0, dec2 = 0;
};

struct ConstellationName {
    QString name; // the display name
    double ra = 0;
    double dec = 0;
    bool present = false;
    QString secondName; // the Latin name
};

struct StarName {
    int hip = 0;
    QString name;
};

struct SkyPosition {
    double ra = 0;
    double dec = 0;
};

struct CatalogObject {
    double ra = 0;
    double dec = 0;
    bool present = false;
};

struct MilkyWayPoint {
    double ra = 0;
    double dec = 0;
    int level = 0;
};

// The sky catalogues shipped beside the program, read once at start-up and only read after.
struct StarCatalog {
    static constexpr double noColourIndex = -1000;
    static constexpr int messierCount = 110;
    static constexpr int ngcCount = 7840;
    static constexpr int icCount = 5386;

    // Star sprites: rows by size, columns by colour.
    static constexpr int spriteRows = 8;
    static constexpr int spriteColumns = 6;
    static constexpr int spriteSizes[spriteRows] = {36, 28, 20, 16, 12, 8, 6, 4};
    enum SpriteColour { Red, Orange, Yellow, White, Cyan, Blue };

    QVector<CatalogStar> stars;
    QVector<ConstellationLine> constellationLines;
    QVector<ConstellationName> constellationNames;
    QVector<StarName> starNames; // same order as starNamePositions
    QVector<SkyPosition> starNamePositions;
    QVector<CatalogObject> messier; // index n - 1 holds M n
    QVector<CatalogObject> ngc;     // index n - 1 holds NGC n
    QVector<CatalogObject> ic;      // index n - 1 holds IC n
    QVector<MilkyWayPoint> milkyWay;
    QVector<int> ngcLib; // well-known NGC numbers, without the closing 0
    QVector<int> icLib;
    QImage sprites[spriteRows][spriteColumns];

    // The object of number n, or null when n is outside the catalogue or the object absent.
    const CatalogObject* messierObject(int n) const { return object(messier, n); }
    const CatalogObject* ngcObject(int n) const { return object(ngc, n); }
    const CatalogObject* icObject(int n) const { return object(ic, n); }

    // Well-known stars carry a name whose first byte is not an ASCII letter (a Japanese one).
    static bool isFamousName(const QString& name);

private:
    static const CatalogObject* object(const QVector<CatalogObject>& list, int n);
};

// Reads every catalogue file and the star sprites from the program folder. A missing
// catalogue among the first nine stops the loading there (it is logged); what was read
// before it stays.
StarCatalog loadCatalogs(const QString& programFolder);
