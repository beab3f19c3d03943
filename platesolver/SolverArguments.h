#pragma once

#include <QString>
#include <QStringList>

// The command line the main program writes into its command file:
//   /solvefile <image> <result> <focal mm> <pixel um> <ra deg> <dec deg> <radius deg>
struct SolverArguments {
    bool valid = false;
    QString imagePath;
    // Set whenever the line begins with /solvefile and names a result file, even when the rest
    // is wrong, so that the failure can be reported there.
    QString resultPath;
    int focalMm = 0;
    double pixelUm = 0;
    double ra = 0; // degrees
    double dec = 0;
    double radiusDeg = 0;

    // The arguments after the program's name.
    static SolverArguments parse(const QStringList& arguments);

    // Arcseconds per pixel that the focal length and the pixel size give.
    double expectedScale() const;
};
