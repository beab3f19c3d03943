#pragma once

#include <QString>

// The settings of the polar-alignment program, kept in "C:\OrlentVesperixIni\Axilo.ini": one
// key, a blank and a value a line. The main program reads the site and time-zone keys of the
// same file, so the keys, their ranges and their order must not change.
struct AxiloSettings {
    // A site the user saved on one of the four site buttons.
    struct Site {
        int long1 = 0;  // longitude degrees
        int long2 = 0;  // longitude minutes
        int lati1 = 0;  // latitude degrees
        int lati2 = 0;  // latitude minutes
        int longWE = 0; // nonzero: west
    };
    static constexpr int siteCount = 4;

    // Windows form of the settings file, set by ensurePath().
    QString path;

    int gain = 0; // camera gain step
    int expo = 0; // exposure step, 1 for 1/32 s up to 5 for 1/2 s
    int star = 0; // star gain step
    int flat = 0;
    int long1 = 0; // current site
    int long2 = 0;
    int lati1 = 0;
    int lati2 = 0;
    Site sites[siteCount];
    int bright = 0;
    int contrast = 0;
    int gamma = 0;
    int cenX = 0; // axis centre in full camera pixels (1280 by 960)
    int cenY = 0;
    int focalI = 0; // lens focal length: whole millimetres
    int focalF = 0; // and hundredths
    int time = 0;   // local time minus UTC in hours
    int longWE = 0; // nonzero: the current site's longitude is west

    // Every value at its default; the path is left as it is.
    AxiloSettings();
    void setDefaults();

    // Makes sure the settings folder exists and sets the path to the settings file.
    void ensurePath();

    // Reads the file at the path. A missing file, unknown lines and values out of range leave
    // the values as they were.
    void load();

    // Rewrites the whole file. It is written beside the old one and renamed into place, so a
    // failed save leaves the old file as it was.
    void save() const;
};
