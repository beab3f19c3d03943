#pragma once

#include "ChartSky.h"

#include <QString>
#include <vector>

// What the last drawing put on the chart where a finger can pick it: stars, Messier, NGC and
// IC objects, at most `capacity`; further ones are drawn but cannot be picked.
class ChartHits {
public:
    static constexpr int capacity = 10000;

    struct Hit {
        ChartSky::Kind kind;
        int x, y;
        double ra, dec;
        int number;
    };
    // A row of the choice under a finger.
    struct Choice {
        QString text; // "M42", "NGC1976", "IC434", "星"
        double ra, dec;
    };
    static constexpr int maxChoices = 100;

    void clear() { hits.clear(); }
    void add(const Hit& hit);
    int size() const { return int(hits.size()); }

    // The objects within 20 pixels of the point, the nearest first, at most maxChoices: every
    // numbered object, and of the stars only the nearest.
    std::vector<Choice> choicesAt(int x, int y) const;

private:
    std::vector<Hit> hits;
};
