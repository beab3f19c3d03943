#pragma once

#include "ChartProjection.h"

#include <QString>
#include <opencv2/core/mat.hpp>
#include <vector>

struct StarCatalog;

// The catalogues as the chart draws them: every entry with its unit vector worked out once,
// so that a redraw culls by a dot product before any trigonometry. Stars are sorted by
// magnitude, so the stars of a zoom level are a prefix; absent objects are left out.
class ChartSky {
public:
    explicit ChartSky(const StarCatalog& catalog);

    struct Star {
        SkyVector at;
        double ra, dec;
        float vmag;
        int colour; // sprite column
    };
    struct Line {
        SkyVector from, to;
    };
    struct Label {
        SkyVector at;
        QString text;
        bool famous; // star names: a name that is not in Latin letters
    };
    enum class Kind { Star = 0, Messier = 1, Ic = 2, Ngc = 3 };
    struct Object {
        SkyVector at;
        double ra, dec;
        Kind kind;
        int number;
        bool famous; // in the list of well-known objects
    };
    struct Glow {
        SkyVector at;
        int brightness; // 6..255
    };

    std::vector<Star> stars;
    std::vector<Line> lines;
    std::vector<Label> constellationNames;
    std::vector<Label> starNames;
    std::vector<Object> objects; // Messier, then NGC, then IC
    std::vector<Glow> milkyWay;
    // Sprites in blue, green, red order: rows by size, columns by colour; empty when unread.
    cv::Mat sprites[8][6];

    // How many stars are at or brighter than the magnitude.
    int starsUpTo(double vmag) const;
    // The sprite column of a colour index.
    static int colourColumn(double bvCol);
};
