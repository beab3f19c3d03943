#pragma once

#include <QString>
#include <vector>

struct StarCatalog;

// A nebula or galaxy of the simulated sky: extended light of a catalogue size and brightness.
struct SimDeepSkyObject {
    enum Light { Emission, Reflection, Galaxy };
    double ra = 0; // degrees
    double dec = 0;
    double magnitude = 0; // of all its light
    double majorArcmin = 0;
    double minorArcmin = 0;
    double positionAngleDeg = 0; // of the major axis, from north through east
    Light light = Galaxy;
};

// The Messier, NGC and IC objects of the shipped catalogues that deepSkyData.txt in the program
// folder gives a size and a magnitude, at the catalogues' positions. The file gives no position
// angles: each object gets a fixed one from its number, so that galaxies do not all line up.
// Empty when the file is missing.
std::vector<SimDeepSkyObject> loadDeepSky(const QString& programFolder, const StarCatalog& catalog);
